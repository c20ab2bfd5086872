#include "shell/startup.h"

#include "core/pictures.h"
#include "play/level.h"
#include "player/player.h"
#include "render/font.h"
#include "render/graphics.h"
#include "render/input.h"
#include "shell/entry.h"
#include "world/object_list.h"

namespace {
constexpr int32_t font_strip_width = 648;
constexpr int32_t font_strip_height = 12;
constexpr int32_t font_spacing = 2;
}  // namespace

bool startup() {
    objects.append(&player, KIND_PLAYER);
    if (!graphics_init(800, 600, build_windowed)) return false;
    load_pictures();
    load_font("font.raw", game_font, font_strip_width, font_strip_height, font_spacing);
    populate_level();  // behind the hero, which is neither re-created nor moved
    mouse_init();
    keyboard_init();  // last: the first keyboard poll happens in the first frame
    return true;
}

void shutdown() {
    release_pictures();
    release_sprite(game_font.sprite);
    keyboard_release();
    mouse_release();
    graphics_shutdown();
}
