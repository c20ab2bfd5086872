// The flow that every driver of the game steps: one present a step, and the whole program-wide
// state in one snapshot that plays the same future again.
#include "core/game_state.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "render/input.h"
#include "shell/entry.h"
#include "shell/flow.h"
#include "shell/program_state.h"
#include "tests/support/test_support.h"
#include "tools/headless/trace.h"

#include <string>
#include <vector>

namespace headless = platform::headless;

namespace {

// The recorded clear of the first level, key by key: what is held while the game makes its
// present number `presents + 1` (every read of a step comes before the step's present).
class Clear {
public:
    Clear() {
        std::string error;
        EXPECT_TRUE(headless::read_script_file(std::string(BRICKRUN_CLEARS) + "/level1.txt",
                                               changes_, error))
            << error;
    }
    void hold_keys(int presents) const {
        std::vector<bool> down(headless::mouse1 + 1);
        for (const auto& change : changes_)
            if (change.after_present <= presents) down[change.key] = change.down;
        for (const auto& change : changes_) headless::set_key(change.key, down[change.key]);
    }

private:
    std::vector<headless::InputChange> changes_;
};

}  // namespace

TEST(Flow, EveryStepShowsExactlyOnePictureAndFinishingOneShowsNone) {
    headless::reset();
    // The menu, the first level cleared through its pipe, the second level's banner and first
    // frames, then Escape.
    const Clear clear;
    ASSERT_EQ(open_game(), 0);
    int steps = 0;
    for (;;) {
        ++steps;
        clear.hold_keys(headless::presents());
        if (steps >= 1000) headless::set_key(DIK_ESCAPE, true);
        const int before = headless::presents();
        const bool more = game_step();
        if (!more) {
            EXPECT_EQ(headless::presents(), before) << "the last step";
            break;
        }
        ASSERT_EQ(headless::presents(), before + 1) << "step " << steps;
        if (steps % 7 == 0) {
            ASSERT_TRUE(finish_step());
            ASSERT_EQ(headless::presents(), before + 1) << "finishing step " << steps;
        }
        ASSERT_LT(steps, 1100);
    }
    // The frame that read Escape ends the game in the step after its present.
    EXPECT_EQ(steps, 1001);
    EXPECT_EQ(close_game(), 0);
}

TEST(Flow, ASnapshotPutsTheWholeGameBackAndPlaysTheSameFutureAgain) {
    headless::reset();
    const Clear clear;
    ASSERT_EQ(open_game(), 0);
    // Halfway through the first level's banner.
    while (headless::presents() < 50) {
        clear.hold_keys(headless::presents());
        ASSERT_TRUE(game_step());
    }
    ASSERT_EQ(current_screen, Screen::banner);
    const ProgramSnapshot moment = ProgramSnapshot::take();
    const uint32_t clock = platform::time_ms();

    // What the next 950 presents show: the rest of the banner, blocks bumped and a coin brick
    // spent, enemies stomped, the way down the exit pipe, the second level's banner and its first
    // frames.
    auto play_on = [&] {
        std::vector<std::string> lines;
        TraceWriter trace;
        for (int present = 51; present <= 1000; ++present) {
            clear.hold_keys(present - 1);
            if (!game_step()) break;
            lines.push_back(trace.line(present));
        }
        return lines;
    };
    const std::vector<std::string> first = play_on();
    ASSERT_EQ(first.size(), 950u);
    EXPECT_NE(first.back().find("\"level_index\":1"), std::string::npos);
    moment.restore();
    headless::set_time(clock);
    const std::vector<std::string> again = play_on();
    ASSERT_EQ(again.size(), first.size());
    for (size_t i = 0; i < first.size(); ++i) ASSERT_EQ(again[i], first[i]) << "present " << i + 51;
    EXPECT_EQ(close_game(), 0);
}
