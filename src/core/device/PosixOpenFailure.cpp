#include "device/PosixOpenFailure.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <sys/stat.h>
#include <system_error>

namespace fs = std::filesystem;

namespace {

const char kGeneral[] = "Error opening serial port";

// The owner group of the device; "dialout" is what Debian gives serial devices.
std::string DeviceGroup(const std::string &path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        if (const group *entry = ::getgrgid(info.st_gid))
            return entry->gr_name;
    }
    return "dialout";
}

std::string ProcessName(const fs::path &process)
{
    std::ifstream file(process / "comm");
    std::string name;
    std::getline(file, name);
    return name.empty() ? "an unnamed program" : name;
}

bool HoldsDevice(const fs::path &process, const fs::path &device)
{
    std::error_code error;
    fs::directory_iterator fd(process / "fd", error);
    for (; !error && fd != fs::directory_iterator(); fd.increment(error)) {
        std::error_code ignored;
        if (fs::read_symlink(fd->path(), ignored) == device)
            return true;
    }
    return false;
}

bool IsPid(const std::string &name)
{
    return !name.empty() && name.find_first_not_of("0123456789") == std::string::npos;
}

std::string Join(const std::vector<std::string> &items)
{
    std::string text;
    for (const std::string &item : items)
        text += (text.empty() ? "" : ", ") + item;
    return text;
}

std::string BusyAdvice(const std::string &path, const std::string &proc)
{
    const std::vector<std::string> holders = ProgramsHolding(path, proc);
    if (holders.empty())
        return "in use by another program. Close the program that uses it, then try again.";
    return "in use by " + Join(holders)
        + ". Close or stop that program (ModemManager and brltty take new USB serial cables; "
          "the udev rule installed with xiepin keeps ModemManager away), then try again.";
}

} // namespace

std::vector<std::string> ProgramsHolding(const std::string &path, const std::string &proc)
{
    std::error_code error;
    // Descriptors link to the device's real path, not to a by-id name or other link.
    fs::path device = fs::canonical(path, error);
    if (error)
        device = path;
    std::vector<std::string> found;
    fs::directory_iterator entry(proc, error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        const std::string pid = entry->path().filename().string();
        if (IsPid(pid) && HoldsDevice(entry->path(), device))
            found.push_back(ProcessName(entry->path()) + " (pid " + pid + ")");
    }
    return found;
}

std::string OpenFailureMessage(const std::string &path, int error, const std::string &proc)
{
    std::string detail;
    switch (error) {
    case EACCES:
    case EPERM: {
        const std::string group = DeviceGroup(path);
        detail = "permission denied. Add your user to the group " + group + " (sudo usermod -aG " + group
            + " $USER), then log out and in again.";
        break;
    }
    case EBUSY:
    case EWOULDBLOCK:
        detail = BusyAdvice(path, proc);
        break;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        detail = "no such device. Is the cable plugged in?";
        break;
    default:
        detail = std::strerror(error);
        break;
    }
    return std::string(kGeneral) + ": " + path + ": " + detail;
}
