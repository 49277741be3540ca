#pragma once

#include <QLabel>
#include <QTableWidget>
#include <QWidget>
#include <span>

#include "core/srs/srs_reader.h"

namespace zorva::gui {

// A window listing the regions of the loaded summary with every column of its section I,
// numbers in full, and the summary's Wolf number below. Choosing a row tells which region
// to highlight; the window replaces the contents when another summary is loaded.
class RegionTable final : public QWidget {
    Q_OBJECT
  public:
    explicit RegionTable(QWidget* parent = nullptr);

    // Shows these regions (listed in this order) of the summary `fileName`; a row that was
    // chosen is let go. A `note` (no summary for the date) stands in place of the Wolf
    // number, which would read as a day without spots.
    void SetRegions(std::span<const SrsRegion> regions, const QString& fileName,
                    const QString& note = QString());
    void Clear() { SetRegions({}, QString()); }

    // The chosen row, -1 for none.
    int SelectedRegion() const;

  signals:
    // A row was chosen (its index in the list given), or -1 when none is any more.
    void RegionSelected(int index);

  private:
    // Sized to its content: every column whole, every row and the Wolf number on one line,
    // as far as nine tenths of the screen allow.
    void FitContent();

    QTableWidget* grid_ = nullptr;
    QLabel* wolf_ = nullptr;
    int selected_ = -1;
};

} // namespace zorva::gui
