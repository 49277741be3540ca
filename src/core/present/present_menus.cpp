// The menu items whose check mark, availability or caption the state decides.
#include <algorithm>

#include "core/present/presentation.h"
#include "core/session/session.h"

namespace zorva {

namespace {

struct ColourName {
    const char* name;
    uint32_t colour;
};
constexpr ColourName kColourNames[] = {
    {"Black", kColourBlack}, {"Red", kColourRed},     {"Green", kColourGreen},
    {"Blue", kColourBlue},   {"White", kColourWhite},
};

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
    // The five items of a colour menu, the one of `colour` checked.
    void Colour(const std::string& prefix, uint32_t colour, const std::string& suffix = {}) {
        for (const ColourName& c : kColourNames)
            Check(prefix + c.name + suffix, c.colour == colour);
    }
    // Items prefix1 .. prefixN, `chosen` checked.
    void Choice(const std::string& prefix, int32_t count, int32_t chosen) {
        for (int32_t i = 1; i <= count; ++i)
            Check(prefix + std::to_string(i), i == chosen);
    }
    std::vector<MenuItemView> Take() {
        // One entry an item: a later entry of the same name adds its availability or
        // caption to the first, which holds the check mark.
        std::vector<MenuItemView> merged;
        for (MenuItemView& item : items_) {
            auto it = std::find_if(merged.begin(), merged.end(),
                                   [&](const MenuItemView& m) { return m.name == item.name; });
            if (it == merged.end()) {
                merged.push_back(std::move(item));
                continue;
            }
            if (!item.enabled) it->enabled = false;
            if (!item.caption.empty()) it->caption = item.caption;
        }
        return merged;
    }

  private:
    std::vector<MenuItemView> items_;
};

} // namespace

std::vector<MenuItemView> PresentMenus(const Session& s) {
    Menus m;
    const DisplayOptions& o = s.options();
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
    m.Check("NESWPoints1", o.NESWPoints);
    m.Check("CentralMeridian1", geometry.ShowCentralMeridian);
    m.Check("Equator1", geometry.ShowEquator);
    m.Check("LatLines1", geometry.ShowLatLines);
    m.Check("LongLines1", geometry.ShowLongLines);
    m.Check("RotationCarrington", o.RotationCarrington);
    m.Check("RotationDifferential", o.RotationDifferential);
    m.Colour("Carr", o.Carrington.Colour);
    m.Colour("Diff", o.Differential.Colour);
    m.Check("CarrLabel", o.Carrington.Label);
    m.Check("DiffLabel", o.Differential.Label);
    m.Colour("SRS", o.SRSColour);
    m.Colour("SRS", o.SRSColour, "2");
    m.Check("SRSFileNameLabel", o.SRSFileNameLabel);
    m.Check("SRSFileNameLabel2", o.SRSFileNameLabel);
    m.Check("LoadSRS1", s.summary().LoadSRS1);
    m.Check("LoadSRS2", o.LinkWithDate);
    m.Check("SolarRegionSummary1", o.SolarRegionSummary);
    m.Check("Arc1", o.Arc1);
    m.Check("Arc2", o.Arc2);
    m.Check("LongitudeArc1", o.SeparationForm == FigureForm::LongitudeArc);
    m.Check("GreatCircle1", o.SeparationForm == FigureForm::GreatCircle);
    m.Check("SpotinMiddle1", s.separation().SpotInMiddle);
    m.Colour("Dist", o.DistColour1, "1");
    m.Colour("Dist", o.DistColour2, "2");
    m.Check("Sunspot1", o.Sunspot);
    m.Check("Points1", o.Points);
    m.Check("Circle1", o.Circle);
    m.Check("SubPixelLimb1", o.SubPixelLimb);
    for (std::size_t i = 0; i < ScreenItems.size(); ++i) {
        m.Check(std::string(ScreenItems[i].Name), o.ScreenItem == static_cast<int32_t>(i) + 1);
    }
    const PickerLayouts& p = s.pickers();
    m.Check("DateShort", !p.dateLong);
    m.Check("DateLong", p.dateLong);
    m.Enable("IncreaseDateWindow1", p.increaseDateEnabled);
    m.Enable("IncreaseTimeWindow1", p.increaseTimeEnabled);
    m.Enable("DecreaseDateWindow1", p.decreaseDateEnabled);
    m.Enable("DecreaseTimeWindow1", p.decreaseTimeEnabled);
    const ReadoutPrecisions& r = o.precisions;
    m.Choice("PrecisionRA", 3, PrecisionItemOf3(r.RAPrecision));
    m.Choice("PrecisionDec", 3, PrecisionItemOf3(r.DecPrecision));
    m.Choice("PrecisionAltAzi", 3, PrecisionItemOf3(r.AltAziPrecision));
    m.Choice("PrecisionBLP", 2, PrecisionItemOf2(r.BLPPrecision));
    m.Choice("PrecisionDia", 2, PrecisionItemOf2(r.DiamPrecision));
    m.Choice("PrecisionLL", 2, PrecisionItemOf2(s.spot().LatLongPrecision));
    m.Choice("PrecisionArea", 2, PrecisionItemOf2(s.spot().AreaPrecision));
    m.Caption("AltAzi1", PositionReadoutTexts(s.observation().ephemeris, r, mode).AltAzi1Caption);
    m.Check("LogFileMessageBox1", o.LogFileMessageFlag == 0);
    m.Check("N1sqmm", o.GridMm);
    m.Check("N125sqin", !o.GridMm);
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
