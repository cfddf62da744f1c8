#include "backup/ImageAreas.h"

#include "protocol/Areas.h"

namespace {

bool TouchesMain(const TRadioImage &image)
{
    return image.holdsAnyOf(frame::kMainArea) || image.holdsAnyOf(frame::kSettingsArea);
}

}  // namespace

std::vector<int> TransferSteps(const TRadioImage &image)
{
    std::vector<int> steps;
    if (TouchesMain(image))
        steps.push_back(kMainStep);
    for (int area : kSignallingAreas)
        if (image.holdsAnyOf(area))
            steps.push_back(area);
    return steps;
}

TRadioImage WholeAreas(const TRadioImage &image, const TRadioImage &radio)
{
    TRadioImage whole = image;
    const bool main = TouchesMain(image);
    for (const TRadioImage::Place &place : TRadioImage::Places()) {
        const bool isMain = place.area == frame::kMainArea || place.area == frame::kSettingsArea;
        const bool touched = isMain ? main : image.holdsAnyOf(place.area);
        if (touched && !image.holds(place.area, place.block))
            whole.setBlock(place.area, place.block, radio.block(place.area, place.block));
    }
    return whole;
}

MainImage MainPart(const TRadioImage &image)
{
    MainImage main;
    for (int n = 1; n <= frame::kChannelCount; ++n)
        main.channels[static_cast<std::size_t>(n - 1)] = image.block(frame::kMainArea, n);
    main.settings = image.block(frame::kSettingsArea, 0);
    return main;
}
