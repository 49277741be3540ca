#include <QAction>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

#include "gui/tzorvaform.h"
#include "render/chart_painter.h"
#include "window_fixture.h"

namespace zorva {
namespace {

using gui::TZorvaForm;

struct ChartWindow : test::WindowTest {
    ChartWindow() : WindowTest(QDate(2005, 6, 15)) {}
};

TEST_F(ChartWindow, DiameterCommandsSizeTheChart) {
    struct Case {
        const char* item;
        int side;
        const char* box;
        const char* unit;
    };
    for (const Case c : {Case{"N100mm", 369, "100.0", "mm"}, {"N125mm", 461, "125.0", "mm"},
                         {"N4in", 375, "4.0", "in"}, {"N6in", 562, "6.0", "in"},
                         {"N150mm", 553, "150.0", "mm"}}) {
        Trigger(c.item);
        EXPECT_EQ(form->Image->width(), c.side) << c.item;
        EXPECT_EQ(form->Image->canvas().height(), c.side) << c.item;
        EXPECT_EQ(form->DiamBox->text(), c.box) << c.item;
        EXPECT_EQ(form->DiskDiamLabel->text(), c.unit) << c.item;
        EXPECT_TRUE(form->action(c.item)->isChecked()) << c.item;
        EXPECT_TRUE(form->DiamBox->isReadOnly()) << c.item;
    }
    // The disk fills 80 % of the chart: the centre is yellow, the corner light blue.
    const QImage& chart = form->Image->canvas();
    EXPECT_EQ(PixelWord(chart, 553 / 2 + 100, 553 / 2), DiskColour);
    EXPECT_EQ(PixelWord(chart, 3, 3), ChartBackgroundColour);
}

TEST_F(ChartWindow, TypedDiameters) {
    form->DiamBox->setText("100");
    Trigger("Othermm");
    EXPECT_TRUE(form->action("Othermm")->isChecked());
    EXPECT_FALSE(form->action("N150mm")->isChecked());
    EXPECT_FALSE(form->DiamBox->isReadOnly());
    EXPECT_EQ(form->Image->width(), 369);
    // Unusable texts change nothing.
    for (const char* text : {"0", "-5", "abc", "5000", "1.2.3"}) {
        form->DiamBox->setText(text);
        form->DiamBoxChange();
        EXPECT_EQ(form->chart().ChartDiameter, 100) << text;
        EXPECT_EQ(form->Image->width(), 369) << text;
    }
    Type(form->DiamBox, "120");
    EXPECT_EQ(form->chart().ChartDiameter, 120);
    EXPECT_EQ(form->Image->width(), ChartSide(120));
    // In inches.
    Type(form->DiamBox, "5");
    Trigger("Otherin");
    EXPECT_EQ(form->DiskDiamLabel->text(), "in");
    EXPECT_DOUBLE_EQ(form->chart().ChartDiameter, 127);
    EXPECT_EQ(form->Image->width(), 468);
    // And the choice survives a restart: 5 in is written as a plain 5 in inches.
    form->close();
    form.reset();
    Open();
    EXPECT_TRUE(form->action("N5in")->isChecked());
    EXPECT_DOUBLE_EQ(form->chart().ChartDiameter, 127);
}

TEST_F(ChartWindow, SpotEntryFollowsTheBoxes) {
    Type(form->XCoordBox, "75");
    EXPECT_NE(form->spot().SpotRho, NoValue); // on the limb of the 150 mm disk
    EXPECT_NE(form->LatLabel->text(), "    -");
    Type(form->XCoordBox, "75.01");
    EXPECT_EQ(form->spot().SpotRho, NoValue);
    EXPECT_EQ(form->LatLabel->text(), "    -");
    EXPECT_EQ(form->LongLabel->text(), "     -");
    EXPECT_EQ(form->SunspotCRLabel->text(), "    -");
    EXPECT_EQ(form->AreaLabel->text(), "     -");
    // A size of 10 cells of 1 mm2 on a 100 mm chart at the centre: 636.6 millionths.
    Trigger("N100mm");
    Type(form->XCoordBox, "0");
    Type(form->SizeBox, "10");
    EXPECT_EQ(form->AreaLabel->text(), " 640");
    Trigger("PrecisionArea2");
    EXPECT_EQ(form->AreaLabel->text(), " 637");
    Type(form->SizeBox, "-1"); // refused: the area stays
    EXPECT_EQ(form->AreaLabel->text(), " 637");
    // The area follows the chart's diameter.
    Trigger("N150mm");
    EXPECT_EQ(form->AreaLabel->text(), " 283");
    Trigger("N125sqin");
    EXPECT_EQ(form->SizeLabel->text(), QString::fromUtf8("1/25\u00B2 in\u00B2"));
    EXPECT_EQ(form->AreaLabel->text(), " 292");

    // A day later the same place on the disk shows another longitude.
    Type(form->XCoordBox, "60");
    const QString longitude = form->LongLabel->text();
    const QString area = form->AreaLabel->text();
    form->DatePicker->setDate(QDate(2005, 6, 16));
    EXPECT_NE(form->LongLabel->text(), longitude);
    EXPECT_EQ(form->LongLabel->text().trimmed(),
              QString::number(std::floor(form->spot().SpotLong + 0.5)) + QString::fromUtf8("\u00B0"));
    EXPECT_EQ(form->AreaLabel->text(), area); // the disk place is the same, so is the area
}

TEST_F(ChartWindow, OrientationFlipAndMirrorMoveTheSpot) {
    Type(form->XCoordBox, "30");
    Type(form->YCoordBox, "20");
    const double lat = form->spot().SpotLat;
    const double lon = form->spot().SpotLong;
    Trigger("FlipMenu");
    EXPECT_EQ(form->chart().FlipSign, -1);
    EXPECT_NE(form->spot().SpotLat, lat);
    Trigger("FlipMenu");
    EXPECT_DOUBLE_EQ(form->spot().SpotLat, lat);
    EXPECT_DOUBLE_EQ(form->spot().SpotLong, lon);
    Trigger("MirrorMenu");
    EXPECT_NE(form->spot().SpotLong, lon);
    Trigger("MirrorMenu");
    Trigger("DiskOrientation2");
    EXPECT_EQ(form->chart().Mode, Orientation::RotationAxis);
    EXPECT_NE(form->spot().SpotLat, lat);
    EXPECT_EQ(form->action("MirrorMenu")->text(), "&Mirror (L - R)");
    Trigger("DiskOrientation1");
    EXPECT_EQ(form->action("MirrorMenu")->text(), "&Mirror (E - W)");
    EXPECT_DOUBLE_EQ(form->spot().SpotLat, lat);
}

TEST_F(ChartWindow, RotationMarkersFollowTheDate) {
    Type(form->XCoordBox, "10");
    Type(form->YCoordBox, "5");
    const double lon = form->spot().SpotLong;
    Trigger("RotationCarrington");
    Trigger("RotationDifferential");
    ASSERT_TRUE(form->markers().CarrMarkerShown);
    form->DatePicker->setDate(QDate(2005, 6, 17));
    // The Carrington marker keeps the captured longitude; the differential one drifts.
    EXPECT_TRUE(form->markers().CarrRefSet);
    EXPECT_DOUBLE_EQ(form->markers().CarrRefLong, lon);
    EXPECT_NE(form->spot().SpotLong, lon);
    // Two days of rotation carry the markers about 26 degrees west: to the left on the
    // chart with east on the right.
    EXPECT_LT(form->markers().CarrMarkerX, 10.0);
    EXPECT_FALSE(form->markers().CarrMarkerFarSide);
    // A change of geometry shows the plain spot until the next change of date.
    Trigger("N100mm");
    EXPECT_TRUE(form->markers().CarrMarkerShown);
    EXPECT_FALSE(form->markers().CarrRefSet);
}

TEST_F(ChartWindow, GridLineCommandsRedraw) {
    const QImage before = form->Image->canvas().copy();
    Trigger("LatLines1");
    EXPECT_TRUE(form->chart().ShowLatLines);
    EXPECT_NE(form->Image->canvas(), before);
    Trigger("LatLines1");
    EXPECT_EQ(form->Image->canvas(), before);
    Trigger("NESWPoints1");
    EXPECT_FALSE(form->action("NESWPoints1")->isChecked());
    EXPECT_NE(form->Image->canvas(), before);
}

} // namespace
} // namespace zorva
