#include "shell/frame.h"

#include "shell/edit.h"

#include "core/game_state.h"
#include "platform/platform.h"
#include "play/world.h"
#include "player/player.h"
#include "render/font.h"
#include "render/graphics.h"
#include "render/input.h"
#include "render/sprite.h"
#include "world/map_painter.h"
#include "world/tile_map.h"

#include <cmath>
#include <cstdint>

namespace {

constexpr uint32_t white = 0xFFFFFFFF;
constexpr uint32_t sky_colour = 0xFF00C0FF;
constexpr int32_t frame_ms = 33;            // one game frame per 33 ms, about 30 per second
constexpr double extra_life_score = 20000.0;  // every multiple of this pays a life
constexpr int32_t coins_per_life = 100;
constexpr int32_t chain_frames = 60;        // a kill chain survives this many frames without a kill
constexpr int16_t bump_lock_frames = 3;
constexpr uint32_t slow_motion_ms = 50;

void award_extra_lives() {
    if (game_state.coins > coins_per_life - 1) {
        game_state.lives += 1;
        game_state.coins = 0;
        platform::play_sound(platform::Sound::extra_life);
    }
    // Only a score that lands exactly on a multiple pays; the +1 keeps it from paying twice.
    if (game_state.score > 0 && std::fmod(game_state.score, extra_life_score) == 0.0) {
        game_state.lives += 1;
        game_state.score += 1;
        platform::play_sound(platform::Sound::extra_life);
    }
}

void measure_and_pace() {
    uint32_t now = platform::time_ms();
    if (static_cast<double>(game_state.fps_window_start) + 1000.0 < static_cast<double>(now)) {
        game_state.fps = game_state.fps_frames;
        game_state.fps_frames = 0;
    }
    platform::wait_until(game_state.next_frame_time);
    game_state.next_frame_time = static_cast<int32_t>(platform::time_ms() + frame_ms);
}

void age_chain_timer() {
    if (game_state.combo_timer < chain_frames) {
        game_state.combo_timer += 1;
    } else {
        game_state.combo = 0;
        game_state.combo_timer = 0;
    }
}

void age_bump_lock() {
    if (game_state.bump_lock > 0) game_state.bump_lock += 1;
    if (game_state.bump_lock > bump_lock_frames) game_state.bump_lock = 0;
}

void draw_labelled(const char* label, int32_t x, int32_t y, int32_t value, int32_t value_x,
                   int32_t value_y) {
    draw_text(x, y, label, game_font, white);
    draw_number(value_x, value_y, value, game_font, white);
}

void draw_heads_up_display() {
    draw_labelled("COIN", 700, 10, game_state.coins, 700, 20);
    draw_labelled("LIVES", 400, 10, game_state.lives, 400, 20);
    draw_labelled("SCORE", 10, 10, game_state.score, 10, 20);
}

void draw_debug_overlay() {
    draw_text(2, 330, "DEBUG", game_font, white);
    draw_labelled("X:", 2, 350, player.x, 50, 350);
    draw_labelled("XV:", 2, 380, static_cast<int32_t>(player.vx), 50, 380);
    draw_labelled("Y:", 2, 360, player.y, 50, 360);
    draw_labelled("YV:", 2, 400, static_cast<int32_t>(player.vy), 50, 400);
    draw_labelled("ANIM:", 2, 450, player.anim, 50, 450);
    draw_labelled("FPS:", 2, 490, game_state.fps, 50, 490);
}

}  // namespace

// The tiles are drawn as they stand after the rules: the only cells the rules change are blocks'
// own, which are drawn as sky either way.
void draw_frame() {
    fill_rect(0, 0, screen_width, screen_height, sky_colour);
    MapPainter painter;
    painter.paint_background(current_map, game_state.camera_x);
    draw_world();
    draw_heads_up_display();
    if (key_held(DIK_D)) draw_debug_overlay();
}

Outcome run_frame() {
    if (quit_requested) return Outcome::end;  // closed during the banner
    award_extra_lives();
    measure_and_pace();
    age_chain_timer();

    mouse_poll();
    keyboard_poll();
    current_screen = Screen::game;
    // Each level has its tune; the tune playing goes on from frame to frame.
    platform::play_music(static_cast<platform::Music>(
        static_cast<int>(platform::Music::level1) + game_state.level_index % 3));
    show_picture();
    flow.phase = Phase::frame_shown;
    return Outcome::presented;
}

Outcome finish_frame() {
    age_bump_lock();
    game_state.camera_x = player.scroll;
    world_step();
    if (key_held(DIK_RSHIFT)) game_state.bump_lock += 1;
    if (key_held(DIK_S)) platform::sleep_ms(slow_motion_ms);
    if (drawing()) draw_frame();

    if (key_held(DIK_ESCAPE) || mouse_left_down) return flow.test_play ? end_test_play() : Outcome::end;

    if (game_state.fps_frames == 0)
        game_state.fps_window_start = static_cast<float>(platform::time_ms());
    game_state.fps_frames += 1;
    flow.phase = Phase::turn;
    return Outcome::go_on;
}
