#pragma once

#include "mainconfig/MainConfig.h"

#include <QString>
#include <array>
#include <optional>

// Every text of the main configuration at one moment: all cells of the channel table (captions
// and numbers included) and the ten settings. What the radio reported for each channel rides
// along, so that putting a snapshot back puts it back too, but it is not compared: the texts
// are the configuration.
struct TMainSnapshot {
    std::array<std::array<QString, TMainConfig::kCols>, TMainConfig::kRows> cells;
    std::array<QString, kSettingBoxCount> settings;
    std::array<std::optional<Block>, TMainConfig::kChannels> channelReads;

    bool operator==(const TMainSnapshot &other) const
    {
        return cells == other.cells && settings == other.settings;
    }
    bool operator!=(const TMainSnapshot &other) const { return !(*this == other); }
};

TMainSnapshot TakeSnapshot(const TMainConfig &config);
// Sets every text back as the snapshot holds it; only texts that differ signal a change.
void RestoreSnapshot(TMainConfig &config, const TMainSnapshot &snapshot);
