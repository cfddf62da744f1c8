#pragma once

#include "protocol/Frame.h"
#include "protocol/ProgramLink.h"

#include <vector>

// The widget-free side of a signalling editor: the texts of its controls and cells, and their
// encoding into one memory area of the radio. The editor window shows these texts and drives
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
