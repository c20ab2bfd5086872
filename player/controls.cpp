// The hero's controls and its frame: the keys become velocities here (crouch, walk, run, jump,
// wall jump), a held Space shapes the jump, and the wall test finds wall slides. The pixels of the
// motion are moved later, in the sub-steps (movement.cpp).
//
// Velocities are pixels per frame; every change is added in double precision and stored back in
// single precision (`plus`).
#include "core/game_state.h"
#include "platform/platform.h"
#include "player/player.h"
#include "render/input.h"
#include "world/world_step.h"

#include <cmath>

namespace {

constexpr double ground_acceleration = 0.4;  // per frame with an arrow held, before friction
constexpr double air_acceleration = 0.25;    // against the direction of travel, or crouching
constexpr double walk_limit = 5.5;           // without Left Shift
constexpr double walk_slowdown = 0.2;        // per frame above the walking limit
constexpr double run_limit = 10.5;           // input accelerates only below it
constexpr double friction = 0.25;            // per frame on the ground
constexpr double stop_speed = 1.0;           // below it a hero with no arrow held stops at once

constexpr int32_t crouch_height = 20;  // a crouching hero's top is this much lower

constexpr float jump_marker = -0.1f;       // set by the key press, turned into the start speed
constexpr float jump_start_speed = -8.0f;  // also what every boosted rise ends with
constexpr double jump_boost = 15.0;        // vy += 15 / vy while Space is held
constexpr double fast_rise_damping = 4.0;  // vy += 4 / vy while rising faster than 10
constexpr double fast_rise = -10.0;
constexpr int32_t rise_limit = 128;  // pixels above jump_ref_y, where the boost ends
// A running jump boosts longer: abs(vx) / 11 cells higher, with 1/11 as a single-precision factor.
constexpr double speed_bonus_factor = static_cast<double>(0.09090909f);

constexpr float wall_jump_vx = 6.0f;  // away from the wall
constexpr float wall_jump_vy = -14.0f;
constexpr int32_t wall_slide_frames = 15;  // frames against a wall before it is a wall slide

constexpr float death_hop_speed = -10.0f;
constexpr int32_t death_hop_frame = 50;
constexpr int32_t stop_sideways_y = 630;  // below it the hero no longer moves sideways
constexpr int32_t lost_y = 1030;          // below it the hero is lost

constexpr uint32_t slow_motion_ms = 200;

}  // namespace

void Player::handle_input() {
    bool sideways = true;  // crouching down or standing up takes the frame's horizontal input
    if (key_held(DIK_DOWN)) {
        if (!crouching && !airborne() && power > 0) {
            crouching = true;
            set_y(y + crouch_height);
            sideways = false;
        }
    } else if (crouching && !airborne()) {
        crouching = false;
        set_y(y - crouch_height);
        sideways = false;
    }

    if (sideways) {
        if (key_held(DIK_LEFT) && vx > -run_limit) {
            if (!key_held(DIK_LSHIFT) && vx <= -walk_limit) {
                if (vx < -walk_limit) vx = plus(vx, walk_slowdown);
            } else if ((!airborne() || vx <= 0) && !crouching) {
                vx = plus(vx, -ground_acceleration);
            } else if (airborne()) {
                vx = plus(vx, -air_acceleration);
            }
        } else if (key_held(DIK_RIGHT) && vx < run_limit) {
            if (!key_held(DIK_LSHIFT) && vx >= walk_limit) {
                if (vx > walk_limit) vx = plus(vx, -walk_slowdown);
            } else if ((!airborne() || vx >= 0) && !crouching) {
                vx = plus(vx, ground_acceleration);
            } else if (airborne()) {
                vx = plus(vx, air_acceleration);
            }
        }
    }

    if (!airborne()) {
        if (vx >= stop_speed) {
            vx = plus(vx, -friction);
        } else if (vx <= -stop_speed) {
            vx = plus(vx, friction);
        } else if (!key_held(DIK_RIGHT) && !key_held(DIK_LEFT)) {
            vx = 0.0f;
        }
    }

    if (key_pressed(DIK_SPACE) && !jumping) {
        double bonus = std::fabs(static_cast<double>(vx)) * speed_bonus_factor * 32;
        jump_ref_y = static_cast<int32_t>(static_cast<double>(y) - bonus);
        detect_wall();
        if (wall_right || wall_left) {
            vy = jump_marker;
            jump_physics();
        } else if (!airborne()) {
            vy = jump_marker;
            jumping = true;
            platform::play_sound(platform::Sound::jump);
        }
    }
}

void Player::jump_physics() {
    if (vy > -1 && vy < 0) {
        vy = jump_start_speed;
    } else if (vy < fast_rise) {
        vy = plus(vy, fast_rise_damping / vy);
    } else if (key_held(DIK_SPACE) && vy < 0 && jump_ref_y - y <= rise_limit) {
        vy = plus(vy, jump_boost / vy);
    } else {
        // Space released, the rise limit passed, or a ceiling stopped the hero.
        jumping = false;
        if (vy != 0) vy = jump_start_speed;
    }

    anim = 0;
    if (wall_right && key_pressed(DIK_SPACE)) {
        wall_right = false;
        jumping = false;
        vx = -wall_jump_vx;
        vy = wall_jump_vy;
        platform::play_sound(platform::Sound::wall_jump);
    } else if (wall_left && key_pressed(DIK_SPACE)) {
        wall_left = false;
        jumping = false;
        vx = wall_jump_vx;
        vy = wall_jump_vy;
        platform::play_sound(platform::Sound::wall_jump);
    }
}

void Player::detect_wall() {
    if (anim < wall_slide_frames || vy < 0) {
        wall_left = wall_right = false;
        return;
    }
    update_facing();
    if (facing_left && airborne()) {
        wall_left = blocked_sideways(false, true);
        wall_right = false;
        anim += 1;
    } else if (airborne()) {
        wall_left = false;
        wall_right = blocked_sideways(true, false);
        anim += 1;
    }
    // On the ground both flags stay as they are: airborne already cleared them there.
}

void Player::tick() {
    if (death_timer == 0) {
        if (!world_frozen) handle_input();
        if (key_held(DIK_S)) platform::sleep_ms(slow_motion_ms);
        detect_wall();
    }
    apply_gravity();
    pick_sprite();
    animate();
    if (death_timer > 0) {
        death_timer += 1;
        if (death_timer == death_hop_frame) vy = death_hop_speed;
    }
    if (jumping) jump_physics();
    if (get_y() > stop_sideways_y) vx = 0.0f;
    if (get_y() > lost_y) {
        // A hero hit to death was heard dying when the hit came; one that fell is heard now.
        if (death_timer == 0) platform::play_sound(platform::Sound::die);
        anim = 0;
        game_state.lives -= 1;
        game_state.restart_level = true;
    }
}
