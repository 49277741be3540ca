// Feeds arbitrary bytes to the settings reader and puts every value read to the use
// start-up puts it to: the chart's diameter and side, the window fit on the stored
// screen, the picker commands on the stored layouts, the observer's horizon, the
// readouts at the stored precisions, the spot and its area. Then the values must write
// and read back the same.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "core/chart/chart_geometry.h"
#include "core/chart/sunspot.h"
#include "core/ephemeris/horizon.h"
#include "core/ephemeris/solar_position.h"
#include "core/layout/picker_layout.h"
#include "core/readouts/readouts.h"
#include "core/settings/settings_file.h"
#include "core/text/numeric_text.h"

namespace {

using namespace zorva;

// The group box the pickers sit in, as the window lays it out.
constexpr GroupSpan kPickerGroup{8, 325};
// Enough presses of each Display item to run a layout into its limits.
constexpr int kPresses = 40;

void Check(bool ok) {
    if (!ok) std::abort();
}

void CheckText(const std::string& text) {
    Check(text.find("nan") == std::string::npos && text.find("inf") == std::string::npos);
}

// The chart diameter the start-up command gives, in millimetres.
double StartupDiameter(const SettingsLoad& load) {
    switch (load.diameterCommand) {
    case DiameterCommand::Othermm:
    case DiameterCommand::Otherin: {
        const auto value = NumericValue(load.diamBoxText);
        Check(value.has_value());
        return TypedDiameterMm(*value,
                               load.diameterCommand == DiameterCommand::Otherin ? "in" : "mm");
    }
    case DiameterCommand::None:
        return ChartGeometry{}.ChartDiameter;
    default:
        return DiameterItems[static_cast<std::size_t>(load.diameterCommand)].DiameterMm;
    }
}

// Every Display command pressed on a stored layout, as a user may do at once.
void PressPickerItems(DateLayout layout) {
    PickerWidthChange state{layout};
    for (int i = 0; i < kPresses; ++i) {
        if (state.increaseDateEnabled)
            state = IncreaseDateWindow(state.layout, kPickerGroup, state);
        if (state.increaseTimeEnabled)
            state = IncreaseTimeWindow(state.layout, kPickerGroup, state);
    }
    for (int i = 0; i < kPresses; ++i) {
        if (state.decreaseDateEnabled) state = DecreaseDateWindow(state.layout, state);
        if (state.decreaseTimeEnabled) state = DecreaseTimeWindow(state.layout, state);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    const SettingsLoad load = ReadSettings(in);
    const Settings& s = load.settings;
    Check(s.FlipSign == 1 || s.FlipSign == -1);
    Check(s.MirrorSign == 1 || s.MirrorSign == -1);

    ChartGeometry g;
    g.FlipSign = s.FlipSign;
    g.MirrorSign = s.MirrorSign;
    if (load.orientation) g.Mode = *load.orientation;
    g.ChartDiameter = StartupDiameter(load);
    Check(IsUsableChartDiameter(g.ChartDiameter));
    const int32_t side = ChartSide(g.ChartDiameter);
    Check(side >= 1);
    LimbCutoff(g.ChartDiameter);
    const WindowFit fit = FitWindowToChart(side, side, s.ScreenWidth, s.ScreenHeight);
    Check(fit.width > 0 && fit.height > 0 && fit.left >= 0 && fit.top >= 0);

    PressPickerItems(s.ShortDateLayout);
    PressPickerItems(s.LongDateLayout);

    Observer observer{s.ObserverLat, s.ObserverLong};
    Check(observer.latitude >= -90 && observer.latitude <= 90);
    Check(observer.longitude >= -180 && observer.longitude <= 180);
    const Instant noon{2026, 3, 20, 12, 0, 0};
    const DailyRecord day = ComputeDailyRecord(noon.year, noon.month, noon.day);
    Ephemeris e{day.RA, day.Dec,         day.B0,          day.L0,
                day.P,  day.DiamMinutes, day.DiamSeconds, day.Rotation};
    ComputeHorizon(noon, observer, e);
    Check(std::isfinite(e.Altitude) && std::isfinite(e.Azimuth) &&
          std::isfinite(e.ParallacticAngle));

    const ReadoutPrecisions precisions = ReadoutPrecisionsOf(s);
    const PositionReadouts p = PositionReadoutTexts(e, precisions, g.Mode);
    const SolarParameterReadouts sp = SolarParameterTexts(e, precisions);
    for (const std::string* text :
         {&p.RALabel.text, &p.DecLabel.text, &p.AltLabel.text, &p.AziLabel.text, &p.PALabel.text,
          &sp.B0Label.text, &sp.L0Label.text, &sp.PLabel.text, &sp.DiamLabel}) {
        CheckText(*text);
    }

    SpotState spot;
    spot.SpotX = g.ChartDiameter / 4;
    spot.SpotSize = 1;
    spot.GridCellArea = s.GridMm ? MmGridCellArea : InchGridCellArea;
    spot.LatLongPrecision = s.LatLongPrecision;
    spot.AreaPrecision = s.AreaPrecision;
    LocateSpot(spot, g, e);
    CheckText(ComputeSpotArea(spot, g.ChartDiameter).Text);
    const SpotReadouts texts = UpdateSpotReadouts(spot);
    CheckText(texts.LatText);
    CheckText(texts.LongText);

    // Whatever was read, its file reads back to the same values; only a diameter at an edge
    // of the drawable sizes can round past it at six digits and come back as 150 mm.
    const std::string text = SettingsFileText(s);
    std::istringstream again(text);
    const SettingsLoad back = ReadSettings(again);
    if (!back.diameterAbsent && SettingsFileText(back.settings) != text) std::abort();
    return 0;
}
