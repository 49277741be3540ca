#pragma once

#include <QLabel>
#include <QTableWidget>
#include <QWidget>

#include "core/spots/spot_table.h"

class QAction;

namespace zorva::gui {

// A window listing the sunspots found on the picture: a table of the groups (beside each the
// NOAA region it was matched to, when a summary is loaded) and a table of the spots, each
// sorted by any column; under them what matched nothing on either side and the Wolf number.
// Choosing a row asks for that group or spot to be picked out on the picture; a button
// exports the table as the menu item given does.
class SunspotTable final : public QWidget {
    Q_OBJECT
  public:
    explicit SunspotTable(QAction* exportTable, QWidget* parent = nullptr);

    // Shows this table (none: nothing found yet), the row of the group or spot chosen (0 for
    // none) selected.
    void SetTable(const SpotTable* table, const QString& title, int group = 0, int spot = 0);
    // The rows of the group and the spot chosen elsewhere (0 for none) selected.
    void Choose(int group, int spot);

  signals:
    // A group's or a spot's row was chosen (its id), or 0 when none is any more.
    void GroupSelected(int id);
    void SpotSelected(int id);

  private:
    // Grows to show every column and row, as far as the screen allows.
    void FitContent();

    QTableWidget* groups_ = nullptr;
    QTableWidget* spots_ = nullptr;
    QLabel* unmatched_ = nullptr;
    QLabel* wolf_ = nullptr;
};

} // namespace zorva::gui
