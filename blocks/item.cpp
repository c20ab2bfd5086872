#include "blocks/item.h"

#include "core/game_state.h"
#include "core/pictures.h"
#include "platform/platform.h"
#include "render/font.h"
#include "render/sprite.h"
#include "world/object_list.h"

namespace {

constexpr int32_t coin_points = 100;
constexpr int32_t growth_points = 200;

// A coin plays only while its x is on screen (camera_x - 30 to + 799); elsewhere it waits, unaged.
constexpr int32_t coin_left = -30, coin_right = 799;
// Ages 0-9 rise 8 pixels a frame, 10-19 rise 2, 20-29 fall 5; from 29 on it shows "100"; 40 is
// its last frame.
constexpr int32_t coin_fast_rise = 10, coin_slow_rise = 20, coin_fall = 30, coin_end = 40;
constexpr int32_t coin_fast_dy = -8, coin_slow_dy = -2, coin_fall_dy = 5;
constexpr int32_t coin_number_age = 30;  // anim after this frame's ageing
constexpr int32_t coin_spin = 12;        // four pictures, three frames each

// A growth item rises 2 pixels a frame for 16 frames, sets off at age 17 and can be taken from 20.
constexpr int32_t growth_rise_frames = 16;
constexpr int32_t growth_rise_dy = -2;
constexpr int32_t growth_start = 17;
constexpr float growth_speed = 4.0f;
constexpr int32_t growth_ready = 20;
// Waiting to be taken its age cycles 36..101; taking it sets 300, and its "200" rises until 326.
constexpr int32_t growth_cycle_top = 100, growth_cycle_restart = 35, growth_cycle_limit = 200;
constexpr int32_t collected_anim = 300;
constexpr int32_t collected_end = 325;
constexpr int32_t collected_number_dx = -10, collected_number_dy = 314;

// A growth item moves only within this window of the camera.
constexpr int32_t move_left = -230, move_right = 999;
constexpr int32_t anim_wrap = 400;
constexpr uint32_t white = 0xFFFFFFFF;

}  // namespace

Item::Item(int32_t x0, int32_t y0, int32_t type) {
    x = x0;
    y = y0;
    sprite = coin_sprites[0];
    recompute_box();
    done = false;
    item_type = type;
    vx = vy = 0.0f;
    anim = 0;
    if (item_type == ITEM_COIN) {
        game_state.score += coin_points;
        game_state.coins += 1;
    }
    platform::play_sound(item_type == ITEM_COIN ? platform::Sound::coin : platform::Sound::item);
    objects.append(this, KIND_ITEM);
}

TerrainMotion Item::terrain() {
    TerrainRules rules;
    rules.window_left = move_left;
    rules.window_right = move_right;
    rules.may_move = item_type != ITEM_COIN;
    rules.stops_at_left_end = true;
    // Once taken it hangs where it was while its number rises.
    rules.fall_answer = item_type == ITEM_GROWTH && anim >= collected_anim ? -1 : 0;
    return TerrainMotion(*this, rules);
}

void Item::step(int32_t sub_step) { terrain().step(sub_step); }

void Item::tick() {
    shown = false;
    if (!done) {
        if (item_type == ITEM_COIN) {
            int32_t d = x - game_state.camera_x;
            if (d >= coin_left && d <= coin_right) {
                if (anim < coin_fast_rise) set_y(y + coin_fast_dy);
                else if (anim < coin_slow_rise) set_y(y + coin_slow_dy);
                else if (anim < coin_fall) set_y(y + coin_fall_dy);
                animate();
                shown = true;
                if (anim > coin_end) done = true;
            }
        } else if (item_type == ITEM_GROWTH) {
            if (anim >= growth_start) apply_gravity();
            if (anim == growth_start) vx = growth_speed;
            animate();
            shown = true;
            if (anim > collected_end) done = true;  // its "200" has risen
        }
    }
    if (done) objects.remove(this);
}

void Item::animate() {
    if (item_type == ITEM_COIN) {
        int32_t m = anim % coin_spin;
        sprite = coin_sprites[m < 3 ? 0 : m < 6 ? 1 : m < 9 ? 2 : 3];
    } else if (item_type == ITEM_GROWTH) {
        sprite = growth_sprite;
        if (anim < growth_rise_frames) set_y(y + growth_rise_dy);
        if (anim > growth_cycle_top && anim < growth_cycle_limit) anim = growth_cycle_restart;
    }
    anim += 1;
    if (anim > anim_wrap) anim = 0;
}

void Item::render() const {
    if (!shown) return;
    int32_t sx = x - game_state.camera_x;
    if (item_type == ITEM_GROWTH && anim >= collected_anim) {
        draw_number(sx + collected_number_dx, y + collected_number_dy - anim, growth_points,
                    game_font, white);
    } else if (item_type == ITEM_COIN && anim >= coin_number_age) {
        draw_number(sx, y, coin_points, game_font, white);
    } else {
        draw_sprite(sx, y, sprite);
    }
}

int32_t Item::collect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (item_type == ITEM_COIN || anim < growth_ready) return 0;
    auto q = box.overlap({left, top, right, bottom});
    if (!q || (item_type == ITEM_GROWTH && anim >= collected_anim)) return 0;
    game_state.score += growth_points;
    vx = 0.0f;
    vy = 0.0f;
    anim = collected_anim;
    return COLLECTED_GROWTH;
}
