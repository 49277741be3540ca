// The measurements of a run and of the opened logfile: the table, its undo, showing a row
// again, and the lists of recent files.
#include <gtest/gtest.h>

#include <cmath>

#include "core/logfile/logfile.h"
#include "core/present/presentation.h"
#include "core/session/session.h"
#include "support/test_support.h"

namespace zorva {
namespace {

namespace fs = std::filesystem;

class Measurements : public ::testing::Test {
  protected:
    void SetUp() override { Start(s); }
    void Start(Session& session) { session.Start(LoadSettingsFiles(dir.path()), {2011, 6, 7}); }
    // A click on the 150 mm chart (553 pixels), and the measurement logged.
    void Log(Session& session, int x, int y) {
        session.ChartMouseDown(true, false, false, x, y);
        ASSERT_EQ(session.Records().AddToLogfile().outcome, LogOutcome::Added);
    }
    std::vector<std::string> Lines(const Session& session) const {
        std::vector<std::string> lines;
        for (const Measurement& m : *session.Records().logbook().Measurements())
            lines.push_back(m.line);
        return lines;
    }
    // The logfile as its layout has it: the header, then one line a measurement.
    static std::string File(const std::vector<std::string>& lines) {
        std::string text = LogfileHeader() + "\n";
        for (const std::string& l : lines)
            text += l + "\n";
        return text;
    }

    test::TempDir dir;
    fs::path log = dir / "ZorvaLogfile.txt";
    Session s{YearTables(dir.path())};
};

// A picture that lies as its observatory's file name says is measured in its own turn, and the
// table and the menu name the file name as its source, not a FITS header it has not got.
TEST_F(Measurements, APicturesOwnTurnIsNamedByItsSource) {
    PictureFile file;
    file.name = "mdi_20050111_235932_1024.png";
    file.width = file.height = 1024;
    PictureContext context = OpenPicture(file, {});
    LimbFit fit;
    fit.disk = {511.5, 511.5, 480};
    fit.found = true;
    RefitPicture(context, fit);
    ASSERT_EQ(context.orientationSource, OrientationSource::FileName);
    s.Picture().OpenImage("/obs/" + file.name, context);
    ASSERT_TRUE(s.Observing().SetInstant(s.Observing().observation().instant));
    ASSERT_TRUE(s.Records().logbook().New(log.string()).ok);
    s.ImageMouseDown(true, false, false, 600, 400);
    ASSERT_EQ(s.Records().AddToLogfile().outcome, LogOutcome::Added);
    const Measurement& m = s.Records().logbook().Measurements()->back();
    EXPECT_EQ(m.context->orientation, "observatory file name");
    EXPECT_EQ(MeasurementCells(m)[2].find("FITS header"), std::string::npos);
    bool shown = false;
    for (const MenuItemView& item : PresentMenus(s, "")) {
        if (item.name != "DiskOrientationFits") continue;
        shown = true;
        EXPECT_EQ(item.caption, "From the file name");
        EXPECT_TRUE(item.checked && item.enabled && item.visible); // not greyed
    }
    EXPECT_TRUE(shown);
    s.Picture().CloseImage(); // on the chart it is not shown at all
    for (const MenuItemView& item : PresentMenus(s, "")) {
        if (item.name == "DiskOrientationFits") {
            EXPECT_FALSE(item.visible || item.checked);
        }
    }
}

TEST_F(Measurements, TheTableIsTheLogfileAndUndoTakesOnlyTheRunsLastLine) {
    ASSERT_TRUE(s.Records().logbook().New(log.string()).ok);
    Log(s, 300, 250);
    s.Observing().StepInstantBy(StepUnit::Day, 1);
    Log(s, 250, 280);
    ASSERT_EQ(s.Records().logbook().Measurements()->size(), 2u);
    EXPECT_EQ(test::ReadFile(log), File(Lines(s)));
    const Measurement& first = s.Records().logbook().Measurements()->front();
    EXPECT_EQ(first.context, (MeasurementContext{"chart", "Equatorial"}));
    const auto cells = MeasurementCells(first);
    EXPECT_EQ(cells[0], "2011-06-07 12:00:00");
    EXPECT_EQ(cells[1], "chart");
    EXPECT_EQ(cells[2], "Equatorial NE");
    EXPECT_EQ(cells[3], first.record.Text(LogfileField::X));

    // Undone, the line goes from the file and the table.
    EXPECT_TRUE(s.Records().logbook().CanUndo());
    s.Records().logbook().Undo();
    EXPECT_TRUE(s.TakeNotices().empty());
    ASSERT_EQ(s.Records().logbook().Measurements()->size(), 1u);
    EXPECT_EQ(test::ReadFile(log), File(Lines(s)));

    // A line another program added since: nothing is undone, and the user is told.
    Log(s, 260, 260);
    ASSERT_TRUE(AppendToLogfile(log, "a line of someone else's").ok);
    const std::string changed = test::ReadFile(log);
    s.Records().logbook().Undo();
    const std::vector<Notice> notices = s.TakeNotices();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].text.find("changed outside Zorva"), std::string::npos) << notices[0].text;
    EXPECT_EQ(test::ReadFile(log), changed);
    EXPECT_EQ(s.Records().logbook().Measurements()->size(), 2u);
}

TEST_F(Measurements, AnotherRunShowsTheLogfilesLinesAndUndoesOnlyItsOwn) {
    ASSERT_TRUE(s.Records().logbook().New(log.string()).ok);
    Log(s, 300, 250);
    Log(s, 250, 280);
    test::WriteFile(log, test::ReadFile(log) + "a note in between\n");

    Session next{YearTables(dir.path())};
    Start(next);
    const uint64_t said = next.StatusCount();
    next.Records().logbook().Open(log.string());
    ASSERT_EQ(next.Records().logbook().Measurements()->size(), 2u);
    EXPECT_EQ(Lines(next), Lines(s));
    EXPECT_FALSE(
        next.Records().logbook().Measurements()->front().context); // the line says no source
    EXPECT_EQ(MeasurementCells(next.Records().logbook().Measurements()->front())[2], "NE");
    EXPECT_FALSE(next.Records().logbook().CanUndo());
    EXPECT_EQ(next.StatusCount(), said + 1);
    EXPECT_NE(next.Status().find("1 line is no measurement and not shown (line 4: "),
              std::string::npos)
        << next.Status();

    // Its own line joins them; opened again, the file's lines are not shown twice.
    Log(next, 270, 270);
    next.Records().logbook().Open(log.string());
    EXPECT_EQ(next.Records().logbook().Measurements()->size(), 3u);
    EXPECT_TRUE(next.Records().logbook().Measurements()->back().context);
    next.Records().logbook().Undo();
    EXPECT_EQ(next.Records().logbook().Measurements()->size(), 2u);
    EXPECT_FALSE(next.Records().logbook().CanUndo());

    // A file that is no logfile leaves the logfile and the table as they were.
    const fs::path picture = dir / "sun.png";
    test::WriteFile(picture, std::string("\x89PNG\r\n\x1a\n\0\0\0\r", 12));
    next.Records().logbook().Open(picture.string());
    ASSERT_EQ(next.TakeNotices().size(), 1u);
    EXPECT_EQ(next.Records().logbook().Path(), log.string());
    EXPECT_EQ(next.Records().logbook().Measurements()->size(), 2u);
}

TEST_F(Measurements, AChosenRowShowsItsSpotAgain) {
    ASSERT_TRUE(s.Records().logbook().New(log.string()).ok);
    Log(s, 300, 250);
    const LogfileRecord measured = s.Records().logbook().Measurements()->front().record;
    s.Observing().StepInstantBy(StepUnit::Day, 3);
    s.ChartMouseDown(true, false, false, 200, 200);

    // On the same chart the spot is where it was measured.
    s.Records().ShowMeasurement(0);
    EXPECT_EQ(s.Observing().observation().instant, measured.instant);
    EXPECT_EQ(s.BoxText(EditBox::XCoord), ShortestDecimalText(*measured.Value(LogfileField::X)));
    EXPECT_EQ(s.BoxText(EditBox::YCoord), ShortestDecimalText(*measured.Value(LogfileField::Y)));

    // On a 100 mm chart, in another orientation, it is the same place on the Sun: the
    // latitude and longitude its line gives, to the tenth the line writes.
    s.Chart().ChooseDiameter(0); // 100 mm
    s.Chart().ChooseOrientation(Orientation::RotationAxis);
    s.Observing().StepInstantBy(StepUnit::Day, -2);
    s.Records().ShowMeasurement(0);
    ASSERT_TRUE(s.spot().At);
    EXPECT_NEAR(s.spot().At->latitude, *measured.Value(LogfileField::SLat), 0.051);
    EXPECT_NEAR(s.spot().At->longitude, *measured.Value(LogfileField::SLon), 0.051);
    EXPECT_NE(s.BoxText(EditBox::XCoord), ShortestDecimalText(*measured.Value(LogfileField::X)));

    // A line read back in another run, on the chart it was measured on: its own x and y.
    Session next{YearTables(dir.path())};
    Start(next);
    next.Records().logbook().Open(log.string());
    next.Records().ShowMeasurement(0);
    EXPECT_EQ(next.BoxText(EditBox::XCoord), ShortestDecimalText(*measured.Value(LogfileField::X)));
    EXPECT_EQ(next.Status(), "Showing the measurement of 2011-06-07 12:00:00");
}

TEST_F(Measurements, RecentFilesAreTheLatestFirstOnceEach) {
    std::vector<std::string> list;
    for (const char* path : {"a", "b", "a", "", "c\nd", "c", "d", "e", "f", "g"})
        RememberPath(list, path);
    EXPECT_EQ(list, (std::vector<std::string>{"g", "f", "e", "d", "c", "a"}));
    ForgetPath(list, "e");
    EXPECT_EQ(list.size(), 5u);
    EXPECT_EQ(RecentCaption(0, "/data/a&b/sun & moon.png"), "&1 sun && moon.png");

    // The session remembers the logfiles and summaries it opens.
    ASSERT_TRUE(s.Records().logbook().New(log.string()).ok);
    ZORVA_TEST_DATA(data);
    const std::string summary = (data / "srs" / "20110607SRS.txt").string();
    s.Summaries().LoadSummary(summary);
    EXPECT_EQ(s.Records().RecentFiles(RecentKind::Logfile), std::vector<std::string>{log.string()});
    EXPECT_EQ(s.Records().RecentFiles(RecentKind::Summary), std::vector<std::string>{summary});
    const std::vector<MenuItemView> menus = Present(s).menus;
    const auto item = std::find_if(menus.begin(), menus.end(), [](const MenuItemView& m) {
        return m.name == "RecentSummary1";
    });
    ASSERT_NE(item, menus.end());
    EXPECT_EQ(item->caption, "&1 20110607SRS.txt");
    EXPECT_EQ(item->tip, summary);
    EXPECT_TRUE(item->visible);
    s.Records().ClearRecentFiles();
    EXPECT_TRUE(s.Records().RecentFiles(RecentKind::Summary).empty());
}

} // namespace
} // namespace zorva
