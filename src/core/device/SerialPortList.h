#pragma once

#include <optional>
#include <string>
#include <vector>

// Where a running virtual radio keeps the link to its pseudo-terminal:
// $XDG_RUNTIME_DIR/xiepin-radio, or /tmp/xiepin-radio-<uid> without a runtime directory.
// Empty on Windows, which has no pseudo-terminals.
std::string VirtualRadioLinkPath();

// The serial ports present, sorted case-insensitively (so ttyS10 comes before ttyS2).
// POSIX: every /sys/class/tty entry backed by a device (a serial-core port only when its type
// says hardware answers), as a /dev path, plus the link of a running virtual radio; nothing
// when the tty class cannot be read.
// Windows: the data of every value of HKEY_LOCAL_MACHINE\HARDWARE\DEVICEMAP\SERIALCOMM
// (COM1, COM10, COM2); nothing when the key is missing or a value does not fit 256 bytes.
std::optional<std::vector<std::string>> ListSerialDevices();

// The same over other roots, for tests: sysTty stands for /sys/class/tty, dev for /dev.
std::optional<std::vector<std::string>> ListSerialDevices(const std::string &sysTty, const std::string &dev,
                                                          const std::string &virtualRadioLink);

// Case-insensitive order (ASCII letters), equal names keeping their order, as the port list
// shows them.
void SortDeviceNames(std::vector<std::string> &names);
