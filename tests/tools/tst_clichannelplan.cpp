#include "base/Gbk.h"
#include "mainconfig/ChannelCsv.h"
#include "mainconfig/ChannelLists.h"
#include "mainconfig/ConfigFile.h"
#include "mainconfig/MainConfig.h"
#include "support/core/ProcessRun.h"
#include "support/core/TestFiles.h"

#include <QDate>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using CliResult = ProcessResult;

CliResult runCli(const QStringList &args, const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    return RunProcess(QStringLiteral(XIEPIN_CLI_EXE), args, env);
}

// Runs a poppler tool; its standard output.
QString runTool(const QString &tool, const QStringList &args)
{
    const ProcessResult result = RunProcess(tool, args);
    return result.exitCode == 0 ? result.out : QString();
}

// The PDF's text as pdftotext lays it out. Not normalised: text copied or searched in the PDF
// must be the characters printed, not look-alikes such as the Kangxi radical ⽆ for 无.
QString pdfText(const QString &pdf)
{
    return runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
}

// The PDF's page as a picture at 60 dpi, beside the file.
QImage pdfPage(const QString &pdf)
{
    const QString base = pdf.chopped(4);  // without ".pdf"
    runTool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("60"), QStringLiteral("-png"),
                                         QStringLiteral("-singlefile"), pdf, base});
    return QImage(base + QStringLiteral(".png"));
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QVERIFY(WriteWholeFile(path, bytes));
}

// The .qz file the core writes for `config`.
QByteArray qzBytes(const TMainConfig &config)
{
    QTemporaryDir dir;
    SaveConfigFile(config, dir.filePath(QStringLiteral("x.qz")));
    return ReadWholeFile(dir.filePath(QStringLiteral("x.qz")));
}

const char *const kCaptions = "信道编号,接收频率,发射频率,QT/DQT解码,QT/DQT编码,发射功率,宽/窄,扫描添加,步进频率,DTMF键1,DTMF键2,PTTID,扰频,可选信令,信令信息,压扩";

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

// An old 17-column file with a byte-order mark, LF line ends and ragged rows.
const char *const kOldFile =
    "\xEF\xBB\xBF"
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,Mode,TStep,Skip,Comment,URCALL,RPT1CALL,RPT2CALL\n"
    "0,Short,145.500000,+,0.600000,Cross,100.0,123.0\n"
    "1,Long,145.600000,,0,DTCS,88.5,88.5,051,RN,NFM,6.25,S,,,,,extra,fields\n"
    "2,Third,145.700000,,0,,88.5,88.5,023,NN,FM,25.00,,,,,\n";

}  // namespace

class TestCliChannelPlan : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void importCsv_data();
    void importCsv();
    void refused_data();
    void refused();
    void exportThenImport();
    void printPdf();
    void printPdfEdges_data();
    void printPdfEdges();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString importEveryMode();
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestCliChannelPlan::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

// kEveryMode imported by the command; the .qz file's path.
QString TestCliChannelPlan::importEveryMode()
{
    const QString csv = path(QStringLiteral("every.csv"));
    const QString qz = path(QStringLiteral("every.qz"));
    writeFile(csv, kEveryMode);
    const CliResult result = runCli(QStringList{QStringLiteral("import-csv"), csv, QStringLiteral("-o"), qz});
    return result.exitCode == 0 ? qz : QString();
}


// The file written is what the core's import gives on the base, or on an empty table with the
// start settings; each report goes to stderr after the file's name, then the summary.
void TestCliChannelPlan::importCsv_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<int>("start");  // 0: no --start
    QTest::addColumn<bool>("onBase");
    QTest::addColumn<QString>("summary");  // %1: the .qz file
    QTest::addRow("every mode, empty table") << QByteArray(kEveryMode) << 0 << false
                                             << QStringLiteral("imported channels 1 to 16 into %1 (7 reports)");
    QTest::addRow("old file from 15 onto a base") << QByteArray(kOldFile) << 15 << true
                                                  << QStringLiteral("imported channels 15 to 16 into %1 (1 report)");
}

void TestCliChannelPlan::importCsv()
{
    QFETCH(QByteArray, csv);
    QFETCH(int, start);
    QFETCH(bool, onBase);
    QFETCH(QString, summary);
    const QString in = path(QStringLiteral("in.csv"));
    const QString qz = path(QStringLiteral("out.qz"));
    writeFile(in, csv);
    QStringList args{QStringLiteral("import-csv"), in, QStringLiteral("-o"), qz};
    if (start > 0)
        args << QStringLiteral("--start") << QString::number(start);
    TMainConfig expected;
    if (onBase) {
        TMainConfig base;
        base.SetRow(1, QString::fromUtf8("1,430.00000,430.00000,88.5,023N,低,宽带,有,25000,1,2,BOT,3,FSK,4,有").split(QLatin1Char(',')));
        base.SetRow(16, QString::fromUtf8("16,431.00000,431.00000,无,无,高,宽带,有,25000,无,无,无,无,DTMF,1,无").split(QLatin1Char(',')));
        base.SetSetting(SquelchBox, QStringLiteral("5"));
        base.SetSetting(Pf1Box, QStringLiteral("监听"));
        const QString baseFile = path(QStringLiteral("base.qz"));
        SaveConfigFile(base, baseFile);
        LoadConfigFile(expected, baseFile);  // empty fields load as single spaces
        args << QStringLiteral("--base") << baseFile;
    }
    const ChannelCsvImport core = ImportChannelCsv(csv, qMax(start, 1));
    expected.ReplaceRows(core.rows);

    const CliResult result = runCli(args);
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out, QString());
    QCOMPARE(ReadWholeFile(qz), qzBytes(expected));
    QStringList err;
    for (const QString &report : core.reports)
        err << in + QStringLiteral(": ") + report;
    err << summary.arg(qz) << QString();
    QCOMPARE(result.err.split(QLatin1Char('\n')), err);
}

// Exit 1 with one line on stderr, and no output file.
void TestCliChannelPlan::refused_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("input");  // empty: no file
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("message");  // the start of the line after "xiepin-cli: "; {in}, {out}: the files
    TMainConfig badStep;
    badStep.SetRow(3, QString::fromUtf8("3,145.00000,145.00000,无,无,高,宽带,有,fast,无,无,无,无,DTMF,1,无").split(QLatin1Char(',')));

    QTest::addRow("import, missing") << "import-csv" << QByteArray() << "out.qz"
                                     << "Cannot open file \"{in}\". No such file or directory\n";
    QTest::addRow("import, no Frequency column") << "import-csv" << QByteArray("Location,Name,Freq\r\n1,x,145.5\r\n") << "out.qz"
                                                 << "Cannot read file \"{in}\". The file has no header line naming a Frequency column.\n";
    QTest::addRow("import, not text") << "import-csv" << QByteArray("Frequency\r\n\xFF\xFE\xFF\r\n") << "out.qz"
                                      << "Cannot read file \"{in}\". The file is neither UTF-8 nor GBK text.\n";
    QTest::addRow("import, no row with a frequency") << "import-csv" << QByteArray("Location,Frequency\r\n1,\r\n") << "out.qz"
                                                     << "{in}: no channel could be imported; {out} is not written\n";
    // The core's message after the name of the file that holds the cell.
    QTest::addRow("export, bad cell") << "export-csv" << qzBytes(badStep) << "out.csv" << QString::fromUtf8("{in}: 信道 3 步进频率: ");
    // Output "in": the input file itself, which stays as it was.
    for (const char *command : {"import-csv", "export-csv", "print"})
        QTest::addRow("%s over its input", command) << command << qzBytes(TMainConfig()) << "in"
                                                    << "{in} is the input file; name another file with -o\n";
    QTest::addRow("print, no such folder") << "print" << qzBytes(TMainConfig()) << "no/such/dir/plan.pdf"
                                           << "Cannot create file \"{out}\". ";
}

void TestCliChannelPlan::refused()
{
    QFETCH(QString, command);
    QFETCH(QByteArray, input);
    QFETCH(QString, output);
    QFETCH(QString, message);
    const QString in = path(QStringLiteral("in"));
    const QString out = path(output);
    if (!input.isEmpty())
        writeFile(in, input);
    const CliResult result = runCli(QStringList{command, in, QStringLiteral("-o"), out});
    QCOMPARE(result.exitCode, 1);
    const QString start = QStringLiteral("xiepin-cli: ") + QString(message).replace(QStringLiteral("{in}"), in).replace(QStringLiteral("{out}"), out);
    QVERIFY2(result.err.startsWith(start) && result.err.count(QLatin1Char('\n')) == 1, qPrintable(result.err));
    if (out == in)
        QCOMPARE(ReadWholeFile(in), input);
    else
        QVERIFY(!QFile::exists(out));
}

// Exported and imported again, the table is the same file.
void TestCliChannelPlan::exportThenImport()
{
    const QString qz = importEveryMode();
    QVERIFY(!qz.isEmpty());
    const QString exported = path(QStringLiteral("exported.csv"));
    const CliResult result = runCli(QStringList{QStringLiteral("export-csv"), qz, QStringLiteral("-o"), exported});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.err, QString());

    const QString back = path(QStringLiteral("back.qz"));
    const CliResult again = runCli(QStringList{QStringLiteral("import-csv"), exported, QStringLiteral("-o"), back});
    QCOMPARE(again.exitCode, 0);
    QCOMPARE(ReadWholeFile(back), ReadWholeFile(qz));
    // Only the tone that is not in the list is said again.
    QCOMPARE(again.err.count(QStringLiteral(": line ")), 1);
}

void TestCliChannelPlan::printPdf()
{
    const QString qz = importEveryMode();
    QVERIFY(!qz.isEmpty());
    // The file's own captions and channel numbers are not the table's: the plan shows the table's.
    {
        TMainConfig edited;
        LoadConfigFile(edited, qz);
        edited.SetCell(0, col::RxFreq, QStringLiteral("XCAPTION"));
        edited.SetCell(1, col::Number, QStringLiteral("XNUMBER"));
        SaveConfigFile(edited, qz);
    }
    const QString pdf = path(QStringLiteral("plan.pdf"));
    const QDate day = QDate::currentDate();
    const CliResult result = runCli(QStringList{QStringLiteral("print"), qz, QStringLiteral("-o"), pdf});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.err, QString());

    const QString info = runTool(QStringLiteral("pdfinfo"), {pdf});
    const QRegularExpressionMatch size =
        QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+) pts \\(A4\\)")).match(info);
    QVERIFY2(size.hasMatch(), qPrintable(info));
    QVERIFY(size.captured(1).toDouble() > size.captured(2).toDouble());  // landscape
    QVERIFY(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
    const QString fonts = runTool(QStringLiteral("pdffonts"), {pdf});
    QVERIFY2(fonts.contains(QStringLiteral("WenQuanYi")) || fonts.contains(QStringLiteral("CJK")), qPrintable(fonts));
    // Every font embedded: the column "emb", fifth from the end of each font's line.
    for (const QString &line : fonts.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(2)) {
        const QStringList columns = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QVERIFY2(columns.size() > 5 && columns.at(columns.size() - 5) == QLatin1String("yes"), qPrintable(line));
    }

    const QString text = pdfText(pdf);
    QStringList missing;
    QStringList wanted{QStringLiteral("对讲机写频软件 V1.1.4"), QStringLiteral("every.qz")};
    if (!text.contains(day.toString(Qt::ISODate)) && !text.contains(day.addDays(1).toString(Qt::ISODate)))
        missing << QStringLiteral("the date");
    wanted << QString::fromUtf8(kCaptions).split(QLatin1Char(','));
    TMainConfig plan;
    LoadConfigFile(plan, qz);
    for (int n = 1; n <= TMainConfig::kChannels; ++n)
        for (int c : {col::RxFreq, col::TxFreq, col::ToneDecode, col::ToneEncode})
            wanted << plan.Cell(n, c);
    for (int box = VoxLevelBox; box < AlarmBox; ++box)
        wanted << SettingPlaceName(box);
    for (const QString &w : wanted)
        if (!text.contains(w))
            missing << w;
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(" | ")) + QStringLiteral("\n") + text));
    QVERIFY2(!text.contains(QStringLiteral("XCAPTION")) && !text.contains(QStringLiteral("XNUMBER")), qPrintable(text));

    // The page as a picture: landscape, with the table drawn in its upper part.
    const QImage page = pdfPage(pdf);
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

void TestCliChannelPlan::printPdfEdges_data()
{
    QTest::addColumn<QString>("scrambler");  // channel 1's 扰频
    QTest::addColumn<bool>("latinFontsOnly");
    QTest::addColumn<QString>("message");    // after "xiepin-cli: Cannot create file "OUT". "; empty: printed
    QTest::addRow("a cell wider than the page's share") << QString(120, QLatin1Char('9')) << false << QString();
    QTest::addRow("no font with Chinese characters") << QStringLiteral("无") << true
                                                     << QStringLiteral("No installed font has Chinese characters; install one "
                                                                       "(on Debian or Ubuntu: apt install fonts-wqy-microhei).");
}

// A long cell shrinks the page to fit, every column on it; Chinese text that no installed font
// draws is refused instead of coming out as empty boxes.
void TestCliChannelPlan::printPdfEdges()
{
    QFETCH(QString, scrambler);
    QFETCH(bool, latinFontsOnly);
    QFETCH(QString, message);
    TMainConfig config;
    config.SetRow(1, QString::fromUtf8("1,145.00000,145.00000,无,无,高,宽带,有,25000,无,无,无,%1,DTMF,1,无").arg(scrambler).split(QLatin1Char(',')));
    const QString qz = path(QStringLiteral("long.qz"));
    writeFile(qz, qzBytes(config));
    const QString pdf = path(QStringLiteral("long.pdf"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (latinFontsOnly) {
        const QString conf = path(QStringLiteral("fonts.conf"));
        writeFile(conf, QByteArray("<?xml version=\"1.0\"?><!DOCTYPE fontconfig SYSTEM \"fonts.dtd\"><fontconfig>"
                                   "<dir>/usr/share/fonts/truetype/dejavu</dir><cachedir>")
                            + path(QStringLiteral("fontcache")).toUtf8() + QByteArray("</cachedir></fontconfig>"));
        env.insert(QStringLiteral("FONTCONFIG_FILE"), conf);
    }
    const CliResult result = runCli(QStringList{QStringLiteral("print"), qz, QStringLiteral("-o"), pdf}, env);
    if (!message.isEmpty()) {
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.err, QStringLiteral("xiepin-cli: Cannot create file \"%1\". %2\n").arg(pdf, message));
        QVERIFY(!QFile::exists(pdf));
        return;
    }
    QCOMPARE(result.exitCode, 0);
    const QString text = pdfText(pdf);
    QVERIFY2(text.contains(scrambler) && text.contains(QStringLiteral("压扩")), qPrintable(text));
    // Nothing drawn in the right margin: the table ends inside the page.
    const QImage page = pdfPage(pdf);
    QVERIFY(!page.isNull());
    const int margin = page.width() / 40;  // 10 mm of 297 mm is about a thirtieth
    for (int y = 0; y < page.height(); ++y)
        for (int x = page.width() - margin; x < page.width(); ++x)
            QVERIFY2(qGray(page.pixel(x, y)) > 200, qPrintable(QStringLiteral("dark at %1,%2").arg(x).arg(y)));
}

QTEST_GUILESS_MAIN(TestCliChannelPlan)
#include "tst_clichannelplan.moc"
