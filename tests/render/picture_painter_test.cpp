#include "render/picture_painter.h"

#include <gtest/gtest.h>

namespace zorva {
namespace {

// A busy picture: every grid line, the limb circle and points, labels and the spot.
PictureView BusyPicture(double spotX, double spotY) {
    PictureView p;
    p.disk = {250.4, 249.6, 200.2};
    for (std::size_t i = 0; i < LimbRays; i += 7) {
        p.limb.x[i] = 250 + static_cast<int32_t>(i % 50);
        p.limb.y[i] = 60;
        p.limb.flag[i] = LimbPointAccepted;
    }
    p.points = p.circle = p.spot = true;
    ChartGeometry& g = p.scene.Geometry;
    g.ChartDiameter = 135.6;
    g.ShowLatLines = g.ShowLongLines = true;
    p.scene.B0 = 4.2;
    p.scene.P = -17.5;
    p.scene.D = 0.535;
    p.scene.SpotX = spotX;
    p.scene.SpotY = spotY;
    return p;
}

TEST(PaintPictureView, MendingWhereTheSpotMovedGivesTheWholePicture) {
    QImage clean(500, 500, QImage::Format_Grayscale8);
    for (int y = 0; y < 500; ++y) {
        for (int x = 0; x < 500; ++x)
            clean.scanLine(y)[x] = static_cast<uchar>((x * 7 + y) & 0xFF);
    }
    const QFont font("DejaVu Sans", 8);
    const PictureView before = BusyPicture(10.2, -3.4);
    // The spot moves across grid lines and onto a label's neighbourhood.
    for (const auto& [x, y] : {std::pair{-20.0, 31.5}, {0.0, 0.0}, {44.4, -50.1}}) {
        const PictureView after = BusyPicture(x, y);
        const std::optional<QRect> area = SpotOnlyChange(before, after);
        ASSERT_TRUE(area.has_value());
        QImage mended;
        PaintPictureView(mended, clean, before, font);
        PaintPictureView(mended, clean, after, font, *area);
        QImage whole;
        PaintPictureView(whole, clean, after, font);
        EXPECT_TRUE(mended == whole) << x << " " << y;
    }
    // Anything else that changes needs the whole picture.
    PictureView other = BusyPicture(10.2, -3.4);
    other.circle = false;
    EXPECT_FALSE(SpotOnlyChange(before, other).has_value());
    // The same picture again: nothing to paint.
    EXPECT_TRUE(SpotOnlyChange(before, before)->isNull());
}

} // namespace
} // namespace zorva
