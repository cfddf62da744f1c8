#pragma once

#include <cstdint>

enum class TDtrControl { DtrEnable, DtrDisable, DtrHandshake };
enum class TRtsControl { RtsEnable, RtsDisable, RtsHandshake, RtsTransmissionAvailable };
enum class TByteSize { _5, _6, _7, _8 };
enum class TParity { None, Odd, Even, Mark, Space };
enum class TStopBits { _1, _1_5, _2 };

// The line as TComm's properties describe it, with their defaults. A device applies what its
// platform can express and keeps quiet about the rest.
struct TLineSettings {
    std::uint32_t baudRate = 9600;
    bool parityCheck = false;
    bool outxCtsFlow = false;
    bool outxDsrFlow = false;
    TDtrControl dtrControl = TDtrControl::DtrEnable;
    bool dsrSensitivity = false;
    bool txContinueOnXoff = true;
    bool outxXonXoffFlow = true;
    bool inxXonXoffFlow = true;
    bool replaceWhenParityError = false;
    bool ignoreNullChar = false;
    TRtsControl rtsControl = TRtsControl::RtsEnable;
    std::uint16_t xonLimit = 500;
    std::uint16_t xoffLimit = 500;
    TByteSize byteSize = TByteSize::_8;
    TParity parity = TParity::None;
    TStopBits stopBits = TStopBits::_1;
    char xonChar = 0x11;
    char xoffChar = 0x13;
    char replacedChar = 0x00;
};

// Milliseconds. A chunk ends after readInterval without a byte, or readTotalMultiplier per
// buffer byte plus readTotalConstant after its first byte; 0 switches a rule off.
struct TTimeouts {
    std::uint32_t readInterval = 100;
    std::uint32_t readTotalMultiplier = 0;
    std::uint32_t readTotalConstant = 0;
    std::uint32_t writeTotalMultiplier = 0;
    std::uint32_t writeTotalConstant = 0;
};

// Error flags of a line error: which line errors the driver counted since the last report.
namespace commerror {
constexpr std::uint32_t kRxOver = 0x01;   // the driver's input buffer overflowed
constexpr std::uint32_t kOverrun = 0x02;  // the UART lost a byte before it was read
constexpr std::uint32_t kParity = 0x04;
constexpr std::uint32_t kFrame = 0x08;
constexpr std::uint32_t kBreak = 0x10;
}

// Modem events; both together give 12.
namespace modemevent {
constexpr std::uint32_t kRing = 4;
constexpr std::uint32_t kCarrierDetect = 8;
}
