#include "protocol/FactoryImage.h"

#include "base/LittleEndian.h"

namespace {

// Fills one block field by field; multi-byte values least significant byte first.
class BlockWriter {
public:
    explicit BlockWriter(Block &data) : m_data(data) {}
    BlockWriter &u8(int offset, unsigned value) { return put(offset, value, 1); }
    BlockWriter &u16(int offset, unsigned value) { return put(offset, value, 2); }
    BlockWriter &u24(int offset, unsigned value) { return put(offset, value, 3); }
    BlockWriter &u32(int offset, unsigned value) { return put(offset, value, 4); }

private:
    BlockWriter &put(int offset, unsigned value, int width)
    {
        WriteLe(m_data, offset, width, value);
        return *this;
    }
    Block &m_data;
};

constexpr unsigned kNoTone = 0xFFFF;
constexpr unsigned kNoKey = 0xFF;
constexpr unsigned kOn = 0xFF;
constexpr unsigned kOff = 0x00;

struct Channel {
    int number;
    unsigned rxHz, txHz;
    unsigned decodeTone, encodeTone;  // CTCSS in 0.1 Hz, DCS 0x2ddd normal / 0xAddd inverted
    unsigned power, bandwidth, scan;  // 0xFF high / wide / in the scan list
    unsigned stepHz;
    unsigned key1, key2;              // DTMF key codes, 0xFF none
    unsigned pttId;                   // 0 none, 1 BOTH, 2 BOT, 3 EOT
    unsigned scrambler;               // 0 none, 1..10
    unsigned compander;
    unsigned signalling, entry;       // 0 DTMF, 1 2TONE, 2 5TONE, 3 FSK; entry 1..16
};

// Channels 7..16 stay empty.
constexpr Channel kChannels[] = {
    // no  receive    transmit   decode  encode   power bw    scan  step   keys          ptt scr comp  sig entry
    {1, 438500000, 438500000, 885,    885,     kOn,  kOn,  kOn,  25000, kNoKey, kNoKey, 0, 0, kOff, 0, 1},
    {2, 439125000, 439125000, kNoTone, kNoTone, kOff, kOff, kOn,  12500, kNoKey, kNoKey, 0, 0, kOff, 0, 1},
    {3, 446006250, 446006250, 670,    670,     kOff, kOff, kOn,  6250,  0x01,   0x0C,   2, 0, kOff, 1, 2},
    {4, 439275000, 431675000, kNoTone, 1230,   kOn,  kOn,  kOff, 25000, kNoKey, kNoKey, 1, 0, kOn,  2, 1},
    {5, 433500000, 433500000, 0x2017, 0x2017,  kOn,  kOff, kOn,  12500, kNoKey, kNoKey, 0, 3, kOn,  3, 1},
    {6, 446093750, 446093750, 0xA2F2, 0xA2F2,  kOff, kOff, kOn,  6250,  kNoKey, kNoKey, 3, 0, kOff, 0, 1},
};

Block channelBlock(const Channel &c)
{
    Block data = EmptyChannelBlock();  // bytes 24..26 zero, byte 27 0xFF
    BlockWriter(data)
        .u32(0, c.rxHz).u32(4, c.txHz)
        .u16(8, c.decodeTone).u16(10, c.encodeTone)
        .u8(12, c.power).u8(13, c.bandwidth).u8(14, c.scan)
        .u16(15, c.stepHz)
        .u8(17, c.key1).u8(18, c.key2)
        .u8(19, c.pttId).u8(20, c.scrambler)
        .u8(21, c.compander)
        .u8(22, c.signalling).u8(23, c.entry);
    return data;
}

// Area 5: power save on, alarm on, VOX off, VOX delay 1, squelch 0, time-out 60 s,
// Chinese voice prompt, PF1 and PF2 unassigned, scan on.
Block settingsBlock()
{
    Block data{};
    BlockWriter(data).u8(0, 1).u8(1, 1).u8(8, 0).u8(9, 1).u8(10, 0).u8(11, 60).u8(12, 1).u8(13, 0).u8(14, 0).u8(15, 1);
    return data;
}

// Area 1. Digit strings are 4-bit codes, first digit highest ("0" = 0xA, "*" = 0xB, "#" = 0xC),
// except the ID code, whose table swaps "0" and "*"; "12345678" is the same in both.
void fillDtmf(TRadioImage &image)
{
    struct Memory {
        unsigned code, digits;
    };
    constexpr Memory memories[] = {{0x123, 3}, {0x1AA86, 5}, {0xBAC, 3}};  // "123", "10086", "*0#"

    Block parameters{};
    BlockWriter w(parameters);
    w.u8(0, 6)        // DTMF rate
        .u8(1, 10)    // first digit time 100 ms
        .u8(2, 10)    // first digit delay 100 ms
        .u8(3, 0)     // "*" and "#" tone time 0 ms
        .u8(4, 0)     // D key: "D码"
        .u8(5, kOn)   // side tone
        .u32(10, 0x12345678).u8(19, 8)  // ID code "12345678", 8 digits
        .u8(14, 0xFF) // group call off
        .u8(15, 10)   // auto-reset 10 s
        .u8(16, 1)    // call alarm "常规"
        .u8(17, 0)    // auto answer off
        .u8(18, kOff);
    Block first{};
    for (int i = 0; i < 3; ++i) {
        w.u8(20 + i, memories[i].digits);
        BlockWriter(first).u32(4 * i, memories[i].code);
    }
    image.setBlock(frame::kDtmfArea, 0, parameters);
    image.setBlock(frame::kDtmfArea, 1, first);
}

// Area 2: own queue 100, ID 1000, 2400 baud, 400 ms delay, 10 s timer, side tone on;
// queue/ID pairs 1..3 set.
void fillFsk(TRadioImage &image)
{
    Block own{};
    BlockWriter(own)
        .u16(0, 100).u16(2, 1000).u8(4, 24).u16(5, 400).u8(7, 10).u8(8, kOn)
        .u16(20, 100).u16(22, 1001)
        .u16(24, 100).u16(26, 1002);
    Block pairs{};
    BlockWriter(pairs).u16(0, 100).u16(2, 1003);
    image.setBlock(frame::kFskArea, 0, own);
    image.setBlock(frame::kFskArea, 1, pairs);
}

// Area 3: tones A..D, reset time, tone and gap durations, three encode pairs, two decode
// entries with all four codes set (a decode entry reads back as in use only then).
void fillTwoTone(TRadioImage &image)
{
    Block timing{};
    BlockWriter(timing)
        .u16(0, 1981).u16(2, 1124).u16(4, 1197).u16(6, 1275)
        .u16(8, 6000)
        .u16(10, 500).u16(12, 500).u16(14, 500)
        .u16(20, 1981).u16(22, 1124)
        .u16(24, 1197).u16(26, 1275);
    Block encode{};
    BlockWriter(encode).u16(0, 1124).u16(2, 1981);

    struct Slot {
        unsigned code, mode, prompt;  // code: first tone high nibble, second low (0xA..0xD)
    };
    constexpr Slot entries[2][4] = {
        {{0xAB, 1, 1}, {0xAC, 2, 2}, {0xBA, 3, 3}, {0xCD, 0, 4}},
        {{0xAD, 1, 5}, {0xBC, 1, 6}, {0xCA, 2, 7}, {0xDB, 3, 8}},
    };
    Block decode{};
    BlockWriter w(decode);
    for (int e = 0; e < 2; ++e)
        for (int s = 0; s < 4; ++s)
            w.u8(12 * e + 3 * s, entries[e][s].code).u8(12 * e + 3 * s + 1, entries[e][s].mode).u8(12 * e + 3 * s + 2, entries[e][s].prompt);

    image.setBlock(frame::kTwoToneArea, 0, timing);
    image.setBlock(frame::kTwoToneArea, 1, encode);
    image.setBlock(frame::kTwoToneArea, 3, decode);
}

// Area 4: tone durations per standard with group call "A" and repeat "E", 500 ms delays,
// two encode and two decode entries. Unused entries carry standard CCIR so they read back
// as a valid row.
void fillFiveTone(TRadioImage &image)
{
    constexpr unsigned kCcir = 1, kEea = 3;
    constexpr unsigned durations[5] = {100, 33, 40, 70, 70};  // CCIR, EIA, EEA, ZVEI1, ZVEI2
    Block standards{};
    BlockWriter w(standards);
    for (int i = 0; i < 5; ++i)
        w.u8(3 * i, durations[i]).u8(3 * i + 1, 0xA).u8(3 * i + 2, 0xE);
    w.u8(20, 50).u8(21, 50).u8(22, 50).u8(23, 50);
    image.setBlock(frame::kFiveToneArea, 0, standards);

    // Encode entry: frame codes at 0, 3, 6, acknowledge code at 9, standard at 12.
    for (int b = 1; b <= 8; ++b) {
        Block data{};
        BlockWriter(data).u8(12, kCcir).u8(14 + 12, kCcir);
        if (b == 1)
            BlockWriter(data).u24(0, 0x12345).u24(14, 0x23456).u8(14 + 12, kEea);
        image.setBlock(frame::kFiveToneArea, b, data);
    }
    // Decode entry: standard | first function << 4 at 0, codes at 1, 4, 8, reply at 11,
    // second function | third function << 4 at 7.
    for (int b = 9; b <= 16; ++b) {
        Block data{};
        BlockWriter(data).u8(0, kCcir).u8(14, kCcir);
        if (b == 9)
            BlockWriter(data)
                .u8(0, kCcir | 1 << 4).u24(1, 0x12345)                            // "主叫"
                .u8(14, kEea | 3 << 4).u24(15, 0x23456).u8(14 + 7, 5 | 8 << 4);  // "监听", "报警", "唤醒"
        image.setBlock(frame::kFiveToneArea, b, data);
    }
}

}  // namespace

TRadioImage FactoryImage()
{
    TRadioImage image;
    for (const Channel &c : kChannels)
        image.setBlock(frame::kMainArea, c.number, channelBlock(c));
    image.setBlock(frame::kSettingsArea, 0, settingsBlock());
    fillDtmf(image);
    fillFsk(image);
    fillTwoTone(image);
    fillFiveTone(image);
    return image;
}
