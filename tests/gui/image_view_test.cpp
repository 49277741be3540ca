#include "gui/image_view.h"

#include <QApplication>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace zorva::gui {
namespace {

// A 400 x 300 picture in a 200 x 150 window without frame or visible scroll bars, so the
// viewport's geometry is known exactly.
struct ViewFixture : ::testing::Test {
    ImageView view;
    QSignalSpy downs{&view, &ImageView::mouseDown};

    void SetUp() override {
        view.setFrameShape(QFrame::NoFrame);
        view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.resize(200, 150);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        QImage picture(400, 300, QImage::Format_RGB32);
        picture.fill(Qt::gray);
        view.setImage(picture);
        ASSERT_EQ(view.viewport()->size(), QSize(200, 150));
    }

    // The pixel a shift-click at viewport point (x, y) reports, if any.
    std::optional<QPoint> Click(int x, int y) {
        downs.clear();
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ShiftModifier, QPoint(x, y));
        if (downs.isEmpty()) return std::nullopt;
        const QList<QVariant> args = downs.takeFirst();
        EXPECT_TRUE(args[0].value<Qt::MouseButtons>() & Qt::LeftButton);
        EXPECT_EQ(args[1].value<Qt::KeyboardModifiers>(), Qt::ShiftModifier);
        return QPoint(args[2].toInt(), args[3].toInt());
    }
};

TEST_F(ViewFixture, ClicksMapToImagePixelsAtEveryZoom) {
    // Fit: min(200 / 400, 150 / 300) = 0.5, the picture exactly fills the window.
    EXPECT_TRUE(view.fitsWindow());
    EXPECT_DOUBLE_EQ(view.zoom(), 0.5);
    EXPECT_EQ(Click(101, 51), QPoint(202, 102));

    // Ctrl+1 about the window's centre (100, 75), which shows image point (200, 150): at
    // 1:1 the view scrolls by (100, 75), so viewport (10, 20) is image (110, 95).
    QTest::keyClick(&view, Qt::Key_1, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(view.zoom(), 1);
    EXPECT_FALSE(view.fitsWindow());
    EXPECT_EQ(Click(10, 20), QPoint(110, 95));

    // Ctrl++ three times: 1.5, 2, 3. Scrolled to (300, 200), image pixel 101 starts at
    // viewport x = 3 * 101 - 300 = 3.
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(&view, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(view.zoom(), 3);
    view.horizontalScrollBar()->setValue(300);
    view.verticalScrollBar()->setValue(200);
    EXPECT_EQ(Click(3, 1), QPoint(101, 67));
    EXPECT_EQ(Click(2, 0), QPoint(100, 66));

    // Ctrl+0 back to the fit, then Ctrl+- twice: 1/3, 1/4. The 100 x 75 picture is centred
    // at (50, 37); clicks beside it report nothing.
    QTest::keyClick(&view, Qt::Key_0, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(view.zoom(), 0.5);
    QTest::keyClick(&view, Qt::Key_Minus, Qt::ControlModifier);
    QTest::keyClick(&view, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(view.zoom(), 0.25);
    EXPECT_EQ(Click(50, 37), QPoint(0, 0));
    EXPECT_EQ(Click(149, 111), QPoint(396, 296));
    EXPECT_EQ(Click(150, 40), std::nullopt);
    EXPECT_EQ(Click(49, 40), std::nullopt);
}

TEST_F(ViewFixture, ALeftDragReportsPicturePointsBesideThePictureToo) {
    // At 1/4 the 100 x 75 picture lies at (50, 37): viewport x is 50 + (u + 0.5) / 4.
    view.setZoom(0.25);
    QSignalSpy pressed{&view, &ImageView::leftPressed};
    QSignalSpy dragged{&view, &ImageView::leftDragged};
    QSignalSpy released{&view, &ImageView::leftReleased};
    QTest::mousePress(view.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 37));
    QTest::mouseMove(view.viewport(), QPoint(70, 47));
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(90, 57));
    ASSERT_EQ(pressed.size(), 1);
    ASSERT_EQ(dragged.size(), 1);
    ASSERT_EQ(released.size(), 1);
    EXPECT_EQ(pressed[0][0].toPointF(), QPointF(-160.5, -0.5)); // beside the picture
    EXPECT_EQ(dragged[0][0].toPointF(), QPointF(79.5, 39.5));
    EXPECT_EQ(released[0][0].toPointF(), QPointF(159.5, 79.5));
    EXPECT_EQ(view.viewportPointOf({159.5, 79.5}), QPointF(90, 57));
    EXPECT_TRUE(downs.isEmpty()); // the press beside the picture is no click on it
}

TEST_F(ViewFixture, CtrlWheelZoomsAboutThePointer) {
    QTest::keyClick(&view, Qt::Key_1, Qt::ControlModifier);
    // At 1:1 scrolled by (100, 75), viewport (50, 50) shows image pixel (150, 125); one
    // notch in gives 1.5 with the same pixel under the pointer.
    ASSERT_EQ(view.imagePixelAt(QPointF(50, 50)), QPoint(150, 125));
    QWheelEvent wheel(QPointF(50, 50), view.viewport()->mapToGlobal(QPointF(50, 50)), QPoint(),
                      QPoint(0, 120), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.viewport(), &wheel);
    EXPECT_DOUBLE_EQ(view.zoom(), 1.5);
    EXPECT_EQ(view.imagePixelAt(QPointF(50, 50)), QPoint(150, 125));
    // A picture of the same size (an overlay redrawn) keeps the zoom; another is fitted.
    QImage same(400, 300, QImage::Format_RGB32);
    view.setImage(same);
    EXPECT_DOUBLE_EQ(view.zoom(), 1.5);
    view.setImage(QImage(100, 50, QImage::Format_RGB32));
    EXPECT_TRUE(view.fitsWindow());
    // Smaller than the window: enlarged to fill it, min(200 / 100, 150 / 50) = 2.
    EXPECT_DOUBLE_EQ(view.zoom(), 2);
}

// Below actual size each screen pixel shows the mean of the picture's pixels it covers:
// stripes of black and white a pixel wide, grey or colour, are an even grey (127.5), where
// picking single pixels would show black or white.
TEST_F(ViewFixture, ShrunkDetailIsAveragedNotPicked) {
    for (const QImage::Format format : {QImage::Format_Grayscale8, QImage::Format_RGB32}) {
        QImage stripes(1600, 1200, format);
        for (int x = 0; x < stripes.width(); ++x) {
            for (int y = 0; y < stripes.height(); ++y)
                stripes.setPixel(x, y, x % 2 == 0 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        }
        view.setImage(stripes);
        for (const double zoom : {0.125, 0.1}) {
            view.setZoom(zoom);
            const QImage shown = view.viewport()->grab().toImage();
            const int grey = qGray(shown.pixel(60, 40));
            EXPECT_NEAR(grey, 127.5, 3) << format << " at " << zoom;
        }
    }
}

} // namespace
} // namespace zorva::gui
