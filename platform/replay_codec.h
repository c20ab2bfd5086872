// The record coding shared by the writer and the reader of recordings; see replay_format.h.
#pragma once

#include "platform/replay_format.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace platform::replay::codec {

// Record kinds, the high four bits of a tag.
enum Kind : uint8_t {
    k_end = 0x0, k_copy = 0x1, k_clock = 0x2, k_wait = 0x3, k_sleep = 0x4, k_keys = 0x5,
    k_keys_failed = 0x6, k_mouse_still = 0x7, k_mouse_moved = 0x8, k_mouse_failed = 0x9,
    k_message = 0xA, k_opened = 0xB, k_pointer = 0xC,
};
constexpr uint8_t escape = 15;  // low four bits: the value follows as a varint
constexpr uint8_t held = 0x80;
constexpr uint8_t pointer_failed = 8;  // a pointer record's low bits for a read that failed

// Where a record's bytes come from: the file (kept for the copy history, counted in the checksum)
// or a record already read.
struct Source {
    std::FILE* file = nullptr;
    std::string* keep = nullptr;
    uint32_t* crc = nullptr;
    long* offset = nullptr;
    const std::string* text = nullptr;
    size_t pos = 0;

    int get();
};

void crc_add(uint32_t& crc, uint8_t byte);
uint64_t zigzag(int64_t v);
int64_t unzigzag(uint64_t z);
void put_varint(std::string& out, uint64_t v);
// A small value in the tag's low four bits, or an escape and then a varint.
void put_value(std::string& out, uint8_t kind, uint64_t v);
bool get_varint(Source& in, uint64_t& v, std::string& error);
bool get_value(Source& in, uint8_t low, uint64_t& v, std::string& error);
bool get_int32(Source& in, int32_t& v, const char* what, std::string& error);
uint8_t button_mask(const MouseState& m);

// What an event leaves behind for the records after it; the same on both sides.
void advance(CodecState& s, const Event& e);
// Keeps a literal record among the last few, for copies.
void remember(CodecState& s, const std::string& literal);
// Reads the payload of a literal record whose tag is already taken.
bool decode(uint8_t tag, Source& in, const CodecState& s, Event& e, std::string& error);

extern const char* const cut_short;

}  // namespace platform::replay::codec
