#include "mainconfig/MainConfig.h"

#include "base/DecimalText.h"
#include "base/TextConvert.h"

TMainConfig::TMainConfig(QObject *parent)
    : QObject(parent)
{
    Reset();
}

const QString &TMainConfig::Cell(int row, int col) const
{
    Q_ASSERT(row >= 0 && row < kRows && col >= 0 && col < kCols);
    return m_cells[row][col];
}

void TMainConfig::SetCell(int row, int col, const QString &text)
{
    Q_ASSERT(row >= 0 && row < kRows && col >= 0 && col < kCols);
    QString &cell = m_cells[row][col];
    if (cell == text)
        return;
    cell = text;
    Q_EMIT CellChanged(row, col);
}

QStringList TMainConfig::Row(int row) const
{
    QStringList texts;
    for (int c = 0; c < kCols; ++c)
        texts << Cell(row, c);
    return texts;
}

void TMainConfig::SetRow(int row, const QStringList &texts)
{
    for (int c = 0; c < kCols; ++c)
        SetCell(row, c, c < texts.size() ? texts.at(c) : QString());
}

void TMainConfig::ReplaceRows(const QMap<int, QStringList> &rows)
{
    // An imported row is no moved radio channel: it goes to the channel of its row, whose
    // reported bytes fill what its texts leave to the radio.
    for (auto it = rows.cbegin(); it != rows.cend(); ++it) {
        SetRow(it.key(), it.value());
        SetChannelOrigin(it.key(), it.key());
    }
}

const QString &TMainConfig::Setting(int box) const
{
    Q_ASSERT(box >= 1 && box <= kSettingBoxCount);
    return m_settings[box - 1];
}

void TMainConfig::SetSetting(int box, const QString &text)
{
    Q_ASSERT(box >= 1 && box <= kSettingBoxCount);
    QString &setting = m_settings[box - 1];
    if (setting == text)
        return;
    setting = text;
    Q_EMIT SettingChanged(box);
}

bool TMainConfig::IsChannelInUse(int channel) const
{
    return !IsEmptyText(Cell(channel, col::RxFreq));
}

void TMainConfig::SetEditText(int row, int col, const QString &text)
{
    SetCell(row, col, text);
    // A row comes into use only through its receive frequency; anything else typed into an
    // empty row is dropped.
    if (IsEmptyText(Cell(row, col::RxFreq))) {
        SetCell(row, col, QString());
        ClearRow(row);
    }
    if (col == col::RxFreq && !IsEmptyText(Cell(row, col::RxFreq)) && IsEmptyText(Cell(row, col::TxFreq)))
        StartNewChannel(row);
    if ((col == col::RxFreq || col == col::TxFreq) && !IsEmptyText(Cell(row, col)))
        FormatFrequencyCell(row, col);
}

void TMainConfig::ClearRow(int row)
{
    SetCell(row, col::TxFreq, QString());
    SetCell(row, col::RxFreq, QString());
    for (int c = col::ToneDecode; c < kCols; ++c)
        SetCell(row, c, QString());
}

void TMainConfig::StartNewChannel(int row)
{
    const QString frequency = FormatFixed(StrToFloat(Cell(row, col::RxFreq)), 5);
    SetCell(row, col::RxFreq, frequency);
    SetCell(row, col::TxFreq, frequency);
    const QStringList &defaults = NewChannelDefaults();
    for (int c = col::ToneDecode; c < kCols; ++c)
        SetCell(row, c, defaults.at(c - col::ToneDecode));
}

void TMainConfig::FormatFrequencyCell(int row, int col)
{
    SetCell(row, col, FormatFixed(StrToFloat(Cell(row, col)), 5));
}

void TMainConfig::RenumberChannels()
{
    for (int n = 1; n <= kChannels; ++n)
        SetCell(n, col::Number, QString::number(n));
}

void TMainConfig::Reset()
{
    const QVector<ChannelColumn> &columns = ChannelColumns();
    for (int c = 0; c < kCols; ++c)
        SetCell(0, c, columns.at(c).caption);
    for (int row = 1; row < kRows; ++row)
        for (int c = 1; c < kCols; ++c)
            SetCell(row, c, QString());
    RenumberChannels();
    for (int box = 1; box <= kSettingBoxCount; ++box)
        SetSetting(box, SettingDefinition(box).startText);
    for (int row = 0; row < kRows; ++row)
        SetChannelOrigin(row, row);
}

void TMainConfig::RememberReadBlock(int area, int block, const Block &data)
{
    m_lastRead[{area, block}] = data;
    if (area == frame::kMainArea && block >= 1 && block <= kChannels)
        SetChannelOrigin(block, block);
}

Block TMainConfig::LastReadBlock(int area, int block) const
{
    const auto found = m_lastRead.find({area, block});
    return found == m_lastRead.end() ? Block{} : found->second;
}

bool TMainConfig::WasRead(int area, int block) const
{
    return m_lastRead.count({area, block}) != 0;
}

int TMainConfig::ChannelOrigin(int row) const
{
    return m_origin.at(static_cast<std::size_t>(row));
}

void TMainConfig::SetChannelOrigin(int row, int channel)
{
    m_origin.at(static_cast<std::size_t>(row)) = channel;
}

std::optional<Block> TMainConfig::ChannelRead(int row) const
{
    const auto found = m_lastRead.find({frame::kMainArea, ChannelOrigin(row)});
    return found == m_lastRead.end() ? std::nullopt : std::optional<Block>(found->second);
}
