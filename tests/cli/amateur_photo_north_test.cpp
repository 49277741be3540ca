// North solved from the day's regions on a photo as an amateur takes it. No dated amateur
// photo with NOAA's regions is at hand, so one is made from a dated spacecraft picture: the
// HMI quick-look of 2011-11-20 01:30 UT (solar north up, east left) taken as a camera at a
// small telescope might: larger, mirrored by a diagonal, turned by an angle nobody chose,
// off the middle of the frame, darker towards the corners, coloured by a filter, noisy, and
// kept as a JPEG.
#include <QImage>
#include <QPainter>
#include <QTransform>
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>

#include "cli/commands.h"
#include "run_cli.h"
#include "support/test_support.h"

namespace zorva::cli {
namespace {

namespace fs = std::filesystem;
using test::Apart;
using test::OrientationOf;
using test::RunCli;

struct Amateur {
    double turn;       // solar north, counter-clockwise from up, degrees
    bool mirrored;     // east clockwise from north
    QPointF offCentre; // the disk's centre from the frame's, pixels
    double vignette;   // how much darker the frame's corners are than its middle, 0..1
    double gain[3];    // the filter's colour, red, green, blue
    double noise;      // standard deviation of each channel's noise, levels of 255
    int quality;       // JPEG quality
};

int Clamp255(double v) {
    return static_cast<int>(std::lround(std::clamp(v, 0.0, 255.0)));
}

// The quick-look picture made into an amateur's photo as `a` says.
fs::path MakeAmateurPhoto(const fs::path& upright, const Amateur& a, const fs::path& out) {
    EnsureGuiApplication();
    QImage image(QString::fromStdString(upright.string()));
    image = image.convertToFormat(QImage::Format_RGB32);
    // Twice as large, as a camera's frame is, then mirrored left to right (a star diagonal),
    // then turned counter-clockwise (Qt's y runs down, so a negative angle turns it so).
    image = image.scaled(image.size() * 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (a.mirrored) image = image.mirrored(true, false);
    const QImage turned = image.transformed(QTransform().rotate(-a.turn), Qt::SmoothTransformation);
    constexpr int kWidth = 1600, kHeight = 1200;
    QImage frame(kWidth, kHeight, QImage::Format_RGB32);
    frame.fill(Qt::black); // the sky, as black as the picture's own
    {
        QPainter p(&frame);
        const QPointF at = QPointF(kWidth / 2.0, kHeight / 2.0) + a.offCentre -
                           QPointF(turned.width() / 2.0, turned.height() / 2.0);
        p.drawImage(at, turned);
    }
    std::mt19937 random(20111120);
    std::normal_distribution<double> noise(0, a.noise);
    const double corner = std::hypot(kWidth / 2.0, kHeight / 2.0);
    for (int y = 0; y < kHeight; ++y) {
        auto* row = reinterpret_cast<QRgb*>(frame.scanLine(y));
        for (int x = 0; x < kWidth; ++x) {
            const double r = std::hypot(x - kWidth / 2.0, y - kHeight / 2.0) / corner;
            const double light = 1 - a.vignette * r * r;
            const QRgb c = row[x];
            const int values[3] = {qRed(c), qGreen(c), qBlue(c)};
            int shaded[3];
            for (int k = 0; k < 3; ++k)
                shaded[k] = Clamp255(values[k] * light * a.gain[k] + noise(random));
            row[x] = qRgb(shaded[0], shaded[1], shaded[2]);
        }
    }
    EXPECT_TRUE(frame.save(QString::fromStdString(out.string()), "JPG", a.quality));
    return out;
}

TEST(AmateurPhotoNorth, IsSolvedWithinFiveDegreesOnASyntheticPhoto) {
    ZORVA_TEST_DATA(data);
    test::TempDir dir;
    const fs::path upright = data / "images" / "20111120_0130_hmiigr_512.jpg";
    const std::string summary = (data / "srs" / "20111120SRS.txt").string();
    const Amateur cases[] = {
        {37.3, true, {-170, 60}, 0.35, {1.0, 0.78, 0.52}, 4, 80},
        {213.7, false, {150, -90}, 0.45, {0.9, 1.0, 0.75}, 6, 70},
        {301.1, true, {60, 110}, 0.25, {1.0, 0.9, 0.9}, 3, 85},
    };
    for (const Amateur& a : cases) {
        SCOPED_TRACE(a.turn);
        const fs::path photo = MakeAmateurPhoto(upright, a, dir / "amateur_photo.jpg");
        const test::CliResult r = RunCli({"spots", photo.string(), "--at", "2011-11-20T01:30",
                                          "--orientation", "solve", "--regions", summary});
        ASSERT_EQ(r.status, 0) << r.err;
        const auto o = OrientationOf(r.out);
        EXPECT_LT(Apart(o.at("north"), a.turn), 5) << r.out;
        EXPECT_NEAR(Apart(o.at("east"), o.at("north") + (a.mirrored ? -90 : 90)), 0, 0.011);
    }
}

} // namespace
} // namespace zorva::cli
