// Proving the level from the editor: brickrun-solve, found beside the running program, plays the
// level as it stands in a child process of its own while the editor goes on, and afterwards tells
// how the hero got through (or how far it got). Nothing here draws or reads a device.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace editor {

// Only where a child process can be started and waited for without blocking (POSIX): a Windows or
// a browser build says so instead.
#if defined(_WIN32) || defined(__EMSCRIPTEN__)
constexpr bool can_prove = false;
#else
constexpr bool can_prove = true;
#endif

// One game frame of the hero's way: the present that showed it and the middle of the hero, in
// world pixels (the game's x and y, the map not scrolled).
struct PathPoint {
    int present = 0;
    int32_t x = 0, y = 0;
    bool operator==(const PathPoint&) const = default;
};

// The way as brickrun-solve --path writes it, one "PRESENT X Y" a line; a line that is not three
// whole numbers is passed over, and at most `limit` points are kept.
std::vector<PathPoint> read_path(std::string_view text, size_t limit = 200000);

// Where the solver and the game's data are, and how long an editor pass waits for a proof still
// running (real milliseconds; 0, never: the player's editor goes on drawing meanwhile).
struct ProofSetup {
    std::string solver;
    std::string data;
    int wait_ms = 0;
};

// What a finished proof found.
struct ProofOutcome {
    bool proved = false;
    int presents = 0;          // of the clear, from the title menu, when proved
    int furthest_column = -1;  // without a clear, the column (from 0) the hero got to, if known
    std::vector<PathPoint> path;
    std::string failure;  // when the solver could not search at all, its last line
};

// One run of the solver on one level's text, in a temporary folder of its own holding the level,
// the script, the way and what the solver said. Destroying it ends a child still running (killed
// and reaped) and removes the folder, so a proof stopped early leaves nothing behind.
class ProofRun {
public:
    // Starts the solver on `level`; null, with one line in error, when it cannot be started.
    static std::unique_ptr<ProofRun> start(const ProofSetup& setup, std::string_view level,
                                           std::string& error);
    ~ProofRun();
    ProofRun(const ProofRun&) = delete;
    ProofRun& operator=(const ProofRun&) = delete;

    // Whether the solver has ended, waiting up to wait_ms real milliseconds for it.
    bool ended(int wait_ms);
    // What it found; once ended.
    ProofOutcome outcome() const;

    const std::string& folder() const { return folder_; }
    int child() const { return pid_; }

private:
    ProofRun() = default;

    std::string folder_;
    int pid_ = -1;          // -1 once reaped
    int exit_status_ = -1;  // the solver's, once it has ended by itself
};

}  // namespace editor
