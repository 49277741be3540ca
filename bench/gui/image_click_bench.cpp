// Speed of a click on a 4096 x 4096 solar image shown fitted to the window: the
// mouse-down mapped to the image pixel, the pixel turned into disk millimetres through the
// fitted circle, and the spot located there with its area.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>

#include "bench_application.h"
#include "core/chart/sunspot.h"
#include "core/images/circle_fit.h"
#include "core/images/image_state.h"
#include "core/measure/pointer.h"
#include "gui/image_view.h"

namespace {

void BM_ImageClickMappedAndLocated(benchmark::State& state) {
    zorva::bench::EnsureApplication<QApplication>();
    constexpr int kSide = 4096;
    QImage picture(kSide, kSide, QImage::Format_RGB32);
    picture.fill(Qt::gray);
    zorva::gui::ImageView view;
    view.resize(1000, 800);
    view.show();
    view.setImage(picture);
    const zorva::Circle disk{2047.6, 2048.2, 1620.4};
    zorva::ChartGeometry geometry;
    geometry.ChartDiameter = zorva::ImageChartDiameter(disk.r);
    zorva::Ephemeris ephemeris;
    ephemeris.B0 = -5.9;
    ephemeris.L0 = 211.3;
    ephemeris.P = -12.1;
    ephemeris.DiamMinutes = 32;
    ephemeris.DiamSeconds = 29.6;
    ephemeris.Rotation = 2267;
    zorva::SpotState spot;
    spot.SpotSize = 4;
    QObject::connect(&view, &zorva::gui::ImageView::mouseDown,
                     [&](Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y) {
                         const zorva::DiskClick c = zorva::PointToDisk(
                             x, y, disk.cx, disk.cy, disk.r, geometry.ChartDiameter);
                         if (!zorva::OnDisk(c.d, geometry.ChartDiameter)) return;
                         spot.SpotX = zorva::RoundToHundredthsAwayFromZero(c.x);
                         spot.SpotY = zorva::RoundToHundredthsAwayFromZero(c.y);
                         zorva::LocateSpot(spot, zorva::FrameAt(geometry, ephemeris), ephemeris);
                         zorva::ComputeSpotArea(spot, geometry.ChartDiameter);
                     });
    const QPointF at(612.3, 333.7);
    for (auto _ : state) {
        QMouseEvent press(QEvent::MouseButtonPress, at, view.viewport()->mapToGlobal(at),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view.viewport(), &press);
        benchmark::DoNotOptimize(spot.At->latitude);
    }
}
BENCHMARK(BM_ImageClickMappedAndLocated)->Unit(benchmark::kMicrosecond);

} // namespace
