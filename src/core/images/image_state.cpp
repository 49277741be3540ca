#include "core/images/image_state.h"

#include "core/chart/chart_geometry.h"

namespace zorva {

namespace {

constexpr int32_t kImageBand = 454; // height of the band the image is centred on
constexpr int32_t kImageTopMargin = 21;
constexpr std::string_view kCaptionPrefix = "Zorva Image Viewer - ";

} // namespace

double ImageChartDiameter(double radiusPixels) {
    return 2 * radiusPixels * MmPerInch / ChartPixelsPerInch;
}

int32_t ImageControlTop(int32_t imageHeight) {
    if (imageHeight >= kImageBand) return kImageTopMargin;
    return (kImageBand - imageHeight) / 2 + kImageTopMargin;
}

std::string ImageWindowCaption(std::string_view bareName) {
    return std::string(kCaptionPrefix) + std::string(bareName);
}

} // namespace zorva
