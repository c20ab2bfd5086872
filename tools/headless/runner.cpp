#include "tools/headless/runner.h"

#include "editor/session.h"
#include "platform/audio.h"
#include "platform/headless/headless.h"
#include "platform/replay.h"
#include "shell/edit.h"
#include "shell/entry.h"
#include "shell/flow.h"
#include "shell/level_option.h"
#include "tools/headless/image_file.h"
#include "tools/headless/monkey.h"
#include "tools/headless/trace.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

namespace {

bool parse_count(const std::string& text, int& value) {
    long v = 0;
    if (!platform::headless::read_whole(text, v) || v < 1 || v > 100000000) return false;
    value = static_cast<int>(v);
    return true;
}

// Reads an input script; false after one line on stderr.
bool read_script(const std::string& path, std::vector<platform::headless::InputChange>& script) {
    std::string error;
    if (!platform::headless::read_script_file(path, script, error)) {
        std::fprintf(stderr, "brickrun-headless: %s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    return true;
}

bool parse_seed(const std::string& text, uint64_t& seed) {
    if (text.empty() || text.size() > 19 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    seed = std::stoull(text);
    return true;
}

}  // namespace

bool parse_run_options(int argc, char** argv, RunOptions& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--no-pictures") {
            options.pictures = false;
            continue;
        }
        if (arg == "--levels") {
            options.levels = true;
            options.levels_dir = take_levels_folder(argc, argv, i);
            continue;
        }
        if (i + 1 >= argc) {
            error = arg.rfind("--", 0) == 0 ? arg + " needs a value" : "unexpected argument " + arg;
            return false;
        }
        std::string value = argv[++i];
        if (arg == "--data") {
            options.data_dir = value;
        } else if (arg == "--input") {
            options.input_file = value;
        } else if (arg == "--presents") {
            if (!parse_count(value, options.presents)) {
                error = "--presents needs a whole number from 1, not '" + value + "'";
                return false;
            }
            options.presents_given = true;
        } else if (arg == "--shot") {
            size_t colon = value.find(':');
            RunOptions::Shot shot;
            if (colon == std::string::npos || !parse_count(value.substr(0, colon), shot.present) ||
                colon + 1 == value.size()) {
                error = "--shot needs N:FILE, not '" + value + "'";
                return false;
            }
            shot.file = value.substr(colon + 1);
            options.shots.push_back(shot);
        } else if (arg == "--trace") {
            options.trace_file = value;
        } else if (arg == "--record") {
            options.record_file = value;
        } else if (arg == "--replay") {
            options.replay_file = value;
        } else if (arg == "--monkey") {
            if (!parse_seed(value, options.monkey_seed)) {
                error = "--monkey needs a seed, a whole number from 0, not '" + value + "'";
                return false;
            }
            options.monkey = true;
        } else if (arg == "--guide") {
            options.guide_file = value;
        } else if (arg == "--audio") {
            options.audio_file = value;
        } else if (arg == "--edit") {
            options.edit_file = value;
        } else {
            error = "unknown option " + arg;
            return false;
        }
    }
    if (!options.replay_file.empty() && !options.input_file.empty()) {
        error = "--replay and --input cannot be given together: a replay brings its own input";
        return false;
    }
    if (options.monkey && (!options.replay_file.empty() || !options.input_file.empty())) {
        error = "--monkey plays its own input: not with --input or --replay";
        return false;
    }
    if (options.monkey && !options.edit_file.empty()) {
        error = "--monkey plays the game: not with --edit";
        return false;
    }
    if (!options.guide_file.empty() && !options.monkey) {
        error = "--guide is for --monkey";
        return false;
    }
    if (!options.pictures && !options.shots.empty()) {
        error = "--shot needs the pictures that --no-pictures leaves undrawn";
        return false;
    }
    return true;
}

int run_headless(const RunOptions& options) {
    namespace headless = platform::headless;
    namespace replay = platform::replay;
    headless::reset();
    replay::reset();

    std::vector<headless::InputChange> script, guide;
    if (!options.input_file.empty() && !read_script(options.input_file, script)) return 2;
    if (!options.guide_file.empty() && !read_script(options.guide_file, guide)) return 2;
    // Output names are taken as given from where the runner was started, before moving to the data.
    std::vector<RunOptions::Shot> shots = options.shots;
    for (auto& shot : shots) shot.file = std::filesystem::absolute(shot.file).string();
    const std::string audio_file =
        options.audio_file.empty() ? "" : std::filesystem::absolute(options.audio_file).string();
    const std::string edit_file =
        options.edit_file.empty() ? "" : std::filesystem::absolute(options.edit_file).string();
    std::ofstream trace;
    if (!options.trace_file.empty()) {
        // Binary: the same bytes on every system, with no \r written before each \n on Windows.
        trace.open(options.trace_file, std::ios::binary);
        if (!trace) {
            std::fprintf(stderr, "brickrun-headless: %s: cannot write the trace\n",
                         options.trace_file.c_str());
            return 2;
        }
    }
    // Every level of a pack is read from where the runner was started, before moving to the data.
    std::string error;
    use_built_in_levels();
    if (options.levels && !use_levels_folder(options.levels_dir, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    // Both before the game starts: a recording that cannot be replayed is refused here.
    if (!options.replay_file.empty() && !replay::replay_from(options.replay_file, error)) {
        std::fprintf(stderr, "brickrun-headless: %s: %s\n", options.replay_file.c_str(),
                     error.c_str());
        return 2;
    }
    if (!options.record_file.empty() && !replay::record_to(options.record_file, error)) {
        std::fprintf(stderr, "brickrun-headless: %s: %s\n", options.record_file.c_str(),
                     error.c_str());
        replay::reset();
        return 2;
    }
    std::error_code cd_error;
    std::filesystem::current_path(options.data_dir, cd_error);
    if (cd_error) {
        std::fprintf(stderr, "brickrun-headless: --data %s: %s\n", options.data_dir.c_str(),
                     cd_error.message().c_str());
        replay::reset();
        return 2;
    }

    // The sound of the run, mixed along the game's clock from the data folder's sounds.
    if (!options.audio_file.empty()) {
        platform::audio::load();
        platform::audio::capture();
    }

    int status = 0;
    TraceWriter trace_writer;
    headless::set_script(std::move(script));
    // A replay runs to the end of its recording unless told otherwise.
    const int limit = !options.replay_file.empty() && !options.presents_given ? 0 : options.presents;
    std::optional<Monkey> monkey;
    if (options.monkey) monkey.emplace(options.monkey_seed, std::move(guide));
    std::string broken_invariant;
    int broken_at = 0;
    headless::set_present_hook([&](int present, const uint32_t* pixels, int width, int height) {
        // A replay that broke off in this step has fed the game nothing it recorded.
        if (replay::stopped()) return;
        if (trace.is_open()) trace << trace_writer.line(present);
        if (monkey && broken_invariant.empty()) {
            broken_invariant = monkey->on_present(present);
            if (!broken_invariant.empty()) broken_at = present;
        }
        for (const auto& shot : shots) {
            std::string error;
            if (shot.present == present && !write_image(shot.file, pixels, width, height, error)) {
                std::fprintf(stderr, "brickrun-headless: %s\n", error.c_str());
                status = 2;
            }
        }
    });
    set_drawing(options.pictures);
    // The virtual clock stands still while the editor's solver works: a pass waits for it (up to
    // two real minutes a pass), so the same script shows the proof at the same present every run.
    editor::proof_wait_ms = 120000;
    bool game_over = false;
    if (int start = open_game(); start != 0) {
        status = start;
        game_over = true;
    } else if (!edit_file.empty() && !begin_editing(edit_file, error)) {
        std::fprintf(stderr, "brickrun-headless: %s: %s\n", options.edit_file.c_str(), error.c_str());
        close_game();
        status = 1;
        game_over = true;
    } else {
        // One step a present, until the game ends, the run reaches its last present, the recording
        // being replayed was cut here, or the monkey found something broken.
        for (;;) {
            if (limit > 0 && headless::presents() >= limit) break;
            if (replay::at_cut_end()) break;
            if (!game_step()) {
                game_over = true;
                break;
            }
            if (!broken_invariant.empty() || replay::stopped()) break;
        }
        if (int end = close_game()) status = end;
    }
    set_drawing(true);
    headless::set_present_hook(nullptr);
    // A replay that stopped in a step stopped the run there, whatever the rest of the step did.
    if (replay::stopped()) game_over = false;
    if (!replay::broken().empty()) {
        std::fprintf(stderr, "brickrun-headless: %s: %s\n", options.replay_file.c_str(),
                     replay::broken().c_str());
        status = 2;
    } else if (game_over && !replay::finish_replay(error)) {
        std::fprintf(stderr, "brickrun-headless: %s: %s\n", options.replay_file.c_str(),
                     error.c_str());
        status = 2;
    }
    if (monkey && game_over && broken_invariant.empty()) {
        broken_at = headless::presents();
        broken_invariant = "the game ended by itself";
    }
    if (!broken_invariant.empty()) {
        std::fprintf(stderr, "brickrun-headless: monkey seed %llu, present %d: %s\n",
                     static_cast<unsigned long long>(options.monkey_seed), broken_at,
                     broken_invariant.c_str());
        status = 3;
    } else if (monkey) {
        const Monkey::Counts& c = monkey->counts();
        std::printf("monkey seed %llu: %d presents, %d games (%d guided), %d level loads (%d "
                    "through a pipe), deepest level %d, %d game overs, every invariant held\n",
                    static_cast<unsigned long long>(options.monkey_seed), headless::presents(),
                    c.games, c.guided, c.level_loads, c.level_changes, c.deepest_level + 1,
                    c.game_overs);
    }
    if (!options.audio_file.empty() && !platform::audio::write_captured(audio_file, error)) {
        std::fprintf(stderr, "brickrun-headless: %s: %s\n", options.audio_file.c_str(),
                     error.c_str());
        status = 2;
    }
    if (!replay::finish_recording(game_over, error)) {
        std::fprintf(stderr, "brickrun-headless: %s: %s\n", options.record_file.c_str(),
                     error.c_str());
        status = 2;
    }
    replay::reset();
    return status;
}
