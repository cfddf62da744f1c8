#include "signalling/DtmfCodec.h"

#include "base/TextConvert.h"
#include "protocol/Areas.h"
#include "support/core/AreaTexts.h"

#include <QtTest>

using DtmfArea = TAreaRig<TDtmfTexts, TDtmfCodec>;

namespace {

// "m3" is autodial memory 3, anything else a control.
void SetTarget(DtmfArea &area, const QString &target, const QString &text)
{
    if (target.startsWith(QLatin1Char('m')))
        area.xg2().SetCell(TDtmfTexts::kMemoryColumn, target.mid(1).toInt(), text);
    else
        area.Controls().SetText(target, text);
}

QString TargetText(const DtmfArea &area, const QString &target)
{
    if (target.startsWith(QLatin1Char('m')))
        return area.xg2().Cell(TDtmfTexts::kMemoryColumn, target.mid(1).toInt());
    return area.Controls().Text(target);
}

}  // namespace

class TestDtmfArea : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void shape();
    void controls_data();
    void controls();
    void grid();
    void initialBlocks();
    void fields_data();
    void fields();
    void checkBoxes();
    void digitStrings_data();
    void digitStrings();
    void decodeSettings();
    void decodeMemories_data();
    void decodeMemories();
    void decodeIdCode_data();
    void decodeIdCode();
    void unknownChoiceEmptiesBox();
    void blocksOutsideIgnored();
    void roundTrip_data();
    void roundTrip();
    void readThenWriteKeepsImage();
    void badInput_data();
    void badInput();
    void entryRule_data();
    void entryRule();
};

void TestDtmfArea::shape()
{
    DtmfArea area;
    QCOMPARE(area.codec.Area(), 1);
    QVERIFY(AreaFacts(area.codec.Area()).read == NextRead::CountReplies);
    QVERIFY(AreaFacts(area.codec.Area()).framing == WriteFraming::WithCrc);
    QCOMPARE(area.codec.EncodeBlocks().size(), std::size_t(4));
}

void TestDtmfArea::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("initial");
    QTest::addRow("cb1") << "cb1" << "DTMF速率" << QStringList{"6", "8", "10", "15"} << "6";
    QTest::addRow("cb2") << "cb2" << "首位数码时间（毫秒）" << QStringList{"100", "500", "1000"} << "0";
    QTest::addRow("cb3") << "cb3" << "首位数码延迟（毫秒）"
                         << QStringList{"100", "150", "200", "250", "300", "350", "400", "450", "500", "550",
                                        "600", "650", "700", "750", "800", "850", "900", "950", "1000"}
                         << "100";
    QTest::addRow("cb4") << "cb4" << "*和#音时间（毫秒）" << QStringList{"0", "100", "500", "1000"} << "0";
    QTest::addRow("cb5") << "cb5" << "D键设定(毫秒)"
                         << QStringList{"D码", "1000", "2000", "3000", "4000", "5000", "6000", "7000", "8000",
                                        "9000", "10000"}
                         << "D码";
    QTest::addRow("Edit1") << "Edit1" << "ID码" << QStringList() << "12345678";
    QTest::addRow("cb6") << "cb6" << "组呼码" << QStringList{"关", "A", "B", "C", "D", "*", "#"} << "关";
    QTest::addRow("cb7") << "cb7" << "自动复位定时器（秒）"
                         << QStringList{"关", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13",
                                        "14", "15"}
                         << "10";
    QTest::addRow("cb8") << "cb8" << "呼叫告警" << QStringList{"常规", "连续", "关"} << "常规";
    QTest::addRow("cb9") << "cb9" << "自动应答" << QStringList{"关", "告警", "ID码"} << "关";
}

void TestDtmfArea::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, label);
    QFETCH(QStringList, items);
    QFETCH(QString, initial);
    DtmfArea area;
    const TControlSpec &spec = area.Controls().Spec(name);
    QCOMPARE(spec.label, label);
    QCOMPARE(spec.items, items);
    QCOMPARE(area.Controls().Text(name), initial);
    QCOMPARE(spec.kind == TControlKind::EditBox, name == "Edit1");
}

void TestDtmfArea::grid()
{
    DtmfArea area;
    QCOMPARE(area.Controls().Spec("CheckB1").caption, QStringLiteral("DTMF侧音"));
    QVERIFY(area.Controls().Checked("CheckB1"));
    QCOMPARE(area.Controls().Spec("CheckB2").label, QStringLiteral("清除自动应答"));
    QVERIFY(!area.Controls().Checked("CheckB2"));
    QCOMPARE(area.Controls().Spec("Edit1").maxLength, 8);

    QCOMPARE(area.xg2().Cell(0, 0), QStringLiteral("信息码"));
    QCOMPARE(area.xg2().Cell(1, 0), QStringLiteral("自动拨号存储器"));
    for (int row = 1; row <= 16; ++row) {
        QCOMPARE(area.xg2().Cell(0, row), QString::number(row));
        QCOMPARE(area.xg2().Cell(1, row), QString());
    }
    QCOMPARE(area.xg2().RowCount(), 17);
    QCOMPARE(area.CellEditors().at(0).defaultText, QStringLiteral("12345678"));
}

void TestDtmfArea::initialBlocks()
{
    const std::vector<Block> blocks = DtmfArea().codec.EncodeBlocks();
    // rate 6, times 0/10/0, D码, side tone on, ID 12345678 (8 digits), group call off,
    // auto reset 10 s, call alarm normal, auto answer off, no clear.
    QCOMPARE(HexOf(blocks[0]), HexOf(Hex("06000A0000FF00000000785634 12FF0A0100000800000000000000 00")));
    for (int b = 1; b < 4; ++b)
        QCOMPARE(HexOf(blocks[std::size_t(b)]), HexOf(Block{}));
}

void TestDtmfArea::fields_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("byte");
    QTest::addColumn<QString>("readBack");
    QTest::addRow("rate 15") << "cb1" << "15" << 0 << 15 << "15";
    QTest::addRow("rate 255") << "cb1" << "255" << 0 << 255 << "255";
    QTest::addRow("first time 1000") << "cb2" << "1000" << 1 << 100 << "1000";
    QTest::addRow("first time 2550") << "cb2" << "2550" << 1 << 255 << "2550";
    QTest::addRow("first delay 950") << "cb3" << "950" << 2 << 95 << "950";
    QTest::addRow("star hash 500") << "cb4" << "500" << 3 << 50 << "500";
    QTest::addRow("D key D码") << "cb5" << "D码" << 4 << 0 << "D码";
    QTest::addRow("D key 3000") << "cb5" << "3000" << 4 << 30 << "3000";
    QTest::addRow("D key 25500") << "cb5" << "25500" << 4 << 255 << "25500";
    QTest::addRow("D key 0 is D码") << "cb5" << "0" << 4 << 0 << "D码";
    QTest::addRow("group call 关") << "cb6" << "关" << 14 << 0xFF << "关";
    QTest::addRow("group call D") << "cb6" << "D" << 14 << 0 << "D";
    QTest::addRow("group call A") << "cb6" << "A" << 14 << 13 << "A";
    QTest::addRow("group call C") << "cb6" << "C" << 14 << 15 << "C";
    QTest::addRow("group call *") << "cb6" << "*" << 14 << 11 << "*";
    QTest::addRow("group call #") << "cb6" << "#" << 14 << 12 << "#";
    QTest::addRow("auto reset 关") << "cb7" << "关" << 15 << 0 << "关";
    QTest::addRow("auto reset 15") << "cb7" << "15" << 15 << 15 << "15";
    QTest::addRow("auto reset 255") << "cb7" << "255" << 15 << 255 << "255";
    QTest::addRow("call alarm 关") << "cb8" << "关" << 16 << 0 << "关";
    QTest::addRow("call alarm 连续") << "cb8" << "连续" << 16 << 2 << "连续";
    QTest::addRow("auto answer 告警") << "cb9" << "告警" << 17 << 1 << "告警";
    QTest::addRow("auto answer ID码") << "cb9" << "ID码" << 17 << 2 << "ID码";
}

void TestDtmfArea::fields()
{
    QFETCH(QString, control);
    QFETCH(QString, text);
    QFETCH(int, offset);
    QFETCH(int, byte);
    QFETCH(QString, readBack);
    DtmfArea area;
    area.Controls().SetText(control, text);
    const Block block0 = area.codec.EncodeBlocks()[0];
    QCOMPARE(int(block0[std::size_t(offset)]), byte);

    DtmfArea reader;
    reader.Controls().SetText(control, QStringLiteral("x"));
    reader.codec.DecodeBlock(0, block0);
    QCOMPARE(reader.Controls().Text(control), readBack);
}

void TestDtmfArea::checkBoxes()
{
    DtmfArea area;
    area.Controls().SetChecked("CheckB1", false);
    area.Controls().SetChecked("CheckB2", true);
    const Block block0 = area.codec.EncodeBlocks()[0];
    QCOMPARE(int(block0[5]), 0x00);
    QCOMPARE(int(block0[18]), 0xFF);

    // Any non-zero byte reads as ticked.
    area.codec.DecodeBlock(0, Hex("0000000000010000000000000000000000000000"));
    QVERIFY(area.Controls().Checked("CheckB1"));
    QVERIFY(!area.Controls().Checked("CheckB2"));
}

void TestDtmfArea::digitStrings_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("block");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<int>("countOffset");  // in block 0, -1 for none
    QTest::addRow("ID *0#") << "Edit1" << "*0#" << 0 << 10 << QByteArray("BC 0A 00 00") << 19;
    QTest::addRow("ID empty") << "Edit1" << "" << 0 << 10 << QByteArray("00 00 00 00") << 19;
    QTest::addRow("memory 1 *0#") << "m1" << "*0#" << 1 << 0 << QByteArray("AC 0B 00 00") << 20;
    QTest::addRow("memory 6 lower-case") << "m6" << "1abcd" << 1 << 20 << QByteArray("F0 DE 01 00") << 25;
    QTest::addRow("memory 7") << "m7" << "12345678" << 2 << 0 << QByteArray("78 56 34 12") << 26;
    QTest::addRow("memory 8 leading D") << "m8" << "D1" << 2 << 4 << QByteArray("01 00 00 00") << 27;
    QTest::addRow("memory 9 no count") << "m9" << "9" << 2 << 8 << QByteArray("09 00 00 00") << -1;
    QTest::addRow("memory 13") << "m13" << "#" << 3 << 0 << QByteArray("0C 00 00 00") << -1;
    QTest::addRow("memory 16") << "m16" << "0" << 3 << 12 << QByteArray("0A 00 00 00") << -1;
}

void TestDtmfArea::digitStrings()
{
    QFETCH(QString, target);
    QFETCH(QString, text);
    QFETCH(int, block);
    QFETCH(int, offset);
    QFETCH(QByteArray, code);
    QFETCH(int, countOffset);
    DtmfArea area;
    SetTarget(area, target, text);
    const std::vector<Block> blocks = area.codec.EncodeBlocks();
    QCOMPARE(bytesFromBlock(blocks[std::size_t(block)]).mid(offset, 4).toHex(' ').toUpper(), code);
    if (countOffset >= 0)
        QCOMPARE(int(blocks[0][std::size_t(countOffset)]), int(text.size()));
    // Slots 4-5 of block 3 and bytes 24-27 of the memory blocks stay 0.
    QCOMPARE(bytesFromBlock(blocks[3]).mid(16), QByteArray(12, '\0'));
    QCOMPARE(bytesFromBlock(blocks[1]).mid(24), QByteArray(4, '\0'));
}

void TestDtmfArea::decodeSettings()
{
    DtmfArea area;
    // rate 10, 500/250/100 ms, D key 7000, side tone off, ID "0*#" (ID table), group call B,
    // auto reset off, call alarm continuous, auto answer alarm, clear on, counts 3 then 1..8.
    area.codec.DecodeBlock(0, Hex("0A 32 19 0A 46 00 11223344 AC0B0000 0E 00 02 01 FF 03 0102030405060708"));
    const TControlTexts &c = area.Controls();
    const QStringList texts = {c.Text("cb1"), c.Text("cb2"), c.Text("cb3"), c.Text("cb4"), c.Text("cb5"),
                               c.Text("Edit1"), c.Text("cb6"), c.Text("cb7"), c.Text("cb8"), c.Text("cb9")};
    QCOMPARE(texts, (QStringList{"10", "500", "250", "100", "7000", "0*#", "B", "关", "连续", "告警"}));
    QVERIFY(!c.Checked("CheckB1"));
    QVERIFY(c.Checked("CheckB2"));
    const std::array<std::uint8_t, 9> counts = {3, 1, 2, 3, 4, 5, 6, 7, 8};
    QVERIFY(area.codec.DigitCounts() == counts);
}

void TestDtmfArea::decodeMemories_data()
{
    QTest::addColumn<int>("memory");
    QTest::addColumn<int>("count");  // stored count of memories 1-8
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QString>("text");
    QTest::addRow("count gives leading D") << 1 << 6 << QByteArray("34120000") << "DD1234";
    QTest::addRow("count shorter than code") << 2 << 2 << QByteArray("34120000") << "34";
    QTest::addRow("star zero hash") << 5 << 3 << QByteArray("AC0B0000") << "*0#";
    QTest::addRow("memory 8") << 8 << 8 << QByteArray("78563412") << "12345678";
    QTest::addRow("zero count shows digits") << 3 << 0 << QByteArray("AC0B0000") << "*0#";
    QTest::addRow("zero code clears") << 4 << 0 << QByteArray("00000000") << "";
    // D's code is 0: a count with a zero code is a memory of D's, which a write keeps.
    QTest::addRow("zero code with a count is D's") << 4 << 5 << QByteArray("00000000") << "DDDDD";
    // A count byte beyond eight digits is damage: the code holds no more.
    QTest::addRow("count beyond eight digits") << 1 << 30 << QByteArray("34120000") << "DDDD1234";
    QTest::addRow("D's beyond eight") << 2 << 255 << QByteArray("00000000") << "DDDDDDDD";
    QTest::addRow("memory 9 without count") << 9 << 0 << QByteArray("23010000") << "123";
    QTest::addRow("memory 12 trailing D") << 12 << 0 << QByteArray("F0DE0000") << "ABCD";
    QTest::addRow("memory 13 eight digits") << 13 << 0 << QByteArray("78563412") << "12345678";
    QTest::addRow("memory 16") << 16 << 0 << QByteArray("0C000000") << "#";
    QTest::addRow("memory 16 zero clears") << 16 << 0 << QByteArray("00000000") << "";
}

void TestDtmfArea::decodeMemories()
{
    QFETCH(int, memory);
    QFETCH(int, count);
    QFETCH(QByteArray, code);
    QFETCH(QString, text);
    DtmfArea area;
    Block settings{};
    if (memory <= 8)
        settings[std::size_t(19 + memory)] = std::uint8_t(count);
    area.codec.DecodeBlock(0, settings);
    for (int m = 1; m <= 16; ++m)
        area.xg2().SetCell(1, m, QStringLiteral("old"));

    const int block = (memory - 1) / 6 + 1;
    const int offset = 4 * ((memory - 1) % 6);
    Block data{};
    const QByteArray bytes = QByteArray::fromHex(code);
    for (int i = 0; i < 4; ++i)
        data[std::size_t(offset + i)] = std::uint8_t(bytes[i]);
    area.codec.DecodeBlock(block, data);
    QCOMPARE(area.xg2().Cell(1, memory), text);
    // Every other memory of the block was empty in the reply; the other blocks are untouched.
    for (int m = 1; m <= 16; ++m) {
        if (m != memory)
            QCOMPARE(area.xg2().Cell(1, m), (m - 1) / 6 + 1 == block ? QString() : QStringLiteral("old"));
    }
}

void TestDtmfArea::decodeIdCode_data()
{
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("text");
    QTest::addRow("star zero hash") << QByteArray("BC0A0000") << 3 << "*0#";
    QTest::addRow("leading D") << QByteArray("34120000") << 5 << "D1234";
    QTest::addRow("no count shows digits") << QByteArray("BC0A0000") << 0 << "*0#";
    QTest::addRow("D only") << QByteArray("00000000") << 3 << "DDD";
    QTest::addRow("empty") << QByteArray("00000000") << 0 << "";
    QTest::addRow("count beyond eight digits") << QByteArray("34120000") << 200 << "DDDD1234";
    QTest::addRow("D's beyond eight") << QByteArray("00000000") << 200 << "DDDDDDDD";
}

void TestDtmfArea::decodeIdCode()
{
    QFETCH(QByteArray, code);
    QFETCH(int, count);
    QFETCH(QString, text);
    Block data = Hex("0000000000000000000000000000000000000000");
    const QByteArray bytes = QByteArray::fromHex(code);
    for (int i = 0; i < 4; ++i)
        data[std::size_t(10 + i)] = std::uint8_t(bytes[i]);
    data[19] = std::uint8_t(count);
    DtmfArea area;
    area.codec.DecodeBlock(0, data);
    QCOMPARE(area.Controls().Text("Edit1"), text);
    // The code is written back unchanged, with the count of the text shown.
    const Block written = area.codec.EncodeBlocks()[0];
    QCOMPARE(HexOf(written).mid(30, 11), HexOf(data).mid(30, 11));
    QCOMPARE(int(written[19]), int(text.size()));
}

// Codes the lists lack empty their boxes, not keep the texts of the radio read before: a write
// then refuses them with the box's name instead of writing those texts over the codes.
void TestDtmfArea::unknownChoiceEmptiesBox()
{
    DtmfArea area;
    area.Controls().SetText("cb6", "B");
    area.Controls().SetText("cb8", "连续");
    area.Controls().SetText("cb9", "ID码");
    area.codec.DecodeBlock(0, Hex("0000000000000000000000000000 20 00 07 09"));
    QCOMPARE(area.Controls().Text("cb6"), QString());
    QCOMPARE(area.Controls().Text("cb8"), QString());
    QCOMPARE(area.Controls().Text("cb9"), QString());
    QCOMPARE(area.Controls().Text("cb7"), QStringLiteral("关"));
    try {
        area.codec.EncodeBlocks();
        QFAIL("written");
    } catch (const EConvertError &e) {
        QVERIFY2(e.message().contains(QStringLiteral("''")), qPrintable(e.message()));
    }
}

void TestDtmfArea::blocksOutsideIgnored()
{
    DtmfArea area;
    area.xg2().SetCell(1, 16, "5");
    const std::vector<Block> before = area.codec.EncodeBlocks();
    Block full;
    full.fill(0x11);
    for (const int block : {4, 5, 255, -1})
        area.codec.DecodeBlock(block, full);
    QVERIFY(area.codec.EncodeBlocks() == before);
    QVERIFY(area.codec.DigitCounts() == (std::array<std::uint8_t, 9>{}));
}

void TestDtmfArea::roundTrip_data()
{
    QTest::addColumn<QStringList>("edits");  // target, text, target, text...
    QTest::addRow("initial texts") << QStringList();
    QTest::addRow("edited") << QStringList{"cb1", "8", "cb2", "500", "cb3", "1000", "cb4", "1000", "cb5",
                                           "10000", "Edit1", "9*0#ABCD", "cb6", "#", "cb7", "关", "cb8", "关",
                                           "cb9", "ID码", "m1", "D1", "m2", "12345678", "m5", "*", "m8",
                                           "DDDD1", "m9", "90", "m12", "#*", "m16", "ABCD0123"};
}

void TestDtmfArea::roundTrip()
{
    QFETCH(QStringList, edits);
    DtmfArea area;
    for (int i = 0; i + 1 < edits.size(); i += 2)
        SetTarget(area, edits[i], edits[i + 1]);
    const std::vector<Block> blocks = area.codec.EncodeBlocks();

    DtmfArea reader;
    DecodeAll(reader.codec, blocks);
    QVERIFY(reader.codec.EncodeBlocks() == blocks);
    for (int i = 0; i + 1 < edits.size(); i += 2)
        QCOMPARE(TargetText(reader, edits[i]), edits[i + 1]);
}

void TestDtmfArea::readThenWriteKeepsImage()
{
    // An area as a radio may hold it, reserved bytes 0. Memory 7 is "DAD" (count 3); memory 10
    // may have been "D1" but, without a count, shows as "1", which writes the same bytes.
    const std::vector<Block> image = {
        Hex("0F 64 5F 0A 1E FF 00000000 78563412 0C 05 02 01 00 08 0406020204000304"),
        Hex("21430000 0B0D0000 9A000000 21000000 BCFA0000 00000000"),
        Hex("D0000000 56340000 43654387 01000000 00000000 0CBA0000"),
        Hex("01000000 00000000 FFEEDDCC 8A000000"),
    };
    DtmfArea area;
    for (int b = 0; b < 4; ++b)
        area.codec.DecodeBlock(b, image[std::size_t(b)]);
    QVERIFY(area.codec.EncodeBlocks() == image);
}

void TestDtmfArea::badInput_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    const QString dtmf = QStringLiteral("is not a DTMF code of up to 8 characters 0-9, A-D, *, #");
    QTest::addRow("rate too high") << "cb1" << "256" << "DTMF速率: '256' is not in the range 0 to 255";
    QTest::addRow("rate negative") << "cb1" << "-1" << "DTMF速率: '-1' is not in the range 0 to 255";
    QTest::addRow("rate not a number") << "cb1" << "6x" << "DTMF速率: '6x' is not a valid integer value";
    QTest::addRow("first time step") << "cb2" << "105"
                                     << "首位数码时间（毫秒）: '105' is not a multiple of 10 from 0 to 2550";
    QTest::addRow("first time too long") << "cb2" << "2560"
                                         << "首位数码时间（毫秒）: '2560' is not a multiple of 10 from 0 to 2550";
    QTest::addRow("first delay empty") << "cb3" << "" << "首位数码延迟（毫秒）: '' is not a valid integer value";
    QTest::addRow("star hash negative") << "cb4" << "-10"
                                        << "*和#音时间（毫秒）: '-10' is not a multiple of 10 from 0 to 2550";
    QTest::addRow("D key step") << "cb5" << "150"
                                << "D键设定(毫秒): '150' is not \"D码\" or a multiple of 100 from 0 to 25500";
    QTest::addRow("D key too long") << "cb5" << "25600"
                                    << "D键设定(毫秒): '25600' is not \"D码\" or a multiple of 100 from 0 to 25500";
    QTest::addRow("D key word") << "cb5" << "D" << "D键设定(毫秒): 'D' is not a valid integer value";
    QTest::addRow("auto reset too long") << "cb7" << "256"
                                         << "自动复位定时器（秒）: '256' is not \"关\" or a number from 0 to 255";
    QTest::addRow("auto reset word") << "cb7" << "开" << "自动复位定时器（秒）: '开' is not a valid integer value";
    QTest::addRow("group call E") << "cb6" << "E" << "组呼码: 'E' is not one of 关, A, B, C, D, *, #";
    QTest::addRow("call alarm") << "cb8" << "开" << "呼叫告警: '开' is not one of 关, 常规, 连续";
    QTest::addRow("auto answer") << "cb9" << "" << "自动应答: '' is not one of 关, 告警, ID码";
    QTest::addRow("ID foreign character") << "Edit1" << "12X4" << "ID码: '12X4' " + dtmf;
    QTest::addRow("ID too long") << "Edit1" << "123456789" << "ID码: '123456789' " + dtmf;
    QTest::addRow("memory 1 foreign") << "m1" << "12X4" << "DTMF编码 1 自动拨号存储器: '12X4' " + dtmf;
    QTest::addRow("memory 12 too long") << "m12" << "123456789" << "DTMF编码 12 自动拨号存储器: '123456789' " + dtmf;
    QTest::addRow("memory 16 lower-case e") << "m16" << "e" << "DTMF编码 16 自动拨号存储器: 'e' " + dtmf;
    // Without a count a leading D (code 0) would read back gone.
    const QString lost = QStringLiteral("begins with D, which is lost here: memories 9 to 16 keep no number of digits");
    QTest::addRow("memory 9 leading D") << "m9" << "D12" << "DTMF编码 9 自动拨号存储器: 'D12' " + lost;
    QTest::addRow("memory 16 only D's") << "m16" << "dd" << "DTMF编码 16 自动拨号存储器: 'dd' " + lost;
}

void TestDtmfArea::badInput()
{
    QFETCH(QString, target);
    QFETCH(QString, text);
    QFETCH(QString, message);
    DtmfArea area;
    SetTarget(area, target, text);
    QCOMPARE(EncodeError(area.codec), message);
}

void TestDtmfArea::entryRule_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::addRow("nine characters") << "123456789" << "12345678";
    QTest::addRow("eight characters") << "*0#ABCD1" << "*0#ABCD1";
    QTest::addRow("long text is cut, not checked") << "abcdefghij" << "abcdefgh";
    QTest::addRow("empty") << "" << "";
}

void TestDtmfArea::entryRule()
{
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    DtmfArea area;
    QCOMPARE(area.xg2SetEditText(1, 3, typed), kept);
    QCOMPARE(area.xg2().Cell(1, 3), kept);
    TEditorTexts &texts = area;
    texts.SetEditText("xg2", 1, 15, typed);
    QCOMPARE(area.xg2().Cell(1, 15), kept);
}

QTEST_GUILESS_MAIN(TestDtmfArea)
#include "tst_dtmfarea.moc"
