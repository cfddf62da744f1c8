#pragma once

#include "protocol/Frame.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <bitset>
#include <optional>
#include <vector>

// Blocks of the radio's memory, 28 data bytes each: all 52 of the six areas (a whole image, as a
// backup of the whole radio) or any subset of them (a backup of what one write is about to
// overwrite). The image knows which blocks it holds; a restore writes only those.
//
// Image file (UTF-8 text, LF line ends):
//   xiepin-image 1              a whole image: exactly the 52 block lines follow
//   xiepin-image 1 subset N     a subset: N block lines follow, each block at most once
//   # text                      a note (date, port, program, contents); anywhere, skipped
//   AREA BLOCK HEX              one line per block, HEX = the 28 data bytes as 56 upper-case hex digits
// The block lines come in the order of Places(): area 0 blocks 1..16, area 5 block 0, area 1
// blocks 0..3, area 2 blocks 0..2, area 3 blocks 0..10, area 4 blocks 0..16; a subset leaves
// some out. The count of a subset makes a cut-short file fail like a cut-short whole image.
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

    // A whole image: every channel empty (27 zero bytes and 0xFF), every other block zero.
    TRadioImage();
    // An image that holds no block yet; setBlock adds them.
    static TRadioImage None();

    // Throws std::out_of_range for a block outside the six areas. A block the image does not
    // hold reads as in an empty whole image.
    const Block &block(int area, int block) const;
    // Stores the data; the image holds the block from then on.
    void setBlock(int area, int block, const Block &data);
    // The image no longer holds the block (or any block of the area).
    void dropBlock(int area, int block);
    void dropArea(int area);

    bool holds(int area, int block) const;  // false outside the six areas
    bool holdsAnyOf(int area) const;
    bool isWhole() const { return m_held.all(); }
    bool isEmpty() const { return m_held.none(); }
    int heldCount() const { return static_cast<int>(m_held.count()); }
    // The places held, in file order.
    std::vector<Place> heldPlaces() const;
    // What the image holds in words: "all", or area ids in file order joined by '-', with
    // "main" for the channels and the settings together: "main", "main-dtmf", "twotone".
    QString contentsId() const;
    // This image's data of exactly the blocks that `which` holds; a block this image lacks is
    // left out.
    TRadioImage restrictedTo(const TRadioImage &which) const;

    // Notes of the file, without the "# " in front; written after the header line.
    const QStringList &notes() const { return m_notes; }
    void setNotes(const QStringList &notes) { m_notes = notes; }

    // Equal when they hold the same blocks with the same data; notes do not count.
    bool operator==(const TRadioImage &other) const;
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
    static Block initialBlock(int area);
    std::array<Block, kBlockCount> m_blocks{};
    std::bitset<kBlockCount> m_held;
    QStringList m_notes;
};

// The data of an empty channel block: 27 zero bytes and 0xFF.
Block EmptyChannelBlock();
