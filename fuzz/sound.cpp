// The sound text reader, as the game calls it at start-up and brickrun-assets sound does: a refused
// source names a place inside it and makes nothing; a made sound has samples and stays within its
// cap, however long its text says it is.
#include "fuzz/support.h"
#include "platform/sound_text.h"

#include <algorithm>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::MemoryBudget budget;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const platform::sound::Made made = platform::sound::make(text);
    if (!made.error.empty()) {
        fuzz::expect(made.samples.empty(), "a refused sound makes nothing");
        std::vector<size_t> lengths;  // of each line, as the reader counts them
        for (size_t start = 0;;) {
            const size_t end = std::min(text.find('\n', start), text.size());
            lengths.push_back(end - start);
            if (end >= text.size()) break;
            start = end + 1;
        }
        fuzz::expect(made.line >= 1 && static_cast<size_t>(made.line) <= lengths.size(),
                     "a fault names a line of the source");
        fuzz::expect(made.column >= 1 &&
                         static_cast<size_t>(made.column) <= lengths[static_cast<size_t>(made.line - 1)] + 1,
                     "a fault names a column of its line");
        return 0;
    }
    fuzz::expect(!made.samples.empty(), "a made sound has samples");
    const size_t cap = made.tune ? platform::sound::max_tune_ms : platform::sound::max_effect_ms;
    fuzz::expect(made.samples.size() <= cap * platform::sound::sample_rate / 1000,
                 "no sound is longer than its cap");
    fuzz::expect(made.voices.size() <= platform::sound::max_voices, "a tune has at most 8 voices");
    return 0;
}
