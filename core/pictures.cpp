#include "core/pictures.h"

#include <cstdint>
#include <cstring>

Sprite sky_sprite, title_sprite, pipe_sprites[4], brick_sprite, spent_block_sprite,
    question_sprites[3], block_sprite, ground_sprite, debris_sprite, walker_sprite, shell_sprite,
    shell_walker_sprites[2], coin_sprites[4], growth_sprite, small_stand_sprite,
    small_run_sprites[3], small_jump_sprite, small_wall_sprite, dying_sprite, small_duck_sprite,
    big_duck_sprite, big_stand_sprite, big_run_sprites[3], big_jump_sprite, big_wall_sprite;

namespace {

constexpr uint32_t no_key = 0;
constexpr uint32_t white_key = 0xFFFFFFFF;  // opaque white becomes transparent
constexpr uint32_t black_key = 0xFF000000;  // opaque black becomes transparent

}  // namespace

// "bokenr.bmp" is the name start-up has always asked for; no such file exists, so the debris Sprite
// starts empty and gets its real pictures while a brick breaks. What start-up loads into it is
// never shown, so its absence is no news to a player: a normal start says nothing.
const PictureFile picture_files[37] = {
    {"Graphics\\sky.bmp", &sky_sprite, no_key},
    {"Graphics\\title.bmp", &title_sprite, no_key},
    {"Graphics\\pipe0.bmp", &pipe_sprites[0], white_key},
    {"Graphics\\pipe1.bmp", &pipe_sprites[1], white_key},
    {"Graphics\\pipe2.bmp", &pipe_sprites[2], white_key},
    {"Graphics\\pipe3.bmp", &pipe_sprites[3], white_key},
    {"Graphics\\brick.bmp", &brick_sprite, white_key},
    {"Graphics\\solidbrick.bmp", &spent_block_sprite, white_key},
    {"Graphics\\qblock0.bmp", &question_sprites[0], white_key},
    {"Graphics\\qblock1.bmp", &question_sprites[1], white_key},
    {"Graphics\\qblock2.bmp", &question_sprites[2], white_key},
    {"Graphics\\block.bmp", &block_sprite, white_key},
    {"Graphics\\ground.bmp", &ground_sprite, white_key},
    {"Graphics\\bokenr.bmp", &debris_sprite, white_key, Unloaded::quiet},
    {"Graphics\\plomb0.bmp", &walker_sprite, white_key},
    {"Graphics\\zelvoshell.bmp", &shell_sprite, black_key},
    {"Graphics\\zelvogreen0.bmp", &shell_walker_sprites[0], black_key},
    {"Graphics\\zelvogreen1.bmp", &shell_walker_sprites[1], black_key},
    {"Graphics\\coin0.bmp", &coin_sprites[0], black_key},
    {"Graphics\\coin1.bmp", &coin_sprites[1], black_key},
    {"Graphics\\coin2.bmp", &coin_sprites[2], black_key},
    {"Graphics\\coin3.bmp", &coin_sprites[3], black_key},
    {"Graphics\\growcap.bmp", &growth_sprite, black_key},
    {"Graphics\\pelko.bmp", &small_stand_sprite, white_key},
    {"Graphics\\pelkorun0.bmp", &small_run_sprites[0], white_key},
    {"Graphics\\pelkorun1.bmp", &small_run_sprites[1], white_key},
    {"Graphics\\pelkorun2.bmp", &small_run_sprites[2], white_key},
    {"Graphics\\pelkojump.bmp", &small_jump_sprite, white_key},
    {"Graphics\\pelkowall.bmp", &small_wall_sprite, white_key},
    {"Graphics\\pelkodie.bmp", &dying_sprite, black_key},
    {"Graphics\\spelkoduck.bmp", &big_duck_sprite, white_key},
    {"Graphics\\spelko.bmp", &big_stand_sprite, white_key},
    {"Graphics\\spelkorun0.bmp", &big_run_sprites[0], white_key},
    {"Graphics\\spelkorun1.bmp", &big_run_sprites[1], white_key},
    {"Graphics\\spelkorun2.bmp", &big_run_sprites[2], white_key},
    {"Graphics\\spelkojump.bmp", &big_jump_sprite, white_key},
    {"Graphics\\spelkowall.bmp", &big_wall_sprite, white_key},
};

DebrisPicture debris_pictures[2];

namespace {

const char* const debris_paths[2] = {"Graphics\\brokenl.bmp", "Graphics\\brokenr.bmp"};

bool is_debris_picture(const Sprite& sprite) {
    if (!sprite.texture) return false;
    for (const auto& picture : debris_pictures)
        if (picture.sprite.texture == sprite.texture) return true;
    return false;
}

}  // namespace

void show_debris_picture(const char* path) {
    for (int i = 0; i < 2; ++i) {
        if (std::strcmp(debris_paths[i], path) != 0) continue;
        DebrisPicture& picture = debris_pictures[i];
        if (!picture.loaded) {
            load_sprite(debris_paths[i], picture.sprite, white_key);
            picture.loaded = true;
        }
        // What start-up loaded into the debris Sprite is its own; it goes before it is replaced.
        if (!is_debris_picture(debris_sprite)) release_sprite(debris_sprite);
        debris_sprite = picture.sprite;
        return;
    }
}

void load_pictures() {
    for (const auto& file : picture_files)
        load_sprite(file.path, *file.sprite, file.colour_key, file.unloaded);
}

void release_pictures() {
    if (is_debris_picture(debris_sprite)) debris_sprite = Sprite{};  // shares one released below
    for (const auto& file : picture_files) release_sprite(*file.sprite);
    release_sprite(small_duck_sprite);
    for (auto& picture : debris_pictures) {
        release_sprite(picture.sprite);
        picture = DebrisPicture{};
    }
}

const char* picture_name(const Sprite& sprite) {
    if (!sprite.texture) return "";
    // The debris pictures first: the debris Sprite of the load order shares their textures.
    for (int i = 0; i < 2; ++i) {
        if (debris_pictures[i].sprite.texture == sprite.texture)
            return debris_paths[i] + sizeof "Graphics\\" - 1;
    }
    for (const auto& file : picture_files) {
        if (file.sprite->texture == sprite.texture) return file.path + sizeof "Graphics\\" - 1;
    }
    return "";
}
