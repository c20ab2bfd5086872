#include "world/entity.h"

#include "world/map_painter.h"

void Entity::recompute_box() { box = {x, y, x + sprite.width, y + sprite.height}; }

void Entity::set_y(int32_t new_y) {
    y = new_y;
    recompute_box();
}

void Entity::move_x(int32_t dx) {
    x = get_x() + dx;
    recompute_box();
}

bool Entity::update_facing() {
    if (vx > 0) {
        facing_left = false;
    } else if (vx < 0) {
        facing_left = true;
    }
    return facing_left;
}

void Entity::draw() const { draw_at(get_x()); }

void Entity::draw_mirrored() const { draw_mirrored_at(get_x()); }

void Entity::draw_at(int32_t screen_x) const {
    MapPainter painter;
    painter.paint(sprite, screen_x, get_y());
}

void Entity::draw_mirrored_at(int32_t screen_x) const {
    MapPainter painter;
    painter.paint_mirrored(sprite, screen_x, get_y());
}
