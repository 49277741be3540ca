#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/images/circle_fit.h"
#include "core/images/limb.h"

namespace zorva {

// What an observation keeps about the opened solar image. The pictures themselves (the
// shown copy and the clean copy overlays are wiped with) belong to the window.
struct ImageState {
    // The folders of the last opened and saved images are kept with the other dialogs'
    // folders, which the directory file stores.
    bool ImageLoaded = false;   // set by the first successful open, never cleared
    std::string ImageFileName;  // bare name of the opened image
    std::string SavedImageName; // bare name of the last Save As target; empty until then
    Circle Disk;                // ImageCentreX, ImageCentreY, ImageRadius, in image pixels
    LimbPoints Limb;            // LimbX, LimbY, LimbFlag
    LimbBackground Mode = LimbBackground::Dark;
    bool LimbFound = false;
};

// Takes a limb search's result into the state.
void TakeLimbFit(ImageState& state, const LimbFit& fit);

// The chart diameter in millimetres an image's disk stands for: the image is taken to be
// drawn at the chart's 75 pixels per inch.
double ImageChartDiameter(double radiusPixels);

// Top of the image control in the window: images of 454 pixels and more start at the top
// margin, lower ones are centred on the chart's 454-pixel band.
int32_t ImageControlTop(int32_t imageHeight);

// The window caption while an image is shown or after it was saved.
std::string ImageWindowCaption(std::string_view bareName);

// Title of the open dialog for images.
inline constexpr std::string_view OpenImageDialogTitle = "Solar Image";

} // namespace zorva
