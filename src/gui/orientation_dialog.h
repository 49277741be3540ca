#pragma once

#include <QDialog>

#include "core/images/picture_context.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;

namespace zorva::gui {

// Image > Orientation...: how the shown picture lies, as a mode (whose north is meant), a
// mirror and a turn, the angle counter-clockwise from the picture's up at which that north
// lies. Each change is told at once (`changed`), so the grid follows while the user types.
class OrientationDialog final : public QDialog {
    Q_OBJECT
  public:
    OrientationDialog(QWidget* parent, const PictureTurn& start);
    PictureTurn Turn() const;

  signals:
    void changed(const zorva::PictureTurn& turn);

  private:
    QComboBox* mode_ = nullptr;
    QCheckBox* mirror_ = nullptr;
    QDoubleSpinBox* turn_ = nullptr;
};

} // namespace zorva::gui
