// What the level editor's document costs on the largest shipped level and on one of 10,000
// columns: problems() after a change, a 1000-cell stroke, its undo and redo. The screen asks for
// problems() after each change, so it may cost little more than compiling the text once, which is
// timed here in the same run as the bound; a stroke and its undo must cost less than compiling the
// 10,000-column level, the check that follows every change there. Each time is the least of many
// runs, the steadiest measure on a machine others share. Prints the numbers; exits 1 if a bound is
// broken.
//
// Run: build/release/bench/bench_level_document (or the dev build's)
#include "bench/timing.h"
#include "editor/level_document.h"
#include "formats/level_text.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

using bench::Clock;
using bench::us_since;

constexpr int kRuns = 41;

// The least of kRuns timings of `work`, in microseconds.
double least_us(const std::function<void()>& work)
{
    double least = 1e300;
    for (int i = 0; i < kRuns; ++i) {
        const auto t = Clock::now();
        work();
        least = std::min(least, us_since(t));
    }
    return least;
}

std::string read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The level's own map repeated to `columns`, keeping its first columns (the start) and last (the exit).
std::string widened(const std::string& text, int columns)
{
    const editor::LevelDocument level = editor::LevelDocument::from_text(text);
    std::string out = formats::level_legend();
    const int width = level.width();
    for (int row = 0; row < level.height(); ++row) {
        std::string cells;
        for (int col = 0; col < columns; ++col) {
            const int from_end = columns - col;
            const int source = from_end <= width / 2 ? width - from_end : 8 + col % (width / 2 - 8);
            cells += level.at(source, row);
        }
        out += cells + "\n";
    }
    return out;
}

bool measure(const char* name, const std::string& text, double edit_bound)
{
    editor::LevelDocument doc = editor::LevelDocument::from_text(text);
    const double compile = least_us([&] { formats::compile_level(text); });
    const double problems = least_us([&] { doc.problems(); });
    int k = 0;
    const double set_and_problems = least_us([&] {
        ++k;
        doc.set(10 + k % (doc.width() - 20), 5, "BX"[k % 2]);
        doc.problems();
    });
    double stroke = 1e300, undo = 1e300, redo = 1e300;
    for (int run = 0; run < kRuns; ++run) {
        auto t = Clock::now();
        doc.begin_stroke();
        for (int i = 0; i < 1000; ++i)
            doc.set((i * 37 + run) % doc.width(), i % 16, "BX?C"[(i + run) % 4]);
        doc.end_stroke();
        stroke = std::min(stroke, us_since(t));
        t = Clock::now();
        doc.undo();
        undo = std::min(undo, us_since(t));
        t = Clock::now();
        doc.redo();
        redo = std::min(redo, us_since(t));
        doc.undo();
    }
    const bool clean = doc.problems().empty();
    std::printf("%-22s %6d x %-3d  compile %8.1f us  problems %8.1f us  set+problems %8.1f us\n"
                "%-22s %12s  1000-cell stroke %7.1f us  undo %7.1f us  redo %7.1f us (least of %d)\n",
                name, doc.width(), doc.height(), compile, problems, set_and_problems, "", "", stroke, undo,
                redo, kRuns);
    bool ok = clean;
    if (!clean)
        std::printf("  the level has problems: the timings are not of a playable level\n");
    // Turning the compiler's positions into cells is a search per problem; anything more than a
    // fifth over the compile itself (and a little for the clock) is work problems() should not do.
    if (set_and_problems > compile * 1.2 + 50) {
        std::printf("  FAIL: set+problems %.1f us is over 1.2 x the compile (%.1f us)\n", set_and_problems, compile);
        ok = false;
    }
    if (stroke + undo > edit_bound) {
        std::printf("  FAIL: a stroke and its undo take %.1f us, over compiling 10,000 columns (%.1f us)\n",
                    stroke + undo, edit_bound);
        ok = false;
    }
    return ok;
}

}  // namespace

int main()
{
    std::string largest;
    for (const char* name : {"level1", "level2", "level3"}) {
        const std::string text = read(std::string(BRICKRUN_ASSETS) + "/maps/" + name + ".txt");
        if (text.size() > largest.size())
            largest = text;
    }
    if (largest.empty()) {
        std::fprintf(stderr, "bench_level_document: cannot read the shipped levels in %s\n", BRICKRUN_ASSETS);
        return 1;
    }
    const std::string wide = widened(largest, 10000);
    const double wide_compile = least_us([&] { formats::compile_level(wide); });
    bool ok = measure("largest shipped level", largest, wide_compile);
    ok = measure("10,000 columns", wide, wide_compile) && ok;
    return ok ? 0 : 1;
}
