// Speed of the solar image path on a 4096 x 4096 picture: opening and finding the limb
// against a bare decode of the same file, a small JPEG padded to 4 GB, the limb search
// alone, the overlay painted on a view and the picture saved with it; and the memory a 16-bit
// picture takes to open.
//
// The pictures are made when the program starts, from a shared real image scaled up (or a
// drawn disk where the shared images are missing), in a temporary folder removed at the
// end. Run the memory figure on its own for a clean process:
//   zorva_bench_render --benchmark_filter=Memory
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <malloc.h>
#include <memory>
#include <string>

#include "bench_application.h"
#include "render/chart_painter.h"
#include "render/image_overlay.h"
#include "render/solar_image.h"

namespace {

constexpr int kSide = 4096;

struct BenchPictures {
    std::unique_ptr<QTemporaryDir> dir;
    QString png8;       // 8-bit grey PNG
    QString png16;      // 16-bit grey PNG
    QString paddedJpeg; // the 512-pixel picture as JPEG, padded to 4 GB with a hole
};

QImage SourcePicture() {
    const QImage shared(QStringLiteral(ZORVA_TESTDATA_DIR "/images/hmi_20230131_033945_512.png"));
    if (!shared.isNull()) return shared.convertToFormat(QImage::Format_Grayscale8);
    // A limb-darkened disk on a dark sky.
    QImage drawn(512, 512, QImage::Format_Grayscale8);
    drawn.fill(8);
    QPainter p(&drawn);
    QRadialGradient g(256, 256, 200);
    g.setColorAt(0, QColor(220, 220, 220));
    g.setColorAt(1, QColor(120, 120, 120));
    p.setBrush(g);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(256, 256), 200, 200);
    return drawn;
}

const BenchPictures& Pictures() {
    static const BenchPictures pictures = [] {
        zorva::bench::EnsureApplication<QGuiApplication>();
        BenchPictures b;
        b.dir = std::make_unique<QTemporaryDir>();
        const QImage big =
            SourcePicture().scaled(kSide, kSide, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        b.png8 = b.dir->filePath("sun4096.png");
        big.convertToFormat(QImage::Format_Grayscale8).save(b.png8);
        b.png16 = b.dir->filePath("sun4096_16.png");
        big.convertToFormat(QImage::Format_Grayscale16).save(b.png16);
        b.paddedJpeg = b.dir->filePath("sun512_padded.jpg");
        SourcePicture().save(b.paddedJpeg);
        QFile(b.paddedJpeg).resize(qint64{4} << 30);
        return b;
    }();
    return pictures;
}

void BM_DecodePng4096(benchmark::State& state) {
    const QString path = Pictures().png8;
    for (auto _ : state) {
        QImageReader reader(path);
        benchmark::DoNotOptimize(reader.read());
    }
}
BENCHMARK(BM_DecodePng4096)->Unit(benchmark::kMillisecond);

void BM_OpenAndFindLimb4096(benchmark::State& state) {
    const QString path = Pictures().png8;
    for (auto _ : state) {
        const zorva::SolarImageLoad load = zorva::LoadSolarImage(path);
        benchmark::DoNotOptimize(zorva::FindSolarLimb(*load.image));
    }
}
BENCHMARK(BM_OpenAndFindLimb4096)->Unit(benchmark::kMillisecond);

// A 512-pixel JPEG padded to 4 GB opens as its picture does: only its own segments and
// scan are read, never the padding.
void BM_OpenJpegPaddedTo4GB(benchmark::State& state) {
    const QString path = Pictures().paddedJpeg;
    for (auto _ : state) {
        const zorva::SolarImageLoad load = zorva::LoadSolarImage(path);
        benchmark::DoNotOptimize(load.image->shown.constBits());
    }
}
BENCHMARK(BM_OpenJpegPaddedTo4GB)->Unit(benchmark::kMillisecond);

void BM_FindLimb4096(benchmark::State& state) {
    const zorva::SolarImageLoad load = zorva::LoadSolarImage(Pictures().png8);
    for (auto _ : state) {
        benchmark::DoNotOptimize(zorva::FindSolarLimb(*load.image));
    }
}
BENCHMARK(BM_FindLimb4096)->Unit(benchmark::kMillisecond);

// What is drawn over a 4096 x 4096 picture: every grid line, the circle and the limb
// points, the spot.
zorva::PictureView BusyOverlay(const zorva::LimbFit& fit) {
    zorva::PictureView v;
    v.scene.ShowLatLines = true;
    v.scene.ShowLongLines = true;
    v.scene.B0 = 5.2;
    v.scene.P = -12.4;
    v.scene.Frame.q = v.scene.P;
    v.scene.D = 0.53;
    v.scene.SpotX = 20;
    v.scene.SpotY = -12;
    v.disk = fit.disk;
    v.limb = fit.points;
    v.points = v.circle = v.spot = true;
    return v;
}

// The overlay painted over the fitted picture on a 1600 x 1000 view, as each repaint of
// the window's picture does.
void BM_OverlayOnAView4096(benchmark::State& state) {
    const zorva::SolarImageLoad load = zorva::LoadSolarImage(Pictures().png8);
    const zorva::PictureView v = BusyOverlay(zorva::FindSolarLimb(*load.image));
    QImage view(1600, 1000, QImage::Format_RGB32);
    const double zoom = 1000.0 / kSide;
    const QFont font = zorva::DefaultChartFont();
    for (auto _ : state) {
        QPainter p(&view);
        zorva::PaintPictureOverlay(p, v, {zoom, 300, 0, QRectF(view.rect())}, font);
        p.end();
        benchmark::DoNotOptimize(view.constBits());
    }
}
BENCHMARK(BM_OverlayOnAView4096)->Unit(benchmark::kMillisecond);

// The picture as saved, with its overlay and caption.
void BM_SavedPictureWithOverlay4096(benchmark::State& state) {
    const zorva::SolarImageLoad load = zorva::LoadSolarImage(Pictures().png8);
    const zorva::PictureView v = BusyOverlay(zorva::FindSolarLimb(*load.image));
    const std::vector<zorva::CaptionLine> caption = {{"sun4096.png"}, {"2023-01-31  03:39:45 UT"}};
    const QFont font = zorva::DefaultChartFont();
    for (auto _ : state) {
        const QImage saved = zorva::PictureWithOverlay(load.image->shown, v, caption, font);
        benchmark::DoNotOptimize(saved.constBits());
    }
}
BENCHMARK(BM_SavedPictureWithOverlay4096)->Unit(benchmark::kMillisecond);

// Opening a 16-bit picture: the peak and the lasting growth of resident memory, against
// the size of the picture decoded as 8-bit grey (one byte a pixel). Large blocks are
// mapped and unmapped directly, so freed memory leaves the count at once.
void BM_Memory16Bit4096(benchmark::State& state) {
    constexpr int kMappedFrom = 256 * 1024;
    mallopt(M_MMAP_THRESHOLD, kMappedFrom);
    const QString path = Pictures().png16;
    zorva::LoadSolarImage(path); // plug-ins loaded, buffers of the decoder settled
    const double eightBit = static_cast<double>(kSide) * kSide;
    for (auto _ : state) {
        malloc_trim(0);
        std::ofstream("/proc/self/clear_refs") << "5"; // restarts the peak count
        const zorva::bench::Resident before = zorva::bench::ReadResident();
        const zorva::SolarImageLoad load = zorva::LoadSolarImage(path);
        const zorva::bench::Resident after = zorva::bench::ReadResident();
        benchmark::DoNotOptimize(load.image->shown.constBits());
        state.counters["PeakPer8Bit"] = static_cast<double>(after.peak - before.now) / eightBit;
        state.counters["HeldPer8Bit"] = static_cast<double>(after.now - before.now) / eightBit;
    }
}
BENCHMARK(BM_Memory16Bit4096)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
