// The menu items whose check mark, availability or caption the state decides.
#include <map>

#include "core/options/option_table.h"
#include "core/present/presentation.h"
#include "core/session/session.h"

namespace zorva {

namespace {

class Menus {
  public:
    void Check(std::string name, bool checked) {
        items_.push_back({std::move(name), checked, true, {}});
    }
    void Enable(std::string name, bool enabled) {
        items_.push_back({std::move(name), false, enabled, {}});
    }
    void Caption(std::string name, std::string caption) {
        items_.push_back({std::move(name), false, true, std::move(caption)});
    }
    std::vector<MenuItemView> Take() {
        // One entry an item: a later entry of the same name adds its availability or
        // caption to the first, which holds the check mark.
        std::vector<MenuItemView> merged;
        std::map<std::string, std::size_t> at;
        for (MenuItemView& item : items_) {
            const auto [it, added] = at.try_emplace(item.name, merged.size());
            if (added) {
                merged.push_back(std::move(item));
                continue;
            }
            MenuItemView& first = merged[it->second];
            if (!item.enabled) first.enabled = false;
            if (!item.caption.empty()) first.caption = std::move(item.caption);
        }
        return merged;
    }

  private:
    std::vector<MenuItemView> items_;
};

} // namespace

std::vector<MenuItemView> PresentMenus(const Session& s) {
    Menus m;
    // The options' items, as the option table shows them.
    const std::map<std::string, bool> checks = OptionMenuChecks(s.options());
    for (const auto& [name, checked] : checks)
        m.Check(name, checked);

    const ChartGeometry geometry = s.Geometry();
    const Orientation mode = geometry.Mode;
    m.Check("DiskOrientation1", mode == Orientation::Equatorial);
    m.Check("DiskOrientation2", mode == Orientation::RotationAxis);
    m.Check("DiskOrientation3", mode == Orientation::AltAzimuth);
    // Checked while a picture's header sets the turn; never chosen by hand.
    m.Check("DiskOrientationFits", mode == Orientation::FromHeader);
    m.Enable("DiskOrientationFits", false);
    m.Caption("FlipMenu", std::string(FlipMenuCaption(mode)));
    m.Caption("MirrorMenu", std::string(MirrorMenuCaption(mode)));
    // A picture's disk gives its own diameter, which the "Other (mm)" item stands for.
    const int32_t diameterItem =
        s.ImageShown() ? static_cast<int32_t>(DiameterCommand::Othermm) : s.diameter().item;
    for (std::size_t i = 0; i < DiameterItems.size(); ++i) {
        m.Check(std::string(DiameterItems[i].Name), static_cast<int32_t>(i) == diameterItem);
    }
    // The second region summary colour menu shows the same colour as the first.
    for (const char* colour : {"Black", "Red", "Green", "Blue", "White"}) {
        m.Check(std::string("SRS") + colour + "2", checks.at(std::string("SRS") + colour));
    }
    const DisplayState& d = s.display();
    m.Check("LoadSRS1", s.summary().LoadSRS1);
    m.Check("LoadSRS2", d.LinkWithDate);
    m.Check("SolarRegionSummary1", d.SolarRegionSummary);
    m.Check("Arc1", d.Arc1);
    m.Check("Arc2", d.Arc2);
    for (std::size_t i = 0; i < ScreenItems.size(); ++i) {
        m.Check(std::string(ScreenItems[i].Name), d.ScreenItem == static_cast<int32_t>(i) + 1);
    }
    const PickerWidths& p = s.pickers();
    m.Enable("IncreaseDateWindow1", p.increaseDateEnabled);
    m.Enable("IncreaseTimeWindow1", p.increaseTimeEnabled);
    m.Enable("DecreaseDateWindow1", p.decreaseDateEnabled);
    m.Enable("DecreaseTimeWindow1", p.decreaseTimeEnabled);
    m.Caption("AltAzi1", PositionReadoutTexts(s.observation().ephemeris,
                                              ReadoutPrecisionsOf(s.options()), mode)
                             .AltAzi1Caption);
    m.Enable("AddtoLogfile1", s.LogfileOpen());
    const bool picture = s.ImageShown();
    for (const char* item : {"Points1", "Circle1", "CloseImage1"})
        m.Enable(item, picture);
    for (const char* item : {"Rotation1", "Diameter1", "ExportChart1", "PrintChart1"}) {
        m.Enable(item, !picture);
    }
    return m.Take();
}

} // namespace zorva
