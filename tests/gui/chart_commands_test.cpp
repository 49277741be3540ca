// The chart as the window paints it: sizes and pixels after the chart commands.
#include <QTest>
#include <gtest/gtest.h>

#include "gui/chart_image.h"
#include "render/chart_painter.h"
#include "window_fixture.h"

namespace zorva {
namespace {

struct ChartWindow : test::WindowTest {
    ChartWindow() : WindowTest(QDate(2005, 6, 15)) {}
    const QImage& Chart() const { return Find<gui::ImageControl>("Image")->canvas(); }
};

TEST_F(ChartWindow, DiameterCommandsResizeThePaintedChart) {
    for (const auto& [item, side] : {std::pair{"N100mm", 369}, {"N6in", 562}, {"N150mm", 553}}) {
        Trigger(item);
        EXPECT_EQ(Find<gui::ImageControl>("Image")->width(), side) << item;
        EXPECT_EQ(Chart().height(), side) << item;
    }
    // The disk fills 80 % of the chart: inside it is yellow, the corner light blue.
    EXPECT_EQ(PixelWord(Chart(), 553 / 2 + 100, 553 / 2), DiskColour);
    EXPECT_EQ(PixelWord(Chart(), 3, 3), ChartBackgroundColour);
}

TEST_F(ChartWindow, TheDiameterBoxFollowsTheUnit) {
    Trigger("N4in");
    Trigger("Othermm"); // 4 in is 101.6 mm, not a 4 mm chart
    EXPECT_EQ(Box("DiamBox")->text(), "101.6");
    EXPECT_EQ(Text("DiskDiamLabel"), "mm");
    EXPECT_FALSE(Box("DiamBox")->isReadOnly());
    EXPECT_EQ(Find<gui::ImageControl>("Image")->width(), 375);
    Type("DiamBox", "120");
    EXPECT_EQ(Find<gui::ImageControl>("Image")->width(), ChartSide(120));
}

TEST_F(ChartWindow, GridCommandsRepaint) {
    const QImage before = Chart().copy();
    Trigger("LatLines1");
    EXPECT_TRUE(Checked("LatLines1"));
    EXPECT_NE(Chart(), before);
    Trigger("LatLines1");
    EXPECT_EQ(Chart(), before);
    Trigger("NESWPoints1");
    EXPECT_FALSE(Checked("NESWPoints1"));
    EXPECT_NE(Chart(), before);
}

TEST_F(ChartWindow, WithTheZenithUpTheObserverTurnsTheChart) {
    Trigger("DiskOrientation3");
    const QImage before = Chart().copy();
    Type("ObserverLongBox", "100");
    EXPECT_NE(Chart(), before);
}

} // namespace
} // namespace zorva
