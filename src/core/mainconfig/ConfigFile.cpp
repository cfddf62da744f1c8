#include "mainconfig/ConfigFile.h"

#include "base/Gbk.h"
#include "base/FileContents.h"
#include "mainconfig/ChannelLists.h"
#include "mainconfig/MainConfig.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <array>

namespace {

constexpr int kFileLines = 26;
constexpr int kFirstSettingsLine = 17;     // counted from 0: line 18 of the file
constexpr int kSettingsInFile = 9;         // ComboBox1..ComboBox9; the alarm stays out
constexpr qint64 kMaxFileBytes = 64 * 1024;  // a real file is about 2 KB
const QByteArray kLineEnd("\r\n");
const QByteArray kUtf8Bom("\xEF\xBB\xBF");

bool IsBlank(QChar c)
{
    return c.unicode() >= 1 && c.unicode() <= 32;
}

bool NeedsQuotes(const QString &cell)
{
    for (QChar c : cell)
        if (c == QLatin1Char(' ') || (c.unicode() >= 1 && c.unicode() <= 31) || c == QLatin1Char('"')
            || c == QLatin1Char(','))
            return true;
    return false;
}

QString Quoted(const QString &cell)
{
    QString inner = cell;
    inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

// A quoted field from the opening quote at i; i ends after the closing quote (or at the end).
QString QuotedField(const QString &line, int &i)
{
    QString field;
    ++i;
    while (i < line.size()) {
        if (line.at(i) == QLatin1Char('"')) {
            if (i + 1 < line.size() && line.at(i + 1) == QLatin1Char('"')) {
                field += QLatin1Char('"');
                i += 2;
                continue;
            }
            ++i;
            break;
        }
        field += line.at(i++);
    }
    return field;
}

QString PlainField(const QString &line, int &i)
{
    const int start = i;
    while (i < line.size() && line.at(i).unicode() > 32 && line.at(i) != QLatin1Char(','))
        ++i;
    return line.mid(start, i - start);
}

void SkipBlanks(const QString &line, int &i)
{
    while (i < line.size() && IsBlank(line.at(i)))
        ++i;
}

// Lines end at CR LF, a lone CR or a lone LF; a final line break adds no empty line.
QStringList SplitLines(const QString &text)
{
    QStringList lines;
    int start = 0;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines << text.mid(start, i - start);
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines << text.mid(start);
    return lines;
}

QString NativeName(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void CannotCreate(const QString &path, const QString &reason)
{
    throw EConfigFileError(QStringLiteral("Cannot create file \"%1\". %2").arg(NativeName(path), reason));
}

[[noreturn]] void CannotOpen(const QString &path, const QString &reason)
{
    throw EConfigFileError(QStringLiteral("Cannot open file \"%1\". %2").arg(NativeName(path), reason));
}

QString CellPlace(int row, int column)
{
    if (row == 0)
        return QStringLiteral("caption of column %1").arg(column);
    return ShownChannelPlace(row, column);
}

// A text must survive the file unchanged.
void CheckStorable(const QString &text, const QString &place, const QString &path)
{
    const QString problem = FileTextProblem(text);
    if (!problem.isEmpty())
        CannotCreate(path, QStringLiteral("%1: %2.").arg(place, problem));
}

QByteArray FileBytes(const TMainConfig &config, const QString &path)
{
    QStringList lines;
    for (int row = 0; row < TMainConfig::kRows; ++row) {
        for (int column = 0; column < TMainConfig::kCols; ++column)
            CheckStorable(config.Cell(row, column), CellPlace(row, column), path);
        lines << JoinConfigLine(config.Row(row));
    }
    for (int box = 1; box <= kSettingsInFile; ++box) {
        CheckStorable(config.Setting(box), ShownSettingPlace(box), path);
        lines << config.Setting(box);
    }
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += ToGbk(line).value() + kLineEnd;
    return bytes;
}

QString DecodeFileText(const QByteArray &bytes, const QString &path)
{
    if (bytes.startsWith(kUtf8Bom)) {
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString text = decoder.decode(bytes.mid(kUtf8Bom.size()));
        if (decoder.hasError())
            CannotOpen(path, QStringLiteral("The file is not valid UTF-8 text."));
        return text;
    }
    const std::optional<QString> text = FromGbk(bytes);
    if (!text)
        CannotOpen(path, QStringLiteral("The file is not valid GBK text."));
    return *text;
}

// The 16 cells of a grid line; empty fields are stored as a single space.
QStringList RowFromLine(const QString &line)
{
    QStringList cells;
    const QStringList fields = SplitConfigLine(line);
    for (int column = 0; column < TMainConfig::kCols; ++column) {
        if (column >= fields.size())
            cells << QString();
        else
            cells << (fields.at(column).isEmpty() ? QStringLiteral(" ") : fields.at(column));
    }
    return cells;
}

}  // namespace

EConfigFileError::EConfigFileError(const QString &message)
    : std::runtime_error(message.toStdString())
{
}

QString JoinConfigLine(const QStringList &cells)
{
    QStringList parts;
    for (const QString &cell : cells)
        parts << (NeedsQuotes(cell) ? Quoted(cell) : cell);
    return parts.join(QLatin1Char(','));
}

QStringList SplitConfigLine(const QString &line)
{
    // A NUL ends the line, as it ends the text the fields are cut from.
    const QString text = line.left(line.indexOf(QChar(0)));
    QStringList fields;
    int i = 0;
    SkipBlanks(text, i);
    while (i < text.size()) {
        fields << (text.at(i) == QLatin1Char('"') ? QuotedField(text, i) : PlainField(text, i));
        SkipBlanks(text, i);
        if (i < text.size() && text.at(i) == QLatin1Char(',')) {
            if (i + 1 == text.size())
                fields << QString();
            ++i;
            SkipBlanks(text, i);
        }
    }
    return fields;
}

QString FileTextProblem(const QString &text)
{
    if (text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')))
        return QStringLiteral("the text contains a line break");
    if (text.contains(QChar(0)))
        return QStringLiteral("the text contains a NUL character");
    if (!ToGbk(text))
        return QStringLiteral("'%1' cannot be written in GBK").arg(text);
    return QString();
}

void SaveConfigFile(const TMainConfig &config, const QString &path)
{
    QString reason;
    if (!ReplaceFileContents(path, FileBytes(config, path), &reason))
        CannotCreate(path, reason);
}

void LoadConfigFile(TMainConfig &config, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        CannotOpen(path, file.errorString());
    // No more than one byte past the limit, also from a device that never ends.
    const QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        CannotOpen(path, file.errorString());
    if (bytes.size() > kMaxFileBytes)
        CannotOpen(path, QStringLiteral("The file is larger than %1 bytes; a configuration file is far smaller.")
                             .arg(kMaxFileBytes));
    const QString text = DecodeFileText(bytes, path);
    // A save never writes one; where a NUL is, the file is damaged, and a line would be cut there.
    if (text.contains(QChar(0)))
        CannotOpen(path, QStringLiteral("The file contains a NUL character; it is damaged."));
    const QStringList lines = SplitLines(text);
    if (lines.size() != kFileLines)
        CannotOpen(path, QStringLiteral("The file has %1 %2; a configuration file has %3.")
                             .arg(lines.size())
                             .arg(lines.size() == 1 ? QStringLiteral("line") : QStringLiteral("lines"))
                             .arg(kFileLines));

    std::array<QStringList, TMainConfig::kRows> rows;
    for (int row = 0; row < TMainConfig::kRows; ++row)
        rows[row] = RowFromLine(lines.at(row));
    // Row n of a file goes to radio channel n: what the radio reported for channel n fills the
    // bytes no text describes, whatever rows were moved before.
    for (int row = 0; row < TMainConfig::kRows; ++row) {
        config.SetRow(row, rows[row]);
        config.SetChannelOrigin(row, row);
    }
    for (int box = 1; box <= kSettingsInFile; ++box)
        config.SetSetting(box, lines.at(kFirstSettingsLine + box - 1));
}
