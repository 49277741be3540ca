// The menu items whose check mark, availability or caption the state decides.
#include <array>
#include <string>

#include "core/options/option_table.h"
#include "core/present/presentation.h"
#include "core/session/session.h"

namespace zorva {

namespace {

// The items of File > Open Recent: for each list a heading and its paths' items.
struct RecentMenu {
    RecentKind kind;
    std::string_view heading;
    std::array<std::string, RecentFileCount> items;
};
const std::array<RecentMenu, 3>& RecentMenus() {
    static const std::array<RecentMenu, 3> menus = [] {
        std::array<RecentMenu, 3> m = {{{RecentKind::Picture, "RecentPicturesHeading", {}},
                                        {RecentKind::Summary, "RecentSummariesHeading", {}},
                                        {RecentKind::Logfile, "RecentLogfilesHeading", {}}}};
        const std::array<std::string_view, 3> prefixes = {"RecentPicture", "RecentSummary",
                                                          "RecentLogfile"};
        for (std::size_t k = 0; k < m.size(); ++k) {
            for (std::size_t i = 0; i < RecentFileCount; ++i) {
                m[k].items[i] = std::string(prefixes[k]) + std::to_string(i + 1);
            }
        }
        return m;
    }();
    return menus;
}

class Menus {
  public:
    void Add(std::string_view name, bool checked, bool enabled = true, std::string caption = {},
             bool visible = true, std::string tip = {}) {
        items_.push_back({name, checked, enabled, std::move(caption), visible, std::move(tip)});
    }
    std::vector<MenuItemView> Take() { return std::move(items_); }

  private:
    std::vector<MenuItemView> items_;
};

} // namespace

std::vector<MenuItemView> PresentMenus(const Session& s, const std::string& altAziCaption) {
    Menus m;
    const bool picture = s.Picture().Shown();
    // The options' items, as their entries show them.
    const Options& options = s.options();
    for (const OptionMenuItem& item : OptionMenuItems()) {
        m.Add(item.name, OptionMenuChecked(item, options), !item.row->menu.picturesOnly || picture);
    }

    const ChartGeometry geometry = s.Geometry();
    const Orientation mode = geometry.Mode;
    m.Add("DiskOrientation1", mode == Orientation::Equatorial);
    m.Add("DiskOrientation2", mode == Orientation::RotationAxis);
    m.Add("DiskOrientation3", mode == Orientation::AltAzimuth);
    // Shown, checked, while a picture's own turn is in use, named by where it came from.
    const bool own = picture && mode == Orientation::FromHeader;
    std::string from;
    if (own) {
        switch (s.Picture().opened()->context.orientationSource) {
        case OrientationSource::Header:
            from = "From FITS header";
            break;
        case OrientationSource::FileName:
            from = "From the file name";
            break;
        default:
            from = "From the picture";
            break;
        }
    }
    m.Add("DiskOrientationFits", own, own, from, own); // a hidden item is not enabled either
    // Checked while the disk is shown flipped or mirrored.
    m.Add("FlipMenu", geometry.FlipSign == -1, true, std::string(FlipMenuCaption(mode)));
    m.Add("MirrorMenu", geometry.MirrorSign == -1, true, std::string(MirrorMenuCaption(mode)));
    // A picture's disk gives its own diameter, which the "Other (mm)" item stands for.
    const int32_t diameterItem =
        picture ? static_cast<int32_t>(DiameterCommand::Othermm) : s.Chart().diameter().item;
    for (std::size_t i = 0; i < DiameterItems.size(); ++i) {
        m.Add(DiameterItems[i].Name, static_cast<int32_t>(i) == diameterItem);
    }
    const DisplayState& d = s.display();
    m.Add("LoadSRS1", s.Summaries().summary().LoadSRS1);
    m.Add("LoadSRS2", d.LinkWithDate);
    m.Add("SolarRegionSummary1", d.SolarRegionSummary);
    m.Add("Arc1", d.Arc1);
    m.Add("Arc2", d.Arc2);
    // The screen the window is laid out for.
    for (const ScreenItem& item : ScreenItems) {
        m.Add(item.Name, item.Width == options.ScreenWidth && item.Height == options.ScreenHeight);
    }
    const PickerWidths& p = s.Observing().pickers();
    m.Add("IncreaseDateWindow1", false, p.increaseDateEnabled);
    m.Add("IncreaseTimeWindow1", false, p.increaseTimeEnabled);
    m.Add("DecreaseDateWindow1", false, p.decreaseDateEnabled);
    m.Add("DecreaseTimeWindow1", false, p.decreaseTimeEnabled);
    m.Add("AltAzi1", false, true, altAziCaption);
    m.Add("AddtoLogfile1", false, s.Records().logbook().IsOpen());
    m.Add("CloseImage1", false, picture);
    m.Add("DiskByHand1", s.Picture().HandDisk().has_value(), picture);
    m.Add("PictureInstant1", false, picture);
    m.Add("Orientation1", false, picture);
    m.Add("DriftNorth1", s.Picture().Drift().has_value(), picture);
    m.Add("DriftPictures1", false, s.Picture().HasDisk());
    m.Add("SolveOrientation1", false, s.Picture().HasDisk());
    for (const char* item : {"FitToWindow1", "ActualSize1", "ZoomIn1", "ZoomOut1"}) {
        m.Add(item, false, picture);
    }
    for (const char* item : {"Rotation1", "Diameter1"}) {
        m.Add(item, false, !picture);
    }
    // The chart of the instant goes out whatever is shown: a picture's instant has one too.
    m.Add("ExportChart1", false);
    m.Add("PrintChart1", false);
    // Spots are searched on a picture with a disk; what was found is exported.
    m.Add("DetectSunspots1", false, s.Picture().HasDisk());
    m.Add("SunspotTable1", false, s.Picture().HasDisk());
    m.Add("ExportSunspots1", false, s.Spots().SpotsFound());
    // A review acts on the spot or group chosen, in the table or by a click.
    const bool found = s.Spots().SpotsFound();
    const bool spot = found && s.Spots().found()->spot != 0;
    const bool group = found && (s.Spots().found()->group != 0 || spot);
    m.Add("ReviewRemoveSpot1", false, spot);
    m.Add("ReviewRemoveGroup1", false, group);
    m.Add("ReviewMergeGroups1", false, group);
    m.Add("ReviewSplitSpot1", false, spot);
    m.Add("ReviewAddSpot1", s.Spots().AddingSpot(), found);
    m.Add("ReviewNoaaNumber1", false, group);
    m.Add("ReviewSpotless1", false, found);
    m.Add("ReviewUndo1", false, s.Spots().CanUndoReview());
    // A picture goes into the record with its spots, found now when they were not yet.
    m.Add("AddThisPicture1", false, s.Picture().HasDisk());
    m.Add("UndoMeasurement1", false, s.Records().logbook().CanUndo());
    m.Add("ExportMeasurements1", false, !s.Records().logbook().Measurements()->empty());
    // The recent files: each list under its heading, the slots it does not fill hidden.
    bool any = false;
    for (const RecentMenu& menu : RecentMenus()) {
        const std::vector<std::string>& paths = s.Records().RecentFiles(menu.kind);
        any = any || !paths.empty();
        m.Add(menu.heading, false, false, {}, !paths.empty());
        for (std::size_t i = 0; i < RecentFileCount; ++i) {
            const bool filled = i < paths.size();
            m.Add(menu.items[i], false, filled, filled ? RecentCaption(i, paths[i]) : std::string(),
                  filled, filled ? paths[i] : std::string());
        }
    }
    m.Add("NoRecentFiles1", false, false, {}, !any);
    m.Add("ClearRecentFiles1", false, any, {}, any);
    return m.Take();
}

} // namespace zorva
