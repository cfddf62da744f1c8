#include "signalling/FiveToneCodec.h"

#include "base/TextConvert.h"
#include "protocol/Areas.h"
#include "support/core/AreaTexts.h"

#include <QtTest>

using FiveToneArea = TAreaRig<TFiveToneTexts, TFiveToneCodec>;

namespace {

// Every table cell holds something, so a decode that leaves a cell as it was shows.
void FillEverything(FiveToneArea &area)
{
    for (int row = 1; row <= TFiveToneTexts::kEntries; ++row) {
        Apply(area, {QStringLiteral("xg2:1,%1=FFFFF").arg(row), QStringLiteral("xg2:5,%1=EIA").arg(row),
                     QStringLiteral("xg3:1,%1=ZVEI2").arg(row), QStringLiteral("xg3:3,%1=遥晕").arg(row)});
    }
    for (int row = 1; row <= TFiveToneTexts::kStandards; ++row)
        Apply(area, {QStringLiteral("xg1:1,%1=7").arg(row), QStringLiteral("xg1:2,%1=7").arg(row)});
    Apply(area, {"cb1=10", "cb2=20", "cb3=30", "cb4=40"});
}

const QStringList kEdited{
    "xg1:1,1=255", "xg1:2,1=0", "xg1:3,1=F", "xg1:1,4=0", "xg1:3,5=9", "cb1=0", "cb2=2550", "cb3=1000",
    "cb4=70", "xg2:1,1=00123", "xg2:1,2=ABCDE", "xg2:3,2=00000", "xg2:5,2=ZVEI2", "xg2:1,9=FFFFF",
    "xg2:5,9=EEA", "xg2:1,16=10000", "xg2:4,16=0000F", "xg3:1,1=EEA", "xg3:3,1=监听", "xg3:5,1=报警",
    "xg3:7,1=唤醒", "xg3:1,8=ZVEI1", "xg3:2,8=00001", "xg3:8,8=FEDCB", "xg3:1,16=CCIR", "xg3:7,16=遥毙"};

}  // namespace

class TestFiveToneArea : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void shape();
    void initialTexts();
    void encodeFields_data();
    void encodeFields();
    void decodeFields_data();
    void decodeFields();
    void writtenBack_data();
    void writtenBack();
    void badInput_data();
    void badInput();
    void entryRules_data();
    void entryRules();
    void standardFrequencies_data();
    void standardFrequencies();
    void unknownStandardKeepsFrequencies();
    void resetTimeNotInArea();
    void roundTrip_data();
    void roundTrip();
    void blocksOutsideIgnored();
};

void TestFiveToneArea::shape()
{
    FiveToneArea area;
    QCOMPARE(area.codec.Area(), 4);
    QCOMPARE(AreaFacts(area.codec.Area()).read, NextRead::FollowReply);
    QCOMPARE(AreaFacts(area.codec.Area()).framing, WriteFraming::WithCrc);
    QCOMPARE(area.codec.EncodeBlocks().size(), std::size_t(17));
    QCOMPARE(area.Grid("xg1").ColCount(), 4);
    QCOMPARE(area.Grid("xg1").RowCount(), 6);
    QCOMPARE(area.Grid("xg2").ColCount(), 6);
    QCOMPARE(area.Grid("xg2").RowCount(), 17);
    QCOMPARE(area.Grid("xg3").ColCount(), 9);
    QCOMPARE(area.Grid("xg3").RowCount(), 17);
    QCOMPARE(TFiveToneTexts::StandardItems(), QStringList({"CCIR", "EIA", "EEA", "ZVEI1", "ZVEI2"}));
    QCOMPARE(TFiveToneTexts::FunctionItems(),
             QStringList({"通话", "主叫", "被叫", "监听", "巡查", "报警", "遥毙", "遥晕", "唤醒"}));
    QCOMPARE(TFiveToneTexts::DigitItems().join(QString()), QStringLiteral("0123456789ABCDEF"));
    QCOMPARE(TFiveToneTexts::DelayItems().size(), 20);
    QCOMPARE(TFiveToneTexts::DelayItems().first(), QStringLiteral("50"));
    QCOMPARE(TFiveToneTexts::DelayItems().last(), QStringLiteral("1000"));
}

void TestFiveToneArea::initialTexts()
{
    const FiveToneArea area;
    Expect(area, {"CCIR=CCIR", "Edit1=1981.0", "Edit16=1055.0", "cb1=500", "cb4=500", "ed1=6000",
                  "xg1:0,0=5 TONE 标准", "xg1:0,1=CCIR", "xg1:0,5=ZVEI2", "xg1:1,1=100", "xg1:2,3=A",
                  "xg1:3,5=E", "xg2:0,0=信息码", "xg2:5,0=使用标准", "xg2:0,16=16", "xg2:1,1=",
                  "xg2:5,16=", "xg3:3,0=功   能", "xg3:8,0=回复码", "xg3:0,1=1", "xg3:1,1=", "xg3:8,16="});
}

void TestFiveToneArea::encodeFields_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<int>("block");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("bytes");

    QTest::addRow("initial block 0, reserved bytes 0")
        << QStringList() << 0 << 0 << QByteArray("640A0E640A0E640A0E640A0E640A0E00000000003232323200000000");
    QTest::addRow("duration 255") << QStringList{"xg1:1,2=255"} << 0 << 3 << QByteArray("FF0A0E");
    QTest::addRow("digits, lower case too") << QStringList{"xg1:2,5=b", "xg1:3,5=0"} << 0 << 12
                                            << QByteArray("640B00");
    QTest::addRow("delays") << QStringList{"cb1=1000", "cb2=0", "cb3=2550", "cb4=50"} << 0 << 20
                            << QByteArray("6400FF05");
    QTest::addRow("code 123 with the defaults")
        << QStringList{"xg2:1,1=123"} << 1 << 0 << QByteArray("2301004523017856" "04DEBC0A0100");
    QTest::addRow("encode entry 2 at offset 14, lower-case code")
        << QStringList{"xg2:1,2=abcde", "xg2:5,2=ZVEI2", "xg2:4,2=0"} << 1 << 14
        << QByteArray("DEBC0A452301785604000000" "0500");
    QTest::addRow("encode entry 16") << QStringList{"xg2:1,16=F", "xg2:5,16=EEA"} << 8 << 14
                                     << QByteArray("0F0000452301785604DEBC0A0300");
    QTest::addRow("empty encode table") << QStringList() << 1 << 0 << QByteArray(56, '0');
    QTest::addRow("encode entry without first code is zero, whatever its other cells")
        << QStringList{"xg2:1,3=123", "xg2:1,3="} << 2 << 0 << QByteArray(28, '0');
    QTest::addRow("decode EEA, monitor, alarm, wake-up")
        << QStringList{"xg3:1,1=EEA", "xg3:3,1=监听", "xg3:5,1=报警", "xg3:7,1=唤醒"} << 9 << 0
        << QByteArray("3345230178560485DEBC0A896705");
    QTest::addRow("decode entry 2 with the defaults") << QStringList{"xg3:1,2=ZVEI2"} << 9 << 14
                                                      << QByteArray("0545230178560421DEBC0A896705");
    QTest::addRow("decode entry 16") << QStringList{"xg3:1,16=CCIR", "xg3:2,16=1", "xg3:8,16=fffff"} << 16 << 14
                                     << QByteArray("01010000785604" "21DEBC0AFFFF0F");
    QTest::addRow("decode entry whose standard is emptied is zero")
        << QStringList{"xg3:1,4=EIA", "xg3:1,4="} << 10 << 14 << QByteArray(28, '0');
    QTest::addRow("decode entry of empty cells is zero")
        << QStringList{"xg3:1,4=EIA", "xg3:1,4=", "xg3:2,4=", "xg3:3,4=", "xg3:4,4=", "xg3:5,4=", "xg3:6,4=",
                       "xg3:7,4=", "xg3:8,4="}
        << 10 << 14 << QByteArray(28, '0');
    QTest::addRow("empty decode table") << QStringList() << 16 << 0 << QByteArray(56, '0');
}

void TestFiveToneArea::encodeFields()
{
    CheckEncodedField<FiveToneArea>();
}

void TestFiveToneArea::decodeFields_data()
{
    QTest::addColumn<int>("block");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("texts");

    QTest::addRow("duration and digits") << 0 << 0 << QByteArray("2C0B0F")
                                         << QStringList{"xg1:1,1=44", "xg1:2,1=B", "xg1:3,1=F"};
    QTest::addRow("digits show their low four bits") << 0 << 12 << QByteArray("FF1A2E")
                                                     << QStringList{"xg1:1,5=255", "xg1:2,5=A", "xg1:3,5=E"};
    QTest::addRow("delays") << 0 << 20 << QByteArray("6400FF05")
                            << QStringList{"cb1=1000", "cb2=0", "cb3=2550", "cb4=50"};
    QTest::addRow("code 23 01 00 reads 00123")
        << 1 << 0 << QByteArray("230100452301785604DEBC0A0100")
        << QStringList{"xg2:1,1=00123", "xg2:2,1=12345", "xg2:3,1=45678", "xg2:4,1=ABCDE", "xg2:5,1=CCIR"};
    QTest::addRow("digits above the fifth are not shown") << 1 << 0 << QByteArray("5634120000000000000000000200")
        << QStringList{"xg2:1,1=23456", "xg2:2,1=00000", "xg2:5,1=EIA"};
    QTest::addRow("standard outside 1..5 shows empty") << 1 << 14 << QByteArray("010000000000000000000000" "0600")
        << QStringList{"xg2:1,2=00001", "xg2:5,2="};
    QTest::addRow("zero encode entry shows an empty row") << 8 << 0 << QByteArray()
        << QStringList{"xg2:1,15=", "xg2:2,15=", "xg2:3,15=", "xg2:4,15=", "xg2:5,15=", "xg2:1,16="};
    QTest::addRow("decode EEA, monitor, alarm, wake-up") << 9 << 0 << QByteArray("3345230178560485DEBC0A896705")
        << QStringList{"xg3:1,1=EEA", "xg3:2,1=12345", "xg3:3,1=监听", "xg3:4,1=45678", "xg3:5,1=报警",
                       "xg3:6,1=ABCDE", "xg3:7,1=唤醒", "xg3:8,1=56789"};
    QTest::addRow("function 0 and 9..15 read talk") << 16 << 14 << QByteArray("91000000000000" "F0")
        << QStringList{"xg3:1,16=CCIR", "xg3:3,16=通话", "xg3:5,16=通话", "xg3:7,16=通话", "xg3:2,16=00000"};
    QTest::addRow("functions 1, 2 and 8") << 12 << 0 << QByteArray("12000000000000" "82")
        << QStringList{"xg3:1,7=EIA", "xg3:3,7=主叫", "xg3:5,7=被叫", "xg3:7,7=唤醒"};
    QTest::addRow("decode standard outside 1..5 shows empty") << 9 << 14 << QByteArray("07")
        << QStringList{"xg3:1,2=", "xg3:3,2=通话"};
    QTest::addRow("zero decode entry shows an empty row") << 10 << 14 << QByteArray()
        << QStringList{"xg3:1,4=", "xg3:2,4=", "xg3:3,4=", "xg3:7,4=", "xg3:8,4=", "xg3:1,3="};
}

void TestFiveToneArea::decodeFields()
{
    FiveToneArea area;
    FillEverything(area);  // a text the block does not set would show as left over
    CheckDecodedField(area);
}

void TestFiveToneArea::writtenBack_data()
{
    QTest::addColumn<int>("block");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("back");

    QTest::addRow("standards and delays") << 0 << 0 << QByteArray("2C0B0F0A0102FF0A0B00000064000F00000000006400FF05")
                                          << QByteArray("2C0B0F0A0102FF0A0B00000064000F00000000006400FF05");
    QTest::addRow("encode entry") << 1 << 14 << QByteArray("230100452301785604DEBC0A0100")
                                  << QByteArray("230100452301785604DEBC0A0100");
    QTest::addRow("digits above the fifth") << 1 << 0 << QByteArray("5634120000000000000000000200")
                                            << QByteArray("5634020000000000000000000200");
    QTest::addRow("decode entry") << 9 << 0 << QByteArray("3345230178560485DEBC0A896705")
                                  << QByteArray("3345230178560485DEBC0A896705");
    // The radio's standard outside 1..5 cannot be shown; the codes and functions still go back.
    QTest::addRow("decode standard 0") << 12 << 14 << QByteArray("3045230100000085000000110000")
                                       << QByteArray("3045230100000085000000110000");
    QTest::addRow("decode standard 7") << 16 << 0 << QByteArray("1745230100000085000000110000")
                                       << QByteArray("1045230100000085000000110000");
    QTest::addRow("zero decode entry") << 10 << 14 << QByteArray() << QByteArray(28, '0');
}

void TestFiveToneArea::writtenBack()
{
    CheckWrittenBack<FiveToneArea>();
}

void TestFiveToneArea::badInput_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QString>("message");

    const QString notCode = QStringLiteral("is not a code of one to five hexadecimal digits");
    QTest::addRow("duration above 255") << QStringList{"xg1:1,1=300"}
                                        << "标准 CCIR 发射时长（MS）: '300' is not in the range 0 to 255";
    QTest::addRow("duration empty") << QStringList{"xg1:1,2="} << "标准 EIA 发射时长（MS）: '' is not a valid integer value";
    QTest::addRow("group-call digit of two digits") << QStringList{"xg1:2,3=10"}
                                                    << "标准 EEA 群呼码: '10' is not one hexadecimal digit";
    QTest::addRow("repeat digit not hexadecimal") << QStringList{"xg1:3,5=G"}
                                                  << "标准 ZVEI2 重复码: 'G' is not one hexadecimal digit";
    QTest::addRow("repeat digit empty") << QStringList{"xg1:3,4="} << "标准 ZVEI1 重复码: '' is not one hexadecimal digit";
    QTest::addRow("delay not a multiple of 10") << QStringList{"cb1=55"}
        << "发送第一帧编码的延迟时间（MS）: '55' is not a multiple of 10 from 0 to 2550";
    QTest::addRow("delay above 2550") << QStringList{"cb4=2560"}
        << "各组码第一个音的扩展时长: '2560' is not a multiple of 10 from 0 to 2550";
    QTest::addRow("delay below 0") << QStringList{"cb2=-10"}
        << "发送第二帧编码的延迟时间（MS）: '-10' is not a multiple of 10 from 0 to 2550";
    QTest::addRow("delay not a number") << QStringList{"cb3=abc"}
        << "发送第三帧编码的延迟时间（MS）: 'abc' is not a valid integer value";
    QTest::addRow("code of six digits") << QStringList{"xg2:1,1=123456"} << "编码 1 第一帧编码: '123456' " + notCode;
    QTest::addRow("code not hexadecimal") << QStringList{"xg2:1,2=1", "xg2:2,2=12G45"}
                                          << "编码 2 第二帧编码: '12G45' " + notCode;
    QTest::addRow("acknowledge code empty") << QStringList{"xg2:1,3=1", "xg2:4,3="} << "编码 3 确认码: '' " + notCode;
    QTest::addRow("encode standard not in the list") << QStringList{"xg2:1,16=1", "xg2:5,16=ccir"}
        << "编码 16 使用标准: 'ccir' is not one of CCIR, EIA, EEA, ZVEI1, ZVEI2";
    QTest::addRow("decode standard not in the list") << QStringList{"xg3:1,2=ZVEI3"}
        << "解码 2 使用标准: 'ZVEI3' is not one of CCIR, EIA, EEA, ZVEI1, ZVEI2";
    QTest::addRow("function not in the list") << QStringList{"xg3:1,2=CCIR", "xg3:5,2=巡逻"}
        << "解码 2 第二帧功能: '巡逻' is not one of 通话, 主叫, 被叫, 监听, 巡查, 报警, 遥毙, 遥晕, 唤醒";
    QTest::addRow("function empty") << QStringList{"xg3:1,9=CCIR", "xg3:7,9="}
        << "解码 9 第三帧功能: '' is not one of 通话, 主叫, 被叫, 监听, 巡查, 报警, 遥毙, 遥晕, 唤醒";
    QTest::addRow("reply code too long") << QStringList{"xg3:1,16=EIA", "xg3:8,16=1234567"}
                                         << "解码 16 回复码: '1234567' " + notCode;
    QTest::addRow("decode code with a sign") << QStringList{"xg3:1,5=EIA", "xg3:4,5=-1"}
                                             << "解码 5 第二帧解码: '-1' " + notCode;
}

void TestFiveToneArea::badInput()
{
    QFETCH(QStringList, edits);
    QFETCH(QString, message);
    FiveToneArea area;
    Apply(area, edits);
    QCOMPARE(EncodeError(area.codec), message);
}

void TestFiveToneArea::entryRules_data()
{
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QStringList>("row");  // columns 1.. of row 4 afterwards
    QTest::addColumn<QByteArray>("radio");  // decode entry 4 as a read brought it first, hex

    QTest::addRow("first frame code fills the entry") << "xg2" << QStringList{"xg2:1,4=99999"}
        << QStringList{"99999", "12345", "45678", "ABCDE", "CCIR"} << QByteArray();
    QTest::addRow("first frame code again replaces earlier edits")
        << "xg2" << QStringList{"xg2:1,4=1", "xg2:5,4=EIA", "xg2:2,4=0", "xg2:1,4=2"}
        << QStringList{"2", "12345", "45678", "ABCDE", "CCIR"} << QByteArray();
    QTest::addRow("encode edits kept") << "xg2" << QStringList{"xg2:1,4=1", "xg2:5,4=EIA", "xg2:2,4=0"}
        << QStringList{"1", "0", "45678", "ABCDE", "EIA"} << QByteArray();
    QTest::addRow("first frame code committed unchanged keeps the edits")
        << "xg2" << QStringList{"xg2:1,4=1", "xg2:5,4=EIA", "xg2:2,4=0", "xg2:1,4=1"}
        << QStringList{"1", "0", "45678", "ABCDE", "EIA"} << QByteArray();
    QTest::addRow("emptying the first frame code empties the entry") << "xg2"
        << QStringList{"xg2:1,4=1", "xg2:2,4=0", "xg2:1,4="} << QStringList(5, QString()) << QByteArray();
    QTest::addRow("encode cell of an unused entry stays empty") << "xg2"
        << QStringList{"xg2:3,4=777", "xg2:5,4=EIA"} << QStringList(5, QString()) << QByteArray();
    QTest::addRow("standard fills the decode entry") << "xg3" << QStringList{"xg3:1,4=ZVEI1"}
        << QStringList{"ZVEI1", "12345", "通话", "45678", "主叫", "ABCDE", "被叫", "56789"} << QByteArray();
    QTest::addRow("standard again replaces earlier edits")
        << "xg3" << QStringList{"xg3:1,4=ZVEI1", "xg3:5,4=遥毙", "xg3:8,4=1", "xg3:1,4=EIA"}
        << QStringList{"EIA", "12345", "通话", "45678", "主叫", "ABCDE", "被叫", "56789"} << QByteArray();
    QTest::addRow("decode edits kept") << "xg3" << QStringList{"xg3:1,4=ZVEI1", "xg3:5,4=遥毙", "xg3:8,4=1"}
        << QStringList{"ZVEI1", "12345", "通话", "45678", "遥毙", "ABCDE", "被叫", "1"} << QByteArray();
    QTest::addRow("standard committed unchanged keeps the edits")
        << "xg3" << QStringList{"xg3:1,4=ZVEI1", "xg3:5,4=遥毙", "xg3:8,4=1", "xg3:1,4=ZVEI1"}
        << QStringList{"ZVEI1", "12345", "通话", "45678", "遥毙", "ABCDE", "被叫", "1"} << QByteArray();
    // A read shows an entry whose standard the radio holds outside 1..5 as codes beside an
    // empty standard.
    const QByteArray unknownStandard("00111101785604" "21DEBC0A896705");
    const QStringList unknownStandardRow{"", "11111", "通话", "45678", "主叫", "ABCDE", "被叫", "56789"};
    QTest::addRow("codes beside an empty standard stay editable") << "xg3" << QStringList{"xg3:8,4=22222"}
        << QStringList{"", "11111", "通话", "45678", "主叫", "ABCDE", "被叫", "22222"} << unknownStandard;
    QTest::addRow("an empty standard committed again keeps the radio's entry") << "xg3" << QStringList{"xg3:1,4="}
        << unknownStandardRow << unknownStandard;
    QTest::addRow("emptying the standard takes the entry out of use") << "xg3"
        << QStringList{"xg3:1,4=ZVEI1", "xg3:5,4=遥毙", "xg3:1,4="} << QStringList(8, QString()) << QByteArray();
    QTest::addRow("decode cell of an unused entry stays empty") << "xg3"
        << QStringList{"xg3:3,4=报警", "xg3:2,4=12345"} << QStringList(8, QString()) << QByteArray();
    QTest::addRow("other rows untouched") << "xg3" << QStringList{"xg3:1,3=EIA", "xg3:1,5=EIA"}
        << QStringList(8, QString()) << QByteArray();
    QTest::addRow("standards grid has no rules") << "xg1" << QStringList{"xg1:1,4=200", "xg1:3,4=7"}
        << QStringList{"200", "A", "7"} << QByteArray();
}

void TestFiveToneArea::entryRules()
{
    QFETCH(QString, grid);
    QFETCH(QStringList, edits);
    QFETCH(QStringList, row);
    QFETCH(QByteArray, radio);
    FiveToneArea area;
    if (!radio.isEmpty())
        area.codec.DecodeBlock(10, BlockWith(14, radio));
    Apply(area, edits);
    QStringList actual;
    for (int col = 1; col < area.Grid(grid).ColCount(); ++col)
        actual << area.Grid(grid).Cell(col, 4);
    QCOMPARE(actual, row);
}

void TestFiveToneArea::standardFrequencies_data()
{
    QTest::addColumn<QString>("standard");
    QTest::addColumn<QStringList>("frequencies");  // digits 0..F

    QTest::addRow("CCIR") << "CCIR" << QStringList{"1981.0", "1124.0", "1197.0", "1275.0", "1358.0", "1446.0",
        "1540.0", "1640.0", "1747.0", "1860.0", "2400.0", "930.0", "2247.0", "991.0", "2110.0", "1055.0"};
    QTest::addRow("EIA") << "EIA" << QStringList{"600.0", "741.0", "882.0", "1023.0", "1164.0", "1305.0",
        "1446.0", "1587.0", "1728.0", "1869.0", "2151.0", "2433.0", "2010.0", "2292.0", "459.0", "1091.0"};
    QTest::addRow("EEA") << "EEA" << QStringList{"1981.0", "1124.0", "1197.0", "1275.0", "1358.0", "1446.0",
        "1540.0", "1640.0", "1747.0", "1860.0", "1055.0", "930.0", "2400.0", "991.0", "2110.0", "2247.0"};
    QTest::addRow("ZVEI1") << "ZVEI1" << QStringList{"2400.0", "1060.0", "1160.0", "1270.0", "1400.0", "1530.0",
        "1670.0", "1830.0", "2000.0", "2200.0", "2800.0", "810.0", "970.0", "885.0", "2600.0", "680.0"};
    QTest::addRow("ZVEI2") << "ZVEI2" << QStringList{"2400.0", "1060.0", "1160.0", "1270.0", "1400.0", "1530.0",
        "1670.0", "1830.0", "2000.0", "2200.0", "885.0", "810.0", "740.0", "680.0", "970.0", "2600.0"};
}

void TestFiveToneArea::standardFrequencies()
{
    QFETCH(QString, standard);
    QFETCH(QStringList, frequencies);
    FiveToneArea area;
    // Start from another standard, so that every box has to change.
    area.Controls().SetText("CCIR", standard == "EIA" ? "ZVEI2" : "EIA");
    area.CCIRChange();
    area.Controls().SetText("CCIR", standard);
    area.CCIRChange();
    QStringList shown;
    for (int digit = 1; digit <= 16; ++digit)
        shown << area.Controls().Text(QStringLiteral("Edit%1").arg(digit));
    QCOMPARE(shown, frequencies);
}

void TestFiveToneArea::unknownStandardKeepsFrequencies()
{
    FiveToneArea area;
    area.Controls().SetText("CCIR", "ZVEI1");
    area.CCIRChange();
    for (const QString &text : {QStringLiteral("ZVEI"), QStringLiteral("ccir"), QString()}) {
        area.Controls().SetText("CCIR", text);
        area.CCIRChange();
        QCOMPARE(area.Controls().Text("Edit1"), QStringLiteral("2400.0"));
        QCOMPARE(area.Controls().Text("Edit11"), QStringLiteral("2800.0"));
    }
}

void TestFiveToneArea::resetTimeNotInArea()
{
    FiveToneArea area;
    const std::vector<Block> before = area.codec.EncodeBlocks();
    area.Controls().SetText("ed1", "not a number");
    QCOMPARE(area.codec.EncodeBlocks(), before);
    for (int block = 0; block < 17; ++block)
        area.codec.DecodeBlock(block, BlockWith(0, QByteArray(56, 'F')));
    QCOMPARE(area.Controls().Text("ed1"), QStringLiteral("not a number"));
}

void TestFiveToneArea::roundTrip_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<bool>("sameTexts");  // the texts are the ones a read shows

    QTest::addRow("initial") << QStringList() << true;
    QTest::addRow("edited") << kEdited << true;
    QStringList full;
    for (int row = 1; row <= 16; ++row) {
        const QString standard = TFiveToneTexts::StandardItems()[row % 5];
        full << QStringLiteral("xg2:1,%1=%2").arg(row).arg(QString::number(row * 0x1111, 16).toUpper().rightJustified(5, '0'))
             << QStringLiteral("xg2:5,%1=%2").arg(row).arg(standard)
             << QStringLiteral("xg3:1,%1=%2").arg(row).arg(standard)
             << QStringLiteral("xg3:%1,%2=%3").arg(3 + 2 * (row % 3)).arg(row).arg(TFiveToneTexts::FunctionItems()[row % 9])
             << QStringLiteral("xg3:%1,%2=%3").arg(2 + 2 * (row % 4)).arg(row).arg(QString::number(0xFFFFF - row, 16).toUpper());
    }
    QTest::addRow("every entry in use") << full << true;
    QTest::addRow("texts a read shows differently")
        << QStringList{"xg1:2,1=b", "xg1:1,2=$20", "cb1=$64", "xg2:1,1=123", "xg2:2,1= abc ", "xg3:1,1=EIA",
                       "xg3:8,1=f"}
        << false;
}

void TestFiveToneArea::roundTrip()
{
    QFETCH(QStringList, edits);
    QFETCH(bool, sameTexts);
    FiveToneArea source;
    Apply(source, edits);
    FiveToneArea copy;
    FillEverything(copy);
    CheckRoundTrip(source, copy, sameTexts);
}

void TestFiveToneArea::blocksOutsideIgnored()
{
    FiveToneArea area;
    Apply(area, kEdited);
    CheckBlocksIgnored(area, {17, 18, 255, -1}, 0x5A);
}

QTEST_GUILESS_MAIN(TestFiveToneArea)
#include "tst_fivetonearea.moc"
