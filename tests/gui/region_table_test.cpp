#include "gui/region_table.h"

#include <QSignalSpy>
#include <QTableWidget>
#include <gtest/gtest.h>

#include "support/test_support.h"

namespace zorva::gui {
namespace {

QString Cell(const RegionTable& t, int row, int col) {
    const auto* grid = t.findChild<QTableWidget*>("RegionGrid");
    const QTableWidgetItem* item = grid ? grid->item(row, col) : nullptr;
    return item ? item->text() : QStringLiteral("<none>");
}

QString Wolf(const RegionTable& t) {
    const auto* label = t.findChild<QLabel*>("WolfNumberLabel");
    return label ? label->text() : QString();
}

TEST(RegionTable, ListsEveryColumnSelectsAndIsReplaced) {
    ZORVA_TEST_DATA(data);
    const SrsSummary june = LoadSrsFile(data / "srs" / "20110607SRS.txt");
    const SrsSummary old = LoadSrsFile(data / "srs" / "19960106SRS.txt");
    RegionTable table;
    auto* grid = table.findChild<QTableWidget*>("RegionGrid");
    ASSERT_NE(grid, nullptr);
    QSignalSpy chosen(&table, &RegionTable::RegionSelected);

    table.SetRegions(june.Regions, "20110607SRS.txt");
    EXPECT_EQ(table.windowTitle(), "Region Table - 20110607SRS.txt");
    ASSERT_EQ(grid->rowCount(), 5);
    ASSERT_EQ(grid->columnCount(), 8);
    EXPECT_EQ(grid->horizontalHeaderItem(7)->text(), "Mag Type");
    // The first line of section I: "1226 S22W52   036  0080 Dao  10   08 Beta", numbered in full.
    const QStringList first = {"11226", "S22W52", "36", "80", "Dao", "10", "8", "Beta"};
    for (int col = 0; col < 8; ++col)
        EXPECT_EQ(Cell(table, 0, col), first[col]) << col;
    // Five regions and 8 + 1 + 4 + 3 + 1 spots.
    EXPECT_EQ(Wolf(table), QString::fromUtf8("Wolf number R = 10 g + s = 10 × 5 + 17 = 67"));

    // Every column shows whole and the Wolf number on one line: the window opened at 278 x 248
    // pixels, its columns cut and the Wolf number wrapped.
    table.show();
    int columns = 0;
    for (int col = 0; col < 8; ++col)
        columns += static_cast<const QAbstractItemView*>(grid)->sizeHintForColumn(col);
    EXPECT_GE(grid->viewport()->width(), columns);
    const QLabel* wolf = table.findChild<QLabel*>("WolfNumberLabel");
    EXPECT_GE(wolf->width(), wolf->fontMetrics().horizontalAdvance(wolf->text()));
    EXPECT_GE(grid->viewport()->height(), 5 * grid->rowHeight(0));

    grid->selectRow(3);
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.takeFirst().at(0).toInt(), 3);
    EXPECT_EQ(table.SelectedRegion(), 3);

    // A new summary replaces the rows and lets the chosen one go.
    table.SetRegions(old.Regions, "19960106SRS.txt");
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.takeFirst().at(0).toInt(), -1);
    EXPECT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(Cell(table, 1, 0), "7939");
    EXPECT_EQ(Wolf(table), QString::fromUtf8("Wolf number R = 10 g + s = 10 × 2 + 49 = 69"));

    table.Clear();
    EXPECT_EQ(grid->rowCount(), 0);
    EXPECT_EQ(table.windowTitle(), "Region Table");
    EXPECT_EQ(Wolf(table), QString::fromUtf8("Wolf number R = 10 g + s = 10 × 0 + 0 = 0"));
    EXPECT_EQ(chosen.count(), 0);
}

} // namespace
} // namespace zorva::gui
