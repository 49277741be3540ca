// Solar images in the window: open, grid, click, close, save, and bad files.
#include <QImageReader>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

#include "core/images/image_state.h"
#include "gui/chart_image.h"
#include "gui/image_view.h"
#include "render/chart_painter.h"
#include "render/image_overlay.h"
#include "window_fixture.h"

namespace zorva {
namespace {

struct ImageWindow : test::WindowTest {
    ImageWindow() : WindowTest(QDate(2023, 1, 31)) {}
    // Opens a file through the dialog, as the user does.
    void OpenFile(const std::filesystem::path& path) {
        dialogs.files.push_back(QString::fromStdString(path.string()));
        Trigger("OpenImage1");
    }
    gui::ImageView* View() const { return Find<gui::ImageView>("Image1"); }
};

TEST_F(ImageWindow, OpenMeasureAndClose) {
    ZORVA_TEST_DATA(data);
    const auto hmi = data / "images" / "hmi_20230131_033945_512.png";
    dialogs.messages.clear();
    OpenFile(hmi);
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.messages[0].text.toStdString();
    EXPECT_TRUE(View()->isVisible() || !form->isVisible());
    EXPECT_FALSE(View()->isHidden());
    EXPECT_TRUE(Find<gui::ImageControl>("Image")->isHidden());
    EXPECT_EQ(form->windowTitle(), "Zorva Image Viewer - hmi_20230131_033945_512.png");
    EXPECT_TRUE(Item("Points1")->isEnabled());
    EXPECT_FALSE(Item("Diameter1")->isEnabled());
    EXPECT_FALSE(Item("Rotation1")->isEnabled());
    // The disk of 202.9 px (the file's own keywords) is taken as drawn at 75 pixels per
    // inch: about 2 x 202.9 x 25.4 / 75 = 137.4 mm across.
    ASSERT_TRUE(session().Picture().HasDisk());
    const Circle disk = *session().Picture().opened()->context.disk;
    const double radius = disk.r;
    EXPECT_NEAR(radius, 202.9, 1.5);
    // The diameter box gives the disk in the picture's pixels, its hint those millimetres.
    EXPECT_EQ(Box("DiamBox")->text().toStdString(), FixedText(2 * radius, 1));
    EXPECT_EQ(Text("DiskDiamLabel"), "px");
    EXPECT_TRUE(Box("DiamBox")->toolTip().contains(
        QString::fromStdString(FixedText(2 * radius * 25.4 / 75, 2) + " mm across")));
    // The picture is shown as it is, and the grid drawn over it in the view's own pixels:
    // the equator and the central meridian alone are two lines each as long as the disk
    // is across on screen.
    ASSERT_EQ(View()->image().size(), QSize(512, 512));
    const QImage shown = View()->viewport()->grab().toImage();
    int cyan = 0; // the grey picture takes a cyan tint only from the overlay
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            const QColor c = shown.pixelColor(x, y);
            cyan += c.blue() > c.red() + 60;
        }
    }
    EXPECT_GT(cyan, 2 * 2 * radius * View()->zoom() * 0.9);

    // A click on the disk centre's pixel: the spot near the centre, its latitude B0.
    const int cx = static_cast<int>(std::lround(disk.cx));
    const int cy = static_cast<int>(std::lround(disk.cy));
    emit View()->mouseDown(Qt::LeftButton, Qt::NoModifier, cx, cy);
    EXPECT_LT(std::abs(session().spot().SpotX), 0.5);
    EXPECT_NEAR(session().spot().At->latitude, session().Observing().observation().ephemeris.B0,
                0.5);

    // Saved with the grid over the picture and the caption block below it.
    const auto saved = dir / "with-grid";
    dialogs.files.push_back(QString::fromStdString(saved.string()));
    Trigger("SaveAs1");
    QImageReader back(QString::fromStdString(saved.string() + ".bmp"));
    EXPECT_EQ(back.size().width(), 512);
    EXPECT_GT(back.size().height(), 512);
    EXPECT_EQ(form->windowTitle(), "Zorva Image Viewer - with-grid.bmp");

    Trigger("CloseImage1");
    EXPECT_TRUE(View()->isHidden());
    EXPECT_FALSE(Find<gui::ImageControl>("Image")->isHidden());
    // The chart comes back as it was before the picture, and the title with it.
    EXPECT_EQ(Find<gui::ImageControl>("Image")->width(), ChartSide(150));
    EXPECT_EQ(form->windowTitle(), "Zorva Viewer");
    EXPECT_TRUE(Checked("Sunspot1"));
}

TEST_F(ImageWindow, ABadFileChangesNothing) {
    test::WriteFile(dir / "notes.png", "not a picture at all");
    dialogs.messages.clear();
    const QString title = form->windowTitle();
    OpenFile(dir / "notes.png");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains("notes.png"));
    EXPECT_EQ(form->windowTitle(), title);
    EXPECT_FALSE(Find<gui::ImageControl>("Image")->isHidden());
    EXPECT_FALSE(session().Picture().Shown());
}

} // namespace
} // namespace zorva

namespace zorva {
namespace {

TEST_F(ImageWindow, AnObservatoryFileBringsItsTimeDiskAndTurn) {
    ZORVA_TEST_DATA(data);
    OpenFile(data / "fits" / "resampled_hmi.fits");
    EXPECT_TRUE(Checked("DiskOrientationFits"));
    EXPECT_FALSE(Checked("DiskOrientation1"));
    // DATE-OBS 2014-03-01T00:00:27.90, to the second.
    EXPECT_EQ(session().Observing().observation().instant, (Instant{2014, 3, 1, 0, 0, 28}));
    // RSUN_OBS / CDELT: 968.66 / 20.656 = 46.9 pixels.
    ASSERT_TRUE(session().Picture().HasDisk());
    EXPECT_NEAR(session().Picture().opened()->context.disk->r, 46.9, 0.01);
    EXPECT_TRUE(form->statusBar()->currentMessage().contains("FITS header"));
    // The file shows solar north at the bottom: a click in the upper half lies south.
    emit View()->mouseDown(Qt::LeftButton, Qt::NoModifier, 50, 20);
    EXPECT_LT(session().spot().At->latitude, -10);
    Trigger("DiskOrientation1");
    EXPECT_FALSE(Checked("DiskOrientationFits"));
}

} // namespace
} // namespace zorva
