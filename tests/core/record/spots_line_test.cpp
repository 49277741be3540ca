#include <gtest/gtest.h>
#include <string>

#include "core/record/spots_line.h"
#include "core/spots/spot_report.h"

namespace zorva {
namespace {

// A picture's report with two groups, one each side of the equator: 2 spots at N13 and 1
// at S6, so north g 1 s 2 (R 12) and south g 1 s 1 (R 11), R 23.
SpotReport TwoGroups() {
    SpotReport r;
    r.file = "pictures/mdi_20050111_235932_1024.png";
    r.instant = Instant{2005, 1, 11, 23, 59, 32};
    r.diskSource = "limb search";
    SpotDetection& d = r.detection;
    d.groups.resize(2);
    d.groups[0] = {1, 10, 20, 13.25, 177.5, -20, 0.9, 2, 51.5, 10.2, 2, "Bxo"};
    d.groups[1] = {2, 30, 40, -6.5, 197.25, 5, 0.95, 1, 70, 14, 0.2, "Hsx"};
    d.spots.resize(3);
    d.spots[0].group = d.spots[1].group = 1;
    d.spots[2].group = 2;
    d.wolf = {2, 3, 23, 12, 11};
    return r;
}

// The line the spots command writes reads back to the observation it tells of.
TEST(SpotsLine, ALineReadsBackAsItsObservation) {
    const SpotsLine read = ReadSpotsLine(SpotReportJson(TwoGroups()));
    ASSERT_TRUE(read.observation) << read.error;
    const SunspotObservation& o = *read.observation;
    EXPECT_EQ(o.method, ObservationMethod::Picture);
    EXPECT_EQ(o.picture, "pictures/mdi_20050111_235932_1024.png");
    EXPECT_EQ(o.instant, (Instant{2005, 1, 11, 23, 59, 32}));
    EXPECT_EQ(o.north, (HemisphereCount{1, 2}));
    EXPECT_EQ(o.south, (HemisphereCount{1, 1}));
    EXPECT_EQ(o.Wolf(), 23);
    ASSERT_EQ(o.groups.size(), 2u);
    EXPECT_EQ(o.groups[1].number, 2);
    EXPECT_FALSE(o.groups[1].north);
    EXPECT_EQ(o.groups[1].latitude, -6.5);
    EXPECT_EQ(o.groups[1].longitude, 197.25);
    EXPECT_EQ(o.groups[1].areaMsh, 70);
    EXPECT_EQ(o.groups[1].mcintosh, "Hsx");
    EXPECT_EQ(ObservationProblem(o, {2024, 1, 1}), "");
    // The report taken as it is, without the line, is the same observation.
    const SunspotObservation direct = ObservationOfReport(TwoGroups());
    EXPECT_EQ(direct.groups, o.groups);
    EXPECT_EQ(direct.north, o.north);
    EXPECT_EQ(direct.south, o.south);
    EXPECT_EQ(direct.statedWolf, o.statedWolf);
    EXPECT_EQ(direct.picture, o.picture);
}

TEST(SpotsLine, WhatIsNoObservationIsSaidSo) {
    const SpotsLine failed = ReadSpotsLine(SpotErrorJson("black.png", "no disk"));
    EXPECT_FALSE(failed.observation);
    EXPECT_EQ(failed.unsearched, "black.png: no disk");
    EXPECT_EQ(failed.error, "");

    const std::string good = SpotReportJson(TwoGroups());
    const auto replaced = [&good](const std::string& from, const std::string& to) {
        std::string line = good;
        line.replace(line.find(from), from.size(), to);
        return line;
    };
    struct Case {
        std::string line;
        const char* error;
    };
    const Case cases[] = {
        {"", "not JSON"},
        {"[1]", "no JSON object"},
        {"{\"wolf\":1}", "no \"file\""},
        {replaced("\"instant\":\"2005-01-11T23:59:32Z\"", "\"instant\":null"), "no instant"},
        {replaced("\"groups\":[", "\"groupz\":["), "no \"groups\""},
        {replaced("\"spots\":2,", "\"spots\":2.5,"), "lacks a whole"},
        {replaced("\"spots\":2,", "\"spots\":4,"), "the groups hold 5 spots and the spots list 3"},
        {replaced("\"wolf_north\":12", "\"wolf_north\":\"12\""), "no whole \"wolf_north\""},
    };
    for (const Case& c : cases) {
        const SpotsLine read = ReadSpotsLine(c.line);
        EXPECT_FALSE(read.observation) << c.line;
        EXPECT_NE(read.error.find(c.error), std::string::npos) << c.line << ": " << read.error;
    }
    // Wolf numbers that disagree with the groups are read as stated and refused by the check.
    const SpotsLine wrong = ReadSpotsLine(replaced("\"wolf\":23", "\"wolf\":24"));
    ASSERT_TRUE(wrong.observation);
    EXPECT_NE(ObservationProblem(*wrong.observation, {2024, 1, 1}).find("is not 10 g + s = 23"),
              std::string::npos);
}

} // namespace
} // namespace zorva
