#include "world/terrain.h"

#include "core/game_state.h"
#include "platform/platform.h"
#include "render/input.h"
#include "world/tile_map.h"
#include "world/world_step.h"

#include <cmath>

namespace {

constexpr double gravity = 0.65;     // pixels per frame, added each frame while falling
constexpr double fall_limit = 10.0;  // no more is added once vy reaches it: the fall tops at 10.4
constexpr uint32_t slow_motion_ms = 5;

}  // namespace

bool terrain_solid(int32_t col, int32_t row) {
    // cell_at answers TILE_EMPTY outside rows 0 to 19 and past either end of the cell array.
    return current_map.cell_at(col, row) != TILE_EMPTY;
}

bool TerrainMotion::step(int32_t i) {
    int32_t d = e.x - game_state.camera_x;
    if (d < rules.window_left || d > rules.window_right || !rules.may_move) return false;

    auto n = static_cast<int32_t>(std::fabs(e.vy));  // whole pixels of vertical speed
    bool move_x = moves_on_substep(i, e.vx);
    bool move_y = moves_on_substep(i, e.vy);

    if (move_x) {
        if (e.vx > 0) {
            if (wall_ahead(e.x + e.sprite.width)) e.vx = -e.vx;
            else e.move_x(1);
        } else if (e.vx < 0 && (!rules.stops_at_left_end || e.x >= 1)) {
            if (wall_ahead(e.x - 1)) e.vx = -e.vx;
            else e.move_x(-1);
        }
    }
    if (move_y) {
        // A landing takes both calls: the first finds the ground and zeroes vy, the second then
        // reports nothing and no pixel moves.
        if (!vertical_blocked() && n >= 1 && e.vy < 0) {
            e.set_y(e.y - 1);
        } else if (!vertical_blocked() && n >= 1 && e.vy > 0) {
            e.set_y(e.y + 1);
        }
    }
    e.recompute_box();
    return true;
}

bool TerrainMotion::wall_ahead(int32_t px) const {
    if (rules.walks_off_left_end && e.vx < 0 && e.x < 3) return false;
    int32_t col = px / cell_size;
    // The map rows of pixel rows y + 31 and y (for y >= 1).
    if (!terrain_solid(col, (e.y - 1) / cell_size + 2) && !terrain_solid(col, e.y / cell_size + 1))
        return false;
    // Moving right, an entity whose x + 1 and x + 33 both leave its own pixel cell passes.
    int32_t k = e.x / cell_size;
    auto in_cell = [&](int32_t px2) { return px2 >= cell_size * k && px2 <= cell_size * k + 31; };
    if (e.vx > 0 && !in_cell(e.x + 1) && !in_cell(e.x + 33)) return false;
    return true;
}

bool TerrainMotion::can_fall() const {
    if (rules.fall_answer != 0) return rules.fall_answer > 0;
    int32_t h = e.sprite.height;
    int32_t cell_top = (e.y + h - 1) / cell_size * cell_size;  // of the bottom row's pixel cell
    int32_t row = (e.y + h) / cell_size + 1;
    for (int32_t i = 0; i <= 1; ++i) {
        if (!terrain_solid(e.x / cell_size + i, row)) continue;
        Rect below{e.x + cell_size * i - cell_size, cell_top, e.x + cell_size * i,
                   cell_top + cell_size};
        auto q = e.box.overlap(below);
        if (q && (q->top || q->left)) return false;
    }
    return true;
}

bool TerrainMotion::vertical_blocked() {
    if (e.vy > 0) {
        if (static_cast<int32_t>(e.vy) >= 1 && !can_fall()) {
            e.vy = 0.0f;
            return true;
        }
        return false;
    }
    if (e.vy == 0) return false;

    // Rising: the head against the cells of the row above.
    int32_t w = e.sprite.width, h = e.sprite.height;
    Rect probe{e.x + 5, e.y + 14, e.x + w - 5, e.y + h + 1};
    int32_t k = (e.y + h) / cell_size;
    for (int32_t idx = 0; idx <= 2; ++idx) {
        int32_t col = e.x / cell_size - idx + 1;
        if (!terrain_solid(col, k - 1)) continue;
        // Its top lies below its bottom; the overlap test takes it as it is.
        Rect cell{cell_size * col, cell_size * k, cell_size * (col + 1),
                  static_cast<int32_t>(k - 1.5) * cell_size + 30};
        if (rules.slow_motion && key_held(DIK_S)) platform::sleep_ms(slow_motion_ms);
        auto q = probe.overlap(cell);
        if (q && (q->top || q->bottom)) {
            e.vy = 0.0f;
            return true;
        }
    }
    return false;
}

void TerrainMotion::apply_gravity() {
    if (can_fall() && e.vy < fall_limit) e.vy = plus(e.vy, gravity);
}
