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
    for (int row = 0; row < TMainConfig::kRows; ++row)
        snapshot.origins[row] = config.ChannelOrigin(row);
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
    for (int row = 0; row < TMainConfig::kRows; ++row)
        config.SetChannelOrigin(row, snapshot.origins[row]);
}
