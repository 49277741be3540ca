// A photograph's instant and how it lies: asked for, typed, found from the Sun's drift or
// solved from the day's regions.
#include <QMenu>
#include <cmath>

#include "core/text/format.h"
#include "gui/busy_cursor.h"
#include "gui/image_view.h"
#include "gui/instant_dialog.h"
#include "gui/orientation_dialog.h"
#include "gui/tzorvaform.h"
#include "gui/widget_text.h"
#include "render/solar_image.h"

namespace zorva::gui {

namespace {

const QString kSolveCaption = QStringLiteral("Solve Orientation from Summary");
const QString kDriftCaption = QStringLiteral("North from the Drift");
const QString kTwoPicturesCaption = QStringLiteral("North from Two Pictures");
constexpr int kTurnDecimals = 1;
constexpr int kResidualDecimals = 3;

} // namespace

void TZorvaForm::BuildPhotoItems(QMenu* image) {
    image->addSeparator();
    AddItem(
        image, "PictureInstant1", "Picture &Instant...", [this] { PictureInstant1Click(); }, false);
    AddItem(
        image, "Orientation1", "&Orientation...", [this] { Orientation1Click(); }, false);
    // Checked while the drift is being drawn.
    AddItem(image, "DriftNorth1", "North from the &Drift", [this] { DriftNorth1Click(); });
    AddItem(
        image, "DriftPictures1", "North from &Two Pictures...", [this] { DriftPictures1Click(); },
        false);
    AddItem(
        image, "SolveOrientation1", "&Solve Orientation from Summary",
        [this] { SolveOrientation1Click(); }, false);
}

void TZorvaForm::ConnectPhotoTools() {
    connect(Image1, &ImageView::leftPressed, this,
            [this](QPointF at) { RunCommand([=, this] { DriftPressed(at); }); });
    connect(Image1, &ImageView::leftDragged, this,
            [this](QPointF to) { RunCommand([=, this] { DriftDragged(to); }); });
    connect(Image1, &ImageView::leftReleased, this,
            [this](QPointF at) { RunCommand([=, this] { DriftReleased(at); }); });
}

// --- The instant ---

void TZorvaForm::AskPictureInstant() {
    if (!session_.Picture().Shown()) return;
    InstantDialog dialog(this, ToQString(session_.Picture().InstantQuestion()),
                         session_.Observing().observation().instant);
    dialogs_.ShowModal(dialog);
    // Given up, the picture stays waiting; the status line says what it lacks.
    if (dialog.result() == QDialog::Accepted) session_.Observing().SetInstant(dialog.Answer());
    Show();
}

void TZorvaForm::PictureInstant1Click() {
    AskPictureInstant();
}

bool TZorvaForm::InstantReady() {
    if (!session_.Picture().PictureAwaitsInstant()) return true;
    const QString name = QString::fromStdString(session_.Picture().opened()->context.name);
    const QString text =
        QStringLiteral("Nothing is measured on %1 until its instant is given: %2\n\nGive it now?")
            .arg(name, ToQString(session_.Picture().InstantQuestion()));
    if (dialogs_.Message(this, text, QStringLiteral("Picture Instant"), MessageIcon::Warning,
                         MessageButtons::YesNo) != MessageResult::Ok) {
        return false;
    }
    AskPictureInstant();
    return !session_.Picture().PictureAwaitsInstant();
}

// --- The orientation typed ---

void TZorvaForm::Orientation1Click() {
    if (!session_.Picture().Shown()) return;
    const PictureContext& context = session_.Picture().opened()->context;
    const std::optional<PictureTurn> before = context.turn;
    const OrientationSource source = context.orientationSource;
    const PictureTurn start =
        TurnOfGeometry(session_.Geometry(), session_.Observing().observation().ephemeris,
                       OrientationSource::Given);
    OrientationDialog dialog(this, start);
    connect(&dialog, &OrientationDialog::changed, this, [this](const PictureTurn& turn) {
        RunCommand([&turn, this] {
            session_.Picture().OrientPicture(turn, OrientationSource::Given);
            Show();
        });
    });
    dialogs_.ShowModal(dialog);
    // Cancelled, or taken as it was: the picture lies as it did, with its own source.
    const PictureTurn chosen = dialog.Turn();
    if (dialog.result() == QDialog::Accepted && !(chosen == start)) {
        session_.Picture().OrientPicture(chosen, OrientationSource::Given);
    } else {
        session_.Picture().OrientPicture(before, source);
    }
    Show();
}

// --- North from the drift ---

EastSense TZorvaForm::AskEastSense(const QString& caption) {
    const MessageResult mirrored = dialogs_.Message(
        this,
        QStringLiteral("The drift gives east and west; which side north lies on depends on "
                       "whether the picture is mirrored.\n\nIs it mirrored, east clockwise from "
                       "north, as on a projection screen seen from the front or through a star "
                       "diagonal?\n\nYes: mirrored.\nNo: as the sky is seen, as a camera at the "
                       "telescope takes it."),
        caption, MessageIcon::Information, MessageButtons::YesNo);
    return mirrored == MessageResult::Ok ? EastSense::Mirrored : EastSense::AsTheSky;
}

void TZorvaForm::DriftNorth1Click() {
    // The item is checked while the drift is drawn: choosing it again cancels.
    session_.Picture().Drift() ? session_.Picture().CancelDrift() : session_.Picture().StartDrift();
    Show();
    Image1->setFocus();
}

void TZorvaForm::DriftPressed(QPointF at) {
    if (!session_.Picture().Drift()) return;
    session_.Picture().DriftPress(at.x(), at.y());
    Show();
}

void TZorvaForm::DriftDragged(QPointF to) {
    if (!session_.Picture().Drift()) return;
    session_.Picture().DriftDrag(to.x(), to.y());
    Show();
}

void TZorvaForm::DriftReleased(QPointF at) {
    if (!session_.Picture().Drift()) return;
    const bool drawn = session_.Picture().DriftRelease(at.x(), at.y());
    Show();
    if (!drawn) return;
    session_.Picture().TurnByDrift(AskEastSense(kDriftCaption));
    Show();
}

bool TZorvaForm::DriftKey(int key) {
    if (!session_.Picture().Drift() || key != Qt::Key_Escape) return false;
    session_.Picture().CancelDrift();
    Show();
    return true;
}

void TZorvaForm::DriftPictures1Click() {
    if (!session_.Picture().HasDisk()) return;
    FileDialogRequest request;
    request.title = QStringLiteral("The Picture Taken Seconds After This One, the Drive Off");
    request.filter = OpenImageFilter();
    request.initialFolder = QString::fromStdString(session_.folders().ImageDir);
    request.mustExist = true;
    const QString path = dialogs_.OpenFile(this, request);
    if (path.isEmpty()) return;
    PictureLoad later;
    {
        const BusyCursor busy;
        PictureChoices choices;
        choices.subPixelLimb = session_.options().SubPixelLimb;
        later = OpenPictureFile(path, choices);
    }
    if (!later.picture) {
        dialogs_.Message(this, later.error, kTwoPicturesCaption, MessageIcon::Error,
                         MessageButtons::Ok);
        return;
    }
    const EastSense east = AskEastSense(kTwoPicturesCaption);
    if (!session_.Picture().TurnByDriftTo(later.picture->context, east)) {
        dialogs_.Message(this, ToQString(session_.Status()), kTwoPicturesCaption,
                         MessageIcon::Warning, MessageButtons::Ok);
    }
    Show();
}

// --- North solved from the day's regions ---

void TZorvaForm::SolveOrientation1Click() {
    if (!session_.Picture().HasDisk() || !InstantReady()) return;
    NorthSolution solved;
    {
        const BusyCursor busy;
        solved = session_.Spots().SolveOrientation();
    }
    Show();
    if (!solved.north) {
        dialogs_.Message(this,
                         QStringLiteral("North cannot be solved: %1.").arg(ToQString(solved.error)),
                         kSolveCaption, MessageIcon::Warning, MessageButtons::Ok);
        return;
    }
    const SolarNorth& n = *solved.north;
    const QString east = n.east == EastSense::AsTheSky
                             ? QStringLiteral("east a quarter turn counter-clockwise from it, "
                                              "as the sky is seen")
                             : QStringLiteral("east a quarter turn clockwise from it: the "
                                              "picture is mirrored");
    dialogs_.Message(
        this,
        QStringLiteral("Solar north lies %1\u00B0 counter-clockwise from the picture's up, %2.\n\n"
                       "%3 of the %4 groups found lie on the regions of %5, %6 disk radii from "
                       "them (RMS).")
            .arg(ToQString(FixedText(n.turn, kTurnDecimals)), east)
            .arg(solved.matched)
            .arg(solved.groups)
            .arg(ToQString(session_.Summaries().summary().FileName),
                 ToQString(FixedText(solved.residual, kResidualDecimals))),
        kSolveCaption, MessageIcon::Information, MessageButtons::Ok);
}

} // namespace zorva::gui
