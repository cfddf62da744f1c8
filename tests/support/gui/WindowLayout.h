#pragma once

#include <QString>
#include <QStringList>

class QWidget;
class TXStringGrid;

// What a person would see wrong in a window laid out by pixel positions: a control that sticks
// out of the window, page or group box it sits on, two controls there that overlap, or a
// caption, label or box too small for its text. Explicitly hidden controls are left out; the
// parts inside combo boxes, grids and page controls are theirs. A page not shown yet counts
// with the size of its page stack.
QStringList LayoutProblems(const QWidget *window);

// The controls of a window whose controls scroll (its QScrollArea "clientScroll") that cannot be
// scrolled into view, corner by corner, at the window's present size.
QStringList UnreachableControls(QWidget *window);

// Captions, cell texts and drop-down entries that do not fit their cells of the grid.
QStringList GridProblems(const TXStringGrid *grid);

// Renders the widget to <$XIEPIN_SCREENSHOTS>/<name>.png. Returns false, writing nothing, when
// the variable is unset; fails the current test when the file cannot be written.
bool SaveScreenshot(QWidget *widget, const QString &name);

// The screenshots are taken in the language XIEPIN_LANG names ("zh" or "en"; Chinese when unset).
void UseScreenshotLanguage();
