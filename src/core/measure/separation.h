#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/chart/chart_geometry.h"
#include "core/chart/projection.h"
#include "core/common/no_value.h"
#include "core/ephemeris/daily_table.h"
#include "core/measure/figure_form.h"
#include "core/measure/pointer.h"

namespace zorva {

// The Sun's diameter and radius in kilometres.
inline constexpr double SolarDiameterKm = 1392530;
inline constexpr double SunRadiusKm = SolarDiameterKm * 0.5;

// The two points of a separation and its results, as the window holds them between
// clicks and redraws. Points are disk millimetres as displayed; angles are degrees.
struct SeparationState {
    bool SepPending = false;      // a first point is taken; the next shift-click ends the pair
    bool SepPoint1Inside = false; // the first point lies on the disk
    bool SepPoint2Inside = false; // the second point, as clicked, lies on the disk
    double SepX1 = 0;
    double SepY1 = 0;
    double SepX2 = 0; // after any move to the limb
    double SepY2 = 0;
    std::optional<LatLong> At1; // where each point lies on the Sun; nothing off the disk
    std::optional<LatLong> At2;
    std::optional<double> SepDegrees; // great-circle separation, heliographic degrees
    std::optional<double> SepShown;   // the separation shown: degrees (on the sky when off
                                      // the disk); nothing before a pair is measured
    std::optional<double> SepKm;      // the distance shown, kilometres
    bool SpotInMiddle = true;         // follows the "Spot in Middle" item
    // The results are a longitude arc's: SepShown is the longitudes' difference, SepKm the
    // distance along the parallel at the mean latitude, which both points now hold.
    bool AlongParallel = false;

    bool operator==(const SeparationState&) const = default;
};

// A change of date or time with no separation mode on forgets the measurement.
void ResetSeparation(SeparationState& s);

// Angle between two heliographic points along the great circle through them. Two clicks
// on the same point give 0, never NaN.
double GreatCircleDegrees(double lat1, double lon1, double lat2, double lon2);

// Locates both points (nothing off the disk) and their great-circle separation (nothing
// unless both are on the disk).
void ComputeSeparation(SeparationState& s, const DiskFrame& frame, const Ephemeris& ephemeris);

// The results a second shift-click shows. A separation that could not be measured leaves
// nothing to show.
void GreatCircleResults(SeparationState& s);
// Both latitudes become their mean, the separation is the longitude span between the
// points, across 0/360 when they fall in different rotations.
void LongitudeArcResults(SeparationState& s, const Ephemeris& ephemeris);
// Straight distance on the sky from point 1 to point 2, degrees of arc and kilometres.
void OutsideDiskResults(SeparationState& s, const DiskFrame& frame, const Ephemeris& ephemeris);

// Longitudes a longitude arc runs over; `end` passes 360 when the arc crosses the seam.
struct LongitudeRange {
    double start = 0;
    double end = 0;

    bool operator==(const LongitudeRange&) const = default;
};
LongitudeRange LongitudeArcRange(double lon1, double lon2, double L0, int32_t rotation);

// Course (degrees from north through east) at point 1 of the great circle to point 2,
// `separation` apart; 0 when the points coincide.
double CourseAngle(double lat1, double lon1, double lat2, double lon2, double separation);
// The point `t` degrees along that course from point 1.
LatLong PointAlongCourse(double lat1, double lon1, double course, double t);

// The points of the drawn figure, on the Sun, and the figure's middle.
std::vector<LatLong> GreatCirclePoints(const SeparationState& s);
LatLong GreatCircleMiddle(const SeparationState& s);
std::vector<LatLong> LongitudeArcPoints(const SeparationState& s, const Ephemeris& ephemeris);
LatLong LongitudeArcMiddle(const SeparationState& s, const Ephemeris& ephemeris);

// Heliographic points to disk positions for the polyline. A point beyond the limb
// repeats the position before it; far-side points before the first visible one have no
// position to repeat and are left out.
std::vector<DiskPosition> ProjectFigurePoints(const std::vector<LatLong>& points,
                                              const Ephemeris& ephemeris);

// Everything one drawing of the separation shows, before it is put on a picture.
struct SeparationFigure {
    // A separation that starts off the disk is one straight line, point 1 to point 2,
    // in the line colour; nothing else is drawn.
    bool OutsideLine = false;
    DiskPoint LineFrom;
    DiskPoint LineTo;
    // The arc's polyline in the arc colour; empty when there is no valid separation.
    std::vector<DiskPosition> Arc;
    // Where the spot goes when it is kept in the middle; absent when it is not, or when
    // the middle lies beyond the limb.
    std::optional<DiskPosition> Middle;

    bool operator==(const SeparationFigure&) const = default;
};
SeparationFigure SeparationFigureOf(const SeparationState& s, FigureForm form,
                                    const Ephemeris& ephemeris);

// Unrounded pixel of the figure's middle on a picture, where the spot is moved; nothing
// when the figure has no middle.
std::optional<PixelPoint> MiddlePixel(const SeparationFigure& figure, const DiskFrame& frame);

// What a shift-click does to the separation: the new state, the menu item to check
// (the other of Arc1/Arc2 unchecked), and the figure to draw before the labels are
// shown. The second point's results are already in the state.
enum class ArcItem { Arc1, Arc2 };
struct ShiftClickOutcome {
    SeparationState State;
    // The first point was taken: the old figure is cleared if Arc1 or Arc2 is checked.
    bool FirstPoint = false;
    std::optional<ArcItem> Check;
    std::optional<FigureForm> Draw;
};
// `checkedForm` is the form whose item (GreatCircle1 or LongitudeArc1) is checked.
// A separation that starts on the disk is measured within it; one that starts off the
// disk is measured on the sky, to the limb below point 1 when point 2 lies on the disk.
ShiftClickOutcome ShiftClickSeparation(const SeparationState& s, const DiskClick& click,
                                       FigureForm checkedForm, const DiskFrame& frame,
                                       const Ephemeris& ephemeris);

// Texts of the four labels of the "Heliographic Separation" group (UTF-8), with the
// captions above them and the hints of the values, which say what a longitude arc's
// results are.
struct SeparationLabels {
    std::string Sep1Label;
    std::string Sep2Label;
    std::string LL1Label;
    std::string LL2Label;
    std::string SepCaption = "Separation";  // above Sep1Label and Sep2Label
    std::string LL1Caption = "Lat / Long1"; // above LL1Label
    std::string LL2Caption = "Lat / Long2";
    std::string Sep1Hint = "Heliographical separation";
    std::string Sep2Hint = "Heliographical separation";
    std::string LL1Hint = "Lat & long at point 1";
    std::string LL2Hint = "Lat & long at point 2";

    bool operator==(const SeparationLabels&) const = default;
};
SeparationLabels ShowSeparationTexts(const SeparationState& s);

// What the status line says of a longitude arc just measured: "Longitude arc: Δlong 10.0°,
// 121521 km along the parallel at mean latitude 5.0°; both points are shown at the mean
// latitude". Empty for other results.
std::string LongitudeArcStatus(const SeparationState& s);

} // namespace zorva
