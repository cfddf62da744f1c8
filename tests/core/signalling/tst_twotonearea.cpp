#include "signalling/TwoToneCodec.h"

#include "base/TextConvert.h"
#include "protocol/Areas.h"
#include "support/core/AreaTexts.h"

#include <QtTest>

using TwoToneArea = TAreaRig<TTwoToneTexts, TTwoToneCodec>;

namespace {

// Every table cell holds something, so a decode that leaves a cell as it was shows.
void FillEverything(TwoToneArea &area)
{
    for (int row = 1; row <= TTwoToneTexts::kEntries; ++row) {
        Apply(area, {QStringLiteral("xg1:1,%1=%2").arg(row).arg(100 + row),
                     QStringLiteral("xg1:2,%1=%2").arg(row).arg(200 + row),
                     QStringLiteral("xg2:1,%1=CD").arg(row),
                     QStringLiteral("xg2:2,%1=提醒").arg(row)});
    }
    Apply(area, {"ed1=1", "ed2=2", "ed3=3", "ed4=4", "ed5=5", "cb1=6", "cb2=7", "cb3=8"});
}

const QStringList kEdited{
    "ed1=2000", "ed2=1500", "ed3=1000", "ed4=900", "ed5=5000", "cb1=50", "cb2=1000", "cb3=65535",
    "xg1:1,1=1000", "xg1:2,1=2000", "xg1:2,2=65535", "xg1:1,3=1", "xg1:1,9=300", "xg1:2,10=400",
    "xg1:1,16=3000", "xg2:1,1=DB", "xg2:2,1=提醒并回复", "xg2:3,1=16", "xg2:7,1=CA",
    "xg2:8,1=回复", "xg2:1,2=AA", "xg2:1,15=BC", "xg2:12,15=9", "xg2:1,16=AD", "xg2:11,16=提醒"};

}  // namespace

class TestTwoToneArea : public QObject {
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
    void fixedCellsNotEditable();
    void roundTrip_data();
    void roundTrip();
    void blocksOutsideIgnored();
};

void TestTwoToneArea::shape()
{
    TwoToneArea area;
    QCOMPARE(area.codec.Area(), 3);
    QCOMPARE(AreaFacts(area.codec.Area()).read, NextRead::FollowReply);
    QCOMPARE(AreaFacts(area.codec.Area()).framing, WriteFraming::WithCrc);
    QCOMPARE(area.codec.EncodeBlocks().size(), std::size_t(11));
    QCOMPARE(area.Grid("xg1").ColCount(), 3);
    QCOMPARE(area.Grid("xg1").RowCount(), 17);
    QCOMPARE(area.Grid("xg2").ColCount(), 13);
    QCOMPARE(area.Grid("xg2").RowCount(), 17);
    QCOMPARE(TTwoToneTexts::CodeItems(),
             QStringList({"AB", "AC", "AD", "BA", "BC", "BD", "CA", "CB", "CD", "DA", "DC", "DB"}));
    QCOMPARE(TTwoToneTexts::ModeItems(), QStringList({"无", "提醒", "回复", "提醒并回复"}));
    QCOMPARE(TTwoToneTexts::PromptItems().size(), 16);
    QCOMPARE(TTwoToneTexts::PromptItems().last(), QStringLiteral("16"));
    const QStringList times = TTwoToneTexts::TimeItems();
    QCOMPARE(times.size(), 20);
    QCOMPARE(times.first(), QStringLiteral("50"));
    QCOMPARE(times.at(9), QStringLiteral("500"));
    QCOMPARE(times.last(), QStringLiteral("1000"));
}

void TestTwoToneArea::initialTexts()
{
    const TwoToneArea area;
    const QStringList expected{"ed1=1981", "ed2=1124", "ed3=1197", "ed4=1275", "ed5=6000",
                               "cb1=500", "cb2=500", "cb3=500",
                               "xg1:0,0=信息码", "xg1:1,0=第一个频率（HZ）", "xg1:2,0=第二个频率（HZ）",
                               "xg1:0,1=1", "xg1:0,16=16", "xg1:1,1=", "xg1:2,16=",
                               "xg2:1,0=解码1", "xg2:2,0=响应方式", "xg2:3,0=提示", "xg2:10,0=解码4",
                               "xg2:0,16=16", "xg2:1,1=", "xg2:12,16="};
    Expect(area, expected);
}

void TestTwoToneArea::encodeFields_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<int>("block");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("bytes");

    QTest::addRow("initial boxes, reserved 16..19")
        << QStringList() << 0 << 0 << QByteArray("BD076404AD04FB047017F401F401F40100000000");
    QTest::addRow("tone A 1981") << QStringList{"ed1=1981"} << 0 << 0 << QByteArray("BD07");
    QTest::addRow("tone with zero fraction") << QStringList{"ed2=1124.0"} << 0 << 2 << QByteArray("6404");
    QTest::addRow("tone D") << QStringList{"ed4=65535"} << 0 << 6 << QByteArray("FFFF");
    QTest::addRow("reset time") << QStringList{"ed5=0"} << 0 << 8 << QByteArray("0000");
    QTest::addRow("durations and gap") << QStringList{"cb1=50", "cb2=1000", "cb3=$100"} << 0 << 10
                                       << QByteArray("3200E8030001");
    QTest::addRow("encode entry 1") << QStringList{"xg1:1,1=1000", "xg1:2,1=2000"} << 0 << 20
                                    << QByteArray("E803D007");
    QTest::addRow("encode entry 2") << QStringList{"xg1:2,2=65535"} << 0 << 24 << QByteArray("0000FFFF");
    QTest::addRow("encode entry 3") << QStringList{"xg1:1,3=1", "xg1:2,3=2"} << 1 << 0 << QByteArray("01000200");
    QTest::addRow("encode entry 9") << QStringList{"xg1:1,9=300"} << 1 << 24 << QByteArray("2C010000");
    QTest::addRow("encode entry 10") << QStringList{"xg1:2,10=400"} << 2 << 0 << QByteArray("00009001");
    QTest::addRow("encode entry 16") << QStringList{"xg1:1,16=3000", "xg1:2,16=0"} << 2 << 24
                                     << QByteArray("B80B0000");
    QTest::addRow("empty encode table") << QStringList() << 1 << 0 << QByteArray(56, '0');
    QTest::addRow("decode entry 1, DB with the defaults") << QStringList{"xg2:1,1=DB"} << 3 << 0
                                                           << QByteArray("DB0001AB0001AB0001AB0001");
    QTest::addRow("decode entry 2, every field")
        << QStringList{"xg2:1,2=AC", "xg2:2,2=提醒并回复", "xg2:3,2=16", "xg2:4,2=DC", "xg2:5,2=回复",
                       "xg2:6,2=7", "xg2:7,2=ba", "xg2:8,2=提醒", "xg2:9,2=2", "xg2:10,2=CB",
                       "xg2:11,2=无", "xg2:12,2=3"}
        << 3 << 12 << QByteArray("AC0310DC0207BA0102CB0003");
    QTest::addRow("reserved after two decode entries")
        << QStringList{"xg2:1,1=AB", "xg2:1,2=AB"} << 3 << 24 << QByteArray("00000000");
    QTest::addRow("decode entry 16") << QStringList{"xg2:1,16=CA", "xg2:12,16=12"} << 10 << 12
                                     << QByteArray("CA0001AB0001AB0001AB000C");
    QTest::addRow("empty later code is three zero bytes")
        << QStringList{"xg2:1,3=BD", "xg2:4,3=", "xg2:10,3="} << 4 << 0
        << QByteArray("BD0001000000AB0001000000");
    QTest::addRow("entry without first code is zero, whatever its other cells")
        << QStringList{"xg2:1,3=BD", "xg2:1,3="} << 4 << 0 << QByteArray(24, '0');
    QTest::addRow("empty decode table") << QStringList() << 10 << 0 << QByteArray(56, '0');
}

void TestTwoToneArea::encodeFields()
{
    CheckEncodedField<TwoToneArea>();
}

void TestTwoToneArea::decodeFields_data()
{
    QTest::addColumn<int>("block");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("texts");

    QTest::addRow("tones, reset, times") << 0 << 0 << QByteArray("BD076404AD04FB047017F401E8030000")
        << QStringList{"ed1=1981", "ed2=1124", "ed3=1197", "ed4=1275", "ed5=6000", "cb1=500",
                       "cb2=1000", "cb3=0"};
    QTest::addRow("frequency 0 shows empty") << 0 << 20 << QByteArray("00001027")
                                             << QStringList{"xg1:1,1=", "xg1:2,1=10000"};
    QTest::addRow("encode entry 2") << 0 << 24 << QByteArray("FFFF0100")
                                    << QStringList{"xg1:1,2=65535", "xg1:2,2=1"};
    QTest::addRow("encode entry 9") << 1 << 24 << QByteArray("2C010000")
                                    << QStringList{"xg1:1,9=300", "xg1:2,9="};
    QTest::addRow("encode entry 16") << 2 << 24 << QByteArray("0000B80B")
                                     << QStringList{"xg1:1,16=", "xg1:2,16=3000", "xg1:1,15="};
    QTest::addRow("code DB, mode and prompt") << 3 << 0 << QByteArray("DB0205")
        << QStringList{"xg2:1,1=DB", "xg2:2,1=回复", "xg2:3,1=5"};
    QTest::addRow("first code byte 0x12 shows an empty row") << 3 << 0 << QByteArray("120001AB0102")
        << QStringList{"xg2:1,1=", "xg2:2,1=", "xg2:3,1=", "xg2:4,1=", "xg2:5,1=", "xg2:6,1="};
    QTest::addRow("half a code shows its letter") << 3 << 0 << QByteArray("AB0001A20309")
        << QStringList{"xg2:1,1=AB", "xg2:4,1=A", "xg2:5,1=提醒并回复", "xg2:6,1=9"};
    QTest::addRow("mode outside the list shows empty") << 3 << 0 << QByteArray("AB0401")
                                                       << QStringList{"xg2:1,1=AB", "xg2:2,1=", "xg2:3,1=1"};
    QTest::addRow("slot with code 0 shows empty cells, entry stays in use")
        << 3 << 0 << QByteArray("DB0001000203CA0304")
        << QStringList{"xg2:1,1=DB", "xg2:4,1=", "xg2:5,1=", "xg2:6,1=", "xg2:7,1=CA", "xg2:8,1=提醒并回复",
                       "xg2:9,1=4", "xg2:10,1=", "xg2:11,1=", "xg2:12,1="};
    QTest::addRow("first code 0 shows an empty row")
        << 3 << 0 << QByteArray("000001AB0102AC0203AD0304")
        << QStringList{"xg2:1,1=", "xg2:2,1=", "xg2:3,1=", "xg2:4,1=", "xg2:6,1=", "xg2:7,1=", "xg2:12,1="};
    QTest::addRow("decode entry 2 at offset 12") << 3 << 12 << QByteArray("CA0310")
        << QStringList{"xg2:1,2=CA", "xg2:2,2=提醒并回复", "xg2:3,2=16", "xg2:1,1="};
    QTest::addRow("decode entry 16") << 10 << 12 << QByteArray("BA0001DC0002")
        << QStringList{"xg2:1,16=BA", "xg2:4,16=DC", "xg2:6,16=2", "xg2:7,16=", "xg2:1,15="};
}

void TestTwoToneArea::decodeFields()
{
    TwoToneArea area;
    FillEverything(area);  // a text the block does not set would show as left over
    CheckDecodedField(area);
}

void TestTwoToneArea::writtenBack_data()
{
    QTest::addColumn<int>("block");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("back");

    QTest::addRow("tones, reset, times") << 0 << 0 << QByteArray("BD076404AD04FB047017F401E8030000")
                                         << QByteArray("BD076404AD04FB047017F401E8030000");
    QTest::addRow("encode entries") << 1 << 0 << QByteArray("2C01D0070000B80B") << QByteArray("2C01D0070000B80B");
    QTest::addRow("decode entry, every slot") << 3 << 12 << QByteArray("AC0310DC0207BA0102CB0003")
                                              << QByteArray("AC0310DC0207BA0102CB0003");
    QTest::addRow("slot with code 0") << 4 << 0 << QByteArray("DB0001000203CA0304") << QByteArray("DB0001000000CA0304");
    QTest::addRow("slot without a code") << 4 << 0 << QByteArray("DB0001120203") << QByteArray("DB0001000000");
    QTest::addRow("entry without a first code") << 10 << 12 << QByteArray("1200010A0203") << QByteArray(12, '0');
}

void TestTwoToneArea::writtenBack()
{
    CheckWrittenBack<TwoToneArea>();
}

void TestTwoToneArea::badInput_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QString>("message");

    QTest::addRow("tone not a number") << QStringList{"ed1=abc"}
                                       << "A音（HZ）: 'abc' is not a valid floating point value";
    QTest::addRow("tone with a fraction") << QStringList{"ed2=1124.5"}
                                          << "B音（HZ）: '1124.5' is not a valid integer value";
    QTest::addRow("tone above 16 bits") << QStringList{"ed3=70000"}
                                        << "C音（HZ）: '70000' is not in the range 0 to 65535";
    QTest::addRow("tone below 0") << QStringList{"ed4=-1"} << "D音（HZ）: '-1' is not in the range 0 to 65535";
    QTest::addRow("reset time above 16 bits") << QStringList{"ed5=65536"}
                                              << "复位时间（MS）: '65536' is not in the range 0 to 65535";
    QTest::addRow("duration not a number") << QStringList{"cb1=abc"}
                                           << "第一个频率时间长（MS）: 'abc' is not a valid integer value";
    QTest::addRow("duration empty") << QStringList{"cb2="} << "第二个频率时间长（MS）: '' is not a valid integer value";
    QTest::addRow("gap above 16 bits") << QStringList{"cb3=100000"}
                                       << "前后两个频率的间隔时间长（MS）: '100000' is not in the range 0 to 65535";
    QTest::addRow("frequency above 16 bits") << QStringList{"xg1:1,3=70000"}
                                             << "编码 3 第一个频率（HZ）: '70000' is not in the range 0 to 65535";
    QTest::addRow("frequency not a number") << QStringList{"xg1:2,16=12a"}
                                            << "编码 16 第二个频率（HZ）: '12a' is not a valid integer value";
    QTest::addRow("first code with another letter") << QStringList{"xg2:1,4=AE"}
        << "解码 4 解码1: 'AE' is not a decode code of two letters A to D";
    QTest::addRow("code of digits") << QStringList{"xg2:1,1=AB", "xg2:4,1=12"}
                                    << "解码 1 解码2: '12' is not a decode code of two letters A to D";
    QTest::addRow("code of three letters") << QStringList{"xg2:1,16=AB", "xg2:10,16=ABC"}
                                           << "解码 16 解码4: 'ABC' is not a decode code of two letters A to D";
    QTest::addRow("mode not in the list") << QStringList{"xg2:1,1=AB", "xg2:5,1=提示"}
        << "解码 1 响应方式2: '提示' is not one of 无, 提醒, 回复, 提醒并回复";
    QTest::addRow("mode empty") << QStringList{"xg2:1,2=AB", "xg2:2,2="}
                                << "解码 2 响应方式1: '' is not one of 无, 提醒, 回复, 提醒并回复";
    QTest::addRow("prompt 0") << QStringList{"xg2:1,1=AB", "xg2:3,1=0"}
                              << "解码 1 提示1: '0' is not in the range 1 to 16";
    QTest::addRow("prompt 17") << QStringList{"xg2:1,1=AB", "xg2:12,1=17"}
                               << "解码 1 提示4: '17' is not in the range 1 to 16";
    QTest::addRow("prompt empty") << QStringList{"xg2:1,1=AB", "xg2:6,1="}
                                  << "解码 1 提示2: '' is not a valid integer value";
}

void TestTwoToneArea::badInput()
{
    QFETCH(QStringList, edits);
    QFETCH(QString, message);
    TwoToneArea area;
    Apply(area, edits);
    QCOMPARE(EncodeError(area.codec), message);
}

void TestTwoToneArea::entryRules_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QStringList>("row");  // xg2 columns 1..12 of row 5 afterwards

    const QStringList empty(12, QString());
    QTest::addRow("first code fills the row")
        << QStringList{"xg2:1,5=CD"}
        << QStringList{"CD", "无", "1", "AB", "无", "1", "AB", "无", "1", "AB", "无", "1"};
    QTest::addRow("first code again replaces earlier choices")
        << QStringList{"xg2:1,5=CD", "xg2:2,5=回复", "xg2:4,5=DB", "xg2:12,5=9", "xg2:1,5=BA"}
        << QStringList{"BA", "无", "1", "AB", "无", "1", "AB", "无", "1", "AB", "无", "1"};
    QTest::addRow("other columns keep their edits")
        << QStringList{"xg2:1,5=CD", "xg2:2,5=回复", "xg2:4,5=DB", "xg2:12,5=9"}
        << QStringList{"CD", "回复", "1", "DB", "无", "1", "AB", "无", "1", "AB", "无", "9"};
    QTest::addRow("first code committed unchanged keeps the choices")
        << QStringList{"xg2:1,5=CD", "xg2:2,5=回复", "xg2:4,5=DB", "xg2:1,5=CD"}
        << QStringList{"CD", "回复", "1", "DB", "无", "1", "AB", "无", "1", "AB", "无", "1"};
    QTest::addRow("mode of an unused entry stays empty") << QStringList{"xg2:2,5=提醒"} << empty;
    QTest::addRow("code of an unused entry stays empty") << QStringList{"xg2:7,5=AB"} << empty;
    QTest::addRow("prompt of an unused entry stays empty") << QStringList{"xg2:12,5=3"} << empty;
    QTest::addRow("blank first code counts as empty") << QStringList{"xg2:1,5= ", "xg2:3,5=2"} << empty;
    // The entry is no longer in use, and is written as zeros: nothing of it stays on show.
    QTest::addRow("emptying the first code empties the entry")
        << QStringList{"xg2:1,5=CD", "xg2:4,5=DB", "xg2:1,5="} << empty;
    QTest::addRow("other rows untouched") << QStringList{"xg2:1,4=CD", "xg2:1,6=CD"} << empty;
}

void TestTwoToneArea::entryRules()
{
    QFETCH(QStringList, edits);
    QFETCH(QStringList, row);
    TwoToneArea area;
    Apply(area, edits);
    QStringList actual;
    for (int col = 1; col <= 12; ++col)
        actual << area.Grid("xg2").Cell(col, 5);
    QCOMPARE(actual, row);

    // The encode grid has no entry rules.
    area.SetEditText("xg1", 2, 5, "1500");
    QCOMPARE(area.Grid("xg1").Cell(2, 5), QStringLiteral("1500"));
    QCOMPARE(area.Grid("xg1").Cell(1, 5), QString());
}

void TestTwoToneArea::fixedCellsNotEditable()
{
    TwoToneArea area;
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, area.SetEditText("xg2", 0, 3, "9"));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, area.SetEditText("xg2", 1, 0, "AB"));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, area.SetEditText("xg1", 3, 1, "1"));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, area.SetEditText("xg3", 1, 1, "1"));
    QCOMPARE(area.Grid("xg2").Cell(0, 3), QStringLiteral("3"));
    QCOMPARE(area.Grid("xg2").Cell(1, 0), QStringLiteral("解码1"));
}

void TestTwoToneArea::roundTrip_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<bool>("sameTexts");  // the texts are the ones a read shows

    QTest::addRow("initial") << QStringList() << true;
    QTest::addRow("edited") << kEdited << true;
    QStringList full;
    for (int row = 1; row <= 16; ++row) {
        full << QStringLiteral("xg1:1,%1=%2").arg(row).arg(row * 4000)
             << QStringLiteral("xg1:2,%1=%2").arg(row).arg(65535 - row)
             << QStringLiteral("xg2:1,%1=%2").arg(row).arg(TTwoToneTexts::CodeItems()[row % 12])
             << QStringLiteral("xg2:%1,%2=%3").arg(2 + 3 * (row % 4)).arg(row).arg(TTwoToneTexts::ModeItems()[row % 4])
             << QStringLiteral("xg2:%1,%2=%3").arg(3 + 3 * (row % 4)).arg(row).arg(row);
    }
    QTest::addRow("every entry in use") << full << true;
    QTest::addRow("texts a read shows differently")
        << QStringList{"ed1=1981.0", "cb1=$1F4", "xg1:1,1=0", "xg2:1,1=db", "xg2:3,1=07", "xg2:4,1="}
        << false;
}

void TestTwoToneArea::roundTrip()
{
    QFETCH(QStringList, edits);
    QFETCH(bool, sameTexts);
    TwoToneArea source;
    Apply(source, edits);
    TwoToneArea copy;
    FillEverything(copy);
    CheckRoundTrip(source, copy, sameTexts);
}

void TestTwoToneArea::blocksOutsideIgnored()
{
    TwoToneArea area;
    Apply(area, kEdited);
    CheckBlocksIgnored(area, {11, 12, 255, -1}, 0xAB);
}

QTEST_GUILESS_MAIN(TestTwoToneArea)
#include "tst_twotonearea.moc"
