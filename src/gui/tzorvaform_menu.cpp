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

// The item a stored precision checks: 1 or 2, anything else the group's last item.
int32_t PrecisionItem(const PrecisionMenu& m, const Session& s) {
    const ReadoutPrecisions& p = s.options().precisions;
    switch (m.group) {
    case PrecisionGroup::RA:
        return PrecisionItemOf3(p.RAPrecision);
    case PrecisionGroup::Dec:
        return PrecisionItemOf3(p.DecPrecision);
    case PrecisionGroup::AltAzi:
        return PrecisionItemOf3(p.AltAziPrecision);
    case PrecisionGroup::BLP:
        return PrecisionItemOf2(p.BLPPrecision);
    case PrecisionGroup::Diam:
        return PrecisionItemOf2(p.DiamPrecision);
    case PrecisionGroup::LatLong:
        return PrecisionItemOf2(s.spot().LatLongPrecision);
    case PrecisionGroup::Area:
        return PrecisionItemOf2(s.spot().AreaPrecision);
    }
    return 1;
}

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

void TZorvaForm::CheckColour(const QString& prefix, uint32_t colour, const QString& suffix) {
    for (const ColourItem& item : kColourItems) {
        SetChecked(prefix + item.name + suffix, item.colour == colour);
    }
}

void TZorvaForm::BuildMenus() {
    QMenu* file = AddMenu(nullptr, "File1", "&File");
    AddItem(
        file, "OpenImage1", "Open &Image...", [this] { OpenImage1Click(); }, false);
    AddItem(
        file, "CloseImage1", "&Close Image", [this] { CloseImage1Click(); }, false);
    AddItem(
        file, "Save1", "Save Image", [this] { Save1Click(); }, false);
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
    file->addSeparator();
    AddItem(
        file, "Exit", "E&xit", [this] { ExitClick(); }, false);
    BuildEditAndTimeMenus();

    QMenu* orientation = AddMenu(nullptr, "DiskOrientation", "Disk &Orientaton");
    AddItem(
        orientation, "FlipMenu", "&Flip (N - S)", [this] { FlipMenuClick(); }, false);
    AddItem(
        orientation, "MirrorMenu", "&Mirror (E - W)", [this] { MirrorMenuClick(); }, false);
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

void TZorvaForm::SyncMenus() {
    const Session& s = session_;
    const DisplayOptions& o = s.options();
    const Orientation mode = s.chart().Mode;
    SetChecked("DiskOrientation1", mode == Orientation::Equatorial);
    SetChecked("DiskOrientation2", mode == Orientation::RotationAxis);
    SetChecked("DiskOrientation3", mode == Orientation::AltAzimuth);
    SetChecked("DiskOrientationFits", mode == Orientation::FromHeader);
    Action("FlipMenu")->setText(ToQString(FlipMenuCaption(mode)));
    Action("MirrorMenu")->setText(ToQString(MirrorMenuCaption(mode)));
    for (int i = 0; i < static_cast<int>(DiameterItems.size()); ++i) {
        SetChecked(ToQString(DiameterItems[static_cast<std::size_t>(i)].Name),
                   s.diameter().item == i);
    }
    SetChecked("NESWPoints1", o.NESWPoints);
    SetChecked("CentralMeridian1", s.chart().ShowCentralMeridian);
    SetChecked("Equator1", s.chart().ShowEquator);
    SetChecked("LatLines1", s.chart().ShowLatLines);
    SetChecked("LongLines1", s.chart().ShowLongLines);
    SetChecked("RotationCarrington", o.RotationCarrington);
    SetChecked("RotationDifferential", o.RotationDifferential);
    CheckColour("Carr", o.Carrington.Colour);
    CheckColour("Diff", o.Differential.Colour);
    SetChecked("CarrLabel", o.Carrington.Label);
    SetChecked("DiffLabel", o.Differential.Label);
    CheckColour("SRS", o.SRSColour);
    CheckColour("SRS", o.SRSColour, "2");
    SetChecked("SRSFileNameLabel", o.SRSFileNameLabel);
    SetChecked("SRSFileNameLabel2", o.SRSFileNameLabel);
    SetChecked("LoadSRS1", s.summary().LoadSRS1);
    SetChecked("LoadSRS2", o.LinkWithDate);
    SetChecked("SolarRegionSummary1", o.SolarRegionSummary);
    SetChecked("Arc1", o.Arc1);
    SetChecked("Arc2", o.Arc2);
    SetChecked("LongitudeArc1", o.SeparationForm == FigureForm::LongitudeArc);
    SetChecked("GreatCircle1", o.SeparationForm == FigureForm::GreatCircle);
    SetChecked("SpotinMiddle1", s.separation().SpotInMiddle);
    CheckColour("Dist", o.DistColour1, "1");
    CheckColour("Dist", o.DistColour2, "2");
    SetChecked("Sunspot1", o.Sunspot);
    SetChecked("Points1", o.Points);
    SetChecked("Circle1", o.Circle);
    SetChecked("SubPixelLimb1", o.SubPixelLimb);
    for (int i = 0; i < static_cast<int>(ScreenItems.size()); ++i) {
        SetChecked(ToQString(ScreenItems[static_cast<std::size_t>(i)].Name), o.ScreenItem == i + 1);
    }
    const PickerLayouts& p = s.pickers();
    SetChecked("DateShort", !p.dateLong);
    SetChecked("DateLong", p.dateLong);
    Action("IncreaseDateWindow1")->setEnabled(p.increaseDateEnabled);
    Action("IncreaseTimeWindow1")->setEnabled(p.increaseTimeEnabled);
    Action("DecreaseDateWindow1")->setEnabled(p.decreaseDateEnabled);
    Action("DecreaseTimeWindow1")->setEnabled(p.decreaseTimeEnabled);
    for (const PrecisionMenu& m : kPrecisionMenus) {
        const int32_t chosen = PrecisionItem(m, s);
        for (int i = 1; i <= m.items.size(); ++i) {
            SetChecked(m.prefix + QString::number(i), i == chosen);
        }
    }
    Action("AltAzi1")->setText(ToQString(s.readouts().position.AltAzi1Caption));
    SetChecked("LogFileMessageBox1", o.LogFileMessageFlag == 0);
    SetChecked("N1sqmm", o.GridMm);
    SetChecked("N125sqin", !o.GridMm);
    Action("AddtoLogfile1")->setEnabled(s.LogfileOpen());
    const bool image = s.ImageShown();
    for (const char* item : {"Points1", "Circle1", "CloseImage1"})
        Action(item)->setEnabled(image);
    for (const char* menu : {"Rotation1", "Diameter1"})
        Action(menu)->setEnabled(!image);
    for (const char* item : {"ExportChart1", "PrintChart1"})
        Action(item)->setEnabled(!image);
    setWindowTitle(QString::fromStdString(s.Caption()));
}

} // namespace zorva::gui
