#include "compare/FieldDiff.h"

#include "base/ShownText.h"
#include "base/TextConvert.h"
#include "mainconfig/ChannelLists.h"
#include "mainconfig/MainCodec.h"
#include "mainconfig/MainConfig.h"
#include "signalling/DtmfCodec.h"
#include "signalling/EditorTexts.h"
#include "signalling/FiveToneCodec.h"
#include "signalling/FskCodec.h"
#include "signalling/TwoToneCodec.h"

#include <QCoreApplication>
#include <functional>

namespace {

// list: the entries of the field, for the words of a yes/no column.
QString Shown(const QString &text, const QStringList &list)
{
    return text.trimmed().isEmpty() ? QCoreApplication::translate("Texts", "（空）") : ShownEntry(text, list);
}

QString Line(const QString &field, const QString &from, const QString &to, const QStringList &list = {})
{
    return QStringLiteral("%1: %2 → %3").arg(field, Shown(from, list), Shown(to, list));
}

QString CheckText(bool checked)
{
    return checked ? QStringLiteral("开") : QStringLiteral("关");
}

template <class Texts, class Codec>
std::unique_ptr<TEditorTexts> Decode(const std::vector<Block> &blocks, int firstBlock)
{
    auto texts = std::make_unique<Texts>();
    Codec codec(*texts);
    for (std::size_t i = 0; i < blocks.size(); ++i)
        codec.DecodeBlock(firstBlock + static_cast<int>(i), blocks[i]);
    return texts;
}

bool BothHold(const TRadioImage &a, const TRadioImage &b, int area, int block)
{
    return a.holds(area, block) && b.holds(area, block);
}

// The main fields of the channels compared (a set per channel 1..16) and, when settings is
// set, of the settings.
QStringList MainLines(const TMainConfig &from, const TMainConfig &to, const std::function<bool(int)> &channel,
                      bool settings, bool withAlarm)
{
    QStringList lines;
    for (int row = 1; row <= TMainConfig::kChannels; ++row) {
        if (!channel(row))
            continue;
        for (int c = 1; c < TMainConfig::kCols; ++c)
            if (!SameCellText(from.Cell(row, c), to.Cell(row, c)))
                lines << Line(ShownChannelPlace(row, c), from.Cell(row, c), to.Cell(row, c), ChannelColumns().at(c).items);
    }
    for (int box = VoxLevelBox; settings && box <= AlarmBox; ++box) {
        if (box == AlarmBox && !withAlarm)
            continue;
        if (!SameCellText(from.Setting(box), to.Setting(box)))
            lines << Line(ShownSettingPlace(box), from.Setting(box), to.Setting(box));
    }
    return lines;
}

}  // namespace

QStringList MainFieldDiff(const TMainConfig &from, const TMainConfig &to, bool withAlarm)
{
    return MainLines(from, to, [](int) { return true; }, true, withAlarm);
}

QStringList EditorFieldDiff(const TEditorTexts &from, const TEditorTexts &to)
{
    QStringList lines;
    for (const TControlSpec &spec : from.Controls().Specs()) {
        if (!spec.inArea)
            continue;
        if (spec.kind == TControlKind::CheckBox) {
            const bool a = from.Controls().Checked(spec.name);
            const bool b = to.Controls().Checked(spec.name);
            if (a != b)
                lines << Line(spec.caption.isEmpty() ? ShownPlace(spec.label) : ShownText(spec.caption), CheckText(a), CheckText(b));
            continue;
        }
        const QString a = from.Controls().Text(spec.name);
        const QString b = to.Controls().Text(spec.name);
        if (a != b)
            lines << Line(ShownPlace(spec.label), a, b);
    }
    for (const TGridTexts &grid : from.Grids()) {
        const TGridTexts &other = to.Grid(grid.Name());
        for (int row = 1; row < grid.RowCount(); ++row)
            for (int col = 1; col < grid.ColCount(); ++col)
                if (grid.Cell(col, row) != other.Cell(col, row))
                    lines << Line(grid.Place(col, row), grid.Cell(col, row), other.Cell(col, row));
    }
    return lines;
}

std::unique_ptr<TEditorTexts> DecodeAreaTexts(int area, const std::vector<Block> &blocks)
{
    const int first = AreaFacts(area).firstBlock;
    switch (area) {
    case frame::kDtmfArea: return Decode<TDtmfTexts, TDtmfCodec>(blocks, first);
    case frame::kFskArea: return Decode<TFskTexts, TFskCodec>(blocks, first);
    case frame::kTwoToneArea: return Decode<TTwoToneTexts, TTwoToneCodec>(blocks, first);
    case frame::kFiveToneArea: return Decode<TFiveToneTexts, TFiveToneCodec>(blocks, first);
    default: throw std::out_of_range("not a signalling area");
    }
}

std::vector<Block> AreaBlocks(const TRadioImage &image, int area)
{
    std::vector<Block> blocks;
    const TArea &facts = AreaFacts(area);
    for (int block = facts.firstBlock; block < facts.EndBlock(); ++block)
        blocks.push_back(image.block(area, block));
    return blocks;
}

void DecodeMainImage(TMainConfig &config, const TRadioImage &image)
{
    for (int n = 1; n <= TMainConfig::kChannels; ++n)
        DecodeMainBlock(config, frame::kMainArea, n, image.block(frame::kMainArea, n));
    DecodeMainBlock(config, frame::kSettingsArea, 0, image.block(frame::kSettingsArea, 0));
}

QStringList ImageFieldDiff(const TRadioImage &from, const TRadioImage &to, bool withAlarm)
{
    QStringList lines;
    TMainConfig a;
    TMainConfig b;
    DecodeMainImage(a, from);
    DecodeMainImage(b, to);
    lines << MainLines(a, b, [&](int n) { return BothHold(from, to, frame::kMainArea, n); },
                       BothHold(from, to, frame::kSettingsArea, 0), withAlarm);
    for (int area : kSignallingAreas) {
        if (!from.holdsAnyOf(area) || !to.holdsAnyOf(area))
            continue;
        lines << EditorFieldDiff(*DecodeAreaTexts(area, AreaBlocks(from, area)), *DecodeAreaTexts(area, AreaBlocks(to, area)));
    }
    return lines;
}
