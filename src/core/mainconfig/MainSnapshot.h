#pragma once

#include "base/TextConvert.h"
#include "mainconfig/MainConfig.h"

#include <QString>
#include <array>

// Every text of the main configuration at one moment: all cells of the channel table (captions
// and numbers included) and the ten settings. The radio channel each row holds
// (TMainConfig::ChannelOrigin) rides along, so that putting a snapshot back puts the rows' ties
// to what the radio reported back too, but it is not compared: the texts are the configuration.
// What the radio reported is not part of it.
struct TMainSnapshot {
    std::array<std::array<QString, TMainConfig::kCols>, TMainConfig::kRows> cells;
    std::array<QString, kSettingBoxCount> settings;
    std::array<int, TMainConfig::kRows> origins;

    // An empty cell and one holding a space count as equal (SameCellText), so that changing one
    // into the other is no step.
    bool operator==(const TMainSnapshot &other) const
    {
        for (int row = 0; row < TMainConfig::kRows; ++row)
            for (int col = 0; col < TMainConfig::kCols; ++col)
                if (!SameCellText(cells[row][col], other.cells[row][col]))
                    return false;
        return settings == other.settings;
    }
    bool operator!=(const TMainSnapshot &other) const { return !(*this == other); }
};

TMainSnapshot TakeSnapshot(const TMainConfig &config);
// Sets every text back as the snapshot holds it; only texts that differ signal a change.
void RestoreSnapshot(TMainConfig &config, const TMainSnapshot &snapshot);
