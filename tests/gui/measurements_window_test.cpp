// The measuring loop in the window: clicks, Ctrl-clicks and an undo leave the logfile equal
// to the table, whose export the command line's conversion matches; recent files, dropped
// files and the keys of the File menu.
#include <QDropEvent>
#include <QMimeData>
#include <QTableWidget>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>
#include <sstream>

#include "../cli/run_cli.h"
#include "core/logfile/logfile.h"
#include "gui/chart_image.h"
#include "gui/measurements_window.h"
#include "window_fixture.h"

namespace zorva {
namespace {

struct MeasuringLoop : test::WindowTest {
    MeasuringLoop() : WindowTest(QDate(2011, 6, 7)) {}
    void Click(int x, int y, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mouseClick(Find<gui::ImageControl>("Image"), Qt::LeftButton, modifiers,
                          QPoint(x, y));
    }
    std::filesystem::path log = dir / "ZorvaLogfile.txt";
};

std::vector<std::string> Rows(const std::string& csv) {
    std::vector<std::string> rows;
    std::istringstream in(csv);
    for (std::string row; std::getline(in, row);)
        rows.push_back(row);
    return rows;
}

TEST_F(MeasuringLoop, TheLogfileIsTheTableAndItsExportTheCommandLinesConversion) {
    dialogs.files.push_back(QString::fromStdString(log.string()));
    Trigger("NewLogfile1");
    Trigger("LogFileMessageBox1"); // no box after each line
    Click(300, 250);
    Click(300, 250, Qt::ControlModifier);
    Click(250, 280, Qt::ShiftModifier); // a separation, logged with the next line
    Click(330, 260, Qt::ShiftModifier);
    Click(260, 300);
    Click(260, 300, Qt::ControlModifier);
    Trigger("NextDay1");
    Click(320, 230);
    Click(320, 230, Qt::ControlModifier);
    ASSERT_TRUE(Item("UndoMeasurement1")->isEnabled());
    Trigger("UndoMeasurement1");
    EXPECT_TRUE(dialogs.messages.empty());

    // The file holds the header and the table's lines, byte for byte.
    const auto& table = *session().Records().logbook().Measurements();
    ASSERT_EQ(table.size(), 2u);
    std::string expected = LogfileHeader() + "\n";
    for (const Measurement& m : table)
        expected += m.line + "\n";
    EXPECT_EQ(test::ReadFile(log), expected);

    // The window lists them, and a chosen row puts its spot back.
    Trigger("Measurements1");
    auto* grid = Find<gui::MeasurementsWindow>("MeasurementsWindow")->findChild<QTableWidget*>();
    ASSERT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->item(1, 1)->text(), "chart");
    EXPECT_EQ(grid->item(1, 0)->text(), "2011-06-07 12:00:00");
    grid->selectRow(0);
    EXPECT_EQ(Box("XCoordBox")->text().toStdString(),
              ShortestDecimalText(*table[0].record.Value(LogfileField::X)));

    // Exported, the rows are the command line's rows with the source and orientation after.
    const std::filesystem::path csv = dir / "measurements.csv";
    dialogs.files.push_back(QString::fromStdString(csv.string()));
    Trigger("ExportMeasurements1");
    const std::vector<std::string> exported = Rows(test::ReadFile(csv));
    const test::CliResult cli = test::RunCli({"logfile", log.string(), "--format", "csv"});
    ASSERT_EQ(cli.status, 0) << cli.err;
    const std::vector<std::string> converted = Rows(cli.out);
    ASSERT_EQ(exported.size(), 3u);
    ASSERT_EQ(converted.size(), 3u);
    EXPECT_EQ(exported[0], converted[0] + ",source,orientation");
    for (std::size_t i = 1; i < converted.size(); ++i)
        EXPECT_EQ(exported[i], converted[i] + ",chart,Equatorial");
}

TEST_F(MeasuringLoop, RecentAndDroppedFilesOpenAsWhatTheyAre) {
    ZORVA_TEST_DATA(data);
    const QString summary = QString::fromStdString((data / "srs" / "20110607SRS.txt").string());
    const QString picture =
        QString::fromStdString((data / "images" / "hmi_20230131_033945_512.png").string());
    ASSERT_TRUE(CreateLogfile(log).ok);
    const QString logfile = QString::fromStdString(log.string());
    const QString letter = QString::fromStdString((dir / "letter.txt").string());
    test::WriteFile(dir / "letter.txt", "Dear observer,\n");
    EXPECT_TRUE(Item("NoRecentFiles1")->isVisible());

    // Dropped together: each opens as what it is; the letter is named with the reason.
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(summary), QUrl::fromLocalFile(logfile),
                  QUrl::fromLocalFile(letter), QUrl::fromLocalFile(picture)});
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form.get(), &drop);
    QCoreApplication::processEvents(); // the files open once the drop is over
    EXPECT_EQ(session().Summaries().summary().FileName, "20110607SRS.txt");
    EXPECT_EQ(session().Records().logbook().Path(), log.string());
    EXPECT_TRUE(session().Picture().Shown());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              letter + " was not opened: it is neither a picture, a Solar Region Summary nor a "
                       "logfile.");

    // Each is in File > Open Recent, under its name, and opens from there.
    EXPECT_FALSE(Item("NoRecentFiles1")->isVisible());
    EXPECT_EQ(Item("RecentSummary1")->text(), "&1 20110607SRS.txt");
    EXPECT_EQ(Item("RecentSummary1")->statusTip(), summary);
    EXPECT_FALSE(Item("RecentSummary2")->isVisible());
    Trigger("CloseImage1");
    Trigger("RecentPicture1");
    EXPECT_TRUE(session().Picture().Shown());
    // A file that has gone is named and leaves the list.
    const std::filesystem::path gone = dir / "gone.txt";
    ASSERT_TRUE(CreateLogfile(gone).ok);
    dialogs.files.push_back(QString::fromStdString(gone.string()));
    Trigger("OpenLogfile1");
    std::filesystem::remove(gone);
    Trigger("RecentLogfile1");
    EXPECT_EQ(dialogs.messages.back().text,
              QString::fromStdString(gone.string()) + " is no longer there.");
    EXPECT_EQ(Item("RecentLogfile1")->statusTip(), logfile);
    EXPECT_FALSE(Item("RecentLogfile2")->isVisible());

    // The lists outlive the run, in the options file.
    Close();
    Open();
    EXPECT_EQ(Item("RecentSummary1")->statusTip(), summary);
    Trigger("ClearRecentFiles1");
    EXPECT_TRUE(Item("NoRecentFiles1")->isVisible());

    // The File menu's keys.
    EXPECT_EQ(Item("OpenImage1")->shortcut(), QKeySequence(QKeySequence::Open));
    EXPECT_EQ(Item("Save1")->shortcut(), QKeySequence(QKeySequence::Save));
}

} // namespace
} // namespace zorva
