#pragma once

#include "support/gui/EditorRig.h"

#include <QString>
#include <QtTest>

class TSignallingWindow;

// Checks that every signalling editor window passes the same way. Each fails the running test.

// Two rows, "read" and "write", of a bool column "write": the transfer a case runs.
void AddTransferRows();

// The frame every editor has: its title, on top of other windows, Read, Write and Close in a
// row, the progress bar hidden and the 10 s guard timer stopped.
void CheckEditorFrame(TSignallingWindow &window);

// Every page, and the window with the progress bar shown as during a transfer, free of layout
// problems; every grid shows all its texts, and all its rows and columns without scrolling
// except the rows of the grids named as scrolling.
void CheckEditorLayout(TSignallingWindow &window, const QStringList &scrollingGrids = {});

// XIEPIN_SCREENSHOTS=<dir>: <prefix>-page<N>.png for every page (<prefix>-read.png for a window
// without pages) after a read, and <prefix>-reading.png during a read. Skips the test without it.
void SaveEditorScreenshots(EditorRig &rig, const QString &prefix);

// Write refused before the port opens: the one error message, nothing sent, the radio
// unchanged and the window idle.
void CheckWriteRefused(EditorRig &rig, const QString &message);

// Close during a transfer the radio never answers ends it at once, without a word, and hides
// the window; nothing is sent afterwards. With waitForRepeat Close comes only once the
// unanswered frame has been sent again.
void CheckCloseAbandonsTransfer(EditorRig &rig, bool write, bool waitForRepeat);

// DTMF and FSK: with the radio's fault ("silent", "drop=3"...) the guard timer ends the
// transfer with the message, after its real ten seconds or fired at once; nothing is sent
// afterwards. sentBefore: the bytes on the wire until then, or -1 for a frame that is repeated.
void CheckGuardEndsTransfer(EditorRig &rig, bool write, const QString &fault, bool realTime, int sentBefore,
                            const QString &message);

// A transfer just started: Read and Write disabled, the progress bar at 1 of 0..progressMaximum,
// the guard timer running.
void CheckTransferShows(TSignallingWindow &window, int progressMaximum);

// Read on the closed port: it opens under the window's port name, the transfer shows, and the
// read ends without a word with the port left open.
void CheckReadOnClosedPort(EditorRig &rig, const QString &portName, int progressMaximum);

// Write of what the window holds: meanwhile the buttons are disabled, the progress bar shows 1
// of progressMaximum (a read's: the write reads its backup first) and the guard timer runs;
// then "写入成功" alone, the window idle.
void CheckWriteSucceeds(EditorRig &rig, int progressMaximum);

// Read, edit by the steps, Write: exactly the bytes changed ("area/block/offset") take the new
// values (hex, one byte each in turn).
void CheckStepsChangeBytes(EditorRig &rig, const QStringList &steps, const QStringList &changed,
                           const QByteArray &bytes, int progressMaximum);

// Read or Write on the closed port opens it under the window's port name; it stays open.
void CheckTransferOpensClosedPort(EditorRig &rig, bool write, const QString &portName, int bytesSent);

// Close (the button, or the title bar's close box) only hides the window; shown again it is
// the same window.
void CheckClosingOnlyHides(EditorRig &rig, bool closeBox);


// A port that cannot be opened: Read or Write in the editor of that kind (see OpenEditorRig)
// reports the open error, opened under the window's port name, and sends nothing.
void CheckPortThatCannotOpen(const QString &kind, bool write, const QString &portName);
