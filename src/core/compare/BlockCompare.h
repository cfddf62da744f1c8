#pragma once

#include "base/Language.h"
#include "protocol/RadioImage.h"

#include <QString>
#include <QStringList>
#include <vector>

// The read-back check of a write: every block sent is read again and all 28 data bytes are
// compared with what was sent.

struct TBlockMismatch {
    int area;
    int block;
    Block sent;
    Block read;  // as the radio gave it back; as in an empty image when it was not read
    bool unread = false;  // the read never got the block (a reply carried another block number)
};

// The blocks that `sent` holds whose data `read` does not hold the same, in file order.
std::vector<TBlockMismatch> CompareBlocks(const TRadioImage &sent, const TRadioImage &read);

// A block for people: "channel 3" / "信道 3", "the settings" / "设置", "two-tone block 2" /
// "2TONE 第 2 块" (the signalling areas by their menu entry's name).
QString BlockName(int area, int block, TLanguage language);

// "0A 1B 2C ...": the 28 data bytes in hex, space apart.
QString BlockHex(const Block &data);

// One line per mismatch: "channel 3 (area 0 block 3): sent 0A 1B ..., read 0A 1C ..." /
// "信道 3（区 0 块 3）：写入 0A 1B …，读回 0A 1C …"; a block never read is said to be so.
QString MismatchLine(const TBlockMismatch &mismatch, TLanguage language);
QStringList MismatchLines(const std::vector<TBlockMismatch> &mismatches, TLanguage language);
