// The handlers of the window's controls and menu items: each hands its command to the
// session and shows what changed.
#include <QStatusBar>

#include "core/logfile/logfile.h"
#include "gui/about_form.h"
#include "gui/help_window.h"
#include "gui/intro_form.h"
#include "gui/tzorvaform.h"

namespace zorva::gui {

namespace {
const QString kAddCaption = QStringLiteral("Add to Logfile");
const QString kLogfileFilter = QStringLiteral("Text files (*.txt)|*.TXT");
constexpr int kStatusMessageMs = 5000;
} // namespace

// --- The instant and the observer ---

void TZorvaForm::DatePickerChange() {
    const QDate d = DatePicker->date();
    Apply(session_.ChangeDate({d.year(), d.month(), d.day()}, DatePicker->Spinning()));
}

void TZorvaForm::TimePickerChange() {
    const QTime t = TimePicker->time();
    Apply(session_.ChangeTime({t.hour(), t.minute(), t.second()}, TimePicker->Spinning()));
}

void TZorvaForm::ObserverLatBoxChange() {
    EditBoxChanged(EditBox::ObserverLat);
}
void TZorvaForm::ObserverLongBoxChange() {
    EditBoxChanged(EditBox::ObserverLong);
}
void TZorvaForm::DiamBoxChange() {
    EditBoxChanged(EditBox::Diameter);
}
void TZorvaForm::XCoordBoxChange() {
    EditBoxChanged(EditBox::XCoord);
}
void TZorvaForm::YCoordBoxChange() {
    EditBoxChanged(EditBox::YCoord);
}
void TZorvaForm::SizeBoxChange() {
    EditBoxChanged(EditBox::Size);
}

// --- Display ---

void TZorvaForm::DateShortClick() {
    Apply(session_.ChooseDateFormat(false));
}
void TZorvaForm::DateLongClick() {
    Apply(session_.ChooseDateFormat(true));
}

void TZorvaForm::IncreaseDateWindow1Click() {
    Apply(session_.ChangePickerWidth(PickerWidthCommand::IncreaseDate));
}
void TZorvaForm::DecreaseDateWindow1Click() {
    Apply(session_.ChangePickerWidth(PickerWidthCommand::DecreaseDate));
}
void TZorvaForm::IncreaseTimeWindow1Click() {
    Apply(session_.ChangePickerWidth(PickerWidthCommand::IncreaseTime));
}
void TZorvaForm::DecreaseTimeWindow1Click() {
    Apply(session_.ChangePickerWidth(PickerWidthCommand::DecreaseTime));
}

void TZorvaForm::PrecisionClick(PrecisionGroup group, int item) {
    Apply(session_.ChoosePrecision(group, item));
}

void TZorvaForm::ScreenResolutionClick(int item) {
    Apply(session_.ChooseScreen(item));
}
void TZorvaForm::LogFileMessageBox1Click() {
    Apply(session_.ToggleLogfileMessages());
}

// --- The chart ---

void TZorvaForm::DiameterClick(int item) {
    Apply(session_.ChooseDiameter(item));
}
void TZorvaForm::FlipMenuClick() {
    Apply(session_.Flip());
}
void TZorvaForm::MirrorMenuClick() {
    Apply(session_.Mirror());
}

void TZorvaForm::DiskOrientation1Click() {
    Apply(session_.ChooseOrientation(Orientation::Equatorial));
}
void TZorvaForm::DiskOrientation2Click() {
    Apply(session_.ChooseOrientation(Orientation::RotationAxis));
}
void TZorvaForm::DiskOrientation3Click() {
    Apply(session_.ChooseOrientation(Orientation::AltAzimuth));
}

void TZorvaForm::GridItemClick(GridItem item) {
    Apply(session_.ToggleGridItem(item));
}
void TZorvaForm::Sunspot1Click() {
    Apply(session_.ToggleSunspot());
}
void TZorvaForm::N1sqmmClick() {
    Apply(session_.ChooseGridSize(true));
}
void TZorvaForm::N125sqinClick() {
    Apply(session_.ChooseGridSize(false));
}

// --- Rotation markers and region summary options ---

void TZorvaForm::RotationCarringtonClick() {
    Apply(session_.ToggleRotation(RotationMarker::Carrington));
}
void TZorvaForm::RotationDifferentialClick() {
    Apply(session_.ToggleRotation(RotationMarker::Differential));
}
void TZorvaForm::CarrColourClick(uint32_t colour) {
    Apply(session_.ChooseMarkerColour(RotationMarker::Carrington, colour));
}
void TZorvaForm::DiffColourClick(uint32_t colour) {
    Apply(session_.ChooseMarkerColour(RotationMarker::Differential, colour));
}
void TZorvaForm::CarrLabelClick() {
    Apply(session_.ToggleMarkerLabel(RotationMarker::Carrington));
}
void TZorvaForm::DiffLabelClick() {
    Apply(session_.ToggleMarkerLabel(RotationMarker::Differential));
}
void TZorvaForm::SRSColourClick(uint32_t colour) {
    Apply(session_.ChooseSRSColour(colour));
}
void TZorvaForm::SRSFileNameLabelClick() {
    Apply(session_.ToggleSRSFileNameLabel());
}

// --- Separation ---

void TZorvaForm::Arc1Click() {
    Apply(session_.ToggleArc(true));
}
void TZorvaForm::Arc2Click() {
    Apply(session_.ToggleArc(false));
}
void TZorvaForm::LongitudeArc1Click() {
    Apply(session_.ToggleSeparationPath(FigureForm::LongitudeArc));
}
void TZorvaForm::GreatCircle1Click() {
    Apply(session_.ToggleSeparationPath(FigureForm::GreatCircle));
}
void TZorvaForm::SpotinMiddle1Click() {
    Apply(session_.ToggleSpotInMiddle());
}
void TZorvaForm::DistColour1Click(uint32_t colour) {
    Apply(session_.ChooseSeparationColour(true, colour));
}
void TZorvaForm::DistColour2Click(uint32_t colour) {
    Apply(session_.ChooseSeparationColour(false, colour));
}

void TZorvaForm::ImageMouseDown(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int X,
                                int Y) {
    Apply(session_.ChartMouseDown(buttons.testFlag(Qt::LeftButton),
                                  modifiers.testFlag(Qt::ShiftModifier),
                                  modifiers.testFlag(Qt::ControlModifier), X, Y));
}

// --- The logfile ---

namespace {
FileDialogRequest LogfileRequest(const QString& title, const Session& session) {
    FileDialogRequest request;
    request.title = title;
    request.filter = kLogfileFilter;
    request.fileName = QString::fromUtf8(DefaultLogfileName);
    request.defaultSuffix = QStringLiteral("txt");
    request.initialFolder = QString::fromStdString(session.folders().LogfileDir);
    return request;
}
} // namespace

void TZorvaForm::NewLogfile1Click() {
    FileDialogRequest request = LogfileRequest(QStringLiteral("New Zorva Logfile"), session_);
    // Replacing a file of measurements loses them: the dialog asks first.
    request.confirmOverwrite = true;
    const QString path = dialogs_.SaveFile(this, request);
    if (path.isEmpty()) return;
    const Session::FileResult created = session_.NewLogfile(path.toStdString());
    if (!created.ok) {
        dialogs_.Message(this,
                         QStringLiteral("The logfile could not be created: ") +
                             QString::fromStdString(created.error),
                         QStringLiteral("New Logfile"), MessageIcon::Error, MessageButtons::Ok);
    }
    Apply(Changes::Menus());
}

void TZorvaForm::OpenLogfile1Click() {
    FileDialogRequest request = LogfileRequest(QStringLiteral("Open Zorva Logfile"), session_);
    request.mustExist = true;
    const QString path = dialogs_.OpenFile(this, request);
    if (path.isEmpty()) return;
    session_.OpenLogfile(path.toStdString());
    Apply(Changes::Menus());
}

void TZorvaForm::AddtoLogfile1Click() {
    const LogResult result = session_.AddToLogfile();
    switch (result.outcome) {
    case LogOutcome::NotOpen:
        if (dialogs_.Message(
                this, QStringLiteral("The logfile is not open: press OK to open logfile."),
                kAddCaption, MessageIcon::Warning, MessageButtons::OkCancel) == MessageResult::Ok) {
            NewLogfile1Click();
        }
        break;
    case LogOutcome::NoSpot:
        statusBar()->showMessage(QStringLiteral("No sunspot on the disk: nothing logged"),
                                 kStatusMessageMs);
        break;
    case LogOutcome::Failed:
        dialogs_.Message(this,
                         QStringLiteral("The measurement was not added to the logfile: ") +
                             QString::fromStdString(result.error),
                         kAddCaption, MessageIcon::Error, MessageButtons::Ok);
        break;
    case LogOutcome::Added:
        if (session_.options().LogFileMessageFlag == 0) {
            dialogs_.Message(this, QStringLiteral("Measurement added to logfile."), kAddCaption,
                             MessageIcon::Information, MessageButtons::Ok);
        }
        break;
    }
}

// --- Shell ---

void TZorvaForm::ExitClick() {
    close();
}

void TZorvaForm::Contents1Click() {
    HelpWindow help(this);
    dialogs_.ShowModal(help);
}

void TZorvaForm::Welcome1Click() {
    TIntroForm intro(*this, this);
    dialogs_.ShowModal(intro);
}

void TZorvaForm::AboutClick() {
    TAboutForm about(this);
    dialogs_.ShowModal(about);
}

} // namespace zorva::gui
