#pragma once

#include "protocol/MainImage.h"
#include "protocol/RadioImage.h"

#include <vector>

// The transfers that move an image's blocks. The main transfer always moves the 16 channels and
// the settings together, and an area transfer every block of its area, so an image that holds
// only some blocks of an area is written as that whole area.

// Marks the main transfer in a list of steps.
constexpr int kMainStep = -1;

// The transfers for the areas the image touches: the main one first (when it holds a channel
// or the settings), then areas 1 to 4 in the order of the signalling menu.
std::vector<int> TransferSteps(const TRadioImage &image);

// Every block of the areas `image` touches: its own data, and where it holds none, `radio`'s.
TRadioImage WholeAreas(const TRadioImage &image, const TRadioImage &radio);

// The 17 blocks of a main write, from areas 0 and 5 of an image.
MainImage MainPart(const TRadioImage &image);
