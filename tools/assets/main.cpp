// brickrun-assets: compiles the game's text sources in assets/ into the files the game reads.
//
//   brickrun-assets picture IN.txt OUT.bmp
//   brickrun-assets font    IN.txt OUT.raw
//   brickrun-assets level   IN.txt OUT.map
//   brickrun-assets unlevel IN.map OUT.txt
//   brickrun-assets preview IN.txt OUT.png [GRAPHICS_DIR]
//   brickrun-assets icon    IN.txt SIZE OUT.png | SIZE,SIZE... OUT.ico
//
// Exit status 0 on success, 1 for bad input (one "file:line:column: message" or "file: message" line on
// stderr, and no output written), 2 for a bad command line.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "shell/command_line.h"
#include "tools/assets/check_pack.h"
#include "tools/assets/font.h"
#include "tools/assets/icon.h"
#include "formats/level_text.h"
#include "tools/assets/picture.h"
#include "tools/assets/preview.h"
#include "tools/assets/sound.h"
#include "tools/headless/image_file.h"

namespace {

namespace fs = std::filesystem;

constexpr int kExitBadInput = 1;
constexpr int kExitUsage = 2;

int usage()
{
    std::cerr << "usage: brickrun-assets picture|font|level|unlevel|sound INPUT OUTPUT"
                 " | preview LEVEL.txt OUT.png [GRAPHICS_DIR] | icon PICTURE.txt SIZE OUT.png"
                 " | icon PICTURE.txt SIZE,SIZE... OUT.ico | check-pack DIR [--data DATA]\n";
    return kExitUsage;
}

int fail(const std::string& path, const std::string& message)
{
    std::cerr << path << ": " << message << '\n';
    return kExitBadInput;
}

// Writes to a temporary file beside the output and renames it into place, so a failed or interrupted
// run never leaves a half-written output for the build to pick up. On failure `error` is the message.
bool write_file(const std::string& path, std::span<const char> bytes, std::string& error)
{
    const fs::path target(path);
    std::error_code code;
    if (target.has_parent_path()) {
        fs::create_directories(target.parent_path(), code);
        if (code) {
            error = "cannot create its folder: " + code.message();
            return false;
        }
    }
    const std::string temporary = path + ".partial";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        error = std::string("cannot write: ") + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int write_errno = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        error = std::string("cannot write: ") + std::strerror(written ? errno : write_errno);
        fs::remove(temporary, code);
        return false;
    }
    fs::rename(temporary, target, code);
    if (code) {
        error = "cannot write: " + code.message();
        fs::remove(temporary, code);
        return false;
    }
    return true;
}

std::span<const char> as_chars(const std::vector<std::uint8_t>& bytes)
{
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

int compile(std::string_view kind, const std::string& in, const std::string& out)
{
    std::string error;
    const auto source = assets::read_file(in, error);
    if (!source)
        return fail(in, "cannot read: " + error);
    const assets::Compiled result = kind == "picture" ? assets::compile_picture(*source)
                                    : kind == "font"  ? assets::compile_font(*source)
                                    : kind == "sound" ? assets::compile_sound(*source)
                                                      : assets::compile_level(*source);
    if (result.error) {
        const assets::SourceError& e = *result.error;
        std::cerr << in << ':' << e.line << ':' << e.column << ": " << e.message << '\n';
        return kExitBadInput;
    }
    for (const std::string& warning : result.warnings)
        std::cerr << in << ": warning: " << warning << '\n';
    if (!write_file(out, as_chars(result.bytes), error))
        return fail(out, error);
    return 0;
}

int unlevel(const std::string& in, const std::string& out)
{
    std::string error;
    const auto map = assets::read_file(in, error);
    if (!map)
        return fail(in, "cannot read: " + error);
    const assets::Decompiled result = assets::decompile_level(
        {reinterpret_cast<const std::uint8_t*>(map->data()), map->size()});
    if (result.error)
        return fail(in, *result.error);
    if (!write_file(out, result.text, error))
        return fail(out, error);
    return 0;
}

// The picture is written beside the output under a temporary name with the same extension (which
// picks the format) and renamed into place, like every other output.
int write_picture(const std::string& out, const assets::Image& picture, bool alpha)
{
    const fs::path target(out);
    std::error_code code;
    if (target.has_parent_path()) {
        fs::create_directories(target.parent_path(), code);
        if (code)
            return fail(out, "cannot create its folder: " + code.message());
    }
    const fs::path temporary = target.parent_path() / (".partial-" + target.filename().string());
    std::string error;
    if (!write_image(temporary.string(), picture.pixels.data(), picture.width, picture.height, error,
                     alpha)) {
        fs::remove(temporary, code);
        const std::string prefix = temporary.string() + ": ";
        return fail(out, error.starts_with(prefix) ? error.substr(prefix.size()) : error);
    }
    fs::rename(temporary, target, code);
    if (code) {
        fs::remove(temporary, code);
        return fail(out, "cannot write: " + code.message());
    }
    return 0;
}

int preview(const std::string& in, const std::string& out, const std::string& graphics_dir)
{
    assets::Image picture;
    if (auto error = assets::draw_preview(in, graphics_dir, picture)) {
        std::cerr << *error << '\n';
        return kExitBadInput;
    }
    return write_picture(out, picture, false);
}

// "32,64" as sizes, each 1 to 256 for an icon file, or one for a PNG; nothing when malformed.
std::optional<std::vector<int>> icon_sizes(std::string_view text, bool file)
{
    std::vector<int> sizes;
    while (true) {
        const std::size_t comma = text.find(',');
        const auto size = assets::parse_number(text.substr(0, comma), 1, file ? 256 : assets::kMaxPictureSize);
        if (!size)
            return std::nullopt;
        sizes.push_back(*size);
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    if (!file && sizes.size() != 1)
        return std::nullopt;
    return sizes;
}

int icon(const std::string& in, const std::string& size_text, const std::string& out)
{
    const bool file = out.ends_with(".ico");
    const auto sizes = icon_sizes(size_text, file);
    if (!sizes)
        return usage();
    std::string error;
    const auto source = assets::read_file(in, error);
    if (!source)
        return fail(in, "cannot read: " + error);
    const assets::Compiled picture = assets::compile_picture(*source);
    if (picture.error) {
        const assets::SourceError& e = *picture.error;
        std::cerr << in << ':' << e.line << ':' << e.column << ": " << e.message << '\n';
        return kExitBadInput;
    }
    std::vector<assets::Image> images(sizes->size());
    for (std::size_t i = 0; i < sizes->size(); ++i)
        if (auto problem = assets::draw_icon(picture.bytes, (*sizes)[i], images[i]))
            return fail(in, *problem);
    if (!file)
        return write_picture(out, images[0], true);
    if (!write_file(out, as_chars(assets::icon_file(images)), error))
        return fail(out, error);
    return 0;
}

int run(int argc, char** argv)
{
    if (argc >= 3 && std::string_view(argv[1]) == "check-pack" && argv[2][0] != '\0') {
        if (argc == 3)
            return check_pack(argv[2], "", argv[0]);
        if (argc == 5 && std::string_view(argv[3]) == "--data" && argv[4][0] != '\0')
            return check_pack(argv[2], argv[4], argv[0]);
        return usage();
    }
    if (argc < 4)
        return usage();
    const std::string_view command = argv[1];
    const std::string in = argv[2];
    const std::string out = argv[3];
    if (in.empty() || out.empty())
        return usage();
    if (command == "icon" && argc == 5)
        return icon(in, argv[3], argv[4]);
    if (command == "preview" && argc <= 5) {
        const std::string graphics = argc == 5 ? argv[4] : assets::default_graphics_dir(in);
        return graphics.empty() ? usage() : preview(in, out, graphics);
    }
    if (argc != 4)
        return usage();
    if (command == "picture" || command == "font" || command == "level" || command == "sound")
        return compile(command, in, out);
    if (command == "unlevel")
        return unlevel(in, out);
    return usage();
}

}  // namespace

constexpr const char* help = R"(usage: brickrun-assets COMMAND INPUT OUTPUT
Compiles the game's data from its text sources, and back.

  picture IN.txt OUT.bmp         a picture: pixel art with a palette, to a 24-bit BMP
  font IN.txt OUT.raw            the font's 96 glyphs, to the raw 648x12 strip
  level IN.txt OUT.map           a level, checked (exit pipe, the hero's start, tiles), to a map
  unlevel IN.map OUT.txt         any map back to text
  sound IN.txt OUT.wav           an effect or a tune, to 16-bit PCM mono WAV at 48000 Hz
  preview LEVEL.txt OUT.png [GRAPHICS_DIR]
                                 the whole level drawn as one picture, from the picture sources
                                 in GRAPHICS_DIR (assets/graphics beside the level's folder
                                 unless told)
  icon PICTURE.txt SIZE OUT.png  a square picture at SIZE pixels (a whole multiple), white clear
  icon PICTURE.txt SIZE,... OUT.ico
                                 a Windows icon file holding it at each SIZE (up to 256)
  check-pack DIR [--data DATA]   every level of the pack in DIR compiled, then proved to be
                                 finished by brickrun-solve (beside this program) with the
                                 game's data (DATA, else data/ beside the program, the
                                 installed ../share/brickrun or the current folder): one line
                                 a level with its proof's time; status 1 names the levels that
                                 cannot be finished
  --help                         print this and exit
  --version                      print the version and exit

A bad source gets "file:line:column: message" and exit status 1, with nothing written; a bad
command line exit status 2.
)";

int main(int argc, char** argv)
{
    if (answer_help_or_version(argc, argv, "brickrun-assets", help))
        return 0;
    try {
        return run(argc, argv);
    } catch (const std::exception& e) {
        // Only running out of memory gets here: every file and parse failure is reported on its own.
        std::cerr << "brickrun-assets: " << e.what() << '\n';
        return kExitBadInput;
    }
}
