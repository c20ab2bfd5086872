// The sound of the page: the game's own mixer, drawn on the page's thread a little ahead of what
// the speakers play and handed to Web Audio in short buffers scheduled back to back (page.js).
// Browsers start sound only after a click or a key, which the page's first screen asks for.
#include "platform/audio.h"
#include "platform/web/page.h"
#include "platform/web/web.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace platform {
namespace {

// At most a quarter of a second at once, so a long stall does not bring a long burst after it.
constexpr int most_at_once = audio::sample_rate / 4;

std::vector<int16_t> buffer;

EM_JS(int, samples_wanted, (), {
    const sound = window.brickrun && window.brickrun.sound;
    return sound ? sound.wanted() : 0;
});

EM_JS(void, play_samples, (const int16_t* samples, int count), {
    window.brickrun.sound.play(HEAP16.subarray(samples >> 1, (samples >> 1) + count));
});

EM_JS(void, pause_page_sound, (int paused), {
    const sound = window.brickrun && window.brickrun.sound;
    if (sound) sound.pause(paused !== 0);
});

}  // namespace

namespace web {

void feed_sound() {
    const int wanted = std::min(samples_wanted(), most_at_once);
    if (wanted <= 0) return;
    buffer.resize(static_cast<size_t>(wanted));
    audio::mix(buffer.data(), buffer.size());
    play_samples(buffer.data(), wanted);
}

void pause_sound(bool paused) { pause_page_sound(paused ? 1 : 0); }

}  // namespace web
}  // namespace platform

// The page's sound button, which M also turns.
extern "C" EMSCRIPTEN_KEEPALIVE void brickrun_set_muted(int muted) {
    platform::audio::set_muted(muted != 0);
}
extern "C" EMSCRIPTEN_KEEPALIVE int brickrun_muted() { return platform::audio::muted() ? 1 : 0; }
