// The core's messages that reach a window (conversion errors, CSV import reports, read-back
// mismatches, field differences, the printed plan) are built in the windows' language: with the
// English translation loaded they hold no Chinese character, and without it they are the
// Chinese texts the command line and the other tests know.

#include "base/ShownText.h"
#include "base/TextConvert.h"
#include "compare/BlockCompare.h"
#include "compare/FieldDiff.h"
#include "dialogs/Language.h"
#include "dialogs/TransferMessages.h"
#include "mainconfig/ChannelCsv.h"
#include "mainconfig/ChannelLists.h"
#include "mainconfig/MainCodec.h"
#include "mainconfig/MainConfig.h"
#include "print/ChannelPlan.h"
#include "protocol/Areas.h"
#include "protocol/FactoryImage.h"
#include "signalling/DtmfCodec.h"
#include "signalling/DtmfTexts.h"
#include "signalling/FiveToneTexts.h"
#include "signalling/FskTexts.h"
#include "signalling/TwoToneCodec.h"
#include "signalling/TwoToneTexts.h"

#include <QRegularExpression>
#include <QtTest>
#include <functional>
#include <memory>

using MessageOf = std::function<QString()>;
Q_DECLARE_METATYPE(MessageOf)

namespace {

// Han characters and the CJK and full-width punctuation ("，", "：", "（").
const QRegularExpression kChinese(QStringLiteral("[\\x{3000}-\\x{303F}\\x{3400}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]"));

template <typename Run>
QString ErrorOf(Run &&run)
{
    try {
        run();
    } catch (const EConvertError &e) {
        return e.message();
    }
    return QStringLiteral("(no error)");
}

// Channel 3 in use as a new channel gets it, then one cell changed.
std::unique_ptr<TMainConfig> ChannelWith(int column, const QString &text)
{
    auto config = std::make_unique<TMainConfig>();
    config->SetEditText(3, col::RxFreq, QStringLiteral("438.5"));
    config->SetCell(3, column, text);
    return config;
}

QString MainDiff(int column, const QString &from, const QString &to)
{
    return MainFieldDiff(*ChannelWith(column, from), *ChannelWith(column, to)).join(QLatin1Char('\n'));
}

}  // namespace

class TestMessageLanguage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { InstallLanguage(QStringLiteral("zh")); }
    void messages_data();
    void messages();
    void channelPlan();
    void gridFieldNames();
};

void TestMessageLanguage::messages_data()
{
    QTest::addColumn<MessageOf>("message");
    QTest::addColumn<QString>("chinese");
    QTest::addColumn<QString>("english");

    QTest::addRow("channel cell")
        << MessageOf([] { return ErrorOf([] { EncodeChannelBlock(*ChannelWith(col::RxFreq, "abc"), 3); }); })
        << "信道 3 接收频率: 'abc' is not a valid floating point value"
        << "Channel 3 RX freq: 'abc' is not a valid floating point value";
    QTest::addRow("tone")
        << MessageOf([] { return ErrorOf([] { EncodeChannelBlock(*ChannelWith(col::ToneDecode, "xyz"), 3); }); })
        << "信道 3 QT/DQT解码: 'xyz' is not a tone: use 无, a CTCSS frequency from 0 to 409.5 Hz with at most one "
           "decimal, or three digits followed by N or I"
        << "Channel 3 QT/DQT dec.: 'xyz' is not a tone: use None, a CTCSS frequency from 0 to 409.5 Hz with at most "
           "one decimal, or three digits followed by N or I";
    QTest::addRow("yes/no cell")
        << MessageOf([] { return ErrorOf([] { EncodeChannelBlock(*ChannelWith(col::ScanAdd, "maybe"), 3); }); })
        << "信道 3 扫描添加: 'maybe' is not one of 无, 有" << "Channel 3 Scan add: 'maybe' is not one of No, Yes";
    QTest::addRow("settings box")
        << MessageOf([] {
               TMainConfig config;
               config.SetSetting(VoxLevelBox, QStringLiteral("999"));
               return ErrorOf([&] { EncodeSettingsBlock(config); });
           })
        << "VOX等级: '999' is not in the range 0 to 255" << "VOX level: '999' is not in the range 0 to 255";
    QTest::addRow("CSV report")
        << MessageOf([] {
               return ImportChannelCsv("Location,Frequency,Power,Scrambler\r\n1,438.5,7 dB,11\r\n", 1,
                                       LanguageOf(CurrentLanguage()))
                   .reports.join('\n');
           })
        << "第 2 行：无法识别 Power “7 dB”；按 高 导入\n第 2 行：Scrambler：11 不在扰频的列表中；照原样导入"
        << "line 2: power '7 dB' is not understood; High used\nline 2: Scrambler: 11 is not in the list of Scrambler; "
           "imported as it is";
    QTest::addRow("CSV file refused")
        << MessageOf([] {
               QStringList errors;
               for (const QByteArray &file : {QByteArray("Location,Freq\r\n"), QByteArray("\xFF\xFF")}) {
                   try {
                       ImportChannelCsv(file, 1, LanguageOf(CurrentLanguage()));
                   } catch (const EChannelCsvError &e) {
                       errors << e.message();
                   }
               }
               return errors.join('\n');
           })
        << "文件没有列名中含 Frequency 的标题行。\n文件既不是 UTF-8 文本，也不是 GBK 文本。"
        << "The file has no header line naming a Frequency column.\nThe file is neither UTF-8 nor GBK text.";
    QTest::addRow("mismatch line")
        << MessageOf([] {
               const TBlockMismatch mismatch{frame::kTwoToneArea, 1, {}, {}};
               return MismatchLine(mismatch, LanguageOf(CurrentLanguage())).replace(BlockHex({}), "…");
           })
        << "2TONE 第 1 块（区 3 块 1）：写入 …，读回 …" << "two-tone block 1 (area 3 block 1): sent …, read …";
    QTest::addRow("verify and backup")
        << MessageOf([] {
               return VerifyFailedText({QStringLiteral("…")}, QStringLiteral("b.img"), QStringLiteral("a.img")) + '\n'
                      + BackupFailedText(QStringLiteral("disk full"));
           })
        << "写入校验失败\n…\n写入前的备份：b.img\n此端口上更早的一次写入也未完成；若是同一部电台，那次写入前的备份：a.img\n"
           "无法保存备份，未写入：disk full"
        << "Write verify failed\n…\nBackup from before the write: b.img\nAn earlier write on this port did not finish "
           "either; if this is the same radio, its backup from before that write: a.img\nCannot save the backup, nothing "
           "written: disk full";
    QTest::addRow("read incomplete, read half written")
        << MessageOf([] {
               TRadioImage read = FactoryImage();
               read.dropBlock(frame::kMainArea, 2);
               read.dropBlock(frame::kSettingsArea, 0);
               read.dropBlock(frame::kDtmfArea, 1);  // an area not asked about
               return IncompleteReadText({frame::kMainArea, frame::kSettingsArea}, read) + '\n'
                      + IncompleteReadText({frame::kFskArea}, read) + HalfWrittenReadText(QStringLiteral("a.img"));
           })
        << "读取不完整：电台没有发来信道 2、设置。窗口中这些位置显示的不是电台的内容，写入前请重新读取。\n"
           "此端口上的一次写入未完成，读到的可能只写了一半；若是同一部电台，那次写入前的备份：a.img，可用“文件 → 恢复备份”写回"
        << "The read is incomplete: the radio never sent channel 2, the settings. What the window shows there is not the "
           "radio's; read again before writing.\nA write on this port did not finish, so what was read may be only half "
           "written; if this is the same radio, its backup from before that write: a.img, which \"File → Restore backup\" "
           "writes back";
    QTest::addRow("channel difference")
        << MessageOf([] {
               return MainDiff(col::Power, "高", "低") + '\n' + MainDiff(col::Step, "", "12500") + '\n'
                      + MainDiff(col::ScanAdd, "有", "无");
           })
        << "信道 3 发射功率: 高 → 低\n信道 3 步进频率: （空） → 12500\n信道 3 扫描添加: 有 → 无"
        << "Channel 3 Power: High → Low\nChannel 3 Step: (empty) → 12500\nChannel 3 Scan add: Yes → No";
    QTest::addRow("editor difference")
        << MessageOf([] {
               TDtmfTexts from;
               TDtmfTexts to;
               to.Controls().SetChecked(QStringLiteral("CheckB1"), !from.Controls().Checked(QStringLiteral("CheckB1")));
               TTwoToneTexts a;
               TTwoToneTexts b;
               b.xg2().SetCell(5, 1, QStringLiteral("提醒"));
               return (EditorFieldDiff(from, to) + EditorFieldDiff(a, b)).join('\n');
           })
        << "DTMF侧音: 开 → 关\n解码 1 响应方式2: （空） → 提醒" << "DTMF side tone: On → Off\nDecode 1 Response 2: (empty) → Alert";
    QTest::addRow("editor box")
        << MessageOf([] {
               TDtmfTexts texts;
               texts.Controls().SetText(QStringLiteral("cb5"), QStringLiteral("150"));
               return ErrorOf([&] { TDtmfCodec(texts).EncodeBlocks(); });
           })
        << "D键设定(毫秒): '150' is not \"D码\" or a multiple of 100 from 0 to 25500"
        << "D key setting (ms): '150' is not \"D code\" or a multiple of 100 from 0 to 25500";
    QTest::addRow("editor cell")
        << MessageOf([] {
               TTwoToneTexts texts;
               texts.SetEditText(QStringLiteral("xg2"), 1, 1, QStringLiteral("AB"));
               texts.xg2().SetCell(5, 1, QStringLiteral("x"));
               return ErrorOf([&] { TTwoToneCodec(texts).EncodeBlocks(); });
           })
        << "解码 1 响应方式2: 'x' is not one of 无, 提醒, 回复, 提醒并回复"
        << "Decode 1 Response 2: 'x' is not one of None, Alert, Reply, Alert + reply";
}

void TestMessageLanguage::messages()
{
    QFETCH(MessageOf, message);
    QFETCH(QString, chinese);
    QFETCH(QString, english);
    QCOMPARE(message(), chinese);
    QVERIFY(InstallLanguage(QStringLiteral("en")));
    const QString shown = message();
    QVERIFY2(!shown.contains(kChinese), qPrintable(shown));
    QCOMPARE(shown, english);
}

void TestMessageLanguage::channelPlan()
{
    const std::unique_ptr<TMainConfig> config = ChannelWith(col::Power, QStringLiteral("低"));
    const ChannelPlanInfo info{QStringLiteral("radio.qz"), QDate(2026, 3, 14), true};
    const QString chinese = ChannelPlanHtml(*config, info);
    for (const char *text : {"<h2>对讲机写频软件 V1.1.4</h2>", "日期：2026-03-14", "文件：radio.qz", ">发射功率<", ">低<", ">VOX等级<", ">无<"})
        QVERIFY2(chinese.contains(QString::fromUtf8(text)), text);

    QVERIFY(InstallLanguage(QStringLiteral("en")));
    const QString english = ChannelPlanHtml(*config, info);
    const QRegularExpressionMatch found = kChinese.match(english);
    QVERIFY2(!found.hasMatch(), qPrintable(english.mid(found.capturedStart() - 40, 80)));
    for (const char *text : {"<h2>Two-Way Radio Programmer V1.1.4</h2>", "radio.qz", ">Power<", ">Low<", ">VOX level<", ">None<", ">No<"})
        QVERIFY2(english.contains(QString::fromUtf8(text)), text);
}

QTEST_MAIN(TestMessageLanguage)
// The names that messages give the cells of the editors' grids: each has its English words.
void TestMessageLanguage::gridFieldNames()
{
    std::vector<TGridSpec> grids = TTwoToneTexts::GridSpecs();
    grids.insert(grids.end(), TFiveToneTexts::GridSpecs().cbegin(), TFiveToneTexts::GridSpecs().cend());
    grids.push_back(TDtmfTexts::GridSpec());
    grids.push_back(TFskTexts::GridSpec());
    QVERIFY(InstallLanguage(QStringLiteral("en")));
    QStringList untranslated;
    for (const TGridSpec &grid : grids) {
        for (const QString &name : QStringList{grid.title} + [&grid] {
                 QStringList fields;
                 for (const TColumnSpec &column : grid.columns)
                     fields << column.field;
                 return fields;
             }()) {
            if (ShownText(name).contains(kChinese))
                untranslated << grid.name + QStringLiteral(": ") + name;
        }
    }
    QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(QLatin1Char('\n'))));
}

#include "tst_messagelanguage.moc"
