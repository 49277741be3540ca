// Region summaries in the window: the dialog, the plot, the table and its chosen row.
#include <QLabel>
#include <QStatusBar>
#include <QTableWidget>
#include <gtest/gtest.h>

#include "gui/chart_image.h"
#include "gui/region_table.h"
#include "window_fixture.h"

namespace zorva {
namespace {

struct SrsWindow : test::WindowTest {
    SrsWindow() : WindowTest(QDate(2011, 6, 7)) {}
    const QImage& Chart() const { return Find<gui::ImageControl>("Image")->canvas(); }
};

TEST_F(SrsWindow, LoadPlotAndChooseARegion) {
    ZORVA_TEST_DATA(data);
    const QImage bare = Chart().copy();
    // The Display item asks for a summary while none is loaded.
    dialogs.files.push_back(QString::fromStdString((data / "srs" / "20110607SRS.txt").string()));
    Trigger("SolarRegionSummary1");
    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    EXPECT_EQ(dialogs.fileRequests[0].title, "Solar Region Summary");
    EXPECT_TRUE(Checked("LoadSRS1"));
    EXPECT_TRUE(Checked("SolarRegionSummary1"));
    const QImage plotted = Chart().copy();
    EXPECT_NE(plotted, bare);

    Trigger("RegionTable1");
    auto* table = Find<gui::RegionTable>("RegionTable");
    auto* grid = table->findChild<QTableWidget*>();
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->rowCount(), 5);
    grid->selectRow(1);
    EXPECT_EQ(session().Summaries().summary().Highlight, std::optional<std::size_t>(1));
    EXPECT_NE(Chart(), plotted); // the chosen region is ringed

    // Linked with the date, the summary of the date is found in the folder of the last.
    dialogs.messages.clear();
    Trigger("LoadSRS2");
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_FALSE(Checked("LoadSRS1"));
    EXPECT_TRUE(Checked("LoadSRS2"));
    EXPECT_EQ(grid->rowCount(), 5);
    // A day without one: no box while stepping, the status line names the file and the
    // folder, and the table says there is no summary rather than a Wolf number of 0.
    Trigger("NextDay1");
    EXPECT_TRUE(dialogs.messages.empty());
    const QString status = form->statusBar()->currentMessage();
    EXPECT_TRUE(status.contains("20110608srs.txt is not in " +
                                QString::fromStdString((data / "srs").string())))
        << status.toStdString();
    EXPECT_EQ(grid->rowCount(), 0);
    EXPECT_TRUE(table->findChild<QLabel*>("WolfNumberLabel")
                    ->text()
                    .startsWith("No summary for this date"));
}

} // namespace
} // namespace zorva
