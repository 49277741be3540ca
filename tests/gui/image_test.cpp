// Solar images in the window: open, grid, click, close, save, and bad files.
#include <QImageReader>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

#include "core/images/image_state.h"
#include "gui/chart_image.h"
#include "gui/image_view.h"
#include "render/chart_painter.h"
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
    // inch: about 2 x 202.9 x 25.4 / 75 = 137.4 mm.
    ASSERT_TRUE(session().PictureHasDisk());
    const Circle disk = *session().picture()->context.disk;
    const double radius = disk.r;
    EXPECT_NEAR(radius, 202.9, 1.5);
    EXPECT_EQ(Box("DiamBox")->text().toStdString(), FixedText(2 * radius * 25.4 / 75, 2));
    // The grid is drawn in blue over the picture: the equator and the central meridian
    // alone are two lines of about 2 x 203 pixels each.
    const QImage& shown = View()->image();
    ASSERT_EQ(shown.size(), QSize(512, 512));
    int blue = 0;
    for (int y = 0; y < 512; ++y) {
        for (int x = 0; x < 512; ++x)
            blue += PixelWord(shown, x, y) == kColourBlue;
    }
    EXPECT_GT(blue, 700);

    // A click on the disk centre's pixel: the spot near the centre, its latitude B0.
    const int cx = static_cast<int>(std::lround(disk.cx));
    const int cy = static_cast<int>(std::lround(disk.cy));
    emit View()->mouseDown(Qt::LeftButton, Qt::NoModifier, cx, cy);
    EXPECT_LT(std::abs(session().spot().SpotX), 0.5);
    EXPECT_NEAR(session().spot().At->latitude, session().observation().ephemeris.B0, 0.5);

    // Saved as shown, grid and all.
    const auto saved = dir / "with-grid";
    dialogs.files.push_back(QString::fromStdString(saved.string()));
    Trigger("SaveAs1");
    QImageReader back(QString::fromStdString(saved.string() + ".bmp"));
    EXPECT_EQ(back.size(), QSize(512, 512));
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
    EXPECT_FALSE(session().ImageShown());
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
    EXPECT_EQ(session().observation().instant, (Instant{2014, 3, 1, 0, 0, 28}));
    // RSUN_OBS / CDELT: 968.66 / 20.656 = 46.9 pixels.
    ASSERT_TRUE(session().PictureHasDisk());
    EXPECT_NEAR(session().picture()->context.disk->r, 46.9, 0.01);
    EXPECT_TRUE(form->statusBar()->currentMessage().contains("FITS header"));
    // The file shows solar north at the bottom: a click in the upper half lies south.
    emit View()->mouseDown(Qt::LeftButton, Qt::NoModifier, 50, 20);
    EXPECT_LT(session().spot().At->latitude, -10);
    Trigger("DiskOrientation1");
    EXPECT_FALSE(Checked("DiskOrientationFits"));
}

} // namespace
} // namespace zorva
