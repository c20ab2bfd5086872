#include "tools/assets/check_pack.h"

#include "formats/level_pack.h"
#include "formats/level_text.h"

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace {

namespace fs = std::filesystem;

// The folder this program lives in: where brickrun-solve is built and installed beside it.
fs::path program_folder(const std::string& program) {
    std::error_code code;
    const fs::path self = fs::read_symlink("/proc/self/exe", code);
    if (!code) return self.parent_path();
    return fs::absolute(program, code).parent_path();
}

// The game's data: as given, else where a build or an install keeps it beside the programs.
std::optional<fs::path> find_data(const std::string& given, const fs::path& programs) {
    const auto holds_data = [](const fs::path& folder) {
        std::error_code code;
        return fs::is_directory(folder / "Graphics", code) && fs::exists(folder / "font.raw", code);
    };
    if (!given.empty()) return holds_data(given) ? std::optional<fs::path>(given) : std::nullopt;
    for (const fs::path& folder : {programs / "data", programs / ".." / "share" / "brickrun",
                                   fs::current_path()})
        if (holds_data(folder)) return folder;
    return std::nullopt;
}

// A level compiled (a text level) or checked (a map), as the game reads it; false after its line.
bool level_reads(const fs::path& path) {
    std::string error;
    const std::optional<std::string> bytes = formats::read_file(path.string(), error);
    if (!bytes) {
        std::cerr << path.string() << ": cannot read: " << error << '\n';
        return false;
    }
    std::string ending = path.extension().string();
    for (char& c : ending) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ending == ".map") {
        const formats::Decompiled text = formats::decompile_level(
            {reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size()});
        if (text.error) std::cerr << path.string() << ": " << *text.error << '\n';
        return !text.error;
    }
    const formats::Compiled compiled = formats::compile_level(*bytes);
    if (compiled.error) {
        const formats::SourceError& e = *compiled.error;
        std::cerr << path.string() << ':' << e.line << ':' << e.column << ": " << e.message << '\n';
        return false;
    }
    for (const std::string& warning : compiled.warnings)
        std::cerr << path.string() << ": warning: " << warning << '\n';
    return true;
}

struct Proof {
    int status;        // brickrun-solve's exit status, -1 when it did not run or end by itself
    std::string said;  // the last line it wrote on stderr
};

// brickrun-solve with these arguments, its stderr kept in the file `err`.
Proof run_solver(const fs::path& solver, std::vector<std::string> args, const fs::path& err) {
#ifdef _WIN32
    (void)solver, (void)args, (void)err;
    return {-1, "check-pack runs brickrun-solve as a child process, which this build cannot"};
#else
    std::vector<char*> argv;
    std::string name = solver.string();
    argv.push_back(name.data());
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, name.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return {-1, "cannot start " + name + ": " + std::strerror(spawned)};
    int raw = 0;
    while (waitpid(pid, &raw, 0) < 0 && errno == EINTR) {
    }
    std::string said, line;
    std::FILE* file = std::fopen(err.c_str(), "r");
    for (char text[1024]; file && std::fgets(text, sizeof text, file);) {
        line += text;
        if (line.back() != '\n') continue;
        line.pop_back();
        said = line;
        line.clear();
    }
    if (file) std::fclose(file);
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, said};
#endif
}

// "the hero got as far as world x 1234" out of the solver's line, or the line itself.
std::string how_far(const std::string& said) {
    const std::string mark = "as far as world x ";
    const size_t at = said.find(mark);
    if (at == std::string::npos) return said;
    const size_t end = said.find_first_not_of("0123456789", at + mark.size());
    return "the hero got as far as world x " + said.substr(at + mark.size(), end - at - mark.size());
}

// A folder of this run's own for the scripts, removed when the check ends.
struct ScratchFolder {
    fs::path path;
    ScratchFolder() {
        std::error_code code;
        std::string name =
            (fs::temp_directory_path(code) / "brickrun-check-pack-XXXXXX").string();
#ifdef _WIN32
        path = name;
#else
        if (mkdtemp(name.data())) path = name;
#endif
    }
    ~ScratchFolder() {
        std::error_code ignored;
        if (!path.empty()) fs::remove_all(path, ignored);
    }
};

}  // namespace

int check_pack(const std::string& folder, const std::string& data, const std::string& program) {
    const formats::PackOrder order = formats::list_pack(folder);
    if (order.source_error) {
        const formats::SourceError& e = *order.source_error;
        std::cerr << (fs::path(folder) / formats::kPackListName).string() << ':' << e.line << ':'
                  << e.column << ": " << e.message << '\n';
        return 1;
    }
    if (order.error) {
        std::cerr << folder << ": " << *order.error << '\n';
        return 1;
    }
    const fs::path programs = program_folder(program);
    const fs::path solver = programs / "brickrun-solve";
    std::error_code code;
    if (!fs::exists(solver, code)) {
        std::cerr << "brickrun-assets: check-pack needs brickrun-solve beside it, as " << solver.string()
                  << " (build it: cmake --build --preset release --target brickrun-solve)\n";
        return 1;
    }
    const std::optional<fs::path> data_folder = find_data(data, programs);
    if (!data_folder) {
        std::cerr << "brickrun-assets: check-pack plays the levels with the game's data: "
                  << (data.empty() ? "none beside the program nor in the current folder; name it "
                                     "with --data DIR"
                                   : "--data " + data + " holds no Graphics/ and font.raw")
                  << '\n';
        return 1;
    }
    const ScratchFolder scripts;
    if (scripts.path.empty()) {
        std::cerr << "brickrun-assets: check-pack cannot make a temporary folder for the scripts\n";
        return 1;
    }
    std::vector<std::string> failed;
    for (const std::string& file : order.list.files) {
        const fs::path path = fs::path(folder) / file;
        if (!level_reads(path)) {
            failed.push_back(file);
            continue;
        }
        const auto start = std::chrono::steady_clock::now();
        const Proof proof = run_solver(
            solver,
            {"--data", data_folder->string(), "--level", path.string(), "--out",
             (scripts.path / "clear.txt").string()},
            scripts.path / "solver.txt");
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.1f s", took.count());
        if (proof.status == 0) {
            std::cout << path.string() << ": proved in " << seconds << '\n';
        } else {
            std::cout << path.string() << ": cannot be finished: " << how_far(proof.said) << " ("
                      << seconds << ")" << '\n';
            failed.push_back(file);
        }
    }
    std::cout.flush();
    if (failed.empty()) return 0;
    std::string names;
    for (const std::string& file : failed) names += (names.empty() ? "" : ", ") + file;
    std::cerr << folder << ": " << failed.size() << " of " << order.list.files.size()
              << " levels cannot be finished: " << names << '\n';
    return 1;
}
