#include "mainconfig/ConfigFile.h"

#include "base/Gbk.h"
#include "mainconfig/ChannelLists.h"
#include "mainconfig/ChannelRows.h"
#include "mainconfig/MainCodec.h"
#include "mainconfig/MainConfig.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <unistd.h>

namespace {

// The captions line in GBK.
const QByteArray kCaptionsGbk = QByteArray::fromHex(
    "d0c5b5c0b1e0bac52cbdd3cad5c6b5c2ca2cb7a2c9e4c6b5c2ca2c51542f445154bde2c2eb2c51542f445154b1e0c2eb2c"
    "b7a2c9e4b9a6c2ca2cbfed2fd5ad2cc9a8c3e8ccedbcd32cb2bdbdf8c6b5c2ca2c44544d46bcfc312c44544d46bcfc322c"
    "50545449442cc8c5c6b52cbfc9d1a1d0c5c1ee2cd0c5c1eed0c5cfa22cd1b9c0a9");

const QStringList kInUse{
    QStringLiteral("1"), QStringLiteral("438.50000"), QStringLiteral("438.50000"), QStringLiteral("88.5"),
    QStringLiteral("023N"), QStringLiteral("高"), QStringLiteral("宽带"), QStringLiteral("有"),
    QStringLiteral("25000"), QStringLiteral("无"), QStringLiteral("无"), QStringLiteral("无"),
    QStringLiteral("无"), QStringLiteral("DTMF"), QStringLiteral("1"), QStringLiteral("无")};

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Every text of the model, for comparing whole states.
QStringList Snapshot(const TMainConfig &config)
{
    QStringList texts;
    for (int row = 0; row < TMainConfig::kRows; ++row)
        texts << config.Row(row);
    for (int box = 1; box <= kSettingBoxCount; ++box)
        texts << config.Setting(box);
    return texts;
}

QString FileErrorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const EConfigFileError &e) {
        return e.message();
    }
    return QString();
}

// n lines of a valid file's shape: captions, channels, then settings texts.
QByteArray FileWithLines(int n, const QByteArray &lineEnd = "\r\n")
{
    QByteArray bytes;
    for (int i = 0; i < n; ++i) {
        if (i == 0)
            bytes += "c0,c1,c2";
        else if (i <= 16)
            bytes += QByteArray::number(i) + ",145.00000";
        else
            bytes += "s" + QByteArray::number(i);
        bytes += lineEnd;
    }
    return bytes;
}

}  // namespace

class TestConfigFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void saveAtStart();
    void loadThenSave();
    void channelLine();
    void oddTextsSurvive();
    void loadKeepsAlarm();
    void lineEnds_data();
    void lineEnds();
    void utf8WithMark();
    void refusedLoad_data();
    void refusedLoad();
    void missingFile();
    void refusedSave_data();
    void refusedSave();
    void saveIntoMissingFolder();
    void saveIntoReadOnlyFolder();
    void splitLine_data();
    void splitLine();
    void joinLine_data();
    void joinLine();
    void gbk();
    void radioImageSurvivesFile_data();
    void radioImageSurvivesFile();

private:
    QTemporaryDir m_dir;
    QString m_path;
};

void TestConfigFile::init()
{
    QVERIFY(m_dir.isValid());
    m_path = m_dir.filePath(QStringLiteral("test.qz"));
    QFile::remove(m_path);
}

void TestConfigFile::saveAtStart()
{
    TMainConfig config;
    SaveConfigFile(config, m_path);
    QByteArray expected = kCaptionsGbk + "\r\n";
    for (int n = 1; n <= 16; ++n)
        expected += QByteArray::number(n) + ",,,,,,,,,,,,,,,\r\n";
    expected += "\xCE\xDE\r\n"        // 无
                "1\r\n0\r\n60\r\n"
                "\xD6\xD0\xCE\xC4\r\n"  // 中文
                "\xCE\xDE\r\n\xCE\xDE\r\n"
                "\xBF\xAA\r\n\xBF\xAA\r\n";  // 开
    QCOMPARE(ReadAll(m_path), expected);
}

void TestConfigFile::loadThenSave()
{
    TMainConfig config;
    SaveConfigFile(config, m_path);
    TMainConfig loaded;
    LoadConfigFile(loaded, m_path);
    QCOMPARE(loaded.Cell(2, col::RxFreq), QStringLiteral(" "));
    QVERIFY(!loaded.IsChannelInUse(2));
    const QString second = m_dir.filePath(QStringLiteral("second.qz"));
    SaveConfigFile(loaded, second);
    const QList<QByteArray> lines = ReadAll(second).split('\n');
    QCOMPARE(lines.at(2), QByteArray("2,\" \",\" \",\" \",\" \",\" \",\" \",\" \",\" \",\" \",\" \",\" \",\" \",\" \",\" \",\" \"\r"));
    QCOMPARE(lines.at(0), kCaptionsGbk + "\r");
    TMainConfig again;
    LoadConfigFile(again, second);
    QCOMPARE(Snapshot(again), Snapshot(loaded));
}

void TestConfigFile::channelLine()
{
    TMainConfig config;
    config.SetRow(1, kInUse);
    SaveConfigFile(config, m_path);
    const QList<QByteArray> lines = ReadAll(m_path).split('\n');
    QCOMPARE(FromGbk(lines.at(1)).value_or(QString()),
             QStringLiteral("1,438.50000,438.50000,88.5,023N,高,宽带,有,25000,无,无,无,无,DTMF,1,无\r"));
    TMainConfig loaded;
    LoadConfigFile(loaded, m_path);
    QCOMPARE(loaded.Row(1), kInUse);
}

void TestConfigFile::oddTextsSurvive()
{
    TMainConfig config;
    const QStringList odd{QStringLiteral("a,b"), QStringLiteral("say \"hi\""), QStringLiteral(" lead"),
                          QStringLiteral("tab\there"), QStringLiteral("\""), QStringLiteral("x y")};
    for (int i = 0; i < odd.size(); ++i)
        config.SetCell(3, 1 + i, odd.at(i));
    config.SetSetting(VoxLevelBox, QStringLiteral(" spaced, \"as is\" "));
    SaveConfigFile(config, m_path);
    TMainConfig loaded;
    LoadConfigFile(loaded, m_path);
    for (int i = 0; i < odd.size(); ++i)
        QCOMPARE(loaded.Cell(3, 1 + i), odd.at(i));
    QCOMPARE(loaded.Setting(VoxLevelBox), QStringLiteral(" spaced, \"as is\" "));
}

void TestConfigFile::loadKeepsAlarm()
{
    TMainConfig config;
    config.SetCell(0, col::Step, QStringLiteral("步进"));
    config.SetSetting(AlarmBox, QStringLiteral("关"));
    config.SetSetting(PowerSaveBox, QStringLiteral("关"));
    SaveConfigFile(config, m_path);
    TMainConfig loaded;
    LoadConfigFile(loaded, m_path);
    QCOMPARE(loaded.Setting(AlarmBox), QStringLiteral("开"));
    QCOMPARE(loaded.Setting(PowerSaveBox), QStringLiteral("关"));
    QCOMPARE(loaded.Cell(0, col::Step), QStringLiteral("步进"));  // the first line replaces the captions
}

void TestConfigFile::lineEnds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addRow("CR LF") << FileWithLines(26);
    QTest::addRow("LF") << FileWithLines(26, "\n");
    QTest::addRow("CR") << FileWithLines(26, "\r");
    QTest::addRow("no final break") << FileWithLines(26).chopped(2);
}

void TestConfigFile::lineEnds()
{
    QFETCH(QByteArray, bytes);
    WriteAll(m_path, bytes);
    TMainConfig config;
    LoadConfigFile(config, m_path);
    QCOMPARE(config.Cell(0, 2), QStringLiteral("c2"));
    QCOMPARE(config.Cell(0, 3), QString());
    QCOMPARE(config.Cell(16, col::RxFreq), QStringLiteral("145.00000"));
    QCOMPARE(config.Setting(1), QStringLiteral("s17"));
    QCOMPARE(config.Setting(9), QStringLiteral("s25"));
}

void TestConfigFile::utf8WithMark()
{
    TMainConfig config;
    config.SetRow(1, kInUse);
    config.SetSetting(Pf1Box, QStringLiteral("按键锁定及备份"));
    QByteArray bytes("\xEF\xBB\xBF");
    for (int row = 0; row < TMainConfig::kRows; ++row)
        bytes += JoinConfigLine(config.Row(row)).toUtf8() + "\r\n";
    for (int box = 1; box <= 9; ++box)
        bytes += config.Setting(box).toUtf8() + "\r\n";
    WriteAll(m_path, bytes);
    TMainConfig loaded;
    LoadConfigFile(loaded, m_path);
    QCOMPARE(loaded.Row(1), kInUse);
    QCOMPARE(loaded.Row(0), config.Row(0));
    QCOMPARE(loaded.Setting(Pf1Box), QStringLiteral("按键锁定及备份"));
}

void TestConfigFile::refusedLoad_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    QTest::addRow("25 lines") << FileWithLines(25) << "The file has 25 lines; a configuration file has 26.";
    QTest::addRow("27 lines") << FileWithLines(27) << "The file has 27 lines; a configuration file has 26.";
    QTest::addRow("blank line at the end") << FileWithLines(26) + "\r\n"
                                           << "The file has 27 lines; a configuration file has 26.";
    QTest::addRow("one line") << QByteArray("x") << "The file has 1 line; a configuration file has 26.";
    QTest::addRow("empty") << QByteArray() << "The file has 0 lines; a configuration file has 26.";
    QTest::addRow("too large") << FileWithLines(26) + QByteArray(64 * 1024, ' ')
                               << "The file is larger than 65536 bytes; a configuration file is far smaller.";
    QTest::addRow("not GBK") << FileWithLines(26).replace("s17", "\x81\x20") << "The file is not valid GBK text.";
    QTest::addRow("NUL in a cell") << FileWithLines(26).replace("s17", QByteArray("43", 2) + QByteArray(1, '\0') + "8")
                                   << "The file contains a NUL character; it is damaged.";
    QTest::addRow("cut GBK character") << FileWithLines(26) + "\xCE" << "The file is not valid GBK text.";
    QTest::addRow("mark, then not UTF-8") << "\xEF\xBB\xBF" + FileWithLines(26).replace("s17", "\xCE\xDE")
                                          << "The file is not valid UTF-8 text.";
}

void TestConfigFile::refusedLoad()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    WriteAll(m_path, bytes);
    TMainConfig config;
    config.SetRow(5, kInUse);
    config.SetSetting(SquelchBox, QStringLiteral("7"));
    const QStringList before = Snapshot(config);
    QCOMPARE(FileErrorOf([&] { LoadConfigFile(config, m_path); }),
             QStringLiteral("Cannot open file \"%1\". %2").arg(QDir::toNativeSeparators(m_path), reason));
    QCOMPARE(Snapshot(config), before);
}

void TestConfigFile::missingFile()
{
    TMainConfig config;
    const QString path = m_dir.filePath(QStringLiteral("none.qz"));
    const QString message = FileErrorOf([&] { LoadConfigFile(config, path); });
    const QString prefix = QStringLiteral("Cannot open file \"%1\". ").arg(QDir::toNativeSeparators(path));
    QVERIFY2(message.startsWith(prefix) && message.size() > prefix.size(), qPrintable(message));
}

void TestConfigFile::refusedSave_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");  // -1: the settings box `row`
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reason");
    QTest::addRow("emoji in a cell") << 2 << int(col::Scrambler) << "🙂"
                                     << "信道 2 扰频: '🙂' cannot be written in GBK.";
    QTest::addRow("Korean in a caption") << 0 << 4 << "한" << "caption of column 4: '한' cannot be written in GBK.";
    QTest::addRow("Korean in a box") << int(Pf2Box) << -1 << "한" << "PF2: '한' cannot be written in GBK.";
    QTest::addRow("line break in a cell") << 16 << int(col::Compander) << "a\nb"
                                          << "信道 16 压扩: the text contains a line break.";
    QTest::addRow("line break in a box") << int(VoxLevelBox) << -1 << "1\r"
                                         << "VOX等级: the text contains a line break.";
}

void TestConfigFile::refusedSave()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.qz"));
    TMainConfig config;
    SaveConfigFile(config, path);
    const QByteArray old = ReadAll(path);
    if (column < 0)
        config.SetSetting(row, text);
    else
        config.SetCell(row, column, text);
    QCOMPARE(FileErrorOf([&] { SaveConfigFile(config, path); }),
             QStringLiteral("Cannot create file \"%1\". %2").arg(QDir::toNativeSeparators(path), reason));
    QCOMPARE(ReadAll(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("old.qz")});
}

void TestConfigFile::saveIntoMissingFolder()
{
    TMainConfig config;
    const QString path = m_dir.filePath(QStringLiteral("no/such/folder/x.qz"));
    const QString message = FileErrorOf([&] { SaveConfigFile(config, path); });
    const QString prefix = QStringLiteral("Cannot create file \"%1\". ").arg(QDir::toNativeSeparators(path));
    QVERIFY2(message.startsWith(prefix) && message.size() > prefix.size(), qPrintable(message));
}

void TestConfigFile::saveIntoReadOnlyFolder()
{
    if (geteuid() == 0)
        QSKIP("root writes into read-only folders");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.qz"));
    TMainConfig config;
    SaveConfigFile(config, path);
    const QByteArray old = ReadAll(path);
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    config.SetRow(1, kInUse);
    const QString message = FileErrorOf([&] { SaveConfigFile(config, path); });
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY2(message.startsWith(QStringLiteral("Cannot create file \"")), qPrintable(message));
    QCOMPARE(ReadAll(path), old);
}

void TestConfigFile::splitLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("fields");
    QTest::addRow("plain") << "1,a,b" << QStringList{"1", "a", "b"};
    QTest::addRow("empty fields") << "2,,," << QStringList{"2", "", "", ""};
    QTest::addRow("only a comma") << "," << QStringList{"", ""};
    QTest::addRow("blanks around fields") << "  a , b\t,c " << QStringList{"a", "b", "c"};
    QTest::addRow("blank splits a field") << "a b,c" << QStringList{"a", "b", "c"};
    QTest::addRow("comma then blank at the end") << "a, " << QStringList{"a"};
    QTest::addRow("quoted comma") << "\"a,b\",c" << QStringList{"a,b", "c"};
    QTest::addRow("doubled quotes") << "\"say \"\"hi\"\"\",x" << QStringList{"say \"hi\"", "x"};
    QTest::addRow("quoted space") << "1,\" \",\" \"" << QStringList{"1", " ", " "};
    QTest::addRow("text after closing quote") << "\"ab\"cd,e" << QStringList{"ab", "cd", "e"};
    QTest::addRow("unterminated quote") << "\"ab,c" << QStringList{"ab,c"};
    QTest::addRow("nothing") << "" << QStringList{};
    QTest::addRow("blanks only") << " \t " << QStringList{};
    QTest::addRow("NUL ends the line") << QStringLiteral("a,b") + QChar(0) + QStringLiteral(",c")
                                       << QStringList{"a", "b"};
}

void TestConfigFile::splitLine()
{
    QFETCH(QString, line);
    QFETCH(QStringList, fields);
    QCOMPARE(SplitConfigLine(line), fields);
}

void TestConfigFile::joinLine_data()
{
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<QString>("line");
    QTest::addRow("plain") << QStringList{"1", "438.50000", "高"} << "1,438.50000,高";
    QTest::addRow("empty") << QStringList{"2", "", ""} << "2,,";
    QTest::addRow("single space") << QStringList{"3", " "} << "3,\" \"";
    QTest::addRow("comma") << QStringList{"a,b"} << "\"a,b\"";
    QTest::addRow("quote") << QStringList{"say \"hi\""} << "\"say \"\"hi\"\"\"";
    QTest::addRow("control character") << QStringList{"a\tb"} << "\"a\tb\"";
    QTest::addRow("other punctuation") << QStringList{"宽/窄", "扫描+暂时删除", "#", "*"} << "宽/窄,扫描+暂时删除,#,*";
}

void TestConfigFile::joinLine()
{
    QFETCH(QStringList, cells);
    QFETCH(QString, line);
    QCOMPARE(JoinConfigLine(cells), line);
}

void TestConfigFile::gbk()
{
    QCOMPARE(ToGbk(QStringLiteral("中文A")).value_or("?"), QByteArray("\xD6\xD0\xCE\xC4" "A"));
    QCOMPARE(FromGbk(QByteArray("\xBF\xAA" "1")).value_or("?"), QStringLiteral("开1"));
    QVERIFY(!ToGbk(QStringLiteral("🙂")));
    QVERIFY(!FromGbk(QByteArray("\xBF")));
    const QString long_ = QString(5000, QChar(0x4E2D));  // grows the output buffer
    QCOMPARE(FromGbk(ToGbk(long_).value_or(QByteArray())).value_or(QString()), long_);
}

// A radio's main blocks, read, saved, loaded and written back, come out byte for byte.
void TestConfigFile::radioImageSurvivesFile_data()
{
    QTest::addColumn<bool>("moved");  // rows moved before the file is loaded over them
    QTest::addRow("table reset") << false;
    QTest::addRow("rows moved") << true;
}

// A file's row n goes to radio channel n with what the radio last reported for channel n in
// the bytes no text describes, whatever rows were moved before the file came.
void TestConfigFile::radioImageSurvivesFile()
{
    QFETCH(bool, moved);
    MainImage radio;
    for (int n = 1; n <= 16; ++n) {
        Block &data = radio.channels[n - 1];
        if (n % 3 == 0) {  // empty channel
            data[27] = 0xFF;
            continue;
        }
        const QByteArray used = QByteArray::fromHex("A0FA221A 8058301A 9E02 F2A2 00 FF 00 6A18 0A 20 03 05 00 01 02");
        std::copy(used.begin(), used.end(), data.begin());
        const quint32 hertz = 438500000 + 12500 * n;  // a different frequency per channel
        for (int i = 0; i < 4; ++i)
            data[i] = static_cast<std::uint8_t>(hertz >> (8 * i));
        data[24] = static_cast<std::uint8_t>(n);
        data[25] = 0x5A;
        data[26] = static_cast<std::uint8_t>(0xF0 | n);
        data[27] = 0xFF;
    }
    radio.settings = blockFromBytes(
        QByteArray::fromHex("01 00 000000000000 03 02 04 00 02 05 0B 00 DEADBEEF0102030405060708"), 0);

    TMainConfig config;
    for (int n = 1; n <= 16; ++n)
        DecodeMainBlock(config, 0, n, radio.channels[n - 1]);
    DecodeMainBlock(config, 5, 0, radio.settings);
    QCOMPARE(config.Cell(1, col::DtmfKey2), QString());  // 0x20 is not a key: the cell stayed empty
    SaveConfigFile(config, m_path);
    if (moved) {
        QVERIFY(MoveChannels(config, TChannelRange{1, 2}, 1));
        QVERIFY(DeleteChannels(config, TChannelRange{4, 1}));
    } else {
        config.Reset();
    }
    config.SetSetting(AlarmBox, QStringLiteral("关"));  // the alarm is not in the file
    LoadConfigFile(config, m_path);
    const MainImage written = BuildMainImage(config);
    for (int n = 1; n <= 16; ++n)
        QCOMPARE(bytesFromBlock(written.channels[n - 1]).toHex(' '), bytesFromBlock(radio.channels[n - 1]).toHex(' '));
    QCOMPARE(bytesFromBlock(written.settings).toHex(' '), bytesFromBlock(radio.settings).toHex(' '));
}

QTEST_GUILESS_MAIN(TestConfigFile)
#include "tst_configfile.moc"
