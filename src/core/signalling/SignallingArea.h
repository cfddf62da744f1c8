#pragma once

#include "protocol/Frame.h"
#include "protocol/ProgramLink.h"

#include <vector>

// The codec of one signalling area: encodes an editor's texts into the blocks of its memory
// area and decodes the radio's replies into them. The editor window shows the texts and drives
// the transfer through TProgramLink.
class TSignallingArea {
public:
    virtual ~TSignallingArea() = default;

    virtual int Area() const = 0;
    virtual NextRead ReadRule() const = 0;
    virtual WriteFraming Framing() const { return WriteFraming::WithCrc; }

    // Every block of the area, in order, from the current texts. Checks everything before
    // returning; the first text that does not fit throws EConvertError naming its field.
    virtual std::vector<Block> EncodeBlocks() const = 0;

    // A reply of this area: block number as the radio sent it, and its 28 data bytes.
    virtual void DecodeBlock(int block, const Block &data) = 0;
};
