#pragma once

#include "protocol/Frame.h"
#include "protocol/MainImage.h"

#include <QString>
#include <optional>

class TMainConfig;

// The main configuration in the radio's memory: area 0 blocks 1..16 hold channels 1..16, area 5
// block 0 the global settings. The encoders check every text and refuse what does not fit its
// field (EConvertError whose message names the channel and column, or the settings box); nothing
// is cut to its low bits. Bytes an encoder does not assign are sent as the radio last reported
// them in this run (TMainConfig::ChannelRead, LastReadBlock), 0 when never read. A cell the
// decoder left empty (a code it does not know) keeps the radio's bytes; a cell emptied by hand,
// or empty in a channel never read, is refused.

// "无" -> 0xFFFF; "88.5" -> 885 (tenths of a hertz, 0 to 409.5 Hz, at most one decimal);
// "023N" -> 0x2017, "754I" -> 0xA2F2 (three digits read as a decimal number, 0x2000 normal,
// 0xA000 inverted). Anything else throws EConvertError.
quint16 EncodeTone(const QString &text);
// The cell text of a tone code, or nullopt for a code of unknown kind (the cell shows empty).
std::optional<QString> DecodeTone(quint16 code);

// Checks the text of one channel cell (a column from col::RxFreq on) as a write encodes it;
// throws its EConvertError, without a place, when the radio cannot store the text.
void CheckChannelCell(int column, const QString &text);
// A receive frequency that reads as zero: the radio takes the channel for one not in use.
bool MarksChannelNotInUse(const QString &rxFreq);
// The text a cell shows once stored and read back ("0" in 扰频 comes back as "无"); nullopt
// when it comes back as it was typed. Throws EConvertError, without a place, when the radio
// cannot store the text.
std::optional<QString> StoredChannelCell(int column, const QString &text);

// The data of channel n (1..16) from row n; 27 zero bytes and 0xFF for a channel not in use.
Block EncodeChannelBlock(const TMainConfig &config, int n);
// The data of the settings block from the ten boxes.
Block EncodeSettingsBlock(const TMainConfig &config);
// All 17 blocks of a main write, checked in write order before anything goes out. Throws the
// first EConvertError, e.g. "信道 3 接收频率: 'abc' is not a valid floating point value".
MainImage BuildMainImage(const TMainConfig &config);
// The same for a file's table before the radio it goes to is read: an empty cell may stand for
// that radio's unknown code, and takes 0 (or the bytes the table last read) here. Checks every
// other text; the write itself, after its read, uses BuildMainImage.
MainImage BuildFileImage(const TMainConfig &config);

// Shows a block of a main read (TProgramLink::MainBlockRead): area 0 blocks 1..16 into grid rows
// 1..16, area 5 block 0 into the settings boxes, and remembers its raw data. Other blocks are
// ignored.
void DecodeMainBlock(TMainConfig &config, int area, int block, const Block &data);
