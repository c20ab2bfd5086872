// The pack reader's two halves, both pure: pack.txt read on its own, and a pack's order worked out
// from a folder's file names and its pack.txt. The input is the folder's names, one a line, then a
// NUL byte and the text of pack.txt (without a NUL, the folder has no pack.txt).
#include "fuzz/support.h"
#include "formats/level_pack.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

void check_list(const formats::PackListRead& read) {
    if (read.error) {
        fuzz::expect(read.error->line >= 1 && read.error->column >= 1 && !read.error->message.empty(),
                     "a refused pack.txt says where and why");
        return;
    }
    const auto& files = read.list.files;
    fuzz::expect(!files.empty() && files.size() <= formats::kMaxPackLevels,
                 "an accepted pack.txt names 1 to 99 levels");
    for (const std::string& file : files)
        fuzz::expect(file.find_first_of("/\\") == std::string::npos && file != "pack.txt",
                     "an accepted pack.txt names only level files of its own folder");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::MemoryBudget budget;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    check_list(formats::read_pack_list(input));

    const size_t split = input.find('\0');
    std::vector<std::string> names;
    for (std::string_view rest = input.substr(0, split); !rest.empty();) {
        const size_t end = rest.find('\n');
        names.emplace_back(rest.substr(0, end));
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
    const std::optional<std::string> pack_txt =
        split == std::string_view::npos ? std::nullopt
                                        : std::optional<std::string>(input.substr(split + 1));
    const formats::PackOrder order = formats::order_pack(names, pack_txt);
    if (order.error || order.source_error) {
        fuzz::expect(order.list.files.empty(), "a refused pack plays nothing");
        return 0;
    }
    const auto& files = order.list.files;
    fuzz::expect(!files.empty() && files.size() <= formats::kMaxPackLevels,
                 "a pack plays 1 to 99 levels");
    for (const std::string& file : files)
        fuzz::expect(std::find(names.begin(), names.end(), file) != names.end(),
                     "a pack plays only files of its folder");
    if (!pack_txt) {
        fuzz::expect(std::is_sorted(files.begin(), files.end()),
                     "without a pack.txt the levels play in name order");
        for (const std::string& file : files)
            fuzz::expect(formats::is_level_file_name(file),
                         "without a pack.txt only .txt and .map files are levels");
    }
    return 0;
}
