#include "shell/reset.h"

#include "platform/platform.h"
#include "player/player.h"
#include "render/font.h"
#include "render/graphics.h"
#include "render/input.h"
#include "render/sprite.h"
#include "shell/entry.h"
#include "shell/game_state.h"
#include "shell/pictures.h"
#include "world/geometry.h"
#include "world/map_file.h"
#include "world/object_list.h"
#include "world/tile_map.h"
#include "world/world_step.h"

#include <cstdio>
#include <string>

void reset_program_state() {
    game_state = GameState{};
    quit_requested = false;
    reset_input();
    forget_pictures();
    reset_picture_warnings();
    screen_width = 0;
    screen_height = 0;
    game_font = Font{};
    objects.clear();
    current_map = TileMap{};
    world_frozen = false;
    reset_debug_colours();
}

bool init_program_state() {
    reset_program_state();
    std::string error;
    if (!read_map(level_paths[0], current_map, error)) {
        std::fprintf(stderr, "brickrun: cannot load the first level: %s\n", error.c_str());
        return false;
    }
    player = Player{};
    game_state.next_frame_time = static_cast<int32_t>(platform::time_ms() - 1);
    return true;
}
