#pragma once

#include <array>
#include <cstdint>

// One block of the radio's memory: the 28 data bytes that a frame carries. Every memory area
// is made of such blocks; multi-byte numbers in them are stored least significant byte first.
constexpr int kBlockSize = 28;
using Block = std::array<std::uint8_t, kBlockSize>;
