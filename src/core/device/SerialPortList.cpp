#include "device/SerialPortList.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string ReadAttribute(const fs::path &path)
{
    std::ifstream file(path);
    std::string text;
    std::getline(file, text);
    const auto notSpace = [](unsigned char c) { return !std::isspace(c); };
    text.erase(std::find_if(text.rbegin(), text.rend(), notSpace).base(), text.end());
    text.erase(text.begin(), std::find_if(text.begin(), text.end(), notSpace));
    return text;
}

// Pseudo-terminals, consoles and virtual terminals have no "device" link. The 8250 driver
// registers every legacy ttyS slot, present or not; an absent one reports port type 0.
bool IsRealSerialDevice(const fs::path &entry)
{
    std::error_code error;
    if (!fs::exists(entry / "device", error))
        return false;
    return ReadAttribute(entry / "type") != "0";
}

bool LessIgnoringCase(const std::string &a, const std::string &b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

void SortDeviceNames(std::vector<std::string> &names)
{
    std::stable_sort(names.begin(), names.end(), LessIgnoringCase);
}

std::optional<std::vector<std::string>> ListSerialDevices(const std::string &sysTty, const std::string &dev,
                                                          const std::string &virtualRadioLink)
{
    std::error_code error;
    fs::directory_iterator entry(sysTty, error);
    if (error)
        return std::nullopt;
    std::vector<std::string> found;
    // Not a range-for: that would throw where a folder cannot be read to its end.
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        const fs::path &path = entry->path();
        const std::string name = path.filename().string();
        // Entries are links to the devices' folders; hidden names are not ports.
        std::error_code ignored;
        if (name.front() != '.' && fs::is_directory(path, ignored) && IsRealSerialDevice(path))
            found.push_back(dev + '/' + name);
    }
    // A dangling link is a radio that has gone; only a live one is offered.
    if (!virtualRadioLink.empty() && fs::exists(virtualRadioLink, error))
        found.push_back(virtualRadioLink);
    SortDeviceNames(found);
    return found;
}
