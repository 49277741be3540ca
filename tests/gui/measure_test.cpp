// Clicks on the painted chart and the logfile's dialogs.
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

#include "core/logfile/logfile.h"
#include "gui/chart_image.h"
#include "render/chart_painter.h"
#include "window_fixture.h"

namespace zorva {
namespace {

using gui::MessageResult;

struct MeasureWindow : test::WindowTest {
    MeasureWindow() : WindowTest(QDate(2011, 6, 7)) {}
    void SetUp() override {
        Open();
        dialogs.modals.clear();
    }
    void Click(int x, int y, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mouseClick(Find<gui::ImageControl>("Image"), Qt::LeftButton, modifiers,
                          QPoint(x, y));
    }
    std::filesystem::path LogPath() const { return dir / "ZorvaLogfile.txt"; }
};

TEST_F(MeasureWindow, AClickFillsTheCoordinateBoxes) {
    Click(276, 276);
    EXPECT_EQ(Box("XCoordBox")->text(), "-0.34");
    EXPECT_EQ(Box("YCoordBox")->text(), "0.34");
    QTest::mouseClick(Find<gui::ImageControl>("Image"), Qt::RightButton, Qt::NoModifier,
                      QPoint(400, 300));
    EXPECT_EQ(Box("XCoordBox")->text(), "-0.34");
}

TEST_F(MeasureWindow, ASeparationIsDrawnInItsColour) {
    Click(200, 276, Qt::ShiftModifier);
    Click(350, 276, Qt::ShiftModifier);
    EXPECT_TRUE(Checked("Arc1"));
    EXPECT_TRUE(Text("Sep1Label").endsWith(QString::fromUtf8("\u00B0")));
    EXPECT_TRUE(Text("Sep2Label").endsWith(" km"));
    const QImage& chart = Find<gui::ImageControl>("Image")->canvas();
    int blue = 0;
    for (int x = 200; x <= 350; ++x) {
        for (int y = 260; y <= 292; ++y)
            blue += PixelWord(chart, x, y) == kColourBlue;
    }
    EXPECT_GT(blue, 50);
}

TEST_F(MeasureWindow, ControlClickLogsTheMeasurement) {
    // No logfile yet: asked to open one; Cancel appends nothing.
    dialogs.answers.push_back(MessageResult::Cancel);
    Click(300, 250, Qt::ControlModifier);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "The logfile is not open: press OK to open logfile.");
    EXPECT_EQ(dialogs.messages[0].caption, "Add to Logfile");
    EXPECT_TRUE(dialogs.fileRequests.empty());

    // OK leads into New Logfile, which asks before replacing a file.
    dialogs.files.push_back(QString::fromStdString(LogPath().string()));
    Click(300, 250, Qt::ControlModifier);
    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    EXPECT_EQ(dialogs.fileRequests[0].title, "New Zorva Logfile");
    EXPECT_EQ(dialogs.fileRequests[0].fileName, "ZorvaLogfile.txt");
    EXPECT_TRUE(dialogs.fileRequests[0].confirmOverwrite);
    EXPECT_EQ(test::ReadFile(LogPath()), LogfileHeader() + "\n");
    EXPECT_TRUE(Item("AddtoLogfile1")->isEnabled());
    // The click that led there is not logged, and the user is told to click again.
    EXPECT_EQ(form->statusBar()->currentMessage(),
              "Logfile created: Ctrl-click again to log this measurement");

    Click(300, 250, Qt::ControlModifier);
    EXPECT_EQ(dialogs.messages.back().text, "Measurement added to logfile.");

    // A spot off the disk: nothing logged, and the status bar says why.
    Type("XCoordBox", "90");
    const std::string text = test::ReadFile(LogPath());
    Click(300, 250, Qt::ControlModifier);
    EXPECT_EQ(test::ReadFile(LogPath()), text);
    EXPECT_EQ(form->statusBar()->currentMessage(), "No sunspot on the disk: nothing logged");
}

TEST_F(MeasureWindow, LogfileFailuresAreReported) {
    dialogs.files.push_back(QString::fromStdString((dir / "missing" / "log.txt").string()));
    Trigger("NewLogfile1");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith("The logfile could not be created"));
    EXPECT_FALSE(Item("AddtoLogfile1")->isEnabled());

    const auto gone = dir / "gone";
    std::filesystem::create_directories(gone);
    test::WriteFile(gone / "log.txt", LogfileHeader() + "\n");
    dialogs.files.push_back(QString::fromStdString((gone / "log.txt").string()));
    Trigger("OpenLogfile1");
    std::filesystem::remove_all(gone);
    Trigger("AddtoLogfile1");
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_TRUE(dialogs.messages[1].text.startsWith("The measurement was not added"));
}

} // namespace
} // namespace zorva
