#include "signalling/EditorSnapshot.h"

#include "signalling/EditorTexts.h"

TEditorSnapshot TakeSnapshot(const TEditorTexts &texts)
{
    TEditorSnapshot snapshot;
    const TControlTexts &controls = texts.Controls();
    // What is only shown stays as the user set it when a step is undone.
    for (const TControlSpec &spec : controls.Specs()) {
        const bool check = spec.kind == TControlKind::CheckBox;
        snapshot.texts << (check || !spec.inArea ? QString() : controls.Text(spec.name));
        snapshot.checked << (check && spec.inArea && controls.Checked(spec.name));
    }
    for (const TGridTexts &grid : texts.Grids()) {
        QStringList cells;
        for (int row = 0; row < grid.RowCount(); ++row) {
            for (int col = 0; col < grid.ColCount(); ++col)
                cells << grid.Cell(col, row);
        }
        snapshot.cells << cells;
    }
    return snapshot;
}

void RestoreSnapshot(TEditorTexts &texts, const TEditorSnapshot &snapshot)
{
    TControlTexts &controls = texts.Controls();
    const std::vector<TControlSpec> &specs = controls.Specs();
    for (std::size_t i = 0; i < specs.size(); ++i) {
        const int at = static_cast<int>(i);
        if (!specs[i].inArea)
            continue;
        if (specs[i].kind == TControlKind::CheckBox)
            controls.SetChecked(specs[i].name, snapshot.checked.value(at));
        else
            controls.SetText(specs[i].name, snapshot.texts.value(at));
    }
    for (std::size_t g = 0; g < texts.Grids().size(); ++g) {
        TGridTexts &grid = texts.Grid(texts.Grids()[g].Name());
        const QStringList cells = snapshot.cells.value(static_cast<int>(g));
        for (int row = 0; row < grid.RowCount(); ++row) {
            for (int col = 0; col < grid.ColCount(); ++col)
                grid.SetCell(col, row, cells.value(row * grid.ColCount() + col));
        }
    }
}
