// The spots of the development pictures beside the truth the test data's README gives for
// them (NOAA's regions, SILSO's sunspot number, a person's count), and the same count
// whatever way the same pixels reach the search.
#include <QImage>
#include <QString>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "core/ephemeris/year_tables.h"
#include "core/spots/review_file.h"
#include "core/spots/spot_detection.h"
#include "render/solar_image.h"
#include "run_cli.h"
#include "support/synthetic_sun.h"
#include "support/test_support.h"

namespace zorva::cli {
namespace {

namespace fs = std::filesystem;
using test::Number;
using test::RunCli;

// A group as the CSV gives it (19 columns: file, instant, kind, id, group, x, y, lat, long, cmd,
// mu, spots, area_msh, ...).
struct Group {
    double lat = 0, lon = 0, mu = 0, area = 0;
};
struct Count {
    std::vector<Group> groups;
    int32_t spots = 0;
    int32_t wolf() const { return 10 * static_cast<int32_t>(groups.size()) + spots; }
};

Count Spots(const std::vector<std::string>& args) {
    std::vector<std::string> all = {"spots"};
    all.insert(all.end(), args.begin(), args.end());
    all.insert(all.end(), {"--format", "csv"});
    const auto r = RunCli(all);
    EXPECT_EQ(r.status, 0) << r.err;
    Count count;
    std::stringstream in(r.out);
    std::string line;
    std::getline(in, line); // the header
    while (std::getline(in, line)) {
        std::vector<std::string> w;
        std::stringstream fields(line);
        for (std::string f; std::getline(fields, f, ',');)
            w.push_back(f);
        if (w.size() != 19) continue;
        if (w[2] == "spot") {
            ++count.spots;
        } else {
            count.groups.push_back({Number(w[7]), Number(w[8]), Number(w[10]), Number(w[12])});
        }
    }
    return count;
}

// The largest sunspot group on record: 6132 millionths (April 1947, Royal Greenwich
// Observatory).
constexpr double kLargestGroupMsh = 6132;

// SDO/HMI's quick-look of 20 November 2011 01:30 UT, a busy day. NOAA's regions of 30
// millionths or more in the Region Summary of that day (latitude, Carrington longitude):
// the picture shows six of them; 11343 at W87 lies on the limb, and 11350 (N25, 40
// millionths on the 19th) shows no spot at 01:30 and is gone from the group file at
// 12:00. Each shown region is to be found within 2.5 degrees of latitude and 3.5 of
// longitude. Five of the six are: 11354's spots on this picture lie between S11.9 and S15.9
// and NOAA puts the region at S17, so its centre is found 2.8 degrees north of NOAA's
// whole degree. Every group of 30 millionths or more is one of the summary's regions or
// 11357 (N17, 316), which the group file adds at 12:00.
TEST(SpotsAccuracy, TheBusyDayGivesNoaasGroups) {
    ZORVA_TEST_DATA(data);
    const Count c = Spots({(data / "images" / "20111120_0130_hmiigr_512.jpg").string(),
                           "--orientation", "axis", "--mirror"});
    struct Region {
        int32_t number;
        double lat, lon;
    };
    const Region shown[] = {{11346, -18, 340}, {11352, -24, 285}, {11353, 7, 267},
                            {11354, -17, 267}, {11355, 14, 253},  {11356, 14, 230}};
    const Region others[] = {{11343, 27, 38},  {11347, 6, 348},   {11349, 15, 18},
                             {11350, 25, 308}, {11351, -24, 328}, {11357, 17, 316}};
    const auto near = [](const Group& g, const Region& r, double lat, double lon) {
        const double dLon = std::remainder(g.lon - r.lon, 360.0);
        return std::abs(g.lat - r.lat) <= lat && std::abs(dLon) <= lon;
    };
    int32_t found = 0;
    for (const Region& r : shown) {
        SCOPED_TRACE(r.number);
        found += std::any_of(c.groups.begin(), c.groups.end(),
                             [&](const Group& g) { return near(g, r, 2.5, 3.5); });
        EXPECT_TRUE(std::any_of(c.groups.begin(), c.groups.end(),
                                [&](const Group& g) { return near(g, r, 3.0, 3.5); }));
    }
    EXPECT_GE(found, 5);
    for (const Group& g : c.groups) {
        SCOPED_TRACE(std::to_string(g.lat) + ", " + std::to_string(g.lon));
        EXPECT_LT(g.area, kLargestGroupMsh);
        if (g.area < 30) continue;
        const auto isRegion = [&](const Region& r) { return near(g, r, 5, 5); };
        EXPECT_TRUE(std::any_of(std::begin(shown), std::end(shown), isRegion) ||
                    std::any_of(std::begin(others), std::end(others), isRegion));
    }
}

// The same product on 6 December 2019, a day without a spot (SILSO 0): nothing is counted.
TEST(SpotsAccuracy, ASpotlessDayCountsNothing) {
    ZORVA_TEST_DATA(data);
    const Count c = Spots({(data / "images" / "20191206_1030_hmiigr_512.jpg").string(),
                           "--orientation", "axis", "--mirror"});
    EXPECT_EQ(c.wolf(), 0);
}

// An amateur's colour photograph, its date and turn unknown (here taken as any day, and
// as a camera sees the sky). A person counts three groups; whichever way the picture lies,
// no group is larger than the largest on record, none lies in the shading of the limb's
// outer twentieth, and every spot counted is one of the dark features a person sees or a
// pore by them: there are at most a few more groups than the person's three.
TEST(SpotsAccuracy, AnAmateurPhotographHasNoImpossibleGroups) {
    ZORVA_TEST_DATA(data);
    const Count c = Spots(
        {(data / "images" / "unistellar_sun_undated.jpeg").string(), "--at", "2020-06-01T12:00"});
    EXPECT_GE(c.groups.size(), 3u);
    EXPECT_LE(c.groups.size(), 7u);
    for (const Group& g : c.groups) {
        EXPECT_LT(g.area, kLargestGroupMsh);
        EXPECT_GT(g.mu, std::sqrt(1 - 0.95 * 0.95));
    }
}

// The MDI picture as it is, 8-bit, and the same pixels as a 16-bit PNG (each level times
// 257): the 16-bit picture is stretched between its own levels on opening, and still
// gives the same groups and Wolf number.
TEST(SpotsAccuracy, EightAndSixteenBitPixelsGiveTheSameCount) {
    ZORVA_TEST_DATA(data);
    test::TempDir dir;
    const fs::path eight = data / "images" / "mdi_20050111_235932_1024.png";
    const fs::path sixteen = dir / "mdi_20050111_235932_1024.png";
    const QImage grey(QString::fromStdString(eight.string()));
    ASSERT_FALSE(grey.isNull());
    QImage wide(grey.width(), grey.height(), QImage::Format_Grayscale16);
    const QImage g8 = grey.convertToFormat(QImage::Format_Grayscale8);
    for (int y = 0; y < g8.height(); ++y) {
        const uchar* from = g8.constScanLine(y);
        auto* to = reinterpret_cast<quint16*>(wide.scanLine(y));
        for (int x = 0; x < g8.width(); ++x)
            to[x] = static_cast<quint16>(from[x] * 257);
    }
    ASSERT_TRUE(wide.save(QString::fromStdString(sixteen.string())));
    const std::vector<std::string> how = {"--orientation", "axis", "--mirror"};
    std::vector<std::string> a = {eight.string()}, b = {sixteen.string()};
    a.insert(a.end(), how.begin(), how.end());
    b.insert(b.end(), how.begin(), how.end());
    const Count c8 = Spots(a), c16 = Spots(b);
    EXPECT_EQ(c8.wolf(), c16.wolf());
    ASSERT_EQ(c8.groups.size(), c16.groups.size());
    for (std::size_t i = 0; i < c8.groups.size(); ++i) {
        EXPECT_NEAR(c8.groups[i].lat, c16.groups[i].lat, 0.1);
        EXPECT_NEAR(c8.groups[i].lon, c16.groups[i].lon, 0.1);
    }
}

// A limb-darkened synthetic disk with one spot of 300 millionths (R = 11), saved losslessly
// and as JPEG at qualities 75 and 50: the compression's blocks and ringing at the limb add
// no group.
TEST(SpotsAccuracy, CompressionAddsNoGroups) {
    test::SyntheticSun sun;
    sun.width = sun.height = 512;
    sun.cx = sun.cy = 255.5;
    sun.r = 220;
    sun.blur = 1.0;
    sun.spots.push_back({12, -20, test::CapRadius(300), 0.4 * test::CapRadius(300), 0.8, 0.35});
    const std::vector<uint8_t> pixels = sun.Render();
    const QImage picture(pixels.data(), sun.width, sun.height, sun.width,
                         QImage::Format_Grayscale8);
    test::TempDir dir;
    struct Case {
        const char* name;
        int quality; // -1: PNG
    };
    for (const Case& c : {Case{"sun.png", -1}, Case{"sun75.jpg", 75}, Case{"sun50.jpg", 50}}) {
        SCOPED_TRACE(c.name);
        const fs::path path = dir / c.name;
        ASSERT_TRUE(picture.save(QString::fromStdString(path.string()), nullptr, c.quality));
        const Count count = Spots({path.string(), "--at", "2024-05-10T12:00"});
        EXPECT_EQ(count.wolf(), 11);
    }
}

// A count reviewed and kept beside the picture is what spots tells, said to be reviewed;
// --fresh searches again; a damaged review is set aside with a warning and the picture is
// searched. Here the review takes one group away from what the search found.
TEST(SpotsCommand, AReviewedCountIsToldAndSaidToBe) {
    ZORVA_TEST_DATA(data);
    test::TempDir dir;
    const fs::path picture = dir / "mdi_20050111_235932_1024.png";
    fs::copy_file(data / "images" / "mdi_20050111_235932_1024.png", picture);
    const std::vector<std::string> args = {"spots", picture.string(), "--format", "json"};
    const auto searched = RunCli(args);
    ASSERT_EQ(searched.status, 0) << searched.err;
    EXPECT_NE(searched.out.find("\"source\":\"search\""), std::string::npos);

    const PictureLoad open = OpenPictureFile(picture, PictureChoices{});
    ASSERT_TRUE(open.picture.has_value());
    const PixelGrid pixels = GridOf(open.picture->image.shown);
    YearTables tables(std::nullopt);
    const Ephemeris e = tables.At(*open.picture->context.instant, Observer{});
    SpotReview review(DetectSpots(pixels, open.picture->context, ChartGeometry{}, e),
                      PictureFrame(open.picture->context, ChartGeometry{}, e), e);
    ASSERT_TRUE(review.RemoveGroup(1).done);
    ASSERT_TRUE(SaveReview(picture, pixels, review, open.picture->context.instant));

    const auto reviewed = RunCli(args);
    ASSERT_EQ(reviewed.status, 0) << reviewed.err;
    EXPECT_NE(reviewed.out.find("\"source\":\"reviewed\""), std::string::npos);
    EXPECT_NE(reviewed.out.find("\"wolf\":" + std::to_string(review.Result().wolf.total) + ","),
              std::string::npos);
    std::vector<std::string> fresh = args;
    fresh.push_back("--fresh");
    EXPECT_EQ(RunCli(fresh).out, searched.out);

    std::ofstream(ReviewPathFor(picture)) << "{\"format\":\"zorva spot review\",\"version\":1";
    const auto damaged = RunCli(args);
    EXPECT_EQ(damaged.out, searched.out);
    EXPECT_NE(damaged.err.find("set aside"), std::string::npos) << damaged.err;
    EXPECT_NE(damaged.err.find("damaged"), std::string::npos) << damaged.err;
}

} // namespace
} // namespace zorva::cli
