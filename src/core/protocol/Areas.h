#pragma once

#include <QtGlobal>

#include <array>

// How an area read picks the block it requests next.
enum class NextRead {
    CountReplies,  // DTMF, FSK: the number of replies handled so far
    FollowReply,   // two-tone, five-tone, channels: the block number the reply carried + 1
};

// How an area write puts its blocks on the wire.
enum class WriteFraming {
    WithCrc,      // one 34-byte frame per block, resent every 300 ms until acknowledged
    HeadThenData, // area 2: 4-byte head, then 28 data bytes, no check value, never resent
};

namespace frame {

constexpr int kMainArea = 0;
constexpr int kDtmfArea = 1;
constexpr int kFskArea = 2;
constexpr int kTwoToneArea = 3;
constexpr int kFiveToneArea = 4;
constexpr int kSettingsArea = 5;
constexpr int kAreaCount = 6;

// Area 0 holds the channels as blocks 1..16; block 0 is never read or written.
constexpr int kChannelCount = 16;
// Answers of a main read or write: the handshake's acknowledgement, 16 channels, the settings.
constexpr int kMainAnswers = 1 + kChannelCount + 1;

}  // namespace frame

// What is fixed about one memory area of the radio.
struct TArea {
    int number;
    const char *id;    // short and stable: "main", "dtmf", "fsk", "twotone", "fivetone", "settings"
    const char *name;  // for messages: "DTMF", "two-tone", ...
    const char *title;  // UTF-8, as the window names it: the signalling menu's entries, QT_TRANSLATE_NOOP("Texts", "信道"), "设置"
    int firstBlock;
    int blockCount;
    NextRead read;
    WriteFraming framing;

    constexpr int EndBlock() const { return firstBlock + blockCount; }
    constexpr bool Holds(int block) const { return block >= firstBlock && block < EndBlock(); }
};

// Indexed by area number.
inline constexpr std::array<TArea, frame::kAreaCount> kAreas{{
    {frame::kMainArea, "main", "channels", "信道", 1, frame::kChannelCount, NextRead::FollowReply, WriteFraming::WithCrc},
    {frame::kDtmfArea, "dtmf", "DTMF", "DTMF", 0, 4, NextRead::CountReplies, WriteFraming::WithCrc},
    {frame::kFskArea, "fsk", "FSK queue sync", QT_TRANSLATE_NOOP("Texts", "FSK 队列同步"), 0, 3, NextRead::CountReplies, WriteFraming::HeadThenData},
    {frame::kTwoToneArea, "twotone", "two-tone", "2TONE", 0, 11, NextRead::FollowReply, WriteFraming::WithCrc},
    {frame::kFiveToneArea, "fivetone", "five-tone", "5TONE", 0, 17, NextRead::FollowReply, WriteFraming::WithCrc},
    {frame::kSettingsArea, "settings", "settings", QT_TRANSLATE_NOOP("Texts", "设置"), 0, 1, NextRead::CountReplies, WriteFraming::WithCrc},
}};

// The main transfer's areas in the order it moves them, then the signalling editors' areas.
inline constexpr std::array<int, frame::kAreaCount> kTransferOrder{
    frame::kMainArea, frame::kSettingsArea, frame::kDtmfArea, frame::kFskArea, frame::kTwoToneArea,
    frame::kFiveToneArea};
inline constexpr std::array<int, 4> kSignallingAreas{frame::kDtmfArea, frame::kFskArea, frame::kTwoToneArea,
                                                     frame::kFiveToneArea};

constexpr bool IsArea(int area)
{
    return area >= 0 && area < frame::kAreaCount;
}

// Throws std::out_of_range outside areas 0..5.
const TArea &AreaFacts(int area);

// Blocks of all areas together.
constexpr int TotalBlockCount()
{
    int total = 0;
    for (const TArea &area : kAreas)
        total += area.blockCount;
    return total;
}

namespace frame {

// One past the last block of the area (17 for area 0, whose block 0 is never touched); 0 for
// no area. For areas 1..5 it is the number of blocks.
constexpr int blockCount(int area)
{
    return IsArea(area) ? kAreas[static_cast<std::size_t>(area)].EndBlock() : 0;
}

}  // namespace frame
