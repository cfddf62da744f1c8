#include "support/core/AreaTexts.h"

#include "signalling/EditorTexts.h"
#include "signalling/SignallingArea.h"
#include "support/core/ConvertErrors.h"

#include <QtTest>

namespace {

struct TTarget {
    QString grid;  // empty for a control
    QString control;
    int col = 0;
    int row = 0;
};

TTarget ParseTarget(const QString &target)
{
    TTarget t;
    const int colon = static_cast<int>(target.indexOf(QLatin1Char(':')));
    if (colon < 0) {
        t.control = target;
        return t;
    }
    t.grid = target.left(colon);
    const QStringList place = target.mid(colon + 1).split(QLatin1Char(','));
    t.col = place[0].toInt();
    t.row = place[1].toInt();
    return t;
}

}  // namespace

Block BlockWith(int offset, const QByteArray &hex)
{
    Block data{};
    const QByteArray bytes = QByteArray::fromHex(hex);
    for (int i = 0; i < bytes.size(); ++i)
        data.at(static_cast<std::size_t>(offset + i)) = static_cast<std::uint8_t>(bytes[i]);
    return data;
}

QByteArray HexAt(const Block &data, int offset, int count)
{
    return bytesFromBlock(data).mid(offset, count).toHex().toUpper();
}

QByteArray HexOf(const Block &data)
{
    return bytesFromBlock(data).toHex(' ').toUpper();
}

QString TextOf(const TEditorTexts &texts, const QString &target)
{
    const TTarget t = ParseTarget(target);
    return t.grid.isEmpty() ? texts.Controls().Text(t.control) : texts.Grid(t.grid).Cell(t.col, t.row);
}

void Apply(TEditorTexts &texts, const QStringList &edits)
{
    for (const QString &edit : edits) {
        const int eq = static_cast<int>(edit.indexOf(QLatin1Char('=')));
        const TTarget t = ParseTarget(edit.left(eq));
        const QString text = edit.mid(eq + 1);
        if (t.grid.isEmpty())
            texts.Controls().SetText(t.control, text);
        else
            texts.SetEditText(t.grid, t.col, t.row, text);
    }
}

void Expect(const TEditorTexts &texts, const QStringList &expected)
{
    for (const QString &item : expected) {
        const int eq = static_cast<int>(item.indexOf(QLatin1Char('=')));
        QCOMPARE(TextOf(texts, item.left(eq)), item.mid(eq + 1));
    }
}

QStringList AllTexts(const TEditorTexts &texts)
{
    QStringList all;
    for (const TControlSpec &spec : texts.Controls().Specs())
        all << spec.name + "=" + texts.Controls().Text(spec.name);
    for (const TGridTexts &grid : texts.Grids()) {
        for (int row = 0; row < grid.RowCount(); ++row) {
            for (int col = 0; col < grid.ColCount(); ++col)
                all << QStringLiteral("%1:%2,%3=%4").arg(grid.Name()).arg(col).arg(row).arg(grid.Cell(col, row));
        }
    }
    return all;
}

QString EncodeError(const TSignallingArea &area)
{
    return ConvertErrorOf([&area] { area.EncodeBlocks(); });
}

void DecodeAll(TSignallingArea &area, const std::vector<Block> &blocks)
{
    for (std::size_t block = 0; block < blocks.size(); ++block)
        area.DecodeBlock(static_cast<int>(block), blocks[block]);
}
