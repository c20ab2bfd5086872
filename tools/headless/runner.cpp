#include "tools/headless/runner.h"

#include "platform/headless/headless.h"
#include "platform/replay.h"
#include "shell/entry.h"
#include "shell/startup.h"
#include "tools/headless/image_file.h"
#include "tools/headless/trace.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

bool parse_count(const std::string& text, int& value) {
    size_t used = 0;
    try {
        long v = std::stol(text, &used);
        if (used != text.size() || v < 1 || v > 100000000) return false;
        value = static_cast<int>(v);
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace

bool parse_run_options(int argc, char** argv, RunOptions& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
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
        } else {
            error = "unknown option " + arg;
            return false;
        }
    }
    if (!options.replay_file.empty() && !options.input_file.empty()) {
        error = "--replay and --input cannot be given together: a replay brings its own input";
        return false;
    }
    return true;
}

int run_headless(const RunOptions& options) {
    namespace headless = platform::headless;
    namespace replay = platform::replay;
    headless::reset();
    replay::reset();

    std::vector<headless::InputChange> script;
    if (!options.input_file.empty()) {
        std::ifstream in(options.input_file);
        std::string error;
        if (!in) {
            std::fprintf(stderr, "brickrun-headless: %s: cannot read the input script\n",
                         options.input_file.c_str());
            return 2;
        }
        if (!headless::parse_script(in, script, error)) {
            std::fprintf(stderr, "brickrun-headless: %s: %s\n", options.input_file.c_str(),
                         error.c_str());
            return 2;
        }
    }
    // Output names are taken as given from where the runner was started, before moving to the data.
    std::vector<RunOptions::Shot> shots = options.shots;
    for (auto& shot : shots) shot.file = std::filesystem::absolute(shot.file).string();
    std::ofstream trace;
    if (!options.trace_file.empty()) {
        trace.open(options.trace_file);
        if (!trace) {
            std::fprintf(stderr, "brickrun-headless: %s: cannot write the trace\n",
                         options.trace_file.c_str());
            return 2;
        }
    }
    // Both before the game starts: a recording that cannot be replayed is refused here.
    std::string error;
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

    int status = 0;
    TraceWriter trace_writer;
    headless::set_script(std::move(script));
    const bool replaying = !options.replay_file.empty();
    headless::set_present_limit(replaying && !options.presents_given ? 0 : options.presents);
    headless::set_present_hook([&](int present, const uint32_t* pixels, int width, int height) {
        if (trace.is_open()) trace << trace_writer.line(present);
        for (const auto& shot : shots) {
            std::string error;
            if (shot.present == present && !write_image(shot.file, pixels, width, height, error)) {
                std::fprintf(stderr, "brickrun-headless: %s\n", error.c_str());
                status = 2;
            }
        }
    });
    bool game_over = false;
    try {
        int game_status = win_main();
        if (game_status != 0) status = game_status;
        game_over = true;
        if (!replay::finish_replay(error)) {
            std::fprintf(stderr, "brickrun-headless: %s: %s\n", options.replay_file.c_str(),
                         error.c_str());
            status = 2;
        }
    } catch (const headless::Stop&) {
        shutdown();
    } catch (const replay::Ended&) {
        shutdown();  // where the recorded run was cut off
    } catch (const replay::Broken& broken) {
        shutdown();
        std::fprintf(stderr, "brickrun-headless: %s: %s\n", options.replay_file.c_str(),
                     broken.what.c_str());
        status = 2;
    }
    headless::set_present_hook(nullptr);
    if (!replay::finish_recording(game_over, error)) {
        std::fprintf(stderr, "brickrun-headless: %s: %s\n", options.record_file.c_str(),
                     error.c_str());
        status = 2;
    }
    replay::reset();
    return status;
}
