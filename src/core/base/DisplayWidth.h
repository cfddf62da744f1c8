#pragma once

#include <QString>

// Columns a text takes on screen in a fixed grid of Latin letters (a terminal, a message box's
// line): 2 for East Asian wide and full-width characters (the Chinese texts), 0 for combining
// marks and control characters, 1 for the rest.
int DisplayWidth(const QString &text);
