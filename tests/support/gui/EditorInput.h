#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QMenu;
class QWidget;
class TSignallingWindow;
class TXStringGrid;

// Drives an editor window's controls the way a user does, with clicks and keys. The window
// must be shown and active.

// Brings the page that holds the widget to the front by clicking its tab.
void ShowPageOf(QWidget *widget);

// Edit box or combo box with a text field: selects the text and types the new one (an empty
// text deletes it). Drop-down list: picks the entry with the arrow keys. Check box: clicks it,
// whatever the text.
void EnterText(QWidget *control, const QString &text);

// Opens the cell's editor with F2; with a text, replaces what the editor offers by typing it
// (empty: deletes it); then leaves the editor with the key (Return commits, Down moves on).
void EditCell(TXStringGrid *grid, int col, int row, const std::optional<QString> &text, int leaveKey);

// Opens the widget's context menu as a right click in its middle does; the menu, or none.
QMenu *OpenContextMenu(QWidget *widget);
// Opens it and triggers the action with that text (without its key); false when the menu has
// no such action.
bool ChooseFromContextMenu(QWidget *widget, const QString &text);

// What the control shows: the text of an edit or combo box, "checked"/"unchecked" for a check box.
QString ShownText(const QWidget *control);

// Texts of a grid row from column firstCol on.
QStringList RowTexts(const TXStringGrid *grid, int row, int firstCol = 1);

// Runs steps of user input on the window; false, with the step in *failed, when a step names no
// control. A step is one of
//   "cell:xg2:1,4"  click that cell of the grid (its page is brought up first by its tab)
//   "box:cb1"       click into that box and select its whole text
//   "key:F2"        a key to the focused control: F2, Enter, Escape, Down, Up, Left, Right,
//                   Tab, Delete
//   "type:abc"      characters, one key each, to whichever control has the focus then
bool RunSteps(const TSignallingWindow &window, const QStringList &steps, QString *failed);
