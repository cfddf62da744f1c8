#include "compare/BlockCompare.h"
#include "compare/FieldDiff.h"
#include "mainconfig/ChannelLists.h"
#include "mainconfig/MainCodec.h"
#include "mainconfig/MainConfig.h"
#include "protocol/FactoryImage.h"
#include "signalling/DtmfTexts.h"
#include "signalling/TwoToneTexts.h"

#include <QtTest>

namespace {

TRadioImage changedByte(TRadioImage image, int area, int block, int offset)
{
    Block data = image.block(area, block);
    data[static_cast<std::size_t>(offset)] ^= 0x01;
    image.setBlock(area, block, data);
    return image;
}

}  // namespace

class TestCompare : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void blockName_data();
    void blockName();
    void compareBlocks_data();
    void compareBlocks();
    void mismatchLine();
    void mainFieldDiff();
    void editorFieldDiff();
    void imageFieldDiff_data();
    void imageFieldDiff();
};

void TestCompare::blockName_data()
{
    QTest::addColumn<int>("area");
    QTest::addColumn<int>("block");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("chinese");
    QTest::addRow("channel") << 0 << 3 << "channel 3" << "信道 3";
    QTest::addRow("settings") << 5 << 0 << "the settings" << "设置";
    QTest::addRow("dtmf") << 1 << 2 << "DTMF block 2" << "DTMF 第 2 块";
    QTest::addRow("fsk") << 2 << 0 << "FSK queue sync block 0" << "FSK 队列同步 第 0 块";
    QTest::addRow("two-tone") << 3 << 10 << "two-tone block 10" << "2TONE 第 10 块";
    QTest::addRow("five-tone") << 4 << 16 << "five-tone block 16" << "5TONE 第 16 块";
}

void TestCompare::blockName()
{
    QFETCH(int, area);
    QFETCH(int, block);
    QFETCH(QString, english);
    QFETCH(QString, chinese);
    QCOMPARE(BlockName(area, block, TLanguage::English), english);
    QCOMPARE(BlockName(area, block, TLanguage::Chinese), chinese);
}

void TestCompare::compareBlocks_data()
{
    QTest::addColumn<TRadioImage>("sent");
    QTest::addColumn<TRadioImage>("read");
    QTest::addColumn<QStringList>("differing");  // "area block"
    TRadioImage dtmf = FactoryImage();
    for (int area : {0, 2, 3, 4, 5})
        dtmf.dropArea(area);
    QTest::addRow("same") << FactoryImage() << FactoryImage() << QStringList();
    QTest::addRow("first data byte") << FactoryImage() << changedByte(FactoryImage(), 0, 1, 0) << QStringList{"0 1"};
    QTest::addRow("last data byte") << FactoryImage() << changedByte(FactoryImage(), 4, 16, 27) << QStringList{"4 16"};
    QTest::addRow("two blocks") << FactoryImage() << changedByte(changedByte(FactoryImage(), 5, 0, 13), 0, 16, 5)
                                << QStringList{"0 16", "5 0"};
    QTest::addRow("a block not sent does not count") << dtmf << changedByte(FactoryImage(), 3, 2, 2) << QStringList();
    QTest::addRow("a block sent but not read back") << FactoryImage() << TRadioImage(dtmf) << QStringList{};
}

void TestCompare::compareBlocks()
{
    QFETCH(TRadioImage, sent);
    QFETCH(TRadioImage, read);
    QFETCH(QStringList, differing);
    if (QByteArray(QTest::currentDataTag()) == "a block sent but not read back")
        differing = [&] {
            QStringList all;
            for (const auto &place : sent.heldPlaces())
                if (place.area != 1)
                    all << QStringLiteral("%1 %2").arg(place.area).arg(place.block);
            return all;
        }();
    QStringList found;
    for (const TBlockMismatch &m : CompareBlocks(sent, read)) {
        found << QStringLiteral("%1 %2").arg(m.area).arg(m.block);
        QCOMPARE(m.sent, sent.block(m.area, m.block));
        QCOMPARE(m.read, read.block(m.area, m.block));
        QCOMPARE(m.unread, !read.holds(m.area, m.block));
    }
    QCOMPARE(found, differing);
}

void TestCompare::mismatchLine()
{
    Block sent{};
    sent[0] = 0xA5;
    Block read = sent;
    read[27] = 0x01;
    const TBlockMismatch m{0, 3, sent, read};
    const QString zeros = QStringLiteral(" 00").repeated(26);
    QCOMPARE(MismatchLine(m, TLanguage::English),
             "channel 3 (area 0 block 3): sent A5" + zeros + " 00, read A5" + zeros + " 01");
    QCOMPARE(MismatchLine(m, TLanguage::Chinese), "信道 3（区 0 块 3）：写入 A5" + zeros + " 00，读回 A5" + zeros + " 01");
    // A block the read never got is not said to have come back as zeros.
    const TBlockMismatch never{0, 3, sent, Block{}, true};
    QCOMPARE(MismatchLine(never, TLanguage::English), "channel 3 (area 0 block 3): sent A5" + zeros + " 00, never sent back by the radio");
    QCOMPARE(MismatchLine(never, TLanguage::Chinese), "信道 3（区 0 块 3）：写入 A5" + zeros + " 00，电台没有送回此块");
}

// Captions of the channel table and labels of the settings name the fields; the alarm only
// when asked for.
void TestCompare::mainFieldDiff()
{
    TMainConfig radio;
    DecodeMainImage(radio, FactoryImage());
    TMainConfig window;
    DecodeMainImage(window, FactoryImage());
    QCOMPARE(MainFieldDiff(radio, window), QStringList());
    // A loaded file's empty fields are a space: no different from a read's empty cells.
    for (int row = 1; row <= TMainConfig::kChannels; ++row)
        for (int c = 1; c < TMainConfig::kCols; ++c)
            if (window.Cell(row, c).isEmpty())
                window.SetCell(row, c, QStringLiteral(" "));
    QVERIFY(window.Cell(16, col::RxFreq) == QStringLiteral(" "));
    QCOMPARE(MainFieldDiff(radio, window), QStringList());

    window.SetCell(3, col::RxFreq, QStringLiteral("439.00000"));
    window.SetCell(1, col::Power, QStringLiteral("低"));
    window.SetSetting(SquelchBox, QStringLiteral("7"));
    const QString alarm = radio.Setting(AlarmBox) == QStringLiteral("开") ? QStringLiteral("关") : QStringLiteral("开");
    window.SetSetting(AlarmBox, alarm);
    const QStringList lines{
        QStringLiteral("信道 1 发射功率: %1 → 低").arg(radio.Cell(1, col::Power)),
        QStringLiteral("信道 3 接收频率: %1 → 439.00000").arg(radio.Cell(3, col::RxFreq)),
        QStringLiteral("静噪: %1 → 7").arg(radio.Setting(SquelchBox)),
    };
    QCOMPARE(MainFieldDiff(radio, window, false), lines);
    QCOMPARE(MainFieldDiff(radio, window, true),
             lines + QStringList{QStringLiteral("%1: %2 → %3").arg(SettingPlaceName(AlarmBox), radio.Setting(AlarmBox), alarm)});
}

void TestCompare::editorFieldDiff()
{
    const auto radio = DecodeAreaTexts(1, AreaBlocks(FactoryImage(), 1));
    const auto window = DecodeAreaTexts(1, AreaBlocks(FactoryImage(), 1));
    QCOMPARE(EditorFieldDiff(*radio, *window), QStringList());
    auto &dtmf = static_cast<TDtmfTexts &>(*window);
    dtmf.Controls().SetText(QStringLiteral("cb1"), QStringLiteral("15"));
    dtmf.Controls().SetChecked(QStringLiteral("CheckB1"), !radio->Controls().Checked(QStringLiteral("CheckB1")));
    dtmf.xg2().SetCell(1, 4, QStringLiteral("999"));
    const QString was = radio->Controls().Checked(QStringLiteral("CheckB1")) ? QStringLiteral("开") : QStringLiteral("关");
    const QString now = was == QStringLiteral("开") ? QStringLiteral("关") : QStringLiteral("开");
    const QString memory = radio->Grid(QStringLiteral("xg2")).Cell(1, 4);
    QCOMPARE(EditorFieldDiff(*radio, *window),
             QStringList({QStringLiteral("DTMF速率: %1 → 15").arg(radio->Controls().Text(QStringLiteral("cb1"))),
                          QStringLiteral("DTMF侧音: %1 → %2").arg(was, now),
                          QStringLiteral("DTMF编码 4 自动拨号存储器: %1 → 999").arg(memory.isEmpty() ? QStringLiteral("（空）") : memory)}));
}

void TestCompare::imageFieldDiff_data()
{
    QTest::addColumn<QList<int>>("fromAreas");
    QTest::addColumn<QList<int>>("toAreas");
    QTest::addColumn<int>("lines");  // a byte changed in channel 2's power, two-tone block 1, DTMF block 0
    QTest::addRow("whole images") << QList<int>{0, 1, 2, 3, 4, 5} << QList<int>{0, 1, 2, 3, 4, 5} << 3;
    QTest::addRow("main only in one") << QList<int>{0, 5} << QList<int>{0, 1, 2, 3, 4, 5} << 1;
    QTest::addRow("channels held by one only") << QList<int>{5, 3} << QList<int>{0, 3, 5} << 1;
    QTest::addRow("no area in common") << QList<int>{1} << QList<int>{0, 5, 3} << 0;
}

void TestCompare::imageFieldDiff()
{
    QFETCH(QList<int>, fromAreas);
    QFETCH(QList<int>, toAreas);
    QFETCH(int, lines);
    auto only = [](TRadioImage image, const QList<int> &areas) {
        for (int area : {0, 1, 2, 3, 4, 5})
            if (!areas.contains(area))
                image.dropArea(area);
        return image;
    };
    TRadioImage changed = FactoryImage();
    TMainConfig config;
    DecodeMainImage(config, changed);
    config.SetCell(2, col::Power, config.Cell(2, col::Power) == QStringLiteral("高") ? QStringLiteral("低") : QStringLiteral("高"));
    changed.setBlock(0, 2, EncodeChannelBlock(config, 2));
    changed = changedByte(changed, 1, 0, 0);  // DTMF rate
    changed = changedByte(changed, 3, 1, 0);  // a two-tone encode entry
    const QStringList found = ImageFieldDiff(only(FactoryImage(), fromAreas), only(changed, toAreas), false);
    if (fromAreas.contains(0) && toAreas.contains(0))
        QVERIFY2(found.value(0).startsWith(QStringLiteral("信道 2 发射功率: ")), qPrintable(found.join('\n')));
    QCOMPARE(found.size(), lines);
}

QTEST_GUILESS_MAIN(TestCompare)
#include "tst_compare.moc"
