// The level compiler and decompiler of brickrun-assets, each on the input, and the round trip:
// what `unlevel` writes, `level` reads back to the same map bytes.
#include "fuzz/support.h"
#include "formats/level_text.h"

#include <algorithm>
#include <span>
#include <string_view>
#include <vector>

namespace {

// A decompiled map is well formed text by construction, so the compiler may refuse it only for
// what makes a level unplayable: too few rows, a blocked start, no exit.
bool only_unplayable(const std::string& message) {
    constexpr std::string_view playability[] = {
        "the map is ",    "the hero starts here", "no ground under the hero",
        "pipe entrance ", "no pipe entrance",
    };
    if (message.find(" rows, a level needs at least 20") != std::string::npos) return true;
    return std::any_of(std::begin(playability), std::end(playability),
                       [&](std::string_view start) { return message.starts_with(start); });
}

void text_round_trip(std::string_view source) {
    const formats::Compiled compiled = formats::compile_level(source);
    if (compiled.error) return;
    const formats::Decompiled text = formats::decompile_level(compiled.bytes);
    fuzz::expect(!text.error, "unlevel reads every map that level writes");
    const formats::Compiled again = formats::compile_level(text.text);
    fuzz::expect(!again.error && again.bytes == compiled.bytes,
                 "level reads unlevel's text of a level back to the same bytes");
}

void map_round_trip(std::span<const uint8_t> map) {
    const formats::Decompiled text = formats::decompile_level(map);
    if (text.error) return;
    const formats::Compiled compiled = formats::compile_level(text.text);
    if (compiled.error) {
        fuzz::expect(only_unplayable(compiled.error->message),
                     "level refuses unlevel's text only for an unplayable level");
        return;
    }
    // Bytes past the last cell are not part of the map, so they do not come back.
    fuzz::expect(compiled.bytes.size() <= map.size() &&
                     std::equal(compiled.bytes.begin(), compiled.bytes.end(), map.begin()),
                 "level reads unlevel's text back to the same map bytes");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::MemoryBudget budget;
    text_round_trip({reinterpret_cast<const char*>(data), size});
    map_round_trip({data, size});
    return 0;
}
