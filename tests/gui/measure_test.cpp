#include <QAction>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

#include "core/logfile/logfile.h"
#include "gui/tzorvaform.h"
#include "render/chart_painter.h"
#include "window_fixture.h"

namespace zorva {
namespace {

using gui::MessageResult;
using gui::TZorvaForm;

struct MeasureWindow : test::WindowTest {
    MeasureWindow() : WindowTest(QDate(2011, 6, 7)) {}
    void SetUp() override {
        Open();
        dialogs.modals.clear();
    }
    void Click(int x, int y, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mouseClick(form->Image, Qt::LeftButton, modifiers, QPoint(x, y));
    }
    bool Checked(const char* name) { return form->action(name)->isChecked(); }
    std::filesystem::path LogPath() const { return dir / "ZorvaLogfile.txt"; }
};

TEST_F(MeasureWindow, PlainClickFillsTheCoordinateBoxes) {
    ASSERT_EQ(form->Image->width(), 553);
    Click(276, 276);
    EXPECT_EQ(form->XCoordBox->text(), "-0.34");
    EXPECT_EQ(form->YCoordBox->text(), "0.34");
    EXPECT_DOUBLE_EQ(form->spot().SpotX, -0.34);
    EXPECT_DOUBLE_EQ(form->spot().SpotY, 0.34);
    // Off the disk nothing changes.
    Click(2, 2);
    EXPECT_EQ(form->XCoordBox->text(), "-0.34");
    // A click with another button, or with Shift and Ctrl together, does nothing either.
    QTest::mouseClick(form->Image, Qt::RightButton, Qt::NoModifier, QPoint(400, 300));
    Click(400, 300, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(form->XCoordBox->text(), "-0.34");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MeasureWindow, ShiftClicksWithinTheDisk) {
    form->action("Arc2")->trigger();
    Click(200, 276, Qt::ShiftModifier);
    EXPECT_TRUE(form->separation().SepPending);
    Click(350, 276, Qt::ShiftModifier);
    EXPECT_FALSE(form->separation().SepPending);
    // Started on the disk: a separation within it, whatever was checked.
    EXPECT_TRUE(Checked("Arc1"));
    EXPECT_FALSE(Checked("Arc2"));
    EXPECT_GT(form->separation().SepShown, 0);
    EXPECT_TRUE(form->Sep1Label->text().endsWith(QString::fromUtf8("\u00B0")));
    EXPECT_TRUE(form->Sep2Label->text().endsWith(" km"));
    // The longitude arc (checked on a first run) puts both points on the mean latitude,
    // and the spot moves to the middle of the figure.
    EXPECT_EQ(form->separation().SepLat1, form->separation().SepLat2);
    EXPECT_GT(form->spot().SpotX, (200 - 277) * 150 / 442.4);
    EXPECT_LT(form->spot().SpotX, (350 - 277) * 150 / 442.4);
    EXPECT_NEAR(form->spot().SpotY, 0, 1.0);
    EXPECT_EQ(form->XCoordBox->text().toDouble(), form->spot().SpotX);
    // The arc is drawn in the within-disk colour, blue on a first run.
    const QImage& chart = form->Image->canvas();
    int blue = 0;
    for (int x = 200; x <= 350; ++x) {
        for (int y = 260; y <= 292; ++y) blue += PixelWord(chart, x, y) == kColourBlue;
    }
    EXPECT_GT(blue, 50);

    // A change of date keeps the separation while a mode is checked ...
    form->DatePicker->setDate(QDate(2011, 6, 8));
    EXPECT_NE(form->separation().SepShown, NoValue);
    // ... and clears it once none is.
    form->action("Arc1")->trigger();
    EXPECT_FALSE(Checked("Arc1"));
    EXPECT_EQ(form->separation().SepShown, NoValue);
    EXPECT_EQ(form->Sep1Label->text(), "          -");
}

TEST_F(MeasureWindow, ShiftClicksFromOffTheDisk) {
    Click(5, 276, Qt::ShiftModifier);
    Click(276, 276, Qt::ShiftModifier);
    EXPECT_TRUE(Checked("Arc2"));
    EXPECT_FALSE(Checked("Arc1"));
    EXPECT_TRUE(form->Sep1Label->text().endsWith("'"));
    // The second point lands on the limb below the first, at k D / 2 with k = 0.992.
    const SeparationState& sep = form->separation();
    EXPECT_NEAR(std::hypot(sep.SepX2, sep.SepY2), 0.992 * 75, 1e-9);
    EXPECT_NEAR(sep.SepY2 / sep.SepX2, sep.SepY1 / sep.SepX1, 1e-12);
    EXPECT_LT(sep.SepX2, 0);
    EXPECT_NE(form->LL2Label->text(), "        -");
    EXPECT_EQ(form->LL1Label->text(), "        -");
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
    EXPECT_TRUE(form->action("AddtoLogfile1")->isEnabled());
    EXPECT_EQ(form->folders().LogfileDir, dir.path().string() + "/");

    // Now a line is appended, then confirmed.
    Click(300, 250);
    Click(300, 250, Qt::ControlModifier);
    EXPECT_EQ(dialogs.messages.back().text, "Measurement added to logfile.");
    const std::string text = test::ReadFile(LogPath());
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
    EXPECT_EQ(text.substr(LogfileHeader().size() + 1, 17), "2011  6  7 12  0 ");

    // Open Logfile cancelled: the next line still goes to the same file.
    form->action("OpenLogfile1")->trigger();
    form->action("LogFileMessageBox1")->trigger(); // no more confirmations
    const std::size_t shown = dialogs.messages.size();
    form->action("AddtoLogfile1")->trigger();
    EXPECT_EQ(dialogs.messages.size(), shown);
    const std::string more = test::ReadFile(LogPath());
    EXPECT_EQ(std::count(more.begin(), more.end(), '\n'), 3);

    // A spot off the disk is not logged.
    form->XCoordBox->setText("90");
    form->XCoordBoxChange();
    form->action("AddtoLogfile1")->trigger();
    EXPECT_EQ(test::ReadFile(LogPath()), more);
}

TEST_F(MeasureWindow, LogfileFailuresAreReported) {
    // A logfile that cannot be created is reported and not taken.
    dialogs.files.push_back(QString::fromStdString((dir / "missing" / "log.txt").string()));
    form->action("NewLogfile1")->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith("The logfile could not be created"));
    EXPECT_FALSE(form->action("AddtoLogfile1")->isEnabled());

    // A logfile that goes away after it was chosen: an error, never the confirmation.
    const auto gone = dir / "gone";
    std::filesystem::create_directories(gone);
    dialogs.files.push_back(QString::fromStdString((gone / "log.txt").string()));
    form->action("OpenLogfile1")->trigger();
    std::filesystem::remove_all(gone);
    form->action("AddtoLogfile1")->trigger();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_TRUE(dialogs.messages[1].text.startsWith("The measurement was not added"));
}

} // namespace
} // namespace zorva
