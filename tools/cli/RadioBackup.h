#pragma once

#include "protocol/ProgramLink.h"
#include "protocol/RadioImage.h"

#include <array>

class TLinkSession;

// How the signalling editors move their areas; a backup and a restore do the same.
struct SignallingTransfer {
    int area;
    NextRead read;
    WriteFraming write;
};
// Areas 1 to 4 in the order of a backup.
const std::array<SignallingTransfer, 4> &SignallingTransfers();

// The whole radio: the main read (channels and settings), then areas 1 to 4. Every block of the
// image comes from the radio; the port is closed afterwards.
TRadioImage BackupRadio(TLinkSession &session);

// The main write of channels and settings from the image, then areas 1 to 4.
void RestoreRadio(TLinkSession &session, const TRadioImage &image);

// Areas 0 and 5 of an image as a main write sends them, and back.
MainImage MainImageOf(const TRadioImage &image);
void SetMainImage(TRadioImage &image, const MainImage &main);
