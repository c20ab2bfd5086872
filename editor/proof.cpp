#include "editor/proof.h"

#include <charconv>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

extern char** environ;
#endif

namespace editor {

namespace {

namespace fs = std::filesystem;

#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
constexpr const char* level_name = "level.txt";
constexpr const char* script_name = "level.script";
#endif
constexpr const char* path_name = "level.path";
constexpr const char* said_name = "solver.txt";  // the solver's stderr

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The last line of a text, without its newline.
std::string last_line(std::string_view text) {
    while (!text.empty() && text.back() == '\n') text.remove_suffix(1);
    const size_t start = text.find_last_of('\n');
    return std::string(start == std::string_view::npos ? text : text.substr(start + 1));
}

bool whole_number(std::string_view& text, int32_t& value) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end == text.data()) return false;
    text.remove_prefix(static_cast<size_t>(end - text.data()));
    return true;
}

}  // namespace

std::vector<PathPoint> read_path(std::string_view text, size_t limit) {
    std::vector<PathPoint> path;
    while (!text.empty() && path.size() < limit) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        PathPoint point;
        if (whole_number(line, point.present) && whole_number(line, point.x) &&
            whole_number(line, point.y) && line.find_first_not_of(" \r") == std::string_view::npos)
            path.push_back(point);
    }
    return path;
}

ProofOutcome ProofRun::outcome() const {
    ProofOutcome outcome;
    const fs::path folder = folder_;
    outcome.path = read_path(slurp(folder / path_name));
    const std::string said = last_line(slurp(folder / said_name));
    const int status = exit_status_;
    if (status == 0) {
        outcome.proved = true;
        if (!outcome.path.empty()) outcome.presents = outcome.path.back().present;
        return outcome;
    }
    // "... the hero got as far as world x 1234 ...": the column of its left edge.
    constexpr std::string_view mark = "as far as world x ";
    const size_t at = said.find(mark);
    int32_t x = 0;
    std::string_view rest =
        std::string_view(said).substr(at == std::string::npos ? 0 : at + mark.size());
    if (status == 1 && at != std::string::npos && whole_number(rest, x)) {
        outcome.furthest_column = x / 32;
        return outcome;
    }
    outcome.failure = said.empty() ? "brickrun-solve ended without a word" : said;
    return outcome;
}

#if defined(_WIN32) || defined(__EMSCRIPTEN__)

std::unique_ptr<ProofRun> ProofRun::start(const ProofSetup&, std::string_view, std::string& error) {
    error = "Proving needs brickrun-solve (Linux)";
    return nullptr;
}

ProofRun::~ProofRun() = default;

bool ProofRun::ended(int) { return true; }

#else

std::unique_ptr<ProofRun> ProofRun::start(const ProofSetup& setup, std::string_view level,
                                          std::string& error) {
    std::error_code code;
    if (!fs::is_regular_file(setup.solver, code)) {
        error = "Proving needs brickrun-solve beside the editor: there is no " + setup.solver;
        return nullptr;
    }
    std::string name = (fs::temp_directory_path(code) / "brickrun-proof-XXXXXX").string();
    if (code || !mkdtemp(name.data())) {
        error = "Cannot prove: no temporary folder: " + std::string(std::strerror(errno));
        return nullptr;
    }
    std::unique_ptr<ProofRun> run(new ProofRun);
    run->folder_ = name;
    const fs::path folder = name;
    std::ofstream(folder / level_name, std::ios::binary) << level;
    std::vector<std::string> args = {setup.solver,
                                     "--data",
                                     setup.data,
                                     "--level",
                                     (folder / level_name).string(),
                                     "--out",
                                     (folder / script_name).string(),
                                     "--path",
                                     (folder / path_name).string()};
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    const std::string said = (folder / said_name).string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, said.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        error = "Cannot start " + setup.solver + ": " + std::strerror(spawned);
        return nullptr;  // the folder goes with the run
    }
    run->pid_ = pid;
    return run;
}

ProofRun::~ProofRun() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    std::error_code ignored;
    if (!folder_.empty()) fs::remove_all(folder_, ignored);
}

bool ProofRun::ended(int wait_ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
    while (pid_ > 0) {
        int raw = 0;
        const pid_t got = waitpid(pid_, &raw, WNOHANG);
        if (got == pid_ || (got < 0 && errno != EINTR)) {
            exit_status_ = got == pid_ && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
            pid_ = -1;
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline) return false;
        // Only a runner whose clock stands still waits here; the game never does.
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

#endif

}  // namespace editor
