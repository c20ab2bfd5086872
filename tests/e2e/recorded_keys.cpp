// recorded-keys FILE: the keyboard reads in a brickrun recording, one line each, in order: "failed"
// for a read that failed (the window did not have the focus), else the key codes held, in hex
// ("cd 2a"), or "none". The game reads the keyboard once per picture shown, so line n is close to
// present n of a replay's trace.

#include "platform/replay_format.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: recorded-keys FILE\n");
        return 2;
    }
    using platform::replay::Event;
    platform::replay::Reader reader;
    std::string error;
    if (!reader.open(argv[1], error)) {
        std::fprintf(stderr, "recorded-keys: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    for (Event event; reader.next(event, error) && event.type != Event::end;) {
        if (event.type != Event::keys_read) continue;
        std::string line;
        for (int code = 0; code < 256 && event.ok; ++code) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%02x ", static_cast<unsigned>(code));
            if (event.keys[code] & 0x80) line += hex;
        }
        if (!line.empty()) line.pop_back();
        std::printf("%s\n", !event.ok ? "failed" : line.empty() ? "none" : line.c_str());
    }
    if (!error.empty()) {
        std::fprintf(stderr, "recorded-keys: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    return 0;
}
