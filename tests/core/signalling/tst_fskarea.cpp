#include "signalling/FskCodec.h"

#include "base/TextConvert.h"
#include "protocol/Areas.h"
#include "support/core/AreaTexts.h"

#include <QtTest>

using FskArea = TAreaRig<TFskTexts, TFskCodec>;

namespace {

// "q3" / "i3" are the queue / ID cells of entry 3, anything else a control.
void SetTarget(FskArea &area, const QString &target, const QString &text)
{
    if (target.startsWith(QLatin1Char('q')) || target.startsWith(QLatin1Char('i')))
        area.xg1().SetCell(target.startsWith(QLatin1Char('q')) ? 1 : 2, target.mid(1).toInt(), text);
    else
        area.Controls().SetText(target, text);
}

}  // namespace

class TestFskArea : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void shape();
    void controls_data();
    void controls();
    void grid();
    void initialBlocks();
    void fields_data();
    void fields();
    void sideTone();
    void entries_data();
    void entries();
    void decodeEveryBlock();
    void unknownBaudLeavesNoSelection();
    void blocksOutsideIgnored();
    void roundTrip_data();
    void roundTrip();
    void badInput_data();
    void badInput();
};

void TestFskArea::shape()
{
    FskArea area;
    QCOMPARE(area.codec.Area(), 2);
    QVERIFY(AreaFacts(area.codec.Area()).read == NextRead::CountReplies);
    QVERIFY(AreaFacts(area.codec.Area()).framing == WriteFraming::HeadThenData);
    QCOMPARE(area.codec.EncodeBlocks().size(), std::size_t(3));
}

void TestFskArea::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("initial");
    QTest::addRow("ed1") << "ed1" << "队列（自身）" << "100";
    QTest::addRow("ed2") << "ed2" << "ID（自身）" << "1000";
    QTest::addRow("cb1") << "cb1" << "队列同步波特率[bps]" << "2400";
    QTest::addRow("ed3") << "ed3" << "数据发射延迟时间[MS]" << "400";
    QTest::addRow("ed4") << "ed4" << "信息模式定时器[S]" << "10";
}

void TestFskArea::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, label);
    QFETCH(QString, initial);
    FskArea area;
    QCOMPARE(area.Controls().Spec(name).label, label);
    QCOMPARE(area.Controls().Text(name), initial);
}

void TestFskArea::grid()
{
    FskArea area;
    const TControlSpec &baud = area.Controls().Spec("cb1");
    QVERIFY(baud.kind == TControlKind::DropDownList);
    QCOMPARE(baud.items, (QStringList{"1200", "2400"}));
    QCOMPARE(area.Controls().Spec("CheckBox1").caption, QStringLiteral("PTT ID侧音"));
    QVERIFY(area.Controls().Checked("CheckBox1"));

    QCOMPARE((QStringList{area.xg1().Cell(0, 0), area.xg1().Cell(1, 0), area.xg1().Cell(2, 0)}),
             (QStringList{"编号", "队列", "ID"}));
    QCOMPARE(area.xg1().RowCount(), 17);
    for (int row = 1; row <= 16; ++row)
        QCOMPARE(area.xg1().Cell(0, row), QString::number(row));
    QCOMPARE(area.CellEditors().at(0).defaultText, QString());
}

void TestFskArea::initialBlocks()
{
    const std::vector<Block> blocks = FskArea().codec.EncodeBlocks();
    // queue 100, ID 1000, 2400 baud, 400 ms, 10 s, side tone on; empty table.
    QCOMPARE(HexOf(blocks[0]), HexOf(Hex("6400 E803 18 9001 0A FF")));
    QCOMPARE(HexOf(blocks[1]), HexOf(Block{}));
    QCOMPARE(HexOf(blocks[2]), HexOf(Block{}));
}

void TestFskArea::fields_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addRow("queue 0") << "ed1" << "0" << 0 << QByteArray("00 00");
    QTest::addRow("queue 65535") << "ed1" << "65535" << 0 << QByteArray("FF FF");
    QTest::addRow("own ID 1000") << "ed2" << "1000" << 2 << QByteArray("E8 03");
    QTest::addRow("baud 1200") << "cb1" << "1200" << 4 << QByteArray("0C");
    QTest::addRow("delay 258") << "ed3" << "258" << 5 << QByteArray("02 01");
    QTest::addRow("timer 255") << "ed4" << "255" << 7 << QByteArray("FF");
}

void TestFskArea::fields()
{
    QFETCH(QString, control);
    QFETCH(QString, text);
    QFETCH(int, offset);
    QFETCH(QByteArray, bytes);
    FskArea area;
    area.Controls().SetText(control, text);
    const Block block0 = area.codec.EncodeBlocks()[0];
    QCOMPARE(HexOf(block0).mid(3 * offset, bytes.size()), bytes);

    FskArea reader;
    reader.Controls().SetText(control, QStringLiteral("7"));
    reader.codec.DecodeBlock(0, block0);
    QCOMPARE(reader.Controls().Text(control), text);
}

void TestFskArea::sideTone()
{
    FskArea area;
    area.Controls().SetChecked("CheckBox1", false);
    QCOMPARE(int(area.codec.EncodeBlocks()[0][8]), 0);
    area.codec.DecodeBlock(0, Hex("0000000018000000FF"));
    QVERIFY(area.Controls().Checked("CheckBox1"));
    // Only 0xFF reads as ticked.
    area.codec.DecodeBlock(0, Hex("000000001800000001"));
    QVERIFY(!area.Controls().Checked("CheckBox1"));
}

void TestFskArea::entries_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("block");
    QTest::addColumn<int>("offset");
    QTest::addRow("entry 1 queue") << "q1" << 0 << 20;
    QTest::addRow("entry 1 ID") << "i1" << 0 << 22;
    QTest::addRow("entry 2 ID") << "i2" << 0 << 26;
    QTest::addRow("entry 3 queue") << "q3" << 1 << 0;
    QTest::addRow("entry 9 ID") << "i9" << 1 << 26;
    QTest::addRow("entry 10 queue") << "q10" << 2 << 0;
    QTest::addRow("entry 16 ID") << "i16" << 2 << 26;
}

void TestFskArea::entries()
{
    QFETCH(QString, target);
    QFETCH(int, block);
    QFETCH(int, offset);
    FskArea area;
    SetTarget(area, target, QStringLiteral("4660"));
    const std::vector<Block> blocks = area.codec.EncodeBlocks();
    std::vector<Block> expected = FskArea().codec.EncodeBlocks();
    expected[std::size_t(block)][std::size_t(offset)] = 0x34;
    expected[std::size_t(block)][std::size_t(offset + 1)] = 0x12;
    for (int b = 0; b < 3; ++b)
        QCOMPARE(HexOf(blocks[std::size_t(b)]), HexOf(expected[std::size_t(b)]));
}

void TestFskArea::decodeEveryBlock()
{
    FskArea area;
    for (int row = 1; row <= 16; ++row) {
        area.xg1().SetCell(1, row, QStringLiteral("old"));
        area.xg1().SetCell(2, row, QStringLiteral("old"));
    }
    area.codec.DecodeBlock(0, Hex("0000 0100 0C 0000 00 00 0000000000000000000000 0100 0200 0000 0400"));
    area.codec.DecodeBlock(1, Hex("05000600 07000800 09000A00 0B000C00 0D000E00 0F001000 11001200"));
    area.codec.DecodeBlock(2, Hex("13001400 15001600 17001800 19001A00 1B001C00 1D001E00 1F00FFFF"));
    const TControlTexts &c = area.Controls();
    QCOMPARE((QStringList{c.Text("ed1"), c.Text("ed2"), c.Text("cb1"), c.Text("ed3"), c.Text("ed4")}),
             (QStringList{"0", "1", "1200", "0", "0"}));
    QVERIFY(!c.Checked("CheckBox1"));
    // A stored 0 is an empty cell; entry 2's queue is 0.
    QCOMPARE(area.xg1().Cell(1, 2), QString());
    for (int entry = 1; entry <= 16; ++entry) {
        const int queue = 2 * entry - 1;
        if (entry != 2)
            QCOMPARE(area.xg1().Cell(1, entry), QString::number(queue));
        QCOMPARE(area.xg1().Cell(2, entry), entry == 16 ? QStringLiteral("65535") : QString::number(queue + 1));
    }
}

void TestFskArea::unknownBaudLeavesNoSelection()
{
    FskArea area;
    area.codec.DecodeBlock(0, Hex("0000000030"));
    QCOMPARE(area.Controls().Text("cb1"), QString());
    area.Controls().SetText("cb1", "4800");
    QCOMPARE(area.Controls().Text("cb1"), QString());
    QCOMPARE(EncodeError(area.codec), QStringLiteral("队列同步波特率[bps]: '' is not a valid integer value"));
}

void TestFskArea::blocksOutsideIgnored()
{
    FskArea area;
    const std::vector<Block> before = area.codec.EncodeBlocks();
    Block full;
    full.fill(0x11);
    for (const int block : {3, 4, 255, -1})
        area.codec.DecodeBlock(block, full);
    QVERIFY(area.codec.EncodeBlocks() == before);
}

void TestFskArea::roundTrip_data()
{
    QTest::addColumn<QStringList>("edits");  // target, text, target, text...
    QTest::addRow("initial texts") << QStringList();
    QTest::addRow("edited") << QStringList{"ed1", "65535", "ed2", "0", "cb1", "1200", "ed3", "12345", "ed4",
                                           "0", "q1", "1", "i2", "65535", "q3", "300", "i9", "9",
                                           "q10", "10", "i16", "4464"};
}

void TestFskArea::roundTrip()
{
    QFETCH(QStringList, edits);
    FskArea area;
    for (int i = 0; i + 1 < edits.size(); i += 2)
        SetTarget(area, edits[i], edits[i + 1]);
    const std::vector<Block> blocks = area.codec.EncodeBlocks();

    FskArea reader;
    DecodeAll(reader.codec, blocks);
    QVERIFY(reader.codec.EncodeBlocks() == blocks);
    for (int i = 0; i + 1 < edits.size(); i += 2) {
        const QString &t = edits[i];
        const bool cell = t.startsWith('q') || t.startsWith('i');
        const QString shown = cell ? reader.xg1().Cell(t.startsWith('q') ? 1 : 2, t.mid(1).toInt())
                                   : reader.Controls().Text(t);
        QCOMPARE(shown, edits[i + 1]);
    }
}

void TestFskArea::badInput_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::addRow("queue too high") << "ed1" << "65536" << "队列（自身）: '65536' is not in the range 0 to 65535";
    QTest::addRow("queue empty") << "ed1" << "" << "队列（自身）: '' is not a valid integer value";
    QTest::addRow("own ID negative") << "ed2" << "-1" << "ID（自身）: '-1' is not in the range 0 to 65535";
    QTest::addRow("delay too high") << "ed3" << "70000"
                                    << "数据发射延迟时间[MS]: '70000' is not in the range 0 to 65535";
    QTest::addRow("delay words") << "ed3" << "abc" << "数据发射延迟时间[MS]: 'abc' is not a valid integer value";
    QTest::addRow("timer too high") << "ed4" << "256" << "信息模式定时器[S]: '256' is not in the range 0 to 255";
    QTest::addRow("table queue too high") << "q3" << "70000" << "编号 3 队列: '70000' is not in the range 0 to 65535";
    QTest::addRow("table ID words") << "i16" << "x" << "编号 16 ID: 'x' is not a valid integer value";
}

void TestFskArea::badInput()
{
    QFETCH(QString, target);
    QFETCH(QString, text);
    QFETCH(QString, message);
    FskArea area;
    SetTarget(area, target, text);
    QCOMPARE(EncodeError(area.codec), message);
}

QTEST_GUILESS_MAIN(TestFskArea)
#include "tst_fskarea.moc"
