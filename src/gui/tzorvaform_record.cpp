// The observer's record in the window: its file, the Record menu, and the forms that add to
// it.
#include <QFile>
#include <QMenu>
#include <QStatusBar>

#include "core/record/spots_line.h"
#include "gui/record_dialogs.h"
#include "gui/record_part.h"
#include "gui/record_window.h"
#include "gui/tzorvaform.h"
#include "gui/widget_text.h"

namespace zorva::gui {

namespace {

const QString kRecordCaption = QStringLiteral("Observer's Record");
constexpr int kStatusMessageMs = 8000;

struct RecordViewItem {
    const char* name;
    const char* caption;
    RecordView view;
};
constexpr RecordViewItem kRecordViews[] = {
    {"RecordObservations1", "&Observations", RecordView::Observations},
    {"RecordGroups1", "&Groups", RecordView::Groups},
    {"MonthlyReport1", "&Monthly Report", RecordView::MonthlyReport},
    {"ActivityCurve1", "&Activity Curve", RecordView::Activity},
    {"ButterflyDiagram1", "&Butterfly Diagram", RecordView::Butterfly},
};

QString Path(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

} // namespace

void TZorvaForm::BuildRecordMenu() {
    record_ = std::make_unique<RecordPart>(
        std::filesystem::absolute(std::filesystem::path(folder_.toStdString())).lexically_normal());
    QMenu* menu = AddMenu(nullptr, "Record1", "Re&cord");
    AddItem(
        menu, "AddThisPicture1", "Add This &Picture", [this] { AddThisPicture1Click(); }, false);
    AddItem(
        menu, "AddVisualObservation1", "Add &Visual Observation...",
        [this] { AddVisualObservation1Click(); }, false);
    menu->addSeparator();
    for (const RecordViewItem& item : kRecordViews) {
        const RecordView view = item.view;
        AddItem(
            menu, item.name, item.caption, [this, view] { RecordViewClick(view); }, false);
    }
}

std::string TZorvaForm::AddToRecord(const SunspotObservation& observation, int64_t& id) {
    record_->UseFile(record_->FileOf(session_.options().RecordFile));
    std::string error;
    Record* record = record_->Open(true, error);
    if (!record) return error;
    const QDate today = clock_.Today();
    const RecordAdded added =
        record->Add({observation}, {today.year(), today.month(), today.day()});
    if (!added.Ok()) {
        std::string problems;
        for (const std::string& p : added.problems)
            problems += (problems.empty() ? "" : "; ") + p;
        return problems;
    }
    id = added.ids.front();
    return "";
}

namespace {

// What the status bar says of an observation added.
QString AddedText(const SunspotObservation& o, int64_t id, const std::filesystem::path& file) {
    return QStringLiteral("Observation %1 added to %2: g %3, s %4, R %5")
        .arg(id)
        .arg(Path(file))
        .arg(o.Groups())
        .arg(o.Spots())
        .arg(o.Wolf());
}

} // namespace

void TZorvaForm::ObservationAdded(const ObservationDialog& dialog, int64_t id) {
    const ObservationDetails details = dialog.Details();
    session_.SetTextOption("RecordObserver", details.observer);
    session_.SetTextOption("RecordSite", details.site);
    session_.SetTextOption("RecordInstrument", details.instrument);
    Show();
    statusBar()->showMessage(AddedText(*dialog.Added(), id, record_->File()), kStatusMessageMs);
    if (recordWindow_) recordWindow_->Refresh();
}

void TZorvaForm::AddThisPicture1Click() {
    if (!session_.Picture().HasDisk()) {
        dialogs_.Message(this,
                         QStringLiteral("Add This Picture needs a picture whose disk is known: "
                                        "open one, or give its disk by hand."),
                         kRecordCaption, MessageIcon::Information, MessageButtons::Ok);
        return;
    }
    // The result the picture has (the reviewed one, when there is one), else a fresh search.
    if (!session_.Spots().SpotsFound()) DetectSunspots1Click();
    const SpotReport report = session_.Spots().SpotsReport();
    if (!session_.Spots().SpotsFound() || !report.detection.error.empty()) {
        dialogs_.Message(this,
                         QStringLiteral("The spots of this picture could not be counted: %1")
                             .arg(ToQString(report.detection.error)),
                         kRecordCaption, MessageIcon::Warning, MessageButtons::Ok);
        return;
    }
    SunspotObservation observation = ObservationOfReport(report);
    observation.fingerprint = PictureFingerprintOfFile(report.file);
    const Options& o = session_.options();
    const QDate today = clock_.Today();
    int64_t id = 0;
    ObservationDialog dialog(
        this, dialogs_, observation, {o.RecordObserver, o.RecordSite, o.RecordInstrument},
        {today.year(), today.month(), today.day()},
        [this, &id](const SunspotObservation& x) { return AddToRecord(x, id); });
    dialogs_.ShowModal(dialog);
    if (dialog.Added()) ObservationAdded(dialog, id);
}

void TZorvaForm::AddVisualObservation1Click() {
    const Options& o = session_.options();
    const QDate today = clock_.Today();
    int64_t id = 0;
    ObservationDialog dialog(
        this, dialogs_, session_.Observing().observation().instant,
        {o.RecordObserver, o.RecordSite, o.RecordInstrument},
        {today.year(), today.month(), today.day()},
        [this](const Instant& at) { return record_->L0At(at); },
        [this, &id](const SunspotObservation& x) { return AddToRecord(x, id); });
    dialogs_.ShowModal(dialog);
    if (dialog.Added()) ObservationAdded(dialog, id);
}

void TZorvaForm::ChooseRecord1Click() {
    record_->UseFile(record_->FileOf(session_.options().RecordFile));
    FileDialogRequest request;
    request.title = QStringLiteral("Record");
    request.filter = QStringLiteral("Zorva records (*.sqlite)|*.sqlite|All files (*)|*");
    request.fileName = Path(record_->File());
    request.defaultSuffix = QStringLiteral("sqlite");
    // A record chosen is opened and added to, never replaced.
    request.confirmOverwrite = false;
    const QString path = dialogs_.SaveFile(this, request);
    if (path.isEmpty()) return;
    const std::filesystem::path chosen(QFile::encodeName(path).toStdString());
    if (const std::string error = record_->Choose(chosen); !error.empty()) {
        dialogs_.Message(this,
                         QStringLiteral("%1.\n\nThe record in use is still %2.")
                             .arg(ToQString(error), Path(record_->File())),
                         kRecordCaption, MessageIcon::Error, MessageButtons::Ok);
        return;
    }
    session_.SetTextOption("RecordFile", chosen.string());
    Show();
    statusBar()->showMessage(QStringLiteral("The observer's record is now %1").arg(path),
                             kStatusMessageMs);
    if (recordWindow_) recordWindow_->Refresh();
}

void TZorvaForm::RecordViewClick(RecordView view) {
    record_->UseFile(record_->FileOf(session_.options().RecordFile));
    if (!recordWindow_) recordWindow_ = new RecordWindow(*record_, dialogs_, this);
    recordWindow_->ShowView(view);
}

} // namespace zorva::gui
