#include "mainconfig/ChannelCsv.h"

#include "base/DecimalText.h"
#include "base/Gbk.h"
#include "base/Language.h"
#include "base/ShownText.h"
#include "base/TextConvert.h"
#include "base/FileContents.h"
#include "mainconfig/ChannelLists.h"
#include "mainconfig/ConfigFile.h"
#include "mainconfig/CsvText.h"
#include "mainconfig/MainCodec.h"
#include "mainconfig/MainConfig.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>
#include <cmath>
#include <optional>
#include <utility>

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");
const QString kNone = QStringLiteral("无");
const QString kHigh = QStringLiteral("高");
const QString kLow = QStringLiteral("低");

// The columns of the current version of the format, in its order.
const char *const kFormatColumns[] = {
    "Location", "Name", "Frequency", "Duplex", "Offset", "Tone", "rToneFreq", "cToneFreq",
    "DtcsCode", "DtcsPolarity", "RxDtcsCode", "CrossMode", "Mode", "TStep", "Skip", "Power",
    "Comment", "URCALL", "RPT1CALL", "RPT2CALL", "DVCODE",
};

// This tool's columns and the cells they carry.
struct OwnColumn {
    const char *name;
    int column;
};
constexpr OwnColumn kOwnColumns[] = {
    {"DTMFKey1", col::DtmfKey1},     {"DTMFKey2", col::DtmfKey2},
    {"PTTID", col::PttId},           {"Scrambler", col::Scrambler},
    {"Signalling", col::Signalling}, {"SignallingEntry", col::SignallingEntry},
    {"Compander", col::Compander},
};

constexpr int kStepsHz[] = {5000, 6250, 10000, 12500, 25000};
constexpr qint64 kUnitsPerMHz = 1000000;              // frequencies in hertz, as the radio stores them
constexpr qint64 kMaxShiftUnits = 70 * kUnitsPerMHz;  // beyond this a repeater shift is a split
constexpr double kHighPowerWatts = 2.0;
// Channel lists of the largest radios take a few hundred kilobytes. A larger file is not one,
// and reading it would hold the window for seconds and take much memory.
constexpr qint64 kMaxFileBytes = 4 * 1024 * 1024;

void CheckFileSize(qint64 bytes, TLanguage language)
{
    if (bytes > kMaxFileBytes)
        throw EChannelCsvError(InLanguage(language, "The file is larger than %1 bytes; a channel list is far smaller.",
                                          "文件大于 %1 字节；信道列表远比这小。")
                                   .arg(kMaxFileBytes));
}

// What the filler fields of unused tones hold, as the format's own exports write them.
const QString kFillerTone = QStringLiteral("88.5");
const QString kFillerCode = QStringLiteral("023");
const QString kFillerPolarity = QStringLiteral("NN");
const QString kFillerCross = QStringLiteral("Tone->Tone");

QString DefaultCell(int column)
{
    return NewChannelDefaults().at(column - col::ToneDecode);
}

bool IsThreeDigits(const QString &text)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,3}$"));
    return digits.match(text).hasMatch();
}

bool IsStorable(int column, const QString &text)
{
    try {
        CheckChannelCell(column, text);
        return true;
    } catch (const EConvertError &) {
        return false;
    }
}

QString DecodeText(const QByteArray &bytes, TLanguage language)
{
    const QByteArray body = bytes.startsWith(kUtf8Bom) ? bytes.mid(kUtf8Bom.size()) : bytes;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(body);
    if (!utf8.hasError())
        return text;
    // A spreadsheet on a Chinese system saves in its own code page.
    if (const std::optional<QString> gbk = FromGbk(body))
        return *gbk;
    throw EChannelCsvError(
        InLanguage(language, "The file is neither UTF-8 nor GBK text.", "文件既不是 UTF-8 文本，也不是 GBK 文本。"));
}

// "line 7: " / "第 7 行：", before every report.
QString LinePrefix(int line, TLanguage language)
{
    return InLanguage(language, "line %1: ", "第 %1 行：").arg(line);
}

// One data row of a file, turned into the cells of a channel.
class RowImport {
public:
    RowImport(const QHash<QString, int> &columns, const CsvRecord &record, QStringList &reports, TLanguage language)
        : m_columns(columns), m_record(record), m_reports(reports), m_language(language)
    {
    }

    bool HasFrequency() const { return !Field("Frequency").isEmpty(); }

    // The 16 cells (the number left empty), or nullopt when the row cannot be imported. A row
    // that is refused reports only why: how its values would have come in does not matter.
    std::optional<QStringList> Cells()
    {
        std::optional<QStringList> cells = Build();
        m_reports += m_rowReports;
        return cells;
    }

private:
    std::optional<QStringList> Build()
    {
        const QString mode = Field("Mode");
        QString bandwidth;
        if (mode.isEmpty() || mode.compare(QLatin1String("FM"), Qt::CaseInsensitive) == 0)
            bandwidth = QStringLiteral("宽带");
        else if (mode.compare(QLatin1String("NFM"), Qt::CaseInsensitive) == 0)
            bandwidth = QStringLiteral("窄带");
        else
            return Refuse(Say("mode %1 is not supported", "不支持模式 %1").arg(mode));

        const std::optional<double> rx = Number("Frequency");
        if (!rx)
            return std::nullopt;
        const std::optional<double> tx = TransmitMHz(*rx);
        if (!tx)
            return std::nullopt;

        QStringList cells(col::Count);
        cells[col::RxFreq] = Frequency(*rx, Say("frequency", "接收频率"));
        if (MarksChannelNotInUse(cells[col::RxFreq]))
            return Refuse(Say("Frequency %1 is 0 MHz, which the radio takes for a channel not in use",
                              "Frequency %1 为 0 MHz，电台会当作未用的信道")
                              .arg(Field("Frequency")));
        cells[col::TxFreq] = *tx == *rx ? cells[col::RxFreq] : Frequency(*tx, Say("transmit frequency", "发射频率"));
        std::tie(cells[col::ToneDecode], cells[col::ToneEncode]) = Tones();
        cells[col::Power] = Power();
        cells[col::Bandwidth] = bandwidth;
        cells[col::ScanAdd] = ScanAdd();
        cells[col::Step] = Step();
        for (const OwnColumn &own : kOwnColumns)
            cells[own.column] = OwnCell(own);
        return Storable(cells);
    }

    // The field of the named column, without surrounding blanks; empty when missing.
    QString Field(const QString &name) const
    {
        const int index = m_columns.value(name.toLower(), -1);
        return index >= 0 && index < m_record.fields.size() ? m_record.fields.at(index).trimmed() : QString();
    }
    QString Field(const char *name) const { return Field(QLatin1String(name)); }

    QString Say(const char *english, const char *chinese) const { return InLanguage(m_language, english, chinese); }

    // The same thing said twice for one row (both tones of a DTCS row) is said once.
    void Report(const QString &what)
    {
        const QString report = LinePrefix(m_record.line, m_language) + what;
        if (m_rowReports.isEmpty() || m_rowReports.constLast() != report)
            m_rowReports << report;
    }

    std::nullopt_t Refuse(const QString &why)
    {
        m_rowReports.clear();
        Report(why + Say("; the row is not imported", "；此行未导入"));
        return std::nullopt;
    }

    std::optional<double> Number(const char *name)
    {
        bool ok = false;
        const double value = Field(name).toDouble(&ok);
        if (!ok || !std::isfinite(value))
            return Refuse(Say("%1 '%2' is not a number", "%1 “%2” 不是数字").arg(QLatin1String(name), Field(name)));
        return value;
    }

    std::optional<double> TransmitMHz(double rx)
    {
        const QString duplex = Field("Duplex").toLower();
        if (duplex.isEmpty())
            return rx;
        if (duplex == QLatin1String("off")) {
            Report(Say("transmit off is not supported; the channel transmits on its receive frequency",
                       "不支持关闭发射；信道在接收频率上发射"));
            return rx;
        }
        if (duplex != QLatin1String("+") && duplex != QLatin1String("-") && duplex != QLatin1String("split")) {
            Report(Say("duplex '%1' is not understood; the channel transmits on its receive frequency",
                       "无法识别 Duplex “%1”；信道在接收频率上发射")
                       .arg(Field("Duplex")));
            return rx;
        }
        const std::optional<double> offset = Number("Offset");
        if (!offset)
            return std::nullopt;
        const bool split = duplex == QLatin1String("split");
        const double tx = split ? *offset : duplex == QLatin1String("+") ? rx + *offset : rx - *offset;
        // An offset that uses up the frequency leaves nothing to transmit on. A split to 0 MHz is
        // what this tool exports for a channel the radio holds with transmit 0, and comes back.
        if ((!split || tx < 0) && FormatFixed(tx, 5).toDouble() == 0)
            return Refuse(Say("the transmit frequency from Duplex %1 and Offset %2 is %3 MHz, which leaves "
                              "no frequency to transmit on",
                              "由 Duplex %1 和 Offset %2 得出的发射频率为 %3 MHz，没有可发射的频率")
                              .arg(Field("Duplex"), Field("Offset"), FormatFixed(tx, 6)));
        // The direction of a shift is its Duplex; a signed offset as well may mean either way.
        if (!split && *offset < 0)
            Report(Say("Offset %1 is negative with Duplex %2; the channel transmits on %3 MHz",
                       "Offset %1 为负数而 Duplex 为 %2；信道在 %3 MHz 上发射")
                       .arg(Field("Offset"), Field("Duplex"), FormatFixed(tx, 5)));
        return tx;
    }

    // A text the radio cannot store would stop every write of the table, and one the .qz file
    // cannot hold every save, so its row is refused here, with the reason the write or the
    // save would give.
    std::optional<QStringList> Storable(const QStringList &cells)
    {
        for (int c = col::RxFreq; c < col::Count; ++c) {
            const QString place = ShownText(ChannelColumns().at(c).caption);
            const QString problem = FileTextProblem(cells.at(c));
            if (!problem.isEmpty())
                return Refuse(QStringLiteral("%1: %2").arg(place, problem));
            try {
                CheckChannelCell(c, cells.at(c));
            } catch (const EConvertError &e) {
                return Refuse(QStringLiteral("%1: %2").arg(place, e.message()));
            }
        }
        return cells;
    }

    QString Frequency(double mhz, const QString &what)
    {
        const QString text = FormatFixed(mhz, 5);
        // Every digit of the value, so that 446.0000049 is not reported as a 446.000005
        // that seems to round the wrong way.
        if (!ScaledWhole(mhz, 5))
            Report(Say("%1 %2 rounded to %3", "%1 %2 舍入为 %3").arg(what, QString::number(mhz, 'g', 15), text));
        return text;
    }

    // {decode, encode}, reading only the fields the tone mode uses.
    std::pair<QString, QString> Tones()
    {
        const QString mode = Field("Tone");
        if (mode.isEmpty())
            return {kNone, kNone};
        if (mode.compare(QLatin1String("Tone"), Qt::CaseInsensitive) == 0)
            return {kNone, Ctcss("rToneFreq")};
        if (mode.compare(QLatin1String("TSQL"), Qt::CaseInsensitive) == 0) {
            const QString tone = Ctcss("cToneFreq");
            return {tone, tone};
        }
        if (mode.compare(QLatin1String("DTCS"), Qt::CaseInsensitive) == 0) {
            const QString polarity = Polarity();
            return {Dcs(QStringLiteral("DtcsCode"), polarity.at(1)), Dcs(QStringLiteral("DtcsCode"), polarity.at(0))};
        }
        if (mode.compare(QLatin1String("Cross"), Qt::CaseInsensitive) == 0)
            return CrossTones();
        Report(Say("tone mode %1 is not supported; no tones", "不支持亚音方式 %1；不设亚音").arg(mode));
        return {kNone, kNone};
    }

    // CrossMode is "TX->RX"; files without the column mean the format's default.
    std::pair<QString, QString> CrossTones()
    {
        const QString cross = Field("CrossMode").isEmpty() ? kFillerCross : Field("CrossMode");
        const int arrow = cross.indexOf(QLatin1String("->"));
        if (arrow < 0) {
            Report(Say("cross mode '%1' is not understood; no tones", "无法识别 CrossMode “%1”；不设亚音").arg(cross));
            return {kNone, kNone};
        }
        const QString txPart = cross.left(arrow).trimmed();
        const QString rxPart = cross.mid(arrow + 2).trimmed();
        const bool dcs = txPart.compare(QLatin1String("DTCS"), Qt::CaseInsensitive) == 0
                         || rxPart.compare(QLatin1String("DTCS"), Qt::CaseInsensitive) == 0;
        const QString polarity = dcs ? Polarity() : kFillerPolarity;  // read only when a part uses it
        QString encode = kNone;
        QString decode = kNone;
        if (txPart.compare(QLatin1String("Tone"), Qt::CaseInsensitive) == 0)
            encode = Ctcss("rToneFreq");
        else if (txPart.compare(QLatin1String("DTCS"), Qt::CaseInsensitive) == 0)
            encode = Dcs(QStringLiteral("DtcsCode"), polarity.at(0));
        else if (!txPart.isEmpty())
            Report(Say("cross mode '%1': transmit part %2 is not supported; no encode tone",
                       "CrossMode “%1”：不支持发射部分 %2；不设编码亚音")
                       .arg(cross, txPart));
        if (rxPart.compare(QLatin1String("Tone"), Qt::CaseInsensitive) == 0)
            decode = Ctcss("cToneFreq");
        else if (rxPart.compare(QLatin1String("DTCS"), Qt::CaseInsensitive) == 0)
            decode = Dcs(Field("RxDtcsCode").isEmpty() ? QStringLiteral("DtcsCode") : QStringLiteral("RxDtcsCode"),
                         polarity.at(1));
        else if (!rxPart.isEmpty())
            Report(Say("cross mode '%1': receive part %2 is not supported; no decode tone",
                       "CrossMode “%1”：不支持接收部分 %2；不设解码亚音")
                       .arg(cross, rxPart));
        return {decode, encode};
    }

    // Two letters, transmit first: N normal, R reversed. Missing means NN.
    QString Polarity()
    {
        const QString polarity = Field("DtcsPolarity").toUpper();
        if (polarity.isEmpty())
            return kFillerPolarity;
        static const QRegularExpression valid(QStringLiteral("^[NR]{2}$"));
        if (valid.match(polarity).hasMatch())
            return polarity;
        Report(Say("DtcsPolarity '%1' is not NN, NR, RN or RR; NN used", "DtcsPolarity “%1” 不是 NN、NR、RN 或 RR；按 NN 导入")
                   .arg(Field("DtcsPolarity")));
        return kFillerPolarity;
    }

    QString Ctcss(const char *column)
    {
        const QString text = Field(column);
        if (text.isEmpty()) {
            Report(Say("%1 is empty; no tone", "%1 为空；不设亚音").arg(QLatin1String(column)));
            return kNone;
        }
        bool ok = false;
        const double hz = text.toDouble(&ok);
        return Listed(ok && ScaledWhole(hz, 1) ? FormatFixed(hz, 1) : text, QLatin1String(column));
    }

    QString Dcs(const QString &column, QChar letter)
    {
        QString code = Field(column);
        if (code.isEmpty()) {
            Report(Say("%1 is empty; no tone", "%1 为空；不设亚音").arg(column));
            return kNone;
        }
        if (IsThreeDigits(code))
            code = code.rightJustified(3, QLatin1Char('0'));
        return Listed(code + (letter == QLatin1Char('R') ? QLatin1Char('I') : QLatin1Char('N')), column);
    }

    // The radio stores any tone in its range, so one that is not in the list is kept, but said;
    // one out of range refuses the row (Storable).
    QString Listed(const QString &tone, const QString &column)
    {
        if (!ToneList().contains(tone) && IsStorable(col::ToneEncode, tone))
            Report(Say("%1: %2 is not in the tone list; imported as it is", "%1：%2 不在亚音列表中；照原样导入")
                       .arg(column, tone));
        return tone;
    }

    QString Power()
    {
        const QString power = Field("Power");
        const auto is = [&power](const char *text) { return power.compare(QLatin1String(text), Qt::CaseInsensitive) == 0; };
        if (power.isEmpty() || is("High") || is("H") || power.startsWith(QLatin1String("Med"), Qt::CaseInsensitive)
            || power.startsWith(QLatin1String("Mid"), Qt::CaseInsensitive))
            return kHigh;
        if (is("Low") || is("L"))
            return kLow;
        QString watts = power;
        if (watts.endsWith(QLatin1Char('W'), Qt::CaseInsensitive))
            watts.chop(1);
        bool ok = false;
        const double value = watts.trimmed().toDouble(&ok);
        if (ok && std::isfinite(value) && value >= 0)
            return value >= kHighPowerWatts ? kHigh : kLow;
        Report(Say("power '%1' is not understood; %2 used", "无法识别 Power “%1”；按 %2 导入").arg(power, ShownText(kHigh)));
        return kHigh;
    }

    QString ScanAdd()
    {
        const QString skip = Field("Skip").toUpper();
        if (skip == QLatin1String("S"))
            return kNone;
        if (!skip.isEmpty() && skip != QLatin1String("P"))
            Report(Say("Skip '%1' is not understood; the channel scans", "无法识别 Skip “%1”；信道加入扫描").arg(Field("Skip")));
        return QStringLiteral("有");
    }

    QString Step()
    {
        const QString step = Field("TStep");
        const QString fallback = DefaultCell(col::Step);
        if (step.isEmpty())
            return fallback;
        bool ok = false;
        const std::optional<qint64> hz = ScaledWhole(step.toDouble(&ok), 3);
        if (ok && hz) {
            for (const int allowed : kStepsHz)
                if (*hz == allowed)
                    return QString::number(allowed);
        }
        Report(Say("step %1 kHz is not supported; %2 used", "不支持步进 %1 kHz；按 %2 导入").arg(step, fallback));
        return fallback;
    }

    QString OwnCell(const OwnColumn &own)
    {
        const QString text = Field(own.name);
        if (text.isEmpty())
            return DefaultCell(own.column);
        const ChannelColumn &column = ChannelColumns().at(own.column);
        if (column.items.contains(text) || !IsStorable(own.column, text) || !FileTextProblem(text).isEmpty())
            return text;  // refused with the whole row, if at all
        // A text the radio would store as one of the list's entries ("off" as 有) is not taken.
        const std::optional<QString> stored = StoredChannelCell(own.column, text);
        if (stored && *stored != text && column.items.contains(*stored)) {
            // "05" is 5 written with a leading zero, as a spreadsheet may keep it.
            bool isNumber = false, storedIsNumber = false;
            if (text.toDouble(&isNumber) == stored->toDouble(&storedIsNumber) && isNumber && storedIsNumber) {
                Report(Say("%1: %2 imported as %3", "%1：%2 按 %3 导入").arg(QLatin1String(own.name), text, *stored));
                return *stored;
            }
            const QString fallback = DefaultCell(own.column);
            Report(Say("%1: %2 is not in the list of %3; %4 used", "%1：%2 不在%3的列表中；按 %4 导入")
                       .arg(QLatin1String(own.name), text, ShownText(column.caption), fallback));
            return fallback;
        }
        Report(Say("%1: %2 is not in the list of %3; imported as it is", "%1：%2 不在%3的列表中；照原样导入")
                   .arg(QLatin1String(own.name), text, ShownText(column.caption)));
        return text;
    }

    const QHash<QString, int> &m_columns;
    const CsvRecord &m_record;
    QStringList &m_reports;
    QStringList m_rowReports;
    const TLanguage m_language;
};

// --- export

QString Place(int channel, int column)
{
    return ShownChannelPlace(channel, column);
}

double CellNumber(const TMainConfig &config, int channel, int column)
{
    try {
        return StrToFloat(config.Cell(channel, column));
    } catch (const EConvertError &e) {
        throw e.WithPlace(Place(channel, column));
    }
}

// The frequency in hertz: a cell may hold six decimals (a file's), which a write stores too.
qint64 FrequencyUnits(const TMainConfig &config, int channel, int column)
{
    return FormatFixed(CellNumber(config, channel, column), 6).remove(QLatin1Char('.')).toLongLong();
}

QString SixDecimals(qint64 units)
{
    const qint64 magnitude = qAbs(units);
    return QStringLiteral("%1%2.%3")
        .arg(units < 0 ? QStringLiteral("-") : QString())
        .arg(magnitude / kUnitsPerMHz)
        .arg(magnitude % kUnitsPerMHz, 6, 10, QLatin1Char('0'));
}

struct ToneCell {
    enum Kind { None, Ctcss, Dcs } kind = None;
    QString value;   // "88.5" or "023"
    QChar polarity;  // 'N' or 'R' for a DCS code
};

ToneCell ReadTone(const TMainConfig &config, int channel, int column)
{
    const QString text = config.Cell(channel, column).trimmed();
    if (text.isEmpty() || text == kNone)
        return {};
    static const QRegularExpression dcs(QStringLiteral("^([0-9]{3})([NI])$"));
    const QRegularExpressionMatch match = dcs.match(text);
    if (match.hasMatch())
        return {ToneCell::Dcs, match.captured(1), match.captured(2) == QLatin1String("N") ? QLatin1Char('N') : QLatin1Char('R')};
    bool ok = false;
    const double hz = text.toDouble(&ok);
    if (!ok)
        throw EConvertError(QStringLiteral("'%1' is not a tone").arg(text)).WithPlace(Place(channel, column));
    return {ToneCell::Ctcss, FormatFixed(hz, 1), QChar()};
}

// Tone, rToneFreq, cToneFreq, DtcsCode, DtcsPolarity, RxDtcsCode, CrossMode.
QStringList ToneFields(const ToneCell &encode, const ToneCell &decode)
{
    QString mode;
    QString rTone = kFillerTone, cTone = kFillerTone, code = kFillerCode, rxCode = kFillerCode;
    QString polarity = kFillerPolarity, cross = kFillerCross;
    if (encode.kind == ToneCell::None && decode.kind == ToneCell::None) {
    } else if (encode.kind == ToneCell::Ctcss && decode.kind == ToneCell::None) {
        mode = QStringLiteral("Tone");
        rTone = encode.value;
    } else if (encode.kind == ToneCell::Ctcss && decode.kind == ToneCell::Ctcss && encode.value == decode.value) {
        mode = QStringLiteral("TSQL");
        cTone = encode.value;
    } else if (encode.kind == ToneCell::Dcs && decode.kind == ToneCell::Dcs && encode.value == decode.value) {
        mode = QStringLiteral("DTCS");
        code = encode.value;
        polarity = QString(encode.polarity) + decode.polarity;
    } else {
        mode = QStringLiteral("Cross");
        static const QString parts[] = {QString(), QStringLiteral("Tone"), QStringLiteral("DTCS")};
        cross = parts[encode.kind] + QStringLiteral("->") + parts[decode.kind];
        if (encode.kind == ToneCell::Ctcss)
            rTone = encode.value;
        if (encode.kind == ToneCell::Dcs) {
            code = encode.value;
            polarity[0] = encode.polarity;
        }
        if (decode.kind == ToneCell::Ctcss)
            cTone = decode.value;
        if (decode.kind == ToneCell::Dcs) {
            rxCode = decode.value;
            polarity[1] = decode.polarity;
        }
    }
    return {mode, rTone, cTone, code, polarity, rxCode, cross};
}

// A cell the radio cannot store exactly would be exported rounded, as no write could send it:
// it is refused as the write refuses it.
void CheckExportedCells(const TMainConfig &config, int n)
{
    for (const int column : {int(col::RxFreq), int(col::TxFreq), int(col::ToneDecode), int(col::ToneEncode), int(col::Step)}) {
        const QString text = config.Cell(n, column);
        if (column == col::TxFreq && IsEmptyText(text))
            continue;  // transmits on the receive frequency
        try {
            CheckChannelCell(column, text);
        } catch (const EConvertError &e) {
            throw e.WithPlace(Place(n, column));
        }
    }
}

QStringList ExportRow(const TMainConfig &config, int n)
{
    CheckExportedCells(config, n);
    const qint64 rx = FrequencyUnits(config, n, col::RxFreq);
    const qint64 tx = IsEmptyText(config.Cell(n, col::TxFreq)) ? rx : FrequencyUnits(config, n, col::TxFreq);
    QString duplex;
    qint64 offset = 0;
    // Transmit 0 is a split to 0, which an import takes back; it refuses a shift down to 0 as a
    // mistaken offset.
    if (tx != rx && tx != 0 && qAbs(tx - rx) <= kMaxShiftUnits) {
        duplex = tx > rx ? QStringLiteral("+") : QStringLiteral("-");
        offset = qAbs(tx - rx);
    } else if (tx != rx) {
        duplex = QStringLiteral("split");
        offset = tx;
    }
    const double stepKHz = CellNumber(config, n, col::Step) / 1000.0;

    QStringList fields{QString::number(n), QStringLiteral("CH%1").arg(n), SixDecimals(rx), duplex, SixDecimals(offset)};
    fields << ToneFields(ReadTone(config, n, col::ToneEncode), ReadTone(config, n, col::ToneDecode));
    fields << (config.Cell(n, col::Bandwidth) == QStringLiteral("窄带") ? QStringLiteral("NFM") : QStringLiteral("FM"))
           << FormatFixed(stepKHz, 2)
           << (config.Cell(n, col::ScanAdd) == kNone ? QStringLiteral("S") : QString())
           << (config.Cell(n, col::Power) == kLow ? QStringLiteral("Low") : QStringLiteral("High"));
    fields << QString() << QString() << QString() << QString() << QString();  // Comment and the digital-voice fields
    for (const OwnColumn &own : kOwnColumns)
        fields << config.Cell(n, own.column);
    return fields;
}

QStringList ExportHeader()
{
    QStringList header;
    for (const char *name : kFormatColumns)
        header << QLatin1String(name);
    for (const OwnColumn &own : kOwnColumns)
        header << QLatin1String(own.name);
    return header;
}

}  // namespace

EChannelCsvError::EChannelCsvError(const QString &message)
    : std::runtime_error(message.toStdString())
{
}

ChannelCsvImport ImportChannelCsv(const QByteArray &bytes, int startChannel, TLanguage language)
{
    if (startChannel < 1 || startChannel > TMainConfig::kChannels)
        throw EChannelCsvError(InLanguage(language, "The start channel %1 is not between 1 and %2.",
                                          "起始信道 %1 不在 1 到 %2 之间。")
                                   .arg(startChannel)
                                   .arg(TMainConfig::kChannels));
    CheckFileSize(bytes.size(), language);
    TCsvReader reader(DecodeText(bytes, language));
    QHash<QString, int> columns;
    if (const std::optional<CsvRecord> header = reader.Next()) {
        if (header->unclosed)
            throw EChannelCsvError(InLanguage(language, "A quoted field of the header line is not closed.",
                                              "标题行中引号内的字段没有结束。"));
        const QStringList &names = header->fields;
        for (int i = names.size() - 1; i >= 0; --i)  // the first of two equal names counts
            columns.insert(names.at(i).trimmed().toLower(), i);
    }
    if (!columns.contains(QStringLiteral("frequency")))
        throw EChannelCsvError(InLanguage(language, "The file has no header line naming a Frequency column.",
                                          "文件没有列名中含 Frequency 的标题行。"));

    // Reading stops where nothing more can come in, so that a file of a million rows costs no
    // more than its first.
    ChannelCsvImport result;
    int channel = startChannel;
    while (const std::optional<CsvRecord> record = reader.Next()) {
        if (record->unclosed) {
            result.reports << LinePrefix(record->line, language)
                                  + InLanguage(language,
                                               "a quoted field is not closed, so the rest of the file is read as "
                                               "that field; the row is not imported",
                                               "引号中的字段没有结束，文件其余部分都读作这一字段；此行未导入");
            break;
        }
        RowImport row(columns, *record, result.reports, language);
        if (!row.HasFrequency())
            continue;
        if (channel > TMainConfig::kChannels) {
            result.reports << LinePrefix(record->line, language)
                                  + InLanguage(language,
                                               "no channel is left after channel %1; this row and the rows after it "
                                               "are not imported",
                                               "信道 %1 之后没有信道了；此行及以后各行未导入")
                                        .arg(TMainConfig::kChannels);
            break;
        }
        if (std::optional<QStringList> cells = row.Cells()) {
            (*cells)[col::Number] = QString::number(channel);
            result.rows.insert(channel++, *cells);
        }
    }
    return result;
}

QByteArray ExportChannelCsv(const TMainConfig &config)
{
    QString text = CsvLine(ExportHeader()) + QStringLiteral("\r\n");
    // A receive frequency of 0 is a channel the radio takes for one not in use.
    for (int n = 1; n <= TMainConfig::kChannels; ++n)
        if (config.IsChannelInUse(n) && !MarksChannelNotInUse(config.Cell(n, col::RxFreq)))
            text += CsvLine(ExportRow(config, n)) + QStringLiteral("\r\n");
    return text.toUtf8();
}

ChannelCsvImport ReadChannelCsvFile(const QString &path, int startChannel, TLanguage language)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EChannelCsvError(
            QStringLiteral("Cannot open file \"%1\". %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    try {
        // No more than one byte past the limit, also from a device that never ends.
        return ImportChannelCsv(file.read(kMaxFileBytes + 1), startChannel, language);
    } catch (const EChannelCsvError &e) {
        throw EChannelCsvError(QStringLiteral("Cannot read file \"%1\". %2").arg(QDir::toNativeSeparators(path), e.message()));
    }
}

void WriteChannelCsvFile(const TMainConfig &config, const QString &path)
{
    QString reason;
    if (!ReplaceFileContents(path, ExportChannelCsv(config), &reason))
        throw EChannelCsvError(
            QStringLiteral("Cannot create file \"%1\". %2").arg(QDir::toNativeSeparators(path), reason));
}
