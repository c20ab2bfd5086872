// Level previews: the level as it starts, drawn with the compiled pictures in the game's order
// (sky and terrain, blocks, enemies, the hero, the pipes in front), then the designer's marks.
#include "tools/assets/preview.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string_view>

#include "formats/bytes.h"
#include "formats/level_text.h"
#include "tools/assets/picture.h"
#include "tools/assets/text.h"

namespace assets {
namespace {

constexpr int kCell = 32;
constexpr int kHeroX = 67;  // where a fresh hero stands, in game coordinates
constexpr int kHeroY = 503;
constexpr int kShellWalkerRise = 26;  // a shell walker stands this much above its cell
constexpr int kScreenBottom = 600;
constexpr int kMarkerSize = 9;
// Game y 0 is the top of map row 1; the picture starts with row 0.
constexpr int kPictureY = kCell;
constexpr std::int64_t kMaxPixels = std::int64_t{1} << 26;

constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kNoKey = 0;  // never a pixel: all of them are opaque

enum PictureId { kSky, kGround, kBlock, kPipe0, kPipe1, kPipe2, kPipe3, kBrick, kQuestion, kGrowth,
                 kHidden, kWalker, kShellWalker, kHero, kPictureCount };

struct PictureFile {
    const char* name;
    std::uint32_t key;  // the colour the game leaves out when it draws the picture
};

constexpr std::array<PictureFile, kPictureCount> kPictureFiles = {{
    {"sky", kNoKey},
    {"ground", kWhite},
    {"block", kWhite},
    {"pipe0", kWhite},
    {"pipe1", kWhite},
    {"pipe2", kWhite},
    {"pipe3", kWhite},
    {"brick", kWhite},
    {"qblock0", kWhite},
    {"growcap", kBlack},
    {"solidbrick", kWhite},
    {"plomb0", kWhite},
    {"zelvogreen0", kBlack},
    {"pelko", kWhite},
}};

struct Sprite {
    Image image;
    std::uint32_t key = kNoKey;
};

using Sprites = std::array<Sprite, kPictureCount>;

std::optional<std::string> load_sprites(const std::string& graphics_dir, Sprites& sprites)
{
    for (std::size_t id = 0; id < sprites.size(); ++id) {
        const std::string path =
            (std::filesystem::path(graphics_dir) / (std::string(kPictureFiles[id].name) + ".txt")).string();
        std::string error;
        const auto source = read_file(path, error);
        if (!source)
            return path + ": cannot read: " + error;
        const Compiled compiled = compile_picture(*source);
        if (compiled.error)
            return path + ":" + std::to_string(compiled.error->line) + ":" +
                   std::to_string(compiled.error->column) + ": " + compiled.error->message;
        auto image = decode_bmp(compiled.bytes);
        if (!image)
            return path + ": the compiled picture is not a 24-bit BMP";
        sprites[id] = {std::move(*image), kPictureFiles[id].key};
    }
    return std::nullopt;
}

std::uint32_t mix(std::uint32_t over, std::uint32_t under, int opacity)  // opacity 0 to 256
{
    std::uint32_t out = 0xFF000000;
    for (int shift = 0; shift < 24; shift += 8) {
        const int a = static_cast<int>(over >> shift & 0xFF);
        const int b = static_cast<int>(under >> shift & 0xFF);
        out |= static_cast<std::uint32_t>((a * opacity + b * (256 - opacity)) / 256) << shift;
    }
    return out;
}

void plot(Image& picture, int x, int y, std::uint32_t colour)
{
    if (x >= 0 && y >= 0 && x < picture.width && y < picture.height)
        picture.at(x, y) = colour;
}

// Draws the sprite with its top left at (x, y) in the picture, `shrink` times smaller, leaving out
// its colour key unless `opaque`.
void draw(Image& picture, const Sprite& sprite, int x, int y, bool opaque = false, int opacity = 256,
          int shrink = 1)
{
    const Image& image = sprite.image;
    for (int sy = 0; sy < image.height / shrink; ++sy) {
        const int py = y + sy;
        if (py < 0 || py >= picture.height)
            continue;
        for (int sx = 0; sx < image.width / shrink; ++sx) {
            const int px = x + sx;
            const std::uint32_t colour = image.at(sx * shrink, sy * shrink);
            if (px < 0 || px >= picture.width || (!opaque && colour == sprite.key))
                continue;
            picture.at(px, py) = mix(colour, picture.at(px, py), opacity);
        }
    }
}

// A one-pixel outline of alternating black and white dashes, visible on any background.
void dashed_outline(Image& picture, int x, int y, int size)
{
    for (int i = 0; i < size; ++i) {
        const std::uint32_t colour = i / 4 % 2 ? kBlack : kWhite;
        plot(picture, x + i, y, colour);
        plot(picture, x + i, y + size - 1, colour);
        plot(picture, x, y + i, colour);
        plot(picture, x + size - 1, y + i, colour);
    }
}

void square_outline(Image& picture, int centre_x, int centre_y, std::uint32_t colour)
{
    const int half = kMarkerSize / 2;
    for (int i = -half; i <= half; ++i) {
        plot(picture, centre_x + i, centre_y - half, colour);
        plot(picture, centre_x + i, centre_y + half, colour);
        plot(picture, centre_x - half, centre_y + i, colour);
        plot(picture, centre_x + half, centre_y + i, colour);
    }
}

bool is_pipe(char tile)
{
    return tile == '[' || tile == ']' || tile == '{' || tile == '}';
}

// '[' ']' are drawn whole, '{' '}' leave their white out, as the game paints them.
void draw_pipe(Image& picture, const Sprites& sprites, char tile, int x, int y)
{
    const int id = kPipe0 + static_cast<int>(std::string_view("[]{}").find(tile));
    draw(picture, sprites[static_cast<std::size_t>(id)], x, y, tile == '[' || tile == ']');
}

struct Level {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bytes;

    char tile(int column, int row) const
    {
        const auto at = 8 + 4 * (static_cast<std::size_t>(row) * width + static_cast<std::size_t>(column));
        return kTileChars[static_cast<std::size_t>(get_i32(bytes, at))];
    }
};

// Calls paint(tile, x, y) for every cell the game plays on, at its place in the picture.
template <typename Paint>
void for_each_cell(const Level& level, Paint paint)
{
    for (int row = 0; row < std::min(level.height, kMinLevelRows); ++row) {
        for (int column = 0; column < level.width; ++column)
            paint(level.tile(column, row), kCell * column, kCell * row);
    }
}

void draw_level(const Level& level, const Sprites& sprites, Image& picture)
{
    const auto sprite = [&](PictureId id) -> const Sprite& { return sprites[static_cast<std::size_t>(id)]; };
    const Sprite& sky = sprite(kSky);
    for (int y = 0; y < picture.height; y += sky.image.height) {
        for (int x = 0; x < picture.width; x += sky.image.width)
            draw(picture, sky, x, y, true);
    }
    for_each_cell(level, [&](char tile, int x, int y) {
        if (tile == '=')
            draw(picture, sprite(kGround), x, y, true);
        else if (tile == 'X')
            draw(picture, sprite(kBlock), x, y, true);
        else if (is_pipe(tile))
            draw_pipe(picture, sprites, tile, x, y);
    });
    for_each_cell(level, [&](char tile, int x, int y) {
        if (tile == 'B' || tile == 'C')
            draw(picture, sprite(kBrick), x, y, true);
        if (tile == '?' || tile == 'G')
            draw(picture, sprite(kQuestion), x, y, true);
        if (tile == 'G')
            draw(picture, sprite(kGrowth), x + kCell / 4, y + kCell / 4, false, 256, 2);
        if (tile == 'H') {
            draw(picture, sprite(kHidden), x, y, false, 128);
            dashed_outline(picture, x, y, kCell);
        }
    });
    for_each_cell(level, [&](char tile, int x, int y) {
        if (tile == 'w')
            draw(picture, sprite(kWalker), x, y);
        if (tile == 's')
            draw(picture, sprite(kShellWalker), x, y - kShellWalkerRise);
    });
    draw(picture, sprite(kHero), kHeroX, kHeroY + kPictureY);
    for_each_cell(level, [&](char tile, int x, int y) {
        if (is_pipe(tile))
            draw_pipe(picture, sprites, tile, x, y);
    });

    // The exit trigger sits on the bottom-right corner of the entrance cell.
    for_each_cell(level, [&](char tile, int x, int y) {
        if (tile == kPipeEntrance)
            square_outline(picture, x + kCell, y + kCell, kExitMarkerColour);
    });
    for (int x = 0; x < picture.width; ++x)
        plot(picture, x, kScreenBottom + kPictureY, x / 8 % 2 ? kWhite : kExitMarkerColour);
}

}  // namespace

std::optional<Image> decode_bmp(std::span<const std::uint8_t> bytes)
{
    constexpr std::size_t kHeaders = 54;
    if (bytes.size() < kHeaders || bytes[0] != 'B' || bytes[1] != 'M' || bytes[28] != 24)
        return std::nullopt;
    Image image;
    image.width = get_i32(bytes, 18);
    image.height = get_i32(bytes, 22);  // positive: the rows are stored bottom-up
    if (image.width < 1 || image.height < 1 || image.width > kMaxPictureSize ||
        image.height > kMaxPictureSize)
        return std::nullopt;
    const std::size_t stride = (3 * static_cast<std::size_t>(image.width) + 3) & ~std::size_t{3};
    if (bytes.size() < kHeaders + stride * static_cast<std::size_t>(image.height))
        return std::nullopt;
    image.pixels.resize(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height));
    for (int y = 0; y < image.height; ++y) {
        const std::size_t row = kHeaders + stride * static_cast<std::size_t>(image.height - 1 - y);
        for (int x = 0; x < image.width; ++x) {
            const std::size_t at = row + 3 * static_cast<std::size_t>(x);
            image.at(x, y) = 0xFF000000u | static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
                             static_cast<std::uint32_t>(bytes[at + 1]) << 8 | bytes[at];
        }
    }
    return image;
}

std::string default_graphics_dir(const std::string& level_path)
{
    const std::filesystem::path maps = std::filesystem::path(level_path).parent_path();
    return (maps.parent_path() / "graphics").string();
}

std::optional<std::string> draw_preview(const std::string& level_path, const std::string& graphics_dir,
                                        Image& picture)
{
    picture = Image{};
    std::string error;
    const auto source = read_file(level_path, error);
    if (!source)
        return level_path + ": cannot read: " + error;
    Compiled compiled = compile_level(*source);
    if (compiled.error)
        return level_path + ":" + std::to_string(compiled.error->line) + ":" +
               std::to_string(compiled.error->column) + ": " + compiled.error->message;
    Level level{get_i32(compiled.bytes, 0), get_i32(compiled.bytes, 4), std::move(compiled.bytes)};
    if (std::int64_t{level.width} * level.height * kCell * kCell > kMaxPixels)
        return level_path + ": the level is too big for a preview (" + std::to_string(level.width) + "x" +
               std::to_string(level.height) + " cells)";

    Sprites sprites;
    if (auto failure = load_sprites(graphics_dir, sprites))
        return failure;
    Image drawn;
    drawn.width = kCell * level.width;
    drawn.height = kCell * level.height;
    drawn.pixels.assign(static_cast<std::size_t>(drawn.width) * static_cast<std::size_t>(drawn.height),
                        kBlack);
    draw_level(level, sprites, drawn);
    picture = std::move(drawn);
    return std::nullopt;
}

}  // namespace assets
