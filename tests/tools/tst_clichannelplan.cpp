#include "base/Gbk.h"
#include "mainconfig/ChannelLists.h"
#include "mainconfig/ConfigFile.h"
#include "mainconfig/MainConfig.h"

#include <QDate>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct CliResult {
    int exitCode = -1;
    QString out;
    QString err;
};

// A desktop session has a runtime directory; without one the GUI module of 'print' says so.
QString g_runtimeDir;

CliResult runCli(const QStringList &args)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!g_runtimeDir.isEmpty())
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), g_runtimeDir);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(XIEPIN_CLI_EXE), args);
    CliResult result;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

// Runs a poppler tool; its standard output.
QByteArray runTool(const QString &tool, const QStringList &args)
{
    QProcess process;
    process.start(tool, args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QByteArray();
    return process.readAllStandardOutput();
}

QStringList words(const char *line)
{
    return QString::fromUtf8(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A .qz file as text, one entry per line.
QStringList qzLines(const QString &path)
{
    const std::optional<QString> text = FromGbk(readFile(path));
    return text ? text->split(QStringLiteral("\r\n")) : QStringList{QStringLiteral("<not GBK>")};
}

const char *const kCaptions = "信道编号,接收频率,发射频率,QT/DQT解码,QT/DQT编码,发射功率,宽/窄,扫描添加,步进频率,DTMF键1,DTMF键2,PTTID,扰频,可选信令,信令信息,压扩";
const char *const kStartSettings[] = {"无", "1", "0", "60", "中文", "无", "无", "开", "开"};

// Every tone mode and cross mode, each duplex, quoted commas and semicolons, more rows than
// channels, and rows that are reported.
const char *const kEveryMode =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE\r\n"
    "1,Simplex,146.520000,,0.600000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,High,\"calling, national\",,,,\r\n"
    "2,Rpt minus,145.650000,-,0.600000,Tone,103.5,88.5,023,NN,023,Tone->Tone,FM,12.50,,High,\"a; b; c\",,,,\r\n"
    "3,Rpt plus,438.500000,+,5.000000,TSQL,88.5,127.3,023,NN,023,Tone->Tone,NFM,12.50,,Low,,,,,\r\n"
    "4,Split,145.000000,split,435.125000,DTCS,88.5,88.5,754,NR,023,Tone->Tone,FM,25.00,S,5W,,,,,\r\n"
    "5,Off,446.006250,off,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,NFM,6.25,,1W,,,,,\r\n"
    "6,X1,440.000000,,0,Cross,100.0,123.0,023,NN,023,Tone->Tone,FM,10.00,,Mid,,,,,\r\n"
    "7,X2,440.100000,,0,Cross,67.0,88.5,065,NR,125,Tone->DTCS,FM,25.00,,High,,,,,\r\n"
    "8,X3,440.200000,,0,Cross,88.5,71.9,065,RN,023,DTCS->Tone,FM,25.00,,High,,,,,\r\n"
    "9,X4,440.300000,,0,Cross,88.5,88.5,411,RN,023,DTCS->,FM,25.00,,High,,,,,\r\n"
    "10,X5,440.400000,,0,Cross,88.5,88.5,023,NR,331,->DTCS,FM,25.00,,High,,,,,\r\n"
    "11,X6,440.500000,,0,Cross,88.5,82.5,023,NN,023,->Tone,FM,25.00,,High,,,,,\r\n"
    "12,X7,440.600000,,0,Cross,88.5,88.5,023,RR,754,DTCS->DTCS,FM,25.00,,High,,,,,\r\n"
    "13,Air,118.100000,,0,,88.5,88.5,023,NN,023,Tone->Tone,AM,25.00,,High,,,,,\r\n"
    "14,Rev,145.500000,,0,TSQL-R,88.5,88.5,023,NN,023,Tone->Tone,FM,25.00,,High,,,,,\r\n"
    "15,Odd,145.525000,,0,Tone,88.7,88.5,023,NN,023,Tone->Tone,FM,2.50,,Low,,,,,\r\n"
    "16,Round,145.531251,,0,,88.5,88.5,023,NN,023,Tone->Tone,FM,25.00,,High,,,,,\r\n"
    "17,Last,145.600000,,0,,88.5,88.5,023,NN,023,Tone->Tone,FM,25.00,S,L,,,,,\r\n"
    "18,Extra,145.700000,,0,,88.5,88.5,023,NN,023,Tone->Tone,FM,25.00,,High,,,,,\r\n";

const char *const kEveryModeQz[] = {
    "1,146.52000,146.52000,无,无,高,宽带,有,5000,无,无,无,无,DTMF,1,无",
    "2,145.65000,145.05000,无,103.5,高,宽带,有,12500,无,无,无,无,DTMF,1,无",
    "3,438.50000,443.50000,127.3,127.3,低,窄带,有,12500,无,无,无,无,DTMF,1,无",
    "4,145.00000,435.12500,754I,754N,高,宽带,无,25000,无,无,无,无,DTMF,1,无",
    "5,446.00625,446.00625,无,无,低,窄带,有,6250,无,无,无,无,DTMF,1,无",
    "6,440.00000,440.00000,123.0,100.0,高,宽带,有,10000,无,无,无,无,DTMF,1,无",
    "7,440.10000,440.10000,125I,67.0,高,宽带,有,25000,无,无,无,无,DTMF,1,无",
    "8,440.20000,440.20000,71.9,065I,高,宽带,有,25000,无,无,无,无,DTMF,1,无",
    "9,440.30000,440.30000,无,411I,高,宽带,有,25000,无,无,无,无,DTMF,1,无",
    "10,440.40000,440.40000,331I,无,高,宽带,有,25000,无,无,无,无,DTMF,1,无",
    "11,440.50000,440.50000,82.5,无,高,宽带,有,25000,无,无,无,无,DTMF,1,无",
    "12,440.60000,440.60000,754I,023I,高,宽带,有,25000,无,无,无,无,DTMF,1,无",
    "13,145.50000,145.50000,无,无,高,宽带,有,25000,无,无,无,无,DTMF,1,无",
    "14,145.52500,145.52500,无,88.7,低,宽带,有,25000,无,无,无,无,DTMF,1,无",
    "15,145.53125,145.53125,无,无,高,宽带,有,25000,无,无,无,无,DTMF,1,无",
    "16,145.60000,145.60000,无,无,低,宽带,无,25000,无,无,无,无,DTMF,1,无",
};

const char *const kEveryModeReports[] = {
    "line 6: transmit off is not supported; the channel transmits on its receive frequency",
    "line 14: mode AM is not supported; the row is not imported",
    "line 15: tone mode TSQL-R is not supported; no tones",
    "line 16: rToneFreq: 88.7 is not in the tone list; imported as it is",
    "line 16: step 2.50 kHz is not supported; 25000 used",
    "line 17: frequency 145.531251 rounded to 145.53125",
    "line 19: no channel is left after channel 16; the row is not imported",
};

QStringList everyModeQz()
{
    QStringList lines{QString::fromUtf8(kCaptions)};
    for (const char *line : kEveryModeQz)
        lines << QString::fromUtf8(line);
    for (const char *setting : kStartSettings)
        lines << QString::fromUtf8(setting);
    return lines << QString();  // after the last CR LF
}

}  // namespace

class TestCliChannelPlan : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void usage_data();
    void usage();
    void help_data();
    void help();
    void importEveryMode();
    void importOntoBase();
    void importRefused_data();
    void importRefused();
    void exportThenImport();
    void exportRefusesBadCell();
    void printPdf();
    void printRefusesPlace();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestCliChannelPlan::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    g_runtimeDir = m_dir->path();
}

void TestCliChannelPlan::usage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    const struct {
        const char *args;
        const char *message;  // after "xiepin-cli: "
    } cases[] = {
        {"import-csv a.csv", "import-csv: -o FILE is required; try 'xiepin-cli import-csv --help'"},
        {"import-csv -o a.qz", "import-csv: no file given; try 'xiepin-cli import-csv --help'"},
        {"import-csv a.csv -o a.qz --start 0", "import-csv: --start '0' is not a channel from 1 to 16; try 'xiepin-cli import-csv --help'"},
        {"import-csv a.csv -o a.qz --start 17", "import-csv: --start '17' is not a channel from 1 to 16; try 'xiepin-cli import-csv --help'"},
        {"import-csv a.csv -o a.qz --start two", "import-csv: --start 'two' is not a channel from 1 to 16; try 'xiepin-cli import-csv --help'"},
        {"export-csv a.qz -o a.csv --start 2", "export-csv: Unknown option 'start'; try 'xiepin-cli export-csv --help'"},
        {"export-csv a.qz", "export-csv: -o FILE is required; try 'xiepin-cli export-csv --help'"},
        {"print a.qz b.qz -o a.pdf", "print: unexpected argument 'b.qz'; try 'xiepin-cli print --help'"},
        {"print a.qz --port x -o a.pdf", "print: Unknown option 'port'; try 'xiepin-cli print --help'"},
    };
    for (const auto &c : cases)
        QTest::addRow("%s", c.args) << words(c.args) << QStringLiteral("xiepin-cli: ") + QString::fromUtf8(c.message);
}

void TestCliChannelPlan::usage()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    const CliResult result = runCli(args);
    QCOMPARE(result.exitCode, 2);
    QCOMPARE(result.err, message + QLatin1Char('\n'));
    QCOMPARE(result.out, QString());
}

void TestCliChannelPlan::help_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("usageLine");
    QTest::addRow("import-csv") << words("import-csv --help")
                                << QStringLiteral("Usage: xiepin-cli import-csv IN.csv -o OUT.qz [--start N] [--base BASE.qz]");
    QTest::addRow("export-csv") << words("help export-csv") << QStringLiteral("Usage: xiepin-cli export-csv IN.qz -o OUT.csv");
    QTest::addRow("print") << words("print -h") << QStringLiteral("Usage: xiepin-cli print IN.qz -o OUT.pdf");
}

void TestCliChannelPlan::help()
{
    QFETCH(QStringList, args);
    QFETCH(QString, usageLine);
    const CliResult result = runCli(args);
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out.section(QLatin1Char('\n'), 0, 0), usageLine);
    QCOMPARE(result.err, QString());
    // The overview lists the command too.
    const QString command = usageLine.section(QLatin1Char(' '), 2, 2);
    QVERIFY(runCli({QStringLiteral("--help")}).out.contains(QStringLiteral("\n  ") + command + QLatin1Char(' ')));
}

void TestCliChannelPlan::importEveryMode()
{
    const QString csv = path(QStringLiteral("every.csv"));
    const QString qz = path(QStringLiteral("every.qz"));
    writeFile(csv, kEveryMode);
    const CliResult result = runCli(QStringList{QStringLiteral("import-csv"), csv, QStringLiteral("-o"), qz});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out, QString());
    QStringList expectedErr;
    for (const char *report : kEveryModeReports)
        expectedErr << csv + QStringLiteral(": ") + QString::fromUtf8(report);
    expectedErr << QStringLiteral("imported channels 1 to 16 into %1 (7 reports)").arg(qz) << QString();
    QCOMPARE(result.err.split(QLatin1Char('\n')), expectedErr);
    QCOMPARE(qzLines(qz), everyModeQz());
}

// An old 17-column file with a byte-order mark, LF line ends and ragged rows, from channel 15
// of an existing file: the rest of that file stays as it was, settings included.
void TestCliChannelPlan::importOntoBase()
{
    TMainConfig base;
    base.SetRow(1, QString::fromUtf8("1,430.00000,430.00000,88.5,023N,低,宽带,有,25000,1,2,BOT,3,FSK,4,有").split(QLatin1Char(',')));
    base.SetRow(16, QString::fromUtf8("16,431.00000,431.00000,无,无,高,宽带,有,25000,无,无,无,无,DTMF,1,无").split(QLatin1Char(',')));
    base.SetSetting(SquelchBox, QStringLiteral("5"));
    base.SetSetting(Pf1Box, QStringLiteral("监听"));
    const QString baseFile = path(QStringLiteral("base.qz"));
    SaveConfigFile(base, baseFile);

    const QString csv = path(QStringLiteral("old.csv"));
    writeFile(csv, "\xEF\xBB\xBF"
                   "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,Mode,TStep,Skip,Comment,URCALL,RPT1CALL,RPT2CALL\n"
                   "0,Short,145.500000,+,0.600000,Cross,100.0,123.0\n"
                   "1,Long,145.600000,,0,DTCS,88.5,88.5,051,RN,NFM,6.25,S,,,,,extra,fields\n"
                   "2,Third,145.700000,,0,,88.5,88.5,023,NN,FM,25.00,,,,,\n");
    const QString qz = path(QStringLiteral("out.qz"));
    const CliResult result = runCli(QStringList{QStringLiteral("import-csv"), csv, QStringLiteral("-o"), qz,
                                                QStringLiteral("--start"), QStringLiteral("15"), QStringLiteral("--base"), baseFile});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.err, QStringLiteral("%1: line 4: no channel is left after channel 16; the row is not imported\n"
                                        "imported channels 15 to 16 into %2 (1 report)\n")
                             .arg(csv, qz));

    // What the base file gives when loaded and saved again (empty fields load as single spaces).
    TMainConfig loaded;
    LoadConfigFile(loaded, baseFile);
    const QString again = path(QStringLiteral("again.qz"));
    SaveConfigFile(loaded, again);
    QStringList expected = qzLines(again);
    expected[15] = QStringLiteral("15,145.50000,146.10000,123.0,100.0,高,宽带,有,25000,无,无,无,无,DTMF,1,无");
    expected[16] = QStringLiteral("16,145.60000,145.60000,051N,051I,高,窄带,无,6250,无,无,无,无,DTMF,1,无");
    QCOMPARE(qzLines(qz), expected);
    QCOMPARE(expected.at(1), QStringLiteral("1,430.00000,430.00000,88.5,023N,低,宽带,有,25000,1,2,BOT,3,FSK,4,有"));
    QCOMPARE(expected.at(19), QStringLiteral("5"));
}

void TestCliChannelPlan::importRefused_data()
{
    QTest::addColumn<QByteArray>("csv");  // empty: no file
    QTest::addColumn<QString>("reason");
    QTest::addRow("missing") << QByteArray() << QStringLiteral("Cannot open file \"%1\". No such file or directory");
    QTest::addRow("no Frequency column")
        << QByteArray("Location,Name,Freq\r\n1,x,145.5\r\n")
        << QStringLiteral("Cannot read file \"%1\". The file has no header line naming a Frequency column.");
    QTest::addRow("not text") << QByteArray("Frequency\r\n\xFF\xFE\xFF\r\n")
                              << QStringLiteral("Cannot read file \"%1\". The file is neither UTF-8 nor GBK text.");
}

// Nothing could be read: exit 1, one line, no file written.
void TestCliChannelPlan::importRefused()
{
    QFETCH(QByteArray, csv);
    QFETCH(QString, reason);
    const QString in = path(QStringLiteral("in.csv"));
    if (!csv.isEmpty())
        writeFile(in, csv);
    const QString qz = path(QStringLiteral("out.qz"));
    const CliResult result = runCli(QStringList{QStringLiteral("import-csv"), in, QStringLiteral("-o"), qz});
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.err, QStringLiteral("xiepin-cli: ") + reason.arg(in) + QLatin1Char('\n'));
    QVERIFY(!QFile::exists(qz));
}

void TestCliChannelPlan::exportThenImport()
{
    const QString csv = path(QStringLiteral("every.csv"));
    const QString qz = path(QStringLiteral("every.qz"));
    writeFile(csv, kEveryMode);
    QCOMPARE(runCli(QStringList{QStringLiteral("import-csv"), csv, QStringLiteral("-o"), qz}).exitCode, 0);

    const QString exported = path(QStringLiteral("exported.csv"));
    const CliResult result = runCli(QStringList{QStringLiteral("export-csv"), qz, QStringLiteral("-o"), exported});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.err, QString());
    const QStringList lines = QString::fromUtf8(readFile(exported)).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 1 + 16 + 1);
    QCOMPARE(lines.at(4), QStringLiteral("4,CH4,145.000000,split,435.125000,DTCS,88.5,88.5,754,NR,023,Tone->Tone,FM,25.00,S,High,"
                                         ",,,,,无,无,无,无,DTMF,1,无"));
    QCOMPARE(lines.at(8), QStringLiteral("8,CH8,440.200000,,0.000000,Cross,88.5,71.9,065,RN,023,DTCS->Tone,FM,25.00,,High,"
                                         ",,,,,无,无,无,无,DTMF,1,无"));

    // Read back, the table is the same file.
    const QString back = path(QStringLiteral("back.qz"));
    const CliResult again = runCli(QStringList{QStringLiteral("import-csv"), exported, QStringLiteral("-o"), back});
    QCOMPARE(again.exitCode, 0);
    QCOMPARE(readFile(back), readFile(qz));
    // Only the tone that is not in the list is said again.
    QCOMPARE(again.err.count(QStringLiteral(": line ")), 1);
}

void TestCliChannelPlan::exportRefusesBadCell()
{
    TMainConfig config;
    config.SetRow(3, QString::fromUtf8("3,145.00000,145.00000,无,无,高,宽带,有,fast,无,无,无,无,DTMF,1,无").split(QLatin1Char(',')));
    const QString qz = path(QStringLiteral("bad.qz"));
    SaveConfigFile(config, qz);
    const QString out = path(QStringLiteral("bad.csv"));
    const CliResult result = runCli(QStringList{QStringLiteral("export-csv"), qz, QStringLiteral("-o"), out});
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.err, QStringLiteral("xiepin-cli: %1: 信道 3 步进频率: 'fast' is not a valid floating point value\n").arg(qz));
    QVERIFY(!QFile::exists(out));
}

void TestCliChannelPlan::printPdf()
{
    const QString csv = path(QStringLiteral("every.csv"));
    const QString qz = path(QStringLiteral("every.qz"));
    writeFile(csv, kEveryMode);
    QCOMPARE(runCli(QStringList{QStringLiteral("import-csv"), csv, QStringLiteral("-o"), qz}).exitCode, 0);
    const QString pdf = path(QStringLiteral("plan.pdf"));
    const QDate day = QDate::currentDate();
    const CliResult result = runCli(QStringList{QStringLiteral("print"), qz, QStringLiteral("-o"), pdf});
    QCOMPARE(result.exitCode, 0);
    QVERIFY2(!result.err.contains(QStringLiteral("xiepin-cli:")), qPrintable(result.err));

    const QString info = QString::fromUtf8(runTool(QStringLiteral("pdfinfo"), {pdf}));
    const QRegularExpressionMatch size =
        QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+) pts \\(A4\\)")).match(info);
    QVERIFY2(size.hasMatch(), qPrintable(info));
    QVERIFY(size.captured(1).toDouble() > size.captured(2).toDouble());  // landscape
    QVERIFY(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
    const QString fonts = QString::fromUtf8(runTool(QStringLiteral("pdffonts"), {pdf}));
    QVERIFY2(fonts.contains(QStringLiteral("CJK")), qPrintable(fonts));
    // Every font embedded: the column "emb", fifth from the end of each font's line.
    for (const QString &line : fonts.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(2)) {
        const QStringList columns = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QVERIFY2(columns.size() > 5 && columns.at(columns.size() - 5) == QLatin1String("yes"), qPrintable(line));
    }

    // The CJK font shares glyphs with the Kangxi radicals, which the text layer may name
    // instead; compatibility normalisation maps them back.
    const QString text = QString::fromUtf8(runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")}))
                             .normalized(QString::NormalizationForm_KC);
    QStringList missing;
    QStringList wanted{QStringLiteral("对讲机写频软件 V1.1.4"), QStringLiteral("every.qz")};
    if (!text.contains(day.toString(Qt::ISODate)) && !text.contains(day.addDays(1).toString(Qt::ISODate)))
        missing << QStringLiteral("the date");
    wanted << QString::fromUtf8(kCaptions).split(QLatin1Char(','));
    for (const char *line : kEveryModeQz) {
        const QStringList cells = QString::fromUtf8(line).split(QLatin1Char(','));
        wanted << cells.at(col::RxFreq) << cells.at(col::TxFreq) << cells.at(col::ToneDecode) << cells.at(col::ToneEncode);
    }
    for (int box = VoxLevelBox; box < AlarmBox; ++box)
        wanted << SettingPlaceName(box);
    for (const QString &w : wanted)
        if (!text.contains(w))
            missing << w;
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(" | ")) + QStringLiteral("\n") + text));

    // The page as a picture: landscape, with the table drawn in its upper part.
    const QString png = path(QStringLiteral("plan"));
    runTool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("60"), QStringLiteral("-png"),
                                         QStringLiteral("-singlefile"), pdf, png});
    const QImage page(png + QStringLiteral(".png"));
    QVERIFY(!page.isNull());
    QVERIFY(page.width() > page.height());
    int darkRows = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 100) {
                ++darkRows;
                break;
            }
    QVERIFY2(darkRows > page.height() / 10, qPrintable(QString::number(darkRows)));
    const QString keep = qEnvironmentVariable("XIEPIN_SCREENSHOTS");
    if (!keep.isEmpty())
        QVERIFY(page.save(keep + QStringLiteral("/channel-plan-pdf.png")));
}

void TestCliChannelPlan::printRefusesPlace()
{
    const QString qz = path(QStringLiteral("empty.qz"));
    SaveConfigFile(TMainConfig(), qz);
    const QString pdf = path(QStringLiteral("no/such/dir/plan.pdf"));
    const CliResult result = runCli(QStringList{QStringLiteral("print"), qz, QStringLiteral("-o"), pdf});
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(result.err.startsWith(QStringLiteral("xiepin-cli: Cannot create file \"%1\". ").arg(pdf)), qPrintable(result.err));
}

QTEST_GUILESS_MAIN(TestCliChannelPlan)
#include "tst_clichannelplan.moc"
