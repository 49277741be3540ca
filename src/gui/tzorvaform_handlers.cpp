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
    session_.Observing().ChangeDate({d.year(), d.month(), d.day()}, DatePicker->Spinning());
    Show();
}

void TZorvaForm::TimePickerChange() {
    const QTime t = TimePicker->time();
    session_.Observing().ChangeTime({t.hour(), t.minute(), t.second()}, TimePicker->Spinning());
    Show();
}

// --- Clicks on the chart ---

void TZorvaForm::ImageMouseDown(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int X,
                                int Y) {
    const bool left = buttons.testFlag(Qt::LeftButton);
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    session_.ChartMouseDown(left, shift, ctrl, X, Y);
    Show();
    // A control-click logs the measurement shown.
    if (left && ctrl && !shift && session_.Chart().Shown()) AddtoLogfile1Click();
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
    const Logbook::FileResult created = session_.Records().logbook().New(path.toStdString());
    if (!created.ok) {
        dialogs_.Message(this,
                         QStringLiteral("The logfile could not be created: ") +
                             QString::fromStdString(created.error),
                         QStringLiteral("New Logfile"), MessageIcon::Error, MessageButtons::Ok);
    }
    Show();
}

void TZorvaForm::OpenLogfile1Click() {
    FileDialogRequest request = LogfileRequest(QStringLiteral("Open Zorva Logfile"), session_);
    request.mustExist = true;
    const QString path = dialogs_.OpenFile(this, request);
    if (path.isEmpty()) return;
    OpenLogfileFile(path);
}

void TZorvaForm::OpenLogfileFile(const QString& path) {
    session_.Records().logbook().Open(path.toStdString());
    Show();
}

void TZorvaForm::AddtoLogfile1Click() {
    const LogResult result = session_.Records().AddToLogfile();
    switch (result.outcome) {
    case LogOutcome::NotOpen:
        if (dialogs_.Message(
                this, QStringLiteral("The logfile is not open: press OK to open logfile."),
                kAddCaption, MessageIcon::Warning, MessageButtons::OkCancel) == MessageResult::Ok) {
            NewLogfile1Click();
            // The click that asked is not logged: the user is told so.
            if (session_.Records().logbook().IsOpen()) {
                statusBar()->showMessage(
                    QStringLiteral("Logfile created: Ctrl-click again to log this measurement"),
                    kStatusMessageMs);
            }
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
