#include "compare/BlockCompare.h"

#include "protocol/Areas.h"

std::vector<TBlockMismatch> CompareBlocks(const TRadioImage &sent, const TRadioImage &read)
{
    std::vector<TBlockMismatch> mismatches;
    for (const TRadioImage::Place &place : sent.heldPlaces()) {
        const Block &wrote = sent.block(place.area, place.block);
        const Block &back = read.block(place.area, place.block);
        const bool unread = !read.holds(place.area, place.block);
        if (unread || wrote != back)
            mismatches.push_back({place.area, place.block, wrote, back, unread});
    }
    return mismatches;
}

QString BlockName(int area, int block, TLanguage language)
{
    const bool chinese = language == TLanguage::Chinese;
    if (area == frame::kMainArea)
        return (chinese ? QStringLiteral("信道 %1") : QStringLiteral("channel %1")).arg(block);
    if (area == frame::kSettingsArea)
        return chinese ? QStringLiteral("设置") : QStringLiteral("the settings");
    if (!IsArea(area))
        return (chinese ? QStringLiteral("区 %1 第 %2 块") : QStringLiteral("area %1 block %2")).arg(area).arg(block);
    const QString title = QString::fromUtf8(chinese ? AreaFacts(area).title : AreaFacts(area).name);
    return (chinese ? QStringLiteral("%1 第 %2 块") : QStringLiteral("%1 block %2")).arg(title).arg(block);
}

QString BlockHex(const Block &data)
{
    return QString::fromLatin1(bytesFromBlock(data).toHex(' ').toUpper());
}

QString MismatchLine(const TBlockMismatch &mismatch, TLanguage language)
{
    const QString name = BlockName(mismatch.area, mismatch.block, language);
    if (mismatch.unread) {
        if (language == TLanguage::Chinese)
            return QStringLiteral("%1（区 %2 块 %3）：写入 %4，电台没有送回此块")
                .arg(name).arg(mismatch.area).arg(mismatch.block).arg(BlockHex(mismatch.sent));
        return QStringLiteral("%1 (area %2 block %3): sent %4, never sent back by the radio")
            .arg(name).arg(mismatch.area).arg(mismatch.block).arg(BlockHex(mismatch.sent));
    }
    if (language == TLanguage::Chinese)
        return QStringLiteral("%1（区 %2 块 %3）：写入 %4，读回 %5")
            .arg(name).arg(mismatch.area).arg(mismatch.block).arg(BlockHex(mismatch.sent), BlockHex(mismatch.read));
    return QStringLiteral("%1 (area %2 block %3): sent %4, read %5")
        .arg(name).arg(mismatch.area).arg(mismatch.block).arg(BlockHex(mismatch.sent), BlockHex(mismatch.read));
}

QStringList MismatchLines(const std::vector<TBlockMismatch> &mismatches, TLanguage language)
{
    QStringList lines;
    for (const TBlockMismatch &mismatch : mismatches)
        lines << MismatchLine(mismatch, language);
    return lines;
}
