// The hero's life: its contacts with blocks, enemies, items and pipe entrances, the hits that
// shrink or kill it, the start of growth and of the pipe descent.
//
// The contact pass runs at the end of every sub-step, with the hero's box in world coordinates. It
// keeps the game's visiting order: facing right it goes from the last entry back to the second with
// the count taken once, so items released during the pass are not met; facing left it goes forward
// from the first and re-reads the count, so they are. The order decides which enemy is met first.
#include "blocks/block.h"
#include "blocks/item.h"
#include "core/pictures.h"
#include "enemies/enemy.h"
#include "platform/platform.h"
#include "player/player.h"
#include "render/input.h"
#include "world/frame_record.h"
#include "world/object_list.h"
#include "world/world_step.h"

namespace {

constexpr float stomp_bounce = -4.0f;
constexpr float stomp_bounce_with_space = -10.0f;

}  // namespace

bool PipeEntrance::touch(const Rect& hero_box) const {
    frame_record.tested_triggers.push_back(box);
    frame_record.trigger_tests += 1;
    return box.overlap(hero_box).has_value();
}

void Player::touch_objects(Rect b) {
    if (death_timer != 0) return;
    bool bumped = false;  // at most one block per pass

    auto visit = [&](int32_t j) {
        // A copy of the entry: a bump may release an item, and appending may move the entries.
        ObjectEntry entry = objects.entries[j];
        switch (entry.kind) {
            case KIND_BLOCK:
                if (vy < 0 && !bumped) {
                    auto* block = static_cast<Block*>(entry.entity());
                    if (block->try_bump(world_x(), y, power)) {
                        bumped = true;
                        vy = 0.0f;  // the head stops at the block
                    }
                }
                break;
            case KIND_ENEMY: {
                auto* enemy = static_cast<Enemy*>(entry.entity());
                // Blinking and not falling, the hero meets only shells.
                if (hurt && vy <= 0 && enemy->enemy_type != ENEMY_SHELL) break;
                int32_t r = enemy->collide(b.left, b.top, b.right, b.bottom, BY_HERO);
                if (r == CONTACT_BOUNCE) {
                    if (airborne())
                        vy = key_held(DIK_SPACE) ? stomp_bounce_with_space : stomp_bounce;
                } else if (r == CONTACT_HARM) {
                    saved_vx = vx;
                    saved_vy = vy;
                    take_hit();
                }
                break;
            }
            case KIND_ITEM: {
                auto* item = static_cast<Item*>(entry.entity());
                int32_t r = item->collect(b.left, b.top, b.right, b.bottom);
                if (r == COLLECTED_GROWTH && power <= 0) {
                    platform::play_sound(platform::Sound::grow);
                    hurt = false;
                    power = 1;
                    world_frozen = true;
                    crouching = false;
                    grow_timer = 1;
                }
                break;
            }
            case KIND_PIPE:
                if (key_held(DIK_DOWN) && pipe_timer == 0 &&
                    static_cast<PipeEntrance*>(entry.object)->touch(b)) {
                    world_frozen = true;
                    pipe_timer = 1;
                    platform::play_sound(platform::Sound::pipe);
                }
                break;
            default:
                break;  // the hero itself, removed entries, kind 0
        }
    };

    if (!update_facing()) {
        for (int32_t j = objects.count - 1; j >= 1; --j) visit(j);
    } else {
        for (int32_t j = 0; j < objects.count; ++j) visit(j);
    }
}

void Player::take_hit() {
    if (hurt) return;  // invulnerable while blinking
    anim = 0;
    power -= 1;
    if (power < 0) {
        power = 0;
        death_timer += 1;
        world_frozen = false;
        vx = vy = 0.0f;
        platform::play_sound(platform::Sound::die);
        return;
    }
    platform::play_sound(platform::Sound::shrink);
    hurt = true;
    hurt_timer = 0;
    world_frozen = true;
    crouching = false;
    // Shrinking to the small picture keeps the feet where they were.
    if (power == 0) set_y(y + sprite.height - small_stand_sprite.height);
}
