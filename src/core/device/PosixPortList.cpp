// The ports of a POSIX system: the tty class of sysfs, and the virtual radio's link.
#include "device/SerialPortList.h"

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

std::optional<std::vector<std::string>> ListSerialDevices()
{
    return ListSerialDevices("/sys/class/tty", "/dev", VirtualRadioLinkPath());
}
