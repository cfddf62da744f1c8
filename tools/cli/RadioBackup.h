#pragma once

#include "protocol/MainImage.h"
#include "protocol/RadioImage.h"

class TLinkSession;

// The whole radio: the main read (channels and settings), then areas 1 to 4. Every block of the
// image comes from the radio; the port is closed afterwards.
TRadioImage BackupRadio(TLinkSession &session);

// The main write of channels and settings from the image, then areas 1 to 4.
void RestoreRadio(TLinkSession &session, const TRadioImage &image);

// Areas 0 and 5 of an image as a main write sends them, and back.
MainImage MainImageOf(const TRadioImage &image);
void SetMainImage(TRadioImage &image, const MainImage &main);
