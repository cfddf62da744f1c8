#pragma once

#include "link/ProgramLink.h"
#include "support/RadioChannel.h"
#include "radio/VirtualRadio.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class TSignallingWindow;
class QWidget;

// The protocol engine on a virtual radio in the same process: what an editor window borrows
// from the main window. The link owns the channel.
class RadioLink {
public:
    explicit RadioLink(const TRadioImage &image = TRadioImage(), int resendMs = 150);

    VirtualRadio radio;
    RadioChannel *channel = nullptr;
    TProgramLink link;

    // The frames on the wire so far: 4-byte requests, 34-byte blocks; anything else one byte each.
    QList<QByteArray> frames() const;
};

// The frames of one transfer in order, a resent frame counted once.
QList<QByteArray> WithoutRepeats(const QList<QByteArray> &frames);

// Drives an editor window as a user does, with clicks and keys. A step is one of
//   "cell:xg2:1,4"  click that cell of the grid (its page is brought up first by its tab)
//   "box:cb1"       click into that box and select its whole text
//   "key:F2"        a key to the focused control: F2, Enter, Escape, Down, Up, Left, Right,
//                   Tab, Delete
//   "type:abc"      characters, one key each, to whichever control has the focus then
class EditorDriver {
public:
    explicit EditorDriver(TSignallingWindow &window) : m_window(window) {}

    // false, with the step in *failed, when a step names no control.
    bool run(const QStringList &steps, QString *failed);

    void showPageOf(QWidget *widget);
    void clickCell(const QString &grid, int col, int row);
    void clickBox(const QString &name);
    static void key(int key);
    static void type(const QString &text);

    // Texts of a grid row from column firstCol on.
    QStringList rowTexts(const QString &grid, int row, int firstCol = 1) const;

    // Controls that stick out of the page, group or window they sit on, or overlap a sibling;
    // explicitly hidden controls are left out.
    QStringList layoutProblems() const;

    // Captions, cell texts and drop-down entries that do not fit their cells.
    QStringList gridProblems(const QString &grid) const;

private:
    TSignallingWindow &m_window;
};

// Byte positions where two images differ, as "area/block/offset".
QStringList ChangedBytes(const TRadioImage &before, const TRadioImage &after);
