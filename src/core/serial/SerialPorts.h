#pragma once

// Qt faces of device/SerialPortList.h for the port list, the command line and the virtual radio.

#include "device/PortDescription.h"

#include <QString>
#include <QStringList>

// Where a running virtual radio keeps the link to its pseudo-terminal:
// $XDG_RUNTIME_DIR/xiepin-radio, or /tmp/xiepin-radio-<uid> without a runtime directory.
QString DefaultVirtualRadioLink();

// Replaces list with the serial ports present, sorted case-insensitively (so ttyS10 comes before
// ttyS2): every /sys/class/tty entry backed by a device (a serial-core port only when its type
// says hardware answers), as a /dev path, plus the link of a running virtual radio.
// Returns false and leaves list unchanged when the tty class cannot be read.
bool ListSerialPorts(QStringList &list);

// The same over other roots, for tests: sysTty stands for /sys/class/tty, dev for /dev.
bool ListSerialPorts(QStringList &list, const QString &sysTty, const QString &dev,
                     const QString &virtualRadioLink);

// Case-insensitive order (ASCII letters), as the port list shows it.
void SortPortNames(QStringList &names);

// One port as people see it: "/dev/ttyUSB0 — Prolific Technology Inc. USB-Serial Controller
// (067b:2303)", the bare path when nothing is known, and the virtual radio's link followed by
// virtualRadioName ("虚拟电台" unless translated).
QString PortLabel(const TPortEntry &entry, const QString &virtualRadioName = QStringLiteral("虚拟电台"));

// The name to open for the entry: its stable name when it has one.
QString PortOpenName(const TPortEntry &entry);
