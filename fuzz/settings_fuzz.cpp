// Feeds arbitrary bytes to the settings reader and starts an observation session from what
// it read, as the window's start-up does: the chart's diameter and side, the window fit on
// the stored screen, the observer's horizon, the readouts at the stored precisions, the
// spot and its area. Then the picker commands run on the stored layouts, and the settings
// the session would save must read back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "core/ephemeris/year_tables.h"
#include "core/present/presentation.h"
#include "core/session/session.h"
#include "core/settings/settings_file.h"

namespace {

using namespace zorva;

// No year file lives here: the day's table is the built-in or computed one.
const char* const kNoFiles = "/nonexistent-zorva-fuzz-folder";
const CalendarDate kToday{2026, 3, 20};
// Enough presses of each Display item to run a layout into its limits.
constexpr int kPresses = 40;

void Check(bool ok) {
    if (!ok) std::abort();
}

void CheckText(const std::string& text) {
    Check(text.find("nan") == std::string::npos && text.find("inf") == std::string::npos);
}

void CheckReadouts(const ReadoutView& r) {
    for (const std::string* text :
         {&r.position.RALabel.text, &r.position.DecLabel.text, &r.position.AltLabel.text,
          &r.position.AziLabel.text, &r.position.PALabel.text, &r.parameters.B0Label.text,
          &r.parameters.L0Label.text, &r.parameters.PLabel.text, &r.parameters.DiamLabel,
          &r.spot.LatText, &r.spot.LongText, &r.areaText}) {
        CheckText(*text);
    }
}

void CheckFit(const Session& session) {
    const WindowFit fit = session.Chart().Fit();
    Check(fit.width > 0 && fit.height > 0 && fit.left >= 0 && fit.top >= 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    LoadedSettingsFiles loaded;
    loaded.settings = ReadSettings(in);
    const Settings& s = loaded.settings.settings;
    Check(s.FlipSign == 1 || s.FlipSign == -1);
    Check(s.MirrorSign == 1 || s.MirrorSign == -1);

    Session session{YearTables(std::filesystem::path(kNoFiles))};
    session.Start(loaded, kToday);
    Check(IsUsableChartDiameter(session.Chart().geometry().ChartDiameter));
    Check(session.Chart().ChartSidePixels() >= 1);
    CheckFit(session);
    const Observer& observer = session.Observing().observation().observer;
    Check(observer.latitude >= -90 && observer.latitude <= 90);
    Check(observer.longitude >= -180 && observer.longitude <= 180);
    CheckReadouts(PresentReadouts(session));

    // Each Display width item pressed while it is enabled, on both stored layouts.
    const auto enabled = [&session](PickerWidthCommand command) {
        const PickerWidths& p = session.Observing().pickers();
        switch (command) {
        case PickerWidthCommand::IncreaseDate:
            return p.increaseDateEnabled;
        case PickerWidthCommand::IncreaseTime:
            return p.increaseTimeEnabled;
        case PickerWidthCommand::DecreaseDate:
            return p.decreaseDateEnabled;
        case PickerWidthCommand::DecreaseTime:
            return p.decreaseTimeEnabled;
        }
        return false;
    };
    for (const bool dateLong : {s.DateLong, !s.DateLong}) {
        session.ChooseOption(dateLong ? "DateLong" : "DateShort");
        for (const PickerWidthCommand command :
             {PickerWidthCommand::IncreaseDate, PickerWidthCommand::IncreaseTime,
              PickerWidthCommand::DecreaseDate, PickerWidthCommand::DecreaseTime}) {
            for (int i = 0; i < kPresses && enabled(command); ++i)
                session.Observing().ChangePickerWidth(command);
        }
    }
    CheckFit(session);

    // What the session would save reads back to the same values, unless a value left the
    // usable range (a narrow stored picker narrowed again) and reads back as its default.
    const std::string text = SettingsFileText(session.CurrentSettings());
    std::istringstream again(text);
    const SettingsLoad back = ReadSettings(again);
    if (back.error.empty()) Check(SettingsFileText(back.settings) == text);
    return 0;
}
