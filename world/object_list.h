// The list of everything that lives in a level: the hero, blocks, enemies, items, pipe entrances.
//
// Entries are tagged references addressed by index. Nothing is ever taken out: removal retags the
// entry KIND_REMOVED, and a level load empties the whole list. An append may happen while a pass
// walks the list (a block releasing an item), so passes go by index and re-read `count`, and never
// keep an entry reference across a call that may append: growing may move the storage.
#pragma once

#include <cstdint>
#include <vector>

constexpr int16_t KIND_PLAYER = 1;
constexpr int16_t KIND_BLOCK = 2;
constexpr int16_t KIND_ENEMY = 3;
constexpr int16_t KIND_ITEM = 4;
constexpr int16_t KIND_PIPE = 5;
constexpr int16_t KIND_REMOVED = 1000;

class Entity;

// The hero, blocks, enemies and items are listed by their Entity address, so any pass can read
// their position; pipe entrances by their own.
struct ObjectEntry {
    void* object = nullptr;  // the class is the one the kind names
    int16_t kind = 0;

    bool is_entity() const {
        return kind == KIND_PLAYER || kind == KIND_BLOCK || kind == KIND_ENEMY || kind == KIND_ITEM;
    }
    Entity* entity() const { return static_cast<Entity*>(object); }
};

struct ObjectList {
    static constexpr int32_t initial_capacity = 100;
    static constexpr int32_t growth = 50;

    std::vector<ObjectEntry> entries = std::vector<ObjectEntry>(initial_capacity);
    int32_t capacity = initial_capacity;
    int32_t count = 0;

    // Grows by 50 first when only two free entries are left, so one always stays free.
    void append(void* object, int16_t kind);
    void append(Entity* entity, int16_t kind) { append(static_cast<void*>(entity), kind); }
    void grow(int32_t n);
    // Retags every entry of the object KIND_REMOVED; nothing moves and count stays.
    void remove(const void* object);
    void remove(const Entity* entity) { remove(static_cast<const void*>(entity)); }
    // Empties the list back to a capacity of 100, as a level load does.
    void clear();
};

extern ObjectList objects;
