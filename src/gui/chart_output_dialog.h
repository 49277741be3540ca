#pragma once

#include <QDialog>

#include "gui/dialogs.h"

class QCheckBox;
class QRadioButton;

namespace zorva::gui {

// How a printed or exported chart looks: screen colours or the print style, the caption
// block, the longitude labels.
class ChartOutputDialog final : public QDialog {
    Q_OBJECT
  public:
    ChartOutputDialog(QWidget* parent, const QString& title, const ChartOutputOptions& options);
    ChartOutputOptions Options() const;

  private:
    QRadioButton* screenColours_ = nullptr;
    QRadioButton* printStyle_ = nullptr;
    QCheckBox* caption_ = nullptr;
    QCheckBox* longitudeLabels_ = nullptr;
};

} // namespace zorva::gui
