#include "shell/reset.h"

#include "platform/platform.h"
#include "player/player.h"
#include "render/font.h"
#include "render/graphics.h"
#include "render/input.h"
#include "render/sprite.h"
#include "shell/entry.h"
#include "shell/frame.h"
#include "shell/game_state.h"
#include "shell/pictures.h"
#include "world/geometry.h"
#include "world/level.h"
#include "world/map_file.h"
#include "world/object_list.h"
#include "world/tile_map.h"
#include "world/world_step.h"

#include <string>

void reset_program_state() {
    game_state = GameState{};
    current_screen = Screen::menu;
    level_load_error.clear();
    quit_requested = false;
    reset_input();
    forget_pictures();
    reset_picture_warnings();
    screen_width = 0;
    screen_height = 0;
    game_font = Font{};
    clear_level();
    current_map = TileMap{};
    world_frozen = false;
    reset_debug_colours();
}

bool init_program_state() {
    reset_program_state();
    std::string error;
    if (!read_map(level_paths[0], current_map, error)) {
        platform::report_fatal("brickrun: cannot load level 1: " + error);
        return false;
    }
    // The later levels are read again when they are reached; a broken one refuses to start now
    // rather than end a game half-way.
    for (int level = 2; level <= 3; ++level) {
        TileMap check;
        if (!read_map(level_paths[level - 1], check, error)) {
            platform::report_fatal("brickrun: cannot load level " + std::to_string(level) + ": " +
                                   error);
            return false;
        }
    }
    player = Player{};
    game_state.next_frame_time = static_cast<int32_t>(platform::time_ms() - 1);
    return true;
}
