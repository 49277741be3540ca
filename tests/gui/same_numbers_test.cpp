// The window and the command line open a picture through the same use case: for the same
// file, pixel and options they give the very same latitude and longitude.
#include <cmath>

#include "../cli/run_cli.h"
#include "core/present/presentation.h"
#include "gui/image_view.h"
#include "render/chart_painter.h"
#include "render/image_overlay.h"
#include "window_fixture.h"

namespace zorva {
namespace {

struct SameNumbers : test::WindowTest {
    SameNumbers() : WindowTest(QDate(2023, 1, 31)) {}
};

std::string Iso(const Instant& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

TEST_F(SameNumbers, TheWindowAndTheCommandLineAgreeOnEveryPicture) {
    ZORVA_TEST_DATA(data);
    const std::filesystem::path files[] = {
        data / "fits" / "resampled_hmi.fits",  // north down, disk and time from the header
        data / "fits" / "aia_171_level1.fits", // the header's disk of a picture of the corona
        data / "images" / "hmi_20230131_033945_512.png", // the limb search's disk
    };
    for (const std::filesystem::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        dialogs.files.push_back(QString::fromStdString(file.string()));
        Trigger("OpenImage1");
        ASSERT_TRUE(session().Picture().HasDisk());
        const Circle disk = *session().Picture().opened()->context.disk;
        // The command line is given the window's instant only where the file has none.
        const std::string instant = Iso(session().Observing().observation().instant);
        for (const auto& [dx, dy] : {std::pair{0.0, 0.0}, {0.3, -0.5}, {-0.6, 0.2}, {0.1, 0.7}}) {
            const int x = static_cast<int>(std::lround(disk.cx + dx * disk.r));
            const int y = static_cast<int>(std::lround(disk.cy + dy * disk.r));
            emit Find<gui::ImageView>("Image1")->mouseDown(Qt::LeftButton, Qt::NoModifier, x, y);
            std::vector<std::string> args = {"locate",          "--image", file.string(),    "--px",
                                             std::to_string(x), "--py",    std::to_string(y)};
            if (!session().Picture().opened()->context.instant)
                args.insert(args.begin() + 1, instant);
            const test::CliResult r = test::RunCli(args);
            ASSERT_EQ(r.status, 0) << r.err;
            const auto fields = test::Fields(r.out);
            // The command line prints 15 significant digits.
            constexpr double kPrinted = 1e-12;
            EXPECT_NEAR(test::Number(fields.at("SpotLat")), session().spot().At->latitude, kPrinted)
                << x << "," << y;
            EXPECT_NEAR(test::Number(fields.at("SpotLong")), session().spot().At->longitude,
                        kPrinted)
                << x << "," << y;
        }
        Trigger("CloseImage1");
    }
}

// The command line's overlay is the window's presentation of the same picture and options,
// drawn as the window saves it.
TEST_F(SameNumbers, TheCommandLineDrawsTheWindowsOverlay) {
    ZORVA_TEST_DATA(data);
    const std::filesystem::path file = data / "images" / "hmi_20230131_033945_512.png";
    dialogs.files.push_back(QString::fromStdString(file.string()));
    Trigger("OpenImage1");
    for (const char* item : {"Sunspot1", "LatLines1", "Circle1", "Points1"})
        Trigger(item);
    const PictureView view = *PresentPicture(session());
    ASSERT_FALSE(view.spot);
    ASSERT_TRUE(view.scene.ShowLatLines && view.circle && view.points);
    const QImage expected =
        PictureWithOverlay(QImage(QString::fromStdString(file.string())), view,
                           PresentPictureCaption(session()), DefaultChartFont());
    const std::filesystem::path out = dir / "overlay.png";
    const test::CliResult r =
        test::RunCli({"overlay", file.string(), "--out", out.string(), "--lat", "51.5", "--long",
                      "0.5", "--lat-lines", "--circle", "--points"});
    ASSERT_EQ(r.status, 0) << r.err;
    const QImage drawn(QString::fromStdString(out.string()));
    EXPECT_TRUE(drawn == expected.convertToFormat(drawn.format()));
}

} // namespace
} // namespace zorva
