#include "world/entity.h"

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

void Entity::draw() const { draw_sprite(get_x(), get_y(), sprite); }

void Entity::draw_mirrored() const { draw_mirrored_at(get_x()); }

void Entity::draw_at(int32_t screen_x) const { draw_sprite(screen_x, get_y(), sprite); }

void Entity::draw_mirrored_at(int32_t screen_x) const {
    draw_sprite_tinted(screen_x + sprite.width, get_y(), sprite, -sprite.width, sprite.height,
                       0xFFFFFFFF);
}
