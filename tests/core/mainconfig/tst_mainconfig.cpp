#include "mainconfig/MainConfig.h"

#include "base/DecimalText.h"
#include "base/TextConvert.h"
#include "mainconfig/ChannelLists.h"
#include "support/core/ConvertErrors.h"

#include <QSignalSpy>
#include <QtTest>
#include <set>

namespace {

const QStringList kInUse{
    QStringLiteral("4"), QStringLiteral("438.50000"), QStringLiteral("439.00000"), QStringLiteral("88.5"),
    QStringLiteral("023N"), QStringLiteral("低"), QStringLiteral("窄带"), QStringLiteral("无"),
    QStringLiteral("12500"), QStringLiteral("5"), QStringLiteral("#"), QStringLiteral("BOT"),
    QStringLiteral("3"), QStringLiteral("FSK"), QStringLiteral("7"), QStringLiteral("有")};

QStringList EmptyRow()
{
    QStringList row(16, QString());
    row[0] = QStringLiteral("4");
    return row;
}

QStringList With(QStringList row, int column, const QString &text)
{
    row[column] = text;
    return row;
}

QStringList NewChannel(const QString &frequency)
{
    return QStringList{QStringLiteral("4"), frequency, frequency} + NewChannelDefaults();
}

}  // namespace

class TestMainConfig : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startState();
    void toneList();
    void columnsAndBoxes();
    void entryRules_data();
    void entryRules();
    void badFrequency_data();
    void badFrequency();
    void renumber();
    void changeSignals();
    void lastRead();
    void formatFixed_data();
    void formatFixed();
    void scaledWhole_data();
    void scaledWhole();
};

void TestMainConfig::startState()
{
    TMainConfig config;
    QCOMPARE(config.Row(0).join(QLatin1Char(',')),
             QStringLiteral("信道编号,接收频率,发射频率,QT/DQT解码,QT/DQT编码,发射功率,宽/窄,扫描添加,步进频率,"
                            "DTMF键1,DTMF键2,PTTID,扰频,可选信令,信令信息,压扩"));
    for (int n = 1; n <= 16; ++n) {
        QCOMPARE(config.Cell(n, col::Number), QString::number(n));
        QVERIFY(!config.IsChannelInUse(n));
        for (int c = 1; c < 16; ++c)
            QVERIFY(config.Cell(n, c).isEmpty());
    }
    QStringList settings;
    for (int box = 1; box <= kSettingBoxCount; ++box)
        settings << config.Setting(box);
    QCOMPARE(settings, QStringList({"无", "1", "0", "60", "中文", "无", "无", "开", "开", "开"}));
}

void TestMainConfig::toneList()
{
    const QStringList &tones = ToneList();
    QCOMPARE(tones.size(), 218);
    QCOMPARE(std::set<QString>(tones.cbegin(), tones.cend()).size(), size_t(218));
    QCOMPARE(tones.at(0), QStringLiteral("无"));
    QCOMPARE(tones.at(1), QStringLiteral("62.5"));
    QCOMPARE(tones.at(14), QStringLiteral("100.0"));
    QCOMPARE(tones.at(51), QStringLiteral("254.1"));
    QCOMPARE(tones.at(52), QStringLiteral("023N"));
    QCOMPARE(tones.at(134), QStringLiteral("754N"));
    QCOMPARE(tones.at(135), QStringLiteral("023I"));
    QCOMPARE(tones.at(217), QStringLiteral("754I"));
    for (int i = 0; i < 83; ++i)
        QCOMPARE(tones.at(135 + i).chopped(1), tones.at(52 + i).chopped(1));
}

void TestMainConfig::columnsAndBoxes()
{
    const QVector<ChannelColumn> &columns = ChannelColumns();
    QCOMPARE(columns.size(), 16);
    QCOMPARE(columns.at(col::Number).editor, EditorKind::None);
    QCOMPARE(columns.at(col::RxFreq).editor, EditorKind::Edit);
    QCOMPARE(columns.at(col::ToneDecode).editorName, columns.at(col::ToneEncode).editorName);
    QCOMPARE(columns.at(col::ScanAdd).editorName, columns.at(col::Compander).editorName);
    QCOMPARE(columns.at(col::DtmfKey1).items, DtmfKeyList());
    QCOMPARE(columns.at(col::Compander).defaultText, QStringLiteral("有"));
    QCOMPARE(NewChannelDefaults().last(), QStringLiteral("无"));
    for (const ChannelColumn &column : columns)
        if (column.editor == EditorKind::Combo)
            QVERIFY2(column.items.contains(column.defaultText), qPrintable(column.caption));
    QCOMPARE(PfList().size(), 13);
    QCOMPARE(PfList().at(1), QStringLiteral("自动拨号"));
    QCOMPARE(PfList().at(2), QStringLiteral("警报音"));
    for (int box = 1; box <= kSettingBoxCount; ++box)
        QVERIFY(SettingDefinition(box).items.contains(SettingDefinition(box).startText));
    QCOMPARE(SettingDefinition(Pf1Box).label, QStringLiteral("PF1："));
    QCOMPARE(SettingPlaceName(Pf1Box), QStringLiteral("PF1"));
    QCOMPARE(SettingDefinition(AlarmBox).controlName, QStringLiteral("ComboBox10"));
}

void TestMainConfig::entryRules_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("after");

    QTest::addRow("frequency into an empty row") << EmptyRow() << int(col::RxFreq) << "438.5"
                                                 << NewChannel("438.50000");
    QTest::addRow("frequency into a loaded empty row")
        << QStringList(16, QStringLiteral(" ")) << int(col::RxFreq) << "145"
        << With(NewChannel("145.00000"), col::Number, " ");
    QTest::addRow("transmit frequency") << kInUse << int(col::TxFreq) << "440"
                                        << With(kInUse, col::TxFreq, "440.00000");
    QTest::addRow("receive frequency rounded") << kInUse << int(col::RxFreq) << "438.123456"
                                               << With(kInUse, col::RxFreq, "438.12346");
    QTest::addRow("receive frequency of a row in use") << kInUse << int(col::RxFreq) << "145.5"
                                                       << With(kInUse, col::RxFreq, "145.50000");
    QTest::addRow("new receive frequency, transmit loaded empty")
        << With(kInUse, col::TxFreq, " ") << int(col::RxFreq) << "145.5" << NewChannel("145.50000");
    QTest::addRow("scan into an empty row") << EmptyRow() << int(col::ScanAdd) << "有" << EmptyRow();
    QTest::addRow("transmit into an empty row") << EmptyRow() << int(col::TxFreq) << "440" << EmptyRow();
    QTest::addRow("anything into a loaded empty row")
        << QStringList(16, QStringLiteral(" ")) << int(col::Step) << "6250"
        << With(QStringList(16, QString()), col::Number, " ");
    QTest::addRow("clearing the receive frequency") << kInUse << int(col::RxFreq) << "" << EmptyRow();
    QTest::addRow("a space as receive frequency") << kInUse << int(col::RxFreq) << " " << EmptyRow();
    QTest::addRow("clearing the transmit frequency") << kInUse << int(col::TxFreq) << ""
                                                     << With(kInUse, col::TxFreq, "");
    QTest::addRow("tone not in the list stays") << kInUse << int(col::ToneEncode) << "99.9"
                                                << With(kInUse, col::ToneEncode, "99.9");
    QTest::addRow("negative frequency is only formatted") << kInUse << int(col::TxFreq) << "-1"
                                                          << With(kInUse, col::TxFreq, "-1.00000");
}

void TestMainConfig::entryRules()
{
    QFETCH(QStringList, before);
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QStringList, after);
    TMainConfig config;
    config.SetRow(4, before);
    config.SetEditText(4, column, typed);
    QCOMPARE(config.Row(4), after);
}

void TestMainConfig::badFrequency_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("after");
    QTest::addRow("new row") << EmptyRow() << int(col::RxFreq) << "abc" << With(EmptyRow(), col::RxFreq, "abc");
    QTest::addRow("receive in use") << kInUse << int(col::RxFreq) << "438,5" << With(kInUse, col::RxFreq, "438,5");
    QTest::addRow("transmit in use") << kInUse << int(col::TxFreq) << "x" << With(kInUse, col::TxFreq, "x");
}

void TestMainConfig::badFrequency()
{
    QFETCH(QStringList, before);
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QStringList, after);
    TMainConfig config;
    config.SetRow(4, before);
    QCOMPARE(ConvertErrorOf([&] { config.SetEditText(4, column, typed); }),
             QStringLiteral("'%1' is not a valid floating point value").arg(typed));
    QCOMPARE(config.Row(4), after);
}

void TestMainConfig::renumber()
{
    TMainConfig config;
    config.SetCell(3, col::Number, QStringLiteral("33"));
    config.SetCell(0, col::RxFreq, QStringLiteral("RX"));
    config.RenumberChannels();
    QCOMPARE(config.Cell(3, col::Number), QStringLiteral("3"));
    QCOMPARE(config.Cell(0, col::RxFreq), QStringLiteral("RX"));
    config.Reset();
    QCOMPARE(config.Cell(0, col::RxFreq), QStringLiteral("接收频率"));
}

void TestMainConfig::changeSignals()
{
    TMainConfig config;
    QSignalSpy cells(&config, &TMainConfig::CellChanged);
    QSignalSpy boxes(&config, &TMainConfig::SettingChanged);
    config.SetEditText(2, col::RxFreq, QStringLiteral("438.5"));
    QCOMPARE(cells.size(), 16);  // the typed text, its formatted form, the transmit frequency, 13 defaults
    config.SetSetting(ScanBox, QStringLiteral("开"));
    QCOMPARE(boxes.size(), 0);
    config.SetSetting(ScanBox, QStringLiteral("关"));
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.at(0).at(0).toInt(), int(ScanBox));
}

void TestMainConfig::lastRead()
{
    TMainConfig config;
    QVERIFY(!config.WasRead(0, 1));
    QCOMPARE(config.LastReadBlock(0, 1), Block{});
    Block data{};
    data[25] = 0x42;
    config.RememberReadBlock(0, 1, data);
    config.Reset();
    QVERIFY(config.WasRead(0, 1));
    QCOMPARE(int(config.LastReadBlock(0, 1)[25]), 0x42);
    QCOMPARE(config.LastReadBlock(5, 0), Block{});

    // A row moved from channel 1 to 2, then replaced by an import: channel 2's bytes again.
    Block second{};
    second[25] = 0x24;
    config.RememberReadBlock(0, 2, second);
    config.SetChannelOrigin(2, 1);
    config.ReplaceRows({{2, QStringList{QStringLiteral("2"), QStringLiteral("145.00000")}}});
    QCOMPARE(config.ChannelRead(2), std::optional<Block>(second));
}

void TestMainConfig::formatFixed_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::addRow("typical") << 438.5 << "438.50000";
    QTest::addRow("rounded up") << 438.123456 << "438.12346";
    QTest::addRow("rounded down") << 438.123454 << "438.12345";
    QTest::addRow("tie goes up") << 438.123455 << "438.12346";
    QTest::addRow("carry") << 99.999995 << "100.00000";
    QTest::addRow("integer digit") << 0.5 << "0.50000";
    QTest::addRow("zero") << 0.0 << "0.00000";
    QTest::addRow("tiny") << 0.000004 << "0.00000";
    QTest::addRow("tiny tie") << 0.000005 << "0.00001";
    QTest::addRow("negative") << -1.5 << "-1.50000";
    QTest::addRow("negative to zero") << -0.000001 << "0.00000";
    QTest::addRow("large") << 123456789012.0 << "123456789012.00000";
}

void TestMainConfig::formatFixed()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(FormatFixed(value, 5), text);
}

void TestMainConfig::scaledWhole_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<qint64>("scaled");  // -1: not whole
    QTest::addRow("MHz") << 438.5 << 6 << qint64(438500000);
    QTest::addRow("MHz, binary inexact") << 438.12345 << 6 << qint64(438123450);
    QTest::addRow("MHz to the hertz") << 4294.967295 << 6 << qint64(4294967295);
    QTest::addRow("below one hertz") << 438.1234567 << 6 << qint64(-1);
    QTest::addRow("tone") << 88.5 << 1 << qint64(885);
    QTest::addRow("tone two decimals") << 88.55 << 1 << qint64(-1);
    QTest::addRow("zero") << 0.0 << 1 << qint64(0);
    QTest::addRow("negative") << -88.5 << 1 << qint64(-885);
}

void TestMainConfig::scaledWhole()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(qint64, scaled);
    QCOMPARE(ScaledWhole(value, decimals).value_or(-1), scaled);
}

QTEST_GUILESS_MAIN(TestMainConfig)
#include "tst_mainconfig.moc"
