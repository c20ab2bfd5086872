// Files of a test's own, and programs run without a shell.
//
// Every test writes only into a folder of its own: the process makes one fresh folder under the
// system's temporary folder with a name no other run shares (two test runs on one machine never
// meet), gives each test a folder inside it, and removes it all when the process ends. Programs are
// started with their arguments as they are, with no shell between, so a path with a space or a
// quote in it is one argument like any other.
#pragma once

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

extern char** environ;

namespace scratch_files {

namespace fs = std::filesystem;

// The process's own folder, made on first use and removed at exit.
inline const fs::path& process_folder() {
    struct Folder {
        fs::path path;
        Folder() {
            std::string name = (fs::temp_directory_path() / "brickrun-test-XXXXXX").string();
            if (!mkdtemp(name.data())) ADD_FAILURE() << "cannot make a temporary folder " << name;
            path = name;
        }
        ~Folder() {
            std::error_code ignored;
            fs::remove_all(path, ignored);
        }
    };
    static const Folder folder;
    return folder.path;
}

// The running test's own folder (made when first asked for). Its name is short, a number in the
// order tests first ask, since the game's map paths hold at most 63 characters.
inline fs::path test_folder() {
    static std::map<std::string, int> numbers;
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name =
        test ? std::string(test->test_suite_name()) + "." + test->name() : std::string();
    const int number = numbers.emplace(name, static_cast<int>(numbers.size())).first->second;
    const fs::path dir = process_folder() / ("t" + std::to_string(number));
    fs::create_directories(dir);
    return dir;
}

// A file name in the running test's own folder.
inline fs::path scratch(const std::string& name) { return test_folder() / name; }

inline std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct RunResult {
    int status;       // the exit status, or -1 when the program did not exit by itself
    std::string err;  // what it wrote on stderr
    std::string out;  // and on stdout
};

// Runs program with these arguments and waits for it; what it writes is kept in the test's folder.
inline RunResult run_program(const std::string& program, const std::vector<std::string>& args) {
    const fs::path err = scratch("stderr.txt"), out = scratch("stdout.txt");
    std::vector<char*> argv;
    std::string name = program;
    argv.push_back(name.data());
    std::vector<std::string> copies = args;
    for (std::string& arg : copies) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return {-1, "cannot start " + program, ""};
    int raw = 0;
    waitpid(pid, &raw, 0);
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(err), slurp(out)};
}

}  // namespace scratch_files
