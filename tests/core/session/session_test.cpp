// The observation session without a window: start-up, the cycle and each command. The
// expected values are the worked values of the behaviour (chart sides, readout texts, areas,
// window fits) or follow from the geometry as the comments derive them.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "core/logfile/logfile.h"
#include "core/present/presentation.h"
#include "core/session/session.h"
#include "support/test_support.h"

namespace zorva {
namespace {

const std::string kDeg = "\u00B0";

int32_t Item(std::string_view name) {
    for (std::size_t i = 0; i < DiameterItems.size(); ++i) {
        if (DiameterItems[i].Name == name) return static_cast<int32_t>(i);
    }
    ADD_FAILURE() << "no diameter item " << name;
    return 0;
}

class SessionTest : public ::testing::Test {
  protected:
    void Start(CalendarDate today) { s.Start(LoadSettingsFiles(dir.path()), today); }
    void SetUp() override { Start({2000, 1, 31}); }
    // Replaces a box's text keystroke by keystroke, as a user types it.
    void Type(EditBox box, const std::string& text) {
        s.EditText(box, "");
        for (std::size_t i = 1; i <= text.size(); ++i)
            s.EditText(box, text.substr(0, i));
    }
    // A click on the 150 mm chart (553 pixels) at a pixel.
    void Click(int x, int y, bool shift = false, bool ctrl = false) {
        s.ChartMouseDown(true, shift, ctrl, x, y);
    }
    ReadoutView Readouts() const { return PresentReadouts(s); }

    test::TempDir dir;
    Session s{YearTables(dir.path())};
};

TEST_F(SessionTest, FirstStartWithoutFiles) {
    EXPECT_EQ(s.Chart().geometry().ChartDiameter, 150);
    EXPECT_EQ(s.Chart().ChartSidePixels(), 553);
    EXPECT_EQ(s.Chart().diameter().item, Item("N150mm"));
    EXPECT_EQ(s.BoxText(EditBox::Diameter), "150.0");
    EXPECT_TRUE(s.Chart().diameter().boxReadOnly);
    EXPECT_EQ(s.Chart().geometry().Mode, Orientation::Equatorial);
    EXPECT_TRUE(s.options().DateLong);
    EXPECT_TRUE(s.options().GridMm);
    EXPECT_TRUE(s.options().Sunspot);
    EXPECT_TRUE(s.options().NESWPoints);
    EXPECT_TRUE(s.Chart().geometry().ShowCentralMeridian);
    EXPECT_FALSE(s.Chart().geometry().ShowLatLines);
    EXPECT_EQ(s.options().DistColour1, kColourBlue);
    EXPECT_EQ(s.options().DistColour2, kColourRed);
    EXPECT_EQ(s.options().WindowWidth, 0); // the screen's available area
    EXPECT_FALSE(s.Records().logbook().IsOpen());
    EXPECT_EQ(s.BoxText(EditBox::ObserverLat), "51.5");
    EXPECT_EQ(s.BoxText(EditBox::ObserverLong), "0.5");
    EXPECT_EQ(s.BoxText(EditBox::XCoord), "0.0");
    EXPECT_EQ(s.Observing().observation().instant, (Instant{2000, 1, 31, 12, 0, 0}));
    EXPECT_EQ(s.Observing().observation().TableDays, 366);
    // The 150 mm chart on the assumed 1024 by 768 screen: needed 639 by 943, top
    // (740 - 639) / 2 = 50, left (1024 - 943) / 2 = 40.
    EXPECT_EQ(s.Chart().Fit(), (WindowFit{943, 639, 50, 40, false, false}));
    // The spot at the centre reads the centre's latitude, uncorrected area 0.
    EXPECT_DOUBLE_EQ(s.spot().At->latitude, s.Observing().observation().ephemeris.B0);
    EXPECT_EQ(Readouts().areaText, "    0");
    EXPECT_EQ(Readouts().separation.Sep1Label, "          -");
    EXPECT_EQ(Readouts().separation.LL2Label, "        -");
}

TEST_F(SessionTest, SettingsRoundTrip) {
    s.ChooseOption("PrecisionRA1");
    s.ChooseOption("PrecisionDia1");
    s.ChooseOption("DateShort");
    s.ChooseOption("CarrRed");
    s.ChooseOption("CarrLabel");
    s.ChooseOption("SRSGreen");
    s.ChooseOption("DistWhite2");
    s.Chart().ChooseScreen(2);
    s.Chart().ChooseDiameter(Item("N4in"));
    s.Chart().Flip();
    s.Chart().ChooseOrientation(Orientation::AltAzimuth);
    s.ChooseOption("LatLines1");
    s.ChooseOption("N125sqin");
    s.ChooseOption("LogFileMessageBox1");
    s.Observing().ChangePickerWidth(PickerWidthCommand::IncreaseDate);
    Type(EditBox::ObserverLat, "51.50");
    const std::string text = SettingsFileText(s.CurrentSettings());
    EXPECT_NE(text.find("inch\n4\nshort\n54 87 186 72 264 19\n"), std::string::npos) << text;

    std::istringstream in(text);
    LoadedSettingsFiles loaded;
    loaded.settings = ReadSettings(in);
    Session again{YearTables(dir.path())};
    again.Start(loaded, {2000, 1, 31});
    EXPECT_EQ(SettingsFileText(again.CurrentSettings()), SettingsFileText(s.CurrentSettings()));
    EXPECT_EQ(again.Chart().diameter().item, Item("N4in"));
    EXPECT_EQ(again.Chart().diameter().unit, LengthUnit::Inch);
    EXPECT_EQ(again.options().ScreenWidth, 800);
    EXPECT_TRUE(PresentReadouts(again).position.PAVisible);
}

TEST_F(SessionTest, DatesSetOutrightAreTakenAsTheyAre) {
    // From the 1st to the last day of the previous month's length is no wrap.
    s.Observing().ChangeDate({2011, 6, 1}, false);
    s.Observing().ChangeDate({2011, 6, 30}, false);
    EXPECT_EQ(s.Observing().Date(), (CalendarDate{2011, 6, 30}));
    s.Observing().ChangeDate({2011, 7, 1}, false);
    s.Observing().ChangeDate({2011, 8, 31}, false);
    EXPECT_EQ(s.Observing().Date(), (CalendarDate{2011, 8, 31}));
    // A spun day that wraps is carried, and the picker shows the carried date.
    s.Observing().ChangeDate({2011, 8, 1}, true);
    EXPECT_EQ(s.Observing().Date(), (CalendarDate{2011, 9, 1}));
    EXPECT_EQ(Present(s).pickers.date, (CalendarDate{2011, 9, 1}));
    // December spun up: January of the next year, and that year's table.
    s.Observing().ChangeDate({2000, 12, 15}, false);
    s.Observing().ChangeDate({2000, 1, 15}, true);
    EXPECT_EQ(s.Observing().observation().TableYear, 2001);
    EXPECT_EQ(s.Observing().observation().TableDays, 365);
}

TEST_F(SessionTest, TimeCarriesIntoTheDateAndTheYear) {
    s.Observing().ChangeDate({2014, 12, 31}, false);
    s.Observing().ChangeTime({23, 59, 59}, false);
    s.Observing().ChangeTime({23, 59, 0}, true);
    EXPECT_EQ(s.Observing().observation().instant, (Instant{2015, 1, 1, 0, 0, 0}));
    EXPECT_EQ(s.Observing().observation().TableYear, 2015);
    s.Observing().ChangeTime({0, 0, 59}, true);
    EXPECT_EQ(s.Observing().observation().instant, (Instant{2014, 12, 31, 23, 59, 59}));
}

// The clock's "now" is set outright: 1 August after 31 August stays 1 August, where a spun
// day would carry into September. Its ephemeris is that of the same instant reached through
// the pickers.
TEST_F(SessionTest, AnInstantSetOutrightIsTakenAsItStands) {
    s.Observing().ChangeDate({2011, 8, 31}, false);
    EXPECT_TRUE(s.Observing().SetInstant({2011, 8, 1, 7, 8, 9}));
    EXPECT_EQ(s.Observing().observation().instant, (Instant{2011, 8, 1, 7, 8, 9}));
    Session picked{YearTables(dir.path())};
    picked.Start(LoadSettingsFiles(dir.path()), {2011, 8, 1});
    picked.Observing().ChangeTime({7, 8, 9}, false);
    EXPECT_EQ(s.Observing().observation().ephemeris.L0,
              picked.Observing().observation().ephemeris.L0);
    EXPECT_EQ(Readouts().parameters.B0Label, PresentReadouts(picked).parameters.B0Label);

    s.Observing().SetInstant({2015, 3, 1, 0, 0, 0});
    EXPECT_EQ(s.Observing().observation().TableYear, 2015);
    EXPECT_EQ(s.Observing().observation().TableDays, 365);
    // No date and time of the pickers: nothing changes.
    for (const Instant bad : {Instant{1599, 12, 31, 0, 0, 0}, Instant{2015, 2, 29, 0, 0, 0},
                              Instant{2015, 13, 1, 0, 0, 0}, Instant{2015, 3, 1, 24, 0, 0}}) {
        EXPECT_FALSE(s.Observing().SetInstant(bad));
        EXPECT_EQ(s.Observing().observation().instant, (Instant{2015, 3, 1, 0, 0, 0}));
    }
}

TEST_F(SessionTest, StepKeysCarryThroughTheYear) {
    s.Observing().SetInstant({2014, 12, 31, 23, 30, 0});
    s.Observing().StepInstantBy(StepUnit::Hour, 1);
    EXPECT_EQ(s.Observing().observation().instant, (Instant{2015, 1, 1, 0, 30, 0}));
    EXPECT_EQ(s.Observing().observation().TableYear, 2015);
    s.Observing().StepInstantBy(StepUnit::Minute, -31);
    EXPECT_EQ(s.Observing().observation().instant, (Instant{2014, 12, 31, 23, 59, 0}));
    s.Observing().SetInstant({2000, 3, 1, 12, 0, 0});
    s.Observing().StepInstantBy(StepUnit::Day, -1); // 2000 is a leap year
    EXPECT_EQ(s.Observing().observation().instant, (Instant{2000, 2, 29, 12, 0, 0}));
    // The first minute the pickers show has none before it.
    s.Observing().SetInstant({kFirstPickerYear, 1, 1, 0, 0, 0});
    s.Observing().StepInstantBy(StepUnit::Minute, -1);
    EXPECT_EQ(s.Observing().Date(), (CalendarDate{kFirstPickerYear, 1, 1}));
}

TEST_F(SessionTest, ReadoutsFollowTheInstantAndPrecision) {
    s.Observing().ChangeDate({1990, 1, 1}, false);
    s.Observing().ChangeTime({0, 0, 0}, false);
    // The first day of the built-in tables at 0h exactly.
    EXPECT_EQ(Readouts().position.RALabel.text, "18h 44m 50s");
    EXPECT_EQ(Readouts().parameters.CRLabel, "1824");
    s.ChooseOption("PrecisionRA1");
    EXPECT_EQ(Readouts().position.RALabel, (LabelText{"18h 45m", 20})); // trunc(24 - 7/2)
    s.ChooseOption("PrecisionDec2");
    EXPECT_EQ(Readouts().position.DecLabel.text, " -23" + kDeg + " 02.5'");
    s.ChooseOption("PrecisionBLP1");
    EXPECT_EQ(Readouts().parameters.B0Label.text, " -3.0" + kDeg);
    EXPECT_EQ(Readouts().parameters.L0Label.text, " 330.0" + kDeg);
    EXPECT_EQ(Readouts().parameters.PLabel.text, "   +2.2" + kDeg);
    s.ChooseOption("PrecisionDia1");
    EXPECT_EQ(Readouts().parameters.DiamLabel, "  32' 35\"");
    EXPECT_FALSE(Readouts().position.PAVisible);
    s.Chart().ChooseOrientation(Orientation::AltAzimuth);
    const ReadoutView r = Readouts();
    EXPECT_TRUE(r.position.PAVisible);
    EXPECT_EQ(r.position.AltAzi1Caption, "Alt, Azi && Par Angle");
    EXPECT_EQ(r.position.AltCaptionLeft, 181);
}

TEST_F(SessionTest, BoxesShowOnlyTheValueInUse) {
    Type(EditBox::ObserverLat, "91");
    EXPECT_EQ(s.Observing().observation().observer.latitude, 9); // "9" was taken, "91" refused
    BoxStatus status = s.StatusOf(EditBox::ObserverLat);
    EXPECT_EQ(status.state, BoxState::Refused);
    EXPECT_NE(status.hint.find("-90 to 90"), std::string::npos) << status.hint;
    EXPECT_NE(status.hint.find("in use: 9"), std::string::npos) << status.hint;
    s.LeaveBox(EditBox::ObserverLat); // the value in use comes back
    EXPECT_EQ(s.BoxText(EditBox::ObserverLat), "9");
    EXPECT_EQ(s.StatusOf(EditBox::ObserverLat).state, BoxState::InUse);

    // A comma is a decimal point; a prefix of a number waits without a mark.
    Type(EditBox::ObserverLat, "51,5");
    EXPECT_EQ(s.Observing().observation().observer.latitude, 51.5);
    EXPECT_EQ(s.StatusOf(EditBox::ObserverLat).state, BoxState::InUse);
    for (const char* prefix : {"", "-", ".", "-."}) {
        s.EditText(EditBox::ObserverLat, prefix);
        EXPECT_EQ(s.StatusOf(EditBox::ObserverLat).state, BoxState::Pending) << prefix;
        EXPECT_EQ(s.Observing().observation().observer.latitude, 51.5) << prefix;
    }
    Type(EditBox::ObserverLat, "-.5");
    EXPECT_EQ(s.Observing().observation().observer.latitude, -0.5);
    s.EditText(EditBox::ObserverLat, "5a");
    EXPECT_EQ(s.StatusOf(EditBox::ObserverLat).state, BoxState::Refused);

    // A longitude of 270 is held as -90; 2700 is refused and -90 stays.
    Type(EditBox::ObserverLong, "270");
    EXPECT_EQ(s.Observing().observation().observer.longitude, -90);
    EXPECT_EQ(s.StatusOf(EditBox::ObserverLong).state, BoxState::InUse);
    Type(EditBox::ObserverLong, "2700");
    EXPECT_EQ(s.Observing().observation().observer.longitude, -90);
    EXPECT_EQ(s.StatusOf(EditBox::ObserverLong).state, BoxState::Refused);
    s.LeaveBox(EditBox::ObserverLong);
    EXPECT_EQ(s.BoxText(EditBox::ObserverLong), "-90");
}

TEST_F(SessionTest, TheChartFollowsTheObserverWithTheZenithUp) {
    const ChartView northUp = PresentChart(s);
    Type(EditBox::ObserverLong, "40");
    // North up: the observer does not turn the chart, though the angle it would turn by
    // changes.
    EXPECT_EQ(PresentChart(s).scene.Frame.q, northUp.scene.Frame.q);
    s.Chart().ChooseOrientation(Orientation::AltAzimuth);
    const double before = PresentChart(s).scene.Frame.q;
    Type(EditBox::ObserverLong, "100");
    const Ephemeris& e = s.Observing().observation().ephemeris;
    EXPECT_NE(PresentChart(s).scene.Frame.q, before);
    EXPECT_EQ(PresentChart(s).scene.Frame.q, e.P - e.ParallacticAngle);
}

TEST_F(SessionTest, DiameterCommandsSizeTheChart) {
    struct Case {
        const char* item;
        int side;
        const char* box;
        const char* unit;
    };
    // ChartSide = trunc(d 1.25 75 / 25.4): 100 mm 369, 125 mm 461, 4 in 375, 6 in 562.
    for (const Case& c : {Case{"N100mm", 369, "100.0", "mm"},
                          {"N125mm", 461, "125.0", "mm"},
                          {"N4in", 375, "4.0", "in"},
                          {"N6in", 562, "6.0", "in"}}) {
        s.Chart().ChooseDiameter(Item(c.item));
        EXPECT_EQ(s.Chart().ChartSidePixels(), c.side) << c.item;
        EXPECT_EQ(s.BoxText(EditBox::Diameter), c.box) << c.item;
        EXPECT_EQ(Readouts().diameterUnit, c.unit) << c.item;
    }
    // Switching to a typed size converts the diameter in use: 6 in is 152.4 mm.
    s.Chart().ChooseDiameter(Item("Othermm"));
    EXPECT_DOUBLE_EQ(s.Chart().geometry().ChartDiameter, 152.4);
    EXPECT_EQ(s.BoxText(EditBox::Diameter), "152.4");
    EXPECT_FALSE(s.Chart().diameter().boxReadOnly);
    s.Chart().ChooseDiameter(Item("N4in"));
    s.Chart().ChooseDiameter(Item("Othermm"));
    EXPECT_DOUBLE_EQ(s.Chart().geometry().ChartDiameter, 101.6);
    // Unusable texts change nothing and are marked; the box takes what the settings file
    // keeps, 1 to 2000 mm.
    for (const char* text : {"0", "0.5", "-5", "abc", "5000", "2000.01", "1.2.3"}) {
        s.EditText(EditBox::Diameter, text);
        EXPECT_DOUBLE_EQ(s.Chart().geometry().ChartDiameter, 101.6) << text;
        EXPECT_EQ(s.StatusOf(EditBox::Diameter).state, BoxState::Refused) << text;
    }
    Type(EditBox::Diameter, "100");
    EXPECT_EQ(s.Chart().ChartSidePixels(), 369); // as 100 mm from the menu
    // 100 mm in inches is 3.93701 to six digits, and that is the diameter taken.
    s.Chart().ChooseDiameter(Item("Otherin"));
    EXPECT_EQ(s.BoxText(EditBox::Diameter), "3.93701");
    EXPECT_NEAR(s.Chart().geometry().ChartDiameter, 100, 1e-4);
    EXPECT_EQ(s.StatusOf(EditBox::Diameter).state, BoxState::InUse);
}

TEST_F(SessionTest, SpotEntryAndArea) {
    Type(EditBox::XCoord, "75"); // on the limb of the 150 mm disk
    EXPECT_TRUE(s.spot().At);
    Type(EditBox::XCoord, "75.01");
    EXPECT_FALSE(s.spot().At);
    EXPECT_EQ(Readouts().spot.LatText, "    -");
    EXPECT_EQ(Readouts().spot.LongText, "     -");
    EXPECT_EQ(Readouts().areaText, "     -");
    // 10 cells of 1 mm2 on a 100 mm chart at the centre: 10 * 2e6 / (pi 100^2) = 636.6.
    s.Chart().ChooseDiameter(Item("N100mm"));
    Type(EditBox::XCoord, "0");
    Type(EditBox::Size, "10");
    EXPECT_EQ(Readouts().areaText, " 640");
    s.ChooseOption("PrecisionArea2");
    EXPECT_EQ(Readouts().areaText, " 637");
    Type(EditBox::Size, "-1"); // refused: the area stays
    EXPECT_EQ(Readouts().areaText, " 637");
    EXPECT_EQ(s.StatusOf(EditBox::Size).state, BoxState::Refused);
    // The same cells on a 150 mm chart: 636.6 (100/150)^2 = 282.9; on the 1/25 in grid
    // each cell is 1.032256 mm2: 292.0.
    s.Chart().ChooseDiameter(Item("N150mm"));
    EXPECT_EQ(Readouts().areaText, " 283");
    s.ChooseOption("N125sqin");
    EXPECT_EQ(Readouts().areaText, " 292");
    EXPECT_EQ(Readouts().sizeUnit, "1/25\u00B2 in\u00B2");
}

TEST_F(SessionTest, FlipMirrorAndOrientationMoveTheSpot) {
    Type(EditBox::XCoord, "30");
    Type(EditBox::YCoord, "20");
    const double lat = s.spot().At->latitude;
    const double lon = s.spot().At->longitude;
    s.Chart().Flip();
    EXPECT_EQ(s.Chart().geometry().FlipSign, -1);
    EXPECT_NE(s.spot().At->latitude, lat);
    s.Chart().Flip();
    EXPECT_DOUBLE_EQ(s.spot().At->latitude, lat);
    s.Chart().Mirror();
    EXPECT_NE(s.spot().At->longitude, lon);
    s.Chart().Mirror();
    EXPECT_DOUBLE_EQ(s.spot().At->longitude, lon);
    s.Chart().ChooseOrientation(Orientation::RotationAxis);
    EXPECT_NE(s.spot().At->latitude, lat);
    s.Chart().ChooseOrientation(Orientation::Equatorial);
    EXPECT_DOUBLE_EQ(s.spot().At->latitude, lat);
}

TEST_F(SessionTest, RotationMarkersFollowTheDate) {
    Start({2005, 6, 15});
    Type(EditBox::XCoord, "10");
    Type(EditBox::YCoord, "5");
    const double lon = s.spot().At->longitude;
    s.ChooseOption("RotationCarrington");
    s.ChooseOption("RotationDifferential");
    s.Observing().ChangeDate({2005, 6, 17}, false);
    // The Carrington marker keeps the captured longitude; the differential one drifts.
    EXPECT_TRUE(s.markers().CarrRefSet);
    EXPECT_DOUBLE_EQ(s.markers().CarrRefLong, lon);
    EXPECT_NE(s.spot().At->longitude, lon);
    // Two days of rotation carry a fixed longitude about 26 degrees west: to the left with
    // east on the right.
    EXPECT_LT(s.markers().CarrMarkerX, 10.0);
    EXPECT_TRUE(PresentChart(s).scene.Markers.CarrMarkerShown);
    // A change of geometry shows the plain spot until the next change of date.
    s.Chart().ChooseDiameter(Item("N100mm"));
    EXPECT_TRUE(s.markers().CarrMarkerShown);
    EXPECT_FALSE(s.markers().CarrRefSet);
    EXPECT_FALSE(PresentChart(s).scene.Markers.CarrMarkerShown);
    // The spot stays on while a marker is shown; switching a marker off leaves it on.
    s.ChooseOption("Sunspot1");
    EXPECT_TRUE(s.options().Sunspot);
    s.ChooseOption("RotationCarrington");
    s.ChooseOption("RotationDifferential");
    EXPECT_TRUE(s.options().Sunspot);
    s.ChooseOption("Sunspot1");
    EXPECT_FALSE(s.options().Sunspot);
}

TEST_F(SessionTest, PlainAndControlClicks) {
    // Pixel (276, 276) of the 553-pixel chart: x = (276 - 276.5 - 0.5) 150 / 442.4.
    Click(276, 276);
    EXPECT_EQ(s.BoxText(EditBox::XCoord), "-0.34");
    EXPECT_EQ(s.BoxText(EditBox::YCoord), "0.34");
    EXPECT_DOUBLE_EQ(s.spot().SpotX, -0.34);
    Click(2, 2); // off the disk: nothing
    EXPECT_EQ(s.BoxText(EditBox::XCoord), "-0.34");
    // A control-click is the logfile's: the spot stays where it was.
    Click(300, 250, false, true);
    Click(300, 250, true, true);
    EXPECT_EQ(s.BoxText(EditBox::XCoord), "-0.34");
}

TEST_F(SessionTest, ShiftClicksWithinTheDisk) {
    s.ToggleArc(false);
    Click(200, 276, true);
    EXPECT_TRUE(s.separation().SepPending);
    Click(350, 276, true);
    // Started on the disk: a separation within it, whatever was checked.
    EXPECT_TRUE(s.display().Arc1);
    EXPECT_FALSE(s.display().Arc2);
    EXPECT_GT(*s.separation().SepShown, 0);
    // The longitude arc puts both points on their mean latitude, the spot moves to the
    // middle of the figure, and the figure lies over the chart.
    EXPECT_EQ(s.separation().At1->lat, s.separation().At2->lat);
    EXPECT_GT(s.spot().SpotX, (200 - 277) * 150 / 442.4);
    EXPECT_LT(s.spot().SpotX, (350 - 277) * 150 / 442.4);
    EXPECT_NEAR(s.spot().SpotY, 0, 1.0);
    ASSERT_TRUE(PresentChart(s).separation);
    EXPECT_EQ(PresentChart(s).separation->arcColour, kColourBlue);

    // The figure stays as long as its numbers: through a change of date, a typed spot and a
    // change of the display.
    s.Observing().ChangeDate({2000, 2, 1}, false);
    EXPECT_TRUE(s.separation().SepShown);
    EXPECT_TRUE(PresentChart(s).separation);
    Type(EditBox::XCoord, "12");
    EXPECT_TRUE(PresentChart(s).separation);
    s.Chart().Flip();
    EXPECT_TRUE(PresentChart(s).separation);
    // A new first point clears the figure, and nothing brings back half of a pair.
    Click(250, 200, true);
    EXPECT_FALSE(PresentChart(s).separation);
    s.Chart().Flip();
    EXPECT_FALSE(PresentChart(s).separation);
    // Unchecking the mode clears the separation.
    s.ToggleArc(true);
    EXPECT_FALSE(s.separation().SepShown);
    EXPECT_EQ(Readouts().separation.Sep1Label, "          -");
}

TEST_F(SessionTest, ShiftClicksFromOffTheDisk) {
    Click(5, 276, true);
    Click(276, 276, true);
    EXPECT_TRUE(s.display().Arc2);
    EXPECT_FALSE(s.display().Arc1);
    // The second point lands on the limb below the first, at k D / 2 with k = 0.992.
    const SeparationState& sep = s.separation();
    EXPECT_NEAR(std::hypot(sep.SepX2, sep.SepY2), 0.992 * 75, 1e-9);
    EXPECT_NEAR(sep.SepY2 / sep.SepX2, sep.SepY1 / sep.SepX1, 1e-12);
    EXPECT_LT(sep.SepX2, 0);
    EXPECT_EQ(Readouts().separation.LL1Label, "        -");
    EXPECT_NE(Readouts().separation.LL2Label, "        -");
}

TEST_F(SessionTest, Logfile) {
    Start({2011, 6, 7});
    EXPECT_EQ(s.Records().AddToLogfile().outcome, LogOutcome::NotOpen);
    const std::filesystem::path path = dir / "ZorvaLogfile.txt";
    ASSERT_TRUE(s.Records().logbook().New(path.string()).ok);
    EXPECT_EQ(s.folders().LogfileDir, dir.path().string() + "/");
    EXPECT_EQ(s.Records().AddToLogfile().outcome, LogOutcome::Added);
    const std::string text = test::ReadFile(path);
    EXPECT_EQ(text.substr(0, LogfileHeader().size() + 1), LogfileHeader() + "\n");
    EXPECT_EQ(text.substr(LogfileHeader().size() + 1, 17), "2011  6  7 12  0 ");
    // The status line says what was logged, and that a second Ctrl-click with no new click
    // logged the same reading again (four such clicks wrote four identical lines in silence).
    EXPECT_EQ(s.Status().rfind("Logged: latitude ", 0), 0u) << s.Status();
    EXPECT_NE(s.Status().find("measured by the click at x 0.00, y 0.00 mm"), std::string::npos)
        << s.Status();
    EXPECT_EQ(s.Records().AddToLogfile().outcome, LogOutcome::Added);
    EXPECT_EQ(s.Status().rfind("Logged again the reading already last in the logfile", 0), 0u)
        << s.Status();
    s.Records().logbook().Undo();
    // No spot on the disk: nothing is logged.
    Type(EditBox::XCoord, "90");
    EXPECT_EQ(s.Records().AddToLogfile().outcome, LogOutcome::NoSpot);
    EXPECT_EQ(test::ReadFile(path), text);
    // A file that is not there is not opened: the logfile stays.
    s.Records().logbook().Open((dir / "gone" / "log.txt").string());
    EXPECT_EQ(s.TakeNotices().size(), 1u);
    EXPECT_EQ(s.Records().logbook().Path(), path.string());
    // A logfile that has gone away is a failure, never a success, and is not made again
    // without its header.
    std::filesystem::remove(path);
    Type(EditBox::XCoord, "0");
    EXPECT_EQ(s.Records().AddToLogfile().outcome, LogOutcome::Failed);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(SessionTest, ScreenSizeWaitsForTheNextDiameter) {
    const WindowFit fit = s.Chart().Fit();
    s.Chart().ChooseScreen(1); // 640 by 480
    EXPECT_EQ(s.options().WindowWidth, 640);
    s.Chart().ChooseDiameter(Item("N100mm"));
    // Side 369: needed 620 by 759; the top would be negative, the left too.
    EXPECT_NE(s.Chart().Fit(), fit);
    EXPECT_EQ(s.Chart().Fit(), (WindowFit{640, 452, 0, 0, true, true}));
}

TEST_F(SessionTest, PickerWidthCommands) {
    s.Observing().ChangePickerWidth(PickerWidthCommand::IncreaseDate);
    EXPECT_EQ(s.Observing().PickerLayout(), (DateLayout{23, 152, 206, 72, 284, 19}));
    s.ChooseOption("DateShort");
    EXPECT_EQ(s.Observing().PickerLayout(), Settings{}.ShortDateLayout);
    s.ChooseOption("DateLong");
    EXPECT_EQ(s.Observing().PickerLayout().DatePickerWidth, 152);
}

} // namespace
} // namespace zorva

namespace zorva {
namespace {

LimbFit DiskOf(double cx, double cy, double r) {
    LimbFit fit;
    fit.disk = {cx, cy, r};
    fit.found = true;
    return fit;
}

// What opening a picture makes of it: its name and a limb search's disk.
PictureContext Opened(const std::string& name, const LimbFit& fit) {
    PictureFile file;
    file.name = name;
    PictureContext context = OpenPicture(file, {}); // an empty picture: nothing found
    RefitPicture(context, fit);
    return context;
}

// The area readout belongs to the spot and disk in use: its hint gives the area before the
// label rounds it and why it is red; a size left from another disk is not carried over.
TEST_F(SessionTest, TheAreaFollowsTheStateAndExplainsItself) {
    // 10 cells at the centre of the 100 mm chart: 10 * 2e6 / (pi 100^2) = 636.6, shown as 640.
    s.Chart().ChooseDiameter(Item("N100mm"));
    Type(EditBox::Size, "10");
    EXPECT_EQ(Readouts().areaText, " 640");
    EXPECT_EQ(Readouts().areaHint,
              "Area 636.6 millionths of the hemisphere, shown to the nearest 10");
    EXPECT_FALSE(Readouts().areaRed);
    // 45 mm out on the 50 mm radius: seen from afar, asin 0.9 = 64.2 degrees from the centre,
    // past the 60 where the area is shown red.
    Type(EditBox::XCoord, "45");
    EXPECT_TRUE(Readouts().areaRed);
    EXPECT_NE(Readouts().areaHint.find("Red: the spot is 64"), std::string::npos)
        << Readouts().areaHint;
    // A picture opened: the chart's size means nothing on its disk.
    s.Picture().OpenImage("/obs/d060315.bmp", Opened("d060315.bmp", DiskOf(512, 512, 450)));
    EXPECT_EQ(s.spot().SpotSize, 0);
    EXPECT_EQ(s.BoxText(EditBox::Size), "0.0");
    EXPECT_EQ(Readouts().areaText, "    0");
    Type(EditBox::Size, "25");
    EXPECT_NE(Readouts().areaText, "    0");
    // Nor the picture's on the disk refitted, nor on the chart again.
    s.Picture().RefitLimb(DiskOf(512, 512, 300));
    EXPECT_EQ(Readouts().areaText, "    0");
    Type(EditBox::Size, "25");
    s.Picture().CloseImage();
    EXPECT_EQ(Readouts().areaText, "    0");
    EXPECT_EQ(s.BoxText(EditBox::Size), "0.0");
}

TEST_F(SessionTest, APictureTakesTheChartsPlace) {
    // A disk of 450 pixels at 75 per inch: 2 x 450 x 25.4 / 75 = 304.8 mm.
    s.Picture().OpenImage("/obs/d060315.bmp", Opened("d060315.bmp", DiskOf(512, 512, 450)));
    EXPECT_TRUE(s.Picture().Shown());
    EXPECT_FALSE(s.Chart().Shown());
    EXPECT_EQ(Present(s).caption, "Zorva Image Viewer - d060315.bmp");
    EXPECT_EQ(s.folders().ImageDir, "/obs/");
    EXPECT_DOUBLE_EQ(s.Geometry().ChartDiameter, 304.8);
    // The diameter box shows the disk in the picture's pixels, and its hint what the
    // millimetres measured on it are.
    const BoxView diameter = Present(s).boxes[static_cast<int>(EditBox::Diameter)];
    EXPECT_EQ(diameter.text, "900.0");
    EXPECT_NE(diameter.status.hint.find("chart it stands for"), std::string::npos);
    EXPECT_NE(diameter.status.hint.find("304.80 mm across"), std::string::npos);
    EXPECT_EQ(Readouts().diameterUnit, "px");
    // The chart keeps its own diameter.
    EXPECT_EQ(s.Chart().geometry().ChartDiameter, 150);
    // The name's date at 12:00 UT, with its year's table, offered until the user says it.
    EXPECT_EQ(s.Observing().observation().instant, (Instant{2006, 3, 15, 12, 0, 0}));
    EXPECT_EQ(s.Observing().observation().TableYear, 2006);
    ASSERT_TRUE(PresentPicture(s));
    EXPECT_TRUE(PresentPicture(s)->spot);
    EXPECT_TRUE(s.Picture().PictureAwaitsInstant());
    s.ImageMouseDown(true, false, false, 513, 511);
    EXPECT_EQ(s.BoxText(EditBox::XCoord), "0.0");
    EXPECT_NE(s.Status().find("until its instant is given"), std::string::npos) << s.Status();
    ASSERT_TRUE(s.Observing().SetInstant(s.Observing().observation().instant));
    EXPECT_FALSE(s.Picture().PictureAwaitsInstant());
    EXPECT_EQ(s.Picture().opened()->context.instantSource, InstantSource::Given);

    // The fitted centre is in pixel indices: its own pixel is the disk centre; the next
    // one right and up lies a pixel off, 25.4 / 75 = 0.34 mm at this scale.
    s.ImageMouseDown(true, false, false, 512, 512);
    EXPECT_EQ(s.BoxText(EditBox::XCoord), "0");
    EXPECT_EQ(s.BoxText(EditBox::YCoord), "0");
    s.ImageMouseDown(true, false, false, 513, 511);
    EXPECT_EQ(s.BoxText(EditBox::XCoord), "0.34");
    EXPECT_EQ(s.BoxText(EditBox::YCoord), "0.34");
    // A pixel off the centre of a 450-pixel radius lies asin(sqrt 2 / 450) = 0.18 degrees
    // from it on the Sun.
    EXPECT_NEAR(s.spot().At->latitude, s.Observing().observation().ephemeris.B0, 0.2);
    // Clicks on the chart's control do nothing while the picture is shown.
    s.ChartMouseDown(true, false, false, 10, 10);
    EXPECT_EQ(s.BoxText(EditBox::XCoord), "0.34");

    // A flip turns the grid over the picture: the clicked pixel is measured again.
    const double lat = s.spot().At->latitude;
    s.Chart().Flip();
    EXPECT_EQ(s.spot().SpotX, 0.34);
    EXPECT_NE(s.spot().At->latitude, lat);

    s.Picture().CloseImage();
    EXPECT_TRUE(s.Chart().Shown());
    EXPECT_EQ(s.Chart().ChartSidePixels(), 553); // the 150 mm chart as it was
    EXPECT_TRUE(s.options().Sunspot);
    EXPECT_EQ(Present(s).caption, "Zorva Viewer");
    // Nothing of the picture's measurement is left on the chart.
    EXPECT_EQ(s.BoxText(EditBox::XCoord), "0.0");
}

TEST_F(SessionTest, PicturesWithoutADisk) {
    // No disk found: the instant stays, nothing is drawn over it, and no click stands for
    // a place on the Sun.
    s.Picture().OpenImage("sun.png", Opened("sun.png", LimbFit{}));
    EXPECT_EQ(s.Observing().observation().instant, (Instant{2000, 1, 31, 12, 0, 0}));
    ASSERT_TRUE(PresentPicture(s));
    EXPECT_FALSE(PresentPicture(s)->disk);
    EXPECT_NE(s.Status().find("time: none in the file, not yet given"), std::string::npos)
        << s.Status();
    s.ImageMouseDown(true, false, false, 5, 5);
    EXPECT_EQ(s.BoxText(EditBox::XCoord), "0.0");
    EXPECT_NE(s.Status().find("no disk"), std::string::npos) << s.Status();
}

TEST_F(SessionTest, ADiskByHandStaysUntilThePictureCloses) {
    s.Picture().OpenImage("sun.png", Opened("sun.png", LimbFit{}));
    s.Picture().StartHandDisk();
    // A drag from (200, 150) to (230, 190): a radius of 50 (a 30-40-50 triangle).
    s.Picture().HandDiskPress(200, 150, 2);
    s.Picture().HandDiskDrag(230, 190);
    s.ImageMouseDown(true, false, false, 200, 150); // the hand disk's, not a measurement
    EXPECT_EQ(s.BoxText(EditBox::XCoord), "0.0");
    s.Picture().HandDiskRelease(230, 190);
    ASSERT_TRUE(PresentPicture(s)->hand);
    EXPECT_EQ(PresentPicture(s)->hand->circle, (Circle{200, 150, 50}));
    EXPECT_FALSE(s.Picture().HasDisk()); // not before it is taken
    s.Picture().HandDiskNudge(1, -1, 2);
    s.Picture().AcceptHandDisk();
    ASSERT_TRUE(s.Picture().HasDisk());
    EXPECT_EQ(*s.Picture().opened()->context.disk, (Circle{201, 149, 52}));
    EXPECT_EQ(s.Picture().opened()->context.diskSource, DiskSource::Hand);
    EXPECT_FALSE(PresentPicture(s)->hand);
    EXPECT_EQ(s.Status().rfind("Disk: given by hand", 0), 0u) << s.Status();
    // A limb search, found or refused, leaves the hand's disk.
    s.Picture().RefitLimb(DiskOf(256, 256, 100));
    EXPECT_EQ(*s.Picture().opened()->context.disk, (Circle{201, 149, 52}));
    LimbFit refused;
    refused.reason = "only 23 of 356 rays agree";
    s.Picture().RefitLimb(refused);
    EXPECT_EQ(*s.Picture().opened()->context.disk, (Circle{201, 149, 52}));
    EXPECT_NE(s.Status().find("only 23 of 356 rays agree; the disk stays"), std::string::npos)
        << s.Status();
    // A circle too small is not taken, and the draft stays open; Esc drops it.
    s.Picture().StartHandDisk();
    s.Picture().HandDiskPress(10, 10, 2);
    s.Picture().HandDiskRelease(10.5, 10); // a click: one limb point, no circle
    s.Picture().AcceptHandDisk();
    EXPECT_TRUE(s.Picture().HandDisk());
    s.Picture().CancelHandDisk();
    EXPECT_FALSE(s.Picture().HandDisk());
    EXPECT_EQ(*s.Picture().opened()->context.disk, (Circle{201, 149, 52}));
    s.Picture().CloseImage();
    s.Picture().OpenImage("sun.png", Opened("sun.png", LimbFit{}));
    EXPECT_FALSE(s.Picture().HasDisk());
}

} // namespace
} // namespace zorva

namespace zorva {
namespace {

TEST_F(SessionTest, ARegionSummaryIsPlottedAndFollowsTheDate) {
    ZORVA_TEST_DATA(data);
    // NOAA's summaries in a folder per year, named in capitals as NOAA names them.
    const auto year = dir / "SRS" / "2011";
    std::filesystem::create_directories(year);
    std::filesystem::copy_file(data / "srs" / "20110607SRS.txt", year / "20110607SRS.txt");
    Start({2011, 6, 7});

    s.Summaries().PrepareLoadSummary();
    EXPECT_TRUE(s.Summaries().summary().LoadSRS1);
    s.Summaries().LoadSummary((year / "20110607SRS.txt").string());
    EXPECT_TRUE(s.TakeNotices().empty());
    EXPECT_TRUE(s.display().SolarRegionSummary);
    EXPECT_EQ(s.folders().SRSDir, year.string() + "/");
    const std::optional<RegionsOverlay> plotted = PresentChart(s).regions;
    ASSERT_TRUE(plotted);
    EXPECT_EQ(plotted->regions->size(), 5u);
    EXPECT_EQ(plotted->places.size(), 5u);

    // Hidden, the list stays; shown again, it is plotted without reading the file.
    s.Summaries().ToggleRegionSummary();
    EXPECT_FALSE(PresentChart(s).regions);
    EXPECT_FALSE(s.Summaries().summary().LoadSRS1);
    const auto regions = s.Summaries().summary().Regions;
    s.Summaries().ToggleRegionSummary();
    EXPECT_EQ(s.Summaries().summary().Regions, regions);
    EXPECT_TRUE(PresentChart(s).regions);
    // Typing, clicking and stepping leave them plotted.
    Type(EditBox::XCoord, "10");
    Click(300, 250);
    s.Observing().StepInstantBy(StepUnit::Hour, 1);
    EXPECT_TRUE(PresentChart(s).regions);
    s.Summaries().HighlightRegion(2);
    EXPECT_EQ(PresentChart(s).regions->highlight, std::optional<std::size_t>(2));

    // Linked with the date: a day without a summary is said on the status line, naming the
    // file and the folder, once for each name and never in a box; the region table says
    // there is none rather than give a Wolf number of 0.
    s.Summaries().LinkWithDate();
    EXPECT_TRUE(s.display().LinkWithDate);
    EXPECT_EQ(s.Summaries().summary().Regions->size(), 5u);
    s.TakeNotices();
    const uint64_t before = s.StatusCount();
    s.Observing().ChangeDate({2011, 6, 8}, false);
    EXPECT_TRUE(s.TakeNotices().empty());
    EXPECT_EQ(s.StatusCount(), before + 1);
    EXPECT_NE(s.Status().find("20110608srs.txt is not in " + year.string() + "/"),
              std::string::npos)
        << s.Status();
    EXPECT_EQ(Present(s).regionsNote.rfind("No summary for this date", 0), 0u);
    EXPECT_TRUE(s.Summaries().summary().Regions->empty());
    s.Observing().ChangeTime({13, 0, 0}, false);
    EXPECT_EQ(s.StatusCount(), before + 1);
    s.Observing().ChangeDate({2011, 6, 9}, false);
    EXPECT_EQ(s.StatusCount(), before + 2);
    EXPECT_TRUE(s.TakeNotices().empty());
    // Back on a date with a summary, its regions return.
    s.Observing().ChangeDate({2011, 6, 7}, false);
    EXPECT_TRUE(s.TakeNotices().empty());
    EXPECT_EQ(s.Summaries().summary().Regions->size(), 5u);
    EXPECT_EQ(Present(s).regionsNote, "");
}

// Link with Date on a date without a summary keeps the one loaded by hand and says none was
// found; it unloaded it.
TEST_F(SessionTest, LinkWithDateKeepsALoadedSummaryWhenTheDateHasNone) {
    ZORVA_TEST_DATA(data);
    Start({2011, 6, 8});
    s.Summaries().PrepareLoadSummary();
    s.Summaries().LoadSummary((data / "srs" / "20110607SRS.txt").string());
    s.TakeNotices();
    s.Summaries().LinkWithDate();
    const auto notices = s.TakeNotices();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices.front().text.find("20110608srs.txt"), std::string::npos)
        << notices.front().text;
    EXPECT_NE(notices.front().text.find("the summary loaded stays"), std::string::npos);
    EXPECT_EQ(s.Summaries().summary().Regions->size(), 5u);
    EXPECT_TRUE(s.display().SolarRegionSummary);
    EXPECT_TRUE(PresentChart(s).regions);
}

TEST_F(SessionTest, RegionsGoOnTheSolarImageWhenItIsShown) {
    ZORVA_TEST_DATA(data);
    Start({2011, 6, 7});
    s.Summaries().LoadSummary((data / "srs" / "20110607SRS.txt").string());
    s.Picture().OpenImage("sun.png", Opened("sun.png", DiskOf(300, 300, 250)));
    ASSERT_TRUE(PresentPicture(s));
    const std::optional<RegionsOverlay> plotted = PresentPicture(s)->regions;
    ASSERT_TRUE(plotted);
    EXPECT_EQ(plotted->frame.pixelMiddle, 0); // a picture's pixels, not the chart's
    EXPECT_EQ(plotted->frame.rx, 250);
    EXPECT_FALSE(PresentChart(s).regions); // the chart is not shown
    // A file without a table changes nothing but the message.
    test::WriteFile(dir / "20110608SRS.txt", "no summary here\n");
    s.TakeNotices();
    s.Summaries().LoadSummary((dir / "20110608SRS.txt").string());
    EXPECT_EQ(s.TakeNotices().size(), 1u);
    EXPECT_EQ(s.Summaries().summary().FileName, "20110607SRS.txt");
}

} // namespace
} // namespace zorva

namespace zorva {
namespace {

TEST_F(SessionTest, AHeaderSetsThePicturesTurnUntilTheUserChoosesAnother) {
    PictureContext header = Opened("hmi.fits", DiskOf(50, 50, 40));
    header.headerDisk = Circle{49.5, 49.5, 46.9};
    header.disk = header.headerDisk;
    header.diskSource = DiskSource::Header;
    header.orientation = DiskOrientation{180, 1, 1}; // solar north down
    header.orientationSource = OrientationSource::Header;
    header.instant = Instant{2014, 3, 1, 0, 0, 28};
    header.instantSource = InstantSource::Header;
    s.Chart().Flip(); // the user's own flip of the chart
    s.Picture().OpenImage("hmi.fits", header);
    EXPECT_EQ(s.Geometry().Mode, Orientation::FromHeader);
    EXPECT_EQ(s.ChartRotationNow(), 180);
    EXPECT_EQ(s.CurrentFrame().cx, 49.5); // the header's disk, not the search's
    EXPECT_NE(s.Status().find("FITS header"), std::string::npos) << s.Status();
    EXPECT_EQ(s.Observing().observation().instant, (Instant{2014, 3, 1, 0, 0, 28}));
    // Solar north at the bottom: a click above the centre lies in the south.
    s.ImageMouseDown(true, false, false, 49, 20);
    EXPECT_LT(s.spot().At->latitude, -10);
    // The chart's orientation is untouched, and it is what is stored.
    EXPECT_EQ(s.Chart().geometry().Mode, Orientation::Equatorial);
    EXPECT_EQ(s.CurrentSettings().OrientationMode, Orientation::Equatorial);
    EXPECT_EQ(s.CurrentSettings().FlipSign, -1);
    // A choice from the menu ends the header's turn and is kept for pictures, apart from
    // the chart's: solar north up, and east to the left as a camera sees it.
    s.Chart().ChooseOrientation(Orientation::RotationAxis);
    EXPECT_EQ(s.Geometry().Mode, Orientation::RotationAxis);
    EXPECT_EQ(s.Geometry().FlipSign, 1);
    EXPECT_EQ(s.Geometry().MirrorSign, -1);
    EXPECT_EQ(s.options().PictureOrientation, Orientation::RotationAxis);
    EXPECT_EQ(s.Chart().geometry().Mode, Orientation::Equatorial);
    // Closing a picture brings the chart back as the user set it.
    s.Picture().OpenImage("hmi.fits", header);
    EXPECT_EQ(s.Geometry().Mode, Orientation::FromHeader);
    s.Picture().CloseImage();
    EXPECT_EQ(s.Geometry().Mode, Orientation::Equatorial);
    EXPECT_EQ(s.Geometry().FlipSign, -1);
    // The status line no longer tells the picture's sources.
    EXPECT_EQ(s.Status().find("Disk:"), std::string::npos) << s.Status();
}

} // namespace
} // namespace zorva
