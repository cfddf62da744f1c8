#pragma once

#include "mainconfig/MainConfig.h"

#include <QString>
#include <array>

// Every text of the main configuration at one moment: all cells of the channel table (captions
// and numbers included) and the ten settings. What the radio reported is not part of it.
struct TMainSnapshot {
    std::array<std::array<QString, TMainConfig::kCols>, TMainConfig::kRows> cells;
    std::array<QString, kSettingBoxCount> settings;

    bool operator==(const TMainSnapshot &other) const
    {
        return cells == other.cells && settings == other.settings;
    }
    bool operator!=(const TMainSnapshot &other) const { return !(*this == other); }
};

TMainSnapshot TakeSnapshot(const TMainConfig &config);
// Sets every text back as the snapshot holds it; only texts that differ signal a change.
void RestoreSnapshot(TMainConfig &config, const TMainSnapshot &snapshot);
