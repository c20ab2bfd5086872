// The enemy's drawing: alive, its walk picture (mirrored as the cycle says); stomped, squashed into
// its lowest rows and then lying flat; knocked out by a shell, upside down over its own box and
// drifting sideways; and the points of its kill rising above it. It reads the enemy as this frame's
// tick left it and changes nothing.
#include "core/game_state.h"
#include "enemies/enemy.h"
#include "render/font.h"
#include "render/sprite.h"
#include "world/degree_sine.h"

namespace {

constexpr int32_t flat_rows_lost = 25;  // a flat enemy shows its lowest h - 25 rows
constexpr double flip_drift = 2.1;         // times t times sin(t degrees), in pixels
constexpr int32_t points_first = 11, points_last = 39;  // anim values that show the points
constexpr int32_t points_dx = 10, points_dy = 25;
constexpr uint32_t white = 0xFFFFFFFF;

}  // namespace

void Enemy::render() const {
    if (!shown) return;
    int32_t sx = x - game_state.camera_x;
    if (!dead) {
        if (mirrored) draw_mirrored_at(sx);
        else draw_at(sx);
    } else {
        int32_t t = shown_anim;
        int32_t w = sprite.width, h = sprite.height;
        if (knocked) {
            auto flip_x = static_cast<int32_t>(sx - flip_drift * t * degree_sine(t));
            draw_sprite_scaled(flip_x, y + h, sprite, w, -h);
        } else if (t < squash_frames) {
            draw_sprite_scaled(sx, y + t, sprite, w, h - t);
        } else {
            draw_sprite_scaled(sx, y + flat_rows_lost, sprite, w, h - flat_rows_lost);
        }
    }
    if (dead && anim >= points_first && anim <= points_last)
        draw_number(x - game_state.camera_x + points_dx, y + points_dy - anim, points, game_font,
                    white);
}
