#include "protocol/RadioImage.h"

#include <QFile>
#include <QSaveFile>
#include <stdexcept>

namespace {

const QByteArray kHeader("xiepin-image 1");
constexpr int kHexDigits = 2 * frame::kDataSize;
constexpr qint64 kMaxFileSize = 64 * 1024;  // a real image is about 3.4 KB

std::array<TRadioImage::Place, TRadioImage::kBlockCount> makePlaces()
{
    // File order: the main configuration as the main read fetches it, then the signalling areas.
    std::array<TRadioImage::Place, TRadioImage::kBlockCount> places{};
    std::size_t i = 0;
    for (int number : kTransferOrder) {
        const TArea &area = AreaFacts(number);
        for (int b = area.firstBlock; b < area.EndBlock(); ++b)
            places.at(i++) = {number, b};
    }
    return places;
}

// The text as found, cut short; bytes outside printable ASCII shown as \xNN so that a stray
// CR or a byte-order mark is visible in the message.
QString quoted(const QByteArray &text)
{
    constexpr int kShown = 40;
    QString shown;
    for (char c : text.left(kShown)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F)
            shown += QLatin1Char(c);
        else
            shown += QStringLiteral("\\x") + QString::number(byte, 16).toUpper().rightJustified(2, QLatin1Char('0'));
    }
    if (text.size() > kShown)
        shown += QStringLiteral("...");
    return QLatin1Char('"') + shown + QLatin1Char('"');
}

QString atLine(int line, const QString &what)
{
    return QStringLiteral("line %1: %2").arg(line).arg(what);
}

bool parseNumber(const QByteArray &text, int *value)
{
    if (text.isEmpty() || text.size() > 3)
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    *value = text.toInt();
    return true;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// One block line; returns an empty string when it is right and fills *data.
QString parseBlockLine(const QByteArray &line, const TRadioImage::Place &expected, Block *data)
{
    const QList<QByteArray> fields = line.split(' ');
    if (fields.size() != 3)
        return QStringLiteral("expected \"AREA BLOCK HEX\", found %1").arg(quoted(line));
    int area = 0;
    int block = 0;
    if (!parseNumber(fields[0], &area) || !parseNumber(fields[1], &block))
        return QStringLiteral("area and block must be decimal numbers, found %1").arg(quoted(line));
    if (area != expected.area || block != expected.block)
        return QStringLiteral("expected area %1 block %2, found area %3 block %4")
            .arg(expected.area).arg(expected.block).arg(area).arg(block);
    const QByteArray &hex = fields[2];
    if (hex.size() != kHexDigits)
        return QStringLiteral("expected %1 hex digits, found %2").arg(kHexDigits).arg(hex.size());
    for (int i = 0; i < frame::kDataSize; ++i) {
        const int high = hexValue(hex[2 * i]);
        const int low = hexValue(hex[2 * i + 1]);
        if (high < 0 || low < 0) {
            const int column = high < 0 ? 2 * i : 2 * i + 1;
            return QStringLiteral("%1 is not a hex digit (data digit %2)")
                .arg(quoted(hex.mid(column, 1))).arg(column + 1);
        }
        (*data)[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(high << 4 | low);
    }
    return {};
}

}  // namespace

Block EmptyChannelBlock()
{
    Block data{};
    data[frame::kDataSize - 1] = 0xFF;
    return data;
}

const std::array<TRadioImage::Place, TRadioImage::kBlockCount> &TRadioImage::Places()
{
    static const auto places = makePlaces();
    return places;
}

int TRadioImage::indexOf(int area, int block)
{
    const auto &places = Places();
    for (std::size_t i = 0; i < places.size(); ++i)
        if (places[i].area == area && places[i].block == block)
            return static_cast<int>(i);
    return -1;
}

bool TRadioImage::contains(int area, int block)
{
    return indexOf(area, block) >= 0;
}

TRadioImage::TRadioImage()
{
    for (int b = 1; b <= frame::kChannelCount; ++b)
        setBlock(frame::kMainArea, b, EmptyChannelBlock());
}

const Block &TRadioImage::block(int area, int block) const
{
    const int i = indexOf(area, block);
    if (i < 0)
        throw std::out_of_range("no such block in the radio's memory");
    return m_blocks[static_cast<std::size_t>(i)];
}

void TRadioImage::setBlock(int area, int block, const Block &data)
{
    const int i = indexOf(area, block);
    if (i < 0)
        throw std::out_of_range("no such block in the radio's memory");
    m_blocks[static_cast<std::size_t>(i)] = data;
}

QByteArray TRadioImage::toText() const
{
    QByteArray text = kHeader + '\n';
    const auto &places = Places();
    for (std::size_t i = 0; i < places.size(); ++i) {
        text += QByteArray::number(places[i].area) + ' ' + QByteArray::number(places[i].block) + ' ';
        text += bytesFromBlock(m_blocks[i]).toHex().toUpper();
        text += '\n';
    }
    return text;
}

std::optional<TRadioImage> TRadioImage::fromText(const QByteArray &text, QString *error)
{
    QList<QByteArray> lines = text.split('\n');
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();  // the LF that ends the last line
    for (QByteArray &line : lines)
        if (line.endsWith('\r'))
            line.chop(1);

    auto fail = [error](int line, const QString &what) {
        if (error)
            *error = atLine(line, what);
        return std::nullopt;
    };
    if (lines.first() != kHeader)
        return fail(1, QStringLiteral("expected the header \"%1\", found %2")
                           .arg(QString::fromLatin1(kHeader), quoted(lines.first())));

    TRadioImage image;
    const auto &places = Places();
    for (std::size_t i = 0; i < places.size(); ++i) {
        const int lineNo = static_cast<int>(i) + 2;
        if (lineNo > lines.size())
            return fail(lineNo, QStringLiteral("missing the line for area %1 block %2 (the image has %3 of %4 block lines)")
                                    .arg(places[i].area).arg(places[i].block).arg(i).arg(kBlockCount));
        const QString problem = parseBlockLine(lines[lineNo - 1], places[i], &image.m_blocks[i]);
        if (!problem.isEmpty())
            return fail(lineNo, problem);
    }
    if (lines.size() > kBlockCount + 1)
        return fail(kBlockCount + 2, QStringLiteral("unexpected text after the last block line: %1")
                                         .arg(quoted(lines[kBlockCount + 1])));
    return image;
}

bool TRadioImage::save(const QString &path, QString *error) const
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        const QByteArray text = toText();
        if (file.write(text) == text.size() && file.commit())
            return true;
    }
    if (error)
        *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return false;
}

std::optional<TRadioImage> TRadioImage::load(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    if (file.size() > kMaxFileSize) {
        if (error)
            *error = QStringLiteral("%1: not an image file (larger than %2 bytes)").arg(path).arg(kMaxFileSize);
        return std::nullopt;
    }
    QString problem;
    auto image = fromText(file.readAll(), &problem);
    if (!image && error)
        *error = QStringLiteral("%1: %2").arg(path, problem);
    return image;
}
