// The count a user signs, made in the window: spots and groups removed, split off, added,
// numbered and undone from the Sunspots menu, R following the rule R = 10 g + s, kept beside
// the picture where the command line and the window, reopened, find it.
#include <filesystem>

#include "../cli/run_cli.h"
#include "core/spots/review_file.h"
#include "gui/image_view.h"
#include "window_fixture.h"

namespace zorva {
namespace {

namespace fs = std::filesystem;

struct SpotReviewWindow : test::WindowTest {
    SpotReviewWindow() : WindowTest(QDate(2005, 1, 11)) {}

    // A picture opened turned as the test data's lie (the Sun's axis up, east to the left,
    // as the command line is told with --orientation axis --mirror) and searched.
    void OpenAndSearch(const fs::path& file) {
        dialogs.files.push_back(QString::fromStdString(file.string()));
        Trigger("OpenImage1");
        Trigger("DiskOrientation2");
        if (session().Geometry().MirrorSign != -1) Trigger("MirrorMenu");
        Trigger("DetectSunspots1");
    }
    // A copy of a picture of the test data in the test's folder, as the review is kept by it.
    fs::path Copy(const fs::path& data, const char* name) {
        const fs::path file = dir / name;
        fs::copy_file(data / "images" / name, file);
        return file;
    }
    const SpotDetection& Shown() const { return *session().Spots().found()->detection; }
    // Clicks the first spot of the group: it becomes the spot chosen.
    void ChooseSpotOf(int32_t group) {
        for (const DetectedSpot& s : Shown().spots) {
            if (s.group != group) continue;
            emit Find<gui::ImageView>("Image1")->mouseDown(Qt::LeftButton, Qt::NoModifier,
                                                           static_cast<int>(std::lround(s.x)),
                                                           static_cast<int>(std::lround(s.y)));
            return;
        }
        ADD_FAILURE() << "no spot in group " << group;
    }
    int32_t SpotsIn(int32_t group) const {
        int32_t n = 0;
        for (const DetectedSpot& s : Shown().spots)
            n += s.group == group;
        return n;
    }
};

TEST_F(SpotReviewWindow, EachStepIsCountedUndoneAndKeptForTheCommandLine) {
    ZORVA_TEST_DATA(data);
    const fs::path file = Copy(data, "mdi_20050111_235932_1024.png");
    OpenAndSearch(file);
    const auto found = Shown().wolf;
    ASSERT_GE(found.groups, 2);
    EXPECT_FALSE(Item("ReviewUndo1")->isEnabled());
    // The group of more than one spot loses one: s less one. Chosen by a click.
    const int32_t big = SpotsIn(1) > 1 ? 1 : 2;
    ASSERT_GT(SpotsIn(big), 1);
    ChooseSpotOf(big);
    const DetectedSpot removed = [&] {
        for (const DetectedSpot& s : Shown().spots)
            if (s.id == session().Spots().found()->spot) return s;
        return DetectedSpot{};
    }();
    Trigger("ReviewRemoveSpot1");
    EXPECT_EQ(Shown().wolf.total, found.total - 1);
    // The spot added again where it lies: the count is what was found.
    Trigger("ReviewAddSpot1");
    EXPECT_TRUE(Checked("ReviewAddSpot1"));
    emit Find<gui::ImageView>("Image1")->mouseDown(Qt::LeftButton, Qt::NoModifier,
                                                   static_cast<int>(std::lround(removed.x)),
                                                   static_cast<int>(std::lround(removed.y)));
    EXPECT_FALSE(Checked("ReviewAddSpot1"));
    EXPECT_EQ(Shown().wolf.total, found.total);
    // A spot split off its group makes a group more: R + 10.
    ChooseSpotOf(big);
    Trigger("ReviewSplitSpot1");
    EXPECT_EQ(Shown().wolf.total, found.total + 10);
    Trigger("ReviewUndo1");
    EXPECT_EQ(Shown().wolf.total, found.total);
    // A whole group goes: 10 and its spots less.
    const int32_t spotsOfLast = SpotsIn(found.groups);
    ChooseSpotOf(found.groups);
    Trigger("ReviewRemoveGroup1");
    const int32_t reviewed = found.total - 10 - spotsOfLast;
    EXPECT_EQ(Shown().wolf.total, reviewed);

    // The command line tells the count kept beside the picture, and says it was reviewed.
    ASSERT_TRUE(fs::exists(ReviewPathFor(file)));
    const test::CliResult cli = test::RunCli(
        {"spots", file.string(), "--orientation", "axis", "--mirror", "--format", "json"});
    ASSERT_EQ(cli.status, 0) << cli.err;
    EXPECT_NE(cli.out.find("\"source\":\"reviewed\""), std::string::npos) << cli.out;
    EXPECT_NE(cli.out.find("\"wolf\":" + std::to_string(reviewed) + ","), std::string::npos)
        << cli.out;

    // Reopened, the picture shows the reviewed count again; marked spotless it counts 0.
    Trigger("CloseImage1");
    OpenAndSearch(file);
    EXPECT_EQ(Shown().wolf.total, reviewed);
    Trigger("ReviewSpotless1");
    EXPECT_EQ(Shown().wolf.total, 0);
    Trigger("ReviewUndo1");
    EXPECT_EQ(Shown().wolf.total, reviewed);
}

// On the busy day of 20 November 2011 the NOAA number offered for the group at N15 and
// Carrington longitude 251 is that of NOAA's region there in the day's summary, 11355 (N14,
// 253); the number given is shown on the group.
TEST_F(SpotReviewWindow, TheNoaaNumberOfferedIsTheSummarysRegion) {
    ZORVA_TEST_DATA(data);
    OpenAndSearch(Copy(data, "20111120_0130_hmiigr_512.jpg"));
    dialogs.files.push_back(QString::fromStdString((data / "srs" / "20111120SRS.txt").string()));
    Trigger("LoadSRS1");
    int32_t group = 0;
    for (const SpotGroup& g : Shown().groups)
        if (std::abs(g.latitude - 14) < 3 && std::abs(g.longitude - 253) < 4) group = g.id;
    ASSERT_NE(group, 0);
    ChooseSpotOf(group);
    dialogs.integers.push_back(11355);
    Trigger("ReviewNoaaNumber1");
    ASSERT_FALSE(dialogs.integerRequests.empty());
    EXPECT_EQ(dialogs.integerRequests.back().value, 11355);
    bool numbered = false;
    for (const SpotGroup& g : Shown().groups)
        numbered = numbered || g.noaa == 11355;
    EXPECT_TRUE(numbered);
}

} // namespace
} // namespace zorva
