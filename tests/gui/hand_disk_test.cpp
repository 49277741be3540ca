// Pictures whose disk is refused, the disk given by hand, and the camera clock's offset.
#include <QDateTimeEdit>
#include <QPainter>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>
#include <numbers>

#include "gui/image_view.h"
#include "support/exif_writer.h"
#include "window_fixture.h"

namespace zorva {
namespace {

struct HandDiskWindow : test::WindowTest {
    HandDiskWindow() : WindowTest(QDate(2023, 1, 31)) {}
    void SetUp() override {
        WindowTest::SetUp();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    gui::ImageView* View() const { return Find<gui::ImageView>("Image1"); }
    QString Status() const { return form->statusBar()->currentMessage(); }

    // A black picture with a white disk about (cx, cy) of radius r, saved as PNG.
    std::string Picture(const std::string& name, QSize size, double cx, double cy, double r,
                        const char* format = "PNG") {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        // Pixel (u, v) covers u..u+1: its middle, the picture point u, lies at u + 0.5.
        p.drawEllipse(QPointF(cx + 0.5, cy + 0.5), r, r);
        p.end();
        const std::string path = (dir / name).string();
        EXPECT_TRUE(image.save(QString::fromStdString(path), format));
        return path;
    }
    // A quarter of a disk in the corner of the frame: too little limb to back a circle.
    std::string RefusedPicture() { return Picture("quarter.png", {300, 300}, 300, 300, 200); }
    void OpenPicture(const std::string& path) {
        dialogs.files.push_back(QString::fromStdString(path));
        Trigger("OpenImage1");
    }
    QPoint On(double x, double y) const { return View()->viewportPointOf({x, y}).toPoint(); }
    void Click(double x, double y) {
        QTest::mouseClick(View()->viewport(), Qt::LeftButton, Qt::NoModifier, On(x, y));
    }
    // A click lands on a whole screen pixel: half a screen pixel off, in picture pixels.
    double ClickError() const { return 0.5 / View()->zoom() + 1e-9; }
};

TEST_F(HandDiskWindow, ARefusedDiskSaysWhyAndNothingIsMeasured) {
    dialogs.answers.push_back(gui::MessageResult::Cancel); // No: no disk by hand for now
    OpenPicture(RefusedPicture());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    const QString text = dialogs.messages[0].text;
    EXPECT_TRUE(text.startsWith("Edge of solar disk could not be found. ")) << text.toStdString();
    // The reason follows the bare message, and the disk by hand is offered.
    EXPECT_GT(text.indexOf('.', 40), 40) << text.toStdString();
    EXPECT_TRUE(text.contains("disk by hand")) << text.toStdString();
    EXPECT_EQ(dialogs.messages[0].buttons, gui::MessageButtons::YesNo);
    EXPECT_FALSE(session().Picture().HandDisk());

    // Shown, zoomable, and measured on nowhere.
    ASSERT_TRUE(session().Picture().Shown());
    EXPECT_EQ(View()->image().size(), QSize(300, 300));
    const double zoom = View()->zoom();
    Trigger("ZoomIn1");
    EXPECT_GT(View()->zoom(), zoom);
    Click(150, 150);
    EXPECT_EQ(Box("XCoordBox")->text(), "0.0");
    EXPECT_TRUE(Status().contains("no disk")) << Status().toStdString();

    // A finer search is refused too: the status line says why, and still no disk.
    Trigger("SubPixelLimb1");
    EXPECT_FALSE(session().Picture().HasDisk());
    EXPECT_TRUE(Status().contains("refused")) << Status().toStdString();
}

TEST_F(HandDiskWindow, ThreeClicksOnTheLimbGiveItsDisk) {
    // A disk of radius 75 about (120, 115); 45^2 + 60^2 = 75^2 puts these on its limb.
    OpenPicture(Picture("disk.png", {240, 240}, 120, 115, 75));
    Trigger("ActualSize1");
    Trigger("DiskByHand1");
    EXPECT_TRUE(Checked("DiskByHand1"));
    Trigger("DiskByHand1"); // chosen again: cancelled
    EXPECT_FALSE(Checked("DiskByHand1"));
    EXPECT_FALSE(session().Picture().HandDisk());
    Trigger("DiskByHand1");
    for (const QPointF p : {QPointF(45, 115), QPointF(165, 55), QPointF(180, 160)})
        Click(p.x(), p.y());
    EXPECT_EQ(Box("XCoordBox")->text(), "0.0"); // the clicks were the disk's
    QTest::keyClick(View(), Qt::Key_Return);
    EXPECT_FALSE(session().Picture().HandDisk());
    ASSERT_TRUE(session().Picture().HasDisk());
    const auto& context = session().Picture().opened()->context;
    EXPECT_EQ(context.diskSource, DiskSource::Hand);
    // Each click may be off by half a screen pixel both ways: the circle by as much.
    EXPECT_NEAR(context.disk->cx, 120, ClickError());
    EXPECT_NEAR(context.disk->cy, 115, ClickError());
    EXPECT_NEAR(context.disk->r, 75, 2 * ClickError());
    EXPECT_TRUE(Status().contains("given by hand")) << Status().toStdString();
}

TEST_F(HandDiskWindow, ADiskDraggedOnARefusedPictureThenNudged) {
    dialogs.answers.push_back(gui::MessageResult::Ok); // Yes: give it by hand at once
    OpenPicture(RefusedPicture());
    ASSERT_TRUE(session().Picture().HandDisk());
    EXPECT_TRUE(Status().contains("drag out to the limb")) << Status().toStdString();

    // From the centre (240, 250) out to (270, 290): a radius of 50 (a 30-40-50 triangle).
    QWidget* surface = View()->viewport();
    const QImage before = surface->grab().toImage();
    QTest::mousePress(surface, Qt::LeftButton, Qt::NoModifier, On(240, 250));
    QTest::mouseMove(surface, On(255, 270));
    QTest::mouseMove(surface, On(270, 290));
    // Drawn while it is dragged: orange, which the grey picture has nowhere.
    const QImage during = surface->grab().toImage();
    const auto orange = [](const QImage& im) {
        int n = 0;
        for (int y = 0; y < im.height(); ++y) {
            for (int x = 0; x < im.width(); ++x) {
                const QColor c = im.pixelColor(x, y);
                n += c.red() > 200 && c.green() > 120 && c.green() < 200 && c.blue() < 60;
            }
        }
        return n;
    };
    EXPECT_EQ(orange(before), 0);
    // At least half the circle's circumference on screen.
    EXPECT_GT(orange(during), std::numbers::pi * 50 * View()->zoom());
    QTest::mouseRelease(surface, Qt::LeftButton, Qt::NoModifier, On(270, 290));
    ASSERT_TRUE(session().Picture().HandDisk()->circle);
    const Circle dragged = *session().Picture().HandDisk()->circle;
    EXPECT_NEAR(dragged.cx, 240, ClickError());
    EXPECT_NEAR(dragged.cy, 250, ClickError());
    EXPECT_NEAR(dragged.r, 50, 2 * ClickError());

    // One screen pixel a key: right twice, up once, one larger.
    for (const auto key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Up, Qt::Key_Plus})
        QTest::keyClick(View(), key);
    QTest::keyClick(View(), Qt::Key_Enter);
    ASSERT_TRUE(session().Picture().HasDisk());
    const double px = 1 / View()->zoom();
    const Circle taken = *session().Picture().opened()->context.disk;
    EXPECT_NEAR(taken.cx, dragged.cx + 2 * px, 1e-9);
    EXPECT_NEAR(taken.cy, dragged.cy - px, 1e-9);
    EXPECT_NEAR(taken.r, dragged.r + px, 1e-9);
    // Now a click measures.
    Click(240, 250);
    EXPECT_NE(Box("XCoordBox")->text(), "0.0");
    // Closing the picture forgets the disk.
    Trigger("CloseImage1");
    dialogs.answers.push_back(gui::MessageResult::Cancel);
    OpenPicture(RefusedPicture());
    EXPECT_FALSE(session().Picture().HasDisk());
}

TEST_F(HandDiskWindow, TheCameraClockOffsetIsKeptAndTakenForCameraPictures) {
    dialogs.integers = {-300};
    Trigger("CameraClockOffset1");
    ASSERT_EQ(dialogs.integerRequests.size(), 1u);
    EXPECT_EQ(dialogs.integerRequests[0].value, 0); // UT until said otherwise
    EXPECT_EQ(dialogs.integerRequests[0].low, -840);
    EXPECT_EQ(dialogs.integerRequests[0].high, 840);
    Close();
    EXPECT_NE(test::ReadFile(dir / "ZorvaOptions.ini").find("CameraClockOffset=-300"),
              std::string::npos);
    Open();
    EXPECT_EQ(session().options().CameraClockOffsetMinutes, -300);

    // A camera on UT-05:00 that writes no offset: 22:39:45 on its clock is 03:39:45 UT the
    // next day.
    const std::string photo = Picture("camera.jpg", {240, 240}, 120, 115, 75, "JPG");
    ASSERT_TRUE(
        test::WriteExifTags(photo, {{"Exif.Photo.DateTimeOriginal", "2023:01:30 22:39:45"}}));
    // Offered for the user to confirm, as the camera did not write its clock's offset.
    QDateTime offered;
    dialogs.onModal = [&offered](QDialog& d) {
        offered = d.findChild<QDateTimeEdit*>("PictureInstantEdit")->dateTime();
    };
    OpenPicture(photo);
    EXPECT_EQ(offered, QDateTime(QDate(2023, 1, 31), QTime(3, 39, 45), Qt::UTC));
    EXPECT_EQ(session().Picture().opened()->context.instantSource, InstantSource::Given);
    EXPECT_EQ(session().Observing().observation().instant, (Instant{2023, 1, 31, 3, 39, 45}));
}

} // namespace
} // namespace zorva
