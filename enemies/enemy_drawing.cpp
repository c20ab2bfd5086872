// The enemy's walk cycles, its two death animations and the points of its kill.
//
// A stomped enemy is squashed into its lowest rows and lies flat; one hit by a shell is drawn
// upside down over its own box and drifts sideways as it falls. Either ends by leaving the object
// list at anim 90. A live enemy's anim counts up to 100 and stops: the shell's rules read it.
#include "enemies/enemy.h"

#include "render/font.h"
#include "render/sprite.h"
#include "shell/game_state.h"
#include "shell/pictures.h"
#include "world/degree_sine.h"
#include "world/object_list.h"

namespace {

constexpr int32_t walk_cycle_end = 160;  // walk_anim runs 0 to 160
constexpr int32_t walk_half_cycle = 8;   // frames per picture (or per mirroring) of the walk
constexpr int32_t alive_anim_limit = 100;
constexpr int32_t squash_frames = 15;  // anim runs 0 to 14 in steps of 3 while squashing
constexpr int32_t squash_step = 3;
constexpr int32_t flat_rows_lost = 25;  // a flat enemy shows its lowest h - 25 rows
constexpr int32_t death_end = 90;
constexpr double flip_drift = 2.1;         // times t times sin(t degrees), in pixels
constexpr int32_t points_first = 11, points_last = 39;  // anim values that show the points
constexpr int32_t points_dx = 10, points_dy = 25;
constexpr uint32_t white = 0xFFFFFFFF;

}  // namespace

void Enemy::pick_sprite() {
    int32_t m = walk_anim % (2 * walk_half_cycle);
    switch (enemy_type) {
        case ENEMY_WALKER:
            // Its only picture, flipped every 8 frames.
            sprite = walker_sprite;
            mirrored = m < walk_half_cycle;
            break;
        case ENEMY_SHELL: sprite = shell_sprite; break;
        case ENEMY_SHELL_WALKER:
            mirrored = vx > 0;  // its pictures face left
            sprite = shell_walker_sprites[m < walk_half_cycle ? 0 : 1];
            break;
        default: break;
    }
    walk_anim += 1;
    if (walk_anim > walk_cycle_end) walk_anim = 0;
}

void Enemy::render() {
    pick_sprite();
    int32_t sx = x - game_state.camera_x;
    if (!dead) {
        if (mirrored) draw_mirrored_at(sx);
        else draw_at(sx);
        if (anim < alive_anim_limit) anim += 1;
    } else {
        int32_t t = anim;
        int32_t w = sprite.width, h = sprite.height;
        if (t >= death_end) {
            objects.remove(this);
        } else if (knocked) {
            auto flip_x = static_cast<int32_t>(sx - flip_drift * t * degree_sine(t));
            draw_sprite_scaled(flip_x, y + h, sprite, w, -h);
            anim += 1;
        } else if (t < squash_frames) {
            draw_sprite_scaled(sx, y + t, sprite, w, h - t);
            anim += squash_step;
        } else {
            draw_sprite_scaled(sx, y + flat_rows_lost, sprite, w, h - flat_rows_lost);
            anim += 1;
        }
    }
    if (dead && anim >= points_first && anim <= points_last)
        draw_number(x - game_state.camera_x + points_dx, y + points_dy - anim, points, game_font,
                    white);
}
