// The hero's drawing: the picture its frame chose, where its frame put it, mirrored when it faces
// left; going down the exit pipe, the pipes are drawn again in front of it. It reads the hero and
// changes nothing.
#include "player/player.h"

#include "world/map_painter.h"
#include "world/tile_map.h"

void Player::render() const {
    if (!shown) return;
    MapPainter painter;
    if (facing_left) {
        painter.paint_mirrored(sprite, get_x(), shown_y);
    } else {
        painter.paint(sprite, get_x(), shown_y);
    }
    if (in_pipe) painter.paint_foreground(current_map, scroll);
}
