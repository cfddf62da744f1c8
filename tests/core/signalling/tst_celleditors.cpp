#include "signalling/DtmfTexts.h"
#include "signalling/FiveToneTexts.h"
#include "signalling/FskTexts.h"
#include "signalling/TwoToneTexts.h"

#include <QtTest>
#include <functional>
#include <memory>

using MakeTexts = std::function<std::unique_ptr<TEditorTexts>()>;
Q_DECLARE_METATYPE(MakeTexts)

// Every editor's grids against the cell editors it describes.
class TestCellEditors : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyColumnEditorExists_data();
    void everyColumnEditorExists();
};

void TestCellEditors::everyColumnEditorExists_data()
{
    QTest::addColumn<MakeTexts>("make");
    QTest::addColumn<int>("editors");  // how many the window creates
    QTest::addRow("DTMF") << MakeTexts([] { return std::make_unique<TDtmfTexts>(); }) << 1;
    QTest::addRow("FSK") << MakeTexts([] { return std::make_unique<TFskTexts>(); }) << 1;
    QTest::addRow("two-tone") << MakeTexts([] { return std::make_unique<TTwoToneTexts>(); }) << 4;
    QTest::addRow("five-tone") << MakeTexts([] { return std::make_unique<TFiveToneTexts>(); }) << 7;
}

void TestCellEditors::everyColumnEditorExists()
{
    QFETCH(MakeTexts, make);
    QFETCH(int, editors);
    const std::unique_ptr<TEditorTexts> texts = make();
    QCOMPARE(int(texts->CellEditors().size()), editors);
    QStringList names;
    for (const TCellEditorSpec &spec : texts->CellEditors())
        names << spec.name;
    for (const TGridTexts &grid : texts->Grids()) {
        for (const TColumnSpec &column : grid.Spec().columns) {
            if (!column.editor.isEmpty())
                QVERIFY2(names.contains(column.editor), qPrintable(grid.Name() + ": " + column.editor));
        }
    }
    // Only the fixed column of each grid has no editor.
    for (const TGridTexts &grid : texts->Grids()) {
        for (int col = 0; col < grid.ColCount(); ++col)
            QCOMPARE(grid.Spec().columns[std::size_t(col)].editor.isEmpty(), col == 0);
    }
}

QTEST_GUILESS_MAIN(TestCellEditors)
#include "tst_celleditors.moc"
