// Solar images: opening, closing and saving them, their display options and clicks on them.
#include <QApplication>

#include "core/images/image_state.h"
#include "core/images/limb_refine.h"
#include "gui/chart_image.h"
#include "gui/image_view.h"
#include "gui/tzorvaform.h"
#include "gui/widget_text.h"
#include "render/solar_image.h"

namespace zorva::gui {

namespace {

const QString kImageCaption = QStringLiteral("Solar Image");

// The hourglass for as long as an open takes, taken back on every way out.
class BusyCursor {
  public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace

void TZorvaForm::OpenImage1Click() {
    FileDialogRequest request;
    request.title = ToQString(OpenImageDialogTitle);
    request.filter = OpenImageFilter();
    request.initialFolder = QString::fromStdString(session_.folders().ImageDir);
    request.mustExist = true;
    const QString path = dialogs_.OpenFile(this, request);
    if (path.isEmpty()) return;

    const BusyCursor busy;
    // The file is read and checked before anything changes: a file that cannot be opened
    // leaves the chart, or the image before, as it was.
    const SolarImageLoad load = LoadSolarImage(path);
    if (!load.image) {
        dialogs_.Message(this, load.error, kImageCaption, MessageIcon::Error, MessageButtons::Ok);
        return;
    }
    OpenedImage opened;
    opened.path = path.toStdString();
    opened.fit = SearchLimb(*load.image);
    // An observatory's FITS header states the time, the disk and its turn.
    if (const std::optional<FitsInfo>& fits = load.image->fits) {
        opened.headerInstant = FitsObservationInstant(fits->keywords);
        if (const auto disk = FitsHeaderDisk(fits->keywords, load.image->shown.height())) {
            opened.headerDisk = disk->disk;
            opened.headerOrientation = disk->orientation;
        } else {
            opened.headerOrientation = FitsHeaderOrientation(fits->keywords);
        }
    }
    if (!opened.fit.found && !opened.headerDisk) {
        dialogs_.Message(this, ToQString(LimbNotFoundMessage), ToQString(LimbNotFoundCaption),
                         MessageIcon::Error, MessageButtons::Ok);
    }
    cleanImage_ = load.image->shown;
    shownImagePicture_.reset(); // a new picture is painted whole
    // The picture searched is kept, so the limb can be searched again another way.
    searchedImage_ = load.image->searched;
    Apply(session_.OpenImage(opened));
}

LimbFit TZorvaForm::SearchLimb(const SolarImage& image) const {
    return session_.options().SubPixelLimb ? FindSubPixelLimb(GridOf(image.searched))
                                           : FindSolarLimb(image);
}

void TZorvaForm::SubPixelLimb1Click() {
    Apply(session_.ToggleSubPixelLimb());
    if (!session_.image().ImageLoaded || searchedImage_.isNull()) return;
    const BusyCursor busy;
    SolarImage image;
    image.shown = cleanImage_;
    image.searched = searchedImage_;
    Apply(session_.RefitLimb(SearchLimb(image)));
}

void TZorvaForm::CloseImage1Click() {
    Apply(session_.CloseImage());
}

void TZorvaForm::SaveImageTo(const QString& chosenPath) {
    const SaveTarget target = ResolveSaveTarget(chosenPath);
    // What is shown is saved, with everything drawn over it.
    const QImage& picture = session_.ChartShown() ? Image->canvas() : Image1->image();
    QString error;
    if (!SaveSolarImage(picture, target, &error)) {
        dialogs_.Message(this, error, QStringLiteral("Save Image"), MessageIcon::Error,
                         MessageButtons::Ok);
        return;
    }
    session_.ImageSaved(target.path.toStdString());
    Apply(Changes::Menus());
}

void TZorvaForm::SaveAs1Click() {
    FileDialogRequest request;
    request.title = QStringLiteral("Save Image As");
    request.filter = SaveImageFilter();
    request.defaultSuffix = QStringLiteral("bmp");
    request.initialFolder = QString::fromStdString(session_.folders().SavedImageDir);
    request.confirmOverwrite = true;
    const QString path = dialogs_.SaveFile(this, request);
    if (path.isEmpty()) return;
    SaveImageTo(path);
}

void TZorvaForm::Save1Click() {
    const std::string& name = session_.image().SavedImageName;
    if (name.empty()) {
        SaveAs1Click();
        return;
    }
    SaveImageTo(QString::fromStdString(session_.folders().SavedImageDir + name));
}

void TZorvaForm::Points1Click() {
    Apply(session_.TogglePoints());
}
void TZorvaForm::Circle1Click() {
    Apply(session_.ToggleCircle());
}

void TZorvaForm::Image1MouseDown(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int X,
                                 int Y) {
    Apply(session_.ImageMouseDown(buttons.testFlag(Qt::LeftButton),
                                  modifiers.testFlag(Qt::ShiftModifier),
                                  modifiers.testFlag(Qt::ControlModifier), X, Y));
}

} // namespace zorva::gui
