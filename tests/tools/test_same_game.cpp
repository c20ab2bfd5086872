// The game as the release before played it: the whole-game clear's trace, pictures and sound, two
// monkey runs, and recordings that release made (the whole-game clear recorded headless, a session
// in the real window), each checked against a digest taken then, in tests/recordings/digests.txt.
// A change meant to alter none of these (a restructuring, a speed-up) that alters one fails here; a
// change meant to alter one (a new sound) takes that digest again, from the message of the failure.
#include <gtest/gtest.h>

#include "platform/headless/headless.h"
#include "tests/support/play.h"
#include "tests/support/runner_process.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace fs = std::filesystem;
using namespace runner_process;

namespace {

const fs::path recordings = fs::path(BRICKRUN_CLEARS).parent_path() / "recordings";

// FNV-1a, 64 bits: enough to tell two runs apart, and the same on every machine.
struct Digest {
    uint64_t h = 1469598103934665603ull;
    void add(const void* data, size_t n) {
        const auto* p = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 1099511628211ull;
    }
    std::string hex() const {
        char text[17];
        std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
        return text;
    }
};

std::string file_digest(const fs::path& path) {
    const std::string bytes = slurp(path);
    Digest d;
    d.add(bytes.data(), bytes.size());
    return d.hex();
}

std::map<std::string, std::string> expected_digests() {
    std::map<std::string, std::string> digests;
    std::ifstream in(recordings / "digests.txt");
    std::string name, hex;
    while (in >> name >> hex) digests[name] = hex;
    return digests;
}

void expect_digest(const std::string& name, const std::string& got) {
    static const std::map<std::string, std::string> expected = expected_digests();
    auto it = expected.find(name);
    const std::string want = it == expected.end() ? "(none)" : it->second;
    EXPECT_EQ(want, got) << "digest of " << name << " changed; if that was meant, the line is now\n"
                         << name << " " << got;
}

}  // namespace

TEST(SameGame, TheWholeGameClearKeepsItsTraceSoundAndEveryPicture) {
    const fs::path trace = scratch("clear.jsonl"), audio = scratch("clear.wav");
    const std::string script = std::string(BRICKRUN_CLEARS) + "/game.txt";
    RunResult r = run({"--input", script, "--presents", "3600", "--trace", trace.string(),
                       "--audio", audio.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    expect_digest("clear.trace", file_digest(trace));
    expect_digest("clear.audio", file_digest(audio));

    // The rules alone, no pixel drawn: the same run, to the byte.
    const fs::path rules_only = scratch("rules_only.jsonl");
    r = run({"--input", script, "--presents", "3600", "--no-pictures", "--trace",
             rules_only.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    expect_digest("clear.trace", file_digest(rules_only));

    // The pictures, in this process: every present's picture in turn.
    Digest pictures;
    int presents = 0;
    std::vector<platform::headless::InputChange> changes;
    std::string error;
    ASSERT_TRUE(platform::headless::read_script_file(script, changes, error)) << error;
    play_script(script, BRICKRUN_DATA, 3600 - changes.back().after_present, [&](int) {
        const auto& picture = platform::headless::last_picture();
        pictures.add(picture.data(), picture.size() * sizeof picture[0]);
        ++presents;
    });
    EXPECT_EQ(presents, 3600);
    expect_digest("clear.pictures", pictures.hex());
}

TEST(SameGame, MonkeyRunsKeepTheirTraces) {
    for (const char* seed : {"1", "2"}) {
        const fs::path trace = scratch(std::string("monkey") + seed + ".jsonl");
        RunResult r = run({"--monkey", seed, "--guide", std::string(BRICKRUN_CLEARS) + "/game.txt",
                           "--presents", "6000", "--trace", trace.string()});
        ASSERT_EQ(r.status, 0) << r.err;
        expect_digest(std::string("monkey.") + seed + ".trace", file_digest(trace));
    }
}

TEST(SameGame, RecordingsOfTheReleaseBeforeReplayToTheirTraces) {
    // game.brr: brickrun-headless recording the whole-game clear, cut at present 3600.
    // window.brr: the real brickrun under Xvfb, played with real keys (the menu's cursor, a run
    // with jumps, Shift, slow motion and the debug overlay), ended with Escape.
    for (const char* name : {"game", "window"}) {
        const fs::path trace = scratch(std::string(name) + ".jsonl");
        RunResult r = run({"--replay", (recordings / (std::string(name) + ".brr")).string(),
                           "--trace", trace.string()});
        ASSERT_EQ(r.status, 0) << name << ": " << r.err;
        expect_digest(std::string("recording.") + name + ".trace", file_digest(trace));
    }
}
