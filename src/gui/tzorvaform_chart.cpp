// The chart: its diameter, orientation, flip and mirror, grid lines, and the sunspot entry.
#include <QAction>
#include <QLocale>
#include <QSignalBlocker>
#include <stdexcept>

#include "core/chart/projection.h"
#include "core/text/numeric_text.h"
#include "gui/widget_text.h"
#include "gui/tzorvaform.h"
#include "render/chart_painter.h"

namespace zorva::gui {

namespace {

} // namespace

bool TZorvaForm::ChartShown() const { return !Image->isHidden(); }
bool TZorvaForm::ImageShown() const { return !Image1->isHidden(); }

void TZorvaForm::RedrawChart() {
    ChartScene scene = MakeChartScene(chart_, obs_.ephemeris, spot_, markers_);
    scene.NESWPoints = IsChecked("NESWPoints1");
    scene.Sunspot = IsChecked("Sunspot1");
    scene.Carrington = {overlays_.CarrColour, overlays_.CarrLabel};
    scene.Differential = {overlays_.DiffColour, overlays_.DiffLabel};
    const MarkerPixel marker = zorva::RedrawChart(Image->canvas(), scene, labelFont_);
    markerX_ = marker.MarkerX;
    markerY_ = marker.MarkerY;
    Image->update();
}

void TZorvaForm::ShowSpotReadouts() {
    const SpotReadouts r = UpdateSpotReadouts(spot_);
    SetLabel(LatLabel, r.LatText, r.LatLeft);
    SetLabel(LongLabel, r.LongText, r.LongLeft);
    SetLabelText(SunspotCRLabel, r.RotationText);
}

void TZorvaForm::ShowSpotArea() {
    const AreaReadout r = ComputeSpotArea(spot_, chart_.ChartDiameter);
    SetLabelText(AreaLabel, r.Text);
    QPalette palette = AreaLabel->palette();
    palette.setColor(QPalette::WindowText, r.Red ? Qt::red : Qt::black);
    AreaLabel->setPalette(palette);
    if (r.NewLeft) AreaLabel->move(*r.NewLeft, AreaLabel->y());
}

// While the chart geometry changes the rotated markers step aside for the plain spot.
void TZorvaForm::HoldRotationMarkers(bool rerunCoordinates) {
    if (IsChecked("RotationCarrington")) {
        markers_.CarrMarkerShown = false;
        markers_.CarrRefSet = false;
        if (rerunCoordinates) RelocateTypedSpot();
    }
    if (IsChecked("RotationDifferential")) {
        markers_.DiffMarkerShown = false;
        if (rerunCoordinates) RelocateTypedSpot();
    }
}

void TZorvaForm::RestoreRotationMarkers() {
    if (IsChecked("RotationCarrington")) markers_.CarrMarkerShown = true;
    if (IsChecked("RotationDifferential")) markers_.DiffMarkerShown = true;
}

// The spot taken again from the coordinate boxes, with the markers held.
void TZorvaForm::RelocateTypedSpot() {
    for (QLineEdit* box : {XCoordBox, YCoordBox}) {
        if (!IsNumericText(box->text().toStdString())) continue;
        (box == XCoordBox ? spot_.SpotX : spot_.SpotY) = BoxNumber(box->text());
        LocateSpot(spot_, chart_, obs_.ephemeris);
        ShowSpotReadouts();
        if (ChartShown()) RedrawChart();
        ShowSpotArea();
    }
}

void TZorvaForm::ResizeChart() {
    const int32_t side = ChartSide(chart_.ChartDiameter);
    Image->setCanvasSize(side, side);
    ApplyWindowLayout();
}

void TZorvaForm::AfterChartGeometryChange() {
    HoldRotationMarkers(true);
    LocateSpot(spot_, chart_, obs_.ephemeris);
    ShowSpotReadouts();
    RedrawChart();
    // The area depends on the chart's diameter too.
    ShowSpotArea();
    RestoreRotationMarkers();
    RefreshOverlays();
}

void TZorvaForm::ApplyChartSize(const DiameterItem& item) {
    chart_.ChartDiameter = item.DiameterMm;
    ResizeChart();
    DiskDiamLabel->setText(ToQString(item.Unit));
    DiskDiamLabel->adjustSize();
    DiamBox->setText(QString::fromStdString(DiamBoxText(item.BoxValue)));
    DiamBox->setReadOnly(true);
    CheckDiameterItem(ToQString(item.Name));
    AfterChartGeometryChange();
}

void TZorvaForm::CheckDiameterItem(const QString& name) {
    for (const DiameterItem& d : DiameterItems) SetChecked(ToQString(d.Name), ToQString(d.Name) == name);
}

void TZorvaForm::DiameterClick(const QString& name) {
    for (const DiameterItem& item : DiameterItems) {
        if (ToQString(item.Name) != name) continue;
        if (item.Fixed) {
            ApplyChartSize(item);
        } else {
            OtherDiameterClick(item);
        }
        return;
    }
}

void TZorvaForm::OtherDiameterClick(const DiameterItem& item) {
    const QString text = DiamBox->text();
    if (!IsNumericText(text.toStdString()) || !(BoxNumber(text) > 0)) return;
    if (TypedDiameterMm(BoxNumber(text), item.Unit) > LargestChartDiameter) return;
    DiskDiamLabel->setText(ToQString(item.Unit));
    DiskDiamLabel->adjustSize();
    DiamBox->setReadOnly(!ChartShown());
    CheckDiameterItem(ToQString(item.Name));
    DiamBoxChange();
}

void TZorvaForm::DiamBoxChange() {
    const QString text = DiamBox->text();
    if (!IsNumericText(text.toStdString())) return;
    const double value = BoxNumber(text);
    if (!(value > 0) || !ChartShown()) return;
    const double diameter = TypedDiameterMm(value, DiskDiamLabel->text().toStdString());
    if (diameter > LargestChartDiameter) return; // ignored like any unusable diameter
    chart_.ChartDiameter = diameter;
    ResizeChart();
    AfterChartGeometryChange();
}

void TZorvaForm::RunStartupDiameterCommand() {
    static constexpr const char* kCommands[] = {"N100mm", "N125mm", "N150mm", "N4in",
                                                "N5in",   "N6in",   "Othermm", "Otherin"};
    const DiameterCommand command = startupLoad_.diameterCommand;
    if (command == DiameterCommand::None) return;
    if (command == DiameterCommand::Othermm || command == DiameterCommand::Otherin) {
        DiskDiamLabel->setText(command == DiameterCommand::Othermm ? QStringLiteral("mm")
                                                                  : QStringLiteral("in"));
        DiamBox->setText(QString::fromStdString(startupLoad_.diamBoxText));
    }
    DiameterClick(kCommands[static_cast<int>(command)]);
}

void TZorvaForm::FlipMenuClick() { FlipOrMirror(chart_.FlipSign); }
void TZorvaForm::MirrorMenuClick() { FlipOrMirror(chart_.MirrorSign); }

void TZorvaForm::FlipOrMirror(int32_t& sign) {
    sign = ToggledSign(sign);
    if (ChartShown()) {
        HoldRotationMarkers(false);
        LocateSpot(spot_, chart_, obs_.ephemeris);
        ShowSpotReadouts();
        RedrawChart();
        RestoreRotationMarkers();
        RefreshOverlays();
    } else if (ImageShown()) {
        RefreshOverlays();
    }
}

void TZorvaForm::DiskOrientationClick(Orientation mode) {
    static const QStringList kItems = {"DiskOrientation1", "DiskOrientation2",
                                       "DiskOrientation3"};
    chart_.Mode = mode;
    CheckOnly(kItems, kItems[static_cast<int>(mode) - 1]);
    action("FlipMenu")->setText(ToQString(FlipMenuCaption(mode)));
    action("MirrorMenu")->setText(ToQString(MirrorMenuCaption(mode)));
    ShowPositionReadouts();
    if (ChartShown()) {
        LocateSpot(spot_, chart_, obs_.ephemeris);
        ShowSpotReadouts();
        RedrawChart();
    }
    RefreshOverlays();
}

void TZorvaForm::GridLineClick(const QString& name, bool* flag) {
    const bool on = !IsChecked(name);
    SetChecked(name, on);
    if (flag) *flag = on;
    if (ChartShown()) RedrawChart();
    RefreshOverlays();
}

void TZorvaForm::Sunspot1Click() {
    if (IsChecked("Sunspot1")) {
        // While a rotation marker is shown the spot stays on.
        if (!markers_.CarrMarkerShown && !markers_.DiffMarkerShown) SetChecked("Sunspot1", false);
    } else {
        SetChecked("Sunspot1", true);
    }
    if (ChartShown()) RedrawChart();
    RefreshOverlays();
}

void TZorvaForm::CoordBoxChange(QLineEdit* box, double& value) {
    const QString text = box->text();
    if (!IsNumericText(text.toStdString())) return;
    value = BoxNumber(text);
    HoldRotationMarkers(false);
    LocateSpot(spot_, chart_, obs_.ephemeris);
    ShowSpotReadouts();
    if (ChartShown()) RedrawChart();
    ShowSpotArea();
    RestoreRotationMarkers();
}

void TZorvaForm::XCoordBoxChange() { CoordBoxChange(XCoordBox, spot_.SpotX); }
void TZorvaForm::YCoordBoxChange() { CoordBoxChange(YCoordBox, spot_.SpotY); }

void TZorvaForm::SizeBoxChange() {
    const QString text = SizeBox->text();
    if (!IsNumericText(text.toStdString())) return;
    const double value = BoxNumber(text);
    if (!(value >= 0)) return;
    spot_.SpotSize = value;
    ShowSpotArea();
}

void TZorvaForm::N1sqmmClick() {
    SizeLabel->setText(QString::fromUtf8(MmGridSizeLabel));
    SizeLabel->adjustSize();
    CheckOnly({"N1sqmm", "N125sqin"}, "N1sqmm");
    spot_.GridCellArea = MmGridCellArea;
    ShowSpotArea();
}

void TZorvaForm::N125sqinClick() {
    SizeLabel->setText(QString::fromUtf8(InchGridSizeLabel));
    SizeLabel->adjustSize();
    CheckOnly({"N1sqmm", "N125sqin"}, "N125sqin");
    spot_.GridCellArea = InchGridCellArea;
    ShowSpotArea();
}

} // namespace zorva::gui
