#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zorva {

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
