#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/chart/chart_geometry.h"
#include "core/ephemeris/daily_table.h"

namespace zorva {

// Display precisions of the readout labels, as chosen in the Display menu. Values outside
// a group's range act as its last item, the item that is checked for them.
struct ReadoutPrecisions {
    int32_t RAPrecision = 3;     // 1 whole minutes, 2 tenths of a minute, 3 whole seconds
    int32_t DecPrecision = 3;    // 1 arcminutes, 2 tenths of an arcminute, 3 arcseconds
    int32_t AltAziPrecision = 2; // 1 degrees, 2 tenths, 3 hundredths
    int32_t BLPPrecision = 2;    // 1 tenths of a degree, 2 hundredths
    int32_t DiamPrecision = 2;   // 1 whole arcseconds, 2 tenths

    bool operator==(const ReadoutPrecisions&) const = default;
};

// The menu item (1, 2 or 3) that stands for a stored precision of a three-item group:
// anything but 1 or 2 is the last item.
int32_t PrecisionItemOf3(int32_t precision);
// The same for a two-item group: anything but 1 is the second item.
int32_t PrecisionItemOf2(int32_t precision);

// A readout label's new text (UTF-8) and left edge in pixels.
struct LabelText {
    std::string text;
    int32_t left = 0;

    bool operator==(const LabelText&) const = default;
};

// Left edge that centres a text of proportional glyphs on `centre` by its character count:
// trunc(centre - n/2 - shift).
int32_t CentredLeft(double centre, std::string_view text, double shift = 0);

// Label texts; each carries the leading blanks that stand in for missing digits and signs.
std::string RightAscensionText(double raHours, int32_t precision);
std::string DeclinationText(double decDegrees, int32_t precision);
std::string AltitudeText(double degrees, int32_t precision);
std::string AzimuthText(double degrees, int32_t precision);
std::string ParallacticAngleText(double degrees, int32_t precision);
std::string B0Text(double degrees, int32_t precision);
std::string L0Text(double degrees, int32_t precision);
std::string PText(double degrees, int32_t precision);
std::string DiameterText(int32_t minutes, double seconds, int32_t precision);
std::string RotationText(int32_t rotation);

// Everything the "Solar Position" group shows for an ephemeris.
struct PositionReadouts {
    LabelText RALabel;
    LabelText DecLabel;
    LabelText AltLabel;
    LabelText AziLabel;
    LabelText PALabel; // always written; its left only counts while it is shown
    int32_t DecCaptionLeft = 0;
    int32_t AltCaptionLeft = 0;
    int32_t AziCaptionLeft = 0;
    int32_t PACaptionLeft = 0;
    bool PAVisible = false;     // the parallactic angle is shown only with the zenith up
    std::string AltAzi1Caption; // caption of the precision submenu, with "&&" for one "&"

    bool operator==(const PositionReadouts&) const = default;
};

// Everything the "Solar Parameters" group shows; the diameter and rotation labels keep
// their places.
struct SolarParameterReadouts {
    LabelText B0Label;
    LabelText L0Label;
    LabelText PLabel;
    std::string DiamLabel;
    std::string CRLabel;

    bool operator==(const SolarParameterReadouts&) const = default;
};

PositionReadouts PositionReadoutTexts(const Ephemeris& e, const ReadoutPrecisions& precisions,
                                      Orientation orientation);
SolarParameterReadouts SolarParameterTexts(const Ephemeris& e, const ReadoutPrecisions& precisions);

} // namespace zorva
