#pragma once

#include "base/Block.h"
#include "protocol/Areas.h"

#include <array>

// The 17 data blocks of a main write, encoded and checked before anything is sent.
struct MainImage {
    std::array<Block, frame::kChannelCount> channels{};  // area 0, blocks 1..16
    Block settings{};                                    // area 5, block 0
};
