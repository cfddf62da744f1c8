#include "mainconfig/MainCodec.h"

#include "base/DecimalText.h"
#include "base/TextConvert.h"
#include "mainconfig/ChannelLists.h"
#include "mainconfig/MainConfig.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

constexpr quint16 kNoTone = 0xFFFF;
constexpr quint16 kDcsNormal = 0x2000;
constexpr quint16 kDcsInverted = 0xA000;
constexpr int kMaxCtcssTenths = 0x0FFF;           // the top four bits mark the tone kind
constexpr double kMaxMegahertz = 4294.967295;     // 0xFFFFFFFF Hz
constexpr int kChannelEndMark = 27;               // always 0xFF when written

// Texts that map to codes. A text outside the table encodes to codeForOther or is refused when
// there is none; a code outside the table shows textForOther or leaves the cell as it is.
struct CodeTable {
    std::vector<std::pair<int, QString>> entries;
    std::optional<int> codeForOther;
    std::optional<QString> textForOther;

    std::optional<int> codeOf(const QString &text) const
    {
        for (const auto &entry : entries)
            if (entry.second == text)
                return entry.first;
        return codeForOther;
    }
    std::optional<QString> textOf(int code) const
    {
        for (const auto &entry : entries)
            if (entry.first == code)
                return entry.second;
        return textForOther;
    }
};

const CodeTable &DtmfKeyTable()
{
    static const CodeTable table{{{0x00, QStringLiteral("D")}, {0x01, QStringLiteral("1")},
                                  {0x02, QStringLiteral("2")}, {0x03, QStringLiteral("3")},
                                  {0x04, QStringLiteral("4")}, {0x05, QStringLiteral("5")},
                                  {0x06, QStringLiteral("6")}, {0x07, QStringLiteral("7")},
                                  {0x08, QStringLiteral("8")}, {0x09, QStringLiteral("9")},
                                  {0x0A, QStringLiteral("0")}, {0x0B, QStringLiteral("*")},
                                  {0x0C, QStringLiteral("#")}, {0x0D, QStringLiteral("A")},
                                  {0x0E, QStringLiteral("B")}, {0x0F, QStringLiteral("C")},
                                  {0xFF, QStringLiteral("无")}},
                                 std::nullopt, std::nullopt};
    return table;
}

const CodeTable &PttIdTable()
{
    static const CodeTable table{{{0, QStringLiteral("无")}, {1, QStringLiteral("BOTH")},
                                  {2, QStringLiteral("BOT")}, {3, QStringLiteral("EOT")}},
                                 std::nullopt, std::nullopt};
    return table;
}

const CodeTable &SignallingTable()
{
    static const CodeTable table{{{0, QStringLiteral("DTMF")}, {1, QStringLiteral("2TONE")},
                                  {2, QStringLiteral("5TONE")}, {3, QStringLiteral("FSK")}},
                                 std::nullopt, std::nullopt};
    return table;
}

// Channel flags: 0x00 for one text, 0xFF for anything else.
const CodeTable &PowerTable()
{
    static const CodeTable table{{{0x00, QStringLiteral("低")}, {0xFF, QStringLiteral("高")}}, 0xFF,
                                 QStringLiteral("高")};
    return table;
}

const CodeTable &BandwidthTable()
{
    static const CodeTable table{{{0x00, QStringLiteral("窄带")}, {0xFF, QStringLiteral("宽带")}}, 0xFF,
                                 QStringLiteral("宽带")};
    return table;
}

const CodeTable &YesNoTable()
{
    static const CodeTable table{{{0x00, QStringLiteral("无")}, {0xFF, QStringLiteral("有")}}, 0xFF,
                                 QStringLiteral("有")};
    return table;
}

// Settings switches: exactly 1 is on.
const CodeTable &OnOffTable()
{
    static const CodeTable table{{{1, QStringLiteral("开")}, {0, QStringLiteral("关")}}, 0,
                                 QStringLiteral("关")};
    return table;
}

const CodeTable &VoicePromptTable()
{
    static const CodeTable table{{{0, QStringLiteral("关")}, {1, QStringLiteral("中文")},
                                  {2, QStringLiteral("英文")}},
                                 2, QStringLiteral("英文")};
    return table;
}

// The codes do not follow the order of the drop-down list.
const CodeTable &PfTable()
{
    static const CodeTable table{{{0, QStringLiteral("无")}, {1, QStringLiteral("警报音")},
                                  {2, QStringLiteral("监听")}, {3, QStringLiteral("自动拨号")},
                                  {4, QStringLiteral("按键锁定")}, {5, QStringLiteral("按键锁定及备份")},
                                  {6, QStringLiteral("监听瞬时")}, {7, QStringLiteral("扫描")},
                                  {8, QStringLiteral("扫描+暂时删除")}, {9, QStringLiteral("扰频器")},
                                  {10, QStringLiteral("取消静噪")}, {11, QStringLiteral("瞬时取消静噪")},
                                  {12, QStringLiteral("暂时删除")}},
                                 0, QStringLiteral("无")};
    return table;
}

enum class FieldKind {
    Frequency,     // hertz, shown as MHz with five decimals
    Tone,          // tone code
    Number,        // unsigned decimal, 0..max
    NumberOrNone,  // noneText is 0, otherwise unsigned decimal 0..max
    Lookup,        // through a code table
};

// One field of a block; place is the grid column (channel block) or the box (settings block).
struct FieldDef {
    int offset;
    int width;
    int place;
    FieldKind kind;
    qint64 max = 0;
    const char *noneText = nullptr;
    const CodeTable *table = nullptr;
};

// Channel block, little-endian. Bytes 24..26 are not assigned, byte 27 is 0xFF.
const std::vector<FieldDef> &ChannelFields()
{
    static const std::vector<FieldDef> fields{
        // offset width column               kind
        {0,  4, col::RxFreq,          FieldKind::Frequency},
        {4,  4, col::TxFreq,          FieldKind::Frequency},
        {8,  2, col::ToneDecode,      FieldKind::Tone},
        {10, 2, col::ToneEncode,      FieldKind::Tone},
        {12, 1, col::Power,           FieldKind::Lookup, 0, nullptr, &PowerTable()},
        {13, 1, col::Bandwidth,       FieldKind::Lookup, 0, nullptr, &BandwidthTable()},
        {14, 1, col::ScanAdd,         FieldKind::Lookup, 0, nullptr, &YesNoTable()},
        {15, 2, col::Step,            FieldKind::Number, 0xFFFF},
        {17, 1, col::DtmfKey1,        FieldKind::Lookup, 0, nullptr, &DtmfKeyTable()},
        {18, 1, col::DtmfKey2,        FieldKind::Lookup, 0, nullptr, &DtmfKeyTable()},
        {19, 1, col::PttId,           FieldKind::Lookup, 0, nullptr, &PttIdTable()},
        {20, 1, col::Scrambler,       FieldKind::NumberOrNone, 0xFF, "无"},
        {21, 1, col::Compander,       FieldKind::Lookup, 0, nullptr, &YesNoTable()},
        {22, 1, col::Signalling,      FieldKind::Lookup, 0, nullptr, &SignallingTable()},
        {23, 1, col::SignallingEntry, FieldKind::Number, 0xFF},
    };
    return fields;
}

// Settings block. Bytes 2..7 are 0x00, bytes 16..27 are not assigned.
const std::vector<FieldDef> &SettingsFields()
{
    static const std::vector<FieldDef> fields{
        // offset width box               kind
        {0,  1, PowerSaveBox,   FieldKind::Lookup, 0, nullptr, &OnOffTable()},
        {1,  1, AlarmBox,       FieldKind::Lookup, 0, nullptr, &OnOffTable()},
        {8,  1, VoxLevelBox,    FieldKind::NumberOrNone, 0xFF, "无"},
        {9,  1, VoxDelayBox,    FieldKind::Number, 0xFF},
        {10, 1, SquelchBox,     FieldKind::Number, 0xFF},
        {11, 1, TimeOutBox,     FieldKind::NumberOrNone, 0xFF, "关"},
        {12, 1, VoicePromptBox, FieldKind::Lookup, 0, nullptr, &VoicePromptTable()},
        {13, 1, Pf1Box,         FieldKind::Lookup, 0, nullptr, &PfTable()},
        {14, 1, Pf2Box,         FieldKind::Lookup, 0, nullptr, &PfTable()},
        {15, 1, ScanBox,        FieldKind::Lookup, 0, nullptr, &OnOffTable()},
    };
    return fields;
}

constexpr int kSettingsFirstUnassigned = 16;
constexpr int kChannelFirstUnassigned = 24;

void PutLittleEndian(Block &data, int offset, int width, quint32 value)
{
    for (int i = 0; i < width; ++i)
        data[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

quint32 GetLittleEndian(const Block &data, int offset, int width)
{
    quint32 value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | data[offset + i];
    return value;
}

void CopyBytes(const Block &from, Block &to, int offset, int width)
{
    std::copy_n(from.begin() + offset, width, to.begin() + offset);
}

QString NotAFrequency(const QString &text)
{
    return QStringLiteral("'%1' is not a frequency from 0 to 4294.967295 MHz").arg(text);
}

QString NotWholeHertz(const QString &text)
{
    return QStringLiteral("'%1' is not a whole number of hertz").arg(text);
}

QString NotATone(const QString &text)
{
    return QStringLiteral("'%1' is not a tone: use 无, a CTCSS frequency from 0 to 409.5 Hz with at "
                          "most one decimal, or three digits followed by N or I").arg(text);
}

QString NotInList(const QString &text, const QStringList &list)
{
    return QStringLiteral("'%1' is not one of %2").arg(text, list.join(QStringLiteral(", ")));
}

quint32 EncodeFrequency(const QString &text)
{
    const double megahertz = StrToFloat(text);
    if (megahertz < 0 || megahertz > kMaxMegahertz)
        throw EConvertError(NotAFrequency(text));
    const std::optional<qint64> hertz = ScaledWhole(megahertz, 6);
    if (!hertz)
        throw EConvertError(NotWholeHertz(text));
    return static_cast<quint32>(*hertz);
}

// Megahertz with five decimals, rounded to 10 Hz (half up).
QString DecodeFrequency(quint32 hertz)
{
    const quint64 tens = (quint64(hertz) + 5) / 10;
    return QStringLiteral("%1.%2").arg(tens / 100000).arg(tens % 100000, 5, 10, QLatin1Char('0'));
}

bool IsDcsText(const QString &text)
{
    if (text.size() != 4 || (text.at(3) != QLatin1Char('N') && text.at(3) != QLatin1Char('I')))
        return false;
    return std::all_of(text.cbegin(), text.cbegin() + 3,
                       [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

// A text that the decoder may have left as it was (empty) keeps the radio's bytes; any other
// text must be one the field knows.
bool KeepsRadioBytes(const FieldDef &field, const QString &text)
{
    const bool mayBeLeftAlone = field.kind == FieldKind::Tone
        || (field.kind == FieldKind::Lookup && !field.table->codeForOther);
    return mayBeLeftAlone && IsEmptyText(text);
}

quint32 EncodeFieldValue(const FieldDef &field, const QString &text, const QStringList &list)
{
    switch (field.kind) {
    case FieldKind::Frequency:
        return EncodeFrequency(text);
    case FieldKind::Tone:
        return EncodeTone(text);
    case FieldKind::Number:
        return static_cast<quint32>(StrToIntRange(text, 0, field.max));
    case FieldKind::NumberOrNone:
        if (text == QString::fromUtf8(field.noneText))
            return 0;
        return static_cast<quint32>(StrToIntRange(text, 0, field.max));
    case FieldKind::Lookup:
        if (const std::optional<int> code = field.table->codeOf(text))
            return static_cast<quint32>(*code);
        throw EConvertError(NotInList(text, list));
    }
    return 0;
}

void EncodeField(const FieldDef &field, const QString &text, const QStringList &list, const Block &lastRead,
                 Block &data)
{
    if (KeepsRadioBytes(field, text))
        CopyBytes(lastRead, data, field.offset, field.width);
    else
        PutLittleEndian(data, field.offset, field.width, EncodeFieldValue(field, text, list));
}

// nullopt: the cell keeps its text.
std::optional<QString> DecodeField(const FieldDef &field, const Block &data)
{
    const quint32 value = GetLittleEndian(data, field.offset, field.width);
    switch (field.kind) {
    case FieldKind::Frequency:
        return DecodeFrequency(value);
    case FieldKind::Tone:
        return DecodeTone(static_cast<quint16>(value));
    case FieldKind::Number:
        return QString::number(value);
    case FieldKind::NumberOrNone:
        return value == 0 ? QString::fromUtf8(field.noneText) : QString::number(value);
    case FieldKind::Lookup:
        return field.table->textOf(static_cast<int>(value));
    }
    return std::nullopt;
}

QString ChannelPlace(int n, int column)
{
    return QStringLiteral("信道 %1 %2").arg(n).arg(ChannelColumns().at(column).caption);
}

void DecodeChannel(TMainConfig &config, int row, const Block &data)
{
    for (const FieldDef &field : ChannelFields())
        if (const std::optional<QString> text = DecodeField(field, data))
            config.SetCell(row, field.place, *text);
    // A channel whose receive frequency reads as zero is empty.
    if (config.Cell(row, col::RxFreq) == QStringLiteral("0.00000"))
        for (int c = col::RxFreq; c < TMainConfig::kCols; ++c)
            config.SetCell(row, c, QString());
}

void DecodeSettings(TMainConfig &config, const Block &data)
{
    for (const FieldDef &field : SettingsFields())
        if (const std::optional<QString> text = DecodeField(field, data))
            config.SetSetting(field.place, *text);
}

}  // namespace

quint16 EncodeTone(const QString &text)
{
    if (text == QStringLiteral("无"))
        return kNoTone;
    if (IsDcsText(text)) {
        const quint16 digits = static_cast<quint16>(text.left(3).toInt());
        return digits | (text.at(3) == QLatin1Char('N') ? kDcsNormal : kDcsInverted);
    }
    double hertz = 0;
    try {
        hertz = StrToFloat(text);
    } catch (const EConvertError &) {
        throw EConvertError(NotATone(text));
    }
    const std::optional<qint64> tenths = ScaledWhole(hertz, 1);
    if (!tenths || *tenths < 0 || *tenths > kMaxCtcssTenths)
        throw EConvertError(NotATone(text));
    return static_cast<quint16>(*tenths);
}

std::optional<QString> DecodeTone(quint16 code)
{
    if (code == kNoTone)
        return QStringLiteral("无");
    const int kind = code & 0xF000;
    const int value = code & 0x0FFF;
    if (kind == 0) {
        QString text = QString::number(value / 10);
        if (value % 10 != 0)
            text += QLatin1Char('.') + QString::number(value % 10);
        else if (value == 670 || value == 770 || value == 1000 || value == 1230)
            text += QStringLiteral(".0");  // as these tones appear in the list
        return text;
    }
    if (kind == kDcsNormal || kind == kDcsInverted) {
        // Three digits as in the list, so that the text encodes back to the same code.
        return QStringLiteral("%1").arg(value, 3, 10, QLatin1Char('0'))
            + QLatin1Char(kind == kDcsNormal ? 'N' : 'I');
    }
    return std::nullopt;
}

Block EncodeChannelBlock(const TMainConfig &config, int n)
{
    Block data{};
    if (config.IsChannelInUse(n)) {
        const Block lastRead = config.LastReadBlock(frame::kMainArea, n);
        CopyBytes(lastRead, data, kChannelFirstUnassigned, kChannelEndMark - kChannelFirstUnassigned);
        for (const FieldDef &field : ChannelFields()) {
            try {
                EncodeField(field, config.Cell(n, field.place), ChannelColumns().at(field.place).items, lastRead,
                            data);
            } catch (const EConvertError &e) {
                throw e.WithPlace(ChannelPlace(n, field.place));
            }
        }
    }
    data[kChannelEndMark] = 0xFF;
    return data;
}

Block EncodeSettingsBlock(const TMainConfig &config)
{
    Block data{};
    const Block lastRead = config.LastReadBlock(frame::kSettingsArea, 0);
    CopyBytes(lastRead, data, kSettingsFirstUnassigned, frame::kDataSize - kSettingsFirstUnassigned);
    for (const FieldDef &field : SettingsFields()) {
        try {
            EncodeField(field, config.Setting(field.place), SettingDefinition(field.place).items, lastRead, data);
        } catch (const EConvertError &e) {
            throw e.WithPlace(SettingPlaceName(field.place));
        }
    }
    return data;
}

MainImage BuildMainImage(const TMainConfig &config)
{
    MainImage image;
    for (int n = 1; n <= TMainConfig::kChannels; ++n)
        image.channels[n - 1] = EncodeChannelBlock(config, n);
    image.settings = EncodeSettingsBlock(config);
    return image;
}

void DecodeMainBlock(TMainConfig &config, int area, int block, const Block &data)
{
    if (area == frame::kSettingsArea && block == 0)
        DecodeSettings(config, data);
    else if (area == frame::kMainArea && block >= 1 && block <= TMainConfig::kChannels)
        DecodeChannel(config, block, data);
    else
        return;
    config.RememberReadBlock(area, block, data);
}
