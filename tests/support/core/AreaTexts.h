#pragma once

#include "protocol/Frame.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtTest>
#include <initializer_list>
#include <vector>

class TEditorTexts;
class TSignallingArea;

// Blocks of an editor area in hex, and its texts addressed by target: "ed1" is a control,
// "xg2:4,1" the cell in column 4, row 1 of grid xg2.

// Bytes from hex ("BD 07"), placed in a block from an offset; the rest 0.
Block BlockWith(int offset, const QByteArray &hex);
inline Block Hex(const char *hex)
{
    return BlockWith(0, hex);
}

// count bytes from offset, "BD07"; a whole block, "BD 07 ...".
QByteArray HexAt(const Block &data, int offset, int count);
QByteArray HexOf(const Block &data);

QString TextOf(const TEditorTexts &texts, const QString &target);

// Each edit "target=text" as the user makes it: a cell through the grid's commit (entry rules).
void Apply(TEditorTexts &texts, const QStringList &edits);

// Fails the running test unless every "target=text" holds.
void Expect(const TEditorTexts &texts, const QStringList &expected);

// Every control and cell as "target=text".
QStringList AllTexts(const TEditorTexts &texts);

// The message EncodeBlocks throws; "accepted" when it throws none.
QString EncodeError(const TSignallingArea &area);

// Every block in turn, numbered from 0, as a read brings them.
void DecodeAll(TSignallingArea &area, const std::vector<Block> &blocks);

// An editor's texts with the codec of its area bound to them: tests reach the texts directly
// and the codec as `codec`.
template <class Texts, class Codec>
class TAreaRig : public Texts {
public:
    TAreaRig() = default;
    TAreaRig(const TAreaRig &) = delete;
    TAreaRig &operator=(const TAreaRig &) = delete;

    Codec codec{*this};
};

// The source's blocks decoded into the copy: the copy encodes the same blocks and, with
// sameTexts, shows the source's texts.
template <class Area>
void CheckRoundTrip(const Area &source, Area &copy, bool sameTexts)
{
    const std::vector<Block> blocks = source.codec.EncodeBlocks();
    DecodeAll(copy.codec, blocks);
    QCOMPARE(copy.codec.EncodeBlocks(), blocks);
    if (sameTexts)
        QCOMPARE(AllTexts(copy), AllTexts(source));
}

// The current data row: its "edits" give its "bytes" (hex) at "offset" of block "block".
template <class Area>
void CheckEncodedField()
{
    QFETCH(QStringList, edits);
    QFETCH(int, block);
    QFETCH(int, offset);
    QFETCH(QByteArray, bytes);
    Area area;
    Apply(area, edits);
    const std::vector<Block> blocks = area.codec.EncodeBlocks();
    QCOMPARE(HexAt(blocks.at(static_cast<std::size_t>(block)), offset, static_cast<int>(bytes.size() / 2)), bytes);
}

// The current data row: its "bytes" at "offset" of block "block", decoded into the area, show
// its "texts".
template <class Area>
void CheckDecodedField(Area &area)
{
    QFETCH(int, block);
    QFETCH(int, offset);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, texts);
    area.codec.DecodeBlock(block, BlockWith(offset, bytes));
    Expect(area, texts);
}

// The current data row: its "bytes" at "offset" of block "block", as a read from the radio
// brings them into an empty area, are written back as "back" (hex) at the same place.
template <class Area>
void CheckWrittenBack()
{
    QFETCH(int, block);
    QFETCH(int, offset);
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, back);
    Area area;
    area.codec.DecodeBlock(block, BlockWith(offset, bytes));
    QCOMPARE(EncodeError(area.codec), QStringLiteral("accepted"));
    const std::vector<Block> blocks = area.codec.EncodeBlocks();
    QCOMPARE(HexAt(blocks.at(static_cast<std::size_t>(block)), offset, static_cast<int>(back.size() / 2)), back);
}

// Replies for blocks outside the area, every byte the fill, change no text.
template <class Area>
void CheckBlocksIgnored(Area &area, std::initializer_list<int> blocks, std::uint8_t fill)
{
    const QStringList before = AllTexts(area);
    Block data;
    data.fill(fill);
    for (const int block : blocks)
        area.codec.DecodeBlock(block, data);
    QCOMPARE(AllTexts(area), before);
}
