#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zorva {

inline constexpr double MmPerInch = 25.4;

// The chart's scale: the disk spans 0.8 of the square image's side, and the image is drawn
// at 75 pixels per inch of the disk's physical diameter, whatever the screen.
inline constexpr double ChartDiskFraction = 0.8;
inline constexpr double ChartPixelsPerInch = 75.0;

// How the chart is turned: celestial north up, the rotation axis up, or the zenith up.
// An observatory's image can state its own turn in its header; it holds only while that
// image is shown and is never stored.
enum class Orientation { Equatorial, RotationAxis, AltAzimuth, FromHeader };

// The chart geometry the window holds; the first-run values are the defaults.
struct ChartGeometry {
    double ChartDiameter = 150; // drawn disk in millimetres (inches are held as mm)
    int32_t FlipSign = 1;       // +1 or -1, along the screen's vertical
    int32_t MirrorSign = 1;     // +1 or -1, along the screen's horizontal
    Orientation Mode = Orientation::Equatorial;
    double HeaderRotation = 0; // the turn of the rotation axis an image's header states
    // A picture's own turn: the whole drawing turned counter-clockwise by this many degrees,
    // so that the mode's north lies this far counter-clockwise from the picture's up (from
    // its bottom when flipped). A camera held at an angle; never stored, 0 on the chart.
    double Turn = 0;
    bool ShowCentralMeridian = true;
    bool ShowEquator = true;
    bool ShowLatLines = false;
    bool ShowLongLines = false;
    int32_t ScreenWidth = 1024; // screen size the window layout assumes
    int32_t ScreenHeight = 768;

    bool operator==(const ChartGeometry&) const = default;
};

// The largest chart the program draws: two metres across is already a 7 000 pixel image,
// and a larger one could exhaust memory.
inline constexpr double LargestChartDiameter = 2000.0;
// The smallest: a disk of one millimetre is a chart of three pixels. Below that the image
// has no pixel to paint the disk into, and the area per grid square grows without bound.
inline constexpr double SmallestChartDiameter = 1.0;
// A diameter in millimetres the program can draw and measure on.
inline bool IsUsableChartDiameter(double diameterMm) {
    return diameterMm >= SmallestChartDiameter && diameterMm <= LargestChartDiameter;
}

// Side in pixels of the square chart image: the disk fills 80 % of it, drawn at
// 75 pixels per inch of the physical diameter.
int32_t ChartSide(double diameterMm);

// Size, place and scroll bars of the main window around a chart of w x h pixels.
struct WindowFit {
    int32_t width = 0;
    int32_t height = 0;
    int32_t top = 0;
    int32_t left = 0;
    bool vScroll = false;
    bool hScroll = false;

    bool operator==(const WindowFit&) const = default;
};
WindowFit FitWindowToChart(int32_t w, int32_t h, int32_t screenWidth, int32_t screenHeight);

// Largest radial fraction at which grid lines are drawn; a larger chart shows more of
// the limb band before its pixels merge with the outline.
double LimbCutoff(double diameterMm);

// A sign read from the settings: anything but +1 or -1 starts as +1.
int32_t ValidSign(int32_t sign);
inline int32_t ToggledSign(int32_t sign) {
    return sign == 1 ? -1 : 1;
}

// Captions of the flip and mirror items: compass words in the Equatorial mode, screen
// words otherwise.
std::string_view FlipMenuCaption(Orientation mode);
std::string_view MirrorMenuCaption(Orientation mode);

// The unit a diameter is typed and shown in, and its caption beside the diameter box.
enum class LengthUnit { Mm, Inch };
std::string_view UnitCaption(LengthUnit unit); // "mm" or "in"
// Millimetres in one of the unit.
inline double MmPer(LengthUnit unit) {
    return unit == LengthUnit::Inch ? MmPerInch : 1.0;
}

// The items of the diameter menu, in menu order of their handlers. The two "Other"
// items have no fixed diameter (0); their diameter is typed into the box.
struct DiameterItem {
    std::string_view Name;    // menu item name
    std::string_view Caption; // menu caption
    double DiameterMm;        // ChartDiameter, 0 for the typed sizes
    double BoxValue;          // value shown in the diameter box, in the unit
    LengthUnit Unit;          // of the box and its caption
    bool Fixed;
};
inline constexpr std::array<DiameterItem, 8> DiameterItems = {{
    {"N100mm", "100 mm", 100.0, 100.0, LengthUnit::Mm, true},
    {"N125mm", "125 mm", 125.0, 125.0, LengthUnit::Mm, true},
    {"N150mm", "150 mm", 150.0, 150.0, LengthUnit::Mm, true},
    {"N4in", "4 in", 4 * MmPerInch, 4.0, LengthUnit::Inch, true},
    {"N5in", "5 in", 5 * MmPerInch, 5.0, LengthUnit::Inch, true},
    {"N6in", "6 in", 6 * MmPerInch, 6.0, LengthUnit::Inch, true},
    {"Othermm", "Other (mm)", 0.0, 0.0, LengthUnit::Mm, false},
    {"Otherin", "Other (in)", 0.0, 0.0, LengthUnit::Inch, false},
}};

// The diameter box's text for a fixed size: one decimal ("100.0", "4.0").
std::string DiamBoxText(double value);

// ChartDiameter of a typed diameter in the given unit.
double TypedDiameterMm(double value, LengthUnit unit);

// The screen sizes of the resolution menu.
struct ScreenItem {
    std::string_view Name;
    std::string_view Caption;
    int32_t Width;
    int32_t Height;
};
// Screen sides the window can be laid out for: a quarter VGA screen up to a wall of 16K
// pixels. The window fit keeps the taskbar's strip free, so a smaller screen would leave
// no window at all.
inline constexpr int32_t SmallestScreenSide = 240;
inline constexpr int32_t LargestScreenSide = 16384;
inline bool IsUsableScreenSide(int32_t pixels) {
    return pixels >= SmallestScreenSide && pixels <= LargestScreenSide;
}

inline constexpr std::array<ScreenItem, 7> ScreenItems = {{
    {"N6404801", "640, 480", 640, 480},
    {"N8006001", "800, 600", 800, 600},
    {"N10247681", "1024, 768", 1024, 768},
    {"N11528641", "1152, 864", 1152, 864},
    {"N128010241", "1280, 1024", 1280, 1024},
    {"N160010241", "1600, 1024", 1600, 1024},
    {"N160012001", "1600, 1200", 1600, 1200},
}};

} // namespace zorva
