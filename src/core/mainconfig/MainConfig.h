#pragma once

#include "mainconfig/ChannelLists.h"
#include "protocol/Frame.h"

#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <map>
#include <optional>
#include <utility>

// The main configuration as the user sees it: the texts of the channel table (17 rows x 16
// columns; row 0 the captions, column 0 the channel numbers, rows 1..16 channels 1..16) and the
// texts of the ten settings boxes. These texts are the configuration; the codec turns them into
// the radio's blocks and back.
//
// Besides the texts the model remembers the last block the radio reported for each main block
// during this run, so that bytes the encoders do not assign go back to the radio unchanged.
//
// Errors are exceptions throughout this module: EConvertError for texts that do not convert,
// EConfigFileError for the configuration file.
class TMainConfig : public QObject {
    Q_OBJECT
public:
    static constexpr int kRows = 17;
    static constexpr int kCols = col::Count;
    static constexpr int kChannels = frame::kChannelCount;

    explicit TMainConfig(QObject *parent = nullptr);

    // row 0..16, col 0..15.
    const QString &Cell(int row, int col) const;
    void SetCell(int row, int col, const QString &text);
    QStringList Row(int row) const;
    // Replaces all 16 cells of a row; missing texts become empty.
    void SetRow(int row, const QStringList &texts);
    // Replaces whole rows in one step (an import): row -> its texts, as SetRow takes them. Each
    // row then stands for the radio channel of its number (ChannelOrigin).
    void ReplaceRows(const QMap<int, QStringList> &rows);

    // box 1..10, as ComboBox1..ComboBox10.
    const QString &Setting(int box) const;
    void SetSetting(int box, const QString &text);

    // A channel (1..16) is in use when its receive frequency is not empty.
    bool IsChannelInUse(int channel) const;

    // The grid's commit of `text` into cell (row, col), followed by the entry rules: a row
    // without a receive frequency stays empty; a receive frequency entered into an empty row
    // fills the transmit frequency and the channel defaults; frequencies are shown as "0.00000".
    // A frequency that is not a number throws EConvertError ("'%s' is not a valid floating point
    // value"); the cell then keeps the typed text and nothing else changes.
    void SetEditText(int row, int col, const QString &text);

    // The main window's activation: column 0 of rows 1..16 := "1".."16".
    void RenumberChannels();
    // Texts as at program start: captions, channel numbers, empty channels, the boxes' start
    // texts. What the radio reported stays remembered.
    void Reset();

    // The raw data of the last main block the radio reported (area 0 blocks 1..16, area 5
    // block 0), or 28 zero bytes when it has not been read in this run.
    void RememberReadBlock(int area, int block, const Block &data);
    Block LastReadBlock(int area, int block) const;
    bool WasRead(int area, int block) const;
    // The radio channel (1..16) whose texts row 1..16 holds, 0 for none: row n after a read of
    // channel n, and at the start. The row operations move it with the texts, so that what the
    // radio last reported for a channel (ChannelRead) stays with it.
    int ChannelOrigin(int row) const;
    void SetChannelOrigin(int row, int channel);
    // The last block the radio reported for the channel that row 1..16 holds, if any.
    std::optional<Block> ChannelRead(int row) const;

Q_SIGNALS:
    // Emitted when a text actually changes.
    void CellChanged(int row, int col);
    void SettingChanged(int box);

private:
    void ClearRow(int row);
    void StartNewChannel(int row);
    void FormatFrequencyCell(int row, int col);

    std::array<std::array<QString, kCols>, kRows> m_cells;
    std::array<QString, kSettingBoxCount> m_settings;
    std::map<std::pair<int, int>, Block> m_lastRead;
    std::array<int, kRows> m_origin;
};
