// The hero's motion: the movement sub-step, the three tile probes that decide whether the next
// pixel is free, the camera rule of sideways moves, and gravity.
//
// Every probe builds a rectangle around the hero and tests it with `overlap` against the 30x30
// probe boxes of the cells nearby (Rect::overlap called on the probe). The cells are pixel cells:
// column world x / 32 and row y / 32, truncating toward zero.
#include "player/player.h"

#include "core/game_state.h"
#include "world/tile_map.h"
#include "world/world_step.h"

#include <cmath>

namespace {

// The first 21 answers without ground still say "ground": a hero placed a pixel above the floor, or
// over a gap at the start, settles instead of falling at once.
constexpr int16_t grace_answers = 21;

constexpr double fall_gravity = 0.8;   // pixels per frame, each frame of free fall
constexpr double fall_limit = 16.0;    // free fall accelerates only below this speed
constexpr double slide_gravity = 0.4;  // sliding down a wall
constexpr double slide_limit = 6.0;

constexpr int32_t crouch_probe_drop = 12;  // a crouching hero's side probes start this much lower

// Scrolling: going right the map scrolls once the hero reaches screen x 500, going left once it is
// at 100 or less.
constexpr int32_t scroll_right_x = 500;
constexpr int32_t scroll_left_x = 100;

bool touches_cell(const Rect& probe, int32_t col, int32_t pixel_row) {
    return probe.overlap(current_map.tile_box(col, pixel_row)).has_value();
}

int32_t whole_speed(float v) { return static_cast<int32_t>(std::fabs(v)); }

}  // namespace

bool Player::airborne() {
    if (death_timer > 50) return true;  // late in dying the hero falls through everything
    int32_t w = sprite.width, h = sprite.height;
    int32_t wx = world_x();
    // A small picture wider than a cell stands on a foot probe two pixels narrower on the right.
    int32_t inset = power == 0 && w > cell_size ? 2 : 0;
    Rect feet{wx + 1, y + 14, wx + w - inset - 2, y + h + 1};
    int32_t c = pixel_cell(wx), r = pixel_cell(y + h);
    for (int32_t k = 0; k < 3; ++k) {
        for (int32_t j = 0; j < 2; ++j) {
            if (touches_cell(feet, c + 1 - k, r + j)) {
                wall_right = wall_left = false;
                return false;
            }
        }
    }
    if (start_grace < grace_answers) {
        start_grace += 1;
        return false;
    }
    return true;
}

bool Player::vertical_blocked() {
    if (vy > 0) {
        // One ground test per whole pixel of speed, each of which counts toward the grace.
        for (int32_t n = whole_speed(vy); n > 0; --n) {
            if (!airborne()) {
                vy = 0.0f;
                return true;
            }
        }
        return false;
    }
    if (vy < 0) {
        int32_t w = sprite.width, h = sprite.height;
        int32_t wx = world_x();
        int32_t inset = power == 0 ? 1 : 0;
        Rect head{wx + inset + 1, y, wx + w - 2 * inset, y + h + 1};
        int32_t c = pixel_cell(wx), r = pixel_cell(y);
        for (int32_t k = 0; k < 3; ++k) {
            for (int32_t j = 0; j < 2; ++j) {
                if (touches_cell(head, c + k - 1, r - j)) {
                    vy = 0.0f;
                    return true;
                }
            }
        }
    }
    return false;
}

bool Player::blocked_sideways(bool right, bool left) {
    int32_t w = sprite.width, h = sprite.height;
    int32_t drop = crouching ? crouch_probe_drop : 0;
    int32_t wx = world_x();
    int32_t c = pixel_cell(wx), r = pixel_cell(y);
    if (right || left) {
        // The left probe starts lower than the right one; both reach a pixel past the right side.
        Rect probe = right ? Rect{wx + 1, y + 1 + drop, wx + w + 1, y + h - 2}
                           : Rect{wx - 1, y + 9 + drop, wx + w + 1, y + h - 1};
        int32_t toward = right ? 1 : -1;
        for (int32_t k = 0; k < 3; ++k) {
            for (int32_t j = 0; j < 2; ++j) {
                if (touches_cell(probe, c + toward * j, r + k)) {
                    // Frames spent against a wall: a wall slide needs 15 of them.
                    if (anim <= 20) anim += 1;
                    return true;
                }
            }
        }
        return false;
    }
    // Standing still: a big hero whose head is inside solid cells (after growing, or standing up
    // under a low ceiling) is pushed one pixel left for each of the six cells its head overlaps.
    if (power == 0 || crouching) return false;
    for (int32_t i = 0; i < 2; ++i) {
        for (int32_t k = 0; k < 3; ++k) {
            wx = world_x();
            Rect head{wx + 5, y + 5, wx + 27, y + 27};
            if (touches_cell(head, pixel_cell(wx) + i, pixel_cell(y + h) - k)) shift_x(-1);
        }
    }
    return false;
}

void Player::shift_x(int32_t d) {
    int32_t map_right_end = current_map.map_width * cell_size - 805;
    bool on_screen = (d > 0 && (x < scroll_right_x || scroll + d > map_right_end)) ||
                     (d < 0 && x > scroll_left_x) || (scroll + d < 0 && x + d > 0);
    if (on_screen) {
        move_x(d);
    } else if (scroll + d >= 0 && scroll + d < (current_map.map_width - 25) * cell_size) {
        scroll += d;  // the hero stays at its screen x and the map moves
    }
}

void Player::step(int32_t i) {
    int32_t n = whole_speed(vy);
    bool move_x_now = moves_on_substep(i, vx);
    bool move_y_now = moves_on_substep(i, vy);
    bool right = vx > 0, left = vx < 0;
    // Counts frames against a wall, and runs the push-out when not moving sideways.
    blocked_sideways(right, left);
    if (move_x_now) {
        if (vx > 0) {
            if (blocked_sideways(right, left)) {
                vx = 0.0f;
            } else {
                shift_x(1);
            }
        } else if (vx < 0 && x >= 1) {
            if (blocked_sideways(right, left)) {
                vx = 0.0f;
            } else {
                shift_x(-1);
            }
        }
    }
    if (move_y_now) {
        // The probe runs again for the downward test whenever the upward one does not move.
        if (!vertical_blocked() && n >= 1 && vy < 0) {
            set_y(y - 1);
        } else if (!vertical_blocked() && n >= 1 && vy > 0) {
            set_y(y + 1);
        }
    }
    // The world box uses the camera of the frame's start, so it lags any scrolling done since.
    int32_t w = sprite.width, h = sprite.height;
    box = {x + game_state.camera_x, y, x + w + game_state.camera_x, y + h};
    touch_objects(box);
}

void Player::apply_gravity() {
    if (airborne() && vy < fall_limit && !wall_right && !wall_left) {
        vy = plus(vy, fall_gravity);
    } else if (airborne() && vy < slide_limit) {
        vy = plus(vy, slide_gravity);
    }
}
