// The sound of the game: what it announced (for the trace), its effects and tunes, made from
// Sounds/*.txt when the game starts (platform/sound_text.h), and a mixer of our own that is
// sample-exact and deterministic: up to eight effects at once over the music, summed and clipped to
// 16 bits. A real audio device pulls the mix from its own thread; headless, the mix is drawn along
// the game's own clock, 48 samples to each of its milliseconds, so a run and its replay sound the
// same to the sample.
// Not for the game: the game calls play_sound and play_music in platform.h only.
#pragma once

#include "platform/platform.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform::audio {

constexpr int sample_rate = 48000;
constexpr int samples_per_ms = sample_rate / 1000;

// "jump", "wall_jump", ..., "break" for Sound::brick_break: the names players and the trace use.
const char* sound_name(Sound sound);

// The sounds announced since the last present, in order; device_present empties it once the
// backend has shown the picture (and the headless runner has traced it).
const std::vector<Sound>& since_present();
void present_done();

// Makes every effect and tune from its text in Sounds/ in the data folder. A missing file, or a
// fault in one, is one warning on stderr (a fault named by file:line:column), and that sound stays
// silent. Returns how many were made.
int load();

// Mixes the next `count` samples into out, advancing every voice. Safe from an audio thread.
void mix(int16_t* out, size_t count);

// Silences the output (voices still advance), or brings it back: the M key, --mute.
void set_muted(bool muted);
bool muted();
// Without music (--no-music) only the effects are heard.
void set_music_allowed(bool allowed);

// Headless: from now on the mix is drawn along the game's clock into a recording of the run.
void capture();
// Called with every clock reading the game takes.
void clock_read(uint32_t now_ms);
const std::vector<int16_t>& captured();
// Writes the captured mix as a WAV file; false with error when it cannot be written.
bool write_captured(const std::string& path, std::string& error);

// Forgets everything: no sounds loaded, nothing announced or captured, not muted.
void reset();

}  // namespace platform::audio
