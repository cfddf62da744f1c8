#pragma once

#include "signalling/EditorTexts.h"
#include "signalling/FormLayout.h"
#include "signalling/SignallingArea.h"

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

// The DTMF editor's contents (window TForm2) and memory area 1 of the radio: the encode
// parameters, the 16 autodial memories of grid xg2 and the decode settings.
//
// Controls by object name: cb1..cb5 and the check box CheckB1 on the page "DTMF编码"; Edit1,
// cb6..cb9 and the check box CheckB2 on the page "DTMF解码". Grid "xg2": row 0 the captions,
// column 0 the memory numbers "1".."16", column 1 the memories.
class TDtmfArea : public TEditorTexts, public TSignallingArea {
public:
    static constexpr int kMemories = 16;
    static constexpr int kMemoryColumn = 1;
    // ID code count, then the counts of memories 1-8: all the radio keeps.
    static constexpr int kDigitCounts = 9;

    TDtmfArea();

    int Area() const override;
    NextRead ReadRule() const override { return NextRead::CountReplies; }
    WriteFraming Framing() const override { return WriteFraming::WithCrc; }
    std::vector<Block> EncodeBlocks() const override;
    void DecodeBlock(int block, const Block &data) override;

    static const std::vector<TControlSpec> &ControlSpecs();
    static const TGridSpec &GridSpec();
    static const TFormLayout &Layout();

    TGridTexts &xg2() { return Grid(QStringLiteral("xg2")); }
    const TGridTexts &xg2() const { return Grid(QStringLiteral("xg2")); }

    void SetEditText(const QString &grid, int col, int row, const QString &value) override;
    // The entry rule of a committed memory cell: more than 8 characters keep their first 8.
    // Returns the text the cell holds afterwards.
    QString xg2SetEditText(int col, int row, const QString &value);

    // Offsets 19-27 of the last block 0 read.
    const std::array<std::uint8_t, kDigitCounts> &DigitCounts() const { return m_digitCounts; }

private:
    void DecodeSettings(const Block &data);
    void DecodeMemories(int block, const Block &data);

    std::array<std::uint8_t, kDigitCounts> m_digitCounts{};
};
