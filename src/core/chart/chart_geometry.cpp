#include "core/chart/chart_geometry.h"

#include <cmath>

#include "core/text/format.h"

namespace zorva {

namespace {

constexpr double kSidePerDiameter = 1 / ChartDiskFraction;
static_assert(kSidePerDiameter == 1.25);

// The window's layout around the chart: panels to the left, menu and caption above.
constexpr int32_t kTallChartThreshold = 533; // charts up to this side fit the design height
constexpr int32_t kChartTopAndBottom = 86;   // caption, menu and margins around a tall chart
constexpr int32_t kDesignHeight = 620;
constexpr int32_t kTaskbarHeight = 28; // kept free at the bottom of the screen
constexpr int32_t kVScrollSlack = 42;  // height beyond which the content scrolls
constexpr int32_t kPanelsWidth = 390;  // the group boxes beside the chart
constexpr int32_t kHScrollSlack = 14;

struct CutoffStep {
    double belowMm;
    double cutoff;
};
constexpr CutoffStep kCutoffSteps[] = {{200, 0.995}, {300, 0.997}, {400, 0.998}};
constexpr double kLargestCutoff = 0.999;

} // namespace

int32_t ChartSide(double diameterMm) {
    return static_cast<int32_t>(
        std::trunc(diameterMm * kSidePerDiameter * ChartPixelsPerInch / MmPerInch));
}

WindowFit FitWindowToChart(int32_t w, int32_t h, int32_t screenWidth, int32_t screenHeight) {
    WindowFit fit;
    const int32_t neededHeight = h > kTallChartThreshold ? h + kChartTopAndBottom : kDesignHeight;
    // Tested before halving: halving towards zero would turn a shortfall of one pixel
    // into a top of 0 and a window one pixel taller than the screen allows.
    const int32_t spareHeight = screenHeight - kTaskbarHeight - neededHeight;
    fit.top = spareHeight / 2;
    if (spareHeight < 0) {
        fit.height = screenHeight - kTaskbarHeight;
        fit.top = 0;
        fit.vScroll = true;
    } else {
        fit.height = neededHeight;
        fit.vScroll = neededHeight > screenHeight - kVScrollSlack;
    }
    const int32_t neededWidth = w + kPanelsWidth;
    const int32_t spareWidth = screenWidth - neededWidth;
    fit.left = spareWidth / 2;
    if (spareWidth < 0) {
        fit.width = screenWidth;
        fit.left = 0;
        fit.hScroll = true;
    } else {
        fit.width = neededWidth;
        fit.hScroll = neededWidth > screenWidth - kHScrollSlack;
    }
    return fit;
}

double LimbCutoff(double diameterMm) {
    for (const CutoffStep& step : kCutoffSteps) {
        if (diameterMm < step.belowMm) return step.cutoff;
    }
    return kLargestCutoff;
}

int32_t ValidSign(int32_t sign) {
    return sign == -1 ? -1 : 1;
}

std::string_view FlipMenuCaption(Orientation mode) {
    return mode == Orientation::Equatorial ? "&Flip (N - S)" : "&Flip (T - B)";
}

std::string_view MirrorMenuCaption(Orientation mode) {
    return mode == Orientation::Equatorial ? "&Mirror (E - W)" : "&Mirror (L - R)";
}

std::string DiamBoxText(double value) {
    return FixedText(value, 1); // a decimal point whatever the locale
}

double TypedDiameterMm(double value, LengthUnit unit) {
    return value * MmPer(unit);
}

std::string_view UnitCaption(LengthUnit unit) {
    return unit == LengthUnit::Inch ? "in" : "mm";
}

} // namespace zorva
