#pragma once

#include "signalling/EditorTexts.h"

#include <QString>
#include <vector>

// The DTMF editor's contents (window TForm2): the encode parameters, the 16 autodial memories
// of grid xg2 and the decode settings, with the memories' entry rule.
//
// Controls by object name: cb1..cb5 and the check box CheckB1 (encoding); Edit1, cb6..cb9 and
// the check box CheckB2 (decoding). Grid "xg2": row 0 the captions, column 0 the memory
// numbers "1".."16", column 1 the memories.
class TDtmfTexts : public TEditorTexts {
public:
    static constexpr int kMemories = 16;
    static constexpr int kMemoryColumn = 1;

    TDtmfTexts();

    static const std::vector<TControlSpec> &ControlSpecs();
    static const TGridSpec &GridSpec();
    static const std::vector<TCellEditorSpec> &CellEditorSpecs();

    TGridTexts &xg2() { return Grid(QStringLiteral("xg2")); }
    const TGridTexts &xg2() const { return Grid(QStringLiteral("xg2")); }

    void SetEditText(const QString &grid, int col, int row, const QString &value) override;
    // The entry rule of a committed memory cell: more than 8 characters keep their first 8.
    // Returns the text the cell holds afterwards.
    QString xg2SetEditText(int col, int row, const QString &value);
};
