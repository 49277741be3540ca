#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/chart/chart_geometry.h"
#include "core/chart/chart_scene.h"
#include "core/chart/rotation_markers.h"
#include "core/chart/sunspot.h"
#include "core/ephemeris/calendar.h"
#include "core/ephemeris/daily_table.h"
#include "core/ephemeris/horizon.h"
#include "core/ephemeris/year_tables.h"
#include "core/images/hand_disk.h"
#include "core/images/picture_context.h"
#include "core/images/picture_north.h"
#include "core/layout/picker_layout.h"
#include "core/logfile/logfile.h"
#include "core/logfile/measurements.h"
#include "core/measure/pointer.h"
#include "core/measure/separation.h"
#include "core/options/option_table.h"
#include "core/options/recent_files.h"
#include "core/readouts/readouts.h"
#include "core/session/carry.h"
#include "core/session/chart_part.h"
#include "core/session/edit_box.h"
#include "core/session/instant_step.h"
#include "core/session/logbook.h"
#include "core/session/messages.h"
#include "core/session/observation_part.h"
#include "core/session/picture_part.h"
#include "core/session/records_part.h"
#include "core/session/spots_part.h"
#include "core/session/summary_part.h"
#include "core/settings/directory_file.h"
#include "core/settings/settings_file.h"
#include "core/settings/settings_store.h"
#include "core/spots/region_match.h"
#include "core/spots/spot_report.h"
#include "core/spots/spot_review.h"
#include "core/spots/spot_types.h"
#include "core/srs/region_positions.h"
#include "core/srs/srs_link.h"
#include "core/srs/srs_reader.h"
#include "core/srs/summary_age.h"

namespace zorva {

// What the menus show that is no option kept from one run to the next.
struct DisplayState {
    bool SolarRegionSummary = false;
    bool LinkWithDate = false;
    bool Arc1 = false; // separation within the disk
    bool Arc2 = false; // separation outside the disk
};

// The whole observation the window shows, made of its parts: the instant and observer
// (Observing), the chart (Chart), an opened picture (Picture) and its sunspots (Spots), the
// region summary (Summaries) and the logfile with the recent files (Records), each with its
// own commands. The session itself keeps what they all measure on: the spot and its markers,
// the separation, the edit boxes and the options. Each command changes the state and nothing
// else; what is shown is worked out from the state alone (core/present), so it can never
// drift from it.
class Session {
    friend class ChartPart;
    friend class ObservationPart;
    friend class PicturePart;
    friend class RecordsPart;
    friend class SummaryPart;
    friend class SpotsPart;

  public:
    // `tables` is where the daily records come from, `search` how spots are found (none: the
    // spots are not searched for).
    explicit Session(YearTables tables, SpotSearch search = {});
    // Its parts hold on to each other: a session stays where it was made.
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Start-up: the options read from the settings and directory files, today's date at
    // 12:00:00 UT, the ephemeris, the stored diameter and grid size, a spot at the centre
    // and no separation.
    void Start(const LoadedSettingsFiles& loaded, const CalendarDate& today);

    // Typing into an edit box: the text is kept, and its value is taken when it is usable.
    void EditText(EditBox box, const std::string& text);
    // Focus leaves a box: a text that is not the value in use gives way to it.
    void LeaveBox(EditBox box);
    const std::string& BoxText(EditBox box) const;
    BoxStatus StatusOf(EditBox box) const;

    // A click on a menu item that shows an option (core/options/options.h): the option
    // takes the value the item gives, and what it is shown with follows. An item no option
    // has changes nothing.
    void ChooseOption(std::string_view item);

    // Separation commands.
    void ToggleArc(bool withinDisk);

    // A mouse-down on the chart, or on the opened picture, at pixel (X, Y). A control-click
    // asks for the logfile line, which the window adds with AddToLogfile.
    void ChartMouseDown(bool left, bool shift, bool ctrl, int32_t X, int32_t Y);
    void ImageMouseDown(bool left, bool shift, bool ctrl, int32_t X, int32_t Y);

    // The instant and the observer (core/session/observation_part.h).
    ObservationPart& Observing() { return observing_; }
    const ObservationPart& Observing() const { return observing_; }
    // The chart and how pictures lie (core/session/chart_part.h).
    ChartPart& Chart() { return chart_; }
    const ChartPart& Chart() const { return chart_; }
    // The options of the program's own options file, read at start-up.
    void ApplyOptionsFile(const std::map<std::string, std::string>& entries);
    // The picture shown in the chart's place (core/session/picture_part.h).
    PicturePart& Picture() { return picture_; }
    const PicturePart& Picture() const { return picture_; }
    // The sunspots on the shown picture, the search and the review (core/session/spots_part.h).
    SpotsPart& Spots() { return spots_; }
    const SpotsPart& Spots() const { return spots_; }

    // The logfile and its measurements, and the recent files (core/session/records_part.h).
    RecordsPart& Records() { return records_; }
    const RecordsPart& Records() const { return records_; }

    // An option that holds a line of text (the record's file, the observer's code), set by its
    // name in the option table; false, and nothing changed, for a name of no such option.
    bool SetTextOption(std::string_view name, const std::string& value);

    // The Solar Region Summary shown (core/session/summary_part.h).
    SummaryPart& Summaries() { return summaries_; }
    const SummaryPart& Summaries() const { return summaries_; }

    // The welcome window's tick.
    void SetHideWelcome(bool hide) { options_.HideWelcome = hide; }

    // Messages that need an answer, oldest first; taking them forgets them.
    std::vector<Notice> TakeNotices() { return messages_.TakeNotices(); }
    // The latest passing word for the status bar, and a count that rises with each, so the
    // same words said again are shown again.
    const std::string& Status() const { return messages_.Status(); }
    uint64_t StatusCount() const { return messages_.StatusCount(); }

    // State, read by the presentation and by tests.
    // The geometry measured in now: the chart's, or the shown picture's.
    ChartGeometry Geometry() const;
    // The frame of the chart or of the shown picture's disk: where clicks land.
    DiskFrame CurrentFrame() const;
    const SpotState& spot() const { return spot_; }
    const MarkerState& markers() const { return markers_; }
    // The markers stand aside for the plain spot until the next change of time.
    bool MarkersAside() const { return markersAside_; }
    const SeparationState& separation() const { return sep_; }
    // The form of the separation's figure, while one is shown.
    std::optional<FigureForm> SeparationFigureForm() const;
    // Every option kept from one run to the next, as the user set it.
    const Options& options() const { return options_; }
    const DisplayState& display() const { return display_; }
    FigureForm SeparationForm() const;
    // The area label's left edge: a four-digit area moves it, and it stays there.
    int32_t AreaLeft() const { return areaLeft_; }
    const Folders& folders() const { return folders_; }
    double ChartRotationNow() const;

    // The settings file's values as they would be written now.
    Settings CurrentSettings() const;

  private:
    void RecalcTail(const Instant& previous, int foldLimit);
    // The area of the spot for the geometry in use, and the area label's place.
    void Settle();
    void ResetSpot();
    // The size belongs to the disk and the spot it was measured on: none once either changes.
    void ForgetSpotSize();
    void MouseDown(bool left, bool shift, int32_t X, int32_t Y);
    void HoldRotationMarkers();
    void AfterGeometryChange();
    // With a separation mode on and "Spot in Middle", the spot goes to the figure's middle.
    void FollowSeparation();
    void MoveSpotToMiddle(FigureForm form);
    void SetSpotFromProgram(double x, double y);
    void TakeSpotCoordinate(EditBox box, double value);
    // The status line says how a shown picture lies and why.
    void SayOrientation();
    void ApplySettings(const SettingsLoad& load);
    void ApplyGridSize(bool mm);
    // What follows a change of an option from its menu.
    void AfterOption(const OptionRow& row);
    void Say(std::string status);
    std::string& Text(EditBox box);

    ObservationPart observing_;
    Options options_;
    ChartPart chart_{*this};
    DisplayState display_;
    SpotState spot_;
    MarkerState markers_;
    bool markersAside_ = false;
    SeparationState sep_;
    FigureForm figureForm_ = FigureForm::LongitudeArc;
    int32_t areaLeft_ = kDesignAreaLeft;
    Folders folders_;
    std::string boxTexts_[kEditBoxCount];
    Messages messages_;
    SummaryPart summaries_{*this};
    RecordsPart records_{*this};
    PicturePart picture_{*this};
    SpotsPart spots_;

    static constexpr int32_t kDesignAreaLeft = 192;
};

} // namespace zorva
