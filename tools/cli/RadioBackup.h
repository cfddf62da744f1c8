#pragma once

#include "protocol/MainImage.h"
#include "protocol/RadioImage.h"

#include <QList>

struct CliOptions;
class TLinkSession;

// Transfers of whole areas between the radio and an image. "Main" stands for the channels and
// the settings together: the main read and write always move all 17 of their blocks, and an
// area transfer all blocks of its area.

// The areas that `which` holds any block of, read from the radio (main first, then areas 1 to
// 4); the image holds every block of those areas, each from the radio. The port is closed
// afterwards.
TRadioImage ReadRadio(TLinkSession &session, const TRadioImage &which);
// The whole radio.
TRadioImage BackupRadio(TLinkSession &session);

// An image that holds every block of these areas (numbers 0..5), to say which areas a transfer
// or a comparison keeps to.
TRadioImage AreaMask(const QList<int> &areas);

// Writes the areas `image` holds (each held whole, see WholeAreas in backup/ImageAreas.h): the main write, then
// areas 1 to 4. *written counts the blocks the radio acknowledged, also when a transfer fails
// on the way (ETransferFailed propagates).
void WriteRadio(TLinkSession &session, const TRadioImage &image, int *written);

// Areas 0 and 5 of an image from a main read (MainPart in backup/ImageAreas.h goes the other way).
void SetMainImage(TRadioImage &image, const MainImage &main);
bool HoldsMain(const TRadioImage &image);

// The areas --areas names, each of which the image must hold (the channels and the settings
// count as one area, main); the whole image without --areas. Throws ECliError naming the file.
TRadioImage ChosenAreas(const TRadioImage &image, const CliOptions &options);
