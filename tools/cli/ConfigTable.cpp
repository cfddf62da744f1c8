#include "cli/ConfigTable.h"

#include "base/TextConvert.h"
#include "mainconfig/ChannelLists.h"
#include "mainconfig/MainConfig.h"

#include <algorithm>
#include <iterator>

namespace {

struct Range {
    char32_t first;
    char32_t last;
};

// East Asian Wide and Fullwidth blocks: Hangul Jamo, CJK radicals to Yi, Hangul syllables, CJK
// compatibility, vertical and small forms, full-width forms, the supplementary ideographs.
constexpr Range kWide[] = {
    {0x1100, 0x115F}, {0x2E80, 0x303E}, {0x3041, 0x33FF}, {0x3400, 0x4DBF},
    {0x4E00, 0x9FFF}, {0xA000, 0xA4CF}, {0xAC00, 0xD7A3}, {0xF900, 0xFAFF},
    {0xFE10, 0xFE19}, {0xFE30, 0xFE6F}, {0xFF00, 0xFF60}, {0xFFE0, 0xFFE6},
    {0x1F300, 0x1F64F}, {0x1F900, 0x1F9FF}, {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD},
};

int CodePointWidth(char32_t c)
{
    if (c < 0x20 || (c >= 0x7F && c < 0xA0))
        return 0;
    const QChar::Category category = QChar::category(c);
    if (category == QChar::Mark_NonSpacing || category == QChar::Mark_Enclosing || category == QChar::Other_Format)
        return 0;
    for (const Range &range : kWide)
        if (c >= range.first && c <= range.last)
            return 2;
    return 1;
}

QString PadTo(const QString &text, int width)
{
    return text + QString(std::max(0, width - DisplayWidth(text)), QLatin1Char(' '));
}

QString ShownCell(const QString &text)
{
    return IsEmptyText(text) ? QString() : text;
}

}  // namespace

int DisplayWidth(const QString &text)
{
    int width = 0;
    for (char32_t c : text.toUcs4())
        width += CodePointWidth(c);
    return width;
}

QString AlignColumns(const QList<QStringList> &rows)
{
    QList<int> widths;
    for (const QStringList &row : rows)
        for (int c = 0; c < row.size(); ++c) {
            if (c == widths.size())
                widths.append(0);
            widths[c] = std::max(widths[c], DisplayWidth(row.at(c)));
        }
    QString out;
    for (const QStringList &row : rows) {
        QString line;
        for (int c = 0; c < row.size(); ++c) {
            if (c > 0)
                line += QStringLiteral("  ");
            line += PadTo(row.at(c), widths.at(c));
        }
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        out += line + QLatin1Char('\n');
    }
    return out;
}

QString FormatConfigTable(const TMainConfig &config, bool withAlarm)
{
    QList<QStringList> channels;
    for (int row = 0; row < TMainConfig::kRows; ++row) {
        QStringList cells;
        for (const QString &cell : config.Row(row))
            cells << ShownCell(cell);
        channels << cells;
    }
    QList<QStringList> settings;
    const int lastBox = withAlarm ? AlarmBox : AlarmBox - 1;
    for (int box = VoxLevelBox; box <= lastBox; ++box)
        settings << QStringList{SettingPlaceName(box), ShownCell(config.Setting(box))};
    return AlignColumns(channels) + QLatin1Char('\n') + AlignColumns(settings);
}
