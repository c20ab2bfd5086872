// What the fuzz targets share: the memory each input may take, a file to hand each input to
// readers that take a path, as the game's do, and the check that stops a run on a broken promise.
#pragma once

#include <sanitizer/allocator_interface.h>
#include <sanitizer/common_interface_defs.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

// A reader broke a promise its callers rely on: say which, and stop so libFuzzer keeps the input.
inline void expect(bool holds, const char* promise) {
    if (holds) return;
    std::fprintf(stderr, "broken promise: %s\n", promise);
    std::abort();
}

// No input may take more heap than this at once, counted from what was live when it began.
// libFuzzer's own limits cannot say it: -malloc_limit_mb sees one allocation at a time, and the
// sanitizers alone keep more than this resident, so -rss_limit_mb must be far higher.
constexpr int64_t memory_budget = int64_t{64} << 20;

namespace heap {

inline std::atomic<int64_t> live{0};  // since the hooks came in, so it may start below zero
inline std::atomic<int64_t> input_start{0};
inline std::atomic<bool> counting{false};

inline void on_malloc(const volatile void*, size_t size) {
    const int64_t now = live.fetch_add(static_cast<int64_t>(size)) + static_cast<int64_t>(size);
    if (counting && now - input_start > memory_budget) {
        counting = false;
        // No stdio here: it may allocate, and this runs inside malloc.
        static const char message[] = "==brickrun== ERROR: one input took more than 64 MB\n";
        if (write(2, message, sizeof message - 1) < 0) {}
        __sanitizer_print_stack_trace();
        std::abort();
    }
}

inline void on_free(const volatile void* p) {
    if (p && __sanitizer_get_ownership(p))
        live -= static_cast<int64_t>(__sanitizer_get_allocated_size(p));
}

inline const bool hooked = __sanitizer_install_malloc_and_free_hooks(on_malloc, on_free) != 0;

}  // namespace heap

// Counts the heap one input takes against memory_budget, from its start to its end; each target
// makes one first thing.
struct MemoryBudget {
    MemoryBudget() {
        expect(heap::hooked, "the sanitizer takes the memory hooks");
        heap::input_start = heap::live.load();
        heap::counting = true;
    }
    ~MemoryBudget() { heap::counting = false; }
    MemoryBudget(const MemoryBudget&) = delete;
    MemoryBudget& operator=(const MemoryBudget&) = delete;
};

inline std::string& input_path() {
    static std::string path;
    return path;
}

inline void remove_input_file() { std::remove(input_path().c_str()); }

// Writes the input to this process's one file and returns its path. The file lives in memory
// (/dev/shm) where the machine has that, and goes at exit. Aborts if it cannot be written, since
// every input would then read as a missing file and the run would prove nothing.
inline const char* write_input(const uint8_t* data, size_t size, const char* extension) {
    std::string& path = input_path();
    if (path.empty()) {
        const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        path = std::string(folder) + "/brickrun-fuzz-" + std::to_string(getpid()) + extension;
        std::atexit(remove_input_file);
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) {
        std::perror(path.c_str());
        std::abort();
    }
    return path.c_str();
}

}  // namespace fuzz
