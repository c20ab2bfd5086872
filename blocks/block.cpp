#include "blocks/block.h"

#include "blocks/item.h"
#include "core/game_state.h"
#include "core/pictures.h"
#include "platform/platform.h"
#include "render/sprite.h"
#include "world/degree_sine.h"
#include "world/level_store.h"
#include "world/tile_map.h"

#include <cmath>

namespace {

// The head bumps a block when the hero's world x lies in x - 31 .. x + 30 and its top in
// y + 1 .. y + 32: one cell's span, whatever the pictures' sizes.
constexpr int32_t span_right = 31;
constexpr int32_t span_left = 31;
constexpr int32_t span_bottom = 33;

constexpr int32_t bump_height = 8;     // pixels: the offset runs -1 to -8
constexpr int32_t shimmer_cycle = 24;  // question block frames: 15 of frame 0, 4 of 1, 5 of 2
constexpr int32_t shimmer_first = 15, shimmer_second = 19;
constexpr int32_t anim_wrap = 400;

// The debris: t runs 1, 3, ... 99, fifty drawn frames.
constexpr int32_t debris_step = 2;
constexpr int32_t debris_end = 100;
constexpr int32_t debris_picture_frames = 20;  // brokenl for the first half of it, then brokenr
constexpr double debris_spread = 2.2;          // times t times sin(t degrees), in pixels
constexpr int32_t upper_peak = 100, upper_turn = 10;  // the upper pair tops 100 above, at t 21
constexpr int32_t lower_peak = 50, lower_turn = 7;    // the lower pair tops 50 above, at t 15

// Where released content appears, from the block's corner.
constexpr int32_t coin_dx = 10, coin_dy = -2;
constexpr int32_t growth_dx = 0, growth_dy = -5;

}  // namespace

Block::Block(int32_t x0, int32_t y0) : Block(x0, y0, BLOCK_BRICK, CONTENT_COIN) {}

Block::Block(int32_t x0, int32_t y0, int32_t type, int32_t what) {
    x = x0;
    y = y0;
    sprite = brick_sprite;
    recompute_box();
    block_type = type;
    content = what;
}

bool Block::try_bump(int32_t px, int32_t py, int32_t power) {
    if (game_state.bump_lock > 0) return false;
    if (px >= x + span_right || px + span_left < x || used || py <= y || py >= y + span_bottom)
        return false;
    hit(power);
    game_state.bump_lock = 1;
    return true;
}

void Block::hit(int32_t power) {
    if (power <= 0 && block_type == BLOCK_BRICK) {
        bump = -1;  // a small hero only bumps a brick
        platform::play_sound(platform::Sound::bump);
        return;
    }
    used = true;
    if (block_type == BLOCK_BRICK) {
        current_map.clear_cell(x / cell_size, static_cast<int32_t>(std::ceil(y / 32.0)) + 1);
        debris_timer = 1;
        platform::play_sound(platform::Sound::brick_break);
        return;  // a broken brick neither bumps nor releases anything
    }
    bump = -1;
    platform::play_sound(platform::Sound::bump);
    if (content == CONTENT_COIN) {
        make_level_object<Item>(x + coin_dx, y + coin_dy, ITEM_COIN);
    } else if (content == CONTENT_GROWTH) {
        make_level_object<Item>(x + growth_dx, y + growth_dy, ITEM_GROWTH);
    }
}

void Block::pick_sprite() {
    switch (block_type) {
        case BLOCK_BRICK: sprite = brick_sprite; break;
        case BLOCK_COIN_BRICK:
        case BLOCK_HIDDEN:
            if (used) {
                sprite = spent_block_sprite;
                current_map.block_cell(x / cell_size, y / cell_size + 1);
            } else {
                sprite = brick_sprite;
            }
            break;
        case BLOCK_QUESTION:
            if (used) {
                sprite = spent_block_sprite;
            } else {
                int32_t m = anim % shimmer_cycle;
                sprite = question_sprites[m < shimmer_first ? 0 : m < shimmer_second ? 1 : 2];
            }
            break;
        default: break;
    }
    anim += 1;
    if (anim > anim_wrap) anim = 0;
}

void Block::tick() {
    shown = false;
    shown_debris = 0;
    pick_sprite();
    if (block_type == BLOCK_BRICK) {
        if (!used) show(bump);
        if (used && debris_timer > 0) {
            shown_debris = debris_timer;
            show_debris_picture(debris_timer % debris_picture_frames < debris_picture_frames / 2
                                    ? "Graphics\\brokenl.bmp"
                                    : "Graphics\\brokenr.bmp");
            debris_picture = debris_sprite;
            debris_timer += debris_step;
            if (debris_timer > debris_end) debris_timer = 0;
        }
    } else {
        if (block_type == BLOCK_HIDDEN && !used) return;  // not found yet: nothing to see
        show(bump);
    }
    if (bump > -bump_height && bump < 0) bump -= 1;
    else bump = 0;
}

void Block::show(int32_t at_bump) {
    shown = true;
    shown_bump = at_bump;
}

void Block::render() const {
    int32_t sx = x - game_state.camera_x;
    if (shown) draw_sprite_opaque(sx, y + shown_bump, sprite);
    if (shown_debris > 0) draw_debris(sx);
}

void Block::draw_debris(int32_t sx) const {
    int32_t t = shown_debris;
    double s = debris_spread * t * degree_sine(t);
    int32_t a = t / 2 - upper_turn;
    int32_t b = t / 2 - lower_turn;
    auto left = static_cast<int32_t>(sx - s), right = static_cast<int32_t>(sx + s);
    draw_sprite(left, y + a * a - upper_peak, debris_picture);
    draw_sprite(right, y + a * a - upper_peak, debris_picture);
    draw_sprite(left, y + b * b - lower_peak, debris_picture);
    draw_sprite(right, y + b * b - lower_peak, debris_picture);
}
