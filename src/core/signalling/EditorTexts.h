#pragma once

#include "base/TextConvert.h"
#include "signalling/ControlTexts.h"
#include "signalling/GridTexts.h"

#include <QString>
#include <vector>

// The current texts of an editor window: its boxes by object name and its grids by object
// name, with the cell editors the grids' columns name. The window shows these texts and hands
// every committed cell edit to SetEditText.
class TEditorTexts {
public:
    TEditorTexts(std::vector<TControlSpec> controls, std::vector<TGridSpec> grids,
                 std::vector<TCellEditorSpec> cellEditors);
    virtual ~TEditorTexts() = default;

    TControlTexts &Controls() { return m_controls; }
    const TControlTexts &Controls() const { return m_controls; }

    // An unknown name is a programming error and throws std::out_of_range.
    TGridTexts &Grid(const QString &name);
    const TGridTexts &Grid(const QString &name) const;
    const std::vector<TGridTexts> &Grids() const { return m_grids; }
    const std::vector<TCellEditorSpec> &CellEditors() const { return m_cellEditors; }

    // A committed edit of a cell (the grid's OnSetEditText): the cell takes the text, then the
    // grid's entry rules run. They may change other cells of the same row; the window shows
    // the row again afterwards. Only cells of an entry row in a column with a cell editor can
    // be edited; any other cell is a programming error (std::out_of_range).
    virtual void SetEditText(const QString &grid, int col, int row, const QString &value);

private:
    TControlTexts m_controls;
    std::vector<TGridTexts> m_grids;
    std::vector<TCellEditorSpec> m_cellEditors;
};

// The position of text in a list of names; any other text throws "'x' is not one of a, b, c".
int ListIndex(const QString &text, const QStringList &items);

// Runs a conversion; a text that does not convert gets the field's place in front of its message.
template <typename Convert>
auto ConvertAt(const QString &place, Convert &&convert) -> decltype(convert())
{
    try {
        return convert();
    } catch (const EConvertError &e) {
        throw e.WithPlace(place);
    }
}
