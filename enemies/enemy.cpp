#include "enemies/enemy.h"

void Enemy::step(int32_t) {}

void Enemy::tick() {}
