// The hero's looks: the choice of picture each frame (with the growth animation), the pipe
// descent and the shrink and blink animations after a hit, and what the drawing shows this frame.
//
// The big pictures are 32 pixels taller than the small ones, so switching between the two sets
// during growth and shrink moves the hero's top by 32 to keep its feet in place.
#include "core/game_state.h"
#include "core/pictures.h"
#include "player/player.h"
#include "world/world_step.h"

#include <cmath>

namespace {

constexpr int32_t set_height_change = 32;  // big pictures over small ones
constexpr int32_t grow_frames = 49;
constexpr int32_t shrink_frames = 30;  // the shrink ends once hurt_timer passes it
constexpr int32_t blink_frames = 100;  // invulnerable blinking ends once hurt_timer passes it
constexpr int32_t pipe_frames = 100;   // sinking, then the next level

// Each run picture lasts 30 / speed frames of anim; the division is single precision.
constexpr float run_frame_length = 30.0f;

}  // namespace

void Player::show_at(int32_t at_y) {
    shown = true;
    shown_y = at_y;
}

void Player::show_normally() {
    update_facing();
    show_at(y);
    anim += 1;
}

void Player::pick_sprite() {
    load_sprite_set();
    if (anim < -1) anim = 0;
    if (death_timer > 0) {
        sprite = dying_sprite;
        return;
    }
    if (grow_timer > 0) {
        // Five frames of the small set, five of the big one, until the hero is big and 32 higher.
        double m = std::fmod(grow_timer, 10.0);
        if (m < 5) {
            power -= 1;
            load_sprite_set();
            power += 1;
            if (m < 1) set_y(y + set_height_change);
        } else if (m < 6) {
            set_y(y - set_height_change);
        }
        grow_timer += 1;
        if (grow_timer > grow_frames) {
            grow_timer = 0;
            world_frozen = false;
        }
    }
    if (crouching) {
        sprite = spr_duck;
        return;
    }
    if (!airborne()) {
        float s = std::fabs(vx);
        if (s < 1) {
            sprite = spr_stand;
        } else {
            float t = 1 / s;
            if (anim < run_frame_length * t) {
                sprite = spr_run0;
            } else if (anim < 2 * run_frame_length * t) {
                sprite = spr_run1;
            } else if (anim < 3 * run_frame_length * t) {
                sprite = spr_run2;
            } else {
                anim = 0;
                sprite = spr_run2;
            }
        }
    }
    if (airborne()) sprite = spr_jump;
    if (wall_right || wall_left) sprite = spr_wall;
}

void Player::animate() {
    shown = false;
    in_pipe = false;
    if (pipe_timer > 0) {
        // Sinking about 67 pixels in the picture only, with the pipes drawn over the hero.
        pipe_timer += 1;
        update_facing();
        show_at(y + pipe_timer * 2 / 3);
        in_pipe = true;
        if (pipe_timer > pipe_frames) {
            game_state.next_level = true;
            pipe_timer = 0;
            world_frozen = false;
        }
        return;
    }
    if (hurt && world_frozen) {
        // The shrink: invisible, small and big in turn, then the motion of the moment of the hit.
        if (hurt_timer > shrink_frames || grow_timer > 1) {
            if (grow_timer < 1) world_frozen = false;
            hurt_timer = 0;
            vx = saved_vx;
            vy = saved_vy;
            anim = 0;
            return;
        }
        int32_t m = hurt_timer % 10;
        hurt_timer += 1;
        if (m < 3) return;
        if (m < 7) {
            show_normally();
            return;
        }
        // A big frame: the big set's picture, shown 32 higher for a small hero.
        power += 1;
        load_sprite_set();
        pick_sprite();
        power -= 1;
        if (power == 0) set_y(y - set_height_change);
        update_facing();
        show_at(y);
        anim += 1;
        set_y(y + set_height_change);
        return;
    }
    if (hurt) {
        // Blinking: invulnerable, shown six frames out of ten.
        if (hurt_timer > blink_frames) {
            hurt = false;
            hurt_timer = 0;
            return;
        }
        int32_t m = hurt_timer % 10;
        hurt_timer += 1;
        if (m >= 4) show_normally();
        return;
    }
    show_normally();
}
