#pragma once

#include <QLabel>
#include <QTableWidget>
#include <QWidget>
#include <span>

#include "core/logfile/measurements.h"

class QAction;

namespace zorva::gui {

// A window listing the measurements of the logfile and of this run, the latest last, with
// the instant, source, orientation, position, latitude, longitude, area, rotation and
// separation of each. Choosing a row asks for that measurement to be shown; buttons undo
// the last measurement and export the table, as the menu items given do.
class MeasurementsWindow final : public QWidget {
    Q_OBJECT
  public:
    MeasurementsWindow(QAction* undo, QAction* exportTable, QWidget* parent = nullptr);

    // Shows these rows, the latest in view; a row that was chosen is let go. `logfile`
    // names the logfile in use, for the line under the table.
    void SetMeasurements(std::span<const Measurement> rows, const QString& logfile);

    // The chosen row, -1 for none.
    int SelectedRow() const { return selected_; }

  signals:
    // A row was chosen (its index in the rows given).
    void MeasurementSelected(int index);

  private:
    QTableWidget* grid_ = nullptr;
    QLabel* summary_ = nullptr;
    int selected_ = -1;
};

} // namespace zorva::gui
