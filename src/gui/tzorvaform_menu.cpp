// The menu bar: every command of the program in menu order, and its check marks, enabled
// items and captions as views of the session.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <stdexcept>

#include "gui/tzorvaform.h"
#include "gui/widget_text.h"

namespace zorva::gui {

namespace {

struct ColourItem {
    const char* name;
    uint32_t colour;
};
constexpr ColourItem kColourItems[] = {
    {"Black", kColourBlack}, {"Red", kColourRed},     {"Green", kColourGreen},
    {"Blue", kColourBlue},   {"White", kColourWhite},
};

const QString kDeg = QStringLiteral("\u00B0");

struct PrecisionMenu {
    const char* menu;
    const char* caption;
    const char* prefix;
    PrecisionGroup group;
    QStringList items;
};
// Captions ending in the degree sign are the ones shown; the menus are built with them.
const PrecisionMenu kPrecisionMenus[] = {
    {"RightAscension1",
     "Right Ascension",
     "PrecisionRA",
     PrecisionGroup::RA,
     {"min", "0.1 min", "sec"}},
    {"Declination1", "Declination", "PrecisionDec", PrecisionGroup::Dec, {"'", "0.1'", "\""}},
    {"AltAzi1",
     "Alt && Azi",
     "PrecisionAltAzi",
     PrecisionGroup::AltAzi,
     {"  " + kDeg, " 0.1" + kDeg, "0.01" + kDeg}},
    {"B01", "Bo, Lo && P", "PrecisionBLP", PrecisionGroup::BLP, {" 0.1" + kDeg, "0.01" + kDeg}},
    {"Diameter2", "Diameter", "PrecisionDia", PrecisionGroup::Diam, {"\"", "0.1\""}},
    {"LatLong1",
     "Lat && Long",
     "PrecisionLL",
     PrecisionGroup::LatLong,
     {" 1" + kDeg, "0.1" + kDeg}},
    {"Area1", "Area", "PrecisionArea", PrecisionGroup::Area, {"10", "1"}},
};

struct GridMenuItem {
    const char* name;
    const char* caption;
    GridItem item;
};
constexpr GridMenuItem kGridMenuItems[] = {
    {"CentralMeridian1", "&Central Meridian", GridItem::CentralMeridian},
    {"Equator1", "&Equator", GridItem::Equator},
    {"LatLines1", "L&atitude Lines", GridItem::LatLines},
    {"LongLines1", "L&ongitude Lines", GridItem::LongLines},
};

} // namespace

QMenu* TZorvaForm::AddMenu(QMenu* parent, const QString& name, const QString& caption) {
    QMenu* menu = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    actions_[name] = menu->menuAction();
    return menu;
}

QAction* TZorvaForm::AddItem(QMenu* menu, const QString& name, const QString& caption,
                             std::function<void()> handler, bool checkable) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    a->setCheckable(checkable);
    actions_[name] = a;
    // The check mark Qt toggles by itself is rewritten from the session afterwards.
    connect(a, &QAction::triggered, this,
            [this, handler = std::move(handler)] { RunCommand(handler); });
    return a;
}

void TZorvaForm::AddColourMenu(QMenu* parent, const QString& name, const QString& prefix,
                               const QString& suffix, std::function<void(uint32_t)> handler) {
    QMenu* menu = AddMenu(parent, name, QStringLiteral("   Colour"));
    for (const ColourItem& item : kColourItems) {
        const uint32_t colour = item.colour;
        AddItem(menu, prefix + item.name + suffix, item.name,
                [handler, colour] { handler(colour); });
    }
}

QAction* TZorvaForm::Action(const QString& name) const {
    const auto it = actions_.find(name);
    if (it == actions_.end()) throw std::logic_error("no menu item " + name.toStdString());
    return it->second;
}

void TZorvaForm::SetChecked(const QString& name, bool checked) {
    QAction* a = Action(name);
    if (a->isChecked() != checked) a->setChecked(checked);
}

void TZorvaForm::BuildMenus() {
    QMenu* file = AddMenu(nullptr, "File1", "&File");
    AddItem(
        file, "OpenImage1", "Open &Image...", [this] { OpenImage1Click(); }, false)
        ->setShortcut(QKeySequence::Open);
    BuildRecentMenu(file);
    AddItem(
        file, "CloseImage1", "&Close Image", [this] { CloseImage1Click(); }, false);
    AddItem(
        file, "Save1", "Save Image", [this] { Save1Click(); }, false)
        ->setShortcut(QKeySequence::Save);
    AddItem(
        file, "SaveAs1", "Save Image As...", [this] { SaveAs1Click(); }, false);
    file->addSeparator();
    AddItem(
        file, "ExportChart1", "&Export Chart...", [this] { ExportChart1Click(); }, false);
    AddItem(
        file, "PrintChart1", "&Print Chart...", [this] { PrintChart1Click(); }, false)
        ->setShortcut(QKeySequence::Print);
    file->addSeparator();
    AddItem(
        file, "NewLogfile1", "&New Logfile...", [this] { NewLogfile1Click(); }, false);
    AddItem(
        file, "OpenLogfile1", "&Open Logfile...", [this] { OpenLogfile1Click(); }, false);
    AddItem(
        file, "AddtoLogfile1", "&Add to Logfile", [this] { AddtoLogfile1Click(); }, false);
    AddItem(
        file, "ExportMeasurements1", "Export &Measurements...",
        [this] { ExportMeasurements1Click(); }, false);
    file->addSeparator();
    AddItem(
        file, "ChooseRecord1", "Recor&d...", [this] { ChooseRecord1Click(); }, false);
    file->addSeparator();
    AddItem(
        file, "Exit", "E&xit", [this] { ExitClick(); }, false);
    BuildEditAndTimeMenus();
    BuildImageMenu();

    QMenu* orientation = AddMenu(nullptr, "DiskOrientation", "Disk &Orientaton");
    AddItem(orientation, "FlipMenu", "&Flip (N - S)", [this] { FlipMenuClick(); });
    AddItem(orientation, "MirrorMenu", "&Mirror (E - W)", [this] { MirrorMenuClick(); });
    orientation->addSeparator();
    AddItem(orientation, "DiskOrientation1", "&Equatorial", [this] { DiskOrientation1Click(); });
    AddItem(orientation, "DiskOrientation3", "&AltAzimuth", [this] { DiskOrientation3Click(); });
    AddItem(orientation, "DiskOrientation2", "&Rotation Axis", [this] { DiskOrientation2Click(); });
    // Checked while an observatory image's header sets the turn; not chosen by hand.
    AddItem(orientation, "DiskOrientationFits", "From FITS header", [] {})->setEnabled(false);

    QMenu* diameter = AddMenu(nullptr, "Diameter1", "Disk &Diameter");
    for (int i = 0; i < static_cast<int>(DiameterItems.size()); ++i) {
        const DiameterItem& item = DiameterItems[static_cast<std::size_t>(i)];
        if (item.Name == "N4in") diameter->addSeparator();
        AddItem(diameter, ToQString(item.Name), ToQString(item.Caption),
                [this, i] { DiameterClick(i); });
    }

    QMenu* lines = AddMenu(nullptr, "LatLongLines", "&Lat/Long Lines");
    AddItem(lines, "NESWPoints1", "&N E S W Points",
            [this] { GridItemClick(GridItem::NESWPoints); });
    lines->addSeparator();
    for (const GridMenuItem& g : kGridMenuItems) {
        const GridItem item = g.item;
        AddItem(lines, g.name, g.caption, [this, item] { GridItemClick(item); });
    }

    QMenu* rotation = AddMenu(nullptr, "Rotation1", "&Rotation");
    AddItem(rotation, "RotationCarrington", "&Carrington", [this] { RotationCarringtonClick(); });
    AddColourMenu(rotation, "CarrSetColour", "Carr", {},
                  [this](uint32_t c) { CarrColourClick(c); });
    AddItem(rotation, "CarrLabel", "   Label", [this] { CarrLabelClick(); });
    rotation->addSeparator();
    AddItem(rotation, "RotationDifferential", "&Differential",
            [this] { RotationDifferentialClick(); });
    AddColourMenu(rotation, "DiffSetColour", "Diff", {},
                  [this](uint32_t c) { DiffColourClick(c); });
    AddItem(rotation, "DiffLabel", "   Label", [this] { DiffLabelClick(); });

    QMenu* srs = AddMenu(nullptr, "SolarRegionSummary", "Solar Region S&ummary");
    AddItem(srs, "LoadSRS1", "&Load SRS...", [this] { LoadSRS1Click(); });
    AddColourMenu(srs, "SRSColour", "SRS", {}, [this](uint32_t c) { SRSColourClick(c); });
    AddItem(srs, "SRSFileNameLabel", "   &File Name Label", [this] { SRSFileNameLabelClick(); });
    srs->addSeparator();
    AddItem(srs, "LoadSRS2", "Link with &Date", [this] { LoadSRS2Click(); });
    AddColourMenu(srs, "Colour1", "SRS", "2", [this](uint32_t c) { SRSColourClick(c); });
    AddItem(srs, "SRSFileNameLabel2", "   &File Name Label", [this] { SRSFileNameLabelClick(); });
    srs->addSeparator();
    AddItem(
        srs, "RegionTable1", "Region &Table...", [this] { RegionTable1Click(); }, false);

    QMenu* spots = AddMenu(nullptr, "Sunspots1", "Sun&spots");
    AddItem(
        spots, "DetectSunspots1", "&Detect Sunspots", [this] { DetectSunspots1Click(); }, false);
    AddItem(
        spots, "SunspotTable1", "Sunspot &Table...", [this] { SunspotTable1Click(); }, false);
    AddItem(
        spots, "ExportSunspots1", "&Export Sunspots...", [this] { ExportSunspots1Click(); }, false);
    BuildRecordMenu();

    QMenu* separation = AddMenu(nullptr, "Separation1", "&Separation");
    AddItem(separation, "Arc1", "Se&paration within disk", [this] { Arc1Click(); });
    AddItem(separation, "LongitudeArc1", "   L&ongitude Arc", [this] { LongitudeArc1Click(); });
    AddItem(separation, "GreatCircle1", "   &Great Circle", [this] { GreatCircle1Click(); });
    AddItem(separation, "SpotinMiddle1", "   S&pot in Middle", [this] { SpotinMiddle1Click(); });
    AddColourMenu(separation, "DistColour1", "Dist", "1",
                  [this](uint32_t c) { DistColour1Click(c); });
    separation->addSeparator();
    AddItem(separation, "Arc2", "Sep&aration outside disk", [this] { Arc2Click(); });
    AddColourMenu(separation, "DistColour2", "Dist", "2",
                  [this](uint32_t c) { DistColour2Click(c); });

    QMenu* display = AddMenu(nullptr, "Display1", "D&isplay");
    AddItem(display, "Sunspot1", "S&unspot", [this] { Sunspot1Click(); });
    AddItem(display, "SolarRegionSummary1", "S&olar Region Summary",
            [this] { SolarRegionSummary1Click(); });
    AddItem(display, "Points1", "&Points", [this] { Points1Click(); });
    AddItem(display, "Circle1", "&Circle", [this] { Circle1Click(); });
    AddItem(display, "SubPixelLimb1", "Sub-pixel &Limb", [this] { SubPixelLimb1Click(); });
    display->addSeparator();
    QMenu* screen = AddMenu(display, "ScreenResolution1", "Screen &Resolution");
    for (int i = 0; i < static_cast<int>(ScreenItems.size()); ++i) {
        const ScreenItem& item = ScreenItems[static_cast<std::size_t>(i)];
        AddItem(screen, ToQString(item.Name), ToQString(item.Caption),
                [this, i] { ScreenResolutionClick(i + 1); });
    }
    display->addSeparator();
    AddItem(display, "DateShort", "&Short Date Format", [this] { DateShortClick(); });
    AddItem(display, "DateLong", "&Long Date Format", [this] { DateLongClick(); });
    display->addSeparator();
    AddItem(
        display, "IncreaseDateWindow1", "&Increase Date Window",
        [this] { IncreaseDateWindow1Click(); }, false);
    AddItem(
        display, "DecreaseDateWindow1", "&Decrease Date Window",
        [this] { DecreaseDateWindow1Click(); }, false);
    AddItem(
        display, "IncreaseTimeWindow1", "I&ncrease Time Window",
        [this] { IncreaseTimeWindow1Click(); }, false);
    AddItem(
        display, "DecreaseTimeWindow1", "D&ecrease Time Window",
        [this] { DecreaseTimeWindow1Click(); }, false);
    display->addSeparator();
    for (const PrecisionMenu& m : kPrecisionMenus) {
        QMenu* sub = AddMenu(display, m.menu, m.caption);
        for (int i = 0; i < m.items.size(); ++i) {
            const PrecisionGroup group = m.group;
            AddItem(sub, m.prefix + QString::number(i + 1), m.items[i],
                    [this, group, i] { PrecisionClick(group, i + 1); });
        }
    }
    display->addSeparator();
    AddItem(display, "LogFileMessageBox1", "Logfile Message Box",
            [this] { LogFileMessageBox1Click(); });

    QMenu* grid = AddMenu(nullptr, "SunspotGridSize", "Sunspot &Grid Size");
    AddItem(grid, "N1sqmm", "1 by 1 mm", [this] { N1sqmmClick(); });
    AddItem(grid, "N125sqin", "1/25 by 1/25 in", [this] { N125sqinClick(); });

    QMenu* help = AddMenu(nullptr, "Help1", "&Help");
    AddItem(
        help, "Contents1", "&Contents", [this] { Contents1Click(); }, false);
    AddItem(
        help, "Welcome1", "&Welcome...", [this] { Welcome1Click(); }, false);
    AddItem(
        help, "About", "&About...", [this] { AboutClick(); }, false);
}

void TZorvaForm::SyncMenus(const std::vector<MenuItemView>& menus) {
    // The items come in the same order every time: their actions are looked up once.
    if (menuActions_.size() != menus.size()) {
        menuActions_.clear();
        for (const MenuItemView& item : menus)
            menuActions_.push_back(Action(ToQString(item.name)));
    }
    for (std::size_t i = 0; i < menus.size(); ++i) {
        const MenuItemView& item = menus[i];
        QAction* a = menuActions_[i];
        if (a->isCheckable() && a->isChecked() != item.checked) a->setChecked(item.checked);
        if (a->isEnabled() != item.enabled) a->setEnabled(item.enabled);
        if (!item.caption.empty() && a->text() != ToQString(item.caption)) {
            a->setText(ToQString(item.caption));
        }
        if (a->isVisible() != item.visible) a->setVisible(item.visible);
        if (!item.tip.empty() || !a->statusTip().isEmpty()) {
            const QString tip = ToQString(item.tip);
            if (a->statusTip() != tip) a->setStatusTip(tip);
        }
    }
}

} // namespace zorva::gui
