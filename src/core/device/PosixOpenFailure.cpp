#include "device/PosixOpenFailure.h"

#include "device/OpenFailureText.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <cstdio>
#include <grp.h>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#ifdef __linux__
#include <sys/sysmacros.h>  // major(); <sys/types.h> has it elsewhere
#endif
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

bool IsPid(const std::string &name)
{
    return !name.empty() && name.find_first_not_of("0123456789") == std::string::npos;
}

// Joining the device's group helps only when that group may read and write it, and is not
// root's (whose members may do anything).
std::string PermissionAdvice(const std::string &path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return "permission denied: a folder on the way to it cannot be entered by your user.";
    const group *entry = ::getgrgid(info.st_gid);
    const std::string groupName = entry ? entry->gr_name : std::to_string(info.st_gid);
    const bool groupReadsWrites = (info.st_mode & S_IRGRP) && (info.st_mode & S_IWGRP);
    if (groupReadsWrites && info.st_gid != 0)
        return "permission denied. Add your user to the group " + groupName + " (sudo usermod -aG " + groupName
            + " $USER), then log out and in again.";
    const passwd *owner = ::getpwuid(info.st_uid);
    char mode[8];
    std::snprintf(mode, sizeof mode, "%03o", static_cast<unsigned>(info.st_mode & 0777));
    return "permission denied: only " + std::string(owner ? owner->pw_name : std::to_string(info.st_uid).c_str())
        + " may open it (group " + groupName + ", mode " + mode
        + "). Ask whoever runs this computer to give serial devices to a group you can join (dialout on Debian).";
}

// The processes with a lock on the device, by /proc/locks: "1: FLOCK ADVISORY WRITE 812 00:05:3 0 EOF",
// the device as major:minor in hex and the inode. Waiters ("1: -> FLOCK …") hold nothing.
std::vector<std::string> LockHolders(const fs::path &device, const std::string &proc)
{
    std::vector<std::string> pids;
    struct stat info {};
    if (::stat(device.c_str(), &info) != 0)
        return pids;
    char id[64];
    std::snprintf(id, sizeof id, "%02x:%02x:%lu", major(info.st_dev), minor(info.st_dev),
                  static_cast<unsigned long>(info.st_ino));
    std::ifstream locks(fs::path(proc) / "locks");
    std::string line;
    while (std::getline(locks, line)) {
        std::istringstream fields(line);
        std::string number, kind, mode, access, pid, where;
        fields >> number >> kind;
        if (kind == "->")
            continue;
        fields >> mode >> access >> pid >> where;
        if (where == id && IsPid(pid))
            pids.push_back(pid);
    }
    return pids;
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


std::string Join(const std::vector<std::string> &items)
{
    std::string text;
    for (const std::string &item : items)
        text += (text.empty() ? "" : ", ") + item;
    return text;
}

// The processes with the device's lock, else those with a descriptor on it; this one among them.
std::vector<std::string> HolderPids(const std::string &path, const std::string &proc)
{
    std::error_code error;
    // Descriptors link to the device's real path, not to a by-id name or other link.
    fs::path device = fs::canonical(path, error);
    if (error)
        device = path;
    std::vector<std::string> pids = LockHolders(device, proc);
    if (!pids.empty())
        return pids;
    fs::directory_iterator entry(proc, error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        const std::string pid = entry->path().filename().string();
        if (IsPid(pid) && HoldsDevice(entry->path(), device))
            pids.push_back(pid);
    }
    return pids;
}

std::vector<std::string> OtherPrograms(const std::vector<std::string> &pids, const std::string &proc)
{
    const std::string self = std::to_string(::getpid());
    std::vector<std::string> names;
    for (const std::string &pid : pids)
        if (pid != self)
            names.push_back(ProcessName(fs::path(proc) / pid) + " (pid " + pid + ")");
    return names;
}

std::string BusyAdvice(const std::string &path, const std::string &proc)
{
    const std::vector<std::string> pids = HolderPids(path, proc);
    const std::vector<std::string> holders = OtherPrograms(pids, proc);
    if (holders.empty() && !pids.empty())
        return "in use by another window of this program. Close that window, then try again.";
    if (holders.empty())
        return kPortInUseElsewhere;
    return "in use by " + Join(holders)
        + ". Close or stop that program (ModemManager and brltty take new USB serial cables; "
          "the udev rule installed with xiepin keeps ModemManager away), then try again.";
}

} // namespace

std::vector<std::string> ProgramsHolding(const std::string &path, const std::string &proc)
{
    return OtherPrograms(HolderPids(path, proc), proc);
}

std::string OpenFailureMessage(const std::string &path, int error, const std::string &proc)
{
    std::string detail;
    switch (error) {
    case EACCES:
    case EPERM:
        detail = PermissionAdvice(path);
        break;
    case EBUSY:
    case EWOULDBLOCK:
        detail = BusyAdvice(path, proc);
        break;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        detail = kNoSuchPort;
        break;
    default:
        detail = std::strerror(error);
        break;
    }
    return OpenFailureText(path, detail);
}
