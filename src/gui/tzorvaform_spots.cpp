// The Sunspots window and the export of what was found on the picture.
#include <QAction>
#include <QFileInfo>
#include <QStatusBar>

#include "core/common/atomic_file.h"
#include "core/spots/spot_report.h"
#include "gui/sunspot_table.h"
#include "gui/tzorvaform.h"
#include "gui/widget_text.h"

namespace zorva::gui {

namespace {

const QString kExportCaption = QStringLiteral("Export Sunspots");
constexpr int kStatusMessageMs = 5000;

} // namespace

void TZorvaForm::SyncSunspotTable(const Presentation& p) {
    const std::optional<FoundSpots>& found = session_.Spots().found();
    const bool chosen = found && session_.Spots().SpotsFound();
    sunspotTable_->SetTable(p.spotTable ? &*p.spotTable : nullptr, ToQString(p.spotTableTitle),
                            chosen ? found->group : 0, chosen ? found->spot : 0);
}

void TZorvaForm::SunspotTable1Click() {
    if (!sunspotTable_) {
        sunspotTable_ = new SunspotTable(Action("ExportSunspots1"), this);
        connect(sunspotTable_, &SunspotTable::GroupSelected, this, [this](int id) {
            RunCommand([this, id] {
                session_.Spots().ChooseSpotGroup(id);
                Show();
            });
        });
        connect(sunspotTable_, &SunspotTable::SpotSelected, this, [this](int id) {
            RunCommand([this, id] {
                session_.Spots().ChooseSpot(id);
                Show();
            });
        });
    }
    // The table lists what is found, and the picture shows it: the picture is searched when
    // it was not yet.
    DetectSunspots1Click();
    SyncSunspotTable(*shown_);
    sunspotTable_->show();
    sunspotTable_->raise();
}

void TZorvaForm::ExportSunspots1Click() {
    if (!session_.Spots().SpotsFound()) return;
    FileDialogRequest request;
    request.title = kExportCaption;
    request.filter = QStringLiteral("CSV files (*.csv)|*.csv");
    request.fileName =
        QFileInfo(QString::fromStdString(session_.Picture().opened()->path)).completeBaseName() +
        QStringLiteral("_spots.csv");
    request.defaultSuffix = QStringLiteral("csv");
    request.initialFolder = QString::fromStdString(session_.folders().ImageDir);
    request.confirmOverwrite = true;
    const QString path = dialogs_.SaveFile(this, request);
    if (path.isEmpty()) return;
    // The very CSV the command line's spots writes for the same picture.
    const std::string csv = SpotCsvHeader() + SpotReportCsv(session_.Spots().SpotsReport());
    std::string why;
    if (!WriteFileAtomically(path.toStdString(), csv, &why)) {
        dialogs_.Message(this,
                         QStringLiteral("The sunspots were not exported to %1: %2")
                             .arg(path, QString::fromStdString(why)),
                         kExportCaption, MessageIcon::Error, MessageButtons::Ok);
        return;
    }
    statusBar()->showMessage(QStringLiteral("Sunspots exported to %1").arg(path), kStatusMessageMs);
}

} // namespace zorva::gui
