#pragma once

#include "device/LineSettings.h"

#include <cstdint>

// The flags word of a Win32 device control block (DCB) as the line settings give it, bit 0
// upwards: binary, parity check, CTS and DSR output flow, DTR control (2 bits), DSR
// sensitivity, TX continue on XOFF, XON/XOFF output and input, error-char replacement, null
// stripping, RTS control (2 bits); bit 14 (abort on error) and above stay 0. The main window's
// line gives 0x1091.
std::uint32_t DcbFlags(const TLineSettings &settings);
