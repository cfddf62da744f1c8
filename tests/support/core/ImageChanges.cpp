#include "support/core/ImageChanges.h"

#include <QRegularExpression>
#include <QStringList>

TRadioImage WithChanges(TRadioImage image, int area, const QString &changes)
{
    static const QRegularExpression separator(QStringLiteral("[:=]"));
    for (const QString &change : changes.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList parts = change.split(separator);
        const int block = parts.value(0).toInt();
        const int offset = parts.value(1).toInt();
        Block data = image.block(area, block);
        const QByteArray bytes = QByteArray::fromHex(parts.value(2).toLatin1());
        for (int i = 0; i < bytes.size(); ++i)
            data.at(std::size_t(offset + i)) = std::uint8_t(bytes[i]);
        image.setBlock(area, block, data);
    }
    return image;
}

QString Differences(const TRadioImage &actual, const TRadioImage &expected)
{
    QStringList lines;
    for (const TRadioImage::Place &p : TRadioImage::Places()) {
        const QByteArray a = bytesFromBlock(actual.block(p.area, p.block)).toHex(' ');
        const QByteArray e = bytesFromBlock(expected.block(p.area, p.block)).toHex(' ');
        if (a != e)
            lines << QStringLiteral("area %1 block %2:\n  got  %3\n  want %4")
                         .arg(p.area)
                         .arg(p.block)
                         .arg(QString::fromLatin1(a), QString::fromLatin1(e));
    }
    return lines.join(QLatin1Char('\n'));
}

QList<int> RequestedBlocks(const QByteArray &written, int area)
{
    QList<int> blocks;
    for (int i = 0; i + frame::kHeadSize <= written.size(); i += frame::kHeadSize) {
        const std::optional<TFrame> head = TFrame::Parse(written.mid(i, frame::kHeadSize));
        const bool request = head && head->IsReadRequest() && head->Area() == area && head->Length() == frame::kLength;
        blocks << (request ? head->BlockNumber() : -1);
    }
    if (written.size() % frame::kHeadSize != 0)
        blocks << -1;
    return blocks;
}

QStringList ChangedBytes(const TRadioImage &before, const TRadioImage &after)
{
    QStringList changed;
    for (const TRadioImage::Place &place : TRadioImage::Places()) {
        const Block &a = before.block(place.area, place.block);
        const Block &b = after.block(place.area, place.block);
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (a[i] != b[i])
                changed << QStringLiteral("%1/%2/%3").arg(place.area).arg(place.block).arg(i);
        }
    }
    return changed;
}

QList<QByteArray> WireFrames(const QByteArray &written)
{
    QList<QByteArray> result;
    int at = 0;
    while (at < written.size()) {
        const std::optional<TFrame> parsed = TFrame::Parse(written.mid(at, frame::kFrameSize));
        const int size = parsed ? parsed->Size() : 1;
        result << written.mid(at, size);
        at += size;
    }
    return result;
}

QList<QByteArray> WithoutRepeats(const QList<QByteArray> &frames)
{
    QList<QByteArray> result;
    for (const QByteArray &f : frames) {
        if (result.isEmpty() || result.last() != f)
            result << f;
    }
    return result;
}
