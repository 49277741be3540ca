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

// An opened picture: where it came from, what is known of it, and the name it was last
// saved under.
struct OpenedPicture {
    std::string path;
    PictureContext context;
    std::string savedName; // bare name of the last Save As target; empty until then
    PictureImages images;  // its pixels, held here alone
};

// The sunspots found on the open picture, what they were found in, and what of them is shown.
struct FoundSpots {
    std::shared_ptr<const SpotDetection> detection;
    // The disk's frame and the ephemeris of the search: once the disk, the instant, the
    // orientation or the observer differ, what was found belongs to another picture.
    DiskFrame frame;
    Ephemeris ephemeris;
    bool shown = false;   // every outline and group label drawn (Detect Sunspots)
    int32_t group = 0;    // the group chosen in the table, 0 for none
    int32_t spot = 0;     // the spot chosen in the table, 0 for none
    int32_t measured = 0; // the spot the last click on the picture measured, 0 for none
    // The user's review of what was found, once one is begun or read beside the picture;
    // `detection` is then its result.
    std::shared_ptr<SpotReview> review;
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
// How the spots of a picture are searched for: the spot search of the spots library, handed
// in by the program that links it, so that the session itself needs no image-processing
// library. The picture's context and the orientation chosen for pictures say how it lies.
// A search of the shown picture's spots to be run away from the window's thread: its pixels
// (held while the search runs), what the search reads, and what it was asked for.
struct SpotSearchJob {
    HeldPixels pixels;
    PictureContext context;
    ChartGeometry orientation;
    Ephemeris ephemeris;
    DiskFrame frame;
};

// How one spot is measured where the user points (MeasureSpotAt of the spots library): the
// picture's pixels, its disk's frame and ephemeris, and the point in pixels.
using SpotMeasure = std::function<SpotDetection(const PixelGrid& pixels, const DiskFrame& frame,
                                                const Ephemeris& ephemeris, double x, double y)>;
using SpotSearch =
    std::function<SpotDetection(const PixelGrid& pixels, const PictureContext& picture,
                                const ChartGeometry& orientation, const Ephemeris& ephemeris)>;

class Session {
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

    // Pictures. A picture opened from `path` and made sense of takes the chart's place;
    // its own instant, when it has one, becomes the observation's. The chart keeps its
    // own diameter and orientation; closing the picture brings it back.
    void OpenImage(const std::string& path, const PictureContext& context,
                   PictureImages images = {});
    // The limb searched again (with or without sub-pixel refinement).
    void RefitLimb(const LimbFit& fit);
    // The options of the program's own options file, read at start-up.
    void ApplyOptionsFile(const std::map<std::string, std::string>& entries);
    void CloseImage();
    // The shown picture, or the chart, was saved as `path`; Save Image writes there again.
    void ImageSaved(const std::string& path);
    const std::string& SavedImageName() const;
    // The disk given by hand on the shown picture. Start opens a draft (the picture keeps
    // its disk until one is taken); the pointer's press, moves with the button down and
    // release, in picture pixels, drag a circle from its centre or click limb points
    // (core/images/hand_disk.h); Nudge moves and resizes it; Accept takes it as the
    // picture's disk, Cancel drops the draft. Clicks on the picture do nothing else while
    // the draft is open.
    void StartHandDisk();
    void HandDiskPress(double x, double y, double clickReach);
    void HandDiskDrag(double x, double y);
    void HandDiskRelease(double x, double y);
    void HandDiskNudge(double dx, double dy, double dr);
    void AcceptHandDisk();
    void CancelHandDisk();
    const std::optional<HandDiskDraft>& HandDisk() const { return handDisk_; }
    // What a camera clock without an offset keeps, minutes ahead of UT, for the pictures
    // opened from now on; a value outside -840..840 changes nothing.
    void SetCameraClockOffset(int32_t minutes);

    // A photograph's instant and how it lies (session_photo.cpp). A picture whose file gives
    // no instant, or none for certain, waits for the user's: it is shown at the instant
    // offered (what the file gives, else the instant in use unless another picture gave it,
    // else the day the program started at 12:00 UT), and nothing is measured on it until
    // the instant is given (SetInstant, or the date and time changed while it is shown).
    bool PictureAwaitsInstant() const;
    // What the question about the instant says: what the file gives and what is offered.
    std::string InstantQuestion() const;
    // The picture turned as the user says, or as the drift or the day's regions say; a
    // preview given up goes back with the turn and source it had (`turn` none: the file's
    // or the orientation chosen for pictures).
    void OrientPicture(const std::optional<PictureTurn>& turn, OrientationSource source);
    // North from the drift drawn on the picture: a press where a spot or limb point was, a
    // drag along its drift with the drive off, a release where it drifted to. While the
    // line is drawn, clicks on the picture do nothing else. TurnByDrift turns the picture
    // by the line drawn, east as `east` says, and ends the drawing.
    void StartDrift();
    void DriftPress(double x, double y);
    void DriftDrag(double x, double y);
    // True when the line drawn is long enough to show a direction.
    bool DriftRelease(double x, double y);
    void CancelDrift();
    const std::optional<DriftLine>& Drift() const { return drift_; }
    void TurnByDrift(EastSense east);
    // The same from the disk's drift between the shown picture and `later`, taken seconds
    // after it with the drive off; false (and the status line says why) when it shows none.
    bool TurnByDriftTo(const PictureContext& later, EastSense east);
    // North solved from the loaded summary's regions at the picture's instant, laid on the
    // groups the spot search finds on the picture, as the command line's spots --orientation
    // solve does; the picture takes it when it is found. Lives with the spot search.
    NorthSolution SolveOrientation();

    // Sunspots on the shown picture. The search runs on its pixels as shown, colours and all
    // (as the command line's spots does), with the picture's disk, instant and
    // orientation; `show` draws every outline and group label. Spots already found for the
    // picture as it stands are kept, not searched again. A plain click on the picture
    // searches them first (or, with the search in the background, measures the spot it
    // falls on alone until the search ends), and a click on a found spot measures it: its
    // outline is drawn and
    // its area becomes the spot's size. A review kept beside the picture stands for what
    // the search found.
    void DetectSunspots(bool show = true);
    // Spots found for the picture as it stands (none once its disk, instant or turn changed).
    bool SpotsFound() const;
    const std::optional<FoundSpots>& spots() const { return spots_; }
    // A row chosen in the Sunspots table: a group, or a spot (0 for none).
    void ChooseSpotGroup(int32_t group);
    void ChooseSpot(int32_t spot);
    // The found groups matched with the loaded summary's regions at the instant; nothing
    // without found spots or a summary.
    std::optional<RegionMatching> SpotRegions() const;
    // What an export of the found spots tells, as the command line's spots tells it.
    SpotReport SpotsReport() const;

    // The review of the found spots: each step changes what is shown, counted and exported,
    // can be undone, and is kept beside the picture (PICTURE.spots.json), where the next
    // search of the same picture finds it again. Spots and groups are named by the ids
    // shown. Nothing changes without found spots; the status line says what was done.
    void SetSpotMeasure(SpotMeasure measure) { measure_ = std::move(measure); }
    // The search run by the program in the background (SetBackgroundSpotSearch): a plain
    // click before it ends measures the spot it falls on alone (with the measure handed in),
    // and the search's spots are taken when they come, if the picture still stands as it
    // did. TakeSpotSearchJob gives the search the shown picture wants, once.
    void SetBackgroundSpotSearch(bool on) { background_ = on; }
    std::optional<SpotSearchJob> TakeSpotSearchJob();
    void SpotsSearched(const SpotSearchJob& job, SpotDetection found);
    // The spot a click measured alone while the search ran.
    const std::optional<FoundSpots>& clickedSpot() const { return clicked_; }
    void RemoveSpot(int32_t spot);
    void RemoveSpotGroup(int32_t group);
    void MergeSpotGroups(int32_t group, int32_t other);
    // The spot leaves its group for a group of its own.
    void SplitSpotOff(int32_t spot);
    // The next plain click on the picture adds the spot it falls on, measured there.
    void StartAddingSpot();
    bool AddingSpot() const { return addingSpot_; }
    void NumberSpotGroup(int32_t group, int32_t noaa);
    // The region of the loaded summary the group matches, 0 for none.
    int32_t SuggestedRegionNumber(int32_t group) const;
    void MarkDiskSpotless();
    bool CanUndoReview() const;
    void UndoReviewStep();

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
    const std::optional<OpenedPicture>& picture() const { return picture_; }
    const Folders& folders() const { return folders_; }
    // Side in pixels of the square chart image.
    int32_t ChartSidePixels() const { return ChartSide(chartDiameter_); }
    // The window size, place and scroll bars the layout rule gives for the chart.
    WindowFit Fit() const;
    CalendarDate Date() const;
    TimeOfDay Time() const;
    // The chart is shown, or a picture in its place.
    bool ChartShown() const { return !picture_; }
    bool ImageShown() const { return picture_.has_value(); }
    // The picture shown has a disk to measure on.
    bool PictureHasDisk() const { return picture_ && picture_->context.disk.has_value(); }
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
    // The instant a picture opened with gives, or the one offered for it.
    void TakePictureInstant();
    // The instant set without being the user's word on a picture's (SetInstant's own work).
    bool MoveInstant(const Instant& instant);
    // The user changed the instant: a picture shown takes it as given.
    void InstantGiven();
    // Says on the status line what a picture awaiting its instant lacks; true when it does.
    bool RefuseWithoutInstant();
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
    void UpdateMeasurements();
    void ForgetStaleSpots();
    void MeasureSpotAt(int32_t X, int32_t Y);
    void MeasureSpotIn(FoundSpots& found, int32_t X, int32_t Y);
    void MeasureSpotAlone(int32_t X, int32_t Y);
    bool StandsAsSearched(const SpotSearchJob& job) const;
    void AddSpotAt(int32_t X, int32_t Y);
    // Takes the review kept beside the picture for the spots just found, if there is one.
    void TakeKeptReview();
    SpotReview& BeginReview();
    void Reviewed(const ReviewOutcome& outcome, const std::string& what);
    std::optional<DiskPoint> LineSpot(const LogfileRecord& r, const ChartGeometry& now) const;
    void Say(std::string status);
    std::string& Text(EditBox box);

    YearTables tables_;
    SpotSearch search_;
    SpotMeasure measure_;
    bool background_ = false;
    std::optional<SpotSearchJob> pending_; // the search running in the background
    std::optional<FoundSpots> clicked_;
    int32_t clickX_ = 0, clickY_ = 0;
    bool addingSpot_ = false;
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
    std::optional<OpenedPicture> picture_;
    std::optional<HandDiskDraft> handDisk_; // open while a disk is being given by hand
    std::optional<DriftLine> drift_;        // open while a drift is being drawn
    Instant startInstant_;                  // the day the program started, at 12:00 UT
    bool instantOfPicture_ = false;         // the instant in use is a picture's
    std::optional<FoundSpots> spots_;
    std::string chartSavedName_;
    RegionSummary srs_;
    MissingSrsNotice missingSrs_;
    Folders folders_;
    std::string boxTexts_[kEditBoxCount];
    Messages messages_;
    Logbook logbook_{messages_, folders_, options_.RecentLogfiles};
    std::string ageSaid_; // the summary's distance last said

    static constexpr int32_t kDesignAreaLeft = 192;
};

} // namespace zorva
