#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/chart/chart_geometry.h"
#include "core/measure/figure_form.h"
#include "core/readouts/readouts.h"
#include "core/text/format.h"

namespace zorva {

// Overlay colours, as packed 0x00BBGGRR words.
inline constexpr uint32_t kColourBlack = 0x000000;
inline constexpr uint32_t kColourRed = 0x0000FF;
inline constexpr uint32_t kColourGreen = 0x008000;
inline constexpr uint32_t kColourBlue = 0xFF0000;
inline constexpr uint32_t kColourWhite = 0xFFFFFF;

// "bla", "red", "gre", "blu" or "whi"; black's code for a value that is none of the five.
std::string_view ColourCode(uint32_t colour);
// Decodes a code by its letters: r red, g green, b-l-u blue, w white, anything else black.
uint32_t ColourFromCode(char first, char second, char third);

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

// A rotation marker's options: shown, colour, label.
struct RotationMarkerOptions {
    bool Shown = false;
    uint32_t Colour = kColourBlack;
    bool Label = false;

    bool operator==(const RotationMarkerOptions&) const = default;
};

// Every option the user sets that lasts from one run to the next, with the values of a
// first run: the settings file's values in file order (line numbers beside them), then the
// program's own options file's. Where each is stored, how it is written and which menu
// items show it is declared in the option table (core/options/option_table.h).
struct Options {
    bool HideWelcome = false;                              // 1
    int32_t FlipSign = 1;                                  // 2
    int32_t MirrorSign = 1;                                // 3
    bool DiamInInches = false;                             // 4: "inch" when the unit shown is "in"
    double DiamValue = 150;                                // 5: chart diameter in that unit
    bool DateLong = true;                                  // 6
    DateLayout ShortDateLayout{60, 75, 180, 72, 258, 19};  // 7
    DateLayout LongDateLayout{29, 140, 200, 72, 278, 19};  // 8
    bool GridMm = true;                                    // 9: N1sqmm rather than N125sqin
    double ObserverLat = 51.5;                             // 10
    double ObserverLong = 0.5;                             // 10
    bool NESWPoints = true;                                // 11
    bool ShowCentralMeridian = true;                       // 12
    bool ShowEquator = true;                               // 13
    bool ShowLatLines = false;                             // 14
    bool ShowLongLines = false;                            // 15
    RotationMarkerOptions Carrington;                      // 16
    RotationMarkerOptions Differential;                    // 17
    int32_t ScreenWidth = 1024;                            // 18
    int32_t ScreenHeight = 768;                            // 18
    bool Sunspot = true;                                   // 19
    bool Points = false;                                   // 20
    bool Circle = false;                                   // 21
    uint32_t SRSColour = kColourBlack;                     // 22
    bool SRSFileNameLabel = false;                         // 23
    FigureForm SeparationPath = FigureForm::LongitudeArc;  // 24
    bool SpotInMiddle = true;                              // 25
    uint32_t DistColour1 = kColourBlue;                    // 26: separation within the disk
    uint32_t DistColour2 = kColourRed;                     // 27: separation outside the disk
    Orientation OrientationMode = Orientation::Equatorial; // 28
    int32_t RAPrecision = 3;                               // 29
    int32_t DecPrecision = 3;                              // 30
    int32_t AltAziPrecision = 2;                           // 31
    int32_t BLPPrecision = 2;                              // 32
    int32_t DiamPrecision = 2;                             // 33
    int32_t LatLongPrecision = 1;                          // 34
    int32_t AreaPrecision = 1;                             // 35
    int32_t LogFileMessageFlag = 0; // 36: 0 shows a message after each addition
    bool SubPixelLimb = false;      // options file: refine the limb search
    // Options file: how a picture lies when neither its header nor its name says: celestial
    // north up and east to the left, as a camera sees the sky, until the user chooses
    // another for pictures (the chart keeps its own orientation).
    Orientation PictureOrientation = Orientation::Equatorial;
    int32_t PictureFlipSign = 1;
    int32_t PictureMirrorSign = -1;
    // Options file: what a camera clock that writes no offset keeps, minutes ahead of UT.
    int32_t CameraClockOffsetMinutes = 0;
    // Options file: the window's size when it was last closed, or the one a Screen
    // Resolution item gives; 0 fills the screen's available area.
    int32_t WindowWidth = 0;
    int32_t WindowHeight = 0;
    // Options file: the files opened last, the latest first (File > Open Recent).
    std::vector<std::string> RecentPictures;
    std::vector<std::string> RecentSummaries;
    std::vector<std::string> RecentLogfiles;

    bool operator==(const Options&) const = default;
};
// The same record, named for the settings file that holds most of it.
using Settings = Options;

// Stores a chart diameter held in millimetres in the unit shown beside the diameter box.
void SetChartDiameter(Settings& s, double chartDiameterMm, bool unitIsInch);

// The precisions of the readout labels held in the settings.
ReadoutPrecisions ReadoutPrecisionsOf(const Settings& s);

// The diameter command that start-up runs for the stored unit and value.
enum class DiameterCommand { N100mm, N125mm, N150mm, N4in, N5in, N6in, Othermm, Otherin, None };

// The Screen Resolution item to check.
enum class ScreenResolutionItem {
    None,
    N6404801,
    N8006001,
    N10247681,
    N11528641,
    N128010241,
    N160010241,
    N160012001
};

// A settings file read back, with the decisions the window applies from it.
struct SettingsLoad {
    Settings settings;
    bool fileFound = false;
    bool showWelcome = true;     // no file, or the hide-welcome flag was false
    bool diameterAbsent = false; // the stored diameter was not above 0.0001 or unreadable
    DiameterCommand diameterCommand = DiameterCommand::N150mm;
    std::string diamBoxText; // DiamBox text for Othermm and Otherin, empty otherwise
    ScreenResolutionItem screenItem = ScreenResolutionItem::None;
    bool sunspotChecked = true; // Sunspot1: its own value or either rotation marker on
    bool logFileMessageBoxChecked = true;
    // The first value that was missing, unreadable or out of range, or why a file could not
    // be read; empty when none.
    std::string error;
};

// The start-up state when there is no settings file: every default, the welcome window
// shown, 150 mm, and no Screen Resolution item checked until the user picks one.
SettingsLoad DefaultSettingsLoad();

// Reads the 36 lines of a settings file. A value that is missing, cannot be read, or lies
// outside what the program can use keeps its default, and reading goes on with the next
// value. Out of range are: a picker left edge outside 0..1000 or width outside 1..1000,
// an observer latitude outside -90..90 or longitude outside -180..360 (one above 180 is
// folded, as the observer box does), a screen side outside 240..16384, and a chart
// diameter outside 1..2000 mm (which gives 150 mm like a missing one).
SettingsLoad ReadSettings(std::istream& in);

// Writes the 36 lines exactly as they are read back. Numbers have six significant digits,
// and one that lies within its range above reads back within it: where the nearest six
// digits would leave the range, the value is cut towards itself instead.
void WriteSettings(std::ostream& out, const Settings& s);
std::string SettingsFileText(const Settings& s);

} // namespace zorva
