#pragma once

class TMainConfig;

// Consecutive channels first..Last() of the channel table, within 1..16.
struct TChannelRange {
    int first = 1;
    int count = 1;
    int Last() const { return first + count - 1; }
    bool IsValid() const;
};

// Whole-row operations on the channel table. Only columns 1..15 move, with the radio channel
// they came from (TMainConfig::ChannelOrigin); column 0 keeps the channel numbers. Inserted and
// cleared channels come from none. An empty channel has all fifteen texts empty. An operation
// that is refused returns false and changes nothing.

// The channel that inserting the range would push off the end of the table (the last in use
// of the `count` last channels), or 0 when nothing would be lost.
int ChannelLostByInsert(const TMainConfig &config, TChannelRange range);
// Empty channels at the range; the channels from range.first on move down by range.count.
// Refused when a channel in use would be pushed off the end.
bool InsertChannels(TMainConfig &config, TChannelRange range);
// The channels below the range move up into it; the last range.count channels become empty.
bool DeleteChannels(TMainConfig &config, TChannelRange range);
// The range moves one channel up (delta -1) or down (+1); the channel it moves over takes the
// place on its other side. Refused at the top or bottom edge.
bool MoveChannels(TMainConfig &config, TChannelRange range, int delta);
// Every channel of the range becomes empty.
bool ClearChannels(TMainConfig &config, TChannelRange range);
