#pragma once

#include "protocol/RadioImage.h"

#include <QStringList>
#include <memory>
#include <vector>

class TMainConfig;
class TEditorTexts;

// Field by field differences, one line per field that differs, in the order the window shows
// the fields, each "<field>: <from> → <to>" (an empty text shown as "（空）"):
//   main:        "信道 3 接收频率: 438.50000 → 439.00000", "静噪等级: 1 → 3"
//                (channel table captions, settings labels without their colon)
//   signalling:  "DTMF速率: 6 → 10" (a control's label; a check box's caption with "开"/"关"),
//                "解码 3 提示2: 1 → 2" (a grid cell as TGridTexts::Place names it)
// `from` is the radio and `to` the window or the file, as the compare shows them. Names and list
// entries are shown in the language of the installed translator (ShownText); Chinese without one.

// Channel rows 1..16, columns 1..15, then the settings; the alarm only with withAlarm (a
// configuration file does not hold it).
QStringList MainFieldDiff(const TMainConfig &from, const TMainConfig &to, bool withAlarm = true);

// Every control, then every grid's cells (row 0, the captions, and column 0 left out).
QStringList EditorFieldDiff(const TEditorTexts &from, const TEditorTexts &to);

// The texts of an area (1..4) as its editor shows them after a read of these blocks (all of
// the area's blocks, in order).
std::unique_ptr<TEditorTexts> DecodeAreaTexts(int area, const std::vector<Block> &blocks);
// The blocks of an area as an image holds them (blocks it lacks as in an empty image).
std::vector<Block> AreaBlocks(const TRadioImage &image, int area);
// Channels and settings as the main window shows them after a read of the image's blocks.
void DecodeMainImage(TMainConfig &config, const TRadioImage &image);

// The fields of what both images hold: each channel both hold, the settings when both hold
// them, then each signalling area both hold any block of, in file order.
QStringList ImageFieldDiff(const TRadioImage &from, const TRadioImage &to, bool withAlarm = true);
