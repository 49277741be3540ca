// Clicks on the chart, heliographic separation, and the measurement logfile.
#include <QAction>
#include <QLocale>

#include "core/chart/projection.h"
#include "core/logfile/logfile.h"
#include "core/measure/pointer.h"
#include "core/settings/directory_file.h"
#include "core/settings/settings_file.h"
#include "gui/tzorvaform.h"
#include "render/separation_painter.h"

namespace zorva::gui {

namespace {
const QString kAddCaption = QStringLiteral("Add to Logfile");
const QString kLogfileFilter = QStringLiteral("Text files (*.txt)|*.TXT");

// A measured coordinate as the boxes show it: shortest decimal form, with the locale's
// separator, which is what the boxes read back.
QString BoxText(double v) {
    QString text = QString::fromStdString(ShortestDecimalText(v));
    text.replace(QLatin1Char('.'), QLocale().decimalPoint());
    return text;
}
} // namespace

double TZorvaForm::CurrentChartRotation() const {
    return ChartRotation(chart_.Mode, obs_.ephemeris.P, obs_.ephemeris.ParallacticAngle);
}

void TZorvaForm::SetCoordinateBoxes(double x, double y) {
    XCoordBox->setText(BoxText(RoundToHundredthsAwayFromZero(x)));
    XCoordBoxChange();
    YCoordBox->setText(BoxText(RoundToHundredthsAwayFromZero(y)));
    YCoordBoxChange();
}

void TZorvaForm::ImageMouseDown(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int X,
                                int Y) {
    const bool left = buttons.testFlag(Qt::LeftButton);
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    const DiskClick click =
        PointToDisk(X, Y, Image->width(), Image->height(), chart_.ChartDiameter);

    if (left && !shift && !ctrl) {
        if (!OnDisk(click.d, chart_.ChartDiameter)) return;
        SetCoordinateBoxes(click.x, click.y);
        // The boxes redrew the chart; the figure goes back over it, the spot staying put.
        if (IsChecked("Arc1") && !sep_.SepPending) {
            sep_.SpotInMiddle = false;
            DrawSeparation(FigureForm::GreatCircle);
            sep_.SpotInMiddle = IsChecked("SpotinMiddle1");
        }
    } else if (left && shift && !ctrl) {
        const FigureForm checked =
            IsChecked("GreatCircle1") ? FigureForm::GreatCircle : FigureForm::LongitudeArc;
        const ShiftClickOutcome outcome =
            ShiftClickSeparation(sep_, click, checked, chart_, obs_.ephemeris);
        if (outcome.FirstPoint && (IsChecked("Arc1") || IsChecked("Arc2"))) RedrawChart();
        sep_ = outcome.State;
        if (outcome.Check) {
            const bool within = *outcome.Check == ArcItem::Arc1;
            SetChecked("Arc1", within);
            SetChecked("Arc2", !within);
        }
        if (outcome.Draw) {
            DrawSeparation(*outcome.Draw);
            ShowSeparation();
        }
    } else if (left && ctrl && !shift) {
        AddtoLogfile1Click();
    }
    // Region summaries would be replotted here, to stay on top of what was drawn.
}

void TZorvaForm::DrawSeparation(FigureForm form) {
    if (!ChartShown()) return;
    const double q = CurrentChartRotation();
    const SeparationFigure figure = SeparationFigureOf(sep_, form, obs_.ephemeris);
    if (sep_.SpotInMiddle && figure.Middle) {
        const DiskFrame frame = ChartFrame(Image->width(), Image->height(), chart_, q);
        if (const auto middle = SeparationMiddlePixel(figure, frame)) {
            const DiskPoint p = PixelToDisk(frame, middle->x(), middle->y());
            SetCoordinateBoxes(p.x, p.y);
        }
    }
    DrawChartSeparation(Image->canvas(), figure, chart_, q,
                        {overlays_.DistColour1, overlays_.DistColour2});
    Image->update();
}

void TZorvaForm::ShowSeparation() {
    const SeparationLabels labels = ShowSeparationTexts(sep_);
    SetLabelText(Sep1Label, labels.Sep1Label);
    SetLabelText(Sep2Label, labels.Sep2Label);
    SetLabelText(LL1Label, labels.LL1Label);
    SetLabelText(LL2Label, labels.LL2Label);
}

void TZorvaForm::ClearSeparation() {
    ResetSeparation(sep_);
    ShowSeparation();
}

void TZorvaForm::RefreshOverlays() {
    if (IsChecked("Arc1") || IsChecked("Arc2")) {
        DrawSeparation(IsChecked("GreatCircle1") ? FigureForm::GreatCircle
                                                 : FigureForm::LongitudeArc);
    }
}

void TZorvaForm::ArcClick(const QString& own, const QString& other) {
    if (IsChecked(own)) {
        SetChecked(own, false);
        DatePickerChange(); // clears the separation once neither mode is on
    } else {
        SetChecked(own, true);
        SetChecked(other, false);
    }
}

void TZorvaForm::SeparationPathClick(const QString& own, const QString& other) {
    const bool on = !IsChecked(own);
    SetChecked(own, on);
    SetChecked(other, !on);
}

void TZorvaForm::SpotinMiddle1Click() {
    const bool on = !IsChecked("SpotinMiddle1");
    SetChecked("SpotinMiddle1", on);
    sep_.SpotInMiddle = on;
    DrawSeparation(IsChecked("GreatCircle1") ? FigureForm::GreatCircle
                                             : FigureForm::LongitudeArc);
}

// --- The logfile ---

FileDialogRequest TZorvaForm::LogfileRequest(const QString& title) const {
    FileDialogRequest request;
    request.title = title;
    request.filter = kLogfileFilter;
    request.fileName = QString::fromUtf8(DefaultLogfileName);
    request.defaultSuffix = QStringLiteral("txt");
    request.initialFolder = QString::fromStdString(folders_.LogfileDir);
    return request;
}

void TZorvaForm::ChooseLogfile(const QString& path) {
    logfileOpen_ = true;
    logfilePath_ = path;
    SetEnabled("AddtoLogfile1", true);
    folders_.LogfileDir = SplitFolder(path.toStdString()).folder;
}

void TZorvaForm::NewLogfile1Click() {
    FileDialogRequest request = LogfileRequest(QStringLiteral("New Zorva Logfile"));
    // Replacing a file of measurements loses them: the dialog asks first.
    request.confirmOverwrite = true;
    const QString path = dialogs_.SaveFile(this, request);
    if (path.isEmpty()) return;
    const LogfileResult created = CreateLogfile(path.toStdString());
    if (!created.ok) {
        dialogs_.Message(this,
                         QStringLiteral("The logfile could not be created: ") +
                             QString::fromStdString(created.error),
                         QStringLiteral("New Logfile"), MessageIcon::Error, MessageButtons::Ok);
        return;
    }
    ChooseLogfile(path);
}

void TZorvaForm::OpenLogfile1Click() {
    FileDialogRequest request = LogfileRequest(QStringLiteral("Open Zorva Logfile"));
    request.mustExist = true;
    const QString path = dialogs_.OpenFile(this, request);
    if (path.isEmpty()) return;
    ChooseLogfile(path);
}

void TZorvaForm::AddtoLogfile1Click() {
    if (!logfileOpen_) {
        if (dialogs_.Message(this, QStringLiteral("The logfile is not open: press OK to open logfile."),
                             kAddCaption, MessageIcon::Warning, MessageButtons::OkCancel) ==
            MessageResult::Ok) {
            NewLogfile1Click();
        }
        return;
    }
    if (spot_.SpotLat == NoValue) return; // no spot on the disk to log

    LogfileInputs in;
    in.instant = obs_.instant;
    in.ephemeris = obs_.ephemeris;
    in.FlipSign = chart_.FlipSign;
    in.MirrorSign = chart_.MirrorSign;
    in.ChartDiameter = chart_.ChartDiameter;
    in.spot = spot_;
    in.observer = obs_.observer;
    in.separation = sep_;
    const LogfileResult added = AppendToLogfile(logfilePath_.toStdString(), LogfileLine(in));
    if (!added.ok) {
        dialogs_.Message(this,
                         QStringLiteral("The measurement was not added to the logfile: ") +
                             QString::fromStdString(added.error),
                         kAddCaption, MessageIcon::Error, MessageButtons::Ok);
        return;
    }
    if (overlays_.LogFileMessageFlag == 0) {
        dialogs_.Message(this, QStringLiteral("Measurement added to logfile."), kAddCaption,
                         MessageIcon::Information, MessageButtons::Ok);
    }
}

} // namespace zorva::gui
