// brickrun-solve: finds keys that play the game from the title menu through its levels, each to
// its exit pipe without losing a life, and writes them as an input script for brickrun-headless.
// This is how the recorded clears in tests/clears are made again after a level changes, and how a
// pack of levels, or one level, is proved to be finished.
//
//   brickrun-solve --data DIR --levels N|DIR --out DIR [--segment FRAMES] [--beam WIDTH]
//   brickrun-solve --data DIR --level FILE --out SCRIPT [--path FILE]
//
// It writes DIR/level1.txt, DIR/level2.txt ... (from the menu to that level's pipe) for every level
// before the game's last, and DIR/game.txt for the last: the whole game to its last pipe, after
// which the game-over screen and the menu follow by themselves. --level FILE writes that one
// level's game to SCRIPT, and --path the hero's way along it (or along the furthest attempt), which
// the level editor draws over the level.
// The search plays the real game: a beam of the most advanced moments, each tried with every
// choice of keys for the next few frames, keeping the best distinct results. Exit status 0 with the
// scripts written, 1 when no clear was found or a script could not be written, 2 for a bad command
// line (one line on stderr, before any search).
#include "core/game_state.h"
#include "platform/headless/headless.h"
#include "player/player.h"
#include "render/input.h"
#include "shell/command_line.h"
#include "shell/entry.h"
#include "shell/flow.h"
#include "shell/level_option.h"
#include "shell/program_state.h"
#include "tools/solver/options.h"
#include "world/level_pack.h"
#include "world/object_list.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <tuple>
#include <vector>


namespace {

namespace headless = platform::headless;

int segment_frames = 4;  // frames each choice of keys is held for (--segment)
int beam_width = 8;      // (--beam)
constexpr int give_up_after = 150;  // segments without progress

// The keys of one choice, and their names in a script.
struct Keys {
    bool right, left, shift, space, down;
};
constexpr Keys choices[] = {
    {true, false, true, false, false},  {true, false, true, true, false},
    {true, false, false, false, false}, {true, false, false, true, false},
    {false, false, false, false, false}, {false, false, false, true, false},
    {false, true, false, false, false}, {false, true, false, true, false},
    {false, false, false, false, true},  {true, false, false, false, true},
    {false, true, true, true, false},
};
constexpr int no_keys = 4;

struct Frame {
    int present;  // the keys hold from the snapshots after this present
    int choice;
};

struct Node {
    ProgramSnapshot snapshot;
    Player hero;  // the hero in the snapshot, for telling nodes apart
    std::vector<Frame> frames;  // from the title menu on
    int presents = 0;
    int lives = 0;
    bool through = false;  // went down the exit pipe
    double score = 0;
};

void hold(int choice) {
    const Keys& k = choices[choice];
    headless::set_key(DIK_RIGHT, k.right);
    headless::set_key(DIK_LEFT, k.left);
    headless::set_key(DIK_LSHIFT, k.shift);
    headless::set_key(DIK_SPACE, k.space);
    headless::set_key(DIK_DOWN, k.down);
}

// Plays one frame with these keys; false when the hero was lost.
bool play(Node& node, int choice) {
    hold(choice);
    node.frames.push_back({node.presents, choice});
    int before = headless::presents();
    play_frame();
    node.presents += headless::presents() - before;
    if (game_state.lives < node.lives || player.death_timer > 0 || game_state.restart_level)
        return false;
    node.through = game_state.next_level;
    return true;
}

double score() {
    // Further right is better, and higher a little (walls are climbed); being on the way down a
    // pipe is best; losing size costs a little.
    // Feet below the ground line mean a fall into a pit, which is all but lost.
    constexpr int32_t ground_line = 544;
    bool in_a_pit = player.y + player.sprite.height > ground_line;
    // Progress is measured toward the exit (the last pipe entrance): going past it counts back.
    int32_t exit_x = 1 << 30;
    for (int32_t i = 0; i < objects.count; ++i)
        if (objects.entries[i].kind == KIND_PIPE)
            exit_x = static_cast<const PipeEntrance*>(objects.entries[i].object)->x;
    int32_t centre = player.world_x() + player.sprite.width / 2;
    int32_t progress = centre <= exit_x ? centre : 2 * exit_x - centre;
    return progress + 0.5 * (Player::start_y - player.y) + (player.pipe_timer > 0 ? 1e6 : 0) +
           40.0 * player.power - (in_a_pit ? 2000 : 0);
}

int furthest = 0;  // the world x the search has reached, for the report of a failure
std::vector<Frame> furthest_frames;  // and the keys that got there, written out to look at

// The best distinct nodes: one per place, height, speed and size, at most `width`.
std::vector<Node> keep_best(std::vector<Node>& nodes, int width) {
    std::sort(nodes.begin(), nodes.end(),
              [](const Node& a, const Node& b) { return a.score > b.score; });
    std::vector<Node> kept;
    std::map<std::tuple<int, int, int, int>, bool> seen;
    for (Node& node : nodes) {
        const Player& h = node.hero;
        auto key = std::make_tuple((h.scroll + h.x) / 4, h.y / 8, static_cast<int>(h.vx), h.power);
        if (seen[key]) continue;
        seen[key] = true;
        kept.push_back(std::move(node));
        if (static_cast<int>(kept.size()) == width) break;
    }
    return kept;
}

// One level: from the node's moment to its exit pipe, or false. At a dead end (every future
// loses the hero) the search goes back a few steps and tries again with a wider beam.
bool solve_level(Node& start) {
    std::vector<std::vector<Node>> history{{start}};
    int width = beam_width;
    int dead_ends = 0;
    double best = -1;
    int stale = 0;
    while (stale < give_up_after) {
        std::vector<Node> next;
        for (const Node& node : history.back()) {
            for (int c = 0; c < static_cast<int>(std::size(choices)); ++c) {
                node.snapshot.restore();
                Node tried{ProgramSnapshot{}, Player{}, node.frames, node.presents, node.lives,
                           false, 0};
                bool alive = true;
                for (int f = 0; f < segment_frames && alive && !tried.through; ++f)
                    alive = play(tried, c);
                if (!alive) continue;
                tried.score = score();
                if (player.world_x() > furthest) {
                    furthest = player.world_x();
                    furthest_frames = tried.frames;
                }
                tried.snapshot = ProgramSnapshot::take();
                tried.hero = player;
                if (tried.through) {
                    start = std::move(tried);
                    return true;
                }
                next.push_back(std::move(tried));
            }
        }
        if (next.empty()) {
            if (++dead_ends > 12) return false;
            width = std::min(width * 2, 128);
            size_t back = std::min<size_t>(history.size() - 1, 4 * dead_ends);
            history.resize(history.size() - back);
            continue;
        }
        history.push_back(keep_best(next, width));
        double top = history.back().front().score;
        if (top > best) {
            best = top;
            stale = 0;
        } else {
            ++stale;
        }
        if (stale == 0 && width > beam_width && history.size() % 20 == 0) width /= 2;
    }
    return false;
}

void write_script(const std::vector<Frame>& frames, int levels, std::ostream& out) {
    out << "# Keys found by brickrun-solve: from the title menu through " << levels
        << (levels == 1 ? " level" : " levels") << ", each to its exit pipe, no life lost.\n"
        << "# Made again with brickrun-solve after a level changes (see the README).\n";
    out << "2 +RETURN\n4 -RETURN\n";
    const char* names[] = {"RIGHT", "LEFT", "LSHIFT", "SPACE", "DOWN"};
    Keys held{false, false, false, false, false};
    for (const Frame& f : frames) {
        const Keys& k = choices[f.choice];
        bool now[] = {k.right, k.left, k.shift, k.space, k.down};
        bool* was[] = {&held.right, &held.left, &held.shift, &held.space, &held.down};
        std::string line;
        for (int i = 0; i < 5; ++i) {
            if (now[i] == *was[i]) continue;
            line += std::string(" ") + (now[i] ? "+" : "-") + names[i];
            *was[i] = now[i];
        }
        if (!line.empty()) out << f.present << line << '\n';
    }
}

// Writes one script, or says in one line why it could not.
bool save_script(const std::string& path, const std::vector<Frame>& frames, int levels) {
    std::ofstream out(path);
    write_script(frames, levels, out);
    out.close();
    if (out) return true;
    std::fprintf(stderr, "brickrun-solve: %s: cannot write: %s\n", path.c_str(),
                 std::strerror(errno));
    return false;
}

// The hero's way along `frames`, played again from `start` (`presents` presents into the run): one
// line a game frame, the present that showed it and the middle of the hero in world pixels.
bool save_path(const std::string& path, const ProgramSnapshot& start, int presents,
               const std::vector<Frame>& frames) {
    start.restore();
    std::ofstream out(path);
    for (const Frame& f : frames) {
        hold(f.choice);
        const int before = headless::presents();
        play_frame();
        presents += headless::presents() - before;
        out << presents << ' ' << player.world_x() + player.sprite.width / 2 << ' '
            << player.y + player.sprite.height / 2 << '\n';
    }
    out.close();
    if (out) return true;
    std::fprintf(stderr, "brickrun-solve: %s: cannot write: %s\n", path.c_str(),
                 std::strerror(errno));
    return false;
}

// The script of the levels up to `level` (from 1): levelN.txt in the --out folder for a level
// before the game's last, game.txt for the last; with --level, the --out file itself.
std::string script_path(const SolveOptions& options, int level) {
    if (!options.level_file.empty()) return options.out;
    return options.out + (level < level_count() ? "/level" + std::to_string(level) + ".txt"
                                                : "/game.txt");
}

// The level's name in messages: its file in a pack, its number among the built-in ones.
std::string level_name(int level) {
    if (level_pack.levels.empty()) return "level " + std::to_string(level);
    return "level " + std::to_string(level) + " (" +
           level_pack.levels[static_cast<size_t>(level - 1)].file + ")";
}

}  // namespace

int main(int argc, char** argv) {
    if (answer_help_or_version(argc, argv, "brickrun-solve", solve_help)) return 0;
    SolveOptions options;
    if (!read_solve_options(argc, argv, options)) return 2;
    segment_frames = options.segment_frames;
    beam_width = options.beam_width;
    // A pack is read from where the solver was started, before moving to the data.
    std::string error;
    const bool levels_read = options.pack              ? use_levels_folder(options.pack_dir, error)
                             : options.level_file.empty() ? true
                                                          : load_level_file(options.level_file, error);
    if (!levels_read) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    if (chdir(options.data.c_str()) != 0) {
        std::fprintf(stderr, "brickrun-solve: cannot enter %s\n", options.data.c_str());
        return 2;
    }
    headless::reset();
    // Only the rules: the search never looks at a picture.
    set_drawing(false);
    if (open_game() != 0) return 1;
    headless::set_script({{2, DIK_RETURN, true}, {4, DIK_RETURN, false}});
    play_frame();  // the menu, the banner and the first game frame, with no keys held
    Node node;
    node.presents = headless::presents();
    node.lives = game_state.lives;
    node.snapshot = ProgramSnapshot::take();
    node.hero = player;
    const int levels = level_pack.levels.empty() ? options.levels : level_count();
    for (int level = 1; level <= levels; ++level) {
        furthest = 0;
        const ProgramSnapshot level_start = node.snapshot;
        const int start_presents = node.presents;
        if (!solve_level(node)) {
            const std::string furthest_path = options.level_file.empty()
                                                  ? options.out + "/furthest.txt"
                                                  : options.out + ".furthest";
            std::fprintf(stderr, "brickrun-solve: no clear found for %s (the hero got as far as "
                                 "world x %d; its keys are in %s)\n",
                         level_name(level).c_str(), furthest, furthest_path.c_str());
            save_script(furthest_path, furthest_frames, level);
            if (!options.path.empty())
                save_path(options.path, level_start, start_presents, furthest_frames);
            return 1;
        }
        const std::string path = script_path(options, level);
        if (!save_script(path, node.frames, level)) return 1;
        if (!options.path.empty() &&
            !save_path(options.path, level_start, start_presents, node.frames))
            return 1;
        std::fprintf(stderr, "%s: through the pipe after present %d, written to %s\n",
                     level_name(level).c_str(), node.presents, path.c_str());
        if (level < levels) {  // the next level and its banner
            node.snapshot.restore();
            if (!play(node, no_keys)) return 1;
            node.lives = game_state.lives;
            node.snapshot = ProgramSnapshot::take();
            node.hero = player;
        }
    }
    return 0;
}
