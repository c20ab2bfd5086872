// The program-wide pictures, loaded once at start-up and released at shutdown. World objects hold
// copies of them; only these own their textures.
#pragma once

#include "render/sprite.h"

#include <cstdint>

extern Sprite sky_sprite;
extern Sprite title_sprite;
extern Sprite pipe_sprites[4];       // tile codes 10 to 13
extern Sprite brick_sprite;
extern Sprite spent_block_sprite;    // a block whose content is gone
extern Sprite question_sprites[3];   // the question block's shimmer
extern Sprite block_sprite;          // the solid block tile
extern Sprite ground_sprite;
extern Sprite debris_sprite;         // brick debris; its pictures are loaded while it flies
extern Sprite walker_sprite;
extern Sprite shell_sprite;
extern Sprite shell_walker_sprites[2];
extern Sprite coin_sprites[4];
extern Sprite growth_sprite;
extern Sprite small_stand_sprite;    // also the lives picture of the level banner
extern Sprite small_run_sprites[3];
extern Sprite small_jump_sprite;
extern Sprite small_wall_sprite;
extern Sprite dying_sprite;
extern Sprite small_duck_sprite;     // never loaded: the small hero cannot crouch
extern Sprite big_duck_sprite;
extern Sprite big_stand_sprite;
extern Sprite big_run_sprites[3];
extern Sprite big_jump_sprite;
extern Sprite big_wall_sprite;

// The load order: each program-wide picture's file and colour key, sky first.
struct PictureFile {
    const char* path;
    Sprite* sprite;
    uint32_t colour_key;
    Unloaded unloaded = Unloaded::warn;
};
extern const PictureFile picture_files[37];

// A debris picture ("Graphics\\brokenl.bmp", "Graphics\\brokenr.bmp") as loaded during play, once.
struct DebrisPicture {
    Sprite sprite;
    bool loaded = false;
};
extern DebrisPicture debris_pictures[2];

// Every record of this file, for the program-wide state list: the Sprites of the load order, the
// never-loaded small crouch and the two debris pictures.
template <class Visit>
void visit_pictures(Visit&& visit) {
    for (const PictureFile& file : picture_files) visit(*file.sprite);
    visit(small_duck_sprite);
    for (DebrisPicture& picture : debris_pictures) visit(picture);
}

// Loads the pictures in their fixed order, each with its colour key.
void load_pictures();
// Releases every program-wide picture, the never-loaded one included.
void release_pictures();
// Puts one of the two debris pictures ("Graphics\\brokenl.bmp", "Graphics\\brokenr.bmp", colour key
// white) into debris_sprite. Each file is loaded the first time it is asked for and kept until
// shutdown, so the debris frames, which ask every frame, load nothing more and leak nothing.
void show_debris_picture(const char* path);
// The file name of the program-wide picture whose texture a Sprite shares ("pelko.bmp"), or "" for
// an empty Sprite or one that is none of them.
const char* picture_name(const Sprite& sprite);
