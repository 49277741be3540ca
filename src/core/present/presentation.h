#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/chart/chart_caption.h"
#include "core/chart/chart_scene.h"
#include "core/chart/sunspot.h"
#include "core/images/circle_fit.h"
#include "core/images/hand_disk.h"
#include "core/images/picture_north.h"
#include "core/layout/picker_layout.h"
#include "core/logfile/measurements.h"
#include "core/measure/pointer.h"
#include "core/measure/separation.h"
#include "core/readouts/readouts.h"
#include "core/session/carry.h"
#include "core/session/edit_box.h"
#include "core/spots/spot_table.h"
#include "core/spots/spot_types.h"
#include "core/srs/region_positions.h"
#include "core/srs/srs_reader.h"

namespace zorva {

class Session;

// The separation's line or arc over a picture, in the frame it is drawn in.
struct SeparationOverlay {
    SeparationFigure figure;
    DiskFrame frame;
    uint32_t arcColour = 0;
    uint32_t lineColour = 0;

    bool operator==(const SeparationOverlay&) const = default;
};

// The regions of a summary at the instant, with what the plot writes beside them.
struct RegionsOverlay {
    std::shared_ptr<const std::vector<SrsRegion>> regions;
    std::vector<RegionPlace> places; // alongside the regions
    DiskFrame frame;
    uint32_t colour = 0;
    bool fileNameLabel = false;
    std::string fileName;
    std::optional<std::size_t> highlight;
    // A summary far from the instant says so beside the plot ("summary of 2011-06-07,
    // 1,461 days from the chart"), and one beyond half a rotation is drawn faded.
    std::string ageLabel;
    bool faded = false;

    bool operator==(const RegionsOverlay&) const = default;
};

// The sunspots found on a picture: every umbra and penumbra outline and group label once
// they are asked to be shown, the group or spot chosen in the table picked out, the
// outline of the spot a click measured, and when asked for a faint mark where the search
// judged something dark to be no spot.
struct SpotsOverlay {
    std::shared_ptr<const SpotDetection> detection;
    bool all = false;
    int32_t group = 0; // 0 for none
    int32_t spot = 0;
    int32_t measured = 0;
    bool rejected = false;

    bool operator==(const SpotsOverlay&) const = default;
};

// What the chart shows: its drawing, then the separation's figure, then the regions on top.
struct ChartView {
    ChartScene scene;
    std::optional<SeparationOverlay> separation;
    std::optional<RegionsOverlay> regions;

    bool operator==(const ChartView&) const = default;
};

// A disk being given by hand: the limb points clicked and the circle so far.
struct HandDiskView {
    std::vector<PicturePoint> points;
    std::optional<Circle> circle;

    bool operator==(const HandDiskView&) const = default;
};

// What is drawn over an opened picture: the grid fitted to its disk (none without a disk),
// the limb points and circle when asked for, the spot, the separation and the regions.
struct PictureView {
    ChartScene scene; // the grid, in the picture's geometry, and the spot's place
    std::optional<Circle> disk;
    LimbPoints limb; // the limb search's points; the Circle item draws the disk
    bool points = false;
    bool circle = false;
    bool spot = false;
    std::optional<SeparationOverlay> separation;
    std::optional<RegionsOverlay> regions;
    std::optional<HandDiskView> hand; // drawn over everything while it is open
    std::optional<DriftLine> drift;   // likewise, the drift being drawn
    std::optional<SpotsOverlay> spots;

    bool operator==(const PictureView&) const = default;
};

// Everything the readout labels show.
struct ReadoutView {
    PositionReadouts position;
    SolarParameterReadouts parameters;
    SpotReadouts spot;
    std::string areaText;
    bool areaRed = false;
    std::string areaHint; // the area unrounded, and why it is red
    int32_t areaLeft = 0;
    SeparationLabels separation;
    std::string sizeUnit;     // beside the size box
    std::string diameterUnit; // beside the diameter box

    bool operator==(const ReadoutView&) const = default;
};

// An edit box: its text, whether it takes typing, and how the text stands to the value.
struct BoxView {
    std::string text;
    bool readOnly = false;
    BoxStatus status;

    bool operator==(const BoxView& o) const {
        return text == o.text && readOnly == o.readOnly && status.state == o.status.state &&
               status.hint == o.status.hint;
    }
};

// The date and time pickers.
struct PickerView {
    CalendarDate date;
    TimeOfDay time;
    bool dateLong = true;
    DateLayout layout;

    bool operator==(const PickerView&) const = default;
};

// A menu item the state decides: its check mark, whether it can be chosen, and its caption
// when the state sets one (empty: the caption it was made with), whether it is shown at all,
// and its hint (empty: none). The items come in the same order every time; the names are
// the program's own, kept for its whole run.
struct MenuItemView {
    std::string_view name;
    bool checked = false;
    bool enabled = true;
    std::string caption;
    bool visible = true;
    std::string tip;

    bool operator==(const MenuItemView&) const = default;
};

// Everything the window shows, worked out from the session alone.
struct Presentation {
    std::string caption; // the window title
    ReadoutView readouts;
    std::array<BoxView, kEditBoxCount> boxes;
    PickerView pickers;
    std::vector<MenuItemView> menus;
    int32_t chartSide = 0;
    int32_t windowWidth = 0; // the window's size to lay out; 0 fills the screen
    int32_t windowHeight = 0;
    ChartView chart;
    std::optional<PictureView> picture;                    // shown in the chart's place
    std::string tableSource;                               // where the year's ephemeris comes from
    std::string status;                                    // the latest passing word
    uint64_t statusCount = 0;                              // rises with each word said
    std::shared_ptr<const std::vector<SrsRegion>> regions; // for the region table
    std::string regionsFileName;
    std::string regionsNote; // said in the region table instead of the Wolf number
    std::shared_ptr<const std::vector<Measurement>> measurements; // the Measurements window
    std::optional<SpotTable> spotTable; // the Sunspots window; none before a search
    std::string spotTableTitle;

    bool operator==(const Presentation&) const = default;
};

// What the window shows for the session's state.
Presentation Present(const Session& session);

// The parts of the presentation, for those who need only one.
ChartView PresentChart(const Session& session);
// The chart as printed or exported: the one shown, or, while a picture is shown, the chart of
// its instant with the regions shown on it.
ChartView PresentChartOutput(const Session& session);
std::optional<PictureView> PresentPicture(const Session& session);
// The caption block a saved picture carries; none without a picture or a disk.
std::vector<CaptionLine> PresentPictureCaption(const Session& session);
ReadoutView PresentReadouts(const Session& session);
// The menus; `altAziCaption` is the precision submenu's caption the position readouts give.
std::vector<MenuItemView> PresentMenus(const Session& session, const std::string& altAziCaption);

} // namespace zorva
