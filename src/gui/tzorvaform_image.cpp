// Solar images: opening, closing and saving them, their display options and clicks on them.
#include <QApplication>
#include <QMenu>
#include <string_view>

#include "core/images/image_state.h"
#include "core/images/limb_refine.h"
#include "gui/busy_cursor.h"
#include "gui/chart_image.h"
#include "gui/image_view.h"
#include "gui/tzorvaform.h"
#include "gui/widget_text.h"
#include "render/image_overlay.h"
#include "render/solar_image.h"

namespace zorva::gui {

namespace {

const QString kImageCaption = QStringLiteral("Solar Image");
constexpr std::string_view kOfferHandDisk =
    "\n\nNothing can be measured on the picture until it has a disk. Give the disk by hand "
    "now? (No shows the picture as it is; Image > Disk by Hand... gives a disk at any time.)";

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
    choices.cameraClockOffsetMinutes = session_.options().CameraClockOffsetMinutes;
    PictureLoad open = OpenPictureFile(path, choices);
    if (!open.picture) {
        dialogs_.Message(this, open.error, kImageCaption, MessageIcon::Error, MessageButtons::Ok);
        return;
    }
    // The session holds the pixels and the disk from here on, and searches them again as asked.
    session_.Picture().OpenImage(path.toStdString(), open.picture->context,
                                 HeldImages(open.picture->image));
    const bool refused = !session_.Picture().HasDisk();
    const std::string why = LimbNotFoundText(session_.Picture().opened()->context.limb);
    session_.Records().RememberFile(RecentKind::Picture, path.toStdString());
    Show();
    if (session_.Picture().PictureAwaitsInstant()) AskPictureInstant();
    // A picture without a disk is shown all the same, to look at, zoom and give a disk.
    if (refused && dialogs_.Message(this, ToQString(why + std::string(kOfferHandDisk)),
                                    ToQString(LimbNotFoundCaption), MessageIcon::Warning,
                                    MessageButtons::YesNo) == MessageResult::Ok) {
        DiskByHand1Click();
    }
}

void TZorvaForm::DiskByHand1Click() {
    // The item is checked while the disk is being given: choosing it again cancels.
    session_.Picture().HandDisk() ? session_.Picture().CancelHandDisk()
                                  : session_.Picture().StartHandDisk();
    Show();
    // The keys that move, resize, take and drop the disk go to the picture.
    Image1->setFocus();
}

void TZorvaForm::HandDiskPressed(QPointF at) {
    if (!session_.Picture().HandDisk()) return;
    // A press that moves less than the desktop's drag distance on screen is a click.
    session_.Picture().HandDiskPress(at.x(), at.y(),
                                     QApplication::startDragDistance() / Image1->zoom());
    Show();
}

void TZorvaForm::HandDiskDragged(QPointF to) {
    if (!session_.Picture().HandDisk()) return;
    session_.Picture().HandDiskDrag(to.x(), to.y());
    Show();
}

void TZorvaForm::HandDiskReleased(QPointF at) {
    if (!session_.Picture().HandDisk()) return;
    session_.Picture().HandDiskRelease(at.x(), at.y());
    Show();
}

bool TZorvaForm::HandDiskKey(int key, Qt::KeyboardModifiers modifiers) {
    if (DriftKey(key)) return true;
    if (!session_.Picture().HandDisk() || modifiers.testFlag(Qt::ControlModifier)) return false;
    // A step of one screen pixel, ten with Shift, whatever the zoom.
    const double step = (modifiers.testFlag(Qt::ShiftModifier) ? 10 : 1) / Image1->zoom();
    switch (key) {
    case Qt::Key_Left:
        session_.Picture().HandDiskNudge(-step, 0, 0);
        break;
    case Qt::Key_Right:
        session_.Picture().HandDiskNudge(step, 0, 0);
        break;
    case Qt::Key_Up:
        session_.Picture().HandDiskNudge(0, -step, 0);
        break;
    case Qt::Key_Down:
        session_.Picture().HandDiskNudge(0, step, 0);
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        session_.Picture().HandDiskNudge(0, 0, step);
        break;
    case Qt::Key_Minus:
        session_.Picture().HandDiskNudge(0, 0, -step);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        session_.Picture().AcceptHandDisk();
        break;
    case Qt::Key_Escape:
        session_.Picture().CancelHandDisk();
        break;
    default:
        return false;
    }
    Show();
    return true;
}

void TZorvaForm::CameraClockOffset1Click() {
    IntegerRequest request;
    request.title = QStringLiteral("Camera Clock Offset");
    request.label = QStringLiteral("A camera clock that writes no offset keeps UT plus");
    request.value = session_.options().CameraClockOffsetMinutes;
    request.low = -LargestClockOffsetMinutes;
    request.high = LargestClockOffsetMinutes;
    request.suffix = QStringLiteral(" min");
    const std::optional<int> minutes = dialogs_.AskInteger(this, request);
    if (!minutes) return;
    session_.Picture().SetCameraClockOffset(*minutes);
    Show();
}

void TZorvaForm::BuildImageMenu() {
    QMenu* image = AddMenu(nullptr, "ImageMenu1", "&Image");
    // Checked while a disk is being given by hand.
    AddItem(image, "DiskByHand1", "&Disk by Hand...", [this] { DiskByHand1Click(); });
    AddItem(
        image, "CameraClockOffset1", "Camera &Clock Offset...",
        [this] { CameraClockOffset1Click(); }, false);
    BuildPhotoItems(image);
}

void TZorvaForm::DetectSunspots1Click() {
    if (!InstantReady()) return;
    const BusyCursor busy;
    session_.Spots().DetectSunspots();
    Show();
}

void TZorvaForm::CloseImage1Click() {
    session_.Picture().CloseImage();
    Show();
    Image1->setImage(QImage());
}

void TZorvaForm::SaveImageTo(const QString& chosenPath) {
    const SaveTarget target = ResolveSaveTarget(chosenPath);
    // What is shown is saved, with everything drawn over it.
    const QImage picture =
        session_.Chart().Shown() || !shown_ || !shown_->picture
            ? Image->canvas()
            : PictureWithOverlay(ShownImage(session_.Picture().opened()->images), *shown_->picture,
                                 PresentPictureCaption(session_), labelFont_);
    QString error;
    if (!SaveSolarImage(picture, target, &error)) {
        dialogs_.Message(this, error, QStringLiteral("Save Image"), MessageIcon::Error,
                         MessageButtons::Ok);
        return;
    }
    session_.Picture().ImageSaved(target.path.toStdString());
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
    const std::string& name = session_.Picture().SavedImageName();
    if (name.empty()) {
        SaveAs1Click();
        return;
    }
    SaveImageTo(QString::fromStdString(session_.folders().SavedImageDir + name));
}

void TZorvaForm::Image1MouseDown(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int X,
                                 int Y) {
    // While a disk is given by hand or a drift drawn, the press is theirs (HandDiskPressed).
    if (session_.Picture().HandDisk() || session_.Picture().Drift()) return;
    const bool left = buttons.testFlag(Qt::LeftButton);
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    // A plain click measures the spot it falls on, which may search the spots first.
    const BusyCursor busy;
    session_.ImageMouseDown(left, shift, ctrl, X, Y);
    Show();
    if (left && ctrl && !shift && session_.Picture().HasDisk()) AddtoLogfile1Click();
}

} // namespace zorva::gui
