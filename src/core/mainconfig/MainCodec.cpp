#include "mainconfig/MainCodec.h"

#include "base/BlockField.h"
#include "base/DecimalText.h"
#include "base/ShownText.h"
#include "base/TextConvert.h"
#include "mainconfig/ChannelLists.h"
#include "mainconfig/MainConfig.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace {

constexpr quint16 kNoTone = 0xFFFF;
constexpr quint16 kDcsNormal = 0x2000;
constexpr quint16 kDcsInverted = 0xA000;
constexpr int kMaxCtcssTenths = 0x0FFF;           // the top four bits mark the tone kind
constexpr int kMaxDcsDigits = 999;                // a DCS code is three decimal digits
constexpr double kMaxMegahertz = 4294.967295;     // 0xFFFFFFFF Hz
constexpr int kChannelEndMark = 27;               // always 0xFF when written

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
    return QStringLiteral("'%1' is not a tone: use %2, a CTCSS frequency from 0 to 409.5 Hz with at "
                          "most one decimal, or three digits followed by N or I")
        .arg(text, ShownText(QStringLiteral(QT_TRANSLATE_NOOP("Texts", "无"))));
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

// Megahertz with five decimals, rounded to 10 Hz (half up); the top few hertz round down, as
// up would give a frequency that the four bytes cannot hold.
QString DecodeFrequency(quint32 hertz)
{
    const quint64 tens = std::min<quint64>((quint64(hertz) + 5) / 10, std::numeric_limits<quint32>::max() / 10);
    return QStringLiteral("%1.%2").arg(tens / 100000).arg(tens % 100000, 5, 10, QLatin1Char('0'));
}

std::optional<QString> DecodeFrequencyField(std::uint32_t hertz)
{
    return DecodeFrequency(hertz);
}

bool IsDcsText(const QString &text)
{
    if (text.size() != 4 || (text.at(3) != QLatin1Char('N') && text.at(3) != QLatin1Char('I')))
        return false;
    return std::all_of(text.cbegin(), text.cbegin() + 3,
                       [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

using TChannelField = TBlockField<int>;  // key: the grid column
using TSettingsField = TBlockField<int>; // key: the settings box

const TFieldConvert &DtmfKeyConvert()
{
    static const TFieldConvert convert = ChoiceField(
        {{QStringLiteral("D"), 0x00}, {QStringLiteral("1"), 0x01}, {QStringLiteral("2"), 0x02},
         {QStringLiteral("3"), 0x03}, {QStringLiteral("4"), 0x04}, {QStringLiteral("5"), 0x05},
         {QStringLiteral("6"), 0x06}, {QStringLiteral("7"), 0x07}, {QStringLiteral("8"), 0x08},
         {QStringLiteral("9"), 0x09}, {QStringLiteral("0"), 0x0A}, {QStringLiteral("*"), 0x0B},
         {QStringLiteral("#"), 0x0C}, {QStringLiteral("A"), 0x0D}, {QStringLiteral("B"), 0x0E},
         {QStringLiteral("C"), 0x0F}, {QStringLiteral("无"), 0xFF}});
    return convert;
}

const TFieldConvert &PttIdConvert()
{
    static const TFieldConvert convert = ChoiceField({{QStringLiteral("无"), 0}, {QStringLiteral("BOTH"), 1},
                                                      {QStringLiteral("BOT"), 2}, {QStringLiteral("EOT"), 3}});
    return convert;
}

const TFieldConvert &SignallingConvert()
{
    static const TFieldConvert convert = ChoiceField({{QStringLiteral("DTMF"), 0}, {QStringLiteral("2TONE"), 1},
                                                      {QStringLiteral("5TONE"), 2}, {QStringLiteral("FSK"), 3}});
    return convert;
}

// Channel flags: 0x00 for one text, 0xFF for the other or an empty cell; any byte but 0x00 reads
// as the other.
TFieldConvert ChannelFlag(const char *off, const char *on)
{
    const QString onText = QString::fromUtf8(on);
    return ChoiceField({{QString::fromUtf8(off), 0x00}, {onText, 0xFF}}, 0xFF, onText);
}

// Settings switches: exactly 1 is on.
const TFieldConvert &OnOffConvert()
{
    static const TFieldConvert convert =
        ChoiceField({{QStringLiteral("开"), 1}, {QStringLiteral("关"), 0}}, 0, QStringLiteral("关"));
    return convert;
}

const TFieldConvert &VoicePromptConvert()
{
    static const TFieldConvert convert = ChoiceField(
        {{QStringLiteral("关"), 0}, {QStringLiteral("中文"), 1}, {QStringLiteral("英文"), 2}}, 2, QStringLiteral("英文"));
    return convert;
}

// The codes do not follow the order of the drop-down list.
const TFieldConvert &PfConvert()
{
    static const TFieldConvert convert = ChoiceField(
        {{QStringLiteral("无"), 0}, {QStringLiteral("警报音"), 1}, {QStringLiteral("监听"), 2},
         {QStringLiteral("自动拨号"), 3}, {QStringLiteral("按键锁定"), 4}, {QStringLiteral("按键锁定及备份"), 5},
         {QStringLiteral("监听瞬时"), 6}, {QStringLiteral("扫描"), 7}, {QStringLiteral("扫描+暂时删除"), 8},
         {QStringLiteral("扰频器"), 9}, {QStringLiteral("取消静噪"), 10}, {QStringLiteral("瞬时取消静噪"), 11},
         {QStringLiteral("暂时删除"), 12}},
        0, QStringLiteral("无"));
    return convert;
}

std::uint32_t EncodeToneField(const QString &text)
{
    return EncodeTone(text);
}

std::optional<QString> DecodeToneField(std::uint32_t code)
{
    return DecodeTone(static_cast<quint16>(code));
}

// Channel block. Bytes 24..26 are not assigned, byte 27 is 0xFF.
const std::vector<TChannelField> &ChannelFields()
{
    static const TFieldConvert frequency = CustomField(EncodeFrequency, DecodeFrequencyField, false);
    static const TFieldConvert tone = CustomField(EncodeToneField, DecodeToneField, true);
    static const std::vector<TChannelField> fields{
        // offset width column               conversion
        {0,  4, col::RxFreq,          frequency},
        {4,  4, col::TxFreq,          frequency},
        {8,  2, col::ToneDecode,      tone},
        {10, 2, col::ToneEncode,      tone},
        {12, 1, col::Power,           ChannelFlag("低", "高")},
        {13, 1, col::Bandwidth,       ChannelFlag("窄带", "宽带")},
        {14, 1, col::ScanAdd,         ChannelFlag("无", "有")},
        {15, 2, col::Step,            NumberField()},
        {17, 1, col::DtmfKey1,        DtmfKeyConvert()},
        {18, 1, col::DtmfKey2,        DtmfKeyConvert()},
        {19, 1, col::PttId,           PttIdConvert()},
        {20, 1, col::Scrambler,       NumberOrWordField(QStringLiteral("无"))},
        {21, 1, col::Compander,       ChannelFlag("无", "有")},
        {22, 1, col::Signalling,      SignallingConvert()},
        {23, 1, col::SignallingEntry, NumberField()},
    };
    return fields;
}

// Settings block. Bytes 2..7 are 0x00, bytes 16..27 are not assigned.
const std::vector<TSettingsField> &SettingsFields()
{
    static const std::vector<TSettingsField> fields{
        // offset width box             conversion
        {0,  1, PowerSaveBox,   OnOffConvert()},
        {1,  1, AlarmBox,       OnOffConvert()},
        {8,  1, VoxLevelBox,    NumberOrWordField(QStringLiteral("无"))},
        {9,  1, VoxDelayBox,    NumberField()},
        {10, 1, SquelchBox,     NumberField()},
        {11, 1, TimeOutBox,     NumberOrWordField(QStringLiteral("关"))},
        {12, 1, VoicePromptBox, VoicePromptConvert()},
        {13, 1, Pf1Box,         PfConvert()},
        {14, 1, Pf2Box,         PfConvert()},
        {15, 1, ScanBox,        OnOffConvert()},
    };
    return fields;
}

constexpr int kSettingsFirstUnassigned = 16;
constexpr int kChannelFirstUnassigned = 24;

void CopyBytes(const Block &from, Block &to, int offset, int width)
{
    std::copy_n(from.begin() + offset, width, to.begin() + offset);
}

// A text that the decoder may have left as it was (empty) keeps the radio's bytes; any other
// text must be one the field knows.
void EncodeField(const TBlockField<int> &field, const QString &text, const QStringList &list, const Block &lastRead,
                 Block &data)
{
    if (MayKeepText(field.convert) && IsEmptyText(text))
        CopyBytes(lastRead, data, field.offset, field.width);
    else
        EncodeText(field, text, data, list);
}

void DecodeChannel(TMainConfig &config, int row, const Block &data)
{
    // A code it does not know empties its cell, so that a write keeps the radio's bytes; a text
    // left there from another radio or a file would be written over them.
    for (const TChannelField &field : ChannelFields())
        config.SetCell(row, field.key, DecodeText(field, data).value_or(QString()));
    // A channel whose receive frequency reads as zero is empty.
    if (MarksChannelNotInUse(config.Cell(row, col::RxFreq)))
        for (int c = col::RxFreq; c < TMainConfig::kCols; ++c)
            config.SetCell(row, c, QString());
}

void DecodeSettings(TMainConfig &config, const Block &data)
{
    for (const TSettingsField &field : SettingsFields())
        if (const std::optional<QString> text = DecodeText(field, data))
            config.SetSetting(field.key, *text);
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
    // Three digits as in the list, so that the text encodes back to the same code. A number of
    // four digits is no DCS code: unknown, as other kinds are, rather than a text no write takes.
    if ((kind == kDcsNormal || kind == kDcsInverted) && value <= kMaxDcsDigits) {
        return QStringLiteral("%1").arg(value, 3, 10, QLatin1Char('0'))
            + QLatin1Char(kind == kDcsNormal ? 'N' : 'I');
    }
    return std::nullopt;
}

namespace {

// What an empty cell of a field that a read may leave empty stands for.
enum class TEmptyCell {
    RadioCode,  // the code the radio reported, when it is one the decoder did not know
    AnyCode,    // a code not known yet: a file's table before any radio is read
};

// A channel's cell into its bytes. The decoder leaves a cell empty for a code it does not know;
// such a cell keeps the bytes the radio reported for the channel (`read`). Any other empty cell
// was emptied by hand, and is refused as any other text the field does not know: keeping the
// radio's old code, or writing 0 (a tone of 0 Hz, DTMF key "D"), would not be what it shows.
void EncodeChannelField(const TChannelField &field, const QString &text, const std::optional<Block> &read,
                        TEmptyCell empty, Block &data)
{
    const bool keep = IsEmptyText(text) && MayKeepText(field.convert)
                      && (empty == TEmptyCell::AnyCode || (read && !DecodeText(field, *read)));
    if (keep)
        CopyBytes(read.value_or(Block{}), data, field.offset, field.width);
    else
        EncodeText(field, text, data, ChannelColumns().at(field.key).items);
}

Block EncodeChannel(const TMainConfig &config, int n, TEmptyCell empty)
{
    Block data{};
    if (config.IsChannelInUse(n)) {
        const std::optional<Block> read = config.ChannelRead(n);
        CopyBytes(read.value_or(Block{}), data, kChannelFirstUnassigned, kChannelEndMark - kChannelFirstUnassigned);
        for (const TChannelField &field : ChannelFields()) {
            try {
                EncodeChannelField(field, config.Cell(n, field.key), read, empty, data);
            } catch (const EConvertError &e) {
                throw e.WithPlace(ShownChannelPlace(n, field.key));
            }
        }
    }
    data[kChannelEndMark] = 0xFF;
    return data;
}

MainImage BuildImage(const TMainConfig &config, TEmptyCell empty)
{
    MainImage image;
    for (int n = 1; n <= TMainConfig::kChannels; ++n)
        image.channels[n - 1] = EncodeChannel(config, n, empty);
    image.settings = EncodeSettingsBlock(config);
    return image;
}

}  // namespace

void CheckChannelCell(int column, const QString &text)
{
    StoredChannelCell(column, text);  // throws for a text the radio cannot store
}

bool MarksChannelNotInUse(const QString &rxFreq)
{
    bool ok = false;
    const double mhz = rxFreq.toDouble(&ok);  // "0" in a file as well as "0.00000"
    return ok && mhz == 0;
}

std::optional<QString> StoredChannelCell(int column, const QString &text)
{
    for (const TChannelField &field : ChannelFields()) {
        if (field.key == column) {
            Block data{};
            EncodeChannelField(field, text, std::nullopt, TEmptyCell::RadioCode, data);
            return DecodeText(field, data);
        }
    }
    return std::nullopt;
}

Block EncodeChannelBlock(const TMainConfig &config, int n)
{
    return EncodeChannel(config, n, TEmptyCell::RadioCode);
}

Block EncodeSettingsBlock(const TMainConfig &config)
{
    Block data{};
    const Block lastRead = config.LastReadBlock(frame::kSettingsArea, 0);
    CopyBytes(lastRead, data, kSettingsFirstUnassigned, frame::kDataSize - kSettingsFirstUnassigned);
    for (const TSettingsField &field : SettingsFields()) {
        try {
            EncodeField(field, config.Setting(field.key), SettingDefinition(field.key).items, lastRead, data);
        } catch (const EConvertError &e) {
            throw e.WithPlace(ShownSettingPlace(field.key));
        }
    }
    return data;
}

MainImage BuildMainImage(const TMainConfig &config)
{
    return BuildImage(config, TEmptyCell::RadioCode);
}

MainImage BuildFileImage(const TMainConfig &config)
{
    return BuildImage(config, TEmptyCell::AnyCode);
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
