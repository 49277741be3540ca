#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/chart/chart_geometry.h"
#include "core/measure/figure_form.h"

namespace zorva {

// Overlay colours, as packed 0x00BBGGRR words.
inline constexpr uint32_t kColourBlack = 0x000000;
inline constexpr uint32_t kColourRed = 0x0000FF;
inline constexpr uint32_t kColourGreen = 0x008000;
inline constexpr uint32_t kColourBlue = 0xFF0000;
inline constexpr uint32_t kColourWhite = 0xFFFFFF;

// Left and width of the date picker, the time picker and the "UT" caption for one date
// format.
struct DateLayout {
    int32_t DatePickerLeft = 0;
    int32_t DatePickerWidth = 0;
    int32_t TimePickerLeft = 0;
    int32_t TimePickerWidth = 0;
    int32_t UTCaptionLeft = 0;
    int32_t UTCaptionWidth = 0;

    bool operator==(const DateLayout&) const = default;
};

// Every option the user sets that lasts from one run to the next, each declared once here:
// its type, its name, its first-run value, and its row: where it is stored (a line of the
// settings file, whose layout is fixed, or a key of the program's own options file) and
// how, the values it may take, the menu items that show and change it, and what the
// session does once a menu item has changed it (OptionRow, core/options/option_table.h).
// The record of options, its reading and writing, the menus with their check marks and the
// one command that changes an option from its menu are all made from these entries. The
// settings file's options come first, in the file's order, then the options file's.
//
// ZORVA_OPTION(type, name, first-run value, row)
#define ZORVA_OPTIONS(ZORVA_OPTION)                                                                \
    ZORVA_OPTION(bool, HideWelcome, false, (Row{.line = 1, .codec = C::Bool}))                     \
    ZORVA_OPTION(int32_t, FlipSign, 1, (Row{.line = 2, .codec = C::Int}))                          \
    ZORVA_OPTION(int32_t, MirrorSign, 1, (Row{.line = 3, .codec = C::Int}))                        \
    /* "inch" when the diameter is shown in inches; its value in that unit */                      \
    ZORVA_OPTION(bool, DiamInInches, false, (Row{.line = 4, .codec = C::UnitWord}))                \
    ZORVA_OPTION(double, DiamValue, 150, (Row{.line = 5, .codec = C::Real}))                       \
    ZORVA_OPTION(bool, DateLong, true,                                                             \
                 (Row{.line = 6,                                                                   \
                      .codec = C::DateWord,                                                        \
                      .menu = Choice(Place("Display1", 3,                                          \
                                           {{{"DateShort", "&Short Date Format", 0},               \
                                             {"DateLong", "&Long Date Format", 1}}}))}))           \
    ZORVA_OPTION(DateLayout, ShortDateLayout, (DateLayout{60, 75, 180, 72, 258, 19}),              \
                 (Row{.line = 7, .codec = C::Layout}))                                             \
    ZORVA_OPTION(DateLayout, LongDateLayout, (DateLayout{29, 140, 200, 72, 278, 19}),              \
                 (Row{.line = 8, .codec = C::Layout}))                                             \
    ZORVA_OPTION(bool, GridMm, true,                                                               \
                 (Row{.line = 9,                                                                   \
                      .codec = C::GridWord,                                                        \
                      .menu = Choice(Place(                                                        \
                          "SunspotGridSize", 1,                                                    \
                          {{{"N1sqmm", "1 by 1 mm", 1}, {"N125sqin", "1/25 by 1/25 in", 0}}})),    \
                      .effect = E::GridSize}))                                                     \
    ZORVA_OPTION(double, ObserverLat, 51.5,                                                        \
                 (Row{.line = 10,                                                                  \
                      .codec = C::Real,                                                            \
                      .low = -90,                                                                  \
                      .high = 90,                                                                  \
                      .accept = AcceptObserverLatitude}))                                          \
    ZORVA_OPTION(double, ObserverLong, 0.5,                                                        \
                 (Row{.line = 10,                                                                  \
                      .codec = C::Real,                                                            \
                      .low = -180,                                                                 \
                      .high = 360,                                                                 \
                      .accept = AcceptObserverLongitude}))                                         \
    ZORVA_OPTION(bool, NESWPoints, true,                                                           \
                 (Row{.line = 11,                                                                  \
                      .codec = C::Bool,                                                            \
                      .menu = Check(Item("LatLongLines", 1, "NESWPoints1", "&N E S W Points")),    \
                      .effect = E::Redraw}))                                                       \
    ZORVA_OPTION(                                                                                  \
        bool, ShowCentralMeridian, true,                                                           \
        (Row{.line = 12,                                                                           \
             .codec = C::Bool,                                                                     \
             .menu = Check(Item("LatLongLines", 2, "CentralMeridian1", "&Central Meridian")),      \
             .effect = E::Redraw}))                                                                \
    ZORVA_OPTION(bool, ShowEquator, true,                                                          \
                 (Row{.line = 13,                                                                  \
                      .codec = C::Bool,                                                            \
                      .menu = Check(Item("LatLongLines", 2, "Equator1", "&Equator")),              \
                      .effect = E::Redraw}))                                                       \
    ZORVA_OPTION(bool, ShowLatLines, false,                                                        \
                 (Row{.line = 14,                                                                  \
                      .codec = C::Bool,                                                            \
                      .menu = Check(Item("LatLongLines", 2, "LatLines1", "L&atitude Lines")),      \
                      .effect = E::Redraw}))                                                       \
    ZORVA_OPTION(bool, ShowLongLines, false,                                                       \
                 (Row{.line = 15,                                                                  \
                      .codec = C::Bool,                                                            \
                      .menu = Check(Item("LatLongLines", 2, "LongLines1", "L&ongitude Lines")),    \
                      .effect = E::Redraw}))                                                       \
    ZORVA_OPTION(bool, CarringtonShown, false,                                                     \
                 (Row{.line = 16,                                                                  \
                      .codec = C::Bool,                                                            \
                      .menu = Check(Item("Rotation1", 1, "RotationCarrington", "&Carrington")),    \
                      .effect = E::RotationMarker}))                                               \
    ZORVA_OPTION(uint32_t, CarringtonColour, kColourBlack,                                         \
                 (Row{.line = 16,                                                                  \
                      .codec = C::Colour,                                                          \
                      .menu = Colour(Submenu("Rotation1", 1, "CarrSetColour", "Carr")),            \
                      .effect = E::Recalculate}))                                                  \
    ZORVA_OPTION(bool, CarringtonLabel, false,                                                     \
                 (Row{.line = 16,                                                                  \
                      .codec = C::Bool,                                                            \
                      .menu = Check(Item("Rotation1", 1, "CarrLabel", "   Label")),                \
                      .effect = E::Recalculate}))                                                  \
    ZORVA_OPTION(                                                                                  \
        bool, DifferentialShown, false,                                                            \
        (Row{.line = 17,                                                                           \
             .codec = C::Bool,                                                                     \
             .menu = Check(Item("Rotation1", 2, "RotationDifferential", "&Differential")),         \
             .effect = E::RotationMarker}))                                                        \
    ZORVA_OPTION(uint32_t, DifferentialColour, kColourBlack,                                       \
                 (Row{.line = 17,                                                                  \
                      .codec = C::Colour,                                                          \
                      .menu = Colour(Submenu("Rotation1", 2, "DiffSetColour", "Diff")),            \
                      .effect = E::Recalculate}))                                                  \
    ZORVA_OPTION(bool, DifferentialLabel, false,                                                   \
                 (Row{.line = 17,                                                                  \
                      .codec = C::Bool,                                                            \
                      .menu = Check(Item("Rotation1", 2, "DiffLabel", "   Label")),                \
                      .effect = E::Recalculate}))                                                  \
    ZORVA_OPTION(                                                                                  \
        int32_t, ScreenWidth, 1024,                                                                \
        (Row{.line = 18, .codec = C::Int, .low = SmallestScreenSide, .high = LargestScreenSide}))  \
    ZORVA_OPTION(                                                                                  \
        int32_t, ScreenHeight, 768,                                                                \
        (Row{.line = 18, .codec = C::Int, .low = SmallestScreenSide, .high = LargestScreenSide}))  \
    ZORVA_OPTION(bool, Sunspot, true,                                                              \
                 (Row{.line = 19,                                                                  \
                      .codec = C::Bool,                                                            \
                      .menu = Check(Item("Display1", 1, "Sunspot1", "S&unspot")),                  \
                      .effect = E::SpotShown}))                                                    \
    /* The limb points and the circle of a picture's limb search */                                \
    ZORVA_OPTION(bool, Points, false,                                                              \
                 (Row{.line = 20,                                                                  \
                      .codec = C::Bool,                                                            \
                      .menu = ForPictures(Check(Item("Display1", 2, "Points1", "&Points")))}))     \
    ZORVA_OPTION(bool, Circle, false,                                                              \
                 (Row{.line = 21,                                                                  \
                      .codec = C::Bool,                                                            \
                      .menu = ForPictures(Check(Item("Display1", 2, "Circle1", "&Circle")))}))     \
    /* Both region summary colour menus show the one colour, and both label items */               \
    ZORVA_OPTION(uint32_t, SRSColour, kColourBlack,                                                \
                 (Row{.line = 22,                                                                  \
                      .codec = C::Colour,                                                          \
                      .menu = Colour(Submenu("SolarRegionSummary", 1, "SRSColour", "SRS"),         \
                                     Submenu("SolarRegionSummary", 2, "Colour1", "SRS", "2")),     \
                      .effect = E::Recalculate}))                                                  \
    ZORVA_OPTION(                                                                                  \
        bool, SRSFileNameLabel, false,                                                             \
        (Row{.line = 23,                                                                           \
             .codec = C::Bool,                                                                     \
             .menu =                                                                               \
                 Check(Item("SolarRegionSummary", 1, "SRSFileNameLabel", "   &File Name Label"),   \
                       Item("SolarRegionSummary", 2, "SRSFileNameLabel2", "   &File Name Label")), \
             .effect = E::Recalculate}))                                                           \
    /* The two items are a two-way choice: a click on the checked one gives the other */           \
    ZORVA_OPTION(                                                                                  \
        FigureForm, SeparationPath, FigureForm::LongitudeArc,                                      \
        (Row{.line = 24,                                                                           \
             .codec = C::Enum,                                                                     \
             .menu = TwoWay(                                                                       \
                 Place("Separation1", 1,                                                           \
                       {{{"LongitudeArc1", "   L&ongitude Arc", Code(FigureForm::LongitudeArc)},   \
                         {"GreatCircle1", "   &Great Circle", Code(FigureForm::GreatCircle)}}})),  \
             .codes = kPathCodes}))                                                                \
    ZORVA_OPTION(                                                                                  \
        bool, SpotInMiddle, true,                                                                  \
        (Row{.line = 25,                                                                           \
             .codec = C::Bool,                                                                     \
             .menu = Check(Item("Separation1", 1, "SpotinMiddle1", "   S&pot in Middle")),         \
             .effect = E::Redraw}))                                                                \
    ZORVA_OPTION(uint32_t, DistColour1, kColourBlue,                                               \
                 (Row{.line = 26,                                                                  \
                      .codec = C::Colour,                                                          \
                      .menu = Colour(Submenu("Separation1", 1, "DistColour1", "Dist", "1"))}))     \
    ZORVA_OPTION(uint32_t, DistColour2, kColourRed,                                                \
                 (Row{.line = 27,                                                                  \
                      .codec = C::Colour,                                                          \
                      .menu = Colour(Submenu("Separation1", 2, "DistColour2", "Dist", "2"))}))     \
    ZORVA_OPTION(Orientation, OrientationMode, Orientation::Equatorial,                            \
                 (Row{.line = 28, .codec = C::Enum, .codes = kOrientationCodes}))                  \
    ZORVA_OPTION(                                                                                  \
        int32_t, RAPrecision, 3,                                                                   \
        (Row{.line = 29,                                                                           \
             .codec = C::Int,                                                                      \
             .menu = Precision(Place("Display1", 4, {{{"", "min"}, {"", "0.1 min"}, {"", "sec"}}}, \
                                     "RightAscension1", "Right Ascension", "PrecisionRA")),        \
             .effect = E::Readouts}))                                                              \
    ZORVA_OPTION(                                                                                  \
        int32_t, DecPrecision, 3,                                                                  \
        (Row{.line = 30,                                                                           \
             .codec = C::Int,                                                                      \
             .menu = Precision(Place("Display1", 4, {{{"", "'"}, {"", "0.1'"}, {"", "\""}}},       \
                                     "Declination1", "Declination", "PrecisionDec")),              \
             .effect = E::Readouts}))                                                              \
    ZORVA_OPTION(                                                                                  \
        int32_t, AltAziPrecision, 2,                                                               \
        (Row{.line = 31,                                                                           \
             .codec = C::Int,                                                                      \
             .menu = Precision(Place("Display1", 4,                                                \
                                     {{{"", "  \u00B0"}, {"", " 0.1\u00B0"}, {"", "0.01\u00B0"}}}, \
                                     "AltAzi1", "Alt && Azi", "PrecisionAltAzi")),                 \
             .effect = E::Readouts}))                                                              \
    ZORVA_OPTION(                                                                                  \
        int32_t, BLPPrecision, 2,                                                                  \
        (Row{.line = 32,                                                                           \
             .codec = C::Int,                                                                      \
             .menu = Precision(Place("Display1", 4, {{{"", " 0.1\u00B0"}, {"", "0.01\u00B0"}}},    \
                                     "B01", "Bo, Lo && P", "PrecisionBLP")),                       \
             .effect = E::Readouts}))                                                              \
    ZORVA_OPTION(int32_t, DiamPrecision, 2,                                                        \
                 (Row{.line = 33,                                                                  \
                      .codec = C::Int,                                                             \
                      .menu = Precision(Place("Display1", 4, {{{"", "\""}, {"", "0.1\""}}},        \
                                              "Diameter2", "Diameter", "PrecisionDia")),           \
                      .effect = E::Readouts}))                                                     \
    ZORVA_OPTION(                                                                                  \
        int32_t, LatLongPrecision, 1,                                                              \
        (Row{.line = 34,                                                                           \
             .codec = C::Int,                                                                      \
             .menu = Precision(Place("Display1", 4, {{{"", " 1\u00B0"}, {"", "0.1\u00B0"}}},       \
                                     "LatLong1", "Lat && Long", "PrecisionLL")),                   \
             .effect = E::Readouts}))                                                              \
    ZORVA_OPTION(int32_t, AreaPrecision, 1,                                                        \
                 (Row{.line = 35,                                                                  \
                      .codec = C::Int,                                                             \
                      .menu = Precision(Place("Display1", 4, {{{"", "10"}, {"", "1"}}}, "Area1",   \
                                              "Area", "PrecisionArea")),                           \
                      .effect = E::Readouts}))                                                     \
    /* 0 while a message follows each addition to the logfile */                                   \
    ZORVA_OPTION(                                                                                  \
        int32_t, LogFileMessageFlag, 0,                                                            \
        (Row{.line = 36,                                                                           \
             .codec = C::Int,                                                                      \
             .menu =                                                                               \
                 Flag(Item("Display1", 5, "LogFileMessageBox1", "Logfile Message Box", 0), 1)}))   \
    /* How a picture lies when neither its header nor its name says: celestial north up and */     \
    /* east to the left, as a camera sees the sky, until the user chooses another for */           \
    /* pictures (the chart keeps its own orientation) */                                           \
    ZORVA_OPTION(Orientation, PictureOrientation, Orientation::Equatorial,                         \
                 (Row{.key = "PictureOrientation", .codec = C::Enum, .codes = kOrientationCodes})) \
    ZORVA_OPTION(int32_t, PictureFlipSign, 1,                                                      \
                 (Row{.key = "PictureFlip", .codec = C::Int, .low = -1, .high = 1}))               \
    ZORVA_OPTION(int32_t, PictureMirrorSign, -1,                                                   \
                 (Row{.key = "PictureMirror", .codec = C::Int, .low = -1, .high = 1}))             \
    /* What a camera clock that writes no offset keeps, minutes ahead of UT */                     \
    ZORVA_OPTION(int32_t, CameraClockOffsetMinutes, 0,                                             \
                 (Row{.key = "CameraClockOffset",                                                  \
                      .codec = C::Int,                                                             \
                      .low = -LargestClockOffsetMinutes,                                           \
                      .high = LargestClockOffsetMinutes}))                                         \
    /* The window's size when it was last closed, or the one a Screen Resolution item */           \
    /* gives; 0 fills the screen's available area */                                               \
    ZORVA_OPTION(                                                                                  \
        int32_t, WindowWidth, 0,                                                                   \
        (Row{.key = "WindowWidth", .codec = C::Int, .low = 0, .high = LargestScreenSide}))         \
    ZORVA_OPTION(                                                                                  \
        int32_t, WindowHeight, 0,                                                                  \
        (Row{.key = "WindowHeight", .codec = C::Int, .low = 0, .high = LargestScreenSide}))        \
    /* The limb searched to a fraction of a pixel */                                               \
    ZORVA_OPTION(bool, SubPixelLimb, false,                                                        \
                 (Row{.key = "SubPixelLimb",                                                       \
                      .codec = C::Bool,                                                            \
                      .menu = Check(Item("Display1", 2, "SubPixelLimb1", "Sub-pixel &Limb")),      \
                      .effect = E::LimbSearch}))                                                   \
    /* Faint marks where the spot search found something dark and judged it no spot */             \
    ZORVA_OPTION(bool, ShowRejected, false,                                                        \
                 (Row{.key = "ShowRejectedCandidates",                                             \
                      .codec = C::Bool,                                                            \
                      .menu = ForPictures(Check(Item("Sunspots1", 1, "ShowRejectedCandidates1",    \
                                                     "Show &Rejected Candidates")))}))             \
    /* The files opened last, the latest first (File > Open Recent shows the lists itself) */      \
    ZORVA_OPTION(std::vector<std::string>, RecentPictures, {},                                     \
                 (Row{.key = "RecentPicture", .codec = C::Paths}))                                 \
    ZORVA_OPTION(std::vector<std::string>, RecentSummaries, {},                                    \
                 (Row{.key = "RecentSummary", .codec = C::Paths}))                                 \
    ZORVA_OPTION(std::vector<std::string>, RecentLogfiles, {},                                     \
                 (Row{.key = "RecentLogfile", .codec = C::Paths}))                                 \
    /* The observer's record (empty for ZorvaRecord.sqlite in the working folder), and the */      \
    /* details an observation there is given unless the observer types others */                   \
    ZORVA_OPTION(std::string, RecordFile, {}, (Row{.key = "RecordFile", .codec = C::Text}))        \
    ZORVA_OPTION(std::string, RecordObserver, {},                                                  \
                 (Row{.key = "RecordObserver", .codec = C::Text}))                                 \
    ZORVA_OPTION(std::string, RecordSite, {}, (Row{.key = "RecordSite", .codec = C::Text}))        \
    ZORVA_OPTION(std::string, RecordInstrument, {},                                                \
                 (Row{.key = "RecordInstrument", .codec = C::Text}))

// The record of every option, with the values of a first run.
struct Options {
#define ZORVA_OPTION_MEMBER(type, name, first, row) type name = first;
    ZORVA_OPTIONS(ZORVA_OPTION_MEMBER)
#undef ZORVA_OPTION_MEMBER

    bool operator==(const Options&) const = default;
};
// The same record, named for the settings file that holds most of it.
using Settings = Options;

} // namespace zorva
