// A photograph in the window: its instant asked for and never another picture's, its
// orientation typed with the grid following, found from the drift, or solved from the day's
// regions.
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDoubleSpinBox>
#include <QPainter>
#include <QStatusBar>
#include <QTransform>
#include <cmath>

#include "core/present/presentation.h"
#include "gui/image_view.h"
#include "window_fixture.h"

namespace zorva {
namespace {

namespace fs = std::filesystem;

double Apart(double a, double b) {
    const double d = std::fmod(std::abs(a - b), 360.0);
    return std::min(d, 360 - d);
}

struct PhotoWindow : test::WindowTest {
    PhotoWindow() : WindowTest(QDate(2024, 5, 11)) {}
    void SetUp() override {
        WindowTest::SetUp();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    QString Status() const { return form->statusBar()->currentMessage(); }
    void OpenPicture(const fs::path& path) {
        dialogs.files.push_back(QString::fromStdString(path.string()));
        Trigger("OpenImage1");
    }
    void Click(int x, int y) {
        emit Find<gui::ImageView>("Image1")->mouseDown(Qt::LeftButton, Qt::NoModifier, x, y);
    }
    // A camera picture without a date: a white disk of radius 150 on black.
    fs::path Undated() {
        QImage image(400, 400, QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(200.5, 200.5), 150, 150);
        p.end();
        const fs::path path = dir / "sun.png";
        EXPECT_TRUE(image.save(QString::fromStdString(path.string())));
        return path;
    }
    // The answer to the instant question: the field set to `t`, or Cancel.
    static std::function<void(QDialog&)> Answer(std::optional<QDateTime> t) {
        return [t](QDialog& d) {
            if (!t) {
                d.reject();
                return;
            }
            d.findChild<QDateTimeEdit*>("PictureInstantEdit")->setDateTime(*t);
        };
    }
};

TEST_F(PhotoWindow, TheInstantIsAskedForAndNeverAnotherPictures) {
    ZORVA_TEST_DATA(data);
    OpenPicture(data / "images" / "mdi_20050111_235932_1024.png");
    EXPECT_FALSE(dialogs.modals.contains("InstantDialog"));
    const Instant mdi{2005, 1, 11, 23, 59, 32};
    ASSERT_EQ(session().Observing().observation().instant, mdi);

    // The camera picture without a date is asked about at once; given up, it waits.
    QDateTime offered;
    dialogs.onModal = [&offered](QDialog& d) {
        offered = d.findChild<QDateTimeEdit*>("PictureInstantEdit")->dateTime();
        d.reject();
    };
    OpenPicture(Undated());
    ASSERT_TRUE(dialogs.modals.contains("InstantDialog"));
    EXPECT_EQ(offered, QDateTime(QDate(2024, 5, 11), QTime(12, 0), Qt::UTC)); // today, noon
    EXPECT_TRUE(session().Picture().PictureAwaitsInstant());
    EXPECT_NE(session().Observing().observation().instant, mdi);
    EXPECT_TRUE(Status().contains("time: none in the file, not yet given"))
        << Status().toStdString();

    // Nothing is measured at any instant: a click and a search say what is missing.
    Click(250, 150);
    EXPECT_EQ(Box("XCoordBox")->text(), "0.0");
    EXPECT_TRUE(Status().contains("until its instant is given")) << Status().toStdString();
    dialogs.answers.push_back(gui::MessageResult::Cancel); // not now
    Trigger("DetectSunspots1");
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_TRUE(dialogs.messages.back().text.contains("until its instant is given"));
    EXPECT_FALSE(session().Spots().SpotsFound());

    // Given, it is measured at that instant, which every readout says was given.
    dialogs.onModal = Answer(QDateTime(QDate(2024, 5, 10), QTime(9, 30), Qt::UTC));
    Trigger("PictureInstant1");
    EXPECT_FALSE(session().Picture().PictureAwaitsInstant());
    EXPECT_EQ(session().Observing().observation().instant, (Instant{2024, 5, 10, 9, 30, 0}));
    EXPECT_TRUE(Status().contains("time: given")) << Status().toStdString();
    Click(250, 150);
    EXPECT_NE(Box("XCoordBox")->text(), "0.0");
    const std::vector<CaptionLine> caption = PresentPictureCaption(session());
    ASSERT_GE(caption.size(), 2u);
    EXPECT_NE(caption[1].text.find("2024-05-10  09:30:00 UT (given)"), std::string::npos)
        << caption[1].text;
}

TEST_F(PhotoWindow, TheOrientationDialogTurnsTheGridAsTheUserTypes) {
    ZORVA_TEST_DATA(data);
    OpenPicture(data / "images" / "20111120_0130_hmiigr_512.jpg");
    ASSERT_TRUE(session().Picture().HasDisk());
    ASSERT_FALSE(session().Picture().PictureAwaitsInstant());
    Click(300, 200);
    ASSERT_TRUE(session().spot().At);
    // The clicked point's position angle on the Sun, from north through east: the angle on
    // the drawing less the drawing's turn of the axis.
    const auto PA = [this] { return session().spot().At->pa - session().ChartRotationNow(); };
    const double pa = PA();
    const PictureView upright = *Present(session()).picture;

    // Typed: the grid and the clicked position follow each keystroke. Turning the picture's
    // north 30 degrees counter-clockwise moves every point 30 degrees nearer north in
    // position angle.
    bool followed = false;
    dialogs.onModal = [&](QDialog& d) {
        auto* turn = d.findChild<QDoubleSpinBox*>("OrientationTurnBox");
        turn->setFocus();
        turn->selectAll();
        QTest::keyClicks(turn, "30");
        followed = session().Geometry().Turn == 30 &&
                   !(Present(session()).picture->scene == upright.scene) &&
                   Apart(PA(), pa - 30) < 1e-9;
        d.reject();
    };
    Trigger("Orientation1");
    EXPECT_TRUE(followed);
    // Cancelled: as it was.
    EXPECT_EQ(session().Geometry().Turn, 0);
    EXPECT_EQ(Present(session()).picture->scene, upright.scene);
    EXPECT_NEAR(PA(), pa, 1e-9);

    dialogs.onModal = [](QDialog& d) {
        d.findChild<QDoubleSpinBox*>("OrientationTurnBox")->setValue(59);
        d.findChild<QComboBox*>("OrientationModeBox")->setCurrentIndex(1); // the axis
    };
    Trigger("Orientation1");
    EXPECT_EQ(session().Geometry().Mode, Orientation::RotationAxis);
    EXPECT_EQ(session().Picture().opened()->context.orientationSource, OrientationSource::Given);
    EXPECT_TRUE(Status().contains("solar north up, east left, turned 59 degrees "
                                  "counter-clockwise (given)"))
        << Status().toStdString();
}

TEST_F(PhotoWindow, NorthFromADriftDrawnOnThePicture) {
    ZORVA_TEST_DATA(data);
    OpenPicture(data / "images" / "20111120_0130_hmiigr_512.jpg");
    Trigger("DriftNorth1");
    EXPECT_TRUE(Checked("DriftNorth1"));
    auto* view = Find<gui::ImageView>("Image1");
    // Drifted straight up: west is up, so, as the sky is seen, celestial north is to the left
    // (90 counter-clockwise).
    dialogs.answers.push_back(gui::MessageResult::Cancel); // No: not mirrored
    emit view->leftPressed({200, 300});
    emit view->leftDragged({200, 250});
    EXPECT_TRUE(Present(session()).picture->drift);
    emit view->leftReleased({200, 200});
    EXPECT_FALSE(Checked("DriftNorth1"));
    const auto& turn = session().Picture().opened()->context.turn;
    ASSERT_TRUE(turn);
    EXPECT_EQ(turn->mode, Orientation::Equatorial);
    EXPECT_NEAR(turn->turn, 90, 1e-9);
    EXPECT_TRUE(Status().contains("(the Sun's drift)")) << Status().toStdString();
}

// The quick-look picture of 2011-11-20 turned as a photo of it might be: solved with NOAA's
// regions of the day, north within the few degrees the turned copy's groups allow.
TEST_F(PhotoWindow, NorthIsSolvedFromTheSummary) {
    ZORVA_TEST_DATA(data);
    QImage image(
        QString::fromStdString((data / "images" / "20111120_0130_hmiigr_512.jpg").string()));
    const QImage turned = image.convertToFormat(QImage::Format_RGB32)
                              .mirrored(true, false)
                              .transformed(QTransform().rotate(-59), Qt::SmoothTransformation);
    const fs::path photo = dir / "photo.png";
    ASSERT_TRUE(turned.save(QString::fromStdString(photo.string())));
    dialogs.onModal = Answer(QDateTime(QDate(2011, 11, 20), QTime(1, 30), Qt::UTC));
    OpenPicture(photo);
    ASSERT_TRUE(session().Picture().HasDisk());

    // Without a summary: refused, with the reason.
    Trigger("SolveOrientation1");
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_TRUE(dialogs.messages.back().text.contains("no Region Summary is loaded"));
    EXPECT_FALSE(session().Picture().opened()->context.turn);

    dialogs.files.push_back(QString::fromStdString((data / "srs" / "20111120SRS.txt").string()));
    Trigger("LoadSRS1");
    Trigger("SolveOrientation1");
    const QString said = dialogs.messages.back().text;
    EXPECT_TRUE(said.contains("groups found lie on the regions of 20111120SRS.txt"))
        << said.toStdString();
    const auto& turn = session().Picture().opened()->context.turn;
    ASSERT_TRUE(turn);
    EXPECT_EQ(session().Picture().opened()->context.orientationSource, OrientationSource::Solved);
    const SolarNorth north = NorthOnPicture(session().Picture().opened()->context,
                                            session().Chart().PictureOrientation(),
                                            session().Observing().observation().ephemeris);
    EXPECT_LT(Apart(north.turn, 59), 5) << north.turn;
    EXPECT_EQ(north.east, EastSense::Mirrored);
}

} // namespace
} // namespace zorva
