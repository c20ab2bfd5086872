// The one sound file format of the game: 16-bit PCM mono WAV at 48000 Hz, written by
// brickrun-assets for every effect and tune and by brickrun-headless --audio for a run.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace platform {

constexpr uint32_t wav_sample_rate = 48000;

inline std::vector<unsigned char> wav_file_bytes(const std::vector<int16_t>& samples) {
    std::vector<unsigned char> out;
    auto put = [&out](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
    };
    auto tag = [&out](std::string_view text) {
        for (char c : text) out.push_back(static_cast<unsigned char>(c));
    };
    const auto data_bytes = static_cast<uint32_t>(samples.size() * 2);
    tag("RIFF");
    put(36 + data_bytes, 4);
    tag("WAVEfmt ");
    put(16, 4);
    put(1, 2);  // PCM
    put(1, 2);  // mono
    put(wav_sample_rate, 4);
    put(wav_sample_rate * 2, 4);
    put(2, 2);
    put(16, 2);
    tag("data");
    put(data_bytes, 4);
    for (int16_t s : samples) put(static_cast<uint16_t>(s), 2);
    return out;
}

}  // namespace platform
