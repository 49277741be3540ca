#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

#include "core/spots/review_file.h"
#include "core/spots/spot_detection.h"
#include "core/spots/spot_review.h"
#include "support/synthetic_sun.h"
#include "support/test_support.h"

namespace zorva {
namespace {

using test::CapRadius;
using test::SyntheticSun;

// A synthetic disk with three groups: a pair of spots at 10 N, a lone spot at 20 S and a
// lone spot at 5 N far to the west; drawn north up and east to the left.
struct Picture {
    SyntheticSun sun;
    std::vector<uint8_t> pixels;
    DiskFrame frame;
    Ephemeris ephemeris;

    Picture() {
        sun.width = sun.height = 600;
        sun.cx = sun.cy = 299.5;
        sun.r = 270;
        sun.blur = 1.0;
        for (const auto& [lat, west, area] : {std::tuple{10.0, -30.0, 250.0},
                                              {11.0, -25.0, 120.0},
                                              {-20.0, 0.0, 200.0},
                                              {5.0, 40.0, 300.0}})
            sun.spots.push_back({lat, west, CapRadius(area), 0.4 * CapRadius(area), 0.8, 0.35});
        pixels = sun.Render();
        ChartGeometry g;
        g.Mode = Orientation::RotationAxis;
        g.MirrorSign = -1;
        frame = ImageFrame(sun.cx, sun.cy, sun.r, g, 0);
        ephemeris.L0 = 100;
        ephemeris.DiamSeconds = 0.001;
        ephemeris.Rotation = 2000;
    }
    PixelGrid Grid() const {
        return PixelGrid(pixels.data(), sun.width, sun.height, sun.width, PixelLayout::Grey8);
    }
    SpotDetection Found() const { return DetectSpots(Grid(), frame, ephemeris); }
};

int32_t GroupOfLatitude(const SpotDetection& d, double lat) {
    for (const SpotGroup& g : d.groups)
        if (std::abs(g.latitude - lat) < 2) return g.id;
    return 0;
}

// Every command changes the count as an observer expects, each can be undone and redone,
// and g, s and R follow: R = 10 g + s with its northern and southern parts.
TEST(SpotReview, EachCommandChangesTheCountAndCanBeUndone) {
    const Picture pic;
    const SpotDetection found = pic.Found();
    ASSERT_EQ(found.groups.size(), 3u);
    ASSERT_EQ(found.spots.size(), 4u);
    SpotReview review(found, pic.frame, pic.ephemeris);
    EXPECT_EQ(review.Result().wolf, found.wolf);
    EXPECT_EQ(review.Result().spots, found.spots);

    const auto wolf = [&] { return review.Result().wolf; };
    // The pair's western spot removed: one spot fewer, the same groups.
    const int32_t pair = GroupOfLatitude(review.Result(), 10.5);
    const auto west = std::max_element(review.Result().spots.begin(), review.Result().spots.end(),
                                       [&](const auto& a, const auto& b) {
                                           return (a.group == pair ? a.centralDistance : -1e9) <
                                                  (b.group == pair ? b.centralDistance : -1e9);
                                       });
    ASSERT_TRUE(review.RemoveSpot(west->id).done);
    EXPECT_EQ(wolf().total, found.wolf.total - 1);
    EXPECT_EQ(wolf().north, found.wolf.north - 1);
    // The lone southern group gone: ten and one fewer, all of it from the south.
    ASSERT_TRUE(review.RemoveGroup(GroupOfLatitude(review.Result(), -20)).done);
    EXPECT_EQ(wolf().total, found.wolf.total - 12);
    EXPECT_EQ(wolf().south, 0);
    // Undone twice: what was found, to the spot.
    EXPECT_TRUE(review.Undo());
    EXPECT_TRUE(review.Undo());
    EXPECT_FALSE(review.Undo());
    EXPECT_EQ(review.Result().spots, found.spots);
    EXPECT_EQ(review.Result().wolf, found.wolf);
    // Redone: the spot and the group gone again.
    EXPECT_TRUE(review.Redo());
    EXPECT_TRUE(review.Redo());
    EXPECT_FALSE(review.Redo());
    EXPECT_EQ(wolf().total, found.wolf.total - 12);
    ASSERT_TRUE(review.Undo() && review.Undo());

    // The two northern groups merged: one group fewer, spots as they were; split again.
    const int32_t far = GroupOfLatitude(review.Result(), 5);
    ASSERT_TRUE(review.MergeGroups(pair, far).done);
    EXPECT_EQ(wolf().groups, found.wolf.groups - 1);
    EXPECT_EQ(wolf().spots, found.wolf.spots);
    const int32_t merged = GroupOfLatitude(review.Result(), 8);
    std::vector<int32_t> leaving;
    for (const DetectedSpot& s : review.Result().spots)
        if (s.group == merged && std::abs(s.latitude - 5) < 1) leaving.push_back(s.id);
    ASSERT_EQ(leaving.size(), 1u);
    ASSERT_TRUE(review.SplitGroup(merged, leaving).done);
    EXPECT_EQ(wolf(), found.wolf);
    // A group given its NOAA number keeps it through numbering; 0 takes it away.
    ASSERT_TRUE(review.NumberGroup(GroupOfLatitude(review.Result(), -20), 11354).done);
    EXPECT_EQ(review.Result()
                  .groups[static_cast<std::size_t>(GroupOfLatitude(review.Result(), -20) - 1)]
                  .noaa,
              11354);
    // Marked spotless: R = 0, and undone the count is back.
    ASSERT_TRUE(review.MarkSpotless().done);
    EXPECT_TRUE(review.Spotless());
    EXPECT_EQ(wolf(), WolfNumber{});
    EXPECT_TRUE(review.Undo());
    EXPECT_FALSE(review.Spotless());
    EXPECT_EQ(wolf(), found.wolf);

    // Commands that do not fit change nothing and say why.
    const std::vector<int32_t> none;
    for (const ReviewOutcome& o :
         {review.RemoveSpot(99), review.RemoveGroup(0), review.MergeGroups(pair, pair),
          review.SplitGroup(pair, none), review.NumberGroup(pair, 100000)}) {
        EXPECT_FALSE(o.done);
        EXPECT_NE(o.message, "");
    }
    EXPECT_EQ(wolf(), found.wolf);
}

// A spot the user adds is measured where they point, as a click measures a spot, and joins
// the group it lies by; a point on the quiet Sun adds nothing.
TEST(SpotReview, AnAddedSpotIsMeasuredWhereItIsPointedAt) {
    const Picture pic;
    const SpotDetection found = pic.Found();
    SpotReview review(found, pic.frame, pic.ephemeris);
    const DetectedSpot lone = *std::find_if(found.spots.begin(), found.spots.end(),
                                            [](const auto& s) { return s.latitude < -10; });
    ASSERT_TRUE(review.RemoveSpot(lone.id).done);
    ASSERT_TRUE(AddSpotAt(review, pic.Grid(), lone.x + 1, lone.y).done);
    EXPECT_EQ(review.Result().wolf, found.wolf);
    const auto back = std::find_if(review.Result().spots.begin(), review.Result().spots.end(),
                                   [](const auto& s) { return s.latitude < -10; });
    ASSERT_NE(back, review.Result().spots.end());
    EXPECT_NEAR(back->x, lone.x, 0.01);
    EXPECT_NEAR(back->areaMsh, lone.areaMsh, 0.05 * lone.areaMsh);
    // A spot counted already is not counted twice; the pair's eastern spot, removed and
    // added again, joins the pair's group.
    const auto wolf = review.Result().wolf;
    const DetectedSpot east = review.Result().spots.front();
    const SpotDetection again = MeasureSpotAt(pic.Grid(), pic.frame, pic.ephemeris, east.x, east.y);
    EXPECT_FALSE(review.AddSpot(again, east.x, east.y).done);
    ASSERT_TRUE(review.RemoveSpot(east.id).done);
    ASSERT_TRUE(review.AddSpot(again, east.x, east.y).done);
    EXPECT_EQ(review.Result().wolf, wolf);
    const SpotDetection nothing =
        MeasureSpotAt(pic.Grid(), pic.frame, pic.ephemeris, pic.sun.cx, pic.sun.cy - 100);
    EXPECT_NE(nothing.error, "");
    EXPECT_FALSE(review.AddSpot(nothing, pic.sun.cx, pic.sun.cy - 100).done);
}

// The file: what is read back is what was written, spot for spot and edit for edit; a
// file of another picture, of a later version, or damaged is set aside with the reason.
TEST(SpotReview, TheFileIsReadBackOnlyOntoItsOwnPicture) {
    const Picture pic;
    SpotReview review(pic.Found(), pic.frame, pic.ephemeris);
    ASSERT_TRUE(review.MergeGroups(1, 2).done);
    ASSERT_TRUE(review.NumberGroup(1, 12345).done);
    const DetectedSpot last = review.Result().spots.back();
    ASSERT_TRUE(review.RemoveSpot(last.id).done);
    ASSERT_TRUE(review
                    .AddSpot(MeasureSpotAt(pic.Grid(), pic.frame, pic.ephemeris, last.x, last.y),
                             last.x, last.y)
                    .done);
    const ReviewedPicture id = IdentifyPicture(pic.Grid());
    const Instant instant{2011, 11, 20, 1, 30, 0};
    const std::string text = ReviewFileText(review, id, instant);
    const ReviewRead read = ReadReviewText(text, id);
    ASSERT_TRUE(read.review.has_value()) << read.problem;
    EXPECT_EQ(read.review->Result(), review.Result());
    EXPECT_EQ(read.review->Edits(), review.Edits());
    EXPECT_EQ(read.instant, instant);
    // Read back, it undoes as the review did.
    SpotReview again = *read.review;
    ASSERT_TRUE(again.Undo());
    SpotReview undone = review;
    ASSERT_TRUE(undone.Undo());
    EXPECT_EQ(again.Result(), undone.Result());

    // One pixel changed is another picture; so is another size.
    std::vector<uint8_t> other = pic.pixels;
    other[1000] ^= 1;
    const PixelGrid otherGrid(other.data(), pic.sun.width, pic.sun.height, pic.sun.width,
                              PixelLayout::Grey8);
    ReviewedPicture resized = id;
    resized.width += 1;
    std::string later = text;
    later.replace(later.find("\"version\":1"), 11, "\"version\":2");
    std::string badEdit = text;
    badEdit.replace(badEdit.find("\"noaa\":12345"), 12, "\"noaa\":-3");
    struct Case {
        const char* what;
        std::string text;
        ReviewedPicture picture;
        const char* problem;
    };
    const Case cases[] = {
        {"another picture's pixels", text, IdentifyPicture(otherGrid), "another picture"},
        {"another picture's size", text, resized, "another picture"},
        {"a later version", later, id, "later version"},
        {"cut short", text.substr(0, text.size() / 2), id, "damaged"},
        {"an edit that does not fit", badEdit, id, "damaged"},
        {"empty", "", id, "damaged"},
        {"another kind of file", "{\"format\":\"something\"}", id, "damaged"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ReviewRead r = ReadReviewText(c.text, c.picture);
        EXPECT_FALSE(r.review.has_value());
        EXPECT_NE(r.problem.find(c.problem), std::string::npos) << r.problem;
    }
}

// Beside the picture: saved and loaded again; a damaged file there is moved aside, whole,
// before the review is written, and the user is told.
TEST(SpotReview, ADamagedFileBesideThePictureIsMovedAsideNotLost) {
    const Picture pic;
    test::TempDir dir;
    const std::filesystem::path picture = dir / "sun.png";
    EXPECT_EQ(ReviewPathFor(picture), dir / "sun.png.spots.json");
    const ReviewRead none = LoadReview(picture, pic.Grid());
    EXPECT_FALSE(none.review.has_value());
    EXPECT_EQ(none.problem, "");

    { std::ofstream(ReviewPathFor(picture)) << "{\"format\":\"zorva spot review\",\"vers"; }
    const ReviewRead damaged = LoadReview(picture, pic.Grid());
    EXPECT_FALSE(damaged.review.has_value());
    EXPECT_NE(damaged.problem, "");
    SpotReview review(pic.Found(), pic.frame, pic.ephemeris);
    ASSERT_TRUE(review.RemoveGroup(1).done);
    std::string note, error;
    ASSERT_TRUE(SaveReview(picture, pic.Grid(), review, std::nullopt, &note, &error)) << error;
    EXPECT_NE(note.find("sun.png.spots.json.set-aside"), std::string::npos) << note;
    std::ifstream aside(dir / "sun.png.spots.json.set-aside");
    const std::string kept((std::istreambuf_iterator<char>(aside)),
                           std::istreambuf_iterator<char>());
    EXPECT_EQ(kept, "{\"format\":\"zorva spot review\",\"vers");
    const ReviewRead loaded = LoadReview(picture, pic.Grid());
    ASSERT_TRUE(loaded.review.has_value()) << loaded.problem;
    EXPECT_EQ(loaded.review->Result(), review.Result());
    // Saved again over its own review: nothing moved aside.
    note.clear();
    ASSERT_TRUE(SaveReview(picture, pic.Grid(), review, std::nullopt, &note, &error));
    EXPECT_EQ(note, "");
}

} // namespace
} // namespace zorva
