// The program entry: a level that fails to load during play, a second game in the
// same process starting as clean as the first, and a close request wherever it comes.
#include "core/game_state.h"
#include "core/pictures.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "render/input.h"
#include "shell/entry.h"
#include "shell/flow.h"
#include "tests/support/play.h"
#include "tests/support/scratch.h"
#include "tests/support/test_support.h"

#include <filesystem>
#include <string>
#include <vector>

namespace headless = platform::headless;
namespace fs = std::filesystem;

namespace {

// Runs the whole program on the headless backend with a script; returns its exit status.
int run_with(const std::vector<headless::InputChange>& script, headless::PresentHook hook) {
    headless::reset();
    headless::set_script(script);
    headless::set_present_hook(std::move(hook));
    int status = run_program(2000);  // a safety net; the script ends the game first
    headless::set_present_hook(nullptr);
    return status;
}

const std::vector<headless::InputChange> start_and_play = {
    {2, DIK_RETURN, true}, {4, DIK_RETURN, false}, {110, DIK_RIGHT, true}, {150, DIK_SPACE, true},
    {170, DIK_SPACE, false}, {200, DIK_RIGHT, false}, {250, DIK_ESCAPE, true}};

}  // namespace

TEST(Program, ASecondGameInTheSameProcessPlaysExactlyLikeTheFirst) {
    std::vector<std::vector<uint64_t>> pictures(2);
    std::vector<std::string> warnings(2);
    for (int run = 0; run < 2; ++run) {
        testing::internal::CaptureStderr();
        int status = run_with(start_and_play, [&](int, const uint32_t* p, int w, int h) {
            uint64_t hash = 1469598103934665603ull;
            for (int i = 0; i < w * h; ++i) hash = (hash ^ p[i]) * 1099511628211ull;
            pictures[run].push_back(hash);
        });
        warnings[run] = testing::internal::GetCapturedStderr();
        EXPECT_EQ(status, 0);
    }
    EXPECT_EQ(pictures[0].size(), 251u);
    EXPECT_EQ(pictures[0], pictures[1]);
    EXPECT_EQ(warnings[0], "");  // a normal start and game print nothing
    EXPECT_EQ(warnings[1], "");
}

TEST(Program, ALevelThatCanNoLongerBeReadEndsTheProgramWithStatusOne) {
    fs::path here = fs::current_path();
    fs::path data = scratch_files::scratch("data");
    fs::copy(here, data, fs::copy_options::recursive);
    fs::current_path(data);
    testing::internal::CaptureStderr();
    // During play the first level's file disappears, and then the hero is lost.
    int status = run_with(start_and_play, [&](int present, const uint32_t*, int, int) {
        if (present == 120) {
            fs::remove(data / "Maps" / "level1.map");
            game_state.restart_level = true;
        }
    });
    std::string err = testing::internal::GetCapturedStderr();
    fs::current_path(here);
    EXPECT_EQ(status, 1);
    EXPECT_NE(err.find("brickrun: cannot load the level: Maps\\level1.map: cannot open"),
              std::string::npos)
        << err;
    EXPECT_EQ(headless::presents(), 120);  // no banner, no frame of a half-loaded level
    EXPECT_FALSE(platform::device_exists());  // shut down
}

TEST(Program, ACloseRequestEndsTheProgramWithoutAnotherPictureWhereverItComes) {
    struct Case {
        const char* where;
        int close_at;  // the present during which the window is closed
        Screen screen;
    };
    // The game starts at present 2 and its banner lasts 100 presents; at present 140 the hero is
    // made to have lost its last life, so presents 142 on show the game-over screen.
    const Case cases[] = {{"the title menu", 1, Screen::menu},
                          {"the level banner", 40, Screen::banner},
                          {"play", 120, Screen::game},
                          {"the game-over screen", 150, Screen::game_over}};
    for (const Case& c : cases) {
        testing::internal::CaptureStderr();
        int status = run_with(start_and_play, [&](int present, const uint32_t*, int, int) {
            if (present == 140) {
                game_state.lives = -1;
                game_state.restart_level = true;
            }
            if (present != c.close_at) return;
            EXPECT_EQ(current_screen, c.screen) << c.where;
            headless::request_close();
        });
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(status, 0) << c.where << ": " << err;
        EXPECT_EQ(headless::presents(), c.close_at) << c.where;
        EXPECT_FALSE(platform::device_exists()) << c.where;  // shut down
    }
}

TEST(Program, ACloseBetweenPresentsEndsPlayAtOnceAndTheMenuAfterOneMorePicture) {
    headless::reset();
    ASSERT_EQ(open_game(), 0);
    // The title menu drains the window's messages at its presents only: one more picture.
    ASSERT_TRUE(game_step());
    ASSERT_TRUE(finish_step());
    headless::request_close();
    EXPECT_TRUE(game_step());
    EXPECT_EQ(current_screen, Screen::menu);
    EXPECT_FALSE(game_step());
    EXPECT_EQ(headless::presents(), 2);
    EXPECT_EQ(close_game(), 0);

    // In play the top of the main loop drains them too, and the frame ends before its present.
    headless::reset();
    ASSERT_EQ(open_game(), 0);
    headless::set_key(DIK_RETURN, true);
    ASSERT_TRUE(play_frame());
    const int presents = headless::presents();
    headless::request_close();
    EXPECT_FALSE(game_step());
    EXPECT_EQ(headless::presents(), presents);
    EXPECT_EQ(close_game(), 0);
}
