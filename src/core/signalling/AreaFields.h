#pragma once

#include "base/BlockField.h"
#include "signalling/ControlTexts.h"

#include <QString>

// A field of a signalling area whose text lives in a control of the editor window, keyed by
// the control's object name.
using TControlField = TBlockField<QString>;

// Checks the control's text (or check state) and stores it in its bytes. A text that does not
// fit throws EConvertError with the control's label in front.
void EncodeField(const TControlField &field, const TControlTexts &controls, Block &data);
// Shows the field's bytes in its control. A Choice byte that stands for no entry leaves the
// control as it was.
void DecodeField(const TControlField &field, const Block &data, TControlTexts &controls);

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
