// The sound of the game: what it announced (for the trace), its effects and tunes, made from
// Sounds/*.txt when the game starts (platform/sound_text.h), and a mixer of our own that is
// sample-exact and deterministic: up to eight effects at once over the music, 16-bit mono at 48000
// Hz. A real audio device pulls the mix from its own thread; headless, the mix is drawn along the
// run's own time, 48 samples to each of its milliseconds, so a run and its replay sound the same to
// the sample.
//
// Levels: a tune peaks at most at half of full scale and effects at about as much, so one effect
// over the music never comes near the top. When several stack up, a limiter turns the effects
// (never the music) down just enough to keep the sum at -1 dBFS, and lets them back up over 80 ms:
// no sample is clipped, and the music never pumps.
// Not for the game: the game calls play_sound and play_music in platform.h only.
#pragma once

#include "platform/platform.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform::audio {

constexpr int sample_rate = 48000;
constexpr int samples_per_ms = sample_rate / 1000;
// The limiter keeps every sample within this (-1 dBFS).
constexpr float ceiling = 0.891f;

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
// Without music (--no-music) only the effects are heard; without effects only the music, which
// is how the mix is measured against its music.
void set_music_allowed(bool allowed);
void set_effects_allowed(bool allowed);

// Headless: from now on the mix is drawn along the run's time into a recording of the run. That
// time moves with each present (as far as the headless clock moves), with each sleep, and to each
// clock reading or wait deadline that lies ahead of it, so the recording covers the whole run,
// the title menu (which reads no clock) included.
void capture();
void presented(uint32_t ms);
void slept(uint32_t ms);
void waited(int32_t deadline);
void clock_read(uint32_t now_ms);
const std::vector<int16_t>& captured();
// Writes the captured mix as a WAV file; false with error when it cannot be written.
bool write_captured(const std::string& path, std::string& error);

// Forgets everything: no sounds loaded, nothing announced or captured, not muted.
void reset();

}  // namespace platform::audio
