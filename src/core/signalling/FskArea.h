#pragma once

#include "signalling/EditorTexts.h"
#include "signalling/FormLayout.h"
#include "signalling/SignallingArea.h"

#include <QString>

// The FSK queue-sync editor's contents (window TForm6) and memory area 2 of the radio: the own
// queue and ID, baud rate, delay, information-mode timer, side tone and 16 queue/ID pairs.
//
// Controls by object name: the edit boxes ed1..ed4, the drop-down list cb1 and the check box
// CheckBox1. Grid "xg1": row 0 the captions, column 0 the entry numbers "1".."16", column 1 the
// queue and column 2 the ID of each entry. The grid has no entry rule.
class TFskArea : public TEditorTexts, public TSignallingArea {
public:
    static constexpr int kEntries = 16;
    static constexpr int kQueueColumn = 1;
    static constexpr int kIdColumn = 2;

    TFskArea();

    int Area() const override;
    NextRead ReadRule() const override { return NextRead::CountReplies; }
    WriteFraming Framing() const override { return WriteFraming::HeadThenData; }
    std::vector<Block> EncodeBlocks() const override;
    void DecodeBlock(int block, const Block &data) override;

    static const std::vector<TControlSpec> &ControlSpecs();
    static const TGridSpec &GridSpec();
    static const TFormLayout &Layout();

    TGridTexts &xg1() { return Grid(QStringLiteral("xg1")); }
    const TGridTexts &xg1() const { return Grid(QStringLiteral("xg1")); }

private:
    void DecodeEntry(int entry, const Block &data, int offset);
};
