// The menu items whose check mark, availability or caption the state decides.
#include <array>
#include <string>

#include "core/options/option_table.h"
#include "core/present/presentation.h"
#include "core/session/session.h"

namespace zorva {

namespace {

constexpr std::array<std::string_view, 5> kColours = {"Black", "Red", "Green", "Blue", "White"};
constexpr std::array<uint32_t, 5> kColourValues = {kColourBlack, kColourRed, kColourGreen,
                                                   kColourBlue, kColourWhite};

// The second region summary colour menu's items, which show the same colour as the first.
const std::array<std::string, 5>& SecondSrsColourItems() {
    static const std::array<std::string, 5> names = [] {
        std::array<std::string, 5> n;
        for (std::size_t i = 0; i < kColours.size(); ++i) {
            n[i] = "SRS" + std::string(kColours[i]) + "2";
        }
        return n;
    }();
    return names;
}

class Menus {
  public:
    void Add(std::string_view name, bool checked, bool enabled = true, std::string caption = {}) {
        items_.push_back({name, checked, enabled, std::move(caption)});
    }
    std::vector<MenuItemView> Take() { return std::move(items_); }

  private:
    std::vector<MenuItemView> items_;
};

} // namespace

std::vector<MenuItemView> PresentMenus(const Session& s, const std::string& altAziCaption) {
    Menus m;
    const bool picture = s.ImageShown();
    // The options' items, as the option table shows them; the limb points and circle are
    // for pictures only.
    const Options& options = s.options();
    for (const OptionMenuItem& item : OptionMenuItems()) {
        const bool forPictures = item.name == "Points1" || item.name == "Circle1";
        m.Add(item.name, OptionMenuChecked(item, options), !forPictures || picture);
    }
    for (std::size_t i = 0; i < kColours.size(); ++i) {
        m.Add(SecondSrsColourItems()[i], options.SRSColour == kColourValues[i]);
    }

    const ChartGeometry geometry = s.Geometry();
    const Orientation mode = geometry.Mode;
    m.Add("DiskOrientation1", mode == Orientation::Equatorial);
    m.Add("DiskOrientation2", mode == Orientation::RotationAxis);
    m.Add("DiskOrientation3", mode == Orientation::AltAzimuth);
    // Checked while a picture's header sets the turn; never chosen by hand.
    m.Add("DiskOrientationFits", mode == Orientation::FromHeader, false);
    // Checked while the disk is shown flipped or mirrored.
    m.Add("FlipMenu", geometry.FlipSign == -1, true, std::string(FlipMenuCaption(mode)));
    m.Add("MirrorMenu", geometry.MirrorSign == -1, true, std::string(MirrorMenuCaption(mode)));
    // A picture's disk gives its own diameter, which the "Other (mm)" item stands for.
    const int32_t diameterItem =
        picture ? static_cast<int32_t>(DiameterCommand::Othermm) : s.diameter().item;
    for (std::size_t i = 0; i < DiameterItems.size(); ++i) {
        m.Add(DiameterItems[i].Name, static_cast<int32_t>(i) == diameterItem);
    }
    const DisplayState& d = s.display();
    m.Add("LoadSRS1", s.summary().LoadSRS1);
    m.Add("LoadSRS2", d.LinkWithDate);
    m.Add("SolarRegionSummary1", d.SolarRegionSummary);
    m.Add("Arc1", d.Arc1);
    m.Add("Arc2", d.Arc2);
    // The screen the window is laid out for.
    for (const ScreenItem& item : ScreenItems) {
        m.Add(item.Name, item.Width == options.ScreenWidth && item.Height == options.ScreenHeight);
    }
    const PickerWidths& p = s.pickers();
    m.Add("IncreaseDateWindow1", false, p.increaseDateEnabled);
    m.Add("IncreaseTimeWindow1", false, p.increaseTimeEnabled);
    m.Add("DecreaseDateWindow1", false, p.decreaseDateEnabled);
    m.Add("DecreaseTimeWindow1", false, p.decreaseTimeEnabled);
    m.Add("AltAzi1", false, true, altAziCaption);
    m.Add("AddtoLogfile1", false, s.LogfileOpen());
    m.Add("CloseImage1", false, picture);
    for (const char* item : {"FitToWindow1", "ActualSize1", "ZoomIn1", "ZoomOut1"}) {
        m.Add(item, false, picture);
    }
    for (const char* item : {"Rotation1", "Diameter1", "ExportChart1", "PrintChart1"}) {
        m.Add(item, false, !picture);
    }
    return m.Take();
}

} // namespace zorva
