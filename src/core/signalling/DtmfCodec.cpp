#include "signalling/DtmfCodec.h"

#include "base/ShownText.h"
#include "base/TextConvert.h"
#include "protocol/Areas.h"
#include "signalling/AreaFields.h"
#include "signalling/DtmfCodes.h"

#include <algorithm>

namespace {

// Block 0, parameters and decode settings (offsets in the 28 data bytes):
//    0  1  DTMF rate                   cb1, as shown
//    1  1  first digit time            cb2, ms / 10
//    2  1  first digit delay           cb3, ms / 10
//    3  1  "*" and "#" tone time       cb4, ms / 10
//    4  1  D key setting               cb5, 0 for "D码", else ms / 100
//    5  1  DTMF side tone              CheckB1, 0xFF / 0x00
//    6  4  reserved, 0
//   10  4  ID code                     Edit1, ID table, least significant byte first
//   14  1  group call code             cb6, DTMF table code, 0xFF for "关"
//   15  1  auto-reset timer            cb7, seconds, 0 for "关"
//   16  1  call alarm                  cb8
//   17  1  auto answer                 cb9
//   18  1  clear auto answer           CheckB2, 0xFF / 0x00
//   19  1  ID code digit count
//   20  8  digit counts of memories 1-8
constexpr int kIdCodeOffset = 10;
constexpr int kIdCountOffset = 19;

const std::vector<TControlField> &SettingsFields()
{
    static const std::vector<TControlField> fields = {
        {0, 1, QStringLiteral("cb1"), NumberField()},
        {1, 1, QStringLiteral("cb2"), NumberField(10)},
        {2, 1, QStringLiteral("cb3"), NumberField(10)},
        {3, 1, QStringLiteral("cb4"), NumberField(10)},
        {4, 1, QStringLiteral("cb5"), NumberField(100, QStringLiteral("D码"))},
        {5, 1, QStringLiteral("CheckB1"), FlagField()},
        {14, 1, QStringLiteral("cb6"),
         ChoiceField({{QStringLiteral("关"), 0xFF}, {QStringLiteral("A"), 13}, {QStringLiteral("B"), 14},
                      {QStringLiteral("C"), 15}, {QStringLiteral("D"), 0}, {QStringLiteral("*"), 11},
                      {QStringLiteral("#"), 12}})},
        {15, 1, QStringLiteral("cb7"), NumberField(1, QStringLiteral("关"))},
        {16, 1, QStringLiteral("cb8"),
         ChoiceField({{QStringLiteral("关"), 0}, {QStringLiteral("常规"), 1}, {QStringLiteral("连续"), 2}})},
        {17, 1, QStringLiteral("cb9"),
         ChoiceField({{QStringLiteral("关"), 0}, {QStringLiteral("告警"), 1}, {QStringLiteral("ID码"), 2}})},
        {18, 1, QStringLiteral("CheckB2"), FlagField()},
    };
    return fields;
}

// Blocks 1-3: six 4-byte slots each, memory 6(n-1)+1+i in slot i of block n, its digit string
// code (DTMF table) least significant byte first, 0 for an empty memory. Slots 4-5 of block 3
// and offsets 24-27 of every block stay 0.
constexpr int kSlotsPerBlock = 6;
constexpr int kCodeWidth = 4;

int MemoryBlock(int memory)
{
    return (memory - 1) / kSlotsPerBlock + 1;
}

int MemoryOffset(int memory)
{
    return kCodeWidth * ((memory - 1) % kSlotsPerBlock);
}

// A digit string to store: empty gives code 0 and count 0.
struct DigitText {
    std::uint32_t code = 0;
    std::uint8_t count = 0;
};

// Only "D"s, any number up to eight: the code of D is 0.
QString OnlyDs(int count)
{
    return QString(std::clamp(count, 0, kMaxDigits), QLatin1Char('D'));
}

// counted: the radio keeps the number of digits, so leading "D"s (code 0) survive.
DigitText CheckedDigits(const QString &text, const QString &place, std::uint32_t (*toCode)(const QString &),
                        bool counted = true)
{
    if (IsEmptyText(text))
        return {};
    ConvertAt(place, [&] {
        CheckDigitText(text);
        if (!counted && DtmfDigitCode(text.at(0)) == 0)
            throw EConvertError(QStringLiteral("'%1' begins with D, which is lost here: memories 9 to 16 keep "
                                               "no number of digits")
                                    .arg(text));
    });
    return {toCode(text), static_cast<std::uint8_t>(text.size())};
}

}  // namespace

TDtmfCodec::TDtmfCodec(TDtmfTexts &texts)
    : m_texts(texts)
{
}

int TDtmfCodec::Area() const
{
    return frame::kDtmfArea;
}

std::vector<Block> TDtmfCodec::EncodeBlocks() const
{
    std::vector<Block> blocks(static_cast<std::size_t>(AreaFacts(Area()).blockCount));
    Block &settings = blocks[0];
    for (const TControlField &field : SettingsFields())
        EncodeField(field, m_texts.Controls(), settings);

    const DigitText id = CheckedDigits(m_texts.Controls().Text(QStringLiteral("Edit1")),
                                       ShownText(m_texts.Controls().Spec(QStringLiteral("Edit1")).label), IdTextToCode);
    WriteLe(settings, kIdCodeOffset, kCodeWidth, id.code);
    settings[kIdCountOffset] = id.count;

    for (int memory = 1; memory <= TDtmfTexts::kMemories; ++memory) {
        const DigitText digits = CheckedDigits(m_texts.xg2().Cell(TDtmfTexts::kMemoryColumn, memory),
                                               m_texts.xg2().Place(TDtmfTexts::kMemoryColumn, memory), DtmfTextToCode,
                                               memory < kDigitCounts);
        WriteLe(blocks[static_cast<std::size_t>(MemoryBlock(memory))], MemoryOffset(memory), kCodeWidth,
                digits.code);
        if (memory < kDigitCounts)
            settings[static_cast<std::size_t>(kIdCountOffset + memory)] = digits.count;
    }
    return blocks;
}

void TDtmfCodec::DecodeBlock(int block, const Block &data)
{
    if (block == 0)
        DecodeSettings(data);
    else if (block > 0 && block < AreaFacts(Area()).blockCount)
        DecodeMemories(block, data);
}

void TDtmfCodec::DecodeSettings(const Block &data)
{
    for (const TControlField &field : SettingsFields())
        DecodeField(field, data, m_texts.Controls());

    // A zero code is an ID of "D"s only (none for a zero count). Without a count the ID shows
    // its digits from the highest non-zero one.
    const std::uint32_t id = ReadLe(data, kIdCodeOffset, kCodeWidth);
    const int count = data[kIdCountOffset];
    m_texts.Controls().SetText(QStringLiteral("Edit1"),
                               id == 0 ? OnlyDs(count)
                                       : IdCodeToText(id, count > 0 ? count : SignificantDigits(id)));

    for (int i = 0; i < kDigitCounts; ++i)
        m_digitCounts[static_cast<std::size_t>(i)] = data[static_cast<std::size_t>(kIdCountOffset + i)];
}

void TDtmfCodec::DecodeMemories(int block, const Block &data)
{
    for (int slot = 0; slot < kSlotsPerBlock; ++slot) {
        const int memory = kSlotsPerBlock * (block - 1) + 1 + slot;
        if (memory > TDtmfTexts::kMemories)
            break;
        const std::uint32_t code = ReadLe(data, MemoryOffset(memory), kCodeWidth);
        // Memories 9-16 have no stored count; neither has a memory whose count reads 0. A zero
        // code with a count is a memory of "D"s, as with the ID: shown, it is written back whole.
        const int stored = memory < kDigitCounts ? m_digitCounts[static_cast<std::size_t>(memory)] : 0;
        const int count = stored > 0 ? stored : SignificantDigits(code);
        m_texts.xg2().SetCell(TDtmfTexts::kMemoryColumn, memory,
                              code == 0 ? OnlyDs(stored) : DtmfCodeToText(code, count));
    }
}
