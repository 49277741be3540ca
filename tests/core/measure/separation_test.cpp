#include "core/measure/separation.h"

#include <cmath>
#include <gtest/gtest.h>

#include "core/common/angles.h"

namespace zorva {
namespace {

using namespace degrees;

Ephemeris EquatorOnEphemeris(double L0 = 100) {
    Ephemeris e;
    e.B0 = 0;
    e.L0 = L0;
    e.P = 12;
    e.DiamMinutes = 32;
    e.DiamSeconds = 0;
    e.Rotation = 2290;
    e.ParallacticAngle = -40;
    return e;
}

// The radial fraction whose heliocentric angle is rho, by bisection to full precision.
double ExactRadius(double rho, double D) {
    double lo = 0, hi = 1;
    for (int i = 0; i < 80; ++i) {
        const double mid = 0.5 * (lo + hi);
        (Asin(mid) - mid * D / 2 < rho ? lo : hi) = mid;
    }
    return 0.5 * (lo + hi);
}

// Where a heliographic point lies on the chart, millimetres as displayed.
DiskClick PlaceOnDisk(double lat, double lon, const ChartGeometry& g, const Ephemeris& e) {
    const double dL = e.L0 - lon;
    const double rho = Acos(Sin(lat) * Sin(e.B0) + Cos(lat) * Cos(e.B0) * Cos(dL));
    const double pa =
        Atan2(Cos(lat) * Sin(dL), Sin(lat) * Cos(e.B0) - Cos(lat) * Sin(e.B0) * Cos(dL));
    const double q = ChartRotation(g.Mode, e.P, e.ParallacticAngle);
    const double r = ExactRadius(rho, ApparentDiameter(e)) * g.ChartDiameter / 2;
    DiskClick c;
    c.x = r * Sin(pa + q) * g.MirrorSign;
    c.y = r * Cos(pa + q) * g.FlipSign;
    c.d = 2 * std::hypot(c.x, c.y);
    return c;
}

DiskClick At(double x, double y) {
    return {x, y, 2 * std::hypot(x, y)};
}

SeparationState Measured(double lat1, double lon1, double lat2, double lon2, const ChartGeometry& g,
                         const Ephemeris& e) {
    SeparationState s;
    const DiskClick a = PlaceOnDisk(lat1, lon1, g, e);
    const DiskClick b = PlaceOnDisk(lat2, lon2, g, e);
    s.SepPoint1Inside = s.SepPoint2Inside = true;
    s.SepX1 = a.x;
    s.SepY1 = a.y;
    s.SepX2 = b.x;
    s.SepY2 = b.y;
    ComputeSeparation(s, FrameAt(g, e), e);
    return s;
}

TEST(ComputeSeparation, PointsPlacedOnTheChartComeBack) {
    const Ephemeris e = EquatorOnEphemeris();
    ChartGeometry g;
    g.FlipSign = -1;
    g.Mode = Orientation::AltAzimuth;
    const SeparationState s = Measured(-20, 80, 35, 121, g, e);
    EXPECT_NEAR(s.At1->lat, -20, 1e-9);
    EXPECT_NEAR(s.At1->lon, 80, 1e-9);
    EXPECT_NEAR(s.At2->lat, 35, 1e-9);
    EXPECT_NEAR(s.At2->lon, 121, 1e-9);
    EXPECT_NEAR(*s.SepDegrees, GreatCircleDegrees(-20, 80, 35, 121), 1e-9);
}

TEST(SeparationResults, TenDegreesAlongTheEquator) {
    const Ephemeris e = EquatorOnEphemeris();
    ChartGeometry g;
    SeparationState s = Measured(0, 95, 0, 105, g, e);
    EXPECT_NEAR(*s.SepDegrees, 10, 1e-9);
    SeparationState great = s;
    GreatCircleResults(great);
    EXPECT_NEAR(*great.SepKm, 121521.2, 0.05); // 1392530 km / 2 x 10 deg in radians
    SeparationLabels l = ShowSeparationTexts(great);
    EXPECT_EQ(l.Sep1Label, "  10.0\u00B0");
    EXPECT_EQ(l.Sep2Label, "  121521 km");
    EXPECT_EQ(l.LL1Label, "   0\u00B0 / 95\u00B0");
    EXPECT_EQ(l.LL2Label, "  0\u00B0 / 105\u00B0");

    // Along the equator the circle of latitude is the great circle.
    LongitudeArcResults(s, e);
    l = ShowSeparationTexts(s);
    EXPECT_EQ(l.Sep1Label, "  10.0\u00B0");
    EXPECT_EQ(l.Sep2Label, "  121521 km");
    // The longitude arc's values say what they are; the great circle's keep their words.
    EXPECT_EQ(l.SepCaption, "\u0394long, along parallel");
    EXPECT_EQ(l.LL1Caption, "Mean lat / Long1");
    EXPECT_EQ(l.Sep2Hint, "Distance along the parallel at the mean latitude of the two points");
    EXPECT_EQ(LongitudeArcStatus(s), "Longitude arc: \u0394long 10.0\u00B0, 121521 km along the "
                                     "parallel at mean latitude 0.0\u00B0; both points are "
                                     "shown at the mean latitude");
    EXPECT_EQ(ShowSeparationTexts(great).SepCaption, "Separation");
    EXPECT_EQ(ShowSeparationTexts(great).LL1Caption, "Lat / Long1");
    EXPECT_EQ(LongitudeArcStatus(great), "");
}

TEST(SeparationResults, LongitudeArcAtLatitude60) {
    const Ephemeris e = EquatorOnEphemeris();
    SeparationState s = Measured(60, 95, 60, 105, ChartGeometry{}, e);
    LongitudeArcResults(s, e);
    EXPECT_NEAR(*s.SepShown, 10, 1e-9);
    EXPECT_NEAR(*s.SepKm, 60760.6, 0.05); // cos 60 x 121521.2 km
    EXPECT_EQ(ShowSeparationTexts(s).Sep2Label, "    60761 km");

    // Different latitudes: both points take their mean.
    SeparationState t = Measured(10, 95, 30, 110, ChartGeometry{}, e);
    LongitudeArcResults(t, e);
    EXPECT_NEAR(t.At1->lat, 20, 1e-9);
    EXPECT_EQ(t.At1->lat, t.At2->lat);
    EXPECT_NEAR(*t.SepKm, Cos(20) * SunRadiusKm * 15 * kPi / 180, 1e-6);
}

TEST(SeparationResults, LongitudeArcAcrossTheSeam) {
    const Ephemeris e = EquatorOnEphemeris(0.5);
    for (const auto& [lon1, lon2] : {std::pair{359.0, 1.0}, {1.0, 359.0}}) {
        SeparationState s = Measured(10, lon1, 10, lon2, ChartGeometry{}, e);
        LongitudeArcResults(s, e);
        EXPECT_NEAR(*s.SepShown, 2, 1e-9) << lon1;
        EXPECT_EQ(ShowSeparationTexts(s).Sep1Label, "    2.0\u00B0") << lon1;
        const std::vector<LatLong> pts = LongitudeArcPoints(s, e);
        ASSERT_EQ(pts.size(), 4u) << lon1;
        EXPECT_NEAR(pts[0].lon, 359, 1e-9);
        EXPECT_NEAR(pts[1].lon, 360, 1e-9);
        EXPECT_NEAR(pts[2].lon, 361, 1e-9);
        EXPECT_NEAR(pts[3].lon, 361, 1e-9);
        EXPECT_NEAR(LongitudeArcMiddle(s, e).lon, 360, 1e-9);
    }
}

TEST(SeparationResults, RotationOfALongitude) {
    const struct {
        double lon, L0;
        int32_t rotation;
    } cases[] = {
        {10, 350, 2289},  {350, 10, 2291},   {100, 200, 2290}, {280, 100, 2290},
        {100, 280, 2290}, {99.9, 280, 2289}, {300, 250, 2290},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RotationAtLongitude(c.lon, c.L0, 2290), c.rotation) << c.lon << " " << c.L0;
    EXPECT_EQ(LongitudeArcRange(200, 150, 180, 2290), (LongitudeRange{150, 200}));
}

TEST(SeparationResults, OutsideTheDiskOnTheSky) {
    const Ephemeris e = EquatorOnEphemeris(); // 32 arc minutes
    SeparationState s;
    s.SepX1 = -90;
    s.SepY1 = 0;
    s.SepX2 = -75;
    s.SepY2 = 0;
    s.SepPoint2Inside = true;
    s.At2.emplace();
    s.At2->lat = 1.5;
    s.At2->lon = 10.4;
    OutsideDiskResults(s, FrameAt(ChartGeometry{}, e), e);
    EXPECT_NEAR(*s.SepShown, 15 * (32.0 / 60) / 150, 1e-12);
    EXPECT_NEAR(*s.SepKm, 139253, 1e-6); // 15 mm of a 150 mm disk: 0.1 x 1392530 km
    const SeparationLabels l = ShowSeparationTexts(s);
    EXPECT_EQ(l.Sep1Label, "    3.2'");
    EXPECT_EQ(l.Sep2Label, "  139253 km");
    EXPECT_EQ(l.LL1Label, "        -");
    EXPECT_EQ(l.LL2Label, "   2\u00B0 / 10\u00B0");
}

// Texts by the labels' rules: whole degrees padded by size, tenths, km.
TEST(ShowSeparationTexts, PrefixesAndDashes) {
    SeparationState s;
    SeparationLabels l = ShowSeparationTexts(s);
    EXPECT_EQ(l, (SeparationLabels{"          -", "             -", "        -", "        -"}));

    s.SepPoint1Inside = true;
    const struct {
        double lat, lon;
        const char* text;
    } cases[] = {
        {5, 7, "    5\u00B0 / 7\u00B0"},        {-15, 235, "-15\u00B0 / 235\u00B0"},
        {-12.5, 40, " -12\u00B0 / 40\u00B0"},   {12.5, 40, "  13\u00B0 / 40\u00B0"},
        {5, 35, "   5\u00B0 / 35\u00B0"},       {15, 235, " 15\u00B0 / 235\u00B0"},
        {-5.4, 359.6, " -5\u00B0 / 360\u00B0"}, {-0.4, 0.4, "    0\u00B0 / 0\u00B0"},
    };
    for (const auto& c : cases) {
        s.At1.emplace();
        s.At2.emplace();
        s.At1->lat = s.At2->lat = c.lat;
        s.At1->lon = s.At2->lon = c.lon;
        l = ShowSeparationTexts(s);
        EXPECT_EQ(l.LL1Label, c.text) << c.lat << " " << c.lon;
        EXPECT_EQ(l.LL2Label, c.text) << c.lat << " " << c.lon;
    }

    const struct {
        double shown, km;
        const char* sep1;
        const char* sep2;
    } sizes[] = {
        {0, 0, "    0.0\u00B0", "        0 km"},
        {9.94, 999.4, "    9.9\u00B0", "        999 km"},
        {9.96, 999.5, "  10.0\u00B0", "      1000 km"},
        {99.96, 99999.5, "100.0\u00B0", "  100000 km"},
        {123.45, 1234567.8, "123.5\u00B0", "1234568 km"},
    };
    for (const auto& c : sizes) {
        s.SepShown = c.shown;
        s.SepKm = c.km;
        l = ShowSeparationTexts(s);
        EXPECT_EQ(l.Sep1Label, c.sep1) << c.shown;
        EXPECT_EQ(l.Sep2Label, c.sep2) << c.km;
    }
}

TEST(ComputeSeparation, SamePointTwiceIsZeroNotNaN) {
    // Two clicks on one point: sin^2 + cos^2 can round just above 1, where the arc
    // cosine has no value.
    const Ephemeris e = EquatorOnEphemeris();
    Ephemeris tilted = e;
    tilted.B0 = 6.3;
    int aboveOne = 0;
    for (int i = -70; i <= 70; ++i) {
        const double x = i * 0.9;
        const double y = i * 0.5 - 3;
        SeparationState s;
        s.SepPoint1Inside = true;
        s.SepX1 = s.SepX2 = x;
        s.SepY1 = s.SepY2 = y;
        ComputeSeparation(s, FrameAt(ChartGeometry{}, tilted), tilted);
        const double raw = Sin(s.At1->lat) * Sin(s.At1->lat) + Cos(s.At1->lat) * Cos(s.At1->lat);
        if (raw > 1) ++aboveOne;
        ASSERT_FALSE(s.SepDegrees && std::isnan(*s.SepDegrees)) << x << "," << y;
        EXPECT_EQ(s.SepDegrees, 0);
        SeparationState great = s;
        GreatCircleResults(great);
        EXPECT_EQ(great.SepKm, 0);
        EXPECT_EQ(ShowSeparationTexts(great).Sep1Label, "    0.0\u00B0");
        for (const LatLong& p : GreatCirclePoints(great)) {
            EXPECT_FALSE(std::isnan(p.lat) || std::isnan(p.lon));
        }
        LongitudeArcResults(s, tilted);
        EXPECT_EQ(s.SepShown, 0);
    }
    EXPECT_GT(aboveOne, 0); // the case that used to give NaN was met
}

TEST(CourseAngle, EquatorCourseIsEastOrWestNotNaN) {
    // On the equator the sine of the course is sin(dL) / sin(separation), which rounds
    // past 1 for some separations. Near 90 degrees the arc sine turns an ulp of its
    // argument into some 1e-5 degrees, hence the tolerance.
    int aboveOne = 0;
    for (int d = 1; d < 180; ++d) {
        const double sep = GreatCircleDegrees(0, 50, 0, 50 + d);
        if (Sin(d) / Sin(sep) > 1) ++aboveOne;
        EXPECT_NEAR(CourseAngle(0, 50, 0, 50 + d, sep), 90, 1e-4) << d;
        EXPECT_NEAR(CourseAngle(0, 50 + d, 0, 50, sep), 270, 1e-4) << d;
        const LatLong end = PointAlongCourse(0, 50, CourseAngle(0, 50, 0, 50 + d, sep), sep);
        EXPECT_NEAR(end.lat, 0, 1e-4) << d;
        EXPECT_NEAR(end.lon, 50 + d, 1e-4) << d;
    }
    EXPECT_GT(aboveOne, 0);
    EXPECT_EQ(CourseAngle(10, 20, 10, 20, 0), 0);
}

TEST(GreatCirclePoints, WholeDegreesEndingOnPoint2) {
    const struct {
        double lat1, lon1, lat2, lon2;
    } cases[] = {{-20, 80, 35, 121}, {10, 355, 14, 8}, {40, 200, -30, 170}, {5, 5, 5.2, 5.3}};
    for (const auto& c : cases) {
        SeparationState s;
        s.At1.emplace();
        s.At1->lat = c.lat1;
        s.At1->lon = c.lon1;
        s.At2.emplace();
        s.At2->lat = c.lat2;
        s.At2->lon = c.lon2;
        s.SepDegrees = GreatCircleDegrees(c.lat1, c.lon1, c.lat2, c.lon2);
        const std::vector<LatLong> pts = GreatCirclePoints(s);
        ASSERT_EQ(pts.size(), static_cast<std::size_t>(std::floor(*s.SepDegrees)) + 1);
        if (pts.size() > 1) {
            EXPECT_NEAR(pts.front().lat, c.lat1, 1e-9);
            EXPECT_NEAR(pts.front().lon, c.lon1, 1e-9);
        }
        EXPECT_NEAR(pts.back().lat, c.lat2, 1e-9);
        EXPECT_NEAR(std::remainder(pts.back().lon - c.lon2, 360), 0, 1e-9);
        for (std::size_t i = 0; i < pts.size(); ++i) {
            EXPECT_GE(pts[i].lon, 0);
            EXPECT_LE(pts[i].lon, 360);
            if (i + 1 < pts.size() - 1) {
                EXPECT_NEAR(
                    GreatCircleDegrees(pts[i].lat, pts[i].lon, pts[i + 1].lat, pts[i + 1].lon), 1,
                    1e-9);
            }
        }
        const LatLong m = GreatCircleMiddle(s);
        EXPECT_NEAR(GreatCircleDegrees(c.lat1, c.lon1, m.lat, m.lon), *s.SepDegrees / 2, 1e-9);
        EXPECT_NEAR(GreatCircleDegrees(c.lat2, c.lon2, m.lat, m.lon), *s.SepDegrees / 2, 1e-9);
    }
}

TEST(ProjectFigurePoints, PointBeyondTheLimbRepeatsThePreviousPosition) {
    const Ephemeris e = EquatorOnEphemeris(100);
    DiskPosition first, last;
    const double D = ApparentDiameter(e);
    ProjectPoint(0, 0, D, 0, first);
    ProjectPoint(0, -30, D, 0, last);
    // Longitude 220 is 120 degrees round the back.
    const std::vector<DiskPosition> out = ProjectFigurePoints({{0, 100}, {0, 220}, {0, 130}}, e);
    EXPECT_EQ(out, (std::vector<DiskPosition>{first, {FarSide, first.r, first.pa}, last}));
    // Nothing visible before it: the far-side point has nothing to repeat.
    EXPECT_EQ(ProjectFigurePoints({{0, 220}, {0, 100}}, e), std::vector<DiskPosition>{first});
}

TEST(SeparationFigureOf, LineArcOrNothing) {
    const Ephemeris e = EquatorOnEphemeris();
    SeparationState s = Measured(-20, 80, 35, 121, ChartGeometry{}, e);
    SeparationFigure f = SeparationFigureOf(s, FigureForm::GreatCircle, e);
    EXPECT_FALSE(f.OutsideLine);
    EXPECT_EQ(f.Arc, ProjectFigurePoints(GreatCirclePoints(s), e));
    ASSERT_TRUE(f.Middle);
    DiskPosition m;
    const LatLong mid = GreatCircleMiddle(s);
    ProjectPoint(mid.lat, e.L0 - mid.lon, ApparentDiameter(e), e.B0, m);
    EXPECT_EQ(*f.Middle, m);

    f = SeparationFigureOf(s, FigureForm::LongitudeArc, e);
    EXPECT_EQ(f.Arc, ProjectFigurePoints(LongitudeArcPoints(s, e), e));

    s.SpotInMiddle = false;
    EXPECT_FALSE(SeparationFigureOf(s, FigureForm::GreatCircle, e).Middle);

    s.SepDegrees.reset();
    f = SeparationFigureOf(s, FigureForm::GreatCircle, e);
    EXPECT_TRUE(f.Arc.empty());
    EXPECT_FALSE(f.Middle);
    EXPECT_FALSE(f.OutsideLine);

    s.SepPoint1Inside = false;
    f = SeparationFigureOf(s, FigureForm::LongitudeArc, e);
    EXPECT_TRUE(f.OutsideLine);
    EXPECT_EQ(f.LineFrom, (DiskPoint{s.SepX1, s.SepY1}));
    EXPECT_EQ(f.LineTo, (DiskPoint{s.SepX2, s.SepY2}));
    EXPECT_TRUE(f.Arc.empty());
}

TEST(ShiftClickSeparation, TwoPointsOnTheDisk) {
    const Ephemeris e = EquatorOnEphemeris();
    const ChartGeometry g;
    SeparationState start;
    start.SepShown = 44; // an earlier measurement
    const ShiftClickOutcome first = ShiftClickSeparation(
        start, PlaceOnDisk(10, 95, g, e), FigureForm::LongitudeArc, FrameAt(g, e), e);
    EXPECT_TRUE(first.FirstPoint);
    EXPECT_TRUE(first.State.SepPending);
    EXPECT_TRUE(first.State.SepPoint1Inside);
    EXPECT_FALSE(first.Check);
    EXPECT_FALSE(first.Draw);
    EXPECT_EQ(first.State.SepShown, 44);

    const ShiftClickOutcome second = ShiftClickSeparation(
        first.State, PlaceOnDisk(30, 110, g, e), FigureForm::LongitudeArc, FrameAt(g, e), e);
    EXPECT_FALSE(second.FirstPoint);
    EXPECT_FALSE(second.State.SepPending);
    EXPECT_EQ(second.Check, ArcItem::Arc1);
    EXPECT_EQ(second.Draw, FigureForm::LongitudeArc);
    EXPECT_NEAR(second.State.At1->lat, 20, 1e-9);
    EXPECT_NEAR(*second.State.SepShown, 15, 1e-9);

    const ShiftClickOutcome great = ShiftClickSeparation(first.State, PlaceOnDisk(30, 110, g, e),
                                                         FigureForm::GreatCircle, FrameAt(g, e), e);
    EXPECT_EQ(great.Draw, FigureForm::GreatCircle);
    EXPECT_NEAR(*great.State.SepShown, GreatCircleDegrees(10, 95, 30, 110), 1e-9);
}

TEST(ShiftClickSeparation, FromTheDiskToOffIt) {
    const Ephemeris e = EquatorOnEphemeris();
    const ChartGeometry g;
    SeparationState s;
    s = ShiftClickSeparation(s, At(10, 20), FigureForm::GreatCircle, FrameAt(g, e), e).State;
    const ShiftClickOutcome out =
        ShiftClickSeparation(s, At(30, 95), FigureForm::GreatCircle, FrameAt(g, e), e);
    EXPECT_EQ(out.Check, ArcItem::Arc1);
    EXPECT_FALSE(out.State.SepPoint2Inside);
    const DiskPoint limb = LimbCrossing(10, 20, 30, 95, 150);
    EXPECT_EQ(out.State.SepX2, limb.x);
    EXPECT_EQ(out.State.SepY2, limb.y);
    EXPECT_TRUE(out.State.At2);
    EXPECT_TRUE(out.State.SepDegrees);
}

TEST(ShiftClickSeparation, FromOffTheDisk) {
    const Ephemeris e = EquatorOnEphemeris();
    const ChartGeometry g;
    const double q = ChartRotation(g.Mode, e.P, e.ParallacticAngle);
    // An earlier measurement within the disk left its points' places behind.
    SeparationState before = Measured(10, 95, 30, 110, g, e);
    before.SepPoint1Inside = true;
    GreatCircleResults(before);

    // Second point on the disk: it moves to the limb below the first.
    SeparationState s =
        ShiftClickSeparation(before, At(0, 90), FigureForm::LongitudeArc, FrameAt(g, e), e).State;
    EXPECT_FALSE(s.SepPoint1Inside);
    ShiftClickOutcome out =
        ShiftClickSeparation(s, At(5, 5), FigureForm::LongitudeArc, FrameAt(g, e), e);
    EXPECT_EQ(out.Check, ArcItem::Arc2);
    EXPECT_EQ(out.Draw, FigureForm::GreatCircle);
    EXPECT_TRUE(out.State.SepPoint2Inside);
    EXPECT_NEAR(out.State.SepX2, 0, 1e-12);
    EXPECT_NEAR(out.State.SepY2, 74.4, 1e-12); // 0.992 x 75 mm, the 150 mm chart's inset
    EXPECT_EQ(out.State.At2->lat, OutsideLimbPoint(0, 90, FrameOf(g, q), e).location.lat);
    EXPECT_FALSE(out.State.At1);
    EXPECT_NEAR(*out.State.SepShown, 15.6 * (32.0 / 60) / 150, 1e-12); // 90 - 74.4 mm
    SeparationLabels l = ShowSeparationTexts(out.State);
    EXPECT_EQ(l.LL1Label, "        -");
    EXPECT_NE(l.LL2Label, "        -");

    // Both points off the disk: nothing of the earlier points survives.
    s = ShiftClickSeparation(before, At(-80, 30), FigureForm::GreatCircle, FrameAt(g, e), e).State;
    out = ShiftClickSeparation(s, At(-90, 10), FigureForm::GreatCircle, FrameAt(g, e), e);
    EXPECT_EQ(out.Check, ArcItem::Arc2);
    EXPECT_EQ(out.State.SepX2, -90);
    EXPECT_EQ(out.State.SepY2, 10);
    EXPECT_FALSE(out.State.At1);
    EXPECT_FALSE(out.State.At2);
    l = ShowSeparationTexts(out.State);
    EXPECT_EQ(l.LL2Label, "        -");
    EXPECT_NE(l.Sep1Label, "          -");
}

TEST(ShiftClickSeparation, LimbClickCountsAsOnTheDisk) {
    const Ephemeris e = EquatorOnEphemeris();
    const ChartGeometry g;
    const ShiftClickOutcome out = ShiftClickSeparation(SeparationState{}, At(0, -75),
                                                       FigureForm::GreatCircle, FrameAt(g, e), e);
    EXPECT_TRUE(out.State.SepPoint1Inside);
    const ShiftClickOutcome second =
        ShiftClickSeparation(out.State, At(75, 0), FigureForm::GreatCircle, FrameAt(g, e), e);
    EXPECT_TRUE(second.State.SepPoint2Inside);
    EXPECT_EQ(second.Check, ArcItem::Arc1);
    EXPECT_TRUE(second.State.SepDegrees);
}

TEST(ResetSeparation, ForgetsTheResultsButKeepsThePoints) {
    SeparationState s;
    s.SepPending = true;
    s.SepX1 = 4;
    s.SepShown = s.SepKm = 12;
    s.At1 = s.At2 = LatLong{12, 0};
    ResetSeparation(s);
    EXPECT_FALSE(s.SepPending);
    EXPECT_FALSE(s.SepShown);
    EXPECT_FALSE(s.SepKm);
    EXPECT_FALSE(s.At1);
    EXPECT_FALSE(s.At2);
    EXPECT_EQ(s.SepX1, 4);
}

} // namespace
} // namespace zorva
