#pragma once

#include "base/DisplayWidth.h"

#include <QList>
#include <QString>
#include <QStringList>

class TMainConfig;

// Rows of cells as lines whose columns line up on screen: every cell padded to its column's
// display width, columns two spaces apart, no blanks at a line's end. Each line ends with LF.
QString AlignColumns(const QList<QStringList> &rows);

// The channel table (captions and the 16 channel rows; empty cells blank), a blank line, then
// the settings as "label  text" lines. The alarm, which a configuration file does not hold, is
// shown only when withAlarm is set.
QString FormatConfigTable(const TMainConfig &config, bool withAlarm);
