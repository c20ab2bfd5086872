// Proving from the editor, with stand-in solvers (small shell scripts) in the test's own folder:
// what the editor hands the solver, what it makes of each way the solver can end, and that a
// proof stopped early leaves no process and no file behind.
#include "editor/editor.h"
#include "editor/keys.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

using namespace editor;
using scratch_files::scratch;
using scratch_files::slurp;
namespace fs = std::filesystem;

namespace {

class EditorProof : public ::testing::Test {
protected:
    // The proof's temporary folder goes inside the test's own.
    void SetUp() override {
        if (const char* was = std::getenv("TMPDIR")) old_tmpdir = was;
        setenv("TMPDIR", scratch_files::test_folder().c_str(), 1);
    }
    void TearDown() override {
        if (old_tmpdir) setenv("TMPDIR", old_tmpdir->c_str(), 1);
        else unsetenv("TMPDIR");
    }

    // A stand-in solver: `body` runs with the solver's arguments ($2 the data, $4 the level, $6
    // the script, $8 the way).
    std::string solver(const std::string& body) {
        const fs::path file = scratch("solver.sh");
        std::ofstream(file) << "#!/bin/sh\n" << body << '\n';
        fs::permissions(file, fs::perms::owner_all);
        return file.string();
    }

    void open(const std::string& solver_file, int wait_ms,
              LevelDocument document = LevelDocument::fresh()) {
        editor = std::make_unique<Editor>(std::move(document), scratch("level.txt").string(), now);
        editor->set_proof_setup({solver_file, "/the/data", wait_ms});
    }

    void pass() {
        editor->step(input, now);
        input.prev_keys = input.keys;
        now += 33;
    }
    void tap(int key) {
        input.keys[static_cast<size_t>(key)] = 0x80;
        pass();
        input.keys[static_cast<size_t>(key)] = 0;
        pass();
    }

    std::optional<std::string> old_tmpdir;
    std::unique_ptr<Editor> editor;
    Input input;
    uint32_t now = 1000;
};

bool process_gone(pid_t pid) { return kill(pid, 0) != 0 && errno == ESRCH; }

// The proof folders left in the test's folder.
int proof_folders() {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(scratch_files::test_folder()))
        count += entry.path().filename().string().starts_with("brickrun-proof-");
    return count;
}

}  // namespace

TEST_F(EditorProof, AClearIsDrawnFromTheLevelAsItStandsUntilTheNextEdit) {
    const std::string got = scratch("got.txt").string(), args = scratch("args.txt").string();
    open(solver("cp \"$4\" " + got + "\necho \"$1 $2 $3 $5 $7\" > " + args +
                "\nprintf '200 70 500\\n201 75 498\\n353 1130 420\\n' > \"$8\""),
         10000);
    tap(key_prove);
    EXPECT_EQ(editor->proof_state(), ProofState::proved);
    EXPECT_EQ(editor->status(), "Proved: 353 presents");
    EXPECT_EQ(editor->proof_path(),
              (std::vector<PathPoint>{{200, 70, 500}, {201, 75, 498}, {353, 1130, 420}}));
    EXPECT_EQ(slurp(got), editor->document().text());
    EXPECT_EQ(slurp(args), "--data /the/data --level --out --path\n");
    EXPECT_EQ(proof_folders(), 0);

    // Scrolling is no edit; widening the level is.
    tap(key_right);
    EXPECT_EQ(editor->proof_path().size(), 3u);
    tap(key_rbracket);
    EXPECT_EQ(editor->proof_state(), ProofState::idle);
    EXPECT_TRUE(editor->proof_path().empty());
    EXPECT_EQ(editor->status(), "");
}

TEST_F(EditorProof, WithoutAClearItSaysHowFarTheFurthestAttemptGot) {
    open(solver("printf '150 60 500\\nrubbish\\n151 64 500 9\\n152 1000 500\\n' > \"$8\"\n"
                "echo 'brickrun-solve: no clear found for level 1 (the hero got as far as world "
                "x 1000; its keys are in x.furthest)' >&2\nexit 1"),
         10000);
    tap(key_prove);
    EXPECT_EQ(editor->proof_state(), ProofState::none);
    EXPECT_EQ(editor->status(), "No clear found: got as far as column 32");
    EXPECT_EQ(editor->proof_path(), (std::vector<PathPoint>{{150, 60, 500}, {152, 1000, 500}}));

    // A solver that cannot search at all is quoted.
    open(solver("echo 'brickrun-solve: cannot enter /the/data' >&2\nexit 2"), 10000);
    tap(key_prove);
    EXPECT_EQ(editor->status(), "Cannot prove: brickrun-solve: cannot enter /the/data");
}

TEST_F(EditorProof, POrEscapeOrLeavingStopsTheSolverAndLeavesNothingBehind) {
    const std::string pid_file = scratch("pid").string();
    open(solver("echo $$ > " + pid_file + ".part\nmv " + pid_file + ".part " + pid_file +
                "\nexec sleep 60"),
         0);
    // The solver writes its number once it runs; then it is stopped three ways.
    auto started = [&]() -> pid_t {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!fs::exists(pid_file) && std::chrono::steady_clock::now() < deadline) pass();
        const pid_t pid = std::atoi(slurp(pid_file).c_str());
        fs::remove(pid_file);
        EXPECT_EQ(editor->proof_state(), ProofState::running);
        EXPECT_EQ(proof_folders(), 1);
        return pid;
    };
    tap(key_prove);
    pid_t pid = started();
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(editor->status().starts_with("Proving... ")) << editor->status();
    tap(key_prove);
    EXPECT_EQ(editor->proof_state(), ProofState::idle);
    EXPECT_EQ(editor->status(), "Proving stopped");
    EXPECT_TRUE(process_gone(pid));
    EXPECT_EQ(proof_folders(), 0);

    tap(key_prove);
    pid = started();
    tap(key_escape);
    EXPECT_EQ(editor->status(), "Proving stopped");
    EXPECT_TRUE(process_gone(pid));

    tap(key_prove);
    pid = started();
    editor.reset();
    EXPECT_TRUE(process_gone(pid));
    EXPECT_EQ(proof_folders(), 0);
}

TEST_F(EditorProof, NoSolverOrALevelWithAnErrorIsOneLineOnTheStatus) {
    open(scratch("no-such-solver").string(), 0);
    tap(key_prove);
    EXPECT_EQ(editor->proof_state(), ProofState::idle);
    EXPECT_EQ(editor->status(), "Proving needs brickrun-solve beside the editor: there is no " +
                                    scratch("no-such-solver").string());
    EXPECT_EQ(proof_folders(), 0);

    std::string text = LevelDocument::fresh().text();
    text[text.rfind("....")] = 'q';
    open(solver("exit 0"), 0, LevelDocument::from_text(text));
    tap(key_prove);
    EXPECT_EQ(editor->proof_state(), ProofState::idle);
    EXPECT_TRUE(editor->status().starts_with("Cannot prove a level with an error: ")) << editor->status();
}
