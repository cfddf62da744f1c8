#include "mainconfig/ChannelLists.h"

#include "base/ShownText.h"

#include <QCoreApplication>
#include <QtGlobal>

namespace {

QStringList Numbers(int from, int to)
{
    QStringList list;
    for (int n = from; n <= to; ++n)
        list << QString::number(n);
    return list;
}

const char *const kCtcssTones[] = {
    "62.5",  "67.0",  "69.3",  "71.9",  "74.4",  "77.0",  "79.7",  "82.5",  "85.4",  "88.5",
    "91.5",  "94.8",  "97.4",  "100.0", "103.5", "107.2", "110.9", "114.8", "118.8", "123.0",
    "127.3", "131.8", "136.5", "141.3", "146.2", "151.4", "156.7", "159.8", "162.2", "165.5",
    "167.9", "171.3", "173.8", "177.3", "179.9", "183.5", "186.2", "189.9", "192.8", "196.6",
    "199.5", "203.5", "206.5", "210.7", "218.1", "225.7", "229.1", "233.6", "241.8", "250.3",
    "254.1",
};

// Code digits in their usual octal notation.
const char *const kDcsCodes[] = {
    "023", "025", "026", "031", "032", "043", "047", "051", "054", "065", "071", "072", "073",
    "074", "114", "115", "116", "125", "131", "132", "134", "143", "152", "155", "156", "162",
    "165", "172", "174", "205", "223", "226", "243", "244", "245", "251", "261", "263", "265",
    "271", "306", "311", "315", "331", "343", "346", "351", "364", "365", "371", "411", "412",
    "413", "423", "431", "432", "445", "464", "465", "466", "502", "506", "516", "532", "546",
    "565", "606", "612", "624", "627", "631", "632", "654", "662", "664", "703", "712", "723",
    "731", "732", "734", "743", "754",
};

QStringList BuildToneList()
{
    QStringList list{QStringLiteral(QT_TRANSLATE_NOOP("Texts", "无"))};
    for (const char *tone : kCtcssTones)
        list << QString::fromLatin1(tone);
    for (const char *code : kDcsCodes)
        list << QString::fromLatin1(code) + QLatin1Char('N');
    for (const char *code : kDcsCodes)
        list << QString::fromLatin1(code) + QLatin1Char('I');
    return list;
}

QVector<ChannelColumn> BuildColumns()
{
    const QString none;
    const QString edit = QStringLiteral("EditCellEditor1");
    return {
        {QStringLiteral(QT_TRANSLATE_NOOP("Texts", "信道编号")), 56, EditorKind::None, none, {}, none},
        {QStringLiteral(QT_TRANSLATE_NOOP("Texts", "接收频率")), 58, EditorKind::Edit, edit, {}, none},
        {QStringLiteral(QT_TRANSLATE_NOOP("Texts", "发射频率")), 61, EditorKind::Edit, edit, {}, none},
        {QStringLiteral(QT_TRANSLATE_NOOP("Texts", "QT/DQT解码")), 75, EditorKind::Combo, QStringLiteral("ComboCellEditor1"), ToneList(), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "无"))},
        {QStringLiteral(QT_TRANSLATE_NOOP("Texts", "QT/DQT编码")), 75, EditorKind::Combo, QStringLiteral("ComboCellEditor1"), ToneList(), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "无"))},
        {QStringLiteral(QT_TRANSLATE_NOOP("Texts", "发射功率")), 58, EditorKind::Combo, QStringLiteral("ComboCellEditor2"), PowerList(), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "高"))},
        {QStringLiteral(QT_TRANSLATE_NOOP("Texts", "宽/窄")), 35, EditorKind::Combo, QStringLiteral("ComboCellEditor3"), BandwidthList(), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "宽带"))},
        {QStringLiteral(QT_TRANSLATE_NOOP("Texts", "扫描添加")), 63, EditorKind::Combo, QStringLiteral("ComboCellEditor4"), YesNoList(), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "有"))},
        {QStringLiteral(QT_TRANSLATE_NOOP("Texts", "步进频率")), 58, EditorKind::Combo, QStringLiteral("ComboCellEditor5"), StepList(), QStringLiteral("25000")},
        {QStringLiteral(QT_TRANSLATE_NOOP("Texts", "DTMF键1")), 54, EditorKind::Combo, QStringLiteral("ComboCellEditor6"), DtmfKeyList(), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "无"))},
        {QStringLiteral(QT_TRANSLATE_NOOP("Texts", "DTMF键2")), 55, EditorKind::Combo, QStringLiteral("ComboCellEditor6"), DtmfKeyList(), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "无"))},
        {QStringLiteral("PTTID"), 37, EditorKind::Combo, QStringLiteral("ComboCellEditor8"), PttIdList(), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "无"))},
        {QStringLiteral(QT_TRANSLATE_NOOP("Texts", "扰频")), 36, EditorKind::Combo, QStringLiteral("ComboCellEditor7"), ScramblerList(), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "无"))},
        {QStringLiteral(QT_TRANSLATE_NOOP("Texts", "可选信令")), 53, EditorKind::Combo, QStringLiteral("ComboCellEditor9"), SignallingList(), QStringLiteral("DTMF")},
        {QStringLiteral(QT_TRANSLATE_NOOP("Texts", "信令信息")), 55, EditorKind::Combo, QStringLiteral("ComboCellEditor10"), SignallingEntryList(), QStringLiteral("1")},
        {QStringLiteral(QT_TRANSLATE_NOOP("Texts", "压扩")), 31, EditorKind::Combo, QStringLiteral("ComboCellEditor4"), YesNoList(), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "有"))},
    };
}

QVector<SettingDef> BuildSettings()
{
    return {
        {QStringLiteral("ComboBox1"), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "VOX等级")), QStringList{QStringLiteral(QT_TRANSLATE_NOOP("Texts", "无"))} + Numbers(1, 10), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "无"))},
        {QStringLiteral("ComboBox2"), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "VOX延迟时间")), Numbers(1, 3), QStringLiteral("1")},
        {QStringLiteral("ComboBox3"), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "静噪")), Numbers(0, 9), QStringLiteral("0")},
        {QStringLiteral("ComboBox4"), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "超时定时器")),
         {QStringLiteral("60"), QStringLiteral("120"), QStringLiteral("180"), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "关"))}, QStringLiteral("60")},
        {QStringLiteral("ComboBox5"), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "语音通知")),
         {QStringLiteral(QT_TRANSLATE_NOOP("Texts", "关")), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "中文")), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "英文"))}, QStringLiteral(QT_TRANSLATE_NOOP("Texts", "中文"))},
        {QStringLiteral("ComboBox6"), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "PF1：")), PfList(), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "无"))},
        {QStringLiteral("ComboBox7"), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "PF2：")), PfList(), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "无"))},
        {QStringLiteral("ComboBox8"), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "扫描：")), OnOffList(), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "开"))},
        {QStringLiteral("ComboBox9"), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "省电：")), OnOffList(), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "开"))},
        {QStringLiteral("ComboBox10"), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "报警")), OnOffList(), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "开"))},
    };
}

}  // namespace

const QVector<ChannelColumn> &ChannelColumns()
{
    static const QVector<ChannelColumn> columns = BuildColumns();
    return columns;
}

const SettingDef &SettingDefinition(int box)
{
    static const QVector<SettingDef> settings = BuildSettings();
    Q_ASSERT(box >= 1 && box <= kSettingBoxCount);
    return settings.at(box - 1);
}

QString SettingPlaceName(int box)
{
    QString label = SettingDefinition(box).label;
    if (label.endsWith(QStringLiteral("：")))
        label.chop(1);
    return label;
}

QString ShownChannelPlace(int channel, int column)
{
    return QCoreApplication::translate("Texts", "信道 %1 %2")
        .arg(channel)
        .arg(ShownText(ChannelColumns().at(column).caption));
}

QString ShownSettingPlace(int box)
{
    return ShownPlace(SettingDefinition(box).label);
}

const QStringList &ToneList()
{
    static const QStringList list = BuildToneList();
    return list;
}

const QStringList &PfList()
{
    static const QStringList list{
        QStringLiteral(QT_TRANSLATE_NOOP("Texts", "无")),       QStringLiteral(QT_TRANSLATE_NOOP("Texts", "自动拨号")),     QStringLiteral(QT_TRANSLATE_NOOP("Texts", "警报音")),
        QStringLiteral(QT_TRANSLATE_NOOP("Texts", "按键锁定")), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "按键锁定及备份")), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "监听")),
        QStringLiteral(QT_TRANSLATE_NOOP("Texts", "监听瞬时")), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "扫描")),         QStringLiteral(QT_TRANSLATE_NOOP("Texts", "扫描+暂时删除")),
        QStringLiteral(QT_TRANSLATE_NOOP("Texts", "扰频器")),   QStringLiteral(QT_TRANSLATE_NOOP("Texts", "取消静噪")),     QStringLiteral(QT_TRANSLATE_NOOP("Texts", "瞬时取消静噪")),
        QStringLiteral(QT_TRANSLATE_NOOP("Texts", "暂时删除")),
    };
    return list;
}

const QStringList &DtmfKeyList()
{
    static const QStringList list = QStringList{QStringLiteral(QT_TRANSLATE_NOOP("Texts", "无"))} + Numbers(1, 9)
        + QStringList{QStringLiteral("*"), QStringLiteral("0"), QStringLiteral("#"), QStringLiteral("A"),
                      QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")};
    return list;
}

const QStringList &PowerList()
{
    static const QStringList list{QStringLiteral(QT_TRANSLATE_NOOP("Texts", "高")), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "低"))};
    return list;
}

const QStringList &BandwidthList()
{
    static const QStringList list{QStringLiteral(QT_TRANSLATE_NOOP("Texts", "宽带")), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "窄带"))};
    return list;
}

const QStringList &YesNoList()
{
    static const QStringList list{QStringLiteral(QT_TRANSLATE_NOOP("Texts", "无")), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "有"))};
    return list;
}

const QStringList &StepList()
{
    static const QStringList list{QStringLiteral("5000"), QStringLiteral("6250"), QStringLiteral("10000"),
                                  QStringLiteral("12500"), QStringLiteral("25000")};
    return list;
}

const QStringList &PttIdList()
{
    static const QStringList list{QStringLiteral(QT_TRANSLATE_NOOP("Texts", "无")), QStringLiteral("BOTH"), QStringLiteral("BOT"),
                                  QStringLiteral("EOT")};
    return list;
}

const QStringList &ScramblerList()
{
    static const QStringList list = QStringList{QStringLiteral(QT_TRANSLATE_NOOP("Texts", "无"))} + Numbers(1, 10);
    return list;
}

const QStringList &SignallingList()
{
    static const QStringList list{QStringLiteral("DTMF"), QStringLiteral("2TONE"), QStringLiteral("5TONE"),
                                  QStringLiteral("FSK")};
    return list;
}

const QStringList &SignallingEntryList()
{
    static const QStringList list = Numbers(1, 16);
    return list;
}

const QStringList &OnOffList()
{
    static const QStringList list{QStringLiteral(QT_TRANSLATE_NOOP("Texts", "开")), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "关"))};
    return list;
}

const QStringList &NewChannelDefaults()
{
    static const QStringList list{
        QStringLiteral(QT_TRANSLATE_NOOP("Texts", "无")), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "无")), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "高")), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "宽带")),
        QStringLiteral(QT_TRANSLATE_NOOP("Texts", "有")), QStringLiteral("25000"), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "无")), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "无")),
        QStringLiteral(QT_TRANSLATE_NOOP("Texts", "无")), QStringLiteral(QT_TRANSLATE_NOOP("Texts", "无")), QStringLiteral("DTMF"), QStringLiteral("1"),
        QStringLiteral(QT_TRANSLATE_NOOP("Texts", "无")),
    };
    return list;
}
