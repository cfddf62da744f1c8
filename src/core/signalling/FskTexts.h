#pragma once

#include "signalling/EditorTexts.h"

#include <QString>
#include <vector>

// The FSK queue-sync editor's contents (window TForm6): the own queue and ID, baud rate,
// delay, information-mode timer, side tone and 16 queue/ID pairs.
//
// Controls by object name: the edit boxes ed1..ed4, the drop-down list cb1 and the check box
// CheckBox1. Grid "xg1": row 0 the captions, column 0 the entry numbers "1".."16", column 1 the
// queue and column 2 the ID of each entry. The grid has no entry rule.
class TFskTexts : public TEditorTexts {
public:
    static constexpr int kEntries = 16;
    static constexpr int kQueueColumn = 1;
    static constexpr int kIdColumn = 2;

    TFskTexts();

    static const std::vector<TControlSpec> &ControlSpecs();
    static const TGridSpec &GridSpec();
    static const std::vector<TCellEditorSpec> &CellEditorSpecs();

    TGridTexts &xg1() { return Grid(QStringLiteral("xg1")); }
    const TGridTexts &xg1() const { return Grid(QStringLiteral("xg1")); }
};
