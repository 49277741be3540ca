// Start-up, shut-down and the two settings files.
#include <QAction>
#include <QScrollBar>
#include <QSignalBlocker>

#include "core/settings/settings_store.h"
#include "gui/intro_form.h"
#include "gui/widget_text.h"
#include "gui/tzorvaform.h"

namespace zorva::gui {

namespace {
const QStringList kOrientationItems = {"DiskOrientation1", "DiskOrientation2",
                                       "DiskOrientation3"};
const QString kDeg = QStringLiteral("\u00B0");
} // namespace

void TZorvaForm::LoadSettings() {
    const LoadedSettingsFiles loaded = LoadSettingsFiles(folder_.toStdString());
    folders_ = loaded.folders;
    const SettingsLoad& load = loaded.settings;
    const Settings& s = load.settings;
    startupLoad_ = load;

    hideWelcome_ = s.HideWelcome;
    if (load.showWelcome) {
        TIntroForm intro(*this, this);
        dialogs_.ShowModal(intro);
    }

    chart_.FlipSign = s.FlipSign;
    chart_.MirrorSign = s.MirrorSign;
    chart_.ShowCentralMeridian = s.ShowCentralMeridian;
    chart_.ShowEquator = s.ShowEquator;
    chart_.ShowLatLines = s.ShowLatLines;
    chart_.ShowLongLines = s.ShowLongLines;
    chart_.ScreenWidth = s.ScreenWidth;
    chart_.ScreenHeight = s.ScreenHeight;
    if (load.orientation) chart_.Mode = *load.orientation;
    pickers_.dateLong = s.DateLong;
    pickers_.shortLayout = s.ShortDateLayout;
    pickers_.longLayout = s.LongDateLayout;
    obs_.observer = {s.ObserverLat, s.ObserverLong};
    markers_.CarrMarkerShown = s.Carrington.Shown;
    markers_.DiffMarkerShown = s.Differential.Shown;
    overlays_.CarrColour = s.Carrington.Colour;
    overlays_.CarrLabel = s.Carrington.Label;
    overlays_.DiffColour = s.Differential.Colour;
    overlays_.DiffLabel = s.Differential.Label;
    overlays_.SRSColour = s.SRSColour;
    overlays_.DistColour1 = s.DistColour1;
    overlays_.DistColour2 = s.DistColour2;
    overlays_.LogFileMessageFlag = s.LogFileMessageFlag;
    srsFileNameLabel_ = s.SRSFileNameLabel;
    precisions_ = ReadoutPrecisionsOf(s);
    spot_.LatLongPrecision = s.LatLongPrecision;
    spot_.AreaPrecision = s.AreaPrecision;

    // Items whose state lives in their check marks.
    SetChecked("NESWPoints1", s.NESWPoints);
    SetChecked("Sunspot1", load.sunspotChecked);
    SetChecked("Points1", s.Points);
    SetChecked("Circle1", s.Circle);
    if (load.separationPath == SeparationPathChoice::LongitudeArc1) {
        CheckOnly({"LongitudeArc1", "GreatCircle1"}, "LongitudeArc1");
    } else if (load.separationPath == SeparationPathChoice::GreatCircle1) {
        CheckOnly({"LongitudeArc1", "GreatCircle1"}, "GreatCircle1");
    }
    SetChecked("SpotinMiddle1", s.SpotInMiddle);
    sep_.SpotInMiddle = s.SpotInMiddle;
    if (load.orientation) {
        CheckOnly(kOrientationItems,
                  kOrientationItems[static_cast<int>(*load.orientation) - 1]);
    }
    QStringList screens;
    for (const ScreenItem& item : ScreenItems) screens << ToQString(item.Name);
    const int screen = static_cast<int>(load.screenItem);
    CheckOnly(screens, screen == 0 ? QString() : screens[screen - 1]);
}

void TZorvaForm::ApplyCheckMarks() {
    SetChecked("CentralMeridian1", chart_.ShowCentralMeridian);
    SetChecked("Equator1", chart_.ShowEquator);
    SetChecked("LatLines1", chart_.ShowLatLines);
    SetChecked("LongLines1", chart_.ShowLongLines);
    SetChecked("RotationCarrington", markers_.CarrMarkerShown);
    SetChecked("RotationDifferential", markers_.DiffMarkerShown);
    CheckColour("Carr", overlays_.CarrColour);
    CheckColour("Diff", overlays_.DiffColour);
    SetChecked("CarrLabel", overlays_.CarrLabel);
    SetChecked("DiffLabel", overlays_.DiffLabel);
    CheckColour("SRS", overlays_.SRSColour);
    CheckColour("SRS", overlays_.SRSColour, "2");
    SetChecked("SRSFileNameLabel", srsFileNameLabel_);
    SetChecked("SRSFileNameLabel2", srsFileNameLabel_);
    CheckColour("Dist", overlays_.DistColour1, "1");
    CheckColour("Dist", overlays_.DistColour2, "2");
    const auto check = [this](const QString& group, int count, int item) {
        for (int i = 1; i <= count; ++i) SetChecked(group + QString::number(i), i == item);
    };
    check("PrecisionRA", 3, PrecisionItemOf3(precisions_.RAPrecision));
    check("PrecisionDec", 3, PrecisionItemOf3(precisions_.DecPrecision));
    check("PrecisionAltAzi", 3, PrecisionItemOf3(precisions_.AltAziPrecision));
    check("PrecisionBLP", 2, PrecisionItemOf2(precisions_.BLPPrecision));
    check("PrecisionDia", 2, PrecisionItemOf2(precisions_.DiamPrecision));
    check("PrecisionLL", 2, PrecisionItemOf2(spot_.LatLongPrecision));
    check("PrecisionArea", 2, PrecisionItemOf2(spot_.AreaPrecision));
    SetChecked("LogFileMessageBox1", overlays_.LogFileMessageFlag == 0);
    action("FlipMenu")->setText(ToQString(FlipMenuCaption(chart_.Mode)));
    action("MirrorMenu")->setText(ToQString(MirrorMenuCaption(chart_.Mode)));
}

void TZorvaForm::ApplyWindowLayout() {
    fit_ = FitWindowToChart(Image->width(), Image->height(), chart_.ScreenWidth,
                            chart_.ScreenHeight);
    setGeometry(fit_.left, fit_.top, fit_.width, fit_.height);
    scroll_->setVerticalScrollBarPolicy(fit_.vScroll ? Qt::ScrollBarAlwaysOn
                                                     : Qt::ScrollBarAlwaysOff);
    scroll_->setHorizontalScrollBarPolicy(fit_.hScroll ? Qt::ScrollBarAlwaysOn
                                                       : Qt::ScrollBarAlwaysOff);
    // The form is as large as its contents, so the scroll bars have something to scroll.
    form_->resize(std::max(Image->x() + Image->width() + 8, GroupBox8->x() + GroupBox8->width() + 8),
                  std::max(Image->y() + Image->height() + 8,
                           GroupBox8->y() + GroupBox8->height() + 8));
}

void TZorvaForm::FormCreate() {
    LoadSettings();

    // Captions that end in the degree sign.
    action("PrecisionAltAzi1")->setText("  " + kDeg);
    action("PrecisionAltAzi2")->setText(" 0.1" + kDeg);
    action("PrecisionAltAzi3")->setText("0.01" + kDeg);
    action("PrecisionBLP1")->setText(" 0.1" + kDeg);
    action("PrecisionBLP2")->setText("0.01" + kDeg);
    action("PrecisionLL1")->setText(" 1" + kDeg);
    action("PrecisionLL2")->setText("0.1" + kDeg);

    ApplyWindowLayout();

    // No image, region summary or logfile yet.
    SetEnabled("Points1", false);
    SetEnabled("Circle1", false);
    SetEnabled("CloseImage1", false);
    SetEnabled("AddtoLogfile1", false);

    if (pickers_.dateLong) {
        DateLongClick();
    } else {
        DateShortClick();
    }

    {
        const QSignalBlocker blockDate(DatePicker);
        const QSignalBlocker blockTime(TimePicker);
        DatePicker->setDate(clock_.Today());
        TimePicker->setTime(QTime(12, 0, 0));
    }
    DecodeDate();
    DecodeTime();

    ApplyCheckMarks();

    LoadTableYear(obs_.instant.year);
    UpdateEphemeris();
    ShowPositionReadouts();
    ShowSolarParameters();

    ObserverLatBox->setText(QString::fromStdString(ShortestDecimalText(obs_.observer.latitude)));
    ObserverLongBox->setText(QString::fromStdString(ShortestDecimalText(obs_.observer.longitude)));
    DiskDiamLabel->setText(QStringLiteral("mm"));
    DiamBox->setText(QStringLiteral("500"));
    RunStartupDiameterCommand();

    spot_.SpotX = spot_.SpotY = 0;
    XCoordBox->setText(QStringLiteral("0.0"));
    YCoordBox->setText(QStringLiteral("0.0"));
    SizeBox->setText(QStringLiteral("0.0"));

    if (startupLoad_.settings.GridMm) {
        N1sqmmClick();
    } else {
        N125sqinClick();
    }

    LocateSpot(spot_, chart_, obs_.ephemeris);
    ShowSpotReadouts();
    RedrawChart();
    ShowSpotArea();

    ClearSeparation();
}

Settings TZorvaForm::CurrentSettings() const {
    Settings s;
    s.HideWelcome = hideWelcome_;
    s.FlipSign = chart_.FlipSign;
    s.MirrorSign = chart_.MirrorSign;
    SetChartDiameter(s, chart_.ChartDiameter, DiskDiamLabel->text() == QStringLiteral("in"));
    s.DateLong = pickers_.dateLong;
    s.ShortDateLayout = pickers_.shortLayout;
    s.LongDateLayout = pickers_.longLayout;
    s.GridMm = IsChecked("N1sqmm");
    s.ObserverLat = obs_.observer.latitude;
    s.ObserverLong = obs_.observer.longitude;
    s.NESWPoints = IsChecked("NESWPoints1");
    s.ShowCentralMeridian = chart_.ShowCentralMeridian;
    s.ShowEquator = chart_.ShowEquator;
    s.ShowLatLines = chart_.ShowLatLines;
    s.ShowLongLines = chart_.ShowLongLines;
    s.Carrington = {markers_.CarrMarkerShown, overlays_.CarrColour, overlays_.CarrLabel};
    s.Differential = {markers_.DiffMarkerShown, overlays_.DiffColour, overlays_.DiffLabel};
    s.ScreenWidth = chart_.ScreenWidth;
    s.ScreenHeight = chart_.ScreenHeight;
    s.Sunspot = IsChecked("Sunspot1");
    s.Points = IsChecked("Points1");
    s.Circle = IsChecked("Circle1");
    s.SRSColour = overlays_.SRSColour;
    s.SRSFileNameLabel = IsChecked("SRSFileNameLabel");
    s.SeparationPath = IsChecked("LongitudeArc1") ? 1 : 2;
    s.SpotInMiddle = IsChecked("SpotinMiddle1");
    s.DistColour1 = overlays_.DistColour1;
    s.DistColour2 = overlays_.DistColour2;
    s.OrientationMode = IsChecked("DiskOrientation1")   ? 1
                        : IsChecked("DiskOrientation2") ? 2
                        : IsChecked("DiskOrientation3") ? 3
                                                        : 0;
    s.RAPrecision = precisions_.RAPrecision;
    s.DecPrecision = precisions_.DecPrecision;
    s.AltAziPrecision = precisions_.AltAziPrecision;
    s.BLPPrecision = precisions_.BLPPrecision;
    s.DiamPrecision = precisions_.DiamPrecision;
    s.LatLongPrecision = spot_.LatLongPrecision;
    s.AreaPrecision = spot_.AreaPrecision;
    s.LogFileMessageFlag = overlays_.LogFileMessageFlag;
    return s;
}

void TZorvaForm::FormClose() {
    if (closed_) return;
    closed_ = true;
    SaveSettingsFiles(folder_.toStdString(), folders_, CurrentSettings());
}

} // namespace zorva::gui
