// The replay reader: open, which checks the whole file, then next() through the events it holds.
#include "fuzz/support.h"
#include "platform/replay_format.h"

#include <string>

namespace {

// A copy record of a few bytes may stand for up to 2^30 events, a recording of days that is sound
// and takes as long to play. The first events show whether playing agrees with the check; this
// many keeps every input well inside the time limit.
constexpr uint64_t events_played = 1 << 16;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::MemoryBudget budget;
    using platform::replay::Event;
    const char* path = fuzz::write_input(data, size, ".brr");
    platform::replay::Reader reader;
    std::string error;
    if (!reader.open(path, error)) {
        fuzz::expect(!error.empty(), "a refused recording says why");
        return 0;
    }
    Event event;
    do {
        // open checked every record, so playing them back cannot fail.
        fuzz::expect(reader.next(event, error), "a recording that opened plays to its end");
    } while (event.type != Event::end && reader.events() < events_played);
    return 0;
}
