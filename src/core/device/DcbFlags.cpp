#include "device/DcbFlags.h"

namespace {

std::uint32_t DtrBits(TDtrControl control)
{
    switch (control) {
    case TDtrControl::DtrDisable: return 0;
    case TDtrControl::DtrEnable: return 1;
    case TDtrControl::DtrHandshake: return 2;
    }
    return 1;
}

std::uint32_t RtsBits(TRtsControl control)
{
    switch (control) {
    case TRtsControl::RtsDisable: return 0;
    case TRtsControl::RtsEnable: return 1;
    case TRtsControl::RtsHandshake: return 2;
    case TRtsControl::RtsTransmissionAvailable: return 3;
    }
    return 1;
}

std::uint32_t Bit(bool on, int position)
{
    return on ? std::uint32_t(1) << position : 0;
}

} // namespace

std::uint32_t DcbFlags(const TLineSettings &settings)
{
    return Bit(true, 0)  // binary: Windows supports no other mode
           | Bit(settings.parityCheck, 1) | Bit(settings.outxCtsFlow, 2) | Bit(settings.outxDsrFlow, 3)
           | DtrBits(settings.dtrControl) << 4 | Bit(settings.dsrSensitivity, 6)
           | Bit(settings.txContinueOnXoff, 7) | Bit(settings.outxXonXoffFlow, 8)
           | Bit(settings.inxXonXoffFlow, 9) | Bit(settings.replaceWhenParityError, 10)
           | Bit(settings.ignoreNullChar, 11) | RtsBits(settings.rtsControl) << 12;
}
