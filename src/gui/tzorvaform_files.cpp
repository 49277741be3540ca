// Files at hand: File > Open Recent, files dropped on the window, and the Measurements
// window with its undo and export.
#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>
#include <QUrl>

#include "core/common/atomic_file.h"
#include "core/session/file_kind.h"
#include "gui/measurements_window.h"
#include "gui/tzorvaform.h"
#include "gui/widget_text.h"

namespace zorva::gui {

namespace {

const QString kRecentCaption = QStringLiteral("Open Recent");
const QString kDropCaption = QStringLiteral("Open");
const QString kExportCaption = QStringLiteral("Export Measurements");
constexpr int kStatusMessageMs = 5000;

struct RecentSection {
    RecentKind kind;
    const char* heading;
    const char* title;
    const char* prefix;
};
constexpr RecentSection kRecentSections[] = {
    {RecentKind::Picture, "RecentPicturesHeading", "Pictures", "RecentPicture"},
    {RecentKind::Summary, "RecentSummariesHeading", "Region Summaries", "RecentSummary"},
    {RecentKind::Logfile, "RecentLogfilesHeading", "Logfiles", "RecentLogfile"},
};

} // namespace

void TZorvaForm::BuildRecentMenu(QMenu* file) {
    QMenu* recent = AddMenu(file, QStringLiteral("OpenRecent1"), QStringLiteral("Open &Recent"));
    for (const RecentSection& section : kRecentSections) {
        // A heading of its own for each list; the presentation shows it while the list has
        // files.
        QAction* heading = recent->addSection(QString::fromUtf8(section.title));
        heading->setObjectName(QString::fromUtf8(section.heading));
        actions_[heading->objectName()] = heading;
        for (int i = 0; i < static_cast<int>(RecentFileCount); ++i) {
            const RecentKind kind = section.kind;
            AddItem(
                recent, QString::fromUtf8(section.prefix) + QString::number(i + 1), QString(),
                [this, kind, i] { RecentFileClick(kind, i); }, false);
        }
    }
    recent->addSeparator();
    AddItem(
        recent, QStringLiteral("NoRecentFiles1"), QStringLiteral("No recent files"), [] {}, false);
    AddItem(
        recent, QStringLiteral("ClearRecentFiles1"), QStringLiteral("&Clear Recent Files"),
        [this] { ClearRecentFiles1Click(); }, false);
}

void TZorvaForm::RecentFileClick(RecentKind kind, int index) {
    const std::vector<std::string>& paths = session_.Records().RecentFiles(kind);
    if (index < 0 || static_cast<std::size_t>(index) >= paths.size()) return;
    const std::string path = paths[static_cast<std::size_t>(index)];
    const QString shown = QString::fromStdString(path);
    // A file that has gone is named, and leaves the list.
    if (!QFileInfo::exists(shown)) {
        session_.Records().ForgetFile(kind, path);
        Show();
        dialogs_.Message(this, QStringLiteral("%1 is no longer there.").arg(shown), kRecentCaption,
                         MessageIcon::Warning, MessageButtons::Ok);
        return;
    }
    switch (kind) {
    case RecentKind::Picture:
        OpenPicturePath(shown);
        break;
    case RecentKind::Summary:
        LoadSummaryFile(shown);
        break;
    case RecentKind::Logfile:
        OpenLogfileFile(shown);
        break;
    }
}

void TZorvaForm::ClearRecentFiles1Click() {
    session_.Records().ClearRecentFiles();
    Show();
}

void TZorvaForm::OpenFileOfKind(const QString& path) {
    const FileKindGuess guess = KindOfFile(path.toStdString());
    switch (guess.kind) {
    case FileKind::Picture:
        OpenPicturePath(path);
        return;
    case FileKind::Summary:
        LoadSummaryFile(path);
        return;
    case FileKind::Logfile:
        OpenLogfileFile(path);
        return;
    case FileKind::Unknown:
        dialogs_.Message(
            this,
            QStringLiteral("%1 was not opened: %2.").arg(path, QString::fromStdString(guess.why)),
            kDropCaption, MessageIcon::Warning, MessageButtons::Ok);
        return;
    }
}

void TZorvaForm::FilesDropped(const QStringList& paths) {
    for (const QString& path : paths)
        OpenFileOfKind(path);
}

void TZorvaForm::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* data = event->mimeData();
    if (data->hasUrls() && !data->urls().isEmpty() && data->urls().front().isLocalFile()) {
        event->acceptProposedAction();
    }
}

void TZorvaForm::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) paths << url.toLocalFile();
    }
    if (paths.isEmpty()) return;
    event->acceptProposedAction();
    // Opened once the drop is over: a message about a file must not hold up the drag.
    QMetaObject::invokeMethod(
        this, [this, paths] { RunCommand([this, paths] { FilesDropped(paths); }); },
        Qt::QueuedConnection);
}

void TZorvaForm::Measurements1Click() {
    if (!measurementsWindow_) {
        measurementsWindow_ =
            new MeasurementsWindow(Action("UndoMeasurement1"), Action("ExportMeasurements1"), this);
        connect(measurementsWindow_, &MeasurementsWindow::MeasurementSelected, this,
                [this](int index) {
                    RunCommand([this, index] {
                        session_.Records().ShowMeasurement(static_cast<std::size_t>(index));
                        Show();
                    });
                });
    }
    measurementsWindow_->SetMeasurements(
        *session_.Records().logbook().Measurements(),
        QString::fromStdString(session_.Records().logbook().Path()));
    measurementsWindow_->show();
    measurementsWindow_->raise();
}

void TZorvaForm::UndoMeasurement1Click() {
    session_.Records().logbook().Undo();
    Show();
}

void TZorvaForm::ExportMeasurements1Click() {
    FileDialogRequest request;
    request.title = kExportCaption;
    request.filter = QStringLiteral("CSV files (*.csv)|*.csv");
    request.fileName = QStringLiteral("ZorvaMeasurements.csv");
    request.defaultSuffix = QStringLiteral("csv");
    request.initialFolder = QString::fromStdString(session_.folders().LogfileDir);
    request.confirmOverwrite = true;
    const QString path = dialogs_.SaveFile(this, request);
    if (path.isEmpty()) return;
    std::string why;
    if (!WriteFileAtomically(path.toStdString(),
                             MeasurementsCsv(*session_.Records().logbook().Measurements()), &why)) {
        dialogs_.Message(this,
                         QStringLiteral("The measurements were not exported to %1: %2")
                             .arg(path, QString::fromStdString(why)),
                         kExportCaption, MessageIcon::Error, MessageButtons::Ok);
        return;
    }
    statusBar()->showMessage(QStringLiteral("%1 measurements exported to %2")
                                 .arg(session_.Records().logbook().Measurements()->size())
                                 .arg(path),
                             kStatusMessageMs);
}

} // namespace zorva::gui
