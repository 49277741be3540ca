// Solar images: opening, closing and saving them, their display options and clicks on them.
#include <QApplication>

#include "core/images/image_state.h"
#include "core/images/limb_refine.h"
#include "gui/chart_image.h"
#include "gui/image_view.h"
#include "gui/tzorvaform.h"
#include "gui/widget_text.h"
#include "render/image_overlay.h"
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
    if (!path.isEmpty()) OpenPicturePath(path);
}

void TZorvaForm::OpenPicturePath(const QString& path) {
    const BusyCursor busy;
    // The file is read and checked before anything changes: a file that cannot be opened
    // leaves the chart, or the picture before, as it was.
    PictureChoices choices;
    choices.subPixelLimb = session_.options().SubPixelLimb;
    PictureLoad open = OpenPictureFile(path, choices);
    if (!open.picture) {
        dialogs_.Message(this, open.error, kImageCaption, MessageIcon::Error, MessageButtons::Ok);
        return;
    }
    if (!open.picture->context.disk) {
        dialogs_.Message(this, ToQString(LimbNotFoundMessage), ToQString(LimbNotFoundCaption),
                         MessageIcon::Error, MessageButtons::Ok);
    }
    cleanImage_ = open.picture->image.shown;
    // The picture searched is kept, so the limb can be searched again another way.
    searchedImage_ = open.picture->image.searched;
    session_.OpenImage(path.toStdString(), open.picture->context);
    session_.RememberFile(RecentKind::Picture, path.toStdString());
    Show();
}

void TZorvaForm::SubPixelLimb1Click() {
    session_.ToggleSubPixelLimb();
    if (session_.ImageShown() && !searchedImage_.isNull()) {
        const BusyCursor busy;
        const PixelGrid grid = GridOf(searchedImage_);
        session_.RefitLimb(session_.options().SubPixelLimb ? FindSubPixelLimb(grid)
                                                           : FindLimb(grid));
    }
    Show();
}

void TZorvaForm::DetectSunspots1Click() {
    const BusyCursor busy;
    session_.DetectSunspots(GridOf(searchedImage_));
    Show();
}

void TZorvaForm::CloseImage1Click() {
    session_.CloseImage();
    // The picture's memory goes with it.
    cleanImage_ = QImage();
    searchedImage_ = QImage();
    Show();
    Image1->setImage(QImage());
}

void TZorvaForm::SaveImageTo(const QString& chosenPath) {
    const SaveTarget target = ResolveSaveTarget(chosenPath);
    // What is shown is saved, with everything drawn over it.
    const QImage picture = session_.ChartShown() || !shown_ || !shown_->picture
                               ? Image->canvas()
                               : PictureWithOverlay(cleanImage_, *shown_->picture,
                                                    PresentPictureCaption(session_), labelFont_);
    QString error;
    if (!SaveSolarImage(picture, target, &error)) {
        dialogs_.Message(this, error, QStringLiteral("Save Image"), MessageIcon::Error,
                         MessageButtons::Ok);
        return;
    }
    session_.ImageSaved(target.path.toStdString());
    Show();
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
    const std::string& name = session_.SavedImageName();
    if (name.empty()) {
        SaveAs1Click();
        return;
    }
    SaveImageTo(QString::fromStdString(session_.folders().SavedImageDir + name));
}

void TZorvaForm::Points1Click() {
    session_.TogglePoints();
    Show();
}
void TZorvaForm::Circle1Click() {
    session_.ToggleCircle();
    Show();
}

void TZorvaForm::Image1MouseDown(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int X,
                                 int Y) {
    const bool left = buttons.testFlag(Qt::LeftButton);
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    // A plain click measures the spot it falls on: the spots are searched for first.
    if (left && !shift && !ctrl && session_.PictureHasDisk() && !session_.SpotsFound()) {
        const BusyCursor busy;
        session_.DetectSunspots(GridOf(searchedImage_), false);
    }
    session_.ImageMouseDown(left, shift, ctrl, X, Y);
    Show();
    if (left && ctrl && !shift && session_.PictureHasDisk()) AddtoLogfile1Click();
}

} // namespace zorva::gui
