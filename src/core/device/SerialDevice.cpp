#include "device/SerialDevice.h"

#ifdef _WIN32
#include "device/Win32SerialDevice.h"
using TPlatformSerialDevice = TWin32SerialDevice;
#else
#include "device/PosixSerialDevice.h"
using TPlatformSerialDevice = TPosixSerialDevice;
#endif

std::unique_ptr<TSerialDevice> CreateSerialDevice()
{
    return std::make_unique<TPlatformSerialDevice>();
}
