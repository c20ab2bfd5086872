// Little-endian integers in byte buffers, as BMP files and level maps store them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace formats {

inline void put_u16(std::vector<std::uint8_t>& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void put_u32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

inline void put_i32(std::vector<std::uint8_t>& out, std::int32_t value)
{
    put_u32(out, static_cast<std::uint32_t>(value));
}

// The caller makes sure that four bytes from `at` lie inside `bytes`.
inline std::int32_t get_i32(std::span<const std::uint8_t> bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | bytes[at + static_cast<std::size_t>(i)];
    return static_cast<std::int32_t>(value);
}

}  // namespace formats
