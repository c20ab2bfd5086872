// Shared by the asset compiler's tests: where a compile failed.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tools/assets/text.h"

namespace asset_checks {

// Whether compiling failed at this line and column.
inline testing::AssertionResult fails_at(const assets::Compiled& result, int line, int column)
{
    if (!result.error)
        return testing::AssertionFailure() << "compiled without an error";
    if (result.error->line != line || result.error->column != column)
        return testing::AssertionFailure() << "error at " << result.error->line << ':' << result.error->column
                                           << " (" << result.error->message << ")";
    return testing::AssertionSuccess();
}

// The little-endian int32 at a byte offset.
inline std::int32_t int_at(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return static_cast<std::int32_t>(bytes.at(at) | bytes.at(at + 1) << 8 | bytes.at(at + 2) << 16 |
                                     static_cast<std::uint32_t>(bytes.at(at + 3)) << 24);
}

}  // namespace asset_checks
