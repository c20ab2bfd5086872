// The input-script parser of the headless runner. What it accepts indexes the headless backend's
// key table directly, so every key it hands out must be one the table has (or the wheel or the
// pointer, which the backend takes apart).
#include "fuzz/support.h"
#include "platform/headless/headless.h"

#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::MemoryBudget budget;
    using platform::headless::InputChange;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::vector<InputChange> script;
    std::string error;
    if (!platform::headless::parse_script(in, script, error)) {
        fuzz::expect(error.starts_with("line "), "a refused script names the line");
        return 0;
    }
    int previous = 0;
    for (const InputChange& change : script) {
        fuzz::expect(change.after_present >= previous, "moments never go back");
        fuzz::expect(change.key >= 0 && change.key <= platform::headless::pointer,
                     "every key is a keyboard code, a mouse button, a wheel notch or the pointer");
        fuzz::expect(change.key != platform::headless::pointer ||
                         (change.x >= -9999 && change.x <= 9999 && change.y >= -9999 &&
                          change.y <= 9999),
                     "the pointer stays within its bounds");
        previous = change.after_present;
    }
    return 0;
}
