#include "device/SerialDevice.h"

#include "device/PosixSerialDevice.h"

std::unique_ptr<TSerialDevice> CreateSerialDevice()
{
    return std::make_unique<TPosixSerialDevice>();
}
