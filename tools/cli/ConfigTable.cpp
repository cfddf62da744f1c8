#include "cli/ConfigTable.h"

#include "base/TextConvert.h"
#include "mainconfig/ChannelLists.h"
#include "mainconfig/MainConfig.h"

#include <algorithm>
#include <iterator>

namespace {

QString PadTo(const QString &text, int width)
{
    return text + QString(std::max(0, width - DisplayWidth(text)), QLatin1Char(' '));
}

QString ShownCell(const QString &text)
{
    return IsEmptyText(text) ? QString() : text;
}

}  // namespace

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
