#include "platform/mute_sign.h"

#include "platform/audio.h"

#include <vector>

namespace platform {
namespace {

// A loudspeaker and a cross, white on a dark outline so it reads on the sky and on black alike.
constexpr const char* sign[] = {
    "......KK.........",
    ".....KWK.........",
    "....KWWK.........",
    "KKKKWWWK.KK...KK.",
    "KWWWWWWK.KWK.KWK.",
    "KWWWWWWK..KWKWK..",
    "KWWWWWWK...KWK...",
    "KWWWWWWK..KWKWK..",
    "KWWWWWWK.KWK.KWK.",
    "KKKKWWWK.KK...KK.",
    "....KWWK.........",
    ".....KWK.........",
    "......KK.........",
};
constexpr int sign_width = 17, sign_height = 13;
constexpr int scale = 2;    // picture pixels to a pixel of the sign
constexpr int margin = 10;  // from the picture's top and right edges

std::vector<uint32_t> copy;

}  // namespace

const uint32_t* with_mute_sign(const uint32_t* picture, int width, int height) {
    const int left = width - margin - sign_width * scale;
    if (!audio::muted() || left < 0 || height < margin + sign_height * scale) return picture;
    copy.assign(picture, picture + static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < sign_height * scale; ++y) {
        uint32_t* row = copy.data() + static_cast<size_t>(margin + y) * static_cast<size_t>(width);
        for (int x = 0; x < sign_width * scale; ++x) {
            const char c = sign[y / scale][x / scale];
            if (c != '.') row[left + x] = c == 'W' ? 0xFFFFFFFF : 0xFF1E1E1E;
        }
    }
    return copy.data();
}

}  // namespace platform
