#include "enemies/enemy.h"

#include "core/game_state.h"
#include "core/pictures.h"
#include "platform/platform.h"
#include "world/object_list.h"

#include <cmath>

namespace {

constexpr float walk_speed = -3.0f;     // pixels per frame, to the left
constexpr float kick_speed = 10.5f;
constexpr float knock_hop = -6.0f;      // a shell hit throws the victim up
constexpr float knock_drift = -6.0f;    // a shell killed by a shell drifts left as it falls
constexpr int32_t shell_walker_rise = 26;
constexpr int32_t points_per_kill = 200;  // times the kill's place in the chain
constexpr int32_t free_life_kill = 5;     // every kill after the fifth of a chain gives a life

// Frames after a kick or a stop in which a shell can be neither kicked nor stopped, and after a
// kick in which it cannot hurt the hero.
constexpr int32_t shell_settle_frames = 3;
constexpr int32_t shell_harmless_frames = 35;

// An enemy wakes when its x is on screen (camera_x - 30 to + 799) and sleeps once far off it.
constexpr int32_t wake_left = -30, wake_right = 799;
constexpr int32_t sleep_left = -331, sleep_right = 1200;
// An awake enemy moves only while it is within this window of the camera.
constexpr int32_t move_left = -330, move_right = 1099;
constexpr int32_t lost_y = 700;  // below it an enemy is gone

bool all_sides(const Overlap& q) { return q.top && q.left && q.right && q.bottom; }

}  // namespace

Enemy::Enemy(int32_t x0, int32_t y0, int16_t type) {
    vx = walk_speed;
    vy = 0.0f;
    anim = 0;
    walk_anim = 0;
    enemy_type = type;
    x = x0;
    y = type == ENEMY_SHELL_WALKER ? y0 - shell_walker_rise : y0;
    // Every type starts with the walker's picture; the first tick picks its own.
    sprite = walker_sprite;
    recompute_box();
}

TerrainMotion Enemy::terrain() {
    TerrainRules rules;
    rules.window_left = move_left;
    rules.window_right = move_right;
    rules.may_move = active;
    rules.walks_off_left_end = true;
    rules.fall_answer = knocked ? 1 : 0;
    rules.slow_motion = true;
    return TerrainMotion(*this, rules);
}

void Enemy::step(int32_t sub_step) {
    if (terrain().step(sub_step)) touch_enemies();
}

void Enemy::tick() {
    shown = false;
    int32_t d = x - game_state.camera_x;
    if (d <= sleep_left || d >= sleep_right) active = false;
    if ((d >= wake_left && d <= wake_right) || active) {
        active = true;
        apply_gravity();
        animate();
        if (y > lost_y) objects.remove(this);
    }
}

int32_t Enemy::collide(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t toucher) {
    if (dead) return CONTACT_NONE;
    const Rect b{left, top, right, bottom};
    // The head probe spans the whole width; the inner probe is inset by 2 and starts half-way
    // down. For a 32-pixel walker both end 25 above the bottom, so the inner one is upside down.
    const Rect head{box.left, box.top + 2, box.right, box.bottom - 25};
    const Rect inner{box.left + 2, box.top + sprite.height / 2, box.right - 2, box.bottom - 25};
    auto q = head.overlap(b);
    auto p = inner.overlap(b);
    if (!q) return CONTACT_NONE;

    auto knocked_by_shell = [&] {
        kill();
        knocked = true;
        vy = knock_hop;
        platform::play_sound(platform::Sound::knock);
    };

    switch (enemy_type) {
        case ENEMY_WALKER:
            if (toucher == BY_HERO) {
                if (p) return CONTACT_HARM;
                kill();
                platform::play_sound(platform::Sound::stomp);
                return CONTACT_BOUNCE;
            }
            if (toucher == BY_ENEMY) {
                vx = -vx;
                return CONTACT_TURN;
            }
            if (toucher == BY_MOVING_SHELL) knocked_by_shell();
            return CONTACT_NONE;

        case ENEMY_SHELL:
            if (all_sides(*q)) return CONTACT_NONE;
            if (toucher == BY_MOVING_SHELL) {
                knocked_by_shell();
                return CONTACT_HARM;  // the other shell dies too
            }
            if (toucher == BY_HERO) {
                if (anim > shell_settle_frames && std::fabs(vx) > 1.0 && !p) {
                    vx = 0.0f;  // a stomp stops a moving shell
                    anim = 0;
                    platform::play_sound(platform::Sound::stomp);
                    return CONTACT_BOUNCE;
                }
                if (std::fabs(vx) > 0 && anim > shell_harmless_frames && p) return CONTACT_HARM;
                if (anim > shell_settle_frames && vx == 0) {
                    vx = b.left > x ? -kick_speed : kick_speed;  // away from the kicking side
                    anim = 0;
                    platform::play_sound(platform::Sound::kick);
                    return q->bottom ? CONTACT_BOUNCE : CONTACT_NONE;
                }
                return CONTACT_NONE;
            }
            if (toucher == BY_ENEMY && anim > shell_settle_frames) {
                anim = 0;
                return CONTACT_TURN;
            }
            return CONTACT_NONE;

        case ENEMY_SHELL_WALKER:
            if (toucher == BY_HERO) {
                if (q->bottom) {
                    // Stomped into a shell; anim stays, so the shell can be kicked at once.
                    enemy_type = ENEMY_SHELL;
                    set_y(y + 10);
                    vx = 0.0f;
                    platform::play_sound(platform::Sound::stomp);
                    return CONTACT_BOUNCE;
                }
                return p ? CONTACT_HARM : CONTACT_NONE;
            }
            if (toucher == BY_ENEMY) {
                vx = -vx;
                return CONTACT_TURN;
            }
            if (toucher == BY_MOVING_SHELL) knocked_by_shell();
            return CONTACT_NONE;

        default:
            return CONTACT_NONE;
    }
}

void Enemy::touch_enemies() {
    if (dead) return;
    int32_t me = enemy_type == ENEMY_SHELL && vx != 0 ? BY_MOVING_SHELL : BY_ENEMY;
    for (int32_t j = objects.count - 1; j >= 0; --j) {
        const ObjectEntry& entry = objects.entries[j];
        if (entry.kind != KIND_ENEMY || entry.entity() == this) continue;
        auto* other = static_cast<Enemy*>(entry.entity());
        int32_t r = other->collide(box.left, box.top, box.right, box.bottom, me);
        if (r == CONTACT_TURN) {
            vx = -vx;
            return;
        }
        if (r == CONTACT_HARM) {
            kill();
            knocked = true;
            vx = knock_drift;
            platform::play_sound(platform::Sound::knock);
            return;
        }
    }
}

void Enemy::kill() {
    anim = 0;
    game_state.combo += 1;
    if (game_state.combo > free_life_kill) {
        game_state.lives += 1;
        platform::play_sound(platform::Sound::extra_life);
    }
    game_state.score += game_state.combo * points_per_kill;
    game_state.combo_timer = 0;
    points = game_state.combo * points_per_kill;
    dead = true;
    vx = 0.0f;
}
