#pragma once

#include <optional>
#include <string>
#include <vector>

// A serial port as the port list offers it: its device, the stable name the system gives it
// and what the system knows of the hardware behind it.
struct TPortEntry {
    std::string path;         // /dev/ttyUSB0, COM3, or the virtual radio's link
    std::string stableName;   // /dev/serial/by-id/… when udev made one; empty otherwise
    std::string description;  // "Prolific Technology Inc. USB-Serial Controller (067b:2303)"; may be empty
    bool virtualRadio = false;

    // The name to open: the stable one survives replugging into another socket.
    const std::string &OpenName() const { return stableName.empty() ? path : stableName; }
};

// The ports of ListSerialDevices() with what the system tells of each. Windows and macOS give
// the names alone (and the virtual radio's link on macOS).
std::optional<std::vector<TPortEntry>> DescribeSerialDevices();

// The same over other roots, for tests: sysTty stands for /sys/class/tty, dev for /dev.
std::optional<std::vector<TPortEntry>> DescribeSerialDevices(const std::string &sysTty, const std::string &dev,
                                                             const std::string &virtualRadioLink);

// "Manufacturer Product (vvvv:pppp)" of the USB device behind a tty's sysfs folder, or
// "USB vvvv:pppp" without its strings; empty when the tty is not on USB.
std::string UsbDescription(const std::string &ttyFolder);
