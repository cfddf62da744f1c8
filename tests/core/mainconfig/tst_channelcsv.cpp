#include "mainconfig/ChannelCsv.h"

#include "base/Gbk.h"
#include "base/TextConvert.h"
#include "mainconfig/ChannelLists.h"
#include "mainconfig/CsvText.h"
#include "mainconfig/MainConfig.h"

#include <QtTest>
#include <functional>

namespace {

const QString kHeader21 = QStringLiteral(
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,CrossMode,"
    "Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE");
const QString kHeader17 = QStringLiteral(
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,Mode,TStep,Skip,"
    "Comment,URCALL,RPT1CALL,RPT2CALL");

// Lines joined with CR LF, the last one ended too.
QByteArray Csv(const QStringList &lines, const QByteArray &lineEnd = "\r\n")
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += line.toUtf8() + lineEnd;
    return bytes;
}

// A data row under kHeader21 with the filler values the format's exports carry in every row,
// changed where `changes` ("Tone=TSQL;cToneFreq=100.0") says.
QString FilledRow(const QString &changes)
{
    QMap<QString, QString> values{
        {QStringLiteral("Location"), QStringLiteral("1")},        {QStringLiteral("Name"), QStringLiteral("TEST")},
        {QStringLiteral("Frequency"), QStringLiteral("146.520000")}, {QStringLiteral("Offset"), QStringLiteral("0.600000")},
        {QStringLiteral("rToneFreq"), QStringLiteral("88.5")},   {QStringLiteral("cToneFreq"), QStringLiteral("88.5")},
        {QStringLiteral("DtcsCode"), QStringLiteral("023")},     {QStringLiteral("DtcsPolarity"), QStringLiteral("NN")},
        {QStringLiteral("RxDtcsCode"), QStringLiteral("023")},   {QStringLiteral("CrossMode"), QStringLiteral("Tone->Tone")},
        {QStringLiteral("Mode"), QStringLiteral("FM")},          {QStringLiteral("TStep"), QStringLiteral("5.00")},
        {QStringLiteral("Power"), QStringLiteral("High")},
    };
    for (const QString &change : changes.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        values[change.section(QLatin1Char('='), 0, 0)] = change.section(QLatin1Char('='), 1);
    QStringList fields;
    for (const QString &name : kHeader21.split(QLatin1Char(',')))
        fields << values.value(name);
    return fields.join(QLatin1Char(','));
}

// Cells 1..15 of a row, space-separated, for compact expectations.
QString Cells(const QStringList &row)
{
    return row.mid(1).join(QLatin1Char(' '));
}

QString DefaultTail()
{
    return NewChannelDefaults().mid(col::DtmfKey1 - col::ToneDecode).join(QLatin1Char(' '));
}

QString CsvErrorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const EChannelCsvError &e) {
        return e.message();
    }
    return QString();
}

// A channel in use with all 15 cells given.
void SetChannel(TMainConfig &config, int n, const QString &cells)
{
    config.SetRow(n, QStringList{QString::number(n)} + cells.split(QLatin1Char(' ')));
}

}  // namespace

class TestChannelCsv : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void records_data();
    void records();
    void fieldQuoting_data();
    void fieldQuoting();

    void importRow_data();
    void importRow();
    void importFile_data();
    void importFile();
    void channelRange_data();
    void channelRange();
    void refused_data();
    void refused();
    void importReplacesOnlyReachedRows();

    void exportRow_data();
    void exportRow();
    void exportFile();
    void exportRefusesBadCell_data();
    void exportRefusesBadCell();
    void roundTrip_data();
    void roundTrip();
};

// --- comma-separated text

void TestChannelCsv::records_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("records");  // "line:field|field" per record, records split by " / "

    QTest::addRow("plain, CR LF") << QStringLiteral("a,b\r\nc,d\r\n") << QStringLiteral("1:a|b / 2:c|d");
    QTest::addRow("LF, no final break") << QStringLiteral("a,b\nc") << QStringLiteral("1:a|b / 2:c");
    QTest::addRow("lone CR") << QStringLiteral("a\rb\r") << QStringLiteral("1:a / 2:b");
    QTest::addRow("empty fields kept") << QStringLiteral(",x,,\n") << QStringLiteral("1:|x||");
    QTest::addRow("blank lines skipped") << QStringLiteral("a\n\r\n\nb\n") << QStringLiteral("1:a / 4:b");
    QTest::addRow("quoted comma") << QStringLiteral("1,\"a, b\",c\n") << QStringLiteral("1:1|a, b|c");
    QTest::addRow("quoted semicolons") << QStringLiteral("\"x;y;z\",2\n") << QStringLiteral("1:x;y;z|2");
    QTest::addRow("doubled quotes") << QStringLiteral("\"say \"\"hi\"\"\",\"\"\n") << QStringLiteral("1:say \"hi\"|");
    QTest::addRow("line break in quotes counts")
        << QStringLiteral("h\r\n\"two\r\nlines\",x\r\nnext\r\n") << QStringLiteral("1:h / 2:two\r\nlines|x / 4:next");
    QTest::addRow("text after closing quote") << QStringLiteral("\"ab\"c,d\n") << QStringLiteral("1:abc|d");
    QTest::addRow("blanks kept") << QStringLiteral(" a , b \n") << QStringLiteral("1: a | b ");
}

void TestChannelCsv::records()
{
    QFETCH(QString, text);
    QFETCH(QString, records);
    QStringList got;
    for (const CsvRecord &record : SplitCsvRecords(text))
        got << QStringLiteral("%1:%2").arg(record.line).arg(record.fields.join(QLatin1Char('|')));
    QCOMPARE(got.join(QStringLiteral(" / ")), records);
}

void TestChannelCsv::fieldQuoting_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("written");
    QTest::addRow("plain") << QStringLiteral("DTMF") << QStringLiteral("DTMF");
    QTest::addRow("empty") << QString() << QString();
    QTest::addRow("space stays bare") << QStringLiteral("a b") << QStringLiteral("a b");
    QTest::addRow("comma") << QStringLiteral("a,b") << QStringLiteral("\"a,b\"");
    QTest::addRow("quote") << QStringLiteral("5\"") << QStringLiteral("\"5\"\"\"");
    QTest::addRow("line break") << QStringLiteral("a\nb") << QStringLiteral("\"a\nb\"");
}

void TestChannelCsv::fieldQuoting()
{
    QFETCH(QString, field);
    QFETCH(QString, written);
    QCOMPARE(CsvField(field), written);
    // What is written reads back as the same field.
    const QVector<CsvRecord> back = SplitCsvRecords(CsvLine({QStringLiteral("x"), field}));
    QCOMPARE(back.size(), 1);
    QCOMPARE(back.first().fields, (QStringList{QStringLiteral("x"), field}));
}

// --- import

void TestChannelCsv::importRow_data()
{
    QTest::addColumn<QString>("changes");
    QTest::addColumn<QString>("cells");  // cells 1..8, empty when not imported; 9..15 are the defaults
    QTest::addColumn<QStringList>("reports");

    // The filler fields of the other tone modes are in every row and must not leak in.
    const struct {
        const char *name, *changes, *cells, *report;  // report after "line 2: "
    } cases[] = {
        {"simplex ignores offset", "", "146.52000 146.52000 无 无 高 宽带 有 5000", ""},
        {"plus", "Frequency=438.500000;Duplex=+;Offset=5.000000", "438.50000 443.50000 无 无 高 宽带 有 5000", ""},
        {"minus", "Frequency=145.650000;Duplex=-;Offset=0.600000", "145.65000 145.05000 无 无 高 宽带 有 5000", ""},
        {"split", "Frequency=145.000000;Duplex=split;Offset=435.125000", "145.00000 435.12500 无 无 高 宽带 有 5000", ""},
        {"plus a negative offset", "Frequency=145.650000;Duplex=+;Offset=-0.600000", "145.65000 145.05000 无 无 高 宽带 有 5000", "Offset -0.600000 is negative with Duplex +; the channel transmits on 145.05000 MHz"},
        {"minus a negative offset", "Frequency=145.650000;Duplex=-;Offset=-0.6", "145.65000 146.25000 无 无 高 宽带 有 5000", "Offset -0.6 is negative with Duplex -; the channel transmits on 146.25000 MHz"},
        {"minus zero offset", "Frequency=145.650000;Duplex=-;Offset=-0", "145.65000 145.65000 无 无 高 宽带 有 5000", ""},
        {"off", "Duplex=off;Offset=5.0", "146.52000 146.52000 无 无 高 宽带 有 5000", "transmit off is not supported; the channel transmits on its receive frequency"},
        {"unknown duplex", "Duplex=x", "146.52000 146.52000 无 无 高 宽带 有 5000", "duplex 'x' is not understood; the channel transmits on its receive frequency"},
        {"bad offset", "Duplex=+;Offset=abc", "", "Offset 'abc' is not a number; the row is not imported"},
        {"sixth decimal rounded", "Frequency=146.520006", "146.52001 146.52001 无 无 高 宽带 有 5000", "frequency 146.520006 rounded to 146.52001"},
        {"seventh decimal rounded down", "Frequency=446.0000049", "446.00000 446.00000 无 无 高 宽带 有 5000", "frequency 446.0000049 rounded to 446.00000"},
        {"shifted transmit rounded", "Duplex=+;Offset=0.600004", "146.52000 147.12000 无 无 高 宽带 有 5000", "transmit frequency 147.120004 rounded to 147.12000"},
        {"bad frequency", "Frequency=1x6", "", "Frequency '1x6' is not a number; the row is not imported"},
        {"frequency not finite", "Frequency=nan", "", "Frequency 'nan' is not a number; the row is not imported"},
        {"frequency zero", "Frequency=0.000004", "", "Frequency 0.000004 is 0 MHz, which the radio takes for a channel not in use; the row is not imported"},
        // What the radio cannot store would stop every write of the table.
        {"frequency beyond the radio", "Frequency=5000", "", "接收频率: '5000.00000' is not a frequency from 0 to 4294.967295 MHz; the row is not imported"},
        {"transmit zero", "Duplex=-;Offset=146.52", "", "the transmit frequency from Duplex - and Offset 146.52 is 0.000000 MHz, which leaves no frequency to transmit on; the row is not imported"},
        {"transmit above zero rounded to it", "Duplex=-;Offset=146.519999", "", "the transmit frequency from Duplex - and Offset 146.519999 is 0.000001 MHz, which leaves no frequency to transmit on; the row is not imported"},
        {"transmit rounded to zero", "Duplex=-;Offset=146.520004", "", "the transmit frequency from Duplex - and Offset 146.520004 is -0.000004 MHz, which leaves no frequency to transmit on; the row is not imported"},
        {"split to zero, as exported", "Duplex=split;Offset=0.000000", "146.52000 0.00000 无 无 高 宽带 有 5000", ""},
        {"split just below zero", "Duplex=split;Offset=-0.000004", "", "the transmit frequency from Duplex split and Offset -0.000004 is -0.000004 MHz, which leaves no frequency to transmit on; the row is not imported"},
        {"negative transmit", "Frequency=0.5;Duplex=-;Offset=0.6", "", "发射频率: '-0.10000' is not a frequency from 0 to 4294.967295 MHz; the row is not imported"},
        {"Tone", "Tone=Tone;rToneFreq=103.5;cToneFreq=123.0", "146.52000 146.52000 无 103.5 高 宽带 有 5000", ""},
        {"Tone without decimal", "Tone=Tone;rToneFreq=100", "146.52000 146.52000 无 100.0 高 宽带 有 5000", ""},
        {"TSQL reads cToneFreq", "Tone=TSQL;rToneFreq=67.0;cToneFreq=100.0", "146.52000 146.52000 100.0 100.0 高 宽带 有 5000", ""},
        {"DTCS NN", "Tone=DTCS;DtcsCode=023;RxDtcsCode=754", "146.52000 146.52000 023N 023N 高 宽带 有 5000", ""},
        {"DTCS NR", "Tone=DTCS;DtcsCode=754;DtcsPolarity=NR", "146.52000 146.52000 754I 754N 高 宽带 有 5000", ""},
        {"DTCS RN, short code", "Tone=DTCS;DtcsCode=23;DtcsPolarity=RN", "146.52000 146.52000 023N 023I 高 宽带 有 5000", ""},
        {"DTCS RR", "Tone=DTCS;DtcsCode=411;DtcsPolarity=RR", "146.52000 146.52000 411I 411I 高 宽带 有 5000", ""},
        {"bad polarity", "Tone=DTCS;DtcsCode=411;DtcsPolarity=NX", "146.52000 146.52000 411N 411N 高 宽带 有 5000", "DtcsPolarity 'NX' is not NN, NR, RN or RR; NN used"},
        {"Cross Tone->Tone", "Tone=Cross;CrossMode=Tone->Tone;rToneFreq=100.0;cToneFreq=123.0", "146.52000 146.52000 123.0 100.0 高 宽带 有 5000", ""},
        {"Cross Tone->Tone reads no polarity", "Tone=Cross;CrossMode=Tone->Tone;rToneFreq=100.0;cToneFreq=123.0;DtcsPolarity=XX", "146.52000 146.52000 123.0 100.0 高 宽带 有 5000", ""},
        {"Cross DTCS part reads the polarity", "Tone=Cross;CrossMode=->DTCS;RxDtcsCode=411;DtcsPolarity=XX", "146.52000 146.52000 411N 无 高 宽带 有 5000", "DtcsPolarity 'XX' is not NN, NR, RN or RR; NN used"},
        {"Cross Tone->DTCS", "Tone=Cross;CrossMode=Tone->DTCS;rToneFreq=67.0;DtcsCode=065;RxDtcsCode=125;DtcsPolarity=NR", "146.52000 146.52000 125I 67.0 高 宽带 有 5000", ""},
        {"Cross DTCS->Tone", "Tone=Cross;CrossMode=DTCS->Tone;DtcsCode=065;DtcsPolarity=RN;cToneFreq=71.9", "146.52000 146.52000 71.9 065I 高 宽带 有 5000", ""},
        {"Cross DTCS->", "Tone=Cross;CrossMode=DTCS->;DtcsCode=065;DtcsPolarity=RN", "146.52000 146.52000 无 065I 高 宽带 有 5000", ""},
        {"Cross ->DTCS", "Tone=Cross;CrossMode=->DTCS;DtcsCode=065;RxDtcsCode=411;DtcsPolarity=NR", "146.52000 146.52000 411I 无 高 宽带 有 5000", ""},
        {"Cross ->Tone", "Tone=Cross;CrossMode=->Tone;rToneFreq=67.0;cToneFreq=88.5", "146.52000 146.52000 88.5 无 高 宽带 有 5000", ""},
        {"Cross DTCS->DTCS", "Tone=Cross;CrossMode=DTCS->DTCS;DtcsCode=023;RxDtcsCode=754;DtcsPolarity=RR", "146.52000 146.52000 754I 023I 高 宽带 有 5000", ""},
        {"Cross without RxDtcsCode", "Tone=Cross;CrossMode=->DTCS;DtcsCode=065;RxDtcsCode=", "146.52000 146.52000 065N 无 高 宽带 有 5000", ""},
        {"Cross unknown part", "Tone=Cross;CrossMode=Tone->DTCS-R;rToneFreq=67.0", "146.52000 146.52000 无 67.0 高 宽带 有 5000", "cross mode 'Tone->DTCS-R': receive part DTCS-R is not supported; no decode tone"},
        {"TSQL-R", "Tone=TSQL-R;cToneFreq=100.0", "146.52000 146.52000 无 无 高 宽带 有 5000", "tone mode TSQL-R is not supported; no tones"},
        {"DTCS-R", "Tone=DTCS-R", "146.52000 146.52000 无 无 高 宽带 有 5000", "tone mode DTCS-R is not supported; no tones"},
        {"tone off the list", "Tone=Tone;rToneFreq=88.7", "146.52000 146.52000 无 88.7 高 宽带 有 5000", "rToneFreq: 88.7 is not in the tone list; imported as it is"},
        {"code off the list, said once", "Tone=DTCS;DtcsCode=024", "146.52000 146.52000 024N 024N 高 宽带 有 5000", "DtcsCode: 024N is not in the tone list; imported as it is"},
        {"tone beyond the radio", "Tone=Tone;rToneFreq=409.6", "", "QT/DQT编码: '409.6' is not a tone: use 无, a CTCSS frequency from 0 to 409.5 Hz with at most one decimal, or three digits followed by N or I; the row is not imported"},
        {"empty tone field", "Tone=TSQL;cToneFreq=", "146.52000 146.52000 无 无 高 宽带 有 5000", "cToneFreq is empty; no tone"},
        {"Low", "Power=Low", "146.52000 146.52000 无 无 低 宽带 有 5000", ""},
        {"L", "Power=L", "146.52000 146.52000 无 无 低 宽带 有 5000", ""},
        {"H", "Power=H", "146.52000 146.52000 无 无 高 宽带 有 5000", ""},
        {"Mid", "Power=Mid", "146.52000 146.52000 无 无 高 宽带 有 5000", ""},
        {"Medium", "Power=Medium", "146.52000 146.52000 无 无 高 宽带 有 5000", ""},
        {"5W", "Power=5W", "146.52000 146.52000 无 无 高 宽带 有 5000", ""},
        {"2.0 W", "Power=2.0 W", "146.52000 146.52000 无 无 高 宽带 有 5000", ""},
        {"1.5W", "Power=1.5W", "146.52000 146.52000 无 无 低 宽带 有 5000", ""},
        {"0.5", "Power=0.5", "146.52000 146.52000 无 无 低 宽带 有 5000", ""},
        {"empty power", "Power=", "146.52000 146.52000 无 无 高 宽带 有 5000", ""},
        {"unknown power", "Power=Turbo", "146.52000 146.52000 无 无 高 宽带 有 5000", "power 'Turbo' is not understood; 高 used"},
        {"negative watts", "Power=-3W", "146.52000 146.52000 无 无 高 宽带 有 5000", "power '-3W' is not understood; 高 used"},
        {"watts not a number", "Power=nan", "146.52000 146.52000 无 无 高 宽带 有 5000", "power 'nan' is not understood; 高 used"},
        {"NFM", "Mode=NFM", "146.52000 146.52000 无 无 高 窄带 有 5000", ""},
        {"empty mode", "Mode=", "146.52000 146.52000 无 无 高 宽带 有 5000", ""},
        {"AM refused", "Mode=AM", "", "mode AM is not supported; the row is not imported"},
        {"DV refused", "Mode=DV", "", "mode DV is not supported; the row is not imported"},
        {"skip S", "Skip=S", "146.52000 146.52000 无 无 高 宽带 无 5000", ""},
        {"skip P", "Skip=P", "146.52000 146.52000 无 无 高 宽带 有 5000", ""},
        {"6.25 kHz", "TStep=6.25", "146.52000 146.52000 无 无 高 宽带 有 6250", ""},
        {"10 kHz", "TStep=10", "146.52000 146.52000 无 无 高 宽带 有 10000", ""},
        {"12.500 kHz", "TStep=12.500", "146.52000 146.52000 无 无 高 宽带 有 12500", ""},
        {"25.00 kHz", "TStep=25.00", "146.52000 146.52000 无 无 高 宽带 有 25000", ""},
        {"2.5 kHz", "TStep=2.50", "146.52000 146.52000 无 无 高 宽带 有 25000", "step 2.50 kHz is not supported; 25000 used"},
        {"empty step", "TStep=", "146.52000 146.52000 无 无 高 宽带 有 25000", ""},
    };
    for (const auto &c : cases)
        QTest::addRow("%s", c.name) << QString::fromUtf8(c.changes) << QString::fromUtf8(c.cells)
                                    << (*c.report ? QStringList{QStringLiteral("line 2: ") + QString::fromUtf8(c.report)} : QStringList());
}

void TestChannelCsv::importRow()
{
    QFETCH(QString, changes);
    QFETCH(QString, cells);
    QFETCH(QStringList, reports);
    const ChannelCsvImport result = ImportChannelCsv(Csv({kHeader21, FilledRow(changes)}));
    QCOMPARE(result.reports, reports);
    // For the Chinese windows: the same channels, every report said in Chinese.
    const ChannelCsvImport chinese = ImportChannelCsv(Csv({kHeader21, FilledRow(changes)}), 1, TLanguage::Chinese);
    QCOMPARE(chinese.rows, result.rows);
    QCOMPARE(chinese.reports.size(), reports.size());
    for (int i = 0; i < reports.size(); ++i) {
        QVERIFY2(chinese.reports.at(i).startsWith(QStringLiteral("第 2 行：")), qPrintable(chinese.reports.at(i)));
        QVERIFY2(chinese.reports.at(i).mid(QStringLiteral("第 2 行：").size())
                     != reports.at(i).mid(QStringLiteral("line 2: ").size()),
                 qPrintable(chinese.reports.at(i)));
    }
    if (cells.isEmpty()) {
        QVERIFY(result.rows.isEmpty());
        return;
    }
    QCOMPARE(result.rows.keys(), QList<int>{1});
    QCOMPARE(Cells(result.rows.value(1)), cells + QLatin1Char(' ') + DefaultTail());
    QCOMPARE(result.rows.value(1).first(), QStringLiteral("1"));
}

void TestChannelCsv::importFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("rows");     // "n: cells 1..15"
    QTest::addColumn<QStringList>("reports");

    const QString tail = DefaultTail();
    const auto row = [&tail](int n, const char *cells) { return QStringLiteral("%1: %2 %3").arg(n).arg(QString::fromUtf8(cells), tail); };

    QTest::addRow("17 columns, no Power or CrossMode")
        << Csv({kHeader17,
                QStringLiteral("0,A,145.500000,,0.000000,Cross,100.0,123.0,023,NN,FM,12.50,,,,,"),
                QStringLiteral("1,B,145.600000,-,0.600000,DTCS,88.5,88.5,051,RN,NFM,25.00,S,,,,")})
        << QStringList{row(1, "145.50000 145.50000 123.0 100.0 高 宽带 有 12500"),
                       row(2, "145.60000 145.00000 051N 051I 高 窄带 无 25000")}
        << QStringList();
    QTest::addRow("21 columns with this tool's own")
        << Csv({kHeader21 + QStringLiteral(",DTMFKey1,DTMFKey2,PTTID,Scrambler,Signalling,SignallingEntry,Compander"),
                QStringLiteral("1,CH1,438.500000,+,5.000000,TSQL,88.5,127.3,023,NN,023,Tone->Tone,NFM,12.50,,Low,,,,,,"
                               "*,#,BOTH,10,FSK,16,有"),
                QStringLiteral("2,CH2,438.600000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,25.00,,High,,,,,,"
                               ",,,99,,,"),
                QStringLiteral("3,CH3,438.700000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,25.00,,High,,,,,,"
                               "E,,,,,,")})
        << QStringList{QStringLiteral("1: 438.50000 443.50000 127.3 127.3 低 窄带 有 12500 * # BOTH 10 FSK 16 有"),
                       QStringLiteral("2: 438.60000 438.60000 无 无 高 宽带 有 25000 无 无 无 99 DTMF 1 无")}
        << QStringList{QStringLiteral("line 3: Scrambler: 99 is not in the list of 扰频; imported as it is"),
                       QStringLiteral("line 4: DTMF键1: 'E' is not one of 无, 1, 2, 3, 4, 5, 6, 7, 8, 9, *, 0, #, A, B, C, D; "
                                      "the row is not imported")};
    // The radio would read scrambler 0 back as 无: the default goes in instead. "off" is no
    // compander setting at all.
    QTest::addRow("this tool's own column, a text the radio reads as another entry")
        << Csv({kHeader21 + QStringLiteral(",DTMFKey1,DTMFKey2,PTTID,Scrambler,Signalling,SignallingEntry,Compander"),
                QStringLiteral("1,CH1,438.500000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,25.00,,High,,,,,,"
                               ",,,0,,,有"),
                QStringLiteral("2,CH2,438.600000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,25.00,,High,,,,,,"
                               ",,,,,,off")})
        << QStringList{QStringLiteral("1: 438.50000 438.50000 无 无 高 宽带 有 25000 无 无 无 无 DTMF 1 有")}
        << QStringList{QStringLiteral("line 2: Scrambler: 0 is not in the list of 扰频; 无 used"),
                       QStringLiteral("line 3: 压扩: 'off' is not one of 无, 有; the row is not imported")};
    // A spreadsheet keeps "05" as typed: the number is the entry 5.
    QTest::addRow("this tool's own column, a number with a leading zero")
        << Csv({kHeader21 + QStringLiteral(",DTMFKey1,DTMFKey2,PTTID,Scrambler,Signalling,SignallingEntry,Compander"),
                QStringLiteral("1,CH1,438.500000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,25.00,,High,,,,,,"
                               ",,,05,,016,")})
        << QStringList{QStringLiteral("1: 438.50000 438.50000 无 无 高 宽带 有 25000 无 无 无 5 DTMF 16 无")}
        << QStringList{QStringLiteral("line 2: Scrambler: 05 imported as 5"),
                       QStringLiteral("line 2: SignallingEntry: 016 imported as 16")};
    QTest::addRow("columns in another order, unknown ones, BOM, LF")
        << QByteArray("\xEF\xBB\xBF")
               + Csv({QStringLiteral("Extra,Tone,Frequency,rToneFreq,Power"),
                      QStringLiteral("x,Tone,446.006250,77.0,Low"),
                      QStringLiteral("y,,446.018750,77.0,")},
                     "\n")
        << QStringList{row(1, "446.00625 446.00625 无 77.0 低 宽带 有 25000"),
                       row(2, "446.01875 446.01875 无 无 高 宽带 有 25000")}
        << QStringList();
    QTest::addRow("ragged rows")
        << Csv({kHeader21,
                QStringLiteral("1,short,145.500000,+,0.600000"),
                QStringLiteral("2,long,145.700000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,S,Low,c,,,,,x,y,z")})
        << QStringList{row(1, "145.50000 146.10000 无 无 高 宽带 有 25000"),
                       row(2, "145.70000 145.70000 无 无 低 宽带 无 5000")}
        << QStringList();
    QTest::addRow("quoted commas, semicolons and a line break in a comment")
        << Csv({kHeader21,
                QStringLiteral("1,\"Rep, North\",145.600000,-,0.600000,Tone,88.5,88.5,023,NN,023,Tone->Tone,FM,12.50,,High,"
                               "\"a, b; c; d\",,,,"),
                QStringLiteral("2,\"He said \"\"hi\"\"\",145.700000,,0,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,High,"
                               "\"two\r\nlines\",,,,"),
                QStringLiteral("3,AM,118.100000,,0,,88.5,88.5,023,NN,023,Tone->Tone,AM,25.00,,High,,,,,")})
        << QStringList{row(1, "145.60000 145.00000 无 88.5 高 宽带 有 12500"),
                       row(2, "145.70000 145.70000 无 无 高 宽带 有 5000")}
        << QStringList{QStringLiteral("line 5: mode AM is not supported; the row is not imported")};
    QTest::addRow("skipped and refused rows take no channel")
        << Csv({kHeader21, QStringLiteral("1,,,,,,,,,,,,,,,,,,,,"), FilledRow(QStringLiteral("Mode=WFM")),
                QStringLiteral("2,x,145.000000")})
        << QStringList{row(1, "145.00000 145.00000 无 无 高 宽带 有 25000")}
        << QStringList{QStringLiteral("line 3: mode WFM is not supported; the row is not imported")};
    QTest::addRow("unclosed quote")
        << Csv({QStringLiteral("Frequency,Comment"), QStringLiteral("145.1,x"), QStringLiteral("145.2,\"oops"),
                QStringLiteral("145.3,y")})
        << QStringList{QStringLiteral("1: 145.10000 145.10000 无 无 高 宽带 有 25000 ") + tail}
        << QStringList{QStringLiteral("line 3: a quoted field is not closed, so the rest of the file is read as that "
                                      "field; the row is not imported")};
    // What the .qz file cannot hold would stop every save.
    QTest::addRow("own cell with a line break")
        << Csv({QStringLiteral("Frequency,Compander"), QStringLiteral("145.1,\"x\r\ny\""), QStringLiteral("145.2,有")})
        << QStringList{QStringLiteral("1: 145.20000 145.20000 无 无 高 宽带 有 25000 无 无 无 无 DTMF 1 有")}
        << QStringList{QStringLiteral("line 2: 压扩: the text contains a line break; the row is not imported")};
    QTest::addRow("own cell with a NUL")
        << Csv({QStringLiteral("Frequency,Compander"), QStringLiteral("145.1,a") + QChar(0) + QStringLiteral("b")})
        << QStringList()
        << QStringList{QStringLiteral("line 2: 压扩: the text contains a NUL character; the row is not imported")};
    // A refused row says only why.
    QTest::addRow("off the list, then refused")
        << Csv({QStringLiteral("Frequency,Tone,rToneFreq,Compander"), QStringLiteral("5000,Tone,88.7,x")})
        << QStringList()
        << QStringList{QStringLiteral("line 2: 接收频率: '5000.00000' is not a frequency from 0 to 4294.967295 MHz; "
                                      "the row is not imported")};
    QTest::addRow("GBK from a spreadsheet")
        << ToGbk(QStringLiteral("Frequency,Compander,Comment\r\n145.000000,有,中文\r\n")).value()
        << QStringList{QStringLiteral("1: 145.00000 145.00000 无 无 高 宽带 有 25000 无 无 无 无 DTMF 1 有")}
        << QStringList();
}

void TestChannelCsv::importFile()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, reports);
    const ChannelCsvImport result = ImportChannelCsv(file);
    QStringList got;
    for (auto it = result.rows.cbegin(); it != result.rows.cend(); ++it)
        got << QStringLiteral("%1: %2").arg(it.key()).arg(Cells(it.value()));
    QCOMPARE(got, rows);
    QCOMPARE(result.reports, reports);
}

void TestChannelCsv::channelRange_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("rowCount");
    QTest::addColumn<QList<int>>("channels");
    QTest::addColumn<QStringList>("reports");

    QTest::addRow("16 rows from 1") << 1 << 16 << [] { QList<int> all; for (int n = 1; n <= 16; ++n) all << n; return all; }()
                                    << QStringList();
    const QString past = QStringLiteral("line %1: no channel is left after channel 16; this row and the rows after it are not imported");
    QTest::addRow("18 rows from 1") << 1 << 18 << [] { QList<int> all; for (int n = 1; n <= 16; ++n) all << n; return all; }()
                                    << QStringList{past.arg(18)};
    QTest::addRow("4 rows from 14") << 14 << 4 << QList<int>{14, 15, 16} << QStringList{past.arg(5)};
    QTest::addRow("2 rows from 16") << 16 << 2 << QList<int>{16} << QStringList{past.arg(3)};
}

void TestChannelCsv::channelRange()
{
    QFETCH(int, start);
    QFETCH(int, rowCount);
    QFETCH(QList<int>, channels);
    QFETCH(QStringList, reports);
    QStringList lines{kHeader21};
    for (int i = 0; i < rowCount; ++i)
        lines << FilledRow(QStringLiteral("Frequency=%1").arg(440 + i));
    const ChannelCsvImport result = ImportChannelCsv(Csv(lines), start);
    QCOMPARE(result.rows.keys(), channels);
    for (int i = 0; i < channels.size(); ++i) {
        QCOMPARE(result.rows.value(channels[i]).at(col::Number), QString::number(channels[i]));
        QCOMPARE(result.rows.value(channels[i]).at(col::RxFreq), QStringLiteral("%1.00000").arg(440 + i));
    }
    QCOMPARE(result.reports, reports);
}

void TestChannelCsv::refused_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("error");

    QTest::addRow("empty file") << QByteArray() << 1 << QStringLiteral("The file has no header line naming a Frequency column.");
    QTest::addRow("unclosed quote in the header") << Csv({QStringLiteral("Frequency,\"Comment"), QStringLiteral("145.1,x")}) << 1
                                                  << QStringLiteral("A quoted field of the header line is not closed.");
    QTest::addRow("no Frequency column") << Csv({QStringLiteral("Location,Name,Freq"), QStringLiteral("1,a,145")}) << 1
                                         << QStringLiteral("The file has no header line naming a Frequency column.");
    QTest::addRow("neither UTF-8 nor GBK") << QByteArray("Frequency\r\n\xFF\xFF\r\n") << 1
                                           << QStringLiteral("The file is neither UTF-8 nor GBK text.");
    QTest::addRow("larger than a channel list") << Csv({kHeader21}) + QByteArray(4 * 1024 * 1024, ' ') << 1
                                                << QStringLiteral("The file is larger than 4194304 bytes; a channel list is "
                                                                  "far smaller.");
    QTest::addRow("start 0") << Csv({kHeader21}) << 0 << QStringLiteral("The start channel 0 is not between 1 and 16.");
    QTest::addRow("start 17") << Csv({kHeader21}) << 17 << QStringLiteral("The start channel 17 is not between 1 and 16.");
}

void TestChannelCsv::refused()
{
    QFETCH(QByteArray, file);
    QFETCH(int, start);
    QFETCH(QString, error);
    QCOMPARE(CsvErrorOf([&] { ImportChannelCsv(file, start); }), error);
}

void TestChannelCsv::importReplacesOnlyReachedRows()
{
    TMainConfig config;
    SetChannel(config, 1, QStringLiteral("430.00000 430.00000 无 无 低 宽带 有 25000 无 无 无 无 DTMF 1 无"));
    SetChannel(config, 4, QStringLiteral("431.00000 431.00000 无 无 低 宽带 有 25000 无 无 无 无 DTMF 1 无"));
    config.SetSetting(SquelchBox, QStringLiteral("5"));
    QStringList before;
    for (int row = 0; row < TMainConfig::kRows; ++row)
        before << config.Row(row).join(QLatin1Char('|'));

    const ChannelCsvImport result =
        ImportChannelCsv(Csv({kHeader21, FilledRow(QStringLiteral("Frequency=145.1")), FilledRow(QStringLiteral("Frequency=145.2"))}), 2);
    config.ReplaceRows(result.rows);

    QStringList expected = before;
    expected[2] = result.rows.value(2).join(QLatin1Char('|'));
    expected[3] = result.rows.value(3).join(QLatin1Char('|'));
    QStringList after;
    for (int row = 0; row < TMainConfig::kRows; ++row)
        after << config.Row(row).join(QLatin1Char('|'));
    QCOMPARE(after, expected);
    QCOMPARE(config.Cell(3, col::RxFreq), QStringLiteral("145.20000"));
    QCOMPARE(config.Setting(SquelchBox), QStringLiteral("5"));
}

// --- export

void TestChannelCsv::exportRow_data()
{
    QTest::addColumn<QString>("cells");  // cells 1..15 of channel 3
    QTest::addColumn<QString>("line");   // the exported row

    const QString tail = QStringLiteral(",,,,,,无,无,无,无,DTMF,1,无");  // Comment, the digital-voice fields, own cells
    const auto add = [&tail](const char *name, const char *cells, const char *line) {
        QTest::addRow("%s", name) << QString::fromUtf8(cells) + QStringLiteral(" 无 无 无 无 DTMF 1 无")
                                  << QString::fromUtf8(line) + tail;
    };
    add("simplex, no tone", "146.52000 146.52000 无 无 高 宽带 有 25000",
        "3,CH3,146.520000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,25.00,,High");
    add("plus with Tone", "438.50000 443.50000 无 88.5 低 窄带 无 12500",
        "3,CH3,438.500000,+,5.000000,Tone,88.5,88.5,023,NN,023,Tone->Tone,NFM,12.50,S,Low");
    add("minus with TSQL", "145.65000 145.05000 100.0 100.0 高 宽带 有 6250",
        "3,CH3,145.650000,-,0.600000,TSQL,88.5,100.0,023,NN,023,Tone->Tone,FM,6.25,,High");
    add("70 MHz is still a shift", "400.00000 470.00000 无 无 高 宽带 有 5000",
        "3,CH3,400.000000,+,70.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,High");
    add("beyond 70 MHz is a split", "145.00000 435.12500 无 无 高 宽带 有 10000",
        "3,CH3,145.000000,split,435.125000,,88.5,88.5,023,NN,023,Tone->Tone,FM,10.00,,High");
    // A file's cell may hold the hertz the radio stores.
    // "-" with the whole receive frequency would come back refused as a mistaken shift.
    add("transmit 0 is a split to 0", "50.50000 0.00000 无 无 高 宽带 有 5000",
        "3,CH3,50.500000,split,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,High");
    add("six decimals", "438.123456 438.723457 无 无 高 宽带 有 5000",
        "3,CH3,438.123456,+,0.600001,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,High");
    add("DTCS NR", "146.52000 146.52000 754I 754N 高 宽带 有 25000",
        "3,CH3,146.520000,,0.000000,DTCS,88.5,88.5,754,NR,023,Tone->Tone,FM,25.00,,High");
    add("Cross Tone->Tone", "146.52000 146.52000 123.0 100.0 高 宽带 有 25000",
        "3,CH3,146.520000,,0.000000,Cross,100.0,123.0,023,NN,023,Tone->Tone,FM,25.00,,High");
    add("Cross ->Tone", "146.52000 146.52000 71.9 无 高 宽带 有 25000",
        "3,CH3,146.520000,,0.000000,Cross,88.5,71.9,023,NN,023,->Tone,FM,25.00,,High");
    add("Cross DTCS->", "146.52000 146.52000 无 065I 高 宽带 有 25000",
        "3,CH3,146.520000,,0.000000,Cross,88.5,88.5,065,RN,023,DTCS->,FM,25.00,,High");
    add("Cross ->DTCS", "146.52000 146.52000 411I 无 高 宽带 有 25000",
        "3,CH3,146.520000,,0.000000,Cross,88.5,88.5,023,NR,411,->DTCS,FM,25.00,,High");
    add("Cross Tone->DTCS", "146.52000 146.52000 125N 67.0 高 宽带 有 25000",
        "3,CH3,146.520000,,0.000000,Cross,67.0,88.5,023,NN,125,Tone->DTCS,FM,25.00,,High");
    add("Cross DTCS->Tone", "146.52000 146.52000 254.1 023I 高 宽带 有 25000",
        "3,CH3,146.520000,,0.000000,Cross,88.5,254.1,023,RN,023,DTCS->Tone,FM,25.00,,High");
    add("Cross DTCS->DTCS", "146.52000 146.52000 754N 023I 高 宽带 有 25000",
        "3,CH3,146.520000,,0.000000,Cross,88.5,88.5,023,RN,754,DTCS->DTCS,FM,25.00,,High");

    QTest::addRow("own cells quoted")
        << QStringLiteral("146.52000 146.52000 无 无 高 宽带 有 25000 * # BOTH 1,2 FSK 16 有")
        << QStringLiteral("3,CH3,146.520000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,25.00,,High,,,,,,*,#,BOTH,\"1,2\",FSK,16,有");
}

void TestChannelCsv::exportRow()
{
    QFETCH(QString, cells);
    QFETCH(QString, line);
    TMainConfig config;
    SetChannel(config, 3, cells);
    const QStringList lines = QString::fromUtf8(ExportChannelCsv(config)).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 3);  // header, the row, and nothing after the last line end
    QCOMPARE(lines.at(1), line);
    QCOMPARE(lines.at(2), QString());
}

void TestChannelCsv::exportFile()
{
    TMainConfig config;
    SetChannel(config, 9, QStringLiteral("145.00000 145.00000 无 无 高 宽带 有 25000 无 无 无 无 DTMF 1 无"));
    SetChannel(config, 2, QStringLiteral("438.12345 438.12345 无 无 高 宽带 有 25000 无 无 无 无 DTMF 1 无"));
    config.SetRow(5, {QStringLiteral("5"), QStringLiteral(" "), QStringLiteral(" ")});  // a loaded empty row
    // Receive 0, typed or in a file: the radio takes the channel for one not in use.
    SetChannel(config, 6, QStringLiteral("0.00000 145.00000 无 无 高 宽带 有 25000 无 无 无 无 DTMF 1 无"));
    SetChannel(config, 7, QStringLiteral("0 0 无 无 高 宽带 有 25000 无 无 无 无 DTMF 1 无"));
    const QByteArray expected =
        "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,CrossMode,"
        "Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE,DTMFKey1,DTMFKey2,PTTID,Scrambler,Signalling,"
        "SignallingEntry,Compander\r\n"
        "2,CH2,438.123450,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,25.00,,High,,,,,,\xE6\x97\xA0,\xE6\x97\xA0,"
        "\xE6\x97\xA0,\xE6\x97\xA0,DTMF,1,\xE6\x97\xA0\r\n"
        "9,CH9,145.000000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,25.00,,High,,,,,,\xE6\x97\xA0,\xE6\x97\xA0,"
        "\xE6\x97\xA0,\xE6\x97\xA0,DTMF,1,\xE6\x97\xA0\r\n";
    QCOMPARE(ExportChannelCsv(config), expected);
}

void TestChannelCsv::exportRefusesBadCell_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error");
    QTest::addRow("receive") << int(col::RxFreq) << "abc" << "信道 7 接收频率: 'abc' is not a valid floating point value";
    QTest::addRow("transmit") << int(col::TxFreq) << "1..2" << "信道 7 发射频率: '1..2' is not a valid floating point value";
    QTest::addRow("step") << int(col::Step) << "fast" << "信道 7 步进频率: 'fast' is not a valid integer value";
    const QString notATone = QStringLiteral("' is not a tone: use 无, a CTCSS frequency from 0 to 409.5 Hz with at most "
                                            "one decimal, or three digits followed by N or I");
    QTest::addRow("tone") << int(col::ToneEncode) << "xyz" << "信道 7 QT/DQT编码: 'xyz" + notATone;
    // What no write can send is not exported rounded either.
    QTest::addRow("receive past whole hertz") << int(col::RxFreq) << "146.5200049"
                                              << "信道 7 接收频率: '146.5200049' is not a whole number of hertz";
    QTest::addRow("negative transmit") << int(col::TxFreq) << "-146.52"
                                       << "信道 7 发射频率: '-146.52' is not a frequency from 0 to 4294.967295 MHz";
    QTest::addRow("tone with two decimals") << int(col::ToneDecode) << "88.55" << "信道 7 QT/DQT解码: '88.55" + notATone;
    QTest::addRow("step with a decimal") << int(col::Step) << "6249.6" << "信道 7 步进频率: '6249.6' is not a valid integer value";
}

void TestChannelCsv::exportRefusesBadCell()
{
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QString, error);
    TMainConfig config;
    SetChannel(config, 7, QStringLiteral("145.00000 145.00000 无 无 高 宽带 有 25000 无 无 无 无 DTMF 1 无"));
    config.SetCell(7, column, text);
    try {
        ExportChannelCsv(config);
        QFAIL("exported");
    } catch (const EConvertError &e) {
        QCOMPARE(e.message(), error);
    }
}

// Tables filled from the lists, exported and imported into an empty table.
void TestChannelCsv::roundTrip_data()
{
    QTest::addColumn<int>("seed");
    for (int seed = 1; seed <= 14; ++seed)
        QTest::addRow("seed %d", seed) << seed;
}

void TestChannelCsv::roundTrip()
{
    QFETCH(int, seed);
    quint32 state = static_cast<quint32>(seed) * 2654435761u;
    const auto pick = [&state](const QStringList &list) {
        state = state * 1664525u + 1013904223u;
        return list.at(static_cast<int>((state >> 8) % static_cast<quint32>(list.size())));
    };
    TMainConfig config;
    const QVector<ChannelColumn> &columns = ChannelColumns();
    for (int n = 1; n <= TMainConfig::kChannels; ++n) {
        if (pick({QStringLiteral("in use"), QStringLiteral("in use"), QStringLiteral("in use"), QString()}).isEmpty())
            continue;
        const int rxUnits = 13600000 + static_cast<int>(state % 34000000);  // 136 to 476 MHz in 10 Hz
        const int shifts[] = {0, 60000, -60000, 500000, -500000, 7000000, -7000000, 7000001, 29000000};
        const int txUnits = rxUnits + shifts[(state >> 4) % 9];
        QStringList row{QString::number(n), QString::number(rxUnits / 100000.0, 'f', 5), QString::number(txUnits / 100000.0, 'f', 5)};
        const QString encode = pick(ToneList());
        // Often the same tone both ways, so that TSQL and DTCS come up, DTCS also with the
        // other polarity on receive.
        QString decode = (state & 0x100) ? encode : pick(ToneList());
        if ((state & 0x200) && decode.endsWith(QLatin1Char('N')))
            decode.back() = QLatin1Char('I');
        row << decode << encode;
        for (int c = col::Power; c < TMainConfig::kCols; ++c)
            row << pick(columns.at(c).items);
        config.SetRow(n, row);
    }

    TMainConfig back;
    const ChannelCsvImport result = ImportChannelCsv(ExportChannelCsv(config));
    QCOMPARE(result.reports, QStringList());
    back.ReplaceRows(result.rows);
    int channel = 1;
    for (int n = 1; n <= TMainConfig::kChannels; ++n) {
        if (!config.IsChannelInUse(n))
            continue;
        // Exported channels come back one after another from channel 1.
        QCOMPARE(Cells(back.Row(channel)), Cells(config.Row(n)));
        ++channel;
    }
}

QTEST_GUILESS_MAIN(TestChannelCsv)
#include "tst_channelcsv.moc"
