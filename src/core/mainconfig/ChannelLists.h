#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// The static definitions behind the channel table and the settings boxes: captions, widths,
// editors, drop-down lists in their on-screen order, and start texts. The main window builds its
// grid and boxes from these; the model and the codec compare cell texts against the same lists.

// Columns of the channel table.
namespace col {
enum : int {
    Number = 0,       // channel number 1..16
    RxFreq,           // receive frequency, MHz
    TxFreq,           // transmit frequency, MHz
    ToneDecode,       // QT/DQT decode
    ToneEncode,       // QT/DQT encode
    Power,
    Bandwidth,
    ScanAdd,
    Step,             // tuning step, Hz
    DtmfKey1,
    DtmfKey2,
    PttId,
    Scrambler,
    Signalling,       // optional signalling system
    SignallingEntry,  // entry in that system's table
    Compander,
    Count
};
}  // namespace col

// The ten settings boxes, numbered like their controls ComboBox1..ComboBox10.
enum SettingBox : int {
    VoxLevelBox = 1,
    VoxDelayBox,
    SquelchBox,
    TimeOutBox,
    VoicePromptBox,
    Pf1Box,
    Pf2Box,
    ScanBox,
    PowerSaveBox,
    AlarmBox,
};
constexpr int kSettingBoxCount = 10;

enum class EditorKind {
    None,   // the column cannot be edited
    Edit,   // free text
    Combo,  // drop-down list that also takes typed text
};

struct ChannelColumn {
    QString caption;      // row 0 text
    int width;            // pixels
    EditorKind editor;
    QString editorName;   // columns that name the same editor share one editor component
    QStringList items;    // drop-down list, in order
    QString defaultText;  // what the editor shows when it opens on an empty cell
};

struct SettingDef {
    QString controlName;  // "ComboBox1".."ComboBox10"
    QString label;        // the label left of the box
    QStringList items;    // drop-down list, in order
    QString startText;    // text at start
};

// All 16 columns, indexed by col::.
const QVector<ChannelColumn> &ChannelColumns();
// box: 1..10 (VoxLevelBox..AlarmBox).
const SettingDef &SettingDefinition(int box);
// A settings label without its trailing colon, for naming the box in messages.
QString SettingPlaceName(int box);
// The same names in the language shown (see ShownText), for messages to people: "信道 3 接收频率"
// for channel 3's receive frequency, and a settings box by its label.
QString ShownChannelPlace(int channel, int column);
QString ShownSettingPlace(int box);

// "无", the 51 CTCSS tones, the 83 DCS codes with "N", the same codes with "I": 218 entries.
const QStringList &ToneList();
// "无" and the 12 key functions in on-screen order (which is not their code order).
const QStringList &PfList();
// "无", "1".."9", "*", "0", "#", "A", "B", "C", "D".
const QStringList &DtmfKeyList();
const QStringList &PowerList();
const QStringList &BandwidthList();
const QStringList &YesNoList();
const QStringList &StepList();
const QStringList &PttIdList();
const QStringList &ScramblerList();
const QStringList &SignallingList();
const QStringList &SignallingEntryList();
const QStringList &OnOffList();

// Cells 3..15 of a channel that comes into use by entering its receive frequency. The compander
// starts as "无" although its editor's default text is "有".
const QStringList &NewChannelDefaults();
