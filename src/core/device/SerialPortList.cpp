#include "device/SerialPortList.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <system_error>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace {

// The virtual radio makes its pseudo-terminal, then the link. A link older than the device it
// leads to was left by a radio that was killed, and another program got that device since:
// the bytes of a read would go into that program's terminal.
bool IsLiveRadioLink(const std::string &link)
{
    std::error_code error;
    if (!fs::exists(link, error))
        return false;  // dangling: the radio has gone
#ifdef _WIN32
    return true;
#else
    struct stat linkInfo {};
    struct stat device {};
    if (::lstat(link.c_str(), &linkInfo) != 0 || ::stat(link.c_str(), &device) != 0)
        return false;
#ifdef __APPLE__
    const timespec made = linkInfo.st_mtimespec, deviceMade = device.st_ctimespec;
#else
    const timespec made = linkInfo.st_mtim, deviceMade = device.st_ctim;
#endif
    return made.tv_sec != deviceMade.tv_sec ? made.tv_sec > deviceMade.tv_sec : made.tv_nsec >= deviceMade.tv_nsec;
#endif
}

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
    if (!virtualRadioLink.empty() && IsLiveRadioLink(virtualRadioLink))
        found.push_back(virtualRadioLink);
    SortDeviceNames(found);
    return found;
}
