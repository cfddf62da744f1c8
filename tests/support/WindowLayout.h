#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// What a person would see wrong in a window laid out by pixel positions: a control that sticks
// out of its parent, two controls of one parent that overlap, or a caption, label or box too
// small for its text. Only named controls count; the parts inside combo boxes, grids and page
// controls are theirs. The window should be shown, so that pages have their size.
QStringList LayoutProblems(const QWidget *window);

// Renders the widget to <$XIEPIN_SCREENSHOTS>/<name>.png. Returns false, writing nothing, when
// the variable is unset; fails the current test when the file cannot be written.
bool SaveScreenshot(QWidget *widget, const QString &name);
