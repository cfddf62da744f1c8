#pragma once

#include "protocol/RadioImage.h"

// The memory of a radio as it leaves the factory: six UHF channels in use (tones, powers and
// bandwidths varied), the global settings at the tool's start values, and every signalling
// table filled with values that read back cleanly into its editor.
TRadioImage FactoryImage();
