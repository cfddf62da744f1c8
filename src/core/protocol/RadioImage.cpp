#include "protocol/RadioImage.h"

#include "base/FileContents.h"

#include <QFile>
#include <stdexcept>

namespace {

const QByteArray kHeader("xiepin-image 1");
const QByteArray kSubsetHeader("xiepin-image 1 subset ");
constexpr char kNoteMark = '#';
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

// One block line; returns an empty string when it is right and fills *data. checkPlace says
// what is wrong with the place the line names, or returns an empty string.
template <typename CheckPlace>
QString parseBlockLine(const QByteArray &line, CheckPlace checkPlace, Block *data)
{
    const QList<QByteArray> fields = line.split(' ');
    if (fields.size() != 3)
        return QStringLiteral("expected \"AREA BLOCK HEX\", found %1").arg(quoted(line));
    int area = 0;
    int block = 0;
    if (!parseNumber(fields[0], &area) || !parseNumber(fields[1], &block))
        return QStringLiteral("area and block must be decimal numbers, found %1").arg(quoted(line));
    const QString misplaced = checkPlace(TRadioImage::Place{area, block});
    if (!misplaced.isEmpty())
        return misplaced;
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

// The lines of a file with their numbers (from 1), notes apart.
struct Lines {
    QList<QByteArray> text;
    QList<int> numbers;
    QStringList notes;
    int total = 0;
};

Lines splitLines(const QByteArray &text)
{
    QList<QByteArray> all = text.split('\n');
    if (all.size() > 1 && all.last().isEmpty())
        all.removeLast();  // the LF that ends the last line
    Lines lines;
    lines.total = static_cast<int>(all.size());
    for (int i = 0; i < all.size(); ++i) {
        QByteArray line = all[i];
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.startsWith(kNoteMark)) {
            lines.notes << QString::fromUtf8(line.mid(1)).trimmed();
            continue;
        }
        lines.text << line;
        lines.numbers << i + 1;
    }
    return lines;
}

// "xiepin-image 1 subset N": N, else -1.
int subsetCount(const QByteArray &header)
{
    if (!header.startsWith(kSubsetHeader))
        return -1;
    int count = 0;
    const QByteArray digits = header.mid(kSubsetHeader.size());
    if (!parseNumber(digits, &count) || count > TRadioImage::kBlockCount)
        return -1;
    return count;
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

Block TRadioImage::initialBlock(int area)
{
    return area == frame::kMainArea ? EmptyChannelBlock() : Block{};
}

TRadioImage::TRadioImage()
{
    const auto &places = Places();
    for (std::size_t i = 0; i < places.size(); ++i)
        m_blocks[i] = initialBlock(places[i].area);
    m_held.set();
}

TRadioImage TRadioImage::None()
{
    TRadioImage image;
    image.m_held.reset();
    return image;
}

bool TRadioImage::holds(int area, int block) const
{
    const int i = indexOf(area, block);
    return i >= 0 && m_held.test(static_cast<std::size_t>(i));
}

bool TRadioImage::holdsAnyOf(int area) const
{
    for (const Place &place : Places())
        if (place.area == area && holds(place.area, place.block))
            return true;
    return false;
}

std::vector<TRadioImage::Place> TRadioImage::heldPlaces() const
{
    std::vector<Place> held;
    for (const Place &place : Places())
        if (holds(place.area, place.block))
            held.push_back(place);
    return held;
}

QString TRadioImage::contentsId() const
{
    if (isWhole())
        return QStringLiteral("all");
    QStringList ids;
    if (holdsAnyOf(frame::kMainArea) || holdsAnyOf(frame::kSettingsArea))
        ids << QStringLiteral("main");
    for (int area : kSignallingAreas)
        if (holdsAnyOf(area))
            ids << QString::fromLatin1(AreaFacts(area).id);
    return ids.join(QLatin1Char('-'));
}

TRadioImage TRadioImage::restrictedTo(const TRadioImage &which) const
{
    TRadioImage part = None();
    for (const Place &place : which.heldPlaces())
        if (holds(place.area, place.block))
            part.setBlock(place.area, place.block, block(place.area, place.block));
    return part;
}

void TRadioImage::dropBlock(int area, int block)
{
    const int i = indexOf(area, block);
    if (i < 0)
        throw std::out_of_range("no such block in the radio's memory");
    m_held.reset(static_cast<std::size_t>(i));
    m_blocks[static_cast<std::size_t>(i)] = initialBlock(area);
}

void TRadioImage::dropArea(int area)
{
    for (const Place &place : Places())
        if (place.area == area)
            dropBlock(place.area, place.block);
}

bool TRadioImage::operator==(const TRadioImage &other) const
{
    return m_held == other.m_held && m_blocks == other.m_blocks;  // blocks not held keep their initial data
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
    m_held.set(static_cast<std::size_t>(i));
}

QByteArray TRadioImage::toText() const
{
    QByteArray text = isWhole() ? kHeader : kSubsetHeader + QByteArray::number(heldCount());
    text += '\n';
    for (const QString &note : m_notes)
        text += QByteArray(1, kNoteMark) + ' ' + note.simplified().toUtf8() + '\n';
    const auto &places = Places();
    for (std::size_t i = 0; i < places.size(); ++i) {
        if (!m_held.test(i))
            continue;
        text += QByteArray::number(places[i].area) + ' ' + QByteArray::number(places[i].block) + ' ';
        text += bytesFromBlock(m_blocks[i]).toHex().toUpper();
        text += '\n';
    }
    return text;
}

std::optional<TRadioImage> TRadioImage::fromText(const QByteArray &text, QString *error)
{
    const Lines lines = splitLines(text);
    auto fail = [error](int line, const QString &what) {
        if (error)
            *error = atLine(line, what);
        return std::nullopt;
    };
    const QByteArray header = lines.text.isEmpty() ? QByteArray() : lines.text.first();
    const int headerLine = lines.numbers.isEmpty() ? lines.total + 1 : lines.numbers.first();
    const int subset = subsetCount(header);
    if (header != kHeader && subset < 0)
        return fail(headerLine, QStringLiteral("expected the header \"%1\", found %2")
                                    .arg(QString::fromLatin1(kHeader), quoted(header)));
    const bool whole = subset < 0;
    const int wanted = whole ? kBlockCount : subset;
    // Numbers of lines missing at the end: after the last line, counting notes.
    auto lineNo = [&lines](int k) { return k < lines.numbers.size() ? lines.numbers[k] : lines.total + 1 + (k - static_cast<int>(lines.numbers.size())); };

    TRadioImage image = whole ? TRadioImage() : None();
    image.m_notes = lines.notes;
    const auto &places = Places();
    int next = 0;  // index into places of the first block the next line may name
    for (int i = 0; i < wanted; ++i) {
        const int k = i + 1;
        if (k >= lines.text.size()) {
            if (whole)
                return fail(lineNo(k), QStringLiteral("missing the line for area %1 block %2 (the image has %3 of %4 block lines)")
                                           .arg(places[i].area).arg(places[i].block).arg(i).arg(kBlockCount));
            return fail(lineNo(k), QStringLiteral("missing block lines (the image has %1 of the %2 its header gives)")
                                       .arg(i).arg(wanted));
        }
        int found = -1;
        auto checkPlace = [&](const Place &place) -> QString {
            found = indexOf(place.area, place.block);
            if (whole) {
                if (found == i)
                    return {};
                return QStringLiteral("expected area %1 block %2, found area %3 block %4")
                    .arg(places[i].area).arg(places[i].block).arg(place.area).arg(place.block);
            }
            if (found < 0)
                return QStringLiteral("area %1 block %2 is no block of the radio").arg(place.area).arg(place.block);
            if (found < next)
                return QStringLiteral("area %1 block %2 is out of order (blocks go in the usual order, each once)")
                    .arg(place.area).arg(place.block);
            return {};
        };
        Block data{};
        const QString problem = parseBlockLine(lines.text[k], checkPlace, &data);
        if (!problem.isEmpty())
            return fail(lineNo(k), problem);
        image.setBlock(places[static_cast<std::size_t>(found)].area, places[static_cast<std::size_t>(found)].block, data);
        next = found + 1;
    }
    if (lines.text.size() > wanted + 1)
        return fail(lineNo(wanted + 1), QStringLiteral("unexpected text after the last block line: %1")
                                            .arg(quoted(lines.text[wanted + 1])));
    return image;
}

bool TRadioImage::save(const QString &path, QString *error) const
{
    QString reason;
    if (ReplaceFileContents(path, toText(), &reason))
        return true;
    if (error)
        *error = QStringLiteral("cannot write %1: %2").arg(path, reason);
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
    // No more than one byte past the limit, also from a device that never ends.
    const QByteArray text = file.read(kMaxFileSize + 1);
    if (text.size() > kMaxFileSize) {
        if (error)
            *error = QStringLiteral("%1: not an image file (larger than %2 bytes)").arg(path, QString::number(kMaxFileSize));
        return std::nullopt;
    }
    QString problem;
    auto image = fromText(text, &problem);
    if (!image && error)
        *error = QStringLiteral("%1: %2").arg(path, problem);
    return image;
}
