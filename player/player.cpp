// The hero's construction, its reset between levels and its sprite sets.
#include "player/player.h"

#include "core/pictures.h"

Player player;

Player::Player() {
    // The big standing picture until the first frame picks the small one; before start-up every
    // picture is still empty.
    sprite = big_stand_sprite;
    power = 0;
    x = start_x;
    y = start_y;
    recompute_box();
    reset();  // everything else starts as it does on a new level
}

void Player::reset() {
    jump_ref_y = 0;
    start_grace = 0;
    jumping = false;
    load_sprite_set();
    scroll = 0;
    wall_right = wall_left = hurt = crouching = false;
    vx = vy = 0.0f;
    death_timer = grow_timer = pipe_timer = hurt_timer = 0;
    recompute_box();
}

void Player::load_sprite_set() {
    bool big = power != 0;
    spr_stand = big ? big_stand_sprite : small_stand_sprite;
    spr_run0 = big ? big_run_sprites[0] : small_run_sprites[0];
    spr_run1 = big ? big_run_sprites[1] : small_run_sprites[1];
    spr_run2 = big ? big_run_sprites[2] : small_run_sprites[2];
    spr_jump = big ? big_jump_sprite : small_jump_sprite;
    spr_duck = big ? big_duck_sprite : small_duck_sprite;
    spr_wall = big ? big_wall_sprite : small_wall_sprite;
}
