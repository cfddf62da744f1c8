#pragma once

#include "base/Block.h"

#include <cstddef>
#include <cstdint>

// Multi-byte numbers of a block, least significant byte first, 1 to 4 bytes wide. An offset
// outside the block is a programming error (std::out_of_range).

inline std::uint32_t ReadLe(const Block &data, int offset, int width)
{
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | data.at(static_cast<std::size_t>(offset + i));
    return value;
}

// Stores the low `width` bytes of value.
inline void WriteLe(Block &data, int offset, int width, std::uint32_t value)
{
    for (int i = 0; i < width; ++i)
        data.at(static_cast<std::size_t>(offset + i)) = static_cast<std::uint8_t>(value >> (8 * i));
}
