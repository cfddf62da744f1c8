#include "mainconfig/MainSnapshot.h"

TMainSnapshot TakeSnapshot(const TMainConfig &config)
{
    TMainSnapshot snapshot;
    for (int row = 0; row < TMainConfig::kRows; ++row) {
        for (int col = 0; col < TMainConfig::kCols; ++col)
            snapshot.cells[row][col] = config.Cell(row, col);
    }
    for (int box = 1; box <= kSettingBoxCount; ++box)
        snapshot.settings[box - 1] = config.Setting(box);
    for (int channel = 1; channel <= TMainConfig::kChannels; ++channel)
        snapshot.channelReads[channel - 1] = config.ChannelRead(channel);
    return snapshot;
}

void RestoreSnapshot(TMainConfig &config, const TMainSnapshot &snapshot)
{
    for (int row = 0; row < TMainConfig::kRows; ++row) {
        for (int col = 0; col < TMainConfig::kCols; ++col)
            config.SetCell(row, col, snapshot.cells[row][col]);
    }
    for (int box = 1; box <= kSettingBoxCount; ++box)
        config.SetSetting(box, snapshot.settings[box - 1]);
    for (int channel = 1; channel <= TMainConfig::kChannels; ++channel)
        config.SetChannelRead(channel, snapshot.channelReads[channel - 1]);
}
