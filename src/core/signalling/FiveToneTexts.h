#pragma once

#include "signalling/EditorTexts.h"

#include <QStringList>
#include <vector>

// The five-tone editor's contents (window TForm5) and the entry rules of its tables.
//
// Controls by object name (Controls()): CCIR the standard whose tone frequencies Edit1..Edit16
// show (digits 0..F, read-only in the window); cb1..cb3 the delays before the three frame
// codes and cb4 the extension of each code group's first tone (ms, multiples of 10); ed1 the
// reset time, which has no place in the radio's memory and is neither written nor read.
// Grids by object name (Grid()):
//   xg1 standards: rows 1..5 CCIR, EIA, EEA, ZVEI1, ZVEI2; columns name, tone duration (ms),
//       group-call digit, repeat digit
//   xg2 encode table: rows 1..16; columns entry, first, second, third frame code,
//       acknowledge code, standard
//   xg3 decode table: rows 1..16; columns entry, standard, first frame code, its function,
//       second frame code, its function, third frame code, its function, reply code
// An encode entry is in use while its first frame code holds text, a decode entry while its
// standard does.
class TFiveToneTexts : public TEditorTexts {
public:
    static constexpr int kEntries = 16;
    static constexpr int kStandards = 5;
    static constexpr int kDigits = 16;
    static constexpr int kDelays = 4;
    static constexpr int kDecodeStandardColumn = 1;

    TFiveToneTexts();

    static const std::vector<TControlSpec> &ControlSpecs();
    static const std::vector<TGridSpec> &GridSpecs();
    static const std::vector<TCellEditorSpec> &CellEditorSpecs();
    // "CCIR", "EIA", "EEA", "ZVEI1", "ZVEI2": stored as 1..5.
    static const QStringList &StandardItems();
    // "通话", "主叫", "被叫", "监听", "巡查", "报警", "遥毙", "遥晕", "唤醒": stored as 0..8.
    static const QStringList &FunctionItems();
    // "0".."9", "A".."F": group-call and repeat digits.
    static const QStringList &DigitItems();
    // "50", "100", ... "1000": the lists of cb1..cb4.
    static const QStringList &DelayItems();
    // The sixteen tone frequencies of a standard as the boxes show them ("1981.0"), digits
    // 0..F; empty for a text that names no standard.
    static QStringList FrequencyTexts(const QString &standard);
    // What filling in a first frame code writes into xg2 columns 2..5, and what choosing a
    // standard writes into xg3 columns 2..8.
    static const QStringList &NewEncodeEntryTexts();
    static const QStringList &NewDecodeEntryTexts();

    TGridTexts &xg1() { return Grid(QStringLiteral("xg1")); }
    const TGridTexts &xg1() const { return Grid(QStringLiteral("xg1")); }
    TGridTexts &xg2() { return Grid(QStringLiteral("xg2")); }
    const TGridTexts &xg2() const { return Grid(QStringLiteral("xg2")); }
    TGridTexts &xg3() { return Grid(QStringLiteral("xg3")); }
    const TGridTexts &xg3() const { return Grid(QStringLiteral("xg3")); }

    // The CCIR box changed: Edit1..Edit16 show the frequencies of the standard it names; a
    // text that names none leaves them as they are.
    void CCIRChange();

    void SetEditText(const QString &grid, int col, int row, const QString &value) override;
    // Entry rules for a committed edit of cell (col, row): a cell of an entry not in use stays
    // empty; filling in the first frame code (xg2) or the standard (xg3) resets the rest of
    // the row to NewEncodeEntryTexts() or NewDecodeEntryTexts().
    void xg2SetEditText(int col, int row, const QString &value);
    void xg3SetEditText(int col, int row, const QString &value);

private:
    void FormCreate();
};
