#include "mainconfig/ChannelRows.h"

#include "mainconfig/MainConfig.h"

#include <QStringList>
#include <vector>

namespace {

constexpr int kChannels = TMainConfig::kChannels;

// A channel as it moves: its fifteen texts, without its number, and the radio channel they
// came from, whose last reported bytes fill what the texts leave to the radio.
struct TChannelRecord {
    QStringList fields;
    int origin = 0;
};

TChannelRecord Record(const TMainConfig &config, int channel)
{
    return {config.Row(channel).mid(col::RxFreq), config.ChannelOrigin(channel)};
}

void SetFields(TMainConfig &config, int channel, const QStringList &fields)
{
    for (int c = col::RxFreq; c < TMainConfig::kCols; ++c)
        config.SetCell(channel, c, fields.value(c - col::RxFreq));
}

// Rewrites channels 1..16 from their records in the new order.
void Rewrite(TMainConfig &config, const std::vector<TChannelRecord> &order)
{
    for (int channel = 1; channel <= kChannels; ++channel) {
        const TChannelRecord &record = order[static_cast<std::size_t>(channel - 1)];
        SetFields(config, channel, record.fields);
        config.SetChannelOrigin(channel, record.origin);
    }
}

std::vector<TChannelRecord> AllRecords(const TMainConfig &config)
{
    std::vector<TChannelRecord> all;
    for (int channel = 1; channel <= kChannels; ++channel)
        all.push_back(Record(config, channel));
    return all;
}

}  // namespace

bool TChannelRange::IsValid() const
{
    return count > 0 && first >= 1 && Last() <= kChannels;
}

int ChannelLostByInsert(const TMainConfig &config, TChannelRange range)
{
    if (!range.IsValid())
        return 0;
    for (int channel = kChannels; channel > kChannels - range.count; --channel) {
        if (config.IsChannelInUse(channel))
            return channel;
    }
    return 0;
}

bool InsertChannels(TMainConfig &config, TChannelRange range)
{
    if (!range.IsValid() || ChannelLostByInsert(config, range) != 0)
        return false;
    std::vector<TChannelRecord> all = AllRecords(config);
    const auto at = all.begin() + (range.first - 1);
    all.insert(at, static_cast<std::size_t>(range.count), TChannelRecord());
    all.resize(kChannels);
    Rewrite(config, all);
    return true;
}

bool DeleteChannels(TMainConfig &config, TChannelRange range)
{
    if (!range.IsValid())
        return false;
    std::vector<TChannelRecord> all = AllRecords(config);
    const auto at = all.begin() + (range.first - 1);
    all.erase(at, at + range.count);
    all.resize(kChannels);
    Rewrite(config, all);
    return true;
}

bool MoveChannels(TMainConfig &config, TChannelRange range, int delta)
{
    if (!range.IsValid() || (delta != -1 && delta != 1))
        return false;
    const int neighbour = delta < 0 ? range.first - 1 : range.Last() + 1;
    if (neighbour < 1 || neighbour > kChannels)
        return false;
    std::vector<TChannelRecord> all = AllRecords(config);
    const TChannelRecord moved = all[static_cast<std::size_t>(neighbour - 1)];
    all.erase(all.begin() + (neighbour - 1));
    // The neighbour goes to the other end of the block.
    const int place = delta < 0 ? range.Last() : range.first;
    all.insert(all.begin() + (place - 1), moved);
    Rewrite(config, all);
    return true;
}

bool ClearChannels(TMainConfig &config, TChannelRange range)
{
    if (!range.IsValid())
        return false;
    for (int channel = range.first; channel <= range.Last(); ++channel) {
        SetFields(config, channel, QStringList());
        config.SetChannelOrigin(channel, 0);
    }
    return true;
}
