#pragma once

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

    bool operator==(const TMainSnapshot &other) const
    {
        return cells == other.cells && settings == other.settings;
    }
    bool operator!=(const TMainSnapshot &other) const { return !(*this == other); }
};

TMainSnapshot TakeSnapshot(const TMainConfig &config);
// Sets every text back as the snapshot holds it; only texts that differ signal a change.
void RestoreSnapshot(TMainConfig &config, const TMainSnapshot &snapshot);
