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
#include "core/session/edit_box.h"
#include "core/session/instant_step.h"
#include "core/session/logbook.h"
#include "core/session/messages.h"
#include "core/session/picture_part.h"
#include "core/session/spots_part.h"
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

// The instant, the observer and the Sun's ephemeris for them, with where the instant's year
// table came from.
struct Observation {
    Instant instant;
    Observer observer;
    int32_t TableYear = 0;
    int32_t TableDays = 0;
    YearTableSource TableSource; // where the table came from, and what was wrong with it
    Ephemeris ephemeris;
};

// What the menus show that is no option kept from one run to the next.
struct DisplayState {
    bool SolarRegionSummary = false;
    bool LinkWithDate = false;
    bool Arc1 = false; // separation within the disk
    bool Arc2 = false; // separation outside the disk
};

// Which of the four picker width items are enabled.
struct PickerWidths {
    bool increaseDateEnabled = true;
    bool increaseTimeEnabled = true;
    bool decreaseDateEnabled = true;
    bool decreaseTimeEnabled = true;
};

// The loaded Solar Region Summary: its regions, when their places hold, and what carries
// their longitudes onto the observation's own L0.
struct RegionSummary {
    bool Loaded = false;   // a summary was loaded by either command; never cleared
    bool LoadSRS1 = false; // the "Load SRS..." item's check
    std::shared_ptr<const std::vector<SrsRegion>> Regions =
        std::make_shared<const std::vector<SrsRegion>>();
    Instant Epoch;
    double Offset = 0;
    std::string FileName;
    std::optional<std::size_t> Highlight; // the region chosen in the table
    SrsDate FileDate;                     // the date the summary is issued for
    // Link with Date found no summary for the date: what was looked for and where. The
    // region table says so rather than show a Wolf number of a day without spots.
    std::string Missing;
    CalendarDate MissingDate; // the date it was looked for
};

// The diameter menu's chosen item and the unit of the diameter box.
struct DiameterChoice {
    int32_t item = -1; // index into DiameterItems, -1 while none is checked
    LengthUnit unit = LengthUnit::Mm;
    bool boxReadOnly = true; // only a typed diameter of a shown chart can be edited
};

// The four picker width commands.
enum class PickerWidthCommand { IncreaseDate, DecreaseDate, IncreaseTime, DecreaseTime };

// The whole observation the window shows: the instant and observer, the ephemeris, the
// chart and its orientation, the spot and its markers, the separation, an opened picture,
// the region summary, the display options the menus show and the logfile. Each command
// changes the state and nothing else; what is shown is worked out from the state alone
// (core/present), so it can never drift from it.
class Session {
    friend class PicturePart;
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

    // The recalculation cycle, run by a change of the date or the time. A spun picker
    // field that wrapped is carried into the next field; a date or time set outright is
    // taken as it is.
    void ChangeDate(const CalendarDate& picked, bool spun);
    void ChangeTime(const TimeOfDay& picked, bool spun);
    // The instant set outright (the clock's "now", a picture's own): taken as it stands,
    // without the carry of a spun picker, and the cycle run once. An instant that is no
    // date and time of the pickers' years changes nothing; the answer says whether it was
    // taken.
    bool SetInstant(const Instant& instant);
    // The step keys: the instant `count` minutes, hours or days on (back when negative),
    // carried through the day, month and year as a spun picker carries.
    void StepInstantBy(StepUnit unit, int32_t count);
    // The cycle for the same instant (colour and label commands of the markers).
    void Recalculate();

    // Typing into an edit box: the text is kept, and its value is taken when it is usable.
    void EditText(EditBox box, const std::string& text);
    // Focus leaves a box: a text that is not the value in use gives way to it.
    void LeaveBox(EditBox box);
    const std::string& BoxText(EditBox box) const;
    BoxStatus StatusOf(EditBox box) const;

    // Chart commands.
    void ChooseDiameter(int32_t item); // index into DiameterItems
    void Flip();
    void Mirror();
    void ChooseOrientation(Orientation mode);
    // 1..7 of ScreenItems: the window is laid out for that screen, at its size.
    void ChooseScreen(int32_t item);
    // The window's size as it closes, kept for the next start.
    void RememberWindowSize(int32_t width, int32_t height);

    // A click on a menu item that shows an option (core/options/options.h): the option
    // takes the value the item gives, and what it is shown with follows. An item no option
    // has changes nothing.
    void ChooseOption(std::string_view item);

    // Display commands.
    void ChangePickerWidth(PickerWidthCommand command);

    // Separation commands.
    void ToggleArc(bool withinDisk);

    // A mouse-down on the chart, or on the opened picture, at pixel (X, Y). A control-click
    // asks for the logfile line, which the window adds with AddToLogfile.
    void ChartMouseDown(bool left, bool shift, bool ctrl, int32_t X, int32_t Y);
    void ImageMouseDown(bool left, bool shift, bool ctrl, int32_t X, int32_t Y);

    // The options of the program's own options file, read at start-up.
    void ApplyOptionsFile(const std::map<std::string, std::string>& entries);
    // The picture shown in the chart's place (core/session/picture_part.h).
    PicturePart& Picture() { return picture_; }
    const PicturePart& Picture() const { return picture_; }
    // The sunspots on the shown picture, the search and the review (core/session/spots_part.h).
    SpotsPart& Spots() { return spots_; }
    const SpotsPart& Spots() const { return spots_; }

    // The logfile in use and the Measurements window's table (core/session/logbook.h).
    Logbook& logbook() { return logbook_; }
    const Logbook& logbook() const { return logbook_; }
    // One more line: the measurement of the spot shown.
    LogResult AddToLogfile();
    // A row chosen in the table: its instant is set, and its spot shown where it was
    // measured, on the chart or picture now shown.
    void ShowMeasurement(std::size_t index);

    // File > Open Recent: the lists are options, kept in the options file.
    void RememberFile(RecentKind kind, const std::string& path);
    void ForgetFile(RecentKind kind, const std::string& path);
    void ClearRecentFiles();
    const std::vector<std::string>& RecentFiles(RecentKind kind) const;
    // An option that holds a line of text (the record's file, the observer's code), set by its
    // name in the option table; false, and nothing changed, for a name of no such option.
    bool SetTextOption(std::string_view name, const std::string& value);

    // Solar Region Summaries. "Load SRS..." checks its item before the dialog (and keeps it
    // when the dialog is cancelled); a chosen file is then read. Link with Date loads the
    // summary of the date; the Display item shows or hides the regions.
    void PrepareLoadSummary();
    void LoadSummary(const std::string& path);
    void LinkWithDate();
    void ToggleRegionSummary();
    void HighlightRegion(int index); // -1 for none
    const RegionSummary& summary() const { return srs_; }

    // The welcome window's tick.
    bool HideWelcome() const { return options_.HideWelcome; }
    void SetHideWelcome(bool hide) { options_.HideWelcome = hide; }

    // Messages that need an answer, oldest first; taking them forgets them.
    std::vector<Notice> TakeNotices() { return messages_.TakeNotices(); }
    // The latest passing word for the status bar, and a count that rises with each, so the
    // same words said again are shown again.
    const std::string& Status() const { return messages_.Status(); }
    uint64_t StatusCount() const { return messages_.StatusCount(); }

    // State, read by the presentation and by tests.
    const Observation& observation() const { return obs_; }
    // The chart as the user set it up, whatever picture is shown.
    ChartGeometry chart() const;
    // The geometry measured in now: the chart's, or the shown picture's.
    ChartGeometry Geometry() const;
    // How a picture whose file says nothing lies: the orientation chosen for pictures.
    ChartGeometry PictureOrientation() const;
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
    const PickerWidths& pickers() const { return pickers_; }
    const DateLayout& PickerLayout() const;
    const DiameterChoice& diameter() const { return diameter_; }
    // The area label's left edge: a four-digit area moves it, and it stays there.
    int32_t AreaLeft() const { return areaLeft_; }
    const Folders& folders() const { return folders_; }
    // Side in pixels of the square chart image.
    int32_t ChartSidePixels() const { return ChartSide(chartDiameter_); }
    // The window size, place and scroll bars the layout rule gives for the chart.
    WindowFit Fit() const;
    CalendarDate Date() const;
    TimeOfDay Time() const;
    // The chart is shown, or a picture in its place.
    bool ChartShown() const { return !picture_.Shown(); }
    double ChartRotationNow() const;

    // The settings file's values as they would be written now.
    Settings CurrentSettings() const;

  private:
    void LoadTableYear(int32_t year);
    void UpdateEphemeris();
    void RecalcTail(const Instant& previous, int foldLimit);
    // The area of the spot for the geometry in use, and the area label's place.
    void Settle();
    void ResetSpot();
    // The size belongs to the disk and the spot it was measured on: none once either changes.
    void ForgetSpotSize();
    // The instant set without being the user's word on a picture's (SetInstant's own work).
    bool MoveInstant(const Instant& instant);
    void MouseDown(bool left, bool shift, int32_t X, int32_t Y);
    void HoldRotationMarkers();
    void AfterGeometryChange();
    // With a separation mode on and "Spot in Middle", the spot goes to the figure's middle.
    void FollowSeparation();
    void MoveSpotToMiddle(FigureForm form);
    void SetSpotFromProgram(double x, double y);
    void TakeSpotCoordinate(EditBox box, double value);
    void FlipOrMirror(bool flip);
    // The status line says how a shown picture lies and why.
    void SayOrientation();
    void ApplyFixedDiameter(const DiameterItem& item);
    void ApplyTypedDiameter();
    bool OtherDiameter(int32_t item);
    void ApplyStartupDiameter(const SettingsLoad& load);
    void ApplySettings(const SettingsLoad& load);
    void ApplyGridSize(bool mm);
    // What follows a change of an option from its menu.
    void AfterOption(const OptionRow& row);
    void FollowDate(bool asked);
    void TakeSummary(const SrsSummary& summary, const std::string& fileName);
    void DropRegions();
    // Says on the status line how far the summary shown lies from the instant, once for
    // each distance, while it is more than a day.
    void SayRegionsAge();
    std::optional<DiskPoint> LineSpot(const LogfileRecord& r, const ChartGeometry& now) const;
    void Say(std::string status);
    std::string& Text(EditBox box);

    YearTables tables_;
    Observation obs_;
    Options options_;
    double chartDiameter_ = 150; // millimetres, whatever the unit shown
    DisplayState display_;
    DiameterChoice diameter_;
    SpotState spot_;
    MarkerState markers_;
    bool markersAside_ = false;
    SeparationState sep_;
    FigureForm figureForm_ = FigureForm::LongitudeArc;
    PickerWidths pickers_;
    int32_t areaLeft_ = kDesignAreaLeft;
    Instant startInstant_; // the day the program started, at 12:00 UT
    RegionSummary srs_;
    MissingSrsNotice missingSrs_;
    Folders folders_;
    std::string boxTexts_[kEditBoxCount];
    Messages messages_;
    Logbook logbook_{messages_, folders_, options_.RecentLogfiles};
    std::string ageSaid_; // the summary's distance last said
    PicturePart picture_{*this};
    SpotsPart spots_;

    static constexpr int32_t kDesignAreaLeft = 192;
};

} // namespace zorva
