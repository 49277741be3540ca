#include <QFile>
#include <QImage>
#include <QString>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

#include "cli/args.h"
#include "core/images/limb_verdict.h"
#include "core/text/format.h"
#include "run_cli.h"
#include "support/exif_writer.h"
#include "support/test_support.h"

namespace zorva::cli {
namespace {

namespace fs = std::filesystem;
using test::Fields;
using test::RunCli;
using Result = test::CliResult;

// The HMI image's disk from its FITS keywords (the test data's README).
constexpr double kHmiCx = 255.5, kHmiCy = 255.5, kHmiR = 202.9;
const char* const kHmi = "hmi_20230131_033945_512.png";
const std::string kWhen = "2023-01-31T03:39:45";

TEST(LimbCommand, DiskOfARealImageAndTheDateOfItsName) {
    ZORVA_TEST_DATA(data);
    const std::string image = (data / "images" / kHmi).string();
    Result r = RunCli({"limb", image});
    ASSERT_EQ(r.status, 0) << r.err;
    auto f = Fields(r.out);
    EXPECT_NEAR(zorva::test::Number(f.at("CentreX")), kHmiCx, 0.3);
    EXPECT_NEAR(zorva::test::Number(f.at("CentreY")), kHmiCy, 0.3);
    EXPECT_NEAR(zorva::test::Number(f.at("Radius")), kHmiR, 1.5);
    EXPECT_GE(std::stoi(f.at("Rays")), 300);
    EXPECT_EQ(f.at("Mode"), "DarkBackground");
    // The name's YYYYMMDD_hhmmss; the README's 03:39:45.7 is the header's, which the name
    // cuts to the second.
    EXPECT_EQ(f.at("Date"), "2023-01-31");
    EXPECT_EQ(f.at("Time"), "03:39:45");

    test::TempDir dir;
    const fs::path named = dir / "20230131_0339_mdi_igr_512.png";
    fs::copy_file(image, named);
    r = RunCli({"limb", named.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    f = Fields(r.out);
    EXPECT_EQ(f.at("Date"), "2023-01-31");
    EXPECT_EQ(f.at("Time"), "03:39:00");
}

// The MDI picture shrunk to 128 x 128 (a box average of 8 x 8 pixels, so the centre
// (c + 0.5) / 8 - 0.5 and the radius over 8) and moved `up` rows up and `left` columns to
// the left in its frame, the rows and columns it leaves filled with black sky.
QImage ShiftedMdi128(const fs::path& mdi, int up, int left) {
    const QImage small = QImage(QString::fromStdString(mdi.string()))
                             .convertToFormat(QImage::Format_Grayscale8)
                             .scaled(128, 128, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QImage moved(128, 128, QImage::Format_Grayscale8);
    moved.fill(0);
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            const int from = y + up, column = x + left;
            if (from >= 0 && from < 128 && column >= 0 && column < 128) {
                moved.scanLine(y)[x] = small.constScanLine(from)[column];
            }
        }
    }
    return moved;
}

// Every real picture, whole and cut by its frame, with and without the sub-pixel limb:
// the search gives the known disk within a pixel or two, or refuses with a reason; it never
// gives another disk. Each picture's expected verdict is pinned too, so that refusing
// everything fails.
TEST(LimbCommand, RealPicturesGiveTheirDiskOrARefusal) {
    ZORVA_TEST_DATA(data);
    test::TempDir dir;
    const fs::path mdi = data / "images" / "mdi_20050111_235932_1024.png";
    // The MDI disk of the test data's README, (511.2, 512.0), radius 495.7, shrunk 8 times.
    const double sx = (511.2 + 0.5) / 8 - 0.5, sy = (512.0 + 0.5) / 8 - 0.5, sr = 495.7 / 8;
    const struct {
        std::string file;
        int up, left; // for the cut frames made here
        double cx, cy, r;
        const char* refusal; // words of the reason; nullptr: found
    } cases[] = {
        // The disks of the README, from the files' own keywords.
        {"images/hmi_20230131_033945_512.png", 0, 0, 255.5, 255.5, 202.9, nullptr},
        {"images/mdi_20050111_235932_1024.png", 0, 0, 511.2, 512.0, 495.7, nullptr},
        {"fits/resampled_hmi.fits", 0, 0, 49.5, 49.5, 46.9, nullptr},
        // The corona is bright beyond the limb: the threshold meets its tail.
        {"fits/aia_171_level1.fits", 0, 0, 0, 0, 0, "The brightness drops most"},
        // The frame cuts 18 px off the top of the disk: found from the rest of the limb.
        {"mdi128_up18.png", 18, 0, sx, sy - 18, sr, nullptr},
        {"mdi128_down30.png", -30, 0, sx, sy + 30, sr, nullptr},
        // Cut 60 px: the limb shows round less than half the disk.
        {"mdi128_up60.png", 60, 0, sx, sy - 60, sr, "of the circle"},
        {"mdi128_corner.png", 30, 30, sx - 30, sy - 30, sr, "of the circle"},
        // The picture's centre lies off the disk: the rays from it find no limb.
        {"mdi128_up80.png", 80, 0, sx, sy - 80, sr, "rays"},
    };
    for (const auto& c : cases) {
        fs::path file = data / c.file;
        if (c.file.rfind("mdi128", 0) == 0) {
            file = dir / c.file;
            ASSERT_TRUE(
                ShiftedMdi128(mdi, c.up, c.left).save(QString::fromStdString(file.string())));
        }
        for (const bool refine : {false, true}) {
            SCOPED_TRACE(c.file + (refine ? " --refine" : ""));
            std::vector<std::string> args = {"limb", file.string()};
            if (refine) args.push_back("--refine");
            const Result r = RunCli(args);
            if (!c.refusal) {
                ASSERT_EQ(r.status, 0) << r.err;
                const auto f = Fields(r.out);
                EXPECT_NEAR(zorva::test::Number(f.at("CentreX")), c.cx, 1);
                EXPECT_NEAR(zorva::test::Number(f.at("CentreY")), c.cy, 1);
                EXPECT_NEAR(zorva::test::Number(f.at("Radius")), c.r, 1.5);
                EXPECT_LE(zorva::test::Number(f.at("Residual")), LimbLargestResidual);
            } else {
                EXPECT_EQ(r.status, 1);
                EXPECT_EQ(r.out, "");
                const std::string lead = "zorva-cli: " + file.filename().string() +
                                         ": Edge of solar disk could not be found. ";
                EXPECT_EQ(r.err.rfind(lead, 0), 0u) << r.err;
                EXPECT_NE(r.err.find(c.refusal, lead.size()), std::string::npos) << r.err;
            }
        }
    }
}

// --disk gives the disk every image command measures on, over the search's and a header's.
TEST(ImageCommands, DiskByHandStandsOverTheSearch) {
    ZORVA_TEST_DATA(data);
    const std::string image = (data / "images" / kHmi).string();
    // The README's disk typed in: a click at (300, 200) lies (300 - 255.5, 255.5 - 200) px
    // from its centre, so x = 44.5 25.4 / 75 and y = 55.5 25.4 / 75 mm to two decimals
    // (15.07, 18.80) on a chart of 2 202.9 25.4 / 75 mm.
    const Result clicked = RunCli({"locate", kWhen, "--image", image, "--px", "300", "--py", "200",
                                   "--disk", "255.5,255.5,202.9", "--mirror"});
    ASSERT_EQ(clicked.status, 0) << clicked.err;
    const Result typed = RunCli({"locate", kWhen, "--x", "15.07", "--y", "18.8", "--diameter",
                                 zorva::RoundTripText(2 * 202.9 * 25.4 / 75), "--mirror"});
    ASSERT_EQ(typed.status, 0) << typed.err;
    EXPECT_EQ(clicked.out, typed.out);

    // A picture whose disk the search refuses is measured on the disk given.
    test::TempDir dir;
    QImage black(64, 64, QImage::Format_Grayscale8);
    black.fill(0);
    const std::string blank = (dir / "black.png").string();
    ASSERT_TRUE(black.save(QString::fromStdString(blank)));
    EXPECT_EQ(RunCli({"locate", kWhen, "--image", blank, "--px", "32", "--py", "32"}).status, 1);
    EXPECT_EQ(RunCli({"locate", kWhen, "--image", blank, "--px", "32", "--py", "32", "--disk",
                      "31.5,31.5,30"})
                  .status,
              0);
    const Result limb = RunCli({"limb", image, "--disk", "250,260,200.5"});
    ASSERT_EQ(limb.status, 0) << limb.err;
    const auto f = Fields(limb.out);
    EXPECT_EQ(f.at("GivenCentreX"), "250");
    EXPECT_EQ(f.at("GivenRadius"), "200.5");

    // Bad disks are usage errors, one line each, and nothing is written.
    const struct {
        const char* disk;
        const char* why;
    } bad[] = {{"255,255", "not three numbers"},
               {"255,255,200,1", "not three numbers"},
               {"a,b,c", "not three numbers"},
               {"255,,200", "not three numbers"},
               {"255,255,inf", "not three numbers"},
               {"255,255,0", "the radius must be 1 to 1000000 pixels"},
               {"255,255,-3", "the radius must be 1 to 1000000 pixels"},
               {"2e6,255,200", "the centre must lie within 1000000 pixels"}};
    const fs::path out = dir / "grid.png";
    for (const auto& b : bad) {
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"limb", image, "--disk", b.disk},
              {"overlay", image, "--out", out.string(), "--at", kWhen, "--disk", b.disk},
              {"locate", kWhen, "--image", image, "--px", "300", "--py", "200", "--disk",
               b.disk}}) {
            const Result r = RunCli(args);
            EXPECT_EQ(r.status, 2) << args[0] << " " << b.disk;
            EXPECT_EQ(
                r.err.rfind("zorva-cli: bad --disk '" + std::string(b.disk) + "' (" + b.why, 0), 0u)
                << r.err;
            EXPECT_EQ(r.out, "");
        }
    }
    EXPECT_FALSE(fs::exists(out));
    EXPECT_EQ(RunCli({"locate", kWhen, "--x", "1", "--y", "1", "--disk", "1,2,3"}).status, 2);

    // A disk wholly beside the 512-pixel picture once drew nothing and ended with status 0;
    // it is refused as the spot search refuses one. A disk cut by the picture's edge, or
    // reaching just into its corner pixel (its corner lies 101 sqrt 2 = 142.8 pixels from the
    // centre), is measured on.
    for (const char* beside : {"1e6,1e6,100", "-101,256,100", "612.5,612.5,140"}) {
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"limb", image, "--disk", beside},
              {"overlay", image, "--out", out.string(), "--at", kWhen, "--disk", beside},
              {"locate", kWhen, "--image", image, "--px", "300", "--py", "200", "--disk", beside},
              {"spots", image, "--disk", beside}}) {
            const Result r = RunCli(args);
            EXPECT_EQ(r.status, 1) << args[0] << " " << beside;
            EXPECT_EQ(r.err, "zorva-cli: " + std::string(kHmi) +
                                 ": --disk refused: the disk lies outside the picture (512 x 512 "
                                 "pixels)\n")
                << args[0];
        }
    }
    EXPECT_FALSE(fs::exists(out));
    for (const char* cut : {"600,256,100", "612.5,612.5,143"}) {
        EXPECT_EQ(RunCli({"limb", image, "--disk", cut}).status, 0) << cut;
    }
}

TEST(LimbCommand, FailuresGoToTheErrorStream) {
    test::TempDir dir;
    QImage black(64, 64, QImage::Format_Grayscale8);
    black.fill(0);
    ASSERT_TRUE(black.save(QString::fromStdString((dir / "black.png").string())));
    Result r = RunCli({"limb", (dir / "black.png").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    // Rays 1 and 179 start in the centre's column of a 64-pixel-wide picture (trunc(32 +
    // 30 tan 1 deg) = 32) and have no slope, so 354 of the 356 are searched.
    EXPECT_EQ(r.err, "zorva-cli: black.png: Edge of solar disk could not be found. None of the "
                     "354 rays found an edge.\n");

    r = RunCli({"limb", (dir / "missing.png").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "zorva-cli: Cannot open \"missing.png\": the file does not exist.\n");
    EXPECT_EQ(RunCli({"limb"}).status, 2);
    EXPECT_EQ(RunCli({"limb", "a.png", "b.png"}).status, 2);
}

// The instant a picture gives, from the camera's EXIF times before its name, worked by
// hand from the tags written here: the clock reading less its offset, a fraction of a
// second rounded. What is passed over or assumed is a warning, and the command goes on.
TEST(LimbCommand, DateFromTheCameraOrTheName) {
    ZORVA_TEST_DATA(data);
    test::TempDir dir;
    const QImage hmi(QString::fromStdString((data / "images" / kHmi).string()));
    using Tags = std::map<std::string, std::string>;
    const std::string taken = "Exif.Photo.DateTimeOriginal";
    const std::string offset = "Exif.Photo.OffsetTimeOriginal";
    const std::string fraction = "Exif.Photo.SubSecTimeOriginal";
    const struct {
        std::string name;
        Tags tags;
        bool damaged; // an EXIF block that is no TIFF structure
        const char* date;
        const char* time;
        const char* warning; // words of the warning; "" for none
    } cases[] = {
        {"sun.jpg",
         {{taken, "2024:04:08 18:15:22"}, {offset, "+02:00"}, {fraction, "7"}},
         false,
         "2024-04-08",
         "16:15:23",
         ""},
        {"sun.tif",
         {{taken, "2024:04:08 23:15:22"}, {offset, "-05:00"}},
         false,
         "2024-04-09",
         "04:15:22",
         ""},
        {"sun.png",
         {{taken, "2024:04:08 18:15:22"}},
         false,
         "2024-04-08",
         "18:15:22",
         "the camera gives no offset from UT: its clock is taken as UT+00:00"},
        {"hmi_20230131_033945.jpg",
         {{taken, "2024:13:08 18:15:22"}},
         false,
         "2023-01-31",
         "03:39:45",
         "the camera's date '2024:13:08 18:15:22' is no real date and time"},
        {"sun 2023-01-31T03:39:45.jpg",
         {},
         true,
         "2023-01-31",
         "03:39:45",
         "the camera's data cannot be read"},
        {"2023_01_31__03_39_45_700__SDO_HMI_HMI_continuum.png",
         {},
         false,
         "2023-01-31",
         "03:39:46",
         ""},
        {"hmi_20231301_0339.png",
         {},
         false,
         nullptr,
         nullptr,
         "'20231301_0339' in the name is no real date and time"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = dir / c.name;
        ASSERT_TRUE(hmi.save(QString::fromStdString(file.string())));
        if (!c.tags.empty()) {
            ASSERT_TRUE(test::WriteExifTags(file.string(), c.tags));
        }
        if (c.damaged) {
            QFile f(QString::fromStdString(file.string()));
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            QByteArray bytes = f.readAll();
            f.close();
            // After the start of image: an APP1 marker and its length, 16 (itself and 14
            // bytes), then "Exif\0\0" and a TIFF header whose first directory lies beyond
            // the file: 18 bytes.
            constexpr char kApp1[] = "\xFF\xE1\x00\x10"
                                     "Exif\x00\x00"
                                     "II*\x00\xFF\xFF\xFF\xFF";
            static_assert(sizeof kApp1 - 1 == 18);
            bytes.insert(2, QByteArray(kApp1, sizeof kApp1 - 1));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            ASSERT_EQ(f.write(bytes), bytes.size());
            f.close();
        }
        const Result r = RunCli({"limb", file.string()});
        ASSERT_EQ(r.status, 0) << r.err;
        const auto f = Fields(r.out);
        if (c.date) {
            EXPECT_EQ(f.at("Date"), c.date);
            EXPECT_EQ(f.at("Time"), c.time);
        } else {
            EXPECT_EQ(f.count("Date"), 0u);
        }
        if (*c.warning == '\0') {
            EXPECT_EQ(r.err, "");
        } else {
            EXPECT_EQ(r.err.rfind("zorva-cli: warning: " + c.name + ": ", 0), 0u) << r.err;
            EXPECT_NE(r.err.find(c.warning), std::string::npos) << r.err;
        }
    }
}

TEST(OverlayCommand, WritesTheImageWithTheGrid) {
    ZORVA_TEST_DATA(data);
    const std::string image = (data / "images" / kHmi).string();
    test::TempDir dir;
    const fs::path out = dir / "grid.png";
    Result r = RunCli({"overlay", image, "--out", out.string(), "--at", kWhen, "--lat-lines",
                       "--long-lines", "--circle"});
    ASSERT_EQ(r.status, 0) << r.err;
    const QImage drawn(QString::fromStdString(out.string()));
    // The picture keeps its size and place, with the caption block below it.
    ASSERT_EQ(drawn.width(), 512);
    ASSERT_GT(drawn.height(), 512);
    // The fitted circle passes within a pixel of (cx + R, cy); the corner is untouched sky.
    bool circleNearLimb = false;
    for (int dx = -1; dx <= 1; ++dx) {
        const QColor c = drawn.pixelColor(static_cast<int>(kHmiCx + kHmiR) + dx, 256);
        circleNearLimb = circleNearLimb || (c.blue() > 200 && c.green() > 150 && c.red() < 150);
    }
    EXPECT_TRUE(circleNearLimb);
    const QImage original(QString::fromStdString(image));
    EXPECT_EQ(drawn.pixel(3, 3), original.pixel(3, 3));

    // No --at and no date in the name; an unknown type; a missing --out.
    const fs::path dateless = dir / "sun.png";
    fs::copy_file(image, dateless);
    EXPECT_EQ(RunCli({"overlay", dateless.string(), "--out", out.string()}).status, 2);
    EXPECT_EQ(RunCli({"overlay", image, "--out", (dir / "x.gif").string(), "--at", kWhen}).status,
              2);
    EXPECT_EQ(RunCli({"overlay", image, "--at", kWhen}).status, 2);
}

TEST(LocateCommand, ImagePixelGivesTheReadoutsOfItsMillimetres) {
    ZORVA_TEST_DATA(data);
    const std::string image = (data / "images" / kHmi).string();
    const Result limb = RunCli({"limb", image});
    ASSERT_EQ(limb.status, 0) << limb.err;
    const double radius = zorva::test::Number(Fields(limb.out).at("Radius"));
    const Result r = RunCli({"locate", kWhen, "--image", image, "--px", "300", "--py", "200",
                             "--size", "4", "--mirror"});
    ASSERT_EQ(r.status, 0) << r.err;
    // The click in millimetres by hand: the disk of 2 R pixels stands for a chart of
    // D = 2 R 25.4 / 75 mm, and the fitted centre is in pixel indices, so x = (300 - cx) D / 2R
    // = (300 - cx) 25.4 / 75 and y = -(200 - cy) 25.4 / 75, put into the boxes to two decimals
    // (floor(100 v + 0.5) 0.01 for v >= 0). Typed in with that diameter they give the same
    // readouts.
    const auto limbFields = Fields(limb.out);
    const double cx = zorva::test::Number(limbFields.at("CentreX"));
    const double cy = zorva::test::Number(limbFields.at("CentreY"));
    const double x = (300 - cx) * 25.4 / 75;
    const double y = -(200 - cy) * 25.4 / 75;
    ASSERT_GT(x, 0);
    ASSERT_GT(y, 0);
    auto text = [](double v) {
        std::ostringstream s;
        s.precision(17);
        s << v;
        return s.str();
    };
    const Result typed = RunCli({"locate", kWhen, "--x", text(std::floor(100 * x + 0.5) * 0.01),
                                 "--y", text(std::floor(100 * y + 0.5) * 0.01), "--diameter",
                                 text(2 * radius * 25.4 / 75), "--size", "4", "--mirror"});
    ASSERT_EQ(typed.status, 0) << typed.err;
    EXPECT_EQ(r.out, typed.out);

    EXPECT_EQ(RunCli({"locate", kWhen, "--image", image, "--px", "2", "--py", "2"}).status, 1);
    EXPECT_EQ(RunCli({"locate", kWhen, "--image", image, "--px", "512", "--py", "2"}).status, 2);
    EXPECT_EQ(RunCli({"locate", kWhen, "--image", image, "--px", "300"}).status, 2);
    EXPECT_EQ(RunCli({"locate", kWhen, "--px", "300", "--py", "200"}).status, 2);
}

} // namespace
} // namespace zorva::cli
