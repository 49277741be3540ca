// The menu bar: every command of the program in menu order, and its check marks, enabled
// items and captions as views of the session.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <stdexcept>

#include "gui/tzorvaform.h"
#include "gui/widget_text.h"

namespace zorva::gui {

QMenu* TZorvaForm::AddMenu(QMenu* parent, const QString& name, const QString& caption) {
    QMenu* menu = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    actions_[name] = menu->menuAction();
    return menu;
}

void TZorvaForm::Command(const std::function<void()>& command) {
    command();
    Show();
}

std::function<void()> TZorvaForm::Orient(Orientation mode) {
    return [this, mode] { Command([this, mode] { session_.Chart().ChooseOrientation(mode); }); };
}

std::function<void()> TZorvaForm::Widen(PickerWidthCommand command) {
    return [this, command] {
        Command([this, command] { session_.Observing().ChangePickerWidth(command); });
    };
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

void TZorvaForm::AddOptionItems(QMenu* menu, std::string_view menuName, int block) {
    // The items stand as the options' entries declare them; a colour or precision group
    // in its own submenu.
    QMenu* submenu = nullptr;
    const OptionPlace* place = nullptr;
    for (const OptionMenuItem& item : OptionMenuItems()) {
        const OptionPlace& at = *item.place;
        if (at.menu != menuName || at.block != block) continue;
        if (&at != place) {
            place = &at;
            submenu = at.submenu.empty()
                          ? nullptr
                          : AddMenu(menu, ToQString(at.submenu), ToQString(at.submenuCaption));
        }
        const std::string name = item.name;
        AddItem(submenu ? submenu : menu, ToQString(name), ToQString(item.caption),
                [this, name] { Command([this, name] { session_.ChooseOption(name); }); });
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
    AddItem(orientation, "FlipMenu", "&Flip (N - S)",
            [this] { Command([this] { session_.Chart().Flip(); }); });
    AddItem(orientation, "MirrorMenu", "&Mirror (E - W)",
            [this] { Command([this] { session_.Chart().Mirror(); }); });
    orientation->addSeparator();
    AddItem(orientation, "DiskOrientation1", "&Equatorial", Orient(Orientation::Equatorial));
    AddItem(orientation, "DiskOrientation3", "&AltAzimuth", Orient(Orientation::AltAzimuth));
    AddItem(orientation, "DiskOrientation2", "&Rotation Axis", Orient(Orientation::RotationAxis));
    // Shown, checked, while a picture lies as its header or file name says; choosing it keeps
    // that, and its caption names which.
    AddItem(orientation, "DiskOrientationFits", "From FITS header", [this] { Show(); });

    QMenu* diameter = AddMenu(nullptr, "Diameter1", "Disk &Diameter");
    for (int i = 0; i < static_cast<int>(DiameterItems.size()); ++i) {
        const DiameterItem& item = DiameterItems[static_cast<std::size_t>(i)];
        if (item.Name == "N4in") diameter->addSeparator();
        AddItem(diameter, ToQString(item.Name), ToQString(item.Caption),
                [this, i] { Command([this, i] { session_.Chart().ChooseDiameter(i); }); });
    }

    QMenu* lines = AddMenu(nullptr, "LatLongLines", "&Lat/Long Lines");
    AddOptionItems(lines, "LatLongLines", 1);
    lines->addSeparator();
    AddOptionItems(lines, "LatLongLines", 2);

    QMenu* rotation = AddMenu(nullptr, "Rotation1", "&Rotation");
    AddOptionItems(rotation, "Rotation1", 1);
    rotation->addSeparator();
    AddOptionItems(rotation, "Rotation1", 2);

    QMenu* srs = AddMenu(nullptr, "SolarRegionSummary", "Solar Region S&ummary");
    AddItem(srs, "LoadSRS1", "&Load SRS...", [this] { LoadSRS1Click(); });
    AddOptionItems(srs, "SolarRegionSummary", 1);
    srs->addSeparator();
    AddItem(srs, "LoadSRS2", "Link with &Date", [this] { LoadSRS2Click(); });
    AddOptionItems(srs, "SolarRegionSummary", 2);
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
    BuildReviewItems(spots);
    spots->addSeparator();
    AddOptionItems(spots, "Sunspots1", 1);
    BuildRecordMenu();

    QMenu* separation = AddMenu(nullptr, "Separation1", "&Separation");
    AddItem(separation, "Arc1", "Se&paration within disk",
            [this] { Command([this] { session_.ToggleArc(true); }); });
    AddOptionItems(separation, "Separation1", 1);
    separation->addSeparator();
    AddItem(separation, "Arc2", "Sep&aration outside disk",
            [this] { Command([this] { session_.ToggleArc(false); }); });
    AddOptionItems(separation, "Separation1", 2);

    QMenu* display = AddMenu(nullptr, "Display1", "D&isplay");
    AddOptionItems(display, "Display1", 1);
    AddItem(display, "SolarRegionSummary1", "S&olar Region Summary",
            [this] { SolarRegionSummary1Click(); });
    AddOptionItems(display, "Display1", 2);
    display->addSeparator();
    QMenu* screen = AddMenu(display, "ScreenResolution1", "Screen &Resolution");
    for (int i = 0; i < static_cast<int>(ScreenItems.size()); ++i) {
        const ScreenItem& item = ScreenItems[static_cast<std::size_t>(i)];
        AddItem(screen, ToQString(item.Name), ToQString(item.Caption),
                [this, i] { Command([this, i] { session_.Chart().ChooseScreen(i + 1); }); });
    }
    display->addSeparator();
    AddOptionItems(display, "Display1", 3);
    display->addSeparator();
    AddItem(display, "IncreaseDateWindow1", "&Increase Date Window",
            Widen(PickerWidthCommand::IncreaseDate), false);
    AddItem(display, "DecreaseDateWindow1", "&Decrease Date Window",
            Widen(PickerWidthCommand::DecreaseDate), false);
    AddItem(display, "IncreaseTimeWindow1", "I&ncrease Time Window",
            Widen(PickerWidthCommand::IncreaseTime), false);
    AddItem(display, "DecreaseTimeWindow1", "D&ecrease Time Window",
            Widen(PickerWidthCommand::DecreaseTime), false);
    display->addSeparator();
    AddOptionItems(display, "Display1", 4);
    display->addSeparator();
    AddOptionItems(display, "Display1", 5);

    QMenu* grid = AddMenu(nullptr, "SunspotGridSize", "Sunspot &Grid Size");
    AddOptionItems(grid, "SunspotGridSize", 1);

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
