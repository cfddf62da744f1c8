#pragma once

#include "protocol/Frame.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

// The radio's whole memory: every block of the six areas, 28 data bytes each.
//
// Image file (UTF-8 text, LF line ends):
//   xiepin-image 1
//   AREA BLOCK HEX      one line per block, HEX = the 28 data bytes as 56 upper-case hex digits
// The block lines come in exactly the order of Places(): area 0 blocks 1..16, area 5 block 0,
// area 1 blocks 0..3, area 2 blocks 0..2, area 3 blocks 0..10, area 4 blocks 0..16: 52 lines.
// Reading tolerates CR LF line ends, lower-case hex digits and a missing LF after the last
// line; anything else that differs (a blank line, extra spaces, a byte-order mark) is refused.
class TRadioImage {
public:
    struct Place {
        int area;
        int block;
    };
    static constexpr int kBlockCount = TotalBlockCount();  // 16 + 1 + 4 + 3 + 11 + 17
    static const std::array<Place, kBlockCount> &Places();
    static bool contains(int area, int block);

    // Every channel empty (27 zero bytes and 0xFF), every other block zero.
    TRadioImage();

    // Throws std::out_of_range for a block outside the six areas.
    const Block &block(int area, int block) const;
    void setBlock(int area, int block, const Block &data);

    bool operator==(const TRadioImage &other) const { return m_blocks == other.m_blocks; }
    bool operator!=(const TRadioImage &other) const { return !(*this == other); }

    QByteArray toText() const;
    // Refuses a malformed image; *error then names the line, e.g.
    // "line 7: expected area 0 block 6, found area 0 block 7".
    static std::optional<TRadioImage> fromText(const QByteArray &text, QString *error);

    // Written atomically: readers see the old file or the complete new one.
    bool save(const QString &path, QString *error) const;
    static std::optional<TRadioImage> load(const QString &path, QString *error);

private:
    static int indexOf(int area, int block);  // -1 outside the areas
    std::array<Block, kBlockCount> m_blocks{};
};

// The data of an empty channel block: 27 zero bytes and 0xFF.
Block EmptyChannelBlock();
