#pragma once

#include <QString>

// The device a port's name leads to: a link (/dev/serial/by-id/…, the virtual radio's) is
// followed to its device; a name that is no file (a cable pulled) stands for itself. On Windows
// the name without case or "\\.\" prefix: "com3" is COM3.
QString PortDevice(const QString &port);

// Whether the two names lead to the same port: the same name, or a link and its device.
bool SamePort(const QString &a, const QString &b);
