#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class TEditorTexts;

// Every text of an editor window at one moment: its controls' texts and check marks, in the
// order of their specs (a check box has an empty text, any other control no mark), and the
// cells of each grid, row by row.
struct TEditorSnapshot {
    QStringList texts;
    QList<bool> checked;
    QList<QStringList> cells;

    bool operator==(const TEditorSnapshot &other) const
    {
        return texts == other.texts && checked == other.checked && cells == other.cells;
    }
    bool operator!=(const TEditorSnapshot &other) const { return !(*this == other); }
};

TEditorSnapshot TakeSnapshot(const TEditorTexts &texts);
// Puts every text back as the snapshot holds it.
void RestoreSnapshot(TEditorTexts &texts, const TEditorSnapshot &snapshot);
