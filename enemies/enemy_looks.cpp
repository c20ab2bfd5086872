// The enemy's walk cycles and its two death animations.
//
// A stomped enemy is squashed into its lowest rows and lies flat; one hit by a shell turns upside
// down and drifts sideways as it falls. Either ends by leaving the object list at anim 90. A live
// enemy's anim counts up to 100 and stops: the shell's rules read it.
#include "core/pictures.h"
#include "enemies/enemy.h"
#include "world/object_list.h"

namespace {

constexpr int32_t walk_cycle_end = 160;  // walk_anim runs 0 to 160
constexpr int32_t walk_half_cycle = 8;   // frames per picture (or per mirroring) of the walk
constexpr int32_t alive_anim_limit = 100;
constexpr int32_t squash_step = 3;  // anim moves by 3 a frame while squashing
constexpr int32_t death_end = 90;

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

void Enemy::animate() {
    pick_sprite();
    shown = true;
    shown_anim = anim;
    if (!dead) {
        if (anim < alive_anim_limit) anim += 1;
    } else if (anim >= death_end) {
        shown = false;
        objects.remove(this);
    } else if (knocked) {
        anim += 1;
    } else if (anim < squash_frames) {
        anim += squash_step;
    } else {
        anim += 1;
    }
}
