#include "core/chart/chart_geometry.h"

#include <gtest/gtest.h>

namespace zorva {
namespace {

// side = trunc(mm x 1.25 x 75 / 25.4): the disk fills 80 % of a 75 dpi image.
TEST(ChartGeometry, ChartSideOfEveryDiameter) {
    struct Case {
        double mm;
        int32_t side;
    };
    const Case cases[] = {
        {100, 369},
        {125, 461},
        {150, 553},
        {4 * MmPerInch, 375},
        {5 * MmPerInch, 468},
        {6 * MmPerInch, 562},
        {TypedDiameterMm(100, LengthUnit::Mm), 369},
        {TypedDiameterMm(4, LengthUnit::Inch), 375},
        {450, 1660},
        {10, 36},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChartSide(c.mm), c.side) << c.mm;
}

TEST(ChartGeometry, DiameterMenuTable) {
    for (const DiameterItem& item : DiameterItems) {
        if (!item.Fixed) continue;
        EXPECT_EQ(TypedDiameterMm(item.BoxValue, item.Unit), item.DiameterMm) << item.Name;
    }
    EXPECT_EQ(DiameterItems[3].Name, "N4in");
    EXPECT_EQ(DiamBoxText(DiameterItems[0].BoxValue), "100.0");
    EXPECT_EQ(DiamBoxText(DiameterItems[5].BoxValue), "6.0");
    EXPECT_EQ(ChartSide(DiameterItems[4].DiameterMm), 468);
}

// Worked by hand from the fit rule: height side + 86 above 533 (else 620), width side + 390,
// centred in the screen less 28 pixels of height; what does not fit takes that room and a
// scroll bar, which also shows when the window comes within 14 pixels of the room.
TEST(ChartGeometry, FitWindowToChart) {
    struct Case {
        const char* what;
        int32_t side, screenW, screenH;
        WindowFit fit; // width, height, top, left, vScroll, hScroll
    };
    const Case cases[] = {
        {"150 mm on 1024x768", 553, 1024, 768, {943, 639, 50, 40, false, false}},
        {"150 mm on 640x480", 553, 640, 480, {640, 452, 0, 0, true, true}},
        {"small chart keeps the design height", 369, 1024, 768, {759, 620, 60, 132, false, false}},
        {"533 is still small", 533, 1280, 1024, {923, 620, 188, 178, false, false}},
        {"fits but scrolls", 553, 950, 680, {943, 639, 6, 3, true, true}},
        {"one pixel short in height", 369, 1024, 647, {759, 619, 0, 132, true, false}},
        {"one pixel short in width", 553, 942, 768, {942, 639, 50, 0, false, true}},
        {"just fits", 369, 759, 648, {759, 620, 0, 0, true, true}},
    };
    for (const Case& c : cases) {
        const WindowFit fit = FitWindowToChart(c.side, c.side, c.screenW, c.screenH);
        EXPECT_EQ(fit, c.fit) << c.what;
        EXPECT_LE(fit.height, c.screenH - 28) << c.what;
        EXPECT_LE(fit.width, c.screenW) << c.what;
    }
}

// The cut-off's rule: below 200 mm 0.995, below 300 0.997, below 400 0.998, then 0.999.
TEST(ChartGeometry, LimbCutoffSteps) {
    const std::pair<double, double> cases[] = {{100, 0.995}, {199.9, 0.995}, {200, 0.997},
                                               {299, 0.997}, {300, 0.998},   {399.9, 0.998},
                                               {400, 0.999}, {450, 0.999}};
    for (const auto& [mm, c] : cases)
        EXPECT_EQ(LimbCutoff(mm), c) << mm;
}

TEST(ChartGeometry, SignsAndCaptions) {
    EXPECT_EQ(ValidSign(-1), -1);
    EXPECT_EQ(ValidSign(1), 1);
    EXPECT_EQ(ValidSign(0), 1);
    EXPECT_EQ(ValidSign(-2), 1);
    EXPECT_EQ(ToggledSign(ToggledSign(-1)), -1);
    EXPECT_EQ(ToggledSign(1), -1);
    EXPECT_EQ(FlipMenuCaption(Orientation::Equatorial), "&Flip (N - S)");
    EXPECT_EQ(MirrorMenuCaption(Orientation::Equatorial), "&Mirror (E - W)");
    EXPECT_EQ(FlipMenuCaption(Orientation::AltAzimuth), "&Flip (T - B)");
    EXPECT_EQ(MirrorMenuCaption(Orientation::RotationAxis), "&Mirror (L - R)");
}

} // namespace
} // namespace zorva
