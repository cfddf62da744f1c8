// The ports of a POSIX system: the tty class of sysfs (the /dev/cu.* devices on macOS), and
// the virtual radio's link.
#include "device/SerialPortList.h"

#include "device/PortDescription.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

std::string VirtualRadioLinkPath()
{
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    std::error_code error;
    if (runtime != nullptr && *runtime != '\0' && std::filesystem::is_directory(runtime, error))
        return std::string(runtime) + "/xiepin-radio";
    return "/tmp/xiepin-radio-" + std::to_string(::getuid());
}

#if defined(__APPLE__)

// macOS names each serial device twice; the cu. one opens without waiting for carrier detect.
std::optional<std::vector<std::string>> ListSerialDevices()
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::directory_iterator entry("/dev", error);
    if (error)
        return std::nullopt;
    std::vector<std::string> found;
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (name.rfind("cu.", 0) == 0)
            found.push_back("/dev/" + name);
    }
    const std::string link = VirtualRadioLinkPath();
    if (fs::exists(link, error))
        found.push_back(link);
    SortDeviceNames(found);
    return found;
}

std::optional<std::vector<TPortEntry>> DescribeSerialDevices()
{
    const std::optional<std::vector<std::string>> names = ListSerialDevices();
    if (!names)
        return std::nullopt;
    const std::string link = VirtualRadioLinkPath();
    std::vector<TPortEntry> entries;
    for (const std::string &name : *names)
        entries.push_back({name, {}, {}, name == link});
    return entries;
}

#else

std::optional<std::vector<std::string>> ListSerialDevices()
{
    return ListSerialDevices("/sys/class/tty", "/dev", VirtualRadioLinkPath());
}

std::optional<std::vector<TPortEntry>> DescribeSerialDevices()
{
    return DescribeSerialDevices("/sys/class/tty", "/dev", VirtualRadioLinkPath());
}

#endif
