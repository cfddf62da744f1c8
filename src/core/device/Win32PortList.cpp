// Built on Windows only; the guard lets the plain C++ check compile the folder anywhere.
#ifdef _WIN32

// The ports of Windows: the values of the registry key the serial drivers fill.
#include "device/SerialPortList.h"

#include "device/PortDescription.h"

#include <cstring>

#include <windows.h>

namespace {

// A registry key opened for reading, closed in every case.
class RegistryKey {
public:
    RegistryKey(HKEY root, const char *path)
    {
        if (::RegOpenKeyExA(root, path, 0, KEY_READ, &m_key) != ERROR_SUCCESS)
            m_key = nullptr;
    }
    ~RegistryKey()
    {
        if (m_key != nullptr)
            ::RegCloseKey(m_key);
    }
    RegistryKey(const RegistryKey &) = delete;
    RegistryKey &operator=(const RegistryKey &) = delete;

    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

} // namespace

// The pseudo-terminal radio is a POSIX program; Windows has no link to it.
std::string VirtualRadioLinkPath()
{
    return {};
}

std::optional<std::vector<std::string>> ListSerialDevices()
{
    const RegistryKey key(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM");
    if (key.Get() == nullptr)
        return std::nullopt;
    std::vector<std::string> found;
    for (DWORD index = 0;; ++index) {
        // Each value is a driver's device name; its data is the port name, such as COM1.
        char name[256];
        DWORD nameSize = sizeof name;
        BYTE data[256];
        DWORD dataSize = sizeof data;
        const LONG status = ::RegEnumValueA(key.Get(), index, name, &nameSize, nullptr, nullptr, data, &dataSize);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status != ERROR_SUCCESS)
            return std::nullopt;  // also a name or data too long for its buffer
        const char *text = reinterpret_cast<const char *>(data);
        found.emplace_back(text, ::strnlen(text, dataSize));
    }
    SortDeviceNames(found);
    return found;
}

// The registry names the ports and nothing more.
std::optional<std::vector<TPortEntry>> DescribeSerialDevices()
{
    const std::optional<std::vector<std::string>> names = ListSerialDevices();
    if (!names)
        return std::nullopt;
    std::vector<TPortEntry> entries;
    for (const std::string &name : *names)
        entries.push_back({name, {}, {}, false});
    return entries;
}

#endif // _WIN32
