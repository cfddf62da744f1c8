#pragma once

#include "signalling/EditorTexts.h"

#include <QStringList>
#include <vector>

// The two-tone editor's contents (window TForm4) and the entry rules of its decode table.
//
// Controls by object name (Controls()): ed1..ed4 the decode tones A..D in Hz (read-only in the
// window), ed5 the reset time, cb1..cb3 the two tone durations and the gap between them (ms).
// Grids by object name (Grid()): xg1 the encode table (entry number, first and second
// frequency in Hz); xg2 the decode table (entry number, then decode code, response mode and
// prompt for each of the decode codes 1..4 in columns 1..12). Rows 1..16 are the entries.
//
// A decode entry is in use while its first decode code (xg2 column 1) holds text.
class TTwoToneTexts : public TEditorTexts {
public:
    static constexpr int kEntries = 16;
    static constexpr int kSlots = 4;       // decode codes per decode entry
    static constexpr int kSlotColumns = 3; // code, mode, prompt

    TTwoToneTexts();

    static const std::vector<TControlSpec> &ControlSpecs();
    static const std::vector<TGridSpec> &GridSpecs();
    static const std::vector<TCellEditorSpec> &CellEditorSpecs();
    // "AB", "AC", ... "DC", "DB": the decode-code drop-down, in the window's order.
    static const QStringList &CodeItems();
    // "无", "提醒", "回复", "提醒并回复": stored as 0..3.
    static const QStringList &ModeItems();
    // "1".."16".
    static const QStringList &PromptItems();
    // "50", "100", ... "1000": the lists of cb1..cb3.
    static const QStringList &TimeItems();
    // What choosing a first decode code writes into columns 2..12 of its row.
    static const QStringList &NewEntryTexts();
    // The decode-code column of slot 0..3 of the decode table; mode and prompt follow it.
    static int CodeColumn(int slot);

    TGridTexts &xg1() { return Grid(QStringLiteral("xg1")); }
    const TGridTexts &xg1() const { return Grid(QStringLiteral("xg1")); }
    TGridTexts &xg2() { return Grid(QStringLiteral("xg2")); }
    const TGridTexts &xg2() const { return Grid(QStringLiteral("xg2")); }

    void SetEditText(const QString &grid, int col, int row, const QString &value) override;
    // Entry rules of the decode grid for a committed edit of cell (col, row): a cell of an
    // entry without a first decode code stays empty; choosing a first decode code resets the
    // rest of the row to NewEntryTexts().
    void xg2SetEditText(int col, int row, const QString &value);

private:
    void FormCreate();
};
