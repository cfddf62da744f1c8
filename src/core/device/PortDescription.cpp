#include "device/PortDescription.h"

#include "device/SerialPortList.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// The USB device is the tty's ancestor a few levels up: port, interface, device.
constexpr int kUsbLevels = 4;

std::string ReadLine(const fs::path &path)
{
    std::ifstream file(path);
    std::string text;
    std::getline(file, text);
    const auto notSpace = [](unsigned char c) { return !std::isspace(c); };
    text.erase(std::find_if(text.rbegin(), text.rend(), notSpace).base(), text.end());
    return text;
}

std::string JoinWords(const std::string &a, const std::string &b)
{
    if (a.empty() || b.empty())
        return a + b;
    // Some cables repeat the maker in the product string.
    if (b.rfind(a, 0) == 0)
        return b;
    return a + ' ' + b;
}

std::string StableNameOf(const fs::path &device, const fs::path &byId)
{
    std::error_code error;
    const fs::path target = fs::canonical(device, error);
    if (error)
        return {};
    std::vector<std::string> names;
    fs::directory_iterator entry(byId, error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        std::error_code ignored;
        if (fs::canonical(entry->path(), ignored) == target && !ignored)
            names.push_back(entry->path().string());
    }
    std::sort(names.begin(), names.end());
    return names.empty() ? std::string() : names.front();
}

} // namespace

namespace {

// The USB device behind a tty's sysfs folder: the first ancestor with vendor and product IDs.
std::optional<fs::path> UsbDeviceFolder(const std::string &ttyFolder)
{
    std::error_code error;
    fs::path folder = fs::canonical(fs::path(ttyFolder) / "device", error);
    if (error)
        return std::nullopt;
    for (int level = 0; level < kUsbLevels && folder.has_relative_path(); ++level, folder = folder.parent_path())
        if (!ReadLine(folder / "idVendor").empty() && !ReadLine(folder / "idProduct").empty())
            return folder;
    return std::nullopt;
}

// udev names a cable in /dev/serial/by-id after its maker, product and serial number. Cheap
// cables have no serial number, so two alike share one name, and it points at whichever came
// last: the radio chosen would silently become the other one. Only a serial number makes the
// name the cable's own.
// What the by-id name is made of: maker and product IDs and the serial number; empty without
// a serial number.
std::string UsbSerialKey(const fs::path &usb)
{
    const std::string serial = ReadLine(usb / "serial");
    return serial.empty() ? std::string() : ReadLine(usb / "idVendor") + ':' + ReadLine(usb / "idProduct") + ':' + serial;
}

// Cables alike that share a serial number (a factory default) share the by-id name too, which
// follows the one plugged in last: such a cable has no name of its own. A cable with several
// ports is one USB device and is alone.
bool HasOwnStableName(const std::string &ttyFolder, const std::vector<std::string> &ttyFolders)
{
    const std::optional<fs::path> usb = UsbDeviceFolder(ttyFolder);
    const std::string key = usb ? UsbSerialKey(*usb) : std::string();
    if (key.empty())
        return false;
    return std::none_of(ttyFolders.cbegin(), ttyFolders.cend(), [&](const std::string &other) {
        const std::optional<fs::path> otherUsb = UsbDeviceFolder(other);
        return otherUsb && *otherUsb != *usb && UsbSerialKey(*otherUsb) == key;
    });
}

}  // namespace

std::string UsbDescription(const std::string &ttyFolder)
{
    const std::optional<fs::path> usb = UsbDeviceFolder(ttyFolder);
    if (!usb)
        return {};
    const std::string ids = ReadLine(*usb / "idVendor") + ':' + ReadLine(*usb / "idProduct");
    const std::string names = JoinWords(ReadLine(*usb / "manufacturer"), ReadLine(*usb / "product"));
    return names.empty() ? "USB " + ids : names + " (" + ids + ')';
}

std::optional<std::vector<TPortEntry>> DescribeSerialDevices(const std::string &sysTty, const std::string &dev,
                                                             const std::string &virtualRadioLink)
{
    const std::optional<std::vector<std::string>> names = ListSerialDevices(sysTty, dev, virtualRadioLink);
    if (!names)
        return std::nullopt;
    const auto ttyFolderOf = [&sysTty](const std::string &path) {
        return (fs::path(sysTty) / fs::path(path).filename()).string();
    };
    std::vector<std::string> ttyFolders;
    for (const std::string &path : *names)
        ttyFolders.push_back(ttyFolderOf(path));
    std::vector<TPortEntry> entries;
    for (const std::string &path : *names) {
        TPortEntry entry;
        entry.path = path;
        if (!virtualRadioLink.empty() && path == virtualRadioLink) {
            entry.virtualRadio = true;
        } else {
            const std::string ttyFolder = ttyFolderOf(path);
            entry.description = UsbDescription(ttyFolder);
            if (HasOwnStableName(ttyFolder, ttyFolders))
                entry.stableName = StableNameOf(path, fs::path(dev) / "serial" / "by-id");
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}
