#include "mainconfig/MainCodec.h"

#include "base/TextConvert.h"
#include "mainconfig/ChannelLists.h"
#include "mainconfig/MainConfig.h"

#include <QtTest>
#include <functional>

namespace {

const QStringList kExampleChannel{
    QStringLiteral("1"), QStringLiteral("438.50000"), QStringLiteral("438.50000"), QStringLiteral("88.5"),
    QStringLiteral("023N"), QStringLiteral("高"), QStringLiteral("宽带"), QStringLiteral("有"),
    QStringLiteral("25000"), QStringLiteral("无"), QStringLiteral("无"), QStringLiteral("无"),
    QStringLiteral("无"), QStringLiteral("DTMF"), QStringLiteral("1"), QStringLiteral("无")};

Block BlockFromHex(const char *hex)
{
    const QByteArray bytes = QByteArray::fromHex(hex);
    Q_ASSERT(bytes.size() == frame::kDataSize);
    return blockFromBytes(bytes, 0);
}

QByteArray Hex(const Block &data)
{
    return bytesFromBlock(data).toHex(' ').toUpper();
}

// A channel block as a radio would hold it, with odd values in the bytes nobody assigns.
Block RadioChannel()
{
    return BlockFromHex("A0FA221A 8058301A 9E02 F2A2 00 00 FF 8813 05 0C 02 07 FF 02 10 112233 FF");
}

// The message of the EConvertError that `action` throws, or "" when it throws none.
QString ErrorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const EConvertError &e) {
        return e.message();
    }
    return QString();
}

}  // namespace

using Setter = std::function<void(TMainConfig &)>;
Q_DECLARE_METATYPE(Setter)

class TestMainCodec : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void channelExample();
    void emptyChannel_data();
    void emptyChannel();
    void settingsAtStart();
    void settingsCodes_data();
    void settingsCodes();
    void encodeTone_data();
    void encodeTone();
    void decodeTone_data();
    void decodeTone();
    void everyToneSurvives();
    void everyListEntrySurvives();
    void decodeChannel();
    void decodeEmptiesUnknownCodes();
    void decodeSettings_data();
    void decodeSettings();
    void emptyOnRead_data();
    void emptyOnRead();
    void frequencies_data();
    void frequencies();
    void refused_data();
    void refused();
    void imageStopsAtFirstError();
    void unassignedBytesFromLastRead();
    void radioBlockSurvives();
};

void TestMainCodec::channelExample()
{
    TMainConfig config;
    config.SetRow(1, kExampleChannel);
    QCOMPARE(Hex(EncodeChannelBlock(config, 1)),
             QByteArray("A0 FA 22 1A A0 FA 22 1A 75 03 17 20 FF FF FF A8 61 FF FF 00 00 00 00 01 00 00 00 FF"));
    // An empty flag cell stores the second entry: the power is high.
    config.SetCell(1, col::Power, QString());
    QCOMPARE(int(EncodeChannelBlock(config, 1)[12]), 0xFF);
}

void TestMainCodec::emptyChannel_data()
{
    QTest::addColumn<QString>("rx");
    QTest::addRow("empty") << QString();
    QTest::addRow("single space") << QStringLiteral(" ");
}

void TestMainCodec::emptyChannel()
{
    QFETCH(QString, rx);
    TMainConfig config;
    DecodeMainBlock(config, 0, 4, RadioChannel());  // the radio's bytes 24..26 are not used here
    QStringList row = kExampleChannel;
    row[col::RxFreq] = rx;
    row[col::Step] = QStringLiteral("junk");
    config.SetRow(4, row);
    QCOMPARE(Hex(EncodeChannelBlock(config, 4)),
             QByteArray("00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 FF"));
}

void TestMainCodec::settingsAtStart()
{
    TMainConfig config;
    QCOMPARE(Hex(EncodeSettingsBlock(config)),
             QByteArray("01 01 00 00 00 00 00 00 00 01 00 3C 01 00 00 01 00 00 00 00 00 00 00 00 00 00 00 00"));
}

void TestMainCodec::settingsCodes_data()
{
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("code");
    QTest::addRow("PF1 自动拨号") << int(Pf1Box) << "自动拨号" << 13 << 3;
    QTest::addRow("PF1 警报音") << int(Pf1Box) << "警报音" << 13 << 1;
    QTest::addRow("PF2 暂时删除") << int(Pf2Box) << "暂时删除" << 14 << 12;
    QTest::addRow("PF2 empty") << int(Pf2Box) << "" << 14 << 0;
    QTest::addRow("voice 关") << int(VoicePromptBox) << "关" << 12 << 0;
    QTest::addRow("voice 英文") << int(VoicePromptBox) << "英文" << 12 << 2;
    QTest::addRow("voice empty") << int(VoicePromptBox) << "" << 12 << 2;
    QTest::addRow("VOX 10") << int(VoxLevelBox) << "10" << 8 << 10;
    QTest::addRow("VOX hex") << int(VoxLevelBox) << "$A" << 8 << 10;
    QTest::addRow("time-out 关") << int(TimeOutBox) << "关" << 11 << 0;
    QTest::addRow("time-out 180") << int(TimeOutBox) << "180" << 11 << 180;
    QTest::addRow("scan 关") << int(ScanBox) << "关" << 15 << 0;
    QTest::addRow("power save empty") << int(PowerSaveBox) << "" << 0 << 0;
    QTest::addRow("alarm 关") << int(AlarmBox) << "关" << 1 << 0;
}

void TestMainCodec::settingsCodes()
{
    QFETCH(int, box);
    QFETCH(QString, text);
    QFETCH(int, offset);
    QFETCH(int, code);
    TMainConfig config;
    config.SetSetting(box, text);
    QCOMPARE(int(EncodeSettingsBlock(config)[offset]), code);
}

void TestMainCodec::encodeTone_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("code");
    QTest::addRow("none") << "无" << 0xFFFF;
    QTest::addRow("88.5") << "88.5" << 885;
    QTest::addRow("100.0") << "100.0" << 1000;
    QTest::addRow("whole") << "67" << 670;
    QTest::addRow("zero") << "0" << 0;
    QTest::addRow("highest") << "409.5" << 4095;
    QTest::addRow("023N") << "023N" << 0x2017;
    QTest::addRow("754I") << "754I" << 0xA2F2;
    QTest::addRow("065N is decimal, not octal") << "065N" << 0x2041;
}

void TestMainCodec::encodeTone()
{
    QFETCH(QString, text);
    QFETCH(int, code);
    QCOMPARE(int(EncodeTone(text)), code);
}

void TestMainCodec::decodeTone_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");  // empty: no change
    QTest::addRow("67.0") << 0x029E << "67.0";
    QTest::addRow("62.5") << 0x0271 << "62.5";
    QTest::addRow("254.1") << 0x09ED << "254.1";
    QTest::addRow("zero") << 0x0000 << "0";
    QTest::addRow("whole, not in the list") << 150 << "15";
    QTest::addRow("023N") << 0x2017 << "023N";
    QTest::addRow("754I") << 0xA2F2 << "754I";
    QTest::addRow("one-digit DCS") << 0x2005 << "005N";
    QTest::addRow("largest DCS number") << 0xA3E7 << "999I";
    // Four digits would be a text that no write takes: a read radio must write back as it is.
    QTest::addRow("four-digit DCS number") << 0x23E8 << "";
    QTest::addRow("DCS bits all set") << 0xAFFF << "";
    QTest::addRow("none") << 0xFFFF << "无";
    QTest::addRow("unknown kind") << 0x8017 << "";
}

void TestMainCodec::decodeTone()
{
    QFETCH(int, code);
    QFETCH(QString, text);
    const std::optional<QString> decoded = DecodeTone(static_cast<quint16>(code));
    QCOMPARE(decoded.value_or(QString()), text);
    QCOMPARE(decoded.has_value(), !text.isEmpty());
}

void TestMainCodec::everyToneSurvives()
{
    QCOMPARE(ToneList().size(), 218);
    for (const QString &tone : ToneList())
        QCOMPARE(DecodeTone(EncodeTone(tone)).value_or(QStringLiteral("<no change>")), tone);
}

// Every entry of every drop-down list, written in a channel or box and read back, shows itself.
void TestMainCodec::everyListEntrySurvives()
{
    for (int column = col::ToneDecode; column < col::Count; ++column) {
        for (const QString &item : ChannelColumns().at(column).items) {
            TMainConfig config;
            config.SetRow(2, kExampleChannel);
            config.SetCell(2, column, item);
            const Block data = EncodeChannelBlock(config, 2);
            TMainConfig fresh;
            DecodeMainBlock(fresh, 0, 2, data);
            QVERIFY2(fresh.Row(2).mid(1) == config.Row(2).mid(1),
                     qPrintable(ChannelColumns().at(column).caption + QLatin1Char(' ') + item));
        }
    }
    for (int box = 1; box <= kSettingBoxCount; ++box) {
        for (const QString &item : SettingDefinition(box).items) {
            TMainConfig config;
            config.SetSetting(box, item);
            TMainConfig fresh;
            DecodeMainBlock(fresh, 5, 0, EncodeSettingsBlock(config));
            QCOMPARE(fresh.Setting(box), item);
        }
    }
}

void TestMainCodec::decodeChannel()
{
    TMainConfig config;
    DecodeMainBlock(config, 0, 7, RadioChannel());
    const QStringList expected{
        QStringLiteral("7"), QStringLiteral("438.50000"), QStringLiteral("439.37600"), QStringLiteral("67.0"),
        QStringLiteral("754I"), QStringLiteral("低"), QStringLiteral("窄带"), QStringLiteral("有"),
        QStringLiteral("5000"), QStringLiteral("5"), QStringLiteral("#"), QStringLiteral("BOT"),
        QStringLiteral("7"), QStringLiteral("5TONE"), QStringLiteral("16"), QStringLiteral("有")};
    QCOMPARE(config.Row(7), expected);
}

// Read into a table that held another channel there: what the decoder does not know shows
// empty, not the old texts, and goes back as the radio's own bytes.
void TestMainCodec::decodeEmptiesUnknownCodes()
{
    TMainConfig config;
    config.SetRow(3, kExampleChannel);
    config.SetCell(3, col::DtmfKey1, QStringLiteral("9"));
    // tone 0x8017, DTMF keys 0x20 and 0x10, PTT-ID 4, signalling 4: none of them known
    const Block radio = BlockFromHex("A0FA221A A0FA221A 1780 1780 FF FF FF A861 20 10 04 00 00 04 01 000000 FF");
    DecodeMainBlock(config, 0, 3, radio);
    for (int column : {col::ToneDecode, col::ToneEncode, col::DtmfKey1, col::DtmfKey2, col::PttId, col::Signalling})
        QVERIFY2(config.Cell(3, column).isEmpty(), qPrintable(config.Cell(3, column)));
    QCOMPARE(config.Cell(3, col::RxFreq), QStringLiteral("438.50000"));
    QCOMPARE(Hex(EncodeChannelBlock(config, 3)), Hex(radio));
}

void TestMainCodec::decodeSettings_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("text");
    QTest::addRow("VOX off") << 8 << 0 << int(VoxLevelBox) << "无";
    QTest::addRow("VOX 15, not in the list") << 8 << 15 << int(VoxLevelBox) << "15";
    QTest::addRow("delay") << 9 << 3 << int(VoxDelayBox) << "3";
    QTest::addRow("squelch") << 10 << 9 << int(SquelchBox) << "9";
    QTest::addRow("time-out off") << 11 << 0 << int(TimeOutBox) << "关";
    QTest::addRow("time-out 120") << 11 << 120 << int(TimeOutBox) << "120";
    QTest::addRow("voice 1") << 12 << 1 << int(VoicePromptBox) << "中文";
    QTest::addRow("voice 5") << 12 << 5 << int(VoicePromptBox) << "英文";
    QTest::addRow("PF1 code 2") << 13 << 2 << int(Pf1Box) << "监听";
    QTest::addRow("PF2 code 13") << 14 << 13 << int(Pf2Box) << "无";
    QTest::addRow("scan 1") << 15 << 1 << int(ScanBox) << "开";
    QTest::addRow("scan 2") << 15 << 2 << int(ScanBox) << "关";
    QTest::addRow("power save 0xFF") << 0 << 0xFF << int(PowerSaveBox) << "关";
    QTest::addRow("alarm 1") << 1 << 1 << int(AlarmBox) << "开";
}

void TestMainCodec::decodeSettings()
{
    QFETCH(int, offset);
    QFETCH(int, value);
    QFETCH(int, box);
    QFETCH(QString, text);
    TMainConfig config;
    config.SetSetting(box, QStringLiteral("before"));
    Block data{};
    data[offset] = static_cast<std::uint8_t>(value);
    DecodeMainBlock(config, 5, 0, data);
    QCOMPARE(config.Setting(box), text);
}

void TestMainCodec::emptyOnRead_data()
{
    QTest::addColumn<QByteArray>("rx");
    QTest::addRow("zero") << QByteArray("00000000");
    QTest::addRow("one hertz") << QByteArray("01000000");
    QTest::addRow("four hertz") << QByteArray("04000000");
}

void TestMainCodec::emptyOnRead()
{
    QFETCH(QByteArray, rx);
    TMainConfig config;
    config.SetRow(9, kExampleChannel);
    config.SetCell(9, col::Number, QStringLiteral("99"));
    Block data = RadioChannel();
    const QByteArray bytes = QByteArray::fromHex(rx);
    std::copy(bytes.begin(), bytes.end(), data.begin());
    DecodeMainBlock(config, 0, 9, data);
    QStringList expected(16, QString());
    expected[0] = QStringLiteral("99");  // the channel number is not the decoder's
    QCOMPARE(config.Row(9), expected);
}

void TestMainCodec::frequencies_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::addRow("438.5") << "438.50000" << QByteArray("A0FA221A") << "438.50000";
    QTest::addRow("typed unformatted") << "438.5" << QByteArray("A0FA221A") << "438.50000";
    QTest::addRow("whole hertz below 10") << "438.123456" << QByteArray("C03B1D1A") << "438.12346";
    QTest::addRow("zero") << "0" << QByteArray("00000000") << "";
    // Rounded up it would be past what the bytes hold, and no write would take it back.
    QTest::addRow("highest") << "4294.967295" << QByteArray("FFFFFFFF") << "4294.96729";
    QTest::addRow("highest step") << "4294.96729" << QByteArray("FAFFFFFF") << "4294.96729";
    QTest::addRow("exponent") << "4.385e2" << QByteArray("A0FA221A") << "438.50000";
}

void TestMainCodec::frequencies()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    TMainConfig config;
    config.SetRow(1, kExampleChannel);
    config.SetCell(1, col::RxFreq, text);
    const Block data = EncodeChannelBlock(config, 1);
    QCOMPARE(bytesFromBlock(data).left(4).toHex().toUpper(), bytes);
    DecodeMainBlock(config, 0, 1, data);
    QCOMPARE(config.Cell(1, col::RxFreq), shown);
    if (!shown.isEmpty())
        QVERIFY_THROWS_NO_EXCEPTION(EncodeChannelBlock(config, 1));  // what a read shows, a write takes
}

void TestMainCodec::refused_data()
{
    QTest::addColumn<Setter>("set");
    QTest::addColumn<QString>("message");
    const auto cell = [](int column, const QString &text) {
        return Setter([column, text](TMainConfig &c) { c.SetCell(5, column, text); });
    };
    const auto box = [](int b, const QString &text) {
        return Setter([b, text](TMainConfig &c) { c.SetSetting(b, text); });
    };
    const QString tone = QStringLiteral("is not a tone: use 无, a CTCSS frequency from 0 to 409.5 Hz with at "
                                        "most one decimal, or three digits followed by N or I");

    QTest::addRow("rx not a number") << cell(col::RxFreq, "abc")
                                     << "信道 5 接收频率: 'abc' is not a valid floating point value";
    QTest::addRow("rx negative") << cell(col::RxFreq, "-438.5")
                                 << "信道 5 接收频率: '-438.5' is not a frequency from 0 to 4294.967295 MHz";
    QTest::addRow("rx above 32 bits") << cell(col::RxFreq, "4294.967296")
                                      << "信道 5 接收频率: '4294.967296' is not a frequency from 0 to 4294.967295 MHz";
    QTest::addRow("rx not whole hertz") << cell(col::RxFreq, "438.1234567")
                                        << "信道 5 接收频率: '438.1234567' is not a whole number of hertz";
    QTest::addRow("tx single space") << cell(col::TxFreq, " ")
                                     << "信道 5 发射频率: ' ' is not a valid floating point value";
    QTest::addRow("tone words") << cell(col::ToneDecode, "abc") << "信道 5 QT/DQT解码: 'abc' " + tone;
    QTest::addRow("tone above 409.5") << cell(col::ToneEncode, "409.6") << "信道 5 QT/DQT编码: '409.6' " + tone;
    QTest::addRow("tone two decimals") << cell(col::ToneEncode, "88.55") << "信道 5 QT/DQT编码: '88.55' " + tone;
    QTest::addRow("tone negative") << cell(col::ToneEncode, "-88.5") << "信道 5 QT/DQT编码: '-88.5' " + tone;
    // Nothing read to keep, and 0 would be a tone of 0 Hz.
    QTest::addRow("tone empty, never read") << cell(col::ToneDecode, "") << "信道 5 QT/DQT解码: '' " + tone;
    QTest::addRow("tone single space, never read") << cell(col::ToneEncode, " ") << "信道 5 QT/DQT编码: ' ' " + tone;
    QTest::addRow("DCS two digits") << cell(col::ToneEncode, "23N") << "信道 5 QT/DQT编码: '23N' " + tone;
    QTest::addRow("DCS letter") << cell(col::ToneEncode, "0a3N") << "信道 5 QT/DQT编码: '0a3N' " + tone;
    QTest::addRow("DCS four digits") << cell(col::ToneEncode, "0234N") << "信道 5 QT/DQT编码: '0234N' " + tone;
    QTest::addRow("DCS lower case") << cell(col::ToneEncode, "023n") << "信道 5 QT/DQT编码: '023n' " + tone;
    QTest::addRow("step too big") << cell(col::Step, "65536")
                                  << "信道 5 步进频率: '65536' is not in the range 0 to 65535";
    QTest::addRow("step negative") << cell(col::Step, "-1") << "信道 5 步进频率: '-1' is not in the range 0 to 65535";
    QTest::addRow("step not a number") << cell(col::Step, "12.5k")
                                       << "信道 5 步进频率: '12.5k' is not a valid integer value";
    QTest::addRow("scrambler too big") << cell(col::Scrambler, "256")
                                       << "信道 5 扰频: '256' is not in the range 0 to 255";
    QTest::addRow("entry too big") << cell(col::SignallingEntry, "300")
                                   << "信道 5 信令信息: '300' is not in the range 0 to 255";
    QTest::addRow("entry not a number") << cell(col::SignallingEntry, "x")
                                        << "信道 5 信令信息: 'x' is not a valid integer value";
    QTest::addRow("DTMF key unknown") << cell(col::DtmfKey2, "E")
                                      << "信道 5 DTMF键2: 'E' is not one of 无, 1, 2, 3, 4, 5, 6, 7, 8, 9, *, 0, #, A, B, C, D";
    QTest::addRow("PTT-ID unknown") << cell(col::PttId, "ALL") << "信道 5 PTTID: 'ALL' is not one of 无, BOTH, BOT, EOT";
    QTest::addRow("signalling unknown") << cell(col::Signalling, "6TONE")
                                        << "信道 5 可选信令: '6TONE' is not one of DTMF, 2TONE, 5TONE, FSK";
    const QString keys = QStringLiteral("is not one of 无, 1, 2, 3, 4, 5, 6, 7, 8, 9, *, 0, #, A, B, C, D");
    QTest::addRow("DTMF key empty, never read") << cell(col::DtmfKey1, "") << "信道 5 DTMF键1: '' " + keys;
    QTest::addRow("PTT-ID single space, never read") << cell(col::PttId, " ")
                                                     << "信道 5 PTTID: ' ' is not one of 无, BOTH, BOT, EOT";
    // A cell emptied by hand after a read: the radio's code is one the table showed, so the
    // empty cell does not stand for it.
    const auto emptiedAfterRead = [](int column) {
        return Setter([column](TMainConfig &c) {
            DecodeMainBlock(c, 0, 5, RadioChannel());
            c.SetCell(5, column, QString());
        });
    };
    QTest::addRow("tone emptied after a read") << emptiedAfterRead(col::ToneEncode) << "信道 5 QT/DQT编码: '' " + tone;
    QTest::addRow("DTMF key emptied after a read") << emptiedAfterRead(col::DtmfKey2) << "信道 5 DTMF键2: '' " + keys;
    QTest::addRow("signalling emptied after a read") << emptiedAfterRead(col::Signalling)
                                                     << "信道 5 可选信令: '' is not one of DTMF, 2TONE, 5TONE, FSK";
    // A text outside a list of switch positions is not taken for one of them: "low" was written
    // as high, "off" as on.
    QTest::addRow("power in other words") << cell(col::Power, "low") << "信道 5 发射功率: 'low' is not one of 高, 低";
    QTest::addRow("bandwidth in other words") << cell(col::Bandwidth, "Narrow")
                                              << "信道 5 宽/窄: 'Narrow' is not one of 宽带, 窄带";
    QTest::addRow("scan add in other words") << cell(col::ScanAdd, "No") << "信道 5 扫描添加: 'No' is not one of 无, 有";
    QTest::addRow("compander in other words") << cell(col::Compander, "off") << "信道 5 压扩: 'off' is not one of 无, 有";
    QTest::addRow("switch in other words") << box(PowerSaveBox, "on") << "省电: 'on' is not one of 开, 关";
    QTest::addRow("voice prompt unknown") << box(VoicePromptBox, "法文") << "语音通知: '法文' is not one of 关, 中文, 英文";
    QTest::addRow("PF key unknown") << box(Pf2Box, "xyz")
                                    << "PF2: 'xyz' is not one of 无, 自动拨号, 警报音, 按键锁定, 按键锁定及备份, 监听, 监听瞬时, "
                                       "扫描, 扫描+暂时删除, 扰频器, 取消静噪, 瞬时取消静噪, 暂时删除";
    QTest::addRow("VOX too big") << box(VoxLevelBox, "256") << "VOX等级: '256' is not in the range 0 to 255";
    QTest::addRow("VOX delay words") << box(VoxDelayBox, "短") << "VOX延迟时间: '短' is not a valid integer value";
    QTest::addRow("squelch negative") << box(SquelchBox, "-1") << "静噪: '-1' is not in the range 0 to 255";
    QTest::addRow("time-out too big") << box(TimeOutBox, "300") << "超时定时器: '300' is not in the range 0 to 255";
}

void TestMainCodec::refused()
{
    QFETCH(Setter, set);
    QFETCH(QString, message);
    TMainConfig config;
    config.SetRow(5, kExampleChannel);
    config.SetCell(5, col::Number, QStringLiteral("5"));
    set(config);
    QCOMPARE(ErrorOf([&] { BuildMainImage(config); }), message);
}

void TestMainCodec::imageStopsAtFirstError()
{
    TMainConfig config;
    config.SetRow(2, kExampleChannel);
    config.SetRow(3, kExampleChannel);
    config.SetCell(3, col::Step, QStringLiteral("x"));
    config.SetSetting(VoxDelayBox, QStringLiteral("y"));
    QCOMPARE(ErrorOf([&] { BuildMainImage(config); }),
             QStringLiteral("信道 3 步进频率: 'x' is not a valid integer value"));
    config.SetCell(3, col::Step, QStringLiteral("6250"));
    QCOMPARE(ErrorOf([&] { BuildMainImage(config); }),
             QStringLiteral("VOX延迟时间: 'y' is not a valid integer value"));
    config.SetSetting(VoxDelayBox, QStringLiteral("2"));
    const MainImage image = BuildMainImage(config);
    QCOMPARE(Hex(image.channels[2]), Hex(EncodeChannelBlock(config, 3)));
    QCOMPARE(int(image.channels[2][15]), 0x6A);  // 6250 = 0x186A
    QCOMPARE(int(image.channels[0][27]), 0xFF);
    QCOMPARE(int(image.settings[9]), 2);
}

void TestMainCodec::unassignedBytesFromLastRead()
{
    TMainConfig config;
    config.SetRow(6, kExampleChannel);
    QVERIFY(!config.WasRead(0, 6));
    Block data = EncodeChannelBlock(config, 6);
    QCOMPARE(bytesFromBlock(data).mid(24, 3).toHex(), QByteArray("000000"));

    Block radio = RadioChannel();
    radio[17] = 0x30;  // unknown DTMF key code: the cell is left as it was, empty in a new row
    DecodeMainBlock(config, 0, 6, radio);
    config.SetCell(6, col::DtmfKey1, QString());
    config.SetCell(6, col::Step, QStringLiteral("12500"));
    data = EncodeChannelBlock(config, 6);
    QCOMPARE(bytesFromBlock(data).mid(24, 3).toHex(), QByteArray("112233"));
    QCOMPARE(int(data[17]), 0x30);
    QCOMPARE(bytesFromBlock(data).mid(15, 2).toHex(), QByteArray("d430"));  // what the cell says now

    Block settings{};
    for (int i = 16; i < frame::kDataSize; ++i)
        settings[i] = static_cast<std::uint8_t>(0xA0 + i);
    settings[3] = 0x77;  // bytes 2..7 are always written as zero
    DecodeMainBlock(config, 5, 0, settings);
    const QByteArray written = bytesFromBlock(EncodeSettingsBlock(config));
    QCOMPARE(written.mid(16).toHex(), QByteArray("b0b1b2b3b4b5b6b7b8b9babb"));
    QCOMPARE(written.mid(2, 6).toHex(), QByteArray("000000000000"));
}

// What a read shows, written back unchanged, gives the radio's own bytes.
void TestMainCodec::radioBlockSurvives()
{
    TMainConfig config;
    DecodeMainBlock(config, 0, 16, RadioChannel());
    QCOMPARE(Hex(EncodeChannelBlock(config, 16)), Hex(RadioChannel()));
    const Block settings = BlockFromHex("00 01 000000000000 0A 02 05 78 02 0C 07 01 0102030405060708090A0B0C");
    DecodeMainBlock(config, 5, 0, settings);
    QCOMPARE(Hex(EncodeSettingsBlock(config)), Hex(settings));
}

QTEST_GUILESS_MAIN(TestMainCodec)
#include "tst_maincodec.moc"
