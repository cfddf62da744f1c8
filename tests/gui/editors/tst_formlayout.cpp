#include "editors/FormLayout.h"

#include "signalling/DtmfTexts.h"
#include "signalling/FiveToneTexts.h"
#include "signalling/FskTexts.h"
#include "signalling/TwoToneTexts.h"

#include <QtTest>
#include <functional>
#include <memory>

using MakeTexts = std::function<std::unique_ptr<TEditorTexts>()>;
Q_DECLARE_METATYPE(MakeTexts)
using LayoutOf = std::function<const TFormLayout &()>;
Q_DECLARE_METATYPE(LayoutOf)

// The static part of each editor window against the texts it binds.
class TestFormLayout : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void windows_data();
    void windows();
};

void TestFormLayout::windows_data()
{
    QTest::addColumn<LayoutOf>("layout");
    QTest::addColumn<MakeTexts>("make");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QStringList>("pages");
    QTest::addColumn<int>("initialPage");
    QTest::addColumn<QStringList>("readOnly");
    QTest::addColumn<QStringList>("pageOf");  // "name=page/group"

    QTest::addRow("DTMF") << LayoutOf(DtmfLayout) << MakeTexts([] { return std::make_unique<TDtmfTexts>(); })
                          << QSize(428, 485) << QStringList{"DTMF编码", "DTMF解码"} << 0 << QStringList()
                          << QStringList{"xg2=DTMF编码/DTMF编码", "CheckB1=DTMF编码/DTMF编码",
                                         "cb9=DTMF解码/DTMF解码", "CheckB2=DTMF解码/DTMF解码"};
    QTest::addRow("FSK") << LayoutOf(FskLayout) << MakeTexts([] { return std::make_unique<TFskTexts>(); })
                         << QSize(696, 480) << QStringList() << 0 << QStringList()
                         << QStringList{"ed1=/", "xg1=/"};
    QTest::addRow("two-tone") << LayoutOf(TwoToneLayout)
                              << MakeTexts([] { return std::make_unique<TTwoToneTexts>(); }) << QSize(685, 563)
                              << QStringList{"编码", "解码"} << 0 << QStringList{"ed1", "ed2", "ed3", "ed4"}
                              << QStringList{"xg1=编码/", "cb3=编码/", "xg2=解码/2TONE解码", "ed5=/两音频率"};
    QStringList frequencies;
    for (int digit = 1; digit <= 16; ++digit)
        frequencies << QStringLiteral("Edit%1").arg(digit);
    QTest::addRow("five-tone") << LayoutOf(FiveToneLayout)
                               << MakeTexts([] { return std::make_unique<TFiveToneTexts>(); }) << QSize(777, 529)
                               << QStringList{"标准", "编码", "解码"} << 2 << frequencies
                               << QStringList{"CCIR=标准/", "xg1=标准/", "cb4=编码/", "xg3=解码/", "ed1=解码/"};
}

void TestFormLayout::windows()
{
    QFETCH(LayoutOf, layout);
    QFETCH(MakeTexts, make);
    QFETCH(QSize, size);
    QFETCH(QStringList, pages);
    QFETCH(int, initialPage);
    QFETCH(QStringList, readOnly);
    QFETCH(QStringList, pageOf);
    const TFormLayout &form = layout();
    const std::unique_ptr<TEditorTexts> texts = make();

    QCOMPARE(QSize(form.width, form.height), size);
    QCOMPARE(form.caption, QStringLiteral("对讲机写频软件"));
    QCOMPARE(form.pages, pages);
    QCOMPARE(form.initialPage, initialPage);

    // Every control and grid of the texts has its place, and every place names one of them.
    int bound = static_cast<int>(texts->Grids().size());
    for (const TControlSpec &spec : texts->Controls().Specs()) {
        // The five-tone reset time and every other control are placed; none is left out.
        QVERIFY2(form.Placement(spec.name), qPrintable(spec.name));
        ++bound;
    }
    for (const TGridTexts &grid : texts->Grids())
        QVERIFY2(form.Placement(grid.Name()), qPrintable(grid.Name()));
    QCOMPARE(int(form.placements.size()), bound);

    for (const TPlacement &placement : form.placements)
        QCOMPARE(placement.readOnly, readOnly.contains(placement.name));
    for (const QString &entry : pageOf) {
        const QString name = entry.section(QLatin1Char('='), 0, 0);
        const QString where = entry.section(QLatin1Char('='), 1);
        const TPlacement *placement = form.Placement(name);
        QVERIFY2(placement, qPrintable(name));
        QCOMPARE(placement->page + QLatin1Char('/') + placement->group, where);
    }
}

QTEST_MAIN(TestFormLayout)
#include "tst_formlayout.moc"
