#pragma once

#include "base/Block.h"

#include <vector>

// The codec of one signalling area: encodes an editor's texts into the blocks of its memory
// area and decodes the radio's replies into them. The editor window shows the texts and drives
// the transfer through TProgramLink.
class TSignallingArea {
public:
    virtual ~TSignallingArea() = default;

    // The memory area; how it is read and written is in its AreaFacts.
    virtual int Area() const = 0;

    // Every block of the area, in order, from the current texts. Checks everything before
    // returning; the first text that does not fit throws EConvertError naming its field.
    virtual std::vector<Block> EncodeBlocks() const = 0;

    // A reply of this area: block number as the radio sent it, and its 28 data bytes.
    virtual void DecodeBlock(int block, const Block &data) = 0;
};
