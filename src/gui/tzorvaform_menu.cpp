// The menu bar: every command of the program, in menu order.
#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "gui/widget_text.h"
#include "gui/tzorvaform.h"

namespace zorva::gui {

namespace {
struct ColourItem {
    const char* suffix;
    const char* caption;
    uint32_t colour;
};
constexpr ColourItem kColourItems[] = {
    {"Black", "Black", kColourBlack}, {"Red", "Red", kColourRed},
    {"Green", "Green", kColourGreen}, {"Blue", "Blue", kColourBlue},
    {"White", "White", kColourWhite},
};
const QString kDeg = QStringLiteral("\u00B0");
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
    connect(a, &QAction::triggered, this, [this, a, checkable, handler = std::move(handler)] {
        // The handlers set their own check marks, as radio items by hand and toggles by
        // their own rules, so the toggle Qt has just made is taken back first.
        if (checkable) a->setChecked(!a->isChecked());
        RunCommand(handler);
    });
    return a;
}

void TZorvaForm::AddColourMenu(QMenu* parent, const QString& name, const QString& prefix,
                               std::function<void(uint32_t)> handler) {
    QMenu* menu = AddMenu(parent, name, QStringLiteral("   Colour"));
    for (const ColourItem& item : kColourItems) {
        const uint32_t colour = item.colour;
        AddItem(menu, prefix + item.suffix, item.caption, [handler, colour] { handler(colour); });
    }
}

void TZorvaForm::CheckColour(const QString& prefix, uint32_t colour, const QString& tail) {
    for (const ColourItem& item : kColourItems) {
        SetChecked(prefix + item.suffix + tail, item.colour == colour);
    }
}

void TZorvaForm::BuildMenus() {
    // Items whose work arrives later stay disabled; `Later` marks them.
    const auto later = [](QAction* a) { a->setEnabled(false); };
    const auto none = [] {};

    QMenu* file = AddMenu(nullptr, "File1", "&File");
    later(AddItem(file, "OpenImage1", "Open &Image...", none, false));
    later(AddItem(file, "CloseImage1", "&Close Image", none, false));
    later(AddItem(file, "Save1", "Save Image", none, false));
    later(AddItem(file, "SaveAs1", "Save Image As...", none, false));
    file->addSeparator();
    AddItem(file, "NewLogfile1", "&New Logfile...", [this] { NewLogfile1Click(); }, false);
    AddItem(file, "OpenLogfile1", "&Open Logfile...", [this] { OpenLogfile1Click(); }, false);
    AddItem(file, "AddtoLogfile1", "&Add to Logfile", [this] { AddtoLogfile1Click(); }, false);
    file->addSeparator();
    AddItem(file, "Exit", "E&xit", [this] { ExitClick(); }, false);

    QMenu* orientation = AddMenu(nullptr, "DiskOrientation", "Disk &Orientaton");
    AddItem(orientation, "FlipMenu", "&Flip (N - S)", [this] { FlipMenuClick(); }, false);
    AddItem(orientation, "MirrorMenu", "&Mirror (E - W)", [this] { MirrorMenuClick(); }, false);
    orientation->addSeparator();
    AddItem(orientation, "DiskOrientation1", "&Equatorial",
            [this] { DiskOrientationClick(Orientation::Equatorial); });
    AddItem(orientation, "DiskOrientation3", "&AltAzimuth",
            [this] { DiskOrientationClick(Orientation::AltAzimuth); });
    AddItem(orientation, "DiskOrientation2", "&Rotation Axis",
            [this] { DiskOrientationClick(Orientation::RotationAxis); });
    SetChecked("DiskOrientation1", true);

    QMenu* diameter = AddMenu(nullptr, "DiskDiameter", "Disk &Diameter");
    for (const DiameterItem& item : DiameterItems) {
        if (item.Name == "N4in") diameter->addSeparator();
        const QString name = ToQString(item.Name);
        AddItem(diameter, name, ToQString(item.Caption),
                [this, name] { DiameterClick(name); });
    }

    QMenu* lines = AddMenu(nullptr, "LatLongLines", "&Lat/Long Lines");
    AddItem(lines, "NESWPoints1", "&N E S W Points",
            [this] { GridLineClick("NESWPoints1", nullptr); });
    lines->addSeparator();
    AddItem(lines, "CentralMeridian1", "&Central Meridian",
            [this] { GridLineClick("CentralMeridian1", &chart_.ShowCentralMeridian); });
    AddItem(lines, "Equator1", "&Equator",
            [this] { GridLineClick("Equator1", &chart_.ShowEquator); });
    AddItem(lines, "LatLines1", "L&atitude Lines",
            [this] { GridLineClick("LatLines1", &chart_.ShowLatLines); });
    AddItem(lines, "LongLines1", "L&ongitude Lines",
            [this] { GridLineClick("LongLines1", &chart_.ShowLongLines); });

    QMenu* rotation = AddMenu(nullptr, "Rotation1", "&Rotation");
    AddItem(rotation, "RotationCarrington", "&Carrington", [this] { RotationCarringtonClick(); });
    AddColourMenu(rotation, "CarrSetColour", "Carr", [this](uint32_t c) { SetCarrColour(c); });
    AddItem(rotation, "CarrLabel", "   Label",
            [this] { ToggleAndRecalc("CarrLabel", overlays_.CarrLabel); });
    rotation->addSeparator();
    AddItem(rotation, "RotationDifferential", "&Differential",
            [this] { RotationDifferentialClick(); });
    AddColourMenu(rotation, "DiffSetColour", "Diff", [this](uint32_t c) { SetDiffColour(c); });
    AddItem(rotation, "DiffLabel", "   Label",
            [this] { ToggleAndRecalc("DiffLabel", overlays_.DiffLabel); });

    QMenu* srs = AddMenu(nullptr, "SolarRegionSummary", "Solar Region S&ummary");
    later(AddItem(srs, "LoadSRS1", "&Load SRS...", none, false));
    AddColourMenu(srs, "SRSColour", "SRS", [this](uint32_t c) { SetSRSColour(c); });
    AddItem(srs, "SRSFileNameLabel", "   &File Name Label", [this] { SRSFileNameLabelClick(); });
    srs->addSeparator();
    later(AddItem(srs, "LoadSRS2", "Link with &Date", none));
    {
        // The second colour menu of the region summaries: items SRSBlack2 ... SRSWhite2.
        QMenu* colour = AddMenu(srs, "Colour1", QStringLiteral("   Colour"));
        for (const ColourItem& item : kColourItems) {
            const uint32_t c = item.colour;
            AddItem(colour, QStringLiteral("SRS") + item.suffix + QStringLiteral("2"), item.caption,
                    [this, c] { SetSRSColour(c); });
        }
    }
    AddItem(srs, "SRSFileNameLabel2", "   &File Name Label", [this] { SRSFileNameLabelClick(); });

    QMenu* separation = AddMenu(nullptr, "Separation1", "&Separation");
    AddItem(separation, "Arc1", "Se&paration within disk", [this] { ArcClick("Arc1", "Arc2"); });
    AddItem(separation, "LongitudeArc1", "   L&ongitude Arc",
            [this] { SeparationPathClick("LongitudeArc1", "GreatCircle1"); });
    AddItem(separation, "GreatCircle1", "   &Great Circle",
            [this] { SeparationPathClick("GreatCircle1", "LongitudeArc1"); });
    AddItem(separation, "SpotinMiddle1", "   S&pot in Middle", [this] { SpotinMiddle1Click(); });
    {
        QMenu* colour = AddMenu(separation, "DistColour1", QStringLiteral("   Colour"));
        for (const ColourItem& item : kColourItems) {
            const uint32_t c = item.colour;
            AddItem(colour, QStringLiteral("Dist") + item.suffix + QStringLiteral("1"), item.caption,
                    [this, c] { SetDistColour1(c); });
        }
    }
    separation->addSeparator();
    AddItem(separation, "Arc2", "Sep&aration outside disk", [this] { ArcClick("Arc2", "Arc1"); });
    {
        QMenu* colour = AddMenu(separation, "DistColour2", QStringLiteral("   Colour"));
        for (const ColourItem& item : kColourItems) {
            const uint32_t c = item.colour;
            AddItem(colour, QStringLiteral("Dist") + item.suffix + QStringLiteral("2"), item.caption,
                    [this, c] { SetDistColour2(c); });
        }
    }

    QMenu* display = AddMenu(nullptr, "Display1", "D&isplay");
    AddItem(display, "Sunspot1", "S&unspot", [this] { Sunspot1Click(); });
    later(AddItem(display, "SolarRegionSummary1", "S&olar Region Summary", none));
    later(AddItem(display, "Points1", "&Points", none));
    later(AddItem(display, "Circle1", "&Circle", none));
    display->addSeparator();
    QMenu* screen = AddMenu(display, "ScreenResolution1", "Screen &Resolution");
    for (int i = 0; i < static_cast<int>(ScreenItems.size()); ++i) {
        const ScreenItem& item = ScreenItems[i];
        AddItem(screen, ToQString(item.Name),
                ToQString(item.Caption),
                [this, i] { ScreenResolutionClick(i); });
    }
    display->addSeparator();
    AddItem(display, "DateShort", "&Short Date Format", [this] { DateShortClick(); });
    AddItem(display, "DateLong", "&Long Date Format", [this] { DateLongClick(); });
    display->addSeparator();
    AddItem(display, "IncreaseDateWindow1", "&Increase Date Window",
            [this] { IncreaseDateWindow1Click(); }, false);
    AddItem(display, "DecreaseDateWindow1", "&Decrease Date Window",
            [this] { DecreaseDateWindow1Click(); }, false);
    AddItem(display, "IncreaseTimeWindow1", "I&ncrease Time Window",
            [this] { IncreaseTimeWindow1Click(); }, false);
    AddItem(display, "DecreaseTimeWindow1", "D&ecrease Time Window",
            [this] { DecreaseTimeWindow1Click(); }, false);
    display->addSeparator();

    // The precision groups: each item sets its group's value and checks itself alone.
    struct PrecisionGroup {
        const char* menu;
        const char* caption;
        const char* prefix;
        QStringList items;
    };
    const PrecisionGroup groups[] = {
        {"RightAscension1", "Right Ascension", "PrecisionRA", {"min", "0.1 min", "sec"}},
        {"Declination1", "Declination", "PrecisionDec", {"'", "0.1'", "\""}},
        // Captions ending in the degree sign are set at start-up; these are never seen.
        {"AltAzi1", "Alt && Azi", "PrecisionAltAzi", {"deg", "0.1 deg", "0.01 deg"}},
        {"B01", "Bo, Lo && P", "PrecisionBLP", {"0.1 deg", "0.01 deg"}},
        {"Diameter2", "Diameter", "PrecisionDia", {"\"", "0.1\""}},
        {"LatLong1", "Lat && Long", "PrecisionLL", {"deg", "0.1 deg"}},
        {"Area1", "Area", "PrecisionArea", {"10", "1"}},
    };
    for (const PrecisionGroup& g : groups) {
        QMenu* sub = AddMenu(display, g.menu, g.caption);
        for (int i = 0; i < g.items.size(); ++i) {
            const QString prefix = g.prefix;
            const int count = static_cast<int>(g.items.size());
            AddItem(sub, prefix + QString::number(i + 1), g.items[i],
                    [this, prefix, count, i] { PrecisionClick(prefix, count, i + 1); });
        }
    }
    display->addSeparator();
    AddItem(display, "LogFileMessageBox1", "Logfile Message Box",
            [this] { LogFileMessageBox1Click(); });

    QMenu* grid = AddMenu(nullptr, "SunspotGridSize", "Sunspot &Grid Size");
    AddItem(grid, "N1sqmm", "1 by 1 mm", [this] { N1sqmmClick(); });
    AddItem(grid, "N125sqin", "1/25 by 1/25 in", [this] { N125sqinClick(); });

    QMenu* help = AddMenu(nullptr, "Help1", "&Help");
    AddItem(help, "Contents1", "&Contents", [this] { Contents1Click(); }, false);
    AddItem(help, "Welcome1", "&Welcome...", [this] { Welcome1Click(); }, false);
    AddItem(help, "About", "&About...", [this] { AboutClick(); }, false);
}

} // namespace zorva::gui
