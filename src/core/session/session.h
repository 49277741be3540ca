#pragma once

#include <cstdint>
#include <filesystem>
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
#include "core/images/fits_header.h"
#include "core/images/image_state.h"
#include "core/layout/picker_layout.h"
#include "core/measure/pointer.h"
#include "core/measure/separation.h"
#include "core/readouts/readouts.h"
#include "core/session/carry.h"
#include "core/session/edit_box.h"
#include "core/session/instant_step.h"
#include "core/session/picture.h"
#include "core/settings/directory_file.h"
#include "core/settings/settings_file.h"
#include "core/settings/settings_store.h"
#include "core/srs/srs_link.h"

namespace zorva {

// The instant, the observer, the daily table of the instant's year and the Sun's
// ephemeris for them.
struct Observation {
    Instant instant;
    Observer observer;
    int32_t TableYear = 0;
    std::string TableFileName;
    zorva::DailyTable DailyTable{};
    int32_t TableDays = 0;
    YearTableSource TableSource; // where the table came from, and what was wrong with it
    Ephemeris ephemeris;
};

// The overlay colours and display options the menus show that belong to no other part of
// the observation.
struct DisplayOptions {
    bool NESWPoints = true;
    bool Sunspot = true;
    bool Points = false;
    bool Circle = false;
    bool RotationCarrington = false;   // the items' check marks; the markers' shown flags
    bool RotationDifferential = false; // step aside while the chart geometry changes
    MarkerLook Carrington{kColourBlack, false};
    MarkerLook Differential{kColourBlack, false};
    uint32_t SRSColour = kColourBlack;
    bool SRSFileNameLabel = false;
    bool SolarRegionSummary = false;
    bool LinkWithDate = false;
    bool Arc1 = false; // separation within the disk
    bool Arc2 = false; // separation outside the disk
    FigureForm SeparationForm = FigureForm::LongitudeArc;
    uint32_t DistColour1 = kColourBlue; // separation within the disk
    uint32_t DistColour2 = kColourRed;  // separation outside the disk
    int32_t ScreenItem = 0;             // 1..7 in the resolution menu, 0 none
    bool GridMm = true;                 // 1 by 1 mm grid rather than 1/25 in
    bool SubPixelLimb = false;          // refine the limb search to a fraction of a pixel
    int32_t LogFileMessageFlag = 0;     // 0: a message after each logfile addition
    ReadoutPrecisions precisions;
};

// Placement of the date and time pickers for each date format, and which of the four
// width items are enabled.
struct PickerLayouts {
    bool dateLong = true;
    DateLayout shortLayout = Settings{}.ShortDateLayout;
    DateLayout longLayout = Settings{}.LongDateLayout;
    bool increaseDateEnabled = true;
    bool increaseTimeEnabled = true;
    bool decreaseDateEnabled = true;
    bool decreaseTimeEnabled = true;

    const DateLayout& Current() const { return dateLong ? longLayout : shortLayout; }
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
};

// A solar image the window has opened: its limb search, and what an observatory's header
// states about it.
struct OpenedImage {
    std::string path;
    LimbFit fit;
    std::optional<Circle> headerDisk; // the disk the header's coordinates give
    std::optional<DiskOrientation> headerOrientation;
    std::optional<Instant> headerInstant;
};

// The diameter menu's chosen item and what the diameter box shows.
struct DiameterChoice {
    int32_t item = -1;       // index into DiameterItems, -1 while none is checked
    std::string unit = "mm"; // unit caption beside the box: "mm" or "in"
    bool boxReadOnly = true; // only a typed diameter of a shown chart can be edited
};

// Everything the readout labels show, as last written. A label is written at the moments
// its value is worked out, so it can lag behind a value that nothing has shown yet (the
// area after a change of orientation, say), just as the labels it stands for.
struct Readouts {
    PositionReadouts position;
    SolarParameterReadouts parameters;
    SpotReadouts spot;
    AreaReadout area;
    int32_t areaLeft = kDesignAreaLeft; // a four-digit area moves the label; it stays there
    SeparationLabels separation;

    static constexpr int32_t kDesignAreaLeft = 192;
};

// What a command changed, so the window repaints and rewrites only that.
struct Changes {
    bool chart = false;       // the chart picture
    bool image = false;       // the solar image's picture, or which of the two is shown
    bool chartSize = false;   // the chart's side, and with it the window layout
    bool readouts = false;    // label texts and places
    bool menus = false;       // check marks, enabled items and captions
    bool boxes = false;       // edit box texts and their read-only state
    bool pickers = false;     // picker values, date format and layout
    bool logRequest = false;  // a control-click asks for the measurement to be logged
    bool regions = false;     // the region list itself (for the region table)
    bool tableSource = false; // a year's table was loaded: where its numbers come from
    std::string status;       // a passing word for the status bar
    // Messages for the user, in order: a summary that could not be read or found.
    struct Notice {
        std::string text;
        std::string caption;
        bool operator==(const Notice&) const = default;
    };
    std::vector<Notice> notices;

    Changes& operator|=(const Changes& o);
    bool operator==(const Changes&) const = default;
    // Only the menus changed (a file chosen in a dialog, say).
    static Changes Menus() {
        Changes c;
        c.menus = true;
        return c;
    }
};

// What adding to the logfile came to.
enum class LogOutcome { NotOpen, NoSpot, Added, Failed };
struct LogResult {
    LogOutcome outcome = LogOutcome::NotOpen;
    std::string error; // why a write failed
};

// Grid elements toggled from the Lat/Long Lines menu.
enum class GridItem { NESWPoints, CentralMeridian, Equator, LatLines, LongLines };
// Precision groups of the Display menu.
enum class PrecisionGroup { RA, Dec, AltAzi, BLP, Diam, LatLong, Area };
// The four picker width commands.
enum class PickerWidthCommand { IncreaseDate, DecreaseDate, IncreaseTime, DecreaseTime };
enum class RotationMarker { Carrington, Differential };

// The whole observation the window shows: the instant and observer, the year's table and
// ephemeris, the chart and its orientation, the spot and its markers, the separation, the
// display options the menus show and the logfile. Each command carries out its work and
// says what must be redrawn; the window only mirrors this state.
class Session {
  public:
    // `folder` holds the year files (the working folder in the program).
    explicit Session(std::filesystem::path folder = ".");

    // Start-up: the options read from the settings and directory files, today's date at
    // 12:00:00 UT, the year's table and ephemeris, the stored diameter and grid size, a
    // spot at the centre and no separation.
    Changes Start(const LoadedSettingsFiles& loaded, const CalendarDate& today);

    // The recalculation cycle, run by a change of the date or the time. A spun picker
    // field that wrapped is carried into the next field; a date or time set outright is
    // taken as it is.
    Changes ChangeDate(const CalendarDate& picked, bool spun);
    Changes ChangeTime(const TimeOfDay& picked, bool spun);
    // The instant set outright (the clock's "now"): taken as it stands, without the carry of
    // a spun picker, and the cycle run once. An instant that is no date and time of the
    // pickers' years changes nothing.
    Changes SetInstant(const Instant& instant);
    // The step keys: the instant `count` minutes, hours or days on (back when negative),
    // carried through the day, month and year as a spun picker carries.
    Changes StepInstantBy(StepUnit unit, int32_t count);
    // The cycle for the same instant (colour and label commands of the markers).
    Changes Recalculate();

    // Typing into an edit box: the text is kept, and its value is taken when it is usable.
    Changes EditText(EditBox box, const std::string& text);
    // Focus leaves a box: a text that is not the value in use gives way to it.
    Changes LeaveBox(EditBox box);
    const std::string& BoxText(EditBox box) const;
    BoxStatus StatusOf(EditBox box) const;

    // Chart commands.
    Changes ChooseDiameter(int32_t item); // index into DiameterItems
    Changes Flip();
    Changes Mirror();
    Changes ChooseOrientation(Orientation mode);
    Changes ToggleGridItem(GridItem item);
    Changes ToggleSunspot();
    Changes ChooseScreen(int32_t item); // 1..7 of ScreenItems
    Changes ChooseGridSize(bool mm);

    // Display commands.
    Changes ChoosePrecision(PrecisionGroup group, int32_t item);
    Changes ChooseDateFormat(bool dateLong);
    Changes ChangePickerWidth(PickerWidthCommand command);
    Changes ToggleRotation(RotationMarker marker);
    Changes ChooseMarkerColour(RotationMarker marker, uint32_t colour);
    Changes ToggleMarkerLabel(RotationMarker marker);
    Changes ChooseSRSColour(uint32_t colour);
    Changes ToggleSRSFileNameLabel();
    Changes ToggleLogfileMessages();

    // Separation commands.
    Changes ToggleArc(bool withinDisk);
    Changes ToggleSeparationPath(FigureForm clicked);
    Changes ToggleSpotInMiddle();
    Changes ChooseSeparationColour(bool withinDisk, uint32_t colour);

    // A mouse-down on the chart, or on the solar image, at pixel (X, Y).
    Changes ChartMouseDown(bool left, bool shift, bool ctrl, int32_t X, int32_t Y);
    Changes ImageMouseDown(bool left, bool shift, bool ctrl, int32_t X, int32_t Y);

    // Solar images. An image was opened from `path` and its limb searched (the window has
    // loaded the picture and kept it): it takes the chart's place, sets the diameter and,
    // when the name carries one, the instant. Closing it brings the chart back.
    Changes OpenImage(const OpenedImage& opened);
    // The limb searched again (with or without sub-pixel refinement).
    Changes RefitLimb(const LimbFit& fit);
    Changes ToggleSubPixelLimb();
    void SetSubPixelLimb(bool on) { options_.SubPixelLimb = on; }
    Changes CloseImage();
    // The shown picture was saved as `path`.
    void ImageSaved(const std::string& path);
    Changes TogglePoints();
    Changes ToggleCircle();

    // The logfile: a file chosen in the New or Open dialog, and one more line.
    struct FileResult {
        bool ok = false;
        std::string error;
    };
    FileResult NewLogfile(const std::string& path);
    void OpenLogfile(const std::string& path);
    LogResult AddToLogfile();
    bool LogfileOpen() const { return logfileOpen_; }
    // The orientation the user chose, kept while an image's header sets its own.
    struct UserOrientation {
        Orientation mode = Orientation::Equatorial;
        int32_t flip = 1;
        int32_t mirror = 1;
    };
    const std::string& LogfilePath() const { return logfilePath_; }

    // Solar Region Summaries. "Load SRS..." checks its item before the dialog (and keeps it
    // when the dialog is cancelled); a chosen file is then read. Link with Date loads the
    // summary of the date; the Display item shows or hides the regions.
    Changes PrepareLoadSummary();
    Changes LoadSummary(const std::string& path);
    Changes LinkWithDate();
    Changes ToggleRegionSummary();
    Changes HighlightRegion(int index); // -1 for none
    const RegionSummary& summary() const { return srs_; }

    // The welcome window's tick.
    bool HideWelcome() const { return hideWelcome_; }
    void SetHideWelcome(bool hide) { hideWelcome_ = hide; }

    // State, read by the window and by tests.
    const Observation& observation() const { return obs_; }
    const ChartGeometry& chart() const { return chart_; }
    const SpotState& spot() const { return spot_; }
    const MarkerState& markers() const { return markers_; }
    const SeparationState& separation() const { return sep_; }
    const DisplayOptions& options() const { return options_; }
    const PickerLayouts& pickers() const { return pickers_; }
    const DiameterChoice& diameter() const { return diameter_; }
    const Readouts& readouts() const { return readouts_; }
    const ChartPicture& chartPicture() const { return picture_; }
    const ImagePicture& imagePicture() const { return imagePicture_; }
    const ImageState& image() const { return image_; }
    // The window's caption.
    const std::string& Caption() const { return caption_; }
    const Folders& folders() const { return folders_; }
    // Side in pixels of the square chart image.
    int32_t ChartSidePixels() const { return ChartSide(chart_.ChartDiameter); }
    // The window size, place and scroll bars the layout rule gives for the chart.
    WindowFit Fit() const;
    CalendarDate Date() const;
    TimeOfDay Time() const;
    // The chart is shown, or a solar image in its place.
    bool ChartShown() const { return !imageShown_; }
    bool ImageShown() const { return imageShown_; }
    // The grid cell caption beside the size box.
    std::string SizeUnitText() const;
    double ChartRotationNow() const;

    // The settings file's values as they would be written now.
    Settings CurrentSettings() const;

  private:
    // Steps of the cycle and the commands; each notes what it changed in `changes_`.
    Changes Take();
    void LoadTableYear(int32_t year);
    void UpdateEphemeris();
    void RecalcTail(const Instant& previous, int foldLimit);
    void ShowPositionReadouts();
    void ShowSolarParameters();
    void ShowSpotReadouts();
    // The instant's year table, ephemeris, readouts and spot, with nothing redrawn.
    void RecomputeAtInstant();
    void ShowSpotArea();
    void ShowSeparation();
    void ClearSeparation();
    void RedrawChart();
    // The image's grid redrawn from the clean picture, with the spot marker or without.
    void RedrawImage(bool spot);
    void RedrawPicture(); // the chart, or the image with its spot when Sunspot is on
    void AddOverlay(Overlay overlay);
    DiskFrame CurrentFrame() const;
    Changes MouseDown(const DiskFrame& frame, bool left, bool shift, bool ctrl, int32_t X,
                      int32_t Y);
    void LocateTypedSpot();
    void HoldRotationMarkers(bool rerunCoordinates);
    void RestoreRotationMarkers();
    void RelocateFromBoxes();
    void AfterGeometryChange();
    void RefreshOverlays();
    void DrawSeparation(FigureForm form, bool moveSpot);
    void SetSpotFromProgram(double x, double y);
    void TakeSpotCoordinate(EditBox box, double value);
    void FlipOrMirror(int32_t& sign);
    Changes ToggleImageOption(bool DisplayOptions::*option);
    void ApplyFixedDiameter(const DiameterItem& item);
    void ApplyTypedDiameter();
    bool OtherDiameter(int32_t item);
    void ApplyStartupDiameter(const SettingsLoad& load);
    void ApplySettings(const SettingsLoad& load);
    void ApplyGridSize(bool mm);
    void PlotRegions();
    void FollowDate(bool asked);
    void TakeSummary(const SrsSummary& summary, const std::string& fileName);
    void DropRegions();
    void RestoreUserOrientation();
    void ShowLimbAgainstHeader();
    std::string& Text(EditBox box);

    std::filesystem::path folder_;
    Observation obs_;
    ChartGeometry chart_;
    DiameterChoice diameter_;
    SpotState spot_;
    MarkerState markers_;
    SeparationState sep_;
    DisplayOptions options_;
    PickerLayouts pickers_;
    Readouts readouts_;
    ChartPicture picture_;
    ImagePicture imagePicture_;
    ImageState image_;
    bool imageShown_ = false;
    std::optional<UserOrientation> userOrientation_;
    std::optional<Circle> headerDisk_;
    RegionSummary srs_;
    MissingSrsNotice missingSrs_;
    std::string caption_ = "Zorva Viewer";
    Folders folders_;
    std::string boxTexts_[kEditBoxCount];
    bool hideWelcome_ = false;
    bool logfileOpen_ = false;
    std::string logfilePath_;
    Changes changes_;
};

} // namespace zorva
