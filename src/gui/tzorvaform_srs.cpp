// Solar Region Summaries: the two ways of loading one, showing them, and the region table.
#include "core/session/session.h"
#include "gui/region_table.h"
#include "gui/tzorvaform.h"
#include "gui/widget_text.h"

namespace zorva::gui {

void TZorvaForm::LoadSRS1Click() {
    session_.Summaries().PrepareLoadSummary();
    Show();
    FileDialogRequest request;
    request.title = QStringLiteral("Solar Region Summary");
    request.filter = QStringLiteral("Text files (*.txt)|*.TXT");
    request.initialFolder = QString::fromStdString(session_.folders().SRSDir);
    request.mustExist = true;
    const QString path = dialogs_.OpenFile(this, request);
    if (path.isEmpty()) return;
    LoadSummaryFile(path);
}

void TZorvaForm::LoadSummaryFile(const QString& path) {
    session_.Summaries().PrepareLoadSummary();
    session_.Summaries().LoadSummary(path.toStdString());
    Show();
}

void TZorvaForm::LoadSRS2Click() {
    session_.Summaries().LinkWithDate();
    Show();
}

void TZorvaForm::SolarRegionSummary1Click() {
    // Nothing to show before a summary was loaded: the item asks for one.
    if (!session_.Summaries().summary().Loaded) {
        LoadSRS1Click();
        return;
    }
    session_.Summaries().ToggleRegionSummary();
    Show();
}

void TZorvaForm::RegionTable1Click() {
    if (!regionTable_) {
        regionTable_ = new RegionTable(this);
        regionTable_->setObjectName(QStringLiteral("RegionTable"));
        regionTable_->setWindowFlag(Qt::Window);
        regionTable_->setWindowTitle(QStringLiteral("Region Table"));
        connect(regionTable_, &RegionTable::RegionSelected, this, [this](int index) {
            RunCommand([this, index] {
                session_.Summaries().HighlightRegion(index);
                Show();
            });
        });
    }
    const Presentation& shown = *shown_;
    regionTable_->SetRegions(*shown.regions, ToQString(shown.regionsFileName),
                             ToQString(shown.regionsNote));
    regionTable_->show();
    regionTable_->raise();
}

} // namespace zorva::gui
