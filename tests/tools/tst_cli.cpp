#include "backup/BackupStore.h"
#include "cli/CliError.h"
#include "cli/CliOptions.h"
#include "cli/ConfigTable.h"
#include "cli/Interrupt.h"
#include "compare/FieldDiff.h"
#include "signalling/DtmfCodec.h"
#include "mainconfig/ChannelLists.h"
#include "mainconfig/ConfigFile.h"
#include "mainconfig/MainCodec.h"
#include "mainconfig/MainConfig.h"
#include "protocol/FactoryImage.h"
#include "protocol/Frame.h"
#include "protocol/RadioImage.h"
#include "serial/Comm.h"
#include "support/core/ProcessRun.h"
#include "support/core/RadioProcess.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <grp.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kMissingPort = QStringLiteral("/nonexistent/ttyUSB7");

using CliResult = ProcessResult;

CliResult runCli(const QStringList &args, const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    return RunProcess(QStringLiteral(XIEPIN_CLI_EXE), args, env);
}
// The xiepin-radio program the tests start.
const QString kRadioExe = QStringLiteral(XIEPIN_RADIO_EXE);

// A command line written as one string.
QStringList words(const char *line)
{
    return QString::fromUtf8(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// "" when the images are equal, else the first block that differs with both contents.
QString difference(const TRadioImage &actual, const TRadioImage &expected)
{
    for (const TRadioImage::Place &place : TRadioImage::Places()) {
        const Block &a = actual.block(place.area, place.block);
        const Block &e = expected.block(place.area, place.block);
        if (a != e)
            return QStringLiteral("area %1 block %2: %3, expected %4")
                .arg(place.area)
                .arg(place.block)
                .arg(QString::fromLatin1(bytesFromBlock(a).toHex()), QString::fromLatin1(bytesFromBlock(e).toHex()));
    }
    return QString();
}

// Bytes on the wire at 9600 baud, 8N1: 10 bits a byte.
constexpr double kMsPerByte = 1.0417;
// An answer is handled as soon as it is complete; the next frame waits for one and a half byte
// times of quiet line after it.
constexpr double kMsPerAnswer = 1.6;

double transferBoundMs(int bytes, int answers)
{
    return 1.25 * (bytes * kMsPerByte + answers * kMsPerAnswer);
}

QString saveConfig(const TMainConfig &config, const QString &dir, const QString &name)
{
    const QString path = dir + QLatin1Char('/') + name;
    SaveConfigFile(config, path);
    return path;
}

void decode(TMainConfig &config, const TRadioImage &image)
{
    for (int n = 1; n <= TMainConfig::kChannels; ++n)
        DecodeMainBlock(config, frame::kMainArea, n, image.block(frame::kMainArea, n));
    DecodeMainBlock(config, frame::kSettingsArea, 0, image.block(frame::kSettingsArea, 0));
}

// Channel data bytes 24..26 and settings bytes 16..27 belong to no text; the factory leaves them
// 0. This image gives them a pattern, and sets the alarm, so that a write shows what it keeps.
TRadioImage patternedImage(const QString &alarm)
{
    TRadioImage image = FactoryImage();
    for (int n = 1; n <= TMainConfig::kChannels; ++n) {
        Block block = image.block(frame::kMainArea, n);
        if (block == EmptyChannelBlock())
            continue;
        block[24] = static_cast<std::uint8_t>(0xA0 + n);
        block[25] = 0x5A;
        block[26] = static_cast<std::uint8_t>(n);
        image.setBlock(frame::kMainArea, n, block);
    }
    Block settings = image.block(frame::kSettingsArea, 0);
    for (int i = 16; i < frame::kDataSize; ++i)
        settings[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(0x30 + i);
    TMainConfig config;
    DecodeMainBlock(config, frame::kSettingsArea, 0, settings);
    config.SetSetting(AlarmBox, alarm);
    image.setBlock(frame::kSettingsArea, 0, EncodeSettingsBlock(config));
    return image;
}

// Display column where each cell of a table line starts (cells are two or more blanks apart).
QList<int> cellStarts(const QString &line)
{
    QList<int> starts;
    static const QRegularExpression cell(QStringLiteral("(?:^|  )(\\S(?:\\S| (?! ))*)"));
    auto it = cell.globalMatch(line);
    while (it.hasNext()) {
        const auto match = it.next();
        starts << DisplayWidth(line.left(match.capturedStart(1)));
    }
    return starts;
}

// A message that names a count of answers or a block as the radio's faults strike them, or the
// same with that number one lower: under load a resend gets one request answered twice, so a
// fault counted by replies strikes one reply earlier, and the answer sent right before the
// radio goes away is lost when the line breaks before it is read.
// prefix: the expected text is only the start of the line (a path follows).
bool matchesUnderLoad(const QString &actual, const QString &expected, bool prefix = false)
{
    const auto same = [prefix, &actual](const QString &wanted) { return prefix ? actual.startsWith(wanted) : actual == wanted; };
    if (same(expected))
        return true;
    static const QRegularExpression number(QStringLiteral("(\\((\\d+) of |block (\\d+) \\()"));
    const QRegularExpressionMatch m = number.match(expected);
    if (!m.hasMatch())
        return false;
    const int captured = m.captured(2).isEmpty() ? 3 : 2;
    const QString lower = QString::number(m.captured(captured).toInt() - 1);
    QString variant = expected;
    variant.replace(m.capturedStart(captured), m.capturedLength(captured), lower);
    return same(variant);
}

}  // namespace

class TestCli : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();

    void displayWidth_data();
    void displayWidth();
    void alignColumns();

    void usage_data();
    void usage();
    void help_data();
    void help();
    void areasOption_data();
    void areasOption();

    void ports();
    void backupRestoreRoundTrip();
    void backupFaults_data();
    void backupFaults();
    void restoreFaults_data();
    void restoreFaults();
    void portFailures_data();
    void portFailures();
    void busyPort_data();
    void busyPort();
    void unprivilegedUserToldToJoinGroup();
    void silentRadioTimesOut();
    void vanishedRadioFailsAtOnce();
    void malformedImageRefused_data();
    void malformedImageRefused();

    void readPrintsTable();
    void readWriteRoundTrip();
    void writeRefusesEmptiedCell();
    void writeKeepsAlarm_data();
    void writeKeepsAlarm();
    void writeRefusesBadText_data();
    void writeRefusesBadText();
    void showAligned();
    void controlCharactersShown_data();
    void controlCharactersShown();
    void showRefusesFile_data();
    void showRefusesFile();
    void outputLost_data();
    void outputLost();

    void verifyAfterWrite_data();
    void verifyAfterWrite();
    void writeCutShortIsRestored_data();
    void writeCutShortIsRestored();
    void interruptedVerify();
    void interruptedRead_data();
    void interruptedRead();
    void signalOutlivesItsWatch();
    void ignoredSignalStaysIgnored_data();
    void ignoredSignalStaysIgnored();
    void subsetRestoreWritesOnlyItsAreas();
    void restoreChosenAreas_data();
    void restoreChosenAreas();
    void backupChosenAreas();
    void diffWithRadio();
    void diffFiles_data();
    void diffFiles();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString newestBackup() const
    {
        const QList<TBackupEntry> entries = TBackupStore(path(QStringLiteral("data/xiepin/backups"))).List();
        return entries.isEmpty() ? QString() : entries.first().path;
    }
};

void TestCli::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    // Backups go to the test's folder, never to the user's.
    qputenv("XDG_DATA_HOME", m_dir->filePath(QStringLiteral("data")).toUtf8());
}

// ---------------------------------------------------------------- table layout

void TestCli::displayWidth_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addRow("empty") << QString() << 0;
    QTest::addRow("ascii") << QStringLiteral("438.50000") << 9;
    QTest::addRow("chinese") << QStringLiteral("发射功率") << 8;
    QTest::addRow("mixed") << QStringLiteral("DTMF键1") << 7;
    QTest::addRow("full-width colon") << QStringLiteral("PF1：") << 5;
    QTest::addRow("slash between") << QStringLiteral("宽/窄") << 5;
    QTest::addRow("combining accent") << QStringLiteral("e\u0301") << 1;
    QTest::addRow("supplementary ideograph") << QString::fromUcs4(U"\U00020000") << 2;
}

void TestCli::displayWidth()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QCOMPARE(DisplayWidth(text), width);
}

void TestCli::alignColumns()
{
    const QList<QStringList> rows{
        {QStringLiteral("信道编号"), QStringLiteral("发射功率"), QStringLiteral("压扩")},
        {QStringLiteral("1"), QStringLiteral("高"), QStringLiteral("有")},
        {QStringLiteral("12"), QString(), QString()},
    };
    QCOMPARE(AlignColumns(rows), QStringLiteral("信道编号  发射功率  压扩\n"
                                                "1         高        有\n"
                                                "12\n"));
}

// ---------------------------------------------------------------- command line

void TestCli::usage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    const struct {
        const char *args;
        const char *message;  // after "xiepin-cli: "
    } cases[] = {
        {"", "no command given; try 'xiepin-cli --help'"},
        {"erase", "unknown command 'erase'; try 'xiepin-cli --help'"},
        {"--port x", "no command given before '--port'; try 'xiepin-cli --help'"},
        {"backup --port x", "backup: -o FILE is required; try 'xiepin-cli backup --help'"},
        {"read", "read: --port is required; try 'xiepin-cli read --help'"},
        {"restore --port x", "restore: no file given; try 'xiepin-cli restore --help'"},
        {"show a.qz b.qz", "show: unexpected argument 'b.qz'; try 'xiepin-cli show --help'"},
        {"ports --port x", "ports: Unknown option 'port'; try 'xiepin-cli ports --help'"},
        {"read --port x --alarm 开", "read: Unknown option 'alarm'; try 'xiepin-cli read --help'"},
        {"write --port x a.qz --alarm on", "write: --alarm takes 开 (on) or 关 (off), not 'on'; try 'xiepin-cli write --help'"},
        {"read --port x --timeout 0",
         "read: --timeout '0' is not a number of seconds above 0 and up to 3600; try 'xiepin-cli read --help'"},
        // What the user typed is quoted as typed, also a text that looks like a place holder.
        {"read --port x --timeout %2",
         "read: --timeout '%2' is not a number of seconds above 0 and up to 3600; try 'xiepin-cli read --help'"},
        {"read --port x --timeout", "read: Missing value after '--timeout'; try 'xiepin-cli read --help'"},
        {"diff a.qz b.qz --timeout xyz",
         "diff: --timeout 'xyz' is not a number of seconds above 0 and up to 3600; try 'xiepin-cli diff --help'"},
        {"restore --port x a.img --areas dtmf --areas fsk", "restore: --areas is given more than once; try 'xiepin-cli restore --help'"},
        {"read --port x -o a.qz -o b.qz", "read: --output is given more than once; try 'xiepin-cli read --help'"},
        {"import-csv a.csv -o a.qz --start 2 --start 3", "import-csv: --start is given more than once; try 'xiepin-cli import-csv --help'"},
        {"diff", "diff: no file given; try 'xiepin-cli diff --help'"},
        {"diff a.qz", "diff: a second file or --port P is needed; try 'xiepin-cli diff --help'"},
        {"diff --port x a.qz b.qz", "diff: give --port P FILE or FILE1 FILE2, not both; try 'xiepin-cli diff --help'"},
        {"diff --no-verify a.qz b.qz", "diff: Unknown option 'no-verify'; try 'xiepin-cli diff --help'"},
        {"backup --port x -o a.img --areas radio",
         "backup: --areas: unknown area 'radio' (known: main, dtmf, fsk, twotone, fivetone); try 'xiepin-cli backup --help'"},
        {"restore --port x a.img --areas main,,dtmf",
         "restore: --areas 'main,,dtmf' has an empty item (known: main, dtmf, fsk, twotone, fivetone); try 'xiepin-cli "
         "restore --help'"},
        {"diff a.img b.img --areas", "diff: Missing value after '--areas'; try 'xiepin-cli diff --help'"},
        {"write --port x a.qz --areas main", "write: Unknown option 'areas'; try 'xiepin-cli write --help'"},
        {"import-csv a.csv", "import-csv: -o FILE is required; try 'xiepin-cli import-csv --help'"},
        {"import-csv -o a.qz", "import-csv: no file given; try 'xiepin-cli import-csv --help'"},
        {"import-csv a.csv -o a.qz --start 0", "import-csv: --start '0' is not a channel from 1 to 16; try 'xiepin-cli import-csv --help'"},
        {"import-csv a.csv -o a.qz --start 17", "import-csv: --start '17' is not a channel from 1 to 16; try 'xiepin-cli import-csv --help'"},
        {"import-csv a.csv -o a.qz --start %2", "import-csv: --start '%2' is not a channel from 1 to 16; try 'xiepin-cli import-csv --help'"},
        {"import-csv a.csv -o a.qz --start two", "import-csv: --start 'two' is not a channel from 1 to 16; try 'xiepin-cli import-csv --help'"},
        {"export-csv a.qz -o a.csv --start 2", "export-csv: Unknown option 'start'; try 'xiepin-cli export-csv --help'"},
        {"export-csv a.qz", "export-csv: -o FILE is required; try 'xiepin-cli export-csv --help'"},
        {"print a.qz b.qz -o a.pdf", "print: unexpected argument 'b.qz'; try 'xiepin-cli print --help'"},
        {"print a.qz --port x -o a.pdf", "print: Unknown option 'port'; try 'xiepin-cli print --help'"},
    };
    for (const auto &c : cases)
        QTest::addRow("%s", c.args) << words(c.args) << QStringLiteral("xiepin-cli: ") + QString::fromUtf8(c.message);
}

// A wrong command line: exit code 2, one line on stderr, nothing on stdout.
void TestCli::usage()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    const CliResult result = runCli(args);
    QCOMPARE(result.exitCode, 2);
    QCOMPARE(result.err, message + QLatin1Char('\n'));
    QCOMPARE(result.out, QString());
}

void TestCli::help_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("usageLine");
    const struct {
        const char *args;
        const char *usage;  // after "Usage: xiepin-cli "
    } cases[] = {
        {"--help", "COMMAND [OPTIONS]"},
        {"help backup", "backup --port P -o FILE [--areas LIST] [--timeout S]"},
        {"ports --help", "ports"},
        {"backup -h", "backup --port P -o FILE [--areas LIST] [--timeout S]"},
        {"restore --help", "restore --port P FILE [--areas LIST] [--no-verify] [--timeout S]"},
        {"diff --help", "diff --port P FILE [--areas LIST] [--timeout S]"},
        {"read --help", "read --port P [-o FILE.qz] [--timeout S]"},
        {"write --help", "write --port P FILE.qz [--alarm 开|关] [--no-verify] [--timeout S]"},
        {"show --help", "show FILE.qz"},
        {"import-csv --help", "import-csv IN.csv -o OUT.qz [--start N] [--base BASE.qz]"},
        {"help export-csv", "export-csv IN.qz -o OUT.csv"},
        {"print -h", "print IN.qz -o OUT.pdf"},
    };
    for (const auto &c : cases)
        QTest::addRow("%s", c.args) << words(c.args) << QStringLiteral("Usage: xiepin-cli ") + QString::fromUtf8(c.usage);
}

void TestCli::help()
{
    QFETCH(QStringList, args);
    QFETCH(QString, usageLine);
    const CliResult result = runCli(args);
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out.section(QLatin1Char('\n'), 0, 0), usageLine);
    QVERIFY(result.out.contains(QStringLiteral("Exit code 0 on success, 1 on any failure")));
    QCOMPARE(result.err, QString());
    // The overview lists every command.
    const QString command = usageLine.section(QLatin1Char(' '), 2, 2);
    if (command != QLatin1String("COMMAND"))
        QVERIFY(runCli({QStringLiteral("--help")}).out.contains(QStringLiteral("\n  ") + command + QLatin1Char(' ')));
}

// The list in any order and with repeats gives the areas once each, in the order a whole
// transfer moves them; main stands for the channels and the settings.
void TestCli::areasOption_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("areas");  // empty: refused
    QTest::addRow("all five") << "main,dtmf,fsk,twotone,fivetone" << QList<int>{0, 5, 1, 2, 3, 4};
    QTest::addRow("main") << "main" << QList<int>{0, 5};
    QTest::addRow("any order, repeats") << "fivetone,fsk,main,fsk" << QList<int>{0, 5, 2, 4};
    QTest::addRow("spaces around names") << " dtmf , twotone" << QList<int>{1, 3};
    QTest::addRow("settings alone is no name") << "settings" << QList<int>{};
    QTest::addRow("upper case") << "DTMF" << QList<int>{};
    QTest::addRow("trailing comma") << "main," << QList<int>{};
    QTest::addRow("empty") << "" << QList<int>{};
}

void TestCli::areasOption()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, areas);
    try {
        const QList<int> parsed = ParseAreaList(QStringLiteral("backup"), text);
        QVERIFY2(!areas.isEmpty(), "refused list accepted");
        QCOMPARE(parsed, areas);
        const CliOptions options = ParseCliArguments(words("xiepin-cli backup --port x -o a.img --areas") << text);
        QCOMPARE(options.areas, areas);
        QVERIFY(options.areasGiven);
    } catch (const ECliUsage &e) {
        QVERIFY2(areas.isEmpty(), qPrintable(e.message()));
        QVERIFY2(e.message().startsWith(QStringLiteral("backup: --areas")), qPrintable(e.message()));
        QCOMPARE(e.exitCode(), 2);
    }
    // Without --areas a command moves every area.
    const CliOptions plain = ParseCliArguments(words("xiepin-cli backup --port x -o a.img"));
    QCOMPARE(plain.areas, (QList<int>{0, 5, 1, 2, 3, 4}));
    QVERIFY(!plain.areasGiven);
}

// ---------------------------------------------------------------- ports, backup, restore

void TestCli::ports()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir->path());
    const QString link = path(QStringLiteral("xiepin-radio"));
    {
        RadioProcess radio(kRadioExe, path(QStringLiteral("radio")), {}, env, RadioProcess::LinkAt::Default);
        QVERIFY(radio.Started());
        const CliResult result = runCli({QStringLiteral("ports")}, env);
        QCOMPARE(result.exitCode, 0);
        const QStringList listed = result.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY2(listed.contains(link + QStringLiteral(" — 虚拟电台")), qPrintable(result.out));
        QVERIFY2(!result.err.contains(link), qPrintable(result.err));

        // A write there that did not finish is told beside the list, which stays as it was.
        const TBackupStore store;
        QString error;
        const std::optional<QString> backup = store.Save(FactoryImage(), {link, QStringLiteral("test")}, &error);
        QVERIFY2(backup, qPrintable(error));
        store.NoteUnfinishedWrite(link, *backup);
        const CliResult noted = runCli({QStringLiteral("ports")}, env);
        store.ClearUnfinishedWrite(link);
        QCOMPARE(noted.exitCode, 0);
        QCOMPARE(noted.out, result.out);
        QVERIFY2(noted.err.contains(QStringLiteral("a write on %1 did not finish; if the radio there is the same one, what it "
                                                   "held before that write is in %2; to put it back: xiepin-cli restore --port %1 %2")
                                        .arg(link, *backup)),
                 qPrintable(noted.err));
        QVERIFY(radio.Stop());
    }
    const CliResult after = runCli({QStringLiteral("ports")}, env);
    QCOMPARE(after.exitCode, 0);
    QVERIFY2(!after.out.contains(link), qPrintable(after.out));
}

// A backup of one radio restored into another one started empty leaves the second with the first
// one's memory, every block, over 9600-baud lines.
void TestCli::backupRestoreRoundTrip()
{
    const QString image = path(QStringLiteral("backup.img"));
    RadioProcess source(kRadioExe, path(QStringLiteral("source")), words("--timing"));
    QVERIFY(source.Started());
    const CliResult backup = runCli(words("backup --port") << source.Link() << QStringLiteral("-o") << image);
    QCOMPARE(backup.exitCode, 0);
    QCOMPARE(backup.lastErrLine(), QStringLiteral("saved 52 blocks to ") + image);
    QString error;
    const std::optional<TRadioImage> saved = TRadioImage::load(image, &error);
    QVERIFY2(saved, qPrintable(error));
    QCOMPARE(difference(*saved, FactoryImage()), QString());

    // Backup: "PROGRAM" and a 4-byte request for each block from the tool; the acknowledgement of
    // the handshake and a 34-byte reply for each block from the radio.
    const int blocks = TRadioImage::kBlockCount;
    const int readBytes = 7 + blocks * frame::kHeadSize + 1 + blocks * frame::kFrameSize;
    const double readBound = transferBoundMs(readBytes, 1 + blocks);
    // A figure, not a verdict: a loaded machine is slower, and scripts/bench.sh measures speed.
    qInfo("backup: %lld ms, about %.0f ms expected", backup.elapsedMs, readBound);

    RadioProcess target(kRadioExe, path(QStringLiteral("target")), words("--timing --empty"));
    QVERIFY(target.Started());
    const CliResult restore = runCli(words("restore --port") << target.Link() << image);
    QCOMPARE(restore.exitCode, 0);
    QVERIFY2(restore.err.contains(QStringLiteral("\nwrote 52 blocks to %1\n").arg(target.Link())), qPrintable(restore.err));
    QCOMPARE(restore.lastErrLine(), QStringLiteral("verified: the 52 blocks read back as written"));
    const std::optional<TRadioImage> restored = target.Stop();
    QVERIFY(restored);
    QCOMPARE(difference(*restored, FactoryImage()), QString());

    // Restore: the read for its backup, the write ("PROGRAM", 34-byte frames for all blocks but
    // the FSK area's 32-byte ones, a one-byte acknowledgement for the handshake and for every
    // block) and the read-back verify.
    const int fskBlocks = frame::blockCount(frame::kFskArea);
    const int writeBytes = 7 + blocks * frame::kFrameSize - fskBlocks * 2 + 1 + blocks;
    const double writeBound = transferBoundMs(2 * readBytes + writeBytes, 3 * (1 + blocks));
    qInfo("restore: %lld ms, about %.0f ms expected", restore.elapsedMs, writeBound);
}

void TestCli::backupFaults_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("message");  // empty: the backup completes with the right image
    // Answers are counted from 1: the handshake's acknowledgement, then the replies.
    QTest::addRow("dropped answer") << QStringLiteral("drop=5") << QString();
    QTest::addRow("split reply") << QStringLiteral("split=20") << QString();
    QTest::addRow("garbage before a reply") << QStringLiteral("garbage=30") << QString();
    QTest::addRow("reply for a block outside the area") << QStringLiteral("far-block=40") << QString();
    QTest::addRow("reply with a wrong check value") << QStringLiteral("bad-check=25") << QString();
    QTest::addRow("stray bytes after every answer") << QStringLiteral("trailing") << QString();
    // Replies are counted from 1 without the acknowledgement: 17 main replies, 4 DTMF, 3 FSK,
    // 11 two-tone, 17 five-tone.
    // The first DTMF reply, after the channels' replies showed right check values.
    QTest::addRow("reply damaged on the line") << QStringLiteral("bad-data=18") << QString();
    // The first reply, before any check value was seen right: asked for again, not taken.
    QTest::addRow("first reply damaged on the line") << QStringLiteral("bad-data=1") << QString();
    QTest::addRow("wrong block in the channels")
        << QStringLiteral("wrong-block=5")
        << QStringLiteral("xiepin-cli: incomplete read: the radio never sent area 0 block 5 (a reply carried another block number)");
    QTest::addRow("wrong block in DTMF, read by count")
        << QStringLiteral("wrong-block=19")
        << QStringLiteral("xiepin-cli: incomplete read: the radio never sent area 1 block 1 (a reply carried another block number)");
    QTest::addRow("wrong block in two-tone, read by reply")
        << QStringLiteral("wrong-block=28")
        << QStringLiteral("xiepin-cli: incomplete read: the radio never sent area 3 block 3 (a reply carried another block number)");
}

// Every fault of the virtual radio ends either with the right image or with a clear failure and
// no image file.
void TestCli::backupFaults()
{
    QFETCH(QString, fault);
    QFETCH(QString, message);
    RadioProcess radio(kRadioExe, path(QStringLiteral("radio")), words("--fault") << fault);
    QVERIFY(radio.Started());
    const QString image = path(QStringLiteral("backup.img"));
    const CliResult result = runCli(words("backup --timeout 2 -o") << image << QStringLiteral("--port") << radio.Link());
    if (message.isEmpty()) {
        QCOMPARE(result.exitCode, 0);
        QString error;
        const std::optional<TRadioImage> saved = TRadioImage::load(image, &error);
        QVERIFY2(saved, qPrintable(error));
        QCOMPARE(difference(*saved, FactoryImage()), QString());
    } else {
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(matchesUnderLoad(result.lastErrLine(), message), qPrintable(result.lastErrLine()));
        QVERIFY(!QFile::exists(image));
    }
}

void TestCli::restoreFaults_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("message");  // empty: the restore completes
    QTest::addRow("dropped acknowledgement") << QStringLiteral("drop=7") << QString();
    QTest::addRow("garbage before an acknowledgement") << QStringLiteral("garbage=30") << QString();
    QTest::addRow("stray bytes after every answer") << QStringLiteral("trailing") << QString();
    // A lost FSK acknowledgement is in the fault matrix (tst_faultmatrix), where no resend under
    // load can move the answer it strikes.
    QTest::addRow("radio gone in the read before the write")
        << QStringLiteral("disappear=10")
        << QStringLiteral("xiepin-cli: %1: the port was disconnected (10 of 18 answers came); nothing written");
    QTest::addRow("wrong block in the read before the write")
        << QStringLiteral("wrong-block=5")
        << QStringLiteral("xiepin-cli: incomplete read: the radio never sent area 0 block 5 (a reply carried another block number); nothing written");
    QTest::addRow("radio gone in the write")
        << QStringLiteral("disappear=63")
        << QStringLiteral("xiepin-cli: %1 was disconnected: 9 of 52 blocks written; the radio's contents before the write are in ");
}

void TestCli::restoreFaults()
{
    QFETCH(QString, fault);
    QFETCH(QString, message);
    const QString image = path(QStringLiteral("source.img"));
    QString error;
    QVERIFY(FactoryImage().save(image, &error));
    RadioProcess radio(kRadioExe, path(QStringLiteral("radio")), words("--empty --fault") << fault);
    QVERIFY(radio.Started());
    const CliResult result = runCli(words("restore --timeout 1 --port") << radio.Link() << image);
    if (message.isEmpty()) {
        QCOMPARE(result.exitCode, 0);
        const std::optional<TRadioImage> restored = radio.Stop();
        QVERIFY(restored);
        QCOMPARE(difference(*restored, FactoryImage()), QString());
    } else {
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(matchesUnderLoad(result.lastErrLine(), message.arg(radio.Link()), true), qPrintable(result.lastErrLine()));
    }
}

void TestCli::portFailures_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("after");  // what the line ends with after the port's failure
    const QString port = kMissingPort;
    QTest::addRow("backup") << (words("backup -o x.img --port") << port) << "";
    QTest::addRow("restore") << (words("restore IMAGE --port") << port) << "; nothing written";
    QTest::addRow("read") << (words("read --port") << port) << "";
    QTest::addRow("write") << (words("write CONFIG --port") << port) << "; nothing written";
}

// A port that does not exist: the one line of the failure and nothing else.
void TestCli::portFailures()
{
    QFETCH(QStringList, args);
    QFETCH(QString, after);
    const QString image = path(QStringLiteral("good.img"));
    QString error;
    QVERIFY(FactoryImage().save(image, &error));
    TMainConfig config;
    args.replaceInStrings(QStringLiteral("IMAGE"), image);
    args.replaceInStrings(QStringLiteral("CONFIG"), saveConfig(config, m_dir->path(), QStringLiteral("good.qz")));
    args.replaceInStrings(QStringLiteral("x.img"), path(QStringLiteral("x.img")));

    const CliResult result = runCli(args);
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.err, QStringLiteral("xiepin-cli: cannot open %1: Error opening serial port: %1: no such device. "
                                        "Is the cable plugged in?%2\n")
                             .arg(kMissingPort, after));
    QCOMPARE(result.out, QString());
    QVERIFY(!QFile::exists(path(QStringLiteral("x.img"))));
}

void TestCli::busyPort_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("end");  // of the one line
    QTest::addRow("read") << "read" << "then try again.\n";
    QTest::addRow("restore") << "restore" << "then try again; nothing written\n";
}

// A port that another program holds is refused the same way.
void TestCli::busyPort()
{
    QFETCH(QString, command);
    QFETCH(QString, end);
    RadioProcess radio(kRadioExe, path(QStringLiteral("radio")), {});
    QVERIFY(radio.Started());
    const QString image = path(QStringLiteral("image.img"));
    QString error;
    QVERIFY(FactoryImage().save(image, &error));
    TComm holder;
    holder.SetCommName(radio.Link());
    holder.OpenPort();
    QStringList args{command, QStringLiteral("--port"), radio.Link()};
    if (command == QLatin1String("restore"))
        args << image;
    const CliResult result = runCli(args);
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(result.err.startsWith(
                 QStringLiteral("xiepin-cli: cannot open %1: Error opening serial port: %1: in use by ").arg(radio.Link()))
                 && result.err.endsWith(end),
             qPrintable(result.err));
    QVERIFY2(result.err.contains(QStringLiteral("(pid %1)").arg(QCoreApplication::applicationPid())),
             qPrintable(result.err));
    holder.ClosePort();
    QCOMPARE(runCli(words("read --port") << radio.Link()).exitCode, 0);
}

// The most common first-day failure: a user outside the device's group. The command runs as
// nobody against a terminal that only root may open.
void TestCli::unprivilegedUserToldToJoinGroup()
{
    if (::geteuid() != 0)
        QSKIP("needs root to run the command line as another user");
    const group *dialout = ::getgrnam("dialout");
    QVERIFY(dialout != nullptr);
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    QVERIFY(master >= 0);
    const auto closeMaster = qScopeGuard([master] { ::close(master); });
    QVERIFY(::grantpt(master) == 0 && ::unlockpt(master) == 0);
    const QString slave = QString::fromLocal8Bit(::ptsname(master));
    QVERIFY(::chown(qPrintable(slave), 0, dialout->gr_gid) == 0);
    QVERIFY(::chmod(qPrintable(slave), 0660) == 0);

    // A copy of the program in a folder anyone may enter, wherever the build lives.
    QTemporaryDir bin;
    const QFileDevice::Permissions open = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
        | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;
    const QString cli = bin.filePath(QStringLiteral("xiepin-cli"));
    QVERIFY(QFile::setPermissions(bin.path(), open));
    QVERIFY(QFile::copy(QStringLiteral(XIEPIN_CLI_EXE), cli));
    QVERIFY(QFile::setPermissions(cli, open));

    QProcess process;
    process.start(QStringLiteral("setpriv"),
                  {"--reuid=nobody", "--regid=nogroup", "--clear-groups", cli, "read", "--port", slave});
    QVERIFY(process.waitForFinished(60000));
    const QString err = QString::fromUtf8(process.readAllStandardError());
    QCOMPARE(process.exitCode(), 1);
    QVERIFY2(err.contains(QStringLiteral("Error opening serial port: %1: permission denied. Add your user to the "
                                         "group dialout (sudo usermod -aG dialout $USER), then log out and in again.")
                              .arg(slave)),
             qPrintable(err));
}

void TestCli::silentRadioTimesOut()
{
    RadioProcess radio(kRadioExe, path(QStringLiteral("radio")), words("--fault silent"));
    QVERIFY(radio.Started());
    const CliResult result = runCli(words("read --timeout 0.7 --port") << radio.Link());
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.err, QStringLiteral("reading channels and settings\n"
                                        "xiepin-cli: no answer from the radio on %1 for 0.7 s while reading channels and settings "
                                        "(0 of 18 answers came)\n")
                             .arg(radio.Link()));
    QVERIFY2(result.elapsedMs >= 700 && result.elapsedMs < 7000, qPrintable(QString::number(result.elapsedMs)));
    QCOMPARE(result.out, QString());
}

// A radio that goes away in the middle of a read: the backup fails as soon as the port reports
// it, long before the default 10 s of silence, and leaves no image behind.
void TestCli::vanishedRadioFailsAtOnce()
{
    RadioProcess radio(kRadioExe, path(QStringLiteral("radio")), words("--fault disappear=5"));
    QVERIFY(radio.Started());
    const QString image = path(QStringLiteral("backup.img"));
    const CliResult result = runCli(words("backup -o") << image << QStringLiteral("--port") << radio.Link());
    QCOMPARE(result.exitCode, 1);
    // The handshake's acknowledgement and the replies for channels 1 to 4 came.
    QVERIFY2(matchesUnderLoad(result.lastErrLine(),
                              QStringLiteral("xiepin-cli: %1: the port was disconnected (5 of 18 answers came)").arg(radio.Link())),
             qPrintable(result.lastErrLine()));
    QVERIFY2(result.elapsedMs < 7000, qPrintable(QString::number(result.elapsedMs)));
    QVERIFY(!QFile::exists(image));
    QCOMPARE(result.out, QString());
}

void TestCli::malformedImageRefused_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("problem");
    const QByteArray good = FactoryImage().toText();
    QByteArray shortHex = good;
    shortHex.replace(QByteArray("0 2 08842C1A"), QByteArray("0 2 08842C1"));
    QByteArray swapped = good;
    swapped.replace(QByteArray("\n0 2 "), QByteArray("\n0 9 "));
    QTest::addRow("empty file") << QByteArray() << QStringLiteral("line 1: expected the header \"xiepin-image 1\", found \"\"");
    QTest::addRow("wrong version") << QByteArray(good).replace("xiepin-image 1", "xiepin-image 2")
                                   << QStringLiteral("line 1: expected the header \"xiepin-image 1\", found \"xiepin-image 2\"");
    QTest::addRow("odd hex digits") << shortHex << QStringLiteral("line 3: expected 56 hex digits, found 55");
    QTest::addRow("block out of order") << swapped << QStringLiteral("line 3: expected area 0 block 2, found area 0 block 9");
    QTest::addRow("last block missing") << good.left(good.lastIndexOf('\n', good.size() - 2) + 1)
                                        << QStringLiteral("line 53: missing the line for area 4 block 16 (the image has 51 of 52 block lines)");
}

// A malformed image is refused before the port is opened: the radio hears nothing.
void TestCli::malformedImageRefused()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, problem);
    const QString image = path(QStringLiteral("bad.img"));
    QFile file(image);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    RadioProcess radio(kRadioExe, path(QStringLiteral("radio")), words("--empty"));
    QVERIFY(radio.Started());

    const CliResult result = runCli(words("restore --port") << radio.Link() << image);
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.err, QStringLiteral("xiepin-cli: image refused, nothing sent: %1: %2\n").arg(image, problem));
    const std::optional<TRadioImage> after = radio.Stop();
    QVERIFY(after);
    QCOMPARE(difference(*after, TRadioImage()), QString());
}

// ---------------------------------------------------------------- read, write, show

void TestCli::readPrintsTable()
{
    RadioProcess radio(kRadioExe, path(QStringLiteral("radio")), RadioProcess::ImageArgs(path(QStringLiteral("radio")), patternedImage(QStringLiteral("关"))));
    QVERIFY(radio.Started());
    const CliResult printed = runCli(words("read --port") << radio.Link());
    QCOMPARE(printed.exitCode, 0);
    QCOMPARE(printed.err, QStringLiteral("reading channels and settings\nbackup: %1\n").arg(newestBackup()));
    QCOMPARE(TRadioImage::load(newestBackup(), nullptr)->contentsId(), QStringLiteral("main"));

    const QString file = path(QStringLiteral("radio.qz"));
    const CliResult saved = runCli(words("read -o") << file << QStringLiteral("--port") << radio.Link());
    QCOMPARE(saved.exitCode, 0);
    QCOMPARE(saved.lastErrLine(), QStringLiteral("saved channels and settings to %1 (the file does not hold the alarm: 报警 关)").arg(file));
    QCOMPARE(saved.out, QString());

    // The file holds what the radio holds; printing it shows the same table, without the alarm.
    TMainConfig loaded;
    LoadConfigFile(loaded, file);
    TMainConfig expected;
    decode(expected, patternedImage(QStringLiteral("关")));
    for (int row = 0; row < TMainConfig::kRows; ++row)
        for (int c = 0; c < TMainConfig::kCols; ++c)
            QCOMPARE(loaded.Cell(row, c).trimmed(), expected.Cell(row, c));
    const CliResult shown = runCli(words("show") << file);
    QCOMPARE(shown.exitCode, 0);
    QCOMPARE(printed.out, shown.out + QStringLiteral("报警         关\n"));
}

// A configuration read, saved and written back leaves the radio's memory as it was, the bytes
// that no text describes included.
// Also a tone code of a kind the tool does not know, which the file keeps as an empty cell:
// the write keeps the radio's bytes for it.
void TestCli::readWriteRoundTrip()
{
    TRadioImage start = patternedImage(QStringLiteral("关"));
    Block unknownTone = start.block(frame::kMainArea, 1);
    unknownTone[8] = 0x17;
    unknownTone[9] = 0x80;
    start.setBlock(frame::kMainArea, 1, unknownTone);
    RadioProcess radio(kRadioExe, path(QStringLiteral("radio")), RadioProcess::ImageArgs(path(QStringLiteral("radio")), start));
    QVERIFY(radio.Started());
    const QString file = path(QStringLiteral("radio.qz"));
    QCOMPARE(runCli(words("read -o") << file << QStringLiteral("--port") << radio.Link()).exitCode, 0);
    const CliResult write = runCli(words("write --port") << radio.Link() << file);
    QCOMPARE(write.exitCode, 0);
    QCOMPARE(write.err, QStringLiteral("reading channels and settings\nbackup: %3\nwriting channels and settings\n"
                                       "wrote %1 to %2 (报警 关, kept from the radio)\n"
                                       "reading channels and settings\nverified: the 17 blocks read back as written\n")
                            .arg(file, radio.Link(), newestBackup()));
    const std::optional<TRadioImage> after = radio.Stop();
    QVERIFY(after);
    QCOMPARE(difference(*after, start), QString());
}

// An empty cell in a file stands for a code the radio holds and the table cannot show. Where
// the radio holds one it can show, the cell was emptied by hand: nothing is written.
void TestCli::writeRefusesEmptiedCell()
{
    const TRadioImage start = patternedImage(QStringLiteral("关"));
    RadioProcess radio(kRadioExe, path(QStringLiteral("radio")), RadioProcess::ImageArgs(path(QStringLiteral("radio")), start));
    QVERIFY(radio.Started());
    TMainConfig config;
    decode(config, start);
    QVERIFY(!config.Cell(2, col::ToneDecode).isEmpty());
    config.SetCell(2, col::ToneDecode, QString());  // the file keeps it as a space
    const QString file = saveConfig(config, m_dir->path(), QStringLiteral("emptied.qz"));
    const CliResult write = runCli(words("write --port") << radio.Link() << file);
    QCOMPARE(write.exitCode, 1);
    QVERIFY2(write.err.endsWith(QStringLiteral("xiepin-cli: %1: 信道 2 QT/DQT解码: ' ' is not a tone: use 无, a CTCSS "
                                               "frequency from 0 to 409.5 Hz with at most one decimal, or three digits "
                                               "followed by N or I (the radio holds a value there that the empty cell "
                                               "does not show); nothing written\n")
                                    .arg(file)),
             qPrintable(write.err));
    const std::optional<TRadioImage> after = radio.Stop();
    QVERIFY(after);
    QCOMPARE(difference(*after, start), QString());
}

void TestCli::writeKeepsAlarm_data()
{
    QTest::addColumn<QString>("radioAlarm");
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("expected");
    QTest::addRow("radio off, kept") << QStringLiteral("关") << QString() << QStringLiteral("关");
    QTest::addRow("radio on, kept") << QStringLiteral("开") << QString() << QStringLiteral("开");
    QTest::addRow("radio off, set on") << QStringLiteral("关") << QStringLiteral("开") << QStringLiteral("开");
    QTest::addRow("radio on, set off") << QStringLiteral("开") << QStringLiteral("关") << QStringLiteral("关");
}

// The file changes channel 2 and the squelch; the radio keeps its alarm unless --alarm says
// otherwise, and its bytes that no text describes either way.
void TestCli::writeKeepsAlarm()
{
    QFETCH(QString, radioAlarm);
    QFETCH(QString, option);
    QFETCH(QString, expected);
    const TRadioImage start = patternedImage(radioAlarm);
    TMainConfig edited;
    decode(edited, start);
    edited.SetCell(2, col::Power, QStringLiteral("高"));
    edited.SetSetting(SquelchBox, QStringLiteral("5"));
    edited.SetSetting(AlarmBox, radioAlarm == QStringLiteral("开") ? QStringLiteral("关") : QStringLiteral("开"));  // not in the file
    const QString file = saveConfig(edited, m_dir->path(), QStringLiteral("edited.qz"));

    RadioProcess radio(kRadioExe, path(QStringLiteral("radio")), RadioProcess::ImageArgs(path(QStringLiteral("radio")), start));
    QVERIFY(radio.Started());
    QStringList args = words("write --port") << radio.Link() << file;
    if (!option.isEmpty())
        args << QStringLiteral("--alarm") << option;
    const CliResult result = runCli(args);
    QCOMPARE(result.exitCode, 0);
    QVERIFY(result.err.contains(QStringLiteral("wrote %1 to %2 (报警 %3%4)\n")
                                    .arg(file, radio.Link(), expected,
                                         option.isEmpty() ? QStringLiteral(", kept from the radio") : QString())));

    const std::optional<TRadioImage> after = radio.Stop();
    QVERIFY(after);
    TMainConfig written;
    decode(written, *after);
    TMainConfig before;
    decode(before, start);
    QCOMPARE(written.Setting(AlarmBox), expected);
    QCOMPARE(written.Setting(SquelchBox), QStringLiteral("5"));
    QCOMPARE(written.Cell(2, col::Power), QStringLiteral("高"));
    for (int c = col::RxFreq; c < col::Count; ++c)
        if (c != col::Power)
            QCOMPARE(written.Cell(2, c), before.Cell(2, c));
    const Block channel2 = after->block(frame::kMainArea, 2);
    const Block startChannel2 = start.block(frame::kMainArea, 2);
    QVERIFY(std::equal(channel2.begin() + 24, channel2.begin() + 27, startChannel2.begin() + 24));
    const Block settings = after->block(frame::kSettingsArea, 0);
    const Block startSettings = start.block(frame::kSettingsArea, 0);
    QVERIFY(std::equal(settings.begin() + 16, settings.end(), startSettings.begin() + 16));
    for (const TRadioImage::Place &place : TRadioImage::Places()) {
        const bool changed = (place.area == frame::kMainArea && place.block == 2) || place.area == frame::kSettingsArea;
        if (!changed)
            QVERIFY(after->block(place.area, place.block) == start.block(place.area, place.block));
    }
}

void TestCli::writeRefusesBadText_data()
{
    QTest::addColumn<int>("row");  // 0: the settings box in column
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::addRow("frequency") << 3 << int(col::RxFreq) << QStringLiteral("abc")
                               << QStringLiteral("信道 3 接收频率: 'abc' is not a valid floating point value");
    QTest::addRow("step") << 1 << int(col::Step) << QStringLiteral("70000")
                          << QStringLiteral("信道 1 步进频率: '70000' is not in the range 0 to 65535");
    QTest::addRow("tone") << 16 << int(col::ToneEncode) << QStringLiteral("023X")
                          << QStringLiteral("信道 16 QT/DQT编码: '023X' is not a tone: use 无, a CTCSS frequency from 0 to 409.5 Hz "
                                          "with at most one decimal, or three digits followed by N or I");
    QTest::addRow("settings") << 0 << int(TimeOutBox) << QStringLiteral("6000")
                              << QStringLiteral("超时定时器: '6000' is not in the range 0 to 255");
    // A switch written in other words was taken for the second position: "Low" went out as high.
    QTest::addRow("power in English") << 4 << int(col::Power) << QStringLiteral("Low")
                                      << QStringLiteral("信道 4 发射功率: 'Low' is not one of 高, 低");
    QTest::addRow("switch in English") << 0 << int(ScanBox) << QStringLiteral("off")
                                       << QStringLiteral("扫描: 'off' is not one of 开, 关");
    // The terminal shows the file's control characters; it does not obey them.
    QTest::addRow("control characters") << 2 << int(col::RxFreq) << QStringLiteral("\x1b[2J\x07")
                                        << QStringLiteral("信道 2 接收频率: '\\x1B[2J\\x07' is not a valid floating point value");
}

// A text that does not fit its field stops the write before the port is opened: with a port
// that does not exist the message is still the text's.
void TestCli::writeRefusesBadText()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QString, message);
    TMainConfig config;
    decode(config, FactoryImage());
    if (row == 0) {
        config.SetSetting(column, text);
    } else {
        if (!config.IsChannelInUse(row)) {
            config.SetRow(row, config.Row(1));
            config.SetCell(row, col::Number, QString::number(row));
        }
        config.SetCell(row, column, text);
    }
    const QString file = saveConfig(config, m_dir->path(), QStringLiteral("bad.qz"));
    const CliResult result = runCli(words("write --port") << kMissingPort << file);
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.err, QStringLiteral("xiepin-cli: %1: %2\n").arg(file, message));
}

// Columns start at the same screen column on every line, Chinese texts counting double.
void TestCli::showAligned()
{
    TMainConfig config;
    decode(config, FactoryImage());
    config.SetCell(9, col::RxFreq, QStringLiteral("440.00000"));
    config.SetCell(9, col::Signalling, QStringLiteral("无"));
    const QString file = saveConfig(config, m_dir->path(), QStringLiteral("aligned.qz"));
    const CliResult result = runCli(words("show") << file);
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.err, QString());

    const QStringList lines = result.out.split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 17 + 1 + 9 + 1);  // table, blank line, settings, final LF
    const QList<int> header = cellStarts(lines.at(0));
    QCOMPARE(header.size(), int(col::Count));
    QCOMPARE(lines.at(1).split(QStringLiteral("  "), Qt::SkipEmptyParts).size(), int(col::Count));
    for (int row = 1; row <= 16; ++row) {
        const QList<int> starts = cellStarts(lines.at(row));
        for (int start : starts)
            QVERIFY2(header.contains(start), qPrintable(lines.at(row)));
    }
    QVERIFY(lines.at(9).startsWith(QStringLiteral("9         440.00000")));
    QCOMPARE(cellStarts(lines.at(9)).size(), 3);  // number, frequency, signalling
    QCOMPARE(cellStarts(lines.at(9)).at(2), header.at(col::Signalling));
    QCOMPARE(lines.at(16), QStringLiteral("16"));
    QCOMPARE(lines.at(17), QString());
    QCOMPARE(lines.at(18), QStringLiteral("VOX等级      无"));
    QCOMPARE(lines.at(23), QStringLiteral("PF1          无"));
    QCOMPARE(lines.at(26), QStringLiteral("省电         开"));
}

void TestCli::controlCharactersShown_data()
{
    QTest::addColumn<QString>("line");  // {a} and {b}: two configuration files that differ
    QTest::addRow("show") << "show {b}";
    QTest::addRow("diff of two files") << "diff {a} {b}";
}

// A cell may hold control characters; printed, they are told, not obeyed.
void TestCli::controlCharactersShown()
{
    QFETCH(QString, line);
    TMainConfig edited;
    edited.SetEditText(4, col::RxFreq, QStringLiteral("438.5"));
    edited.SetCell(4, col::Signalling, QStringLiteral("\x1b]0;title\x07\x1b[2J\tend"));
    QStringList args = line.split(QLatin1Char(' '));
    args.replaceInStrings(QStringLiteral("{a}"), saveConfig(TMainConfig(), m_dir->path(), QStringLiteral("a.qz")));
    args.replaceInStrings(QStringLiteral("{b}"), saveConfig(edited, m_dir->path(), QStringLiteral("b.qz")));
    const CliResult result = runCli(args);
    const QString printed = result.out + result.err;  // show prints the table, diff refuses the text
    QVERIFY2(printed.contains(QStringLiteral("\\x1B]0;title\\x07\\x1B[2J\tend")), qPrintable(printed));
    for (const QChar c : printed)
        QVERIFY2(c == QLatin1Char('\n') || c == QLatin1Char('\t') || c.category() != QChar::Other_Control,
                 qPrintable(QString::number(c.unicode())));
}

void TestCli::showRefusesFile_data()
{
    QTest::addColumn<int>("lines");  // -1: no file
    QTest::addColumn<QString>("reason");
    QTest::addRow("missing") << -1 << QStringLiteral("No such file or directory");
    QTest::addRow("25 lines") << 25 << QStringLiteral("The file has 25 lines; a configuration file has 26.");
    QTest::addRow("27 lines") << 27 << QStringLiteral("The file has 27 lines; a configuration file has 26.");
}

void TestCli::showRefusesFile()
{
    QFETCH(int, lines);
    QFETCH(QString, reason);
    const QString file = path(QStringLiteral("wrong.qz"));
    if (lines >= 0) {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        for (int i = 0; i < lines; ++i)
            out.write("1,,,\r\n");
    }
    const CliResult result = runCli(words("show") << file);
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.err, QStringLiteral("xiepin-cli: Cannot open file \"%1\". %2\n").arg(file, reason));
    QCOMPARE(result.out, QString());
}

void TestCli::outputLost_data()
{
    QTest::addColumn<QString>("line");  // {a} and {b}: two configuration files that differ
    QTest::addRow("show") << "show {a}";
    QTest::addRow("help") << "--help";
    QTest::addRow("diff of two files") << "diff {a} {b}";
    QTest::addRow("version") << "--version";
}

// What a command prints is its result: lost on a full disk, the command has failed.
void TestCli::outputLost()
{
    QFETCH(QString, line);
    TMainConfig edited;
    edited.SetSetting(SquelchBox, QStringLiteral("7"));
    QStringList args = line.split(QLatin1Char(' '));
    args.replaceInStrings(QStringLiteral("{a}"), saveConfig(TMainConfig(), m_dir->path(), QStringLiteral("a.qz")));
    args.replaceInStrings(QStringLiteral("{b}"), saveConfig(edited, m_dir->path(), QStringLiteral("b.qz")));
    QProcess process;
    process.setStandardOutputFile(QStringLiteral("/dev/full"));
    process.start(QStringLiteral(XIEPIN_CLI_EXE), args);
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 1);
    QCOMPARE(QString::fromUtf8(process.readAllStandardError()),
             QStringLiteral("xiepin-cli: cannot write to standard output: No space left on device\n"));
}

// ---------------------------------------------------------------- safe writes, diff

namespace {

// Channel 2's power and the squelch changed, as a configuration file.
QString editedConfig(const QString &dir, const TRadioImage &start)
{
    TMainConfig edited;
    decode(edited, start);
    edited.SetCell(2, col::Power, edited.Cell(2, col::Power) == QStringLiteral("高") ? QStringLiteral("低") : QStringLiteral("高"));
    edited.SetSetting(SquelchBox, QStringLiteral("5"));
    return saveConfig(edited, dir, QStringLiteral("edited.qz"));
}

TRadioImage onlyAreas(TRadioImage image, const QList<int> &areas)
{
    for (int area : {0, 1, 2, 3, 4, 5})
        if (!areas.contains(area))
            image.dropArea(area);
    return image;
}

}  // namespace

void TestCli::verifyAfterWrite_data()
{
    QTest::addColumn<QString>("command");  // write: a .qz; restore: a DTMF-only image
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("verify");
    QTest::addColumn<QString>("blockLine");  // empty: verified
    QTest::addRow("write verified") << "write" << "" << true << "";
    QTest::addRow("restore verified") << "restore" << "" << true << "";
    // The radio's stored writes count from 1; channel 3 is the third block of a main write.
    QTest::addRow("write, channel 3 stored wrong") << "write" << "corrupt=3" << true
                                                  << "channels (area 0): channel 3 (area 0 block 3): sent ";
    QTest::addRow("write, settings stored wrong") << "write" << "corrupt=17" << true
                                                 << "settings (area 5): the settings (area 5 block 0): sent ";
    QTest::addRow("restore, DTMF block 1 stored wrong") << "restore" << "corrupt=2" << true
                                                       << "DTMF (area 1): DTMF block 1 (area 1 block 1): sent ";
    QTest::addRow("no verify, nothing noticed") << "write" << "corrupt=3" << false << "";
}

void TestCli::verifyAfterWrite()
{
    QFETCH(QString, command);
    QFETCH(QString, fault);
    QFETCH(bool, verify);
    QFETCH(QString, blockLine);
    const TRadioImage start = FactoryImage();
    QStringList radioArgs = RadioProcess::ImageArgs(path(QStringLiteral("radio")), start);
    if (!fault.isEmpty())
        radioArgs << QStringLiteral("--fault") << fault;
    RadioProcess radio(kRadioExe, path(QStringLiteral("radio")), radioArgs);
    QVERIFY(radio.Started());
    QString file = editedConfig(m_dir->path(), start);
    if (command == QLatin1String("restore")) {
        file = path(QStringLiteral("dtmf.img"));
        QString error;
        QVERIFY(onlyAreas(patternedImage(QStringLiteral("开")), {1}).save(file, &error));
    }
    QStringList args = QStringList{command, QStringLiteral("--port"), radio.Link(), file};
    if (!verify)
        args << QStringLiteral("--no-verify");
    const CliResult result = runCli(args);
    const QString blocks = command == QLatin1String("write") ? QStringLiteral("17") : QStringLiteral("4");
    if (blockLine.isEmpty()) {
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.lastErrLine().startsWith(QStringLiteral("verified")), verify);
        if (verify)
            QCOMPARE(result.lastErrLine(), QStringLiteral("verified: the %1 blocks read back as written").arg(blocks));
        return;
    }
    QCOMPARE(result.exitCode, 1);
    const QStringList lines = result.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY2(lines.size() >= 2 && lines[lines.size() - 2].startsWith(blockLine), qPrintable(result.err));
    // Sent and read differ in the one byte the radio changed.
    const QRegularExpression bytes(QStringLiteral("sent ([0-9A-F ]+), read ([0-9A-F ]+)$"));
    const auto match = bytes.match(lines[lines.size() - 2]);
    QVERIFY(match.hasMatch());
    QCOMPARE(match.captured(1).size(), 28 * 3 - 1);
    QVERIFY(match.captured(1).mid(2) == match.captured(2).mid(2) && match.captured(1).left(2) != match.captured(2).left(2));
    QVERIFY2(result.lastErrLine().startsWith(QStringLiteral("xiepin-cli: verify failed on %1: 1 of %2 blocks read back differ, first ")
                                                 .arg(radio.Link(), blocks)),
             qPrintable(result.lastErrLine()));
    QVERIFY(result.lastErrLine().contains(QStringLiteral("; to put them back: xiepin-cli restore --port %1 ").arg(radio.Link())));
}

void TestCli::writeCutShortIsRestored_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("disappear");  // frames the radio hears before its device closes
    QTest::addColumn<int>("signo");      // else: the signal sent once the DTMF write began
    QTest::addColumn<int>("againMs");    // and sent again this much later, unless negative
    QTest::addColumn<QString>("what");   // before the count of blocks written; {port}: the port
    QTest::addColumn<QString>("progress");
    const QString gone = QStringLiteral("{port} was disconnected: ");
    // write: 18 frames of the read before it, the handshake, then 5 channels.
    QTest::addRow("write") << "write" << 24 << 0 << -1 << gone << "5 of 17 blocks written";
    // restore of a whole image: 53 frames read, the handshake, 17 main blocks, 4 DTMF, 1 FSK.
    QTest::addRow("restore") << "restore" << 76 << 0 << -1 << gone << "22 of 52 blocks written";
    // How far the write got depends on when the signal lands: after the 17 main blocks.
    const QString interrupted = QStringLiteral("interrupted (while|before) writing .+ \\(area \\d\\) on {port}( \\(\\d+ of \\d+ answers came\\))?; ");
    QTest::addRow("restore, Ctrl-C") << "restore" << 0 << int(SIGINT) << -1 << interrupted << "";
    QTest::addRow("restore, SIGTERM") << "restore" << 0 << int(SIGTERM) << -1 << interrupted << "";
    QTest::addRow("restore, terminal closed") << "restore" << 0 << int(SIGHUP) << -1 << interrupted << "";
    QTest::addRow("restore, Ctrl-C held down") << "restore" << 0 << int(SIGINT) << 5 << interrupted << "";
}

// The pseudo-terminal's master closes in the middle of a write, or the command is interrupted:
// the command ends at once with the restore command, and that command brings the radio back to
// what it held before the write.
void TestCli::writeCutShortIsRestored()
{
    QFETCH(QString, command);
    QFETCH(int, disappear);
    QFETCH(int, signo);
    QFETCH(int, againMs);
    QFETCH(QString, what);
    QFETCH(QString, progress);
    const TRadioImage before = patternedImage(QStringLiteral("关"));
    QString file = editedConfig(m_dir->path(), before);
    if (command == QLatin1String("restore")) {
        file = path(QStringLiteral("other.img"));
        QString error;
        QVERIFY(TRadioImage().save(file, &error));
    }
    QStringList radioArgs = RadioProcess::ImageArgs(path(QStringLiteral("radio")), before);
    radioArgs << (signo ? QStringList{QStringLiteral("--timing")} : QStringList{QStringLiteral("--fault"), QStringLiteral("disappear=%1").arg(disappear)});
    auto radio = std::make_unique<RadioProcess>(kRadioExe, path(QStringLiteral("radio")), radioArgs);
    QVERIFY(radio->Started());
    const QString port = radio->Link();
    const QStringList args{command, QStringLiteral("--port"), port, file};
    const CliResult result = signo ? RunProcessSignalled(QStringLiteral(XIEPIN_CLI_EXE), args, QStringLiteral("writing DTMF"),
                                                         signo, againMs)
                                   : runCli(args);
    QVERIFY2(result.exitCode == 1, qPrintable(result.err));
    // Well before the 10 s time-out; the whole run (read, then the write up to the cut) takes
    // under 2 s unloaded, the bound leaves room for a loaded machine and the thread checker.
    if (!signo)
        QVERIFY2(result.elapsedMs < 5000, qPrintable(QString::number(result.elapsedMs)));
    const QRegularExpression message(QStringLiteral("^xiepin-cli: %1(?<count>\\d+ of \\d+ blocks written); the radio's contents before "
                                                    "the write are in (?<backup>\\S+); to put them back: (?<restore>xiepin-cli restore --port \\S+ \\S+)$")
                                         .arg(QString(what).replace(QStringLiteral("{port}"), QRegularExpression::escape(port))));
    const auto match = message.match(result.lastErrLine());
    QVERIFY2(match.hasMatch(), qPrintable(result.lastErrLine()));
    if (!progress.isEmpty()) {
        // The radio's last acknowledgement may go down with its device when the machine is slow
        // (seen under the thread checker): then the count is one less, and still what was heard.
        const int heard = progress.section(QLatin1Char(' '), 0, 0).toInt();
        const QString oneLess = QString(progress).replace(0, QString::number(heard).size(), QString::number(heard - 1));
        QVERIFY2(match.captured(u"count") == progress || match.captured(u"count") == oneLess, qPrintable(match.captured(u"count")));
    }
    QCOMPARE(match.captured(u"restore"), QStringLiteral("xiepin-cli restore --port %1 %2").arg(port, match.captured(u"backup")));

    // A radio on the same port holding what the cut-short write left.
    std::optional<TRadioImage> halfWritten = radio->Stop();
    QVERIFY(halfWritten);
    QVERIFY(difference(*halfWritten, before) != QString());
    QString secondBackup;
    if (!signo) {
        // Tried again and cut short again: this write's backup holds the half-written radio, so
        // the message names the first one too.
        radio = std::make_unique<RadioProcess>(kRadioExe, path(QStringLiteral("radio")),
                                               RadioProcess::ImageArgs(path(QStringLiteral("half")), *halfWritten)
                                                   << QStringLiteral("--fault") << QStringLiteral("disappear=%1").arg(disappear));
        QVERIFY(radio->Started());
        const CliResult again = runCli(args);
        QCOMPARE(again.exitCode, 1);
        const QString earlier = QStringLiteral("; an earlier write on %1 did not finish either: if this is the same radio, what it "
                                               "held before that write is in %2 (xiepin-cli restore --port %1 %2)")
                                    .arg(port, match.captured(u"backup"));
        QVERIFY2(again.lastErrLine().endsWith(earlier), qPrintable(again.lastErrLine()));
        QVERIFY(!again.lastErrLine().contains(QStringLiteral("in %1;").arg(match.captured(u"backup"))));
        secondBackup = QRegularExpression(QStringLiteral("before the write are in (\\S+);")).match(again.lastErrLine()).captured(1);
        halfWritten = radio->Stop();
        QVERIFY(halfWritten);
    }
    radio = std::make_unique<RadioProcess>(kRadioExe, path(QStringLiteral("radio")),
                                           RadioProcess::ImageArgs(path(QStringLiteral("half")), *halfWritten));
    QVERIFY(radio->Started());
    const QStringList read{QStringLiteral("read"), QStringLiteral("--port"), port};
    // The second write's backup holds the radio as the first left it: put back, it stays in doubt.
    if (!signo) {
        const CliResult putBack = runCli({QStringLiteral("restore"), QStringLiteral("--port"), port, secondBackup});
        QVERIFY2(putBack.exitCode == 0, qPrintable(putBack.err));
        QVERIFY2(putBack.err.contains(QStringLiteral("the radio may still be half written: a write on %1 did not finish").arg(port))
                     && putBack.err.contains(match.captured(u"backup")),
                 qPrintable(putBack.err));
    }
    // A write of one part that ends well leaves the rest in doubt: a read meanwhile may show a
    // half-written radio, and says so with the first backup, or a backup of its other areas.
    const QString tables = path(QStringLiteral("before.img"));
    QString error;
    QVERIFY(before.save(tables, &error));
    const CliResult dtmf = runCli({QStringLiteral("restore"), QStringLiteral("--port"), port, tables, QStringLiteral("--areas"), QStringLiteral("dtmf")});
    QVERIFY2(dtmf.exitCode == 0, qPrintable(dtmf.err));
    const std::optional<QString> rest = TBackupStore().UnfinishedWrite(port);
    const std::optional<TRadioImage> first = TRadioImage::load(match.captured(u"backup"), &error);
    QVERIFY2(first, qPrintable(error));
    QVERIFY(rest);
    QCOMPARE(*rest == match.captured(u"backup"), !first->holdsAnyOf(1));
    const std::optional<TRadioImage> restImage = TRadioImage::load(*rest, &error);
    QVERIFY2(restImage, qPrintable(error));
    QCOMPARE(difference(before.restrictedTo(*restImage), *restImage), QString());
    QVERIFY(!restImage->holdsAnyOf(1));
    const QString restoreRest = QString(match.captured(u"restore")).replace(match.captured(u"backup"), *rest);
    const CliResult readHalf = runCli(read);
    QCOMPARE(readHalf.exitCode, 0);
    const QString halfWrittenNote = QStringLiteral("what was read may be half written: a write on %1 did not finish; "
                                                   "if the radio there is the same one, what it held before that write is in %2; "
                                                   "to put it back: %3")
                                        .arg(port, *rest, restoreRest);
    QVERIFY2(readHalf.err.contains(halfWrittenNote), qPrintable(readHalf.err));
    const CliResult restore = runCli(restoreRest.split(QLatin1Char(' ')).mid(1));
    QCOMPARE(restore.exitCode, 0);
    const CliResult readWhole = runCli(read);
    QVERIFY2(!readWhole.err.contains(QStringLiteral("half written")), qPrintable(readWhole.err));
    const std::optional<TRadioImage> restored = radio->Stop();
    QVERIFY(restored);
    QCOMPARE(difference(*restored, before), QString());
    QVERIFY(!TBackupStore().UnfinishedWrite(port));  // the restore ended well: nothing left to name
}

// Ctrl-C once the write is done: the radio holds the image, and the command says the write was
// not verified instead of ending without a word, with the backup and the restore command, and
// notes the write as unfinished, as one cut short.
void TestCli::interruptedVerify()
{
    const TRadioImage image = patternedImage(QStringLiteral("开"));
    const QString file = path(QStringLiteral("image.img"));
    QString error;
    QVERIFY(image.save(file, &error));
    RadioProcess radio(kRadioExe, path(QStringLiteral("radio")),
                       RadioProcess::ImageArgs(path(QStringLiteral("radio")), FactoryImage()) << QStringLiteral("--timing"));
    QVERIFY(radio.Started());
    const CliResult result = RunProcessSignalled(QStringLiteral(XIEPIN_CLI_EXE), words("restore --port") << radio.Link() << file,
                                                 QStringLiteral("\nwrote 52 blocks"), SIGINT);
    QVERIFY2(result.exitCode == 1, qPrintable(result.err));
    QVERIFY2(result.lastErrLine().startsWith(QStringLiteral("xiepin-cli: the write is not verified: interrupted while reading")),
             qPrintable(result.lastErrLine()));
    const std::optional<QString> noted = TBackupStore().UnfinishedWrite(radio.Link());
    QVERIFY(noted);
    QVERIFY2(result.lastErrLine().endsWith(QStringLiteral("; to put them back: xiepin-cli restore --port %1 %2").arg(radio.Link(), *noted)),
             qPrintable(result.lastErrLine()));
    const std::optional<TRadioImage> written = radio.Stop();
    QVERIFY(written);
    QCOMPARE(difference(*written, image), QString());
}

void TestCli::interruptedRead_data()
{
    QTest::addColumn<QString>("command");  // {port}, {image}: an image of the radio's own memory
    QTest::addColumn<QString>("after");    // how the last line ends
    QTest::addRow("backup") << "backup --port {port} -o {out}" << "answers came)";
    QTest::addRow("read") << "read --port {port}" << "answers came)";
    QTest::addRow("diff") << "diff --port {port} {image}" << "answers came)";
    QTest::addRow("the read before a restore") << "restore --port {port} {image}" << "; nothing written";
}

// Ctrl-C during a read ends the command with a word on how far it got, and, before a write,
// that nothing was written.
void TestCli::interruptedRead()
{
    QFETCH(QString, command);
    QFETCH(QString, after);
    const QString image = path(QStringLiteral("image.img"));
    QString error;
    QVERIFY(FactoryImage().save(image, &error));
    RadioProcess radio(kRadioExe, path(QStringLiteral("radio")),
                       RadioProcess::ImageArgs(path(QStringLiteral("radio")), FactoryImage()) << QStringLiteral("--timing"));
    QVERIFY(radio.Started());
    command.replace(QStringLiteral("{port}"), radio.Link()).replace(QStringLiteral("{image}"), image);
    command.replace(QStringLiteral("{out}"), path(QStringLiteral("out.img")));
    const CliResult result = RunProcessSignalled(QStringLiteral(XIEPIN_CLI_EXE), command.split(QLatin1Char(' ')),
                                                 QStringLiteral("reading channels"), SIGINT);
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(result.lastErrLine().startsWith(QStringLiteral("xiepin-cli: interrupted ")) && result.lastErrLine().endsWith(after),
             qPrintable(result.err));
    QVERIFY(!QFile::exists(path(QStringLiteral("out.img"))));
    const std::optional<TRadioImage> memory = radio.Stop();
    QVERIFY(memory);
    QCOMPARE(difference(*memory, FactoryImage()), QString());
}

void TestCli::ignoredSignalStaysIgnored_data()
{
    QTest::addColumn<int>("signo");
    QTest::addColumn<bool>("ignored");  // by the caller, as nohup ignores SIGHUP
    for (const int signo : {SIGINT, SIGTERM, SIGHUP})
        for (const bool ignored : {false, true})
            QTest::addRow("%s, %s", strsignal(signo), ignored ? "ignored" : "default") << signo << ignored;
}

// A watched write is cancelled by the signals the caller left to end it, and goes on through
// those it chose to ignore; either way the disposition comes back when the watch ends.
void TestCli::ignoredSignalStaysIgnored()
{
    QFETCH(int, signo);
    QFETCH(bool, ignored);
    TInterruptCancels::Forget();
    const auto before = std::signal(signo, ignored ? SIG_IGN : SIG_DFL);
    int cancelled = 0;
    {
        const TInterruptCancels watch([&cancelled] { ++cancelled; });
        std::raise(signo);
        QTest::qWait(150);
        QCOMPARE(TInterruptCancels::Interrupted(), !ignored);
        QCOMPARE(cancelled, ignored ? 0 : 1);
    }
    QVERIFY(std::signal(signo, before) == (ignored ? SIG_IGN : SIG_DFL));
    TInterruptCancels::Forget();
}

// A signal that lands as a watch ends, before the watch acts on it, still stops what comes next
// (the write after its read); the same key repeated at once does not end the program.
void TestCli::signalOutlivesItsWatch()
{
    TInterruptCancels::Forget();
    {
        const TInterruptCancels watch([] {});
        std::raise(SIGINT);
        std::raise(SIGINT);
    }
    QVERIFY(TInterruptCancels::Interrupted());
    int cancelled = 0;
    {
        const TInterruptCancels next([&cancelled] { ++cancelled; });
        QTRY_COMPARE(cancelled, 1);
    }
    TInterruptCancels::Forget();
}

// A DTMF-only image writes area 1 and nothing else; the read before it reads area 1 only.
void TestCli::subsetRestoreWritesOnlyItsAreas()
{
    const TRadioImage start = FactoryImage();
    RadioProcess radio(kRadioExe, path(QStringLiteral("radio")), RadioProcess::ImageArgs(path(QStringLiteral("radio")), start));
    QVERIFY(radio.Started());
    const TRadioImage dtmf = onlyAreas(patternedImage(QStringLiteral("开")), {1});
    Block changed = dtmf.block(1, 2);
    changed[5] ^= 0xFF;
    TRadioImage subset = dtmf;
    subset.setBlock(1, 2, changed);
    const QString file = path(QStringLiteral("dtmf.img"));
    QString error;
    QVERIFY(subset.save(file, &error));
    const CliResult result = runCli(words("restore --port") << radio.Link() << file);
    QCOMPARE(result.exitCode, 0);
    QVERIFY2(!result.err.contains(QStringLiteral("channels")), qPrintable(result.err));
    QCOMPARE(TRadioImage::load(newestBackup(), nullptr)->contentsId(), QStringLiteral("dtmf"));
    TRadioImage expected = start;
    for (const auto &place : subset.heldPlaces())
        expected.setBlock(place.area, place.block, subset.block(place.area, place.block));
    const std::optional<TRadioImage> after = radio.Stop();
    QVERIFY(after);
    QCOMPARE(difference(*after, expected), QString());
}

// A whole image restored with --areas: only the areas named reach the radio, and only they are
// backed up first; an area the image lacks stops the command before the port is opened.
void TestCli::restoreChosenAreas_data()
{
    QTest::addColumn<QString>("areas");
    QTest::addColumn<QString>("imageAreas");  // of the image file: "all" or one area number
    QTest::addColumn<QList<int>>("written");
    QTest::addColumn<QString>("message");     // last line on stderr
    QTest::addRow("two signalling areas") << "twotone,dtmf" << "all" << QList<int>{1, 3}
                                          << "verified: the 15 blocks read back as written";
    QTest::addRow("main") << "main" << "all" << QList<int>{0, 5} << "verified: the 17 blocks read back as written";
    QTest::addRow("area the image lacks") << "dtmf,main" << "1" << QList<int>{}
                                          << "xiepin-cli: %1 holds no block of the channels and settings (main), nothing sent";
}

void TestCli::restoreChosenAreas()
{
    QFETCH(QString, areas);
    QFETCH(QString, imageAreas);
    QFETCH(QList<int>, written);
    QFETCH(QString, message);
    const TRadioImage start = FactoryImage();
    RadioProcess radio(kRadioExe, path(QStringLiteral("radio")), RadioProcess::ImageArgs(path(QStringLiteral("radio")), start));
    QVERIFY(radio.Started());
    TRadioImage wanted = patternedImage(QStringLiteral("开"));
    for (int block = 0; block < 4; ++block) {
        Block changed = wanted.block(1, block);
        changed[3] ^= 0x5A;
        wanted.setBlock(1, block, changed);
    }
    Block twoTone = wanted.block(3, 7);
    twoTone[0] ^= 0xFF;
    wanted.setBlock(3, 7, twoTone);
    const TRadioImage file = imageAreas == QStringLiteral("all") ? wanted : onlyAreas(wanted, {imageAreas.toInt()});
    const QString path = this->path(QStringLiteral("wanted.img"));
    QString error;
    QVERIFY(file.save(path, &error));

    const CliResult result = runCli(words("restore --port") << radio.Link() << path << QStringLiteral("--areas") << areas);
    TRadioImage expected = start;
    for (const auto &place : TRadioImage::Places())
        if (written.contains(place.area))
            expected.setBlock(place.area, place.block, wanted.block(place.area, place.block));
    QCOMPARE(result.exitCode, written.isEmpty() ? 1 : 0);
    QCOMPARE(result.lastErrLine(), message.contains(QStringLiteral("%1")) ? message.arg(path) : message);
    if (!written.isEmpty())
        QCOMPARE(TRadioImage::load(newestBackup(), nullptr)->contentsId(), onlyAreas(start, written).contentsId());
    else
        QCOMPARE(newestBackup(), QString());
    const std::optional<TRadioImage> after = radio.Stop();
    QVERIFY(after);
    QCOMPARE(difference(*after, expected), QString());
}

// backup --areas reads those areas only; the file and the backup copy hold just them.
void TestCli::backupChosenAreas()
{
    const TRadioImage start = patternedImage(QStringLiteral("关"));
    RadioProcess radio(kRadioExe, path(QStringLiteral("radio")), RadioProcess::ImageArgs(path(QStringLiteral("radio")), start));
    QVERIFY(radio.Started());
    const QString file = path(QStringLiteral("part.img"));
    const CliResult result = runCli(words("backup --areas fsk,main --port") << radio.Link() << QStringLiteral("-o") << file);
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.lastErrLine(), QStringLiteral("saved 20 blocks to ") + file);
    QVERIFY2(!result.err.contains(QStringLiteral("DTMF")), qPrintable(result.err));
    const std::optional<TRadioImage> saved = TRadioImage::load(file, nullptr);
    QVERIFY(saved);
    QCOMPARE(*saved, onlyAreas(start, {0, 5, 2}));
    QCOMPARE(saved->contentsId(), QStringLiteral("main-fsk"));
    QCOMPARE(TRadioImage::load(newestBackup(), nullptr)->contentsId(), QStringLiteral("main-fsk"));
}

// Three fields differ: three lines, exit 3. Every write the radio stored would be stored wrong
// (the corrupt fault), so a radio left as it was heard no 'W' frame.
void TestCli::diffWithRadio()
{
    const TRadioImage start = patternedImage(QStringLiteral("开"));
    RadioProcess radio(kRadioExe, path(QStringLiteral("radio")),
                       RadioProcess::ImageArgs(path(QStringLiteral("radio")), start) << words("--fault corrupt"));
    QVERIFY(radio.Started());
    TMainConfig config;
    decode(config, start);
    const QString rx = config.Cell(1, col::RxFreq);
    config.SetCell(1, col::RxFreq, QStringLiteral("439.00000"));
    config.SetCell(3, col::Bandwidth, config.Cell(3, col::Bandwidth) == QStringLiteral("宽带") ? QStringLiteral("窄带") : QStringLiteral("宽带"));
    config.SetSetting(SquelchBox, QStringLiteral("9"));
    config.SetSetting(AlarmBox, QStringLiteral("关"));  // a configuration file does not hold it
    TMainConfig radioTexts;
    decode(radioTexts, start);
    const QString file = saveConfig(config, m_dir->path(), QStringLiteral("three.qz"));

    const CliResult result = runCli(words("diff --port") << radio.Link() << file);
    QCOMPARE(result.exitCode, 3);
    QCOMPARE(result.out, QStringLiteral("信道 1 接收频率: %1 → 439.00000\n信道 3 宽/窄: %2 → %3\n静噪: %4 → 9\n")
                             .arg(rx, radioTexts.Cell(3, col::Bandwidth), config.Cell(3, col::Bandwidth),
                                  radioTexts.Setting(SquelchBox)));
    QCOMPARE(result.lastErrLine(), QStringLiteral("3 fields differ"));
    const std::optional<TRadioImage> after = radio.Stop();
    QVERIFY(after);
    QCOMPARE(difference(*after, start), QString());
}

void TestCli::diffFiles_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("areas");  // --areas; empty: not given
    QTest::addColumn<QString>("summary");  // the last line on stderr, when the files compare
    QTest::addRow("same .qz") << "a.qz" << "a.qz" << 0 << 0 << "" << "no field differs";
    QTest::addRow("two .qz") << "a.qz" << "b.qz" << 3 << 2 << "" << "2 fields differ";
    QTest::addRow(".qz and image") << "b.qz" << "a.img" << 3 << 2 << "" << "2 fields differ";
    QTest::addRow("two images") << "a.img" << "b.img" << 3 << 3 << "" << "3 fields differ";
    QTest::addRow("two images, DTMF only") << "a.img" << "b.img" << 3 << 1 << "dtmf" << "1 field differs";
    QTest::addRow("two images, main only") << "a.img" << "b.img" << 3 << 2 << "main" << "2 fields differ";
    QTest::addRow("two images, an area that does not differ") << "a.img" << "b.img" << 0 << 0 << "fivetone,fsk" << "no field differs";
    QTest::addRow(".qz holds none of the areas") << "a.qz" << "b.img" << 1 << 0 << "dtmf" << "";
    QTest::addRow("no area in common") << "a.qz" << "dtmf.img" << 1 << 0 << "" << "";
    QTest::addRow("missing file") << "a.qz" << "missing.img" << 1 << 0 << "" << "";
    QTest::addRow("image without a block") << "empty.img" << "a.img" << 1 << 0 << "" << "";
    // No cell shows the hertz below 10: the bytes are listed.
    QTest::addRow("two images 1 Hz apart") << "a.img" << "hertz.img" << 3 << 1 << "" << "1 block differs in bytes no field shows";
    // The file leaves the codes the tool does not know empty, and written keeps them.
    QTest::addRow(".qz read from a radio with codes unknown") << "unknown.qz" << "unknown.img" << 0 << 0 << "" << "no field differs";
    QTest::addRow("image with codes unknown and its .qz") << "unknown.img" << "unknown.qz" << 0 << 0 << "" << "no field differs";
}

void TestCli::diffFiles()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(int, exitCode);
    QFETCH(int, lines);
    QFETCH(QString, areas);
    QFETCH(QString, summary);
    const TRadioImage a = patternedImage(QStringLiteral("开"));
    TMainConfig config;
    decode(config, a);
    SaveConfigFile(config, path(QStringLiteral("a.qz")));
    TRadioImage b = a;
    // The DTMF rate, in images only.
    const auto dtmf = DecodeAreaTexts(1, AreaBlocks(a, 1));
    dtmf->Controls().SetText(QStringLiteral("cb1"), dtmf->Controls().Text(QStringLiteral("cb1")) == QStringLiteral("15") ? QStringLiteral("6") : QStringLiteral("15"));
    const std::vector<Block> dtmfBlocks = TDtmfCodec(static_cast<TDtmfTexts &>(*dtmf)).EncodeBlocks();
    for (int block = 0; block < 4; ++block)
        b.setBlock(1, block, dtmfBlocks[static_cast<std::size_t>(block)]);
    config.SetCell(4, col::Power, config.Cell(4, col::Power) == QStringLiteral("高") ? QStringLiteral("低") : QStringLiteral("高"));
    config.SetSetting(VoxLevelBox, QStringLiteral("3"));
    SaveConfigFile(config, path(QStringLiteral("b.qz")));
    b.setBlock(0, 4, EncodeChannelBlock(config, 4));
    b.setBlock(5, 0, EncodeSettingsBlock(config));
    QString error;
    QVERIFY(a.save(path(QStringLiteral("a.img")), &error));
    QVERIFY(b.save(path(QStringLiteral("b.img")), &error));
    QVERIFY(onlyAreas(a, {1}).save(path(QStringLiteral("dtmf.img")), &error));
    QVERIFY(TRadioImage::None().save(path(QStringLiteral("empty.img")), &error));
    TRadioImage hertz = a;
    Block receive = hertz.block(0, 5);
    receive[0] ^= 1;  // the receive frequency's lowest byte, in hertz
    hertz.setBlock(0, 5, receive);
    QVERIFY(hertz.save(path(QStringLiteral("hertz.img")), &error));
    TRadioImage unknown = a;
    Block channel = unknown.block(0, 2);
    channel[8] = 0x17;  // decode tone 0x8017: of no kind the tool knows
    channel[9] = 0x80;
    channel[17] = 0x20;  // DTMF key 1 0x20: not in its list
    unknown.setBlock(0, 2, channel);
    QVERIFY(unknown.save(path(QStringLiteral("unknown.img")), &error));
    TMainConfig read;
    decode(read, unknown);
    SaveConfigFile(read, path(QStringLiteral("unknown.qz")));

    QStringList args{QStringLiteral("diff"), path(first), path(second)};
    if (!areas.isEmpty())
        args << QStringLiteral("--areas") << areas;
    const CliResult result = runCli(args);
    QCOMPARE(result.exitCode, exitCode);
    QCOMPARE(result.out.count(QLatin1Char('\n')), lines);
    if (exitCode == 1)
        QCOMPARE(result.err.count(QLatin1Char('\n')), 1);
    else
        QCOMPARE(result.lastErrLine(), summary);
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
