#pragma once

#include "protocol/Frame.h"
#include "signalling/ControlTexts.h"

#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

// How one control of an editor window sits in a 28-byte block.
enum class TFieldKind {
    Number,     // the number shown divided by `scale`, `width` bytes, least significant first
    Flag,       // check box: written 0xFF or 0x00; any non-zero byte reads as ticked
    FlagExact,  // check box: written 0xFF or 0x00; only 0xFF reads as ticked
    Choice,     // combo box whose entries stand for fixed byte values
};

struct TByteField {
    int offset = 0;
    int width = 1;
    QString control;  // object name in TControlTexts
    TFieldKind kind = TFieldKind::Number;
    int scale = 1;
    QString zeroWord;  // Number: the text that stands for 0 ("关", "D码"), if any
    std::vector<std::pair<QString, std::uint8_t>> choices;
};

// Checks the control's text and stores it in its bytes. A text that does not fit throws
// EConvertError with the control's label in front.
void EncodeField(const TByteField &field, const TControlTexts &controls, Block &data);
// Shows the field's bytes in its control. A Choice byte that stands for no entry leaves the
// control as it was.
void DecodeField(const TByteField &field, const Block &data, TControlTexts &controls);

// The stored value of a number text: a whole multiple of `scale` from 0 to `scale` times the
// largest value of `width` bytes, divided by `scale`. Throws EConvertError without a place.
std::uint32_t StoredNumber(const QString &text, int width, int scale = 1);

std::uint32_t ReadLe(const Block &data, int offset, int width);
void WriteLe(Block &data, int offset, int width, std::uint32_t value);

// Where a table entry sits in its area: block number and offset of its first data byte.
struct TEntryPlace {
    int block;
    int offset;
};

// The 16-entry table of 4-byte entries that two areas share (the FSK queue/ID pairs and the
// two-tone encode pairs): entries 1-2 at block 0 offset 20, entries 3-9 filling block 1 and
// entries 10-16 block 2 from offset 0.
constexpr int kPairEntrySize = 4;
TEntryPlace PairEntryPlace(int entry);

