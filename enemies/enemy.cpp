#include "enemies/enemy.h"

#include "shell/pictures.h"

namespace {
constexpr float walk_speed = -3.0f;
constexpr int32_t shell_walker_rise = 26;
}  // namespace

Enemy::Enemy(int32_t x0, int32_t y0, int16_t type) {
    vx = walk_speed;
    vy = 0.0f;
    anim = 0;
    enemy_type = type;
    x = x0;
    y = type == ENEMY_SHELL_WALKER ? y0 - shell_walker_rise : y0;
    // Every type starts with the walker's picture; the first tick picks its own.
    sprite = walker_sprite;
    recompute_box();
}

void Enemy::step(int32_t) {}

void Enemy::tick() {}

int32_t Enemy::collide(int32_t, int32_t, int32_t, int32_t, int32_t) { return CONTACT_NONE; }
