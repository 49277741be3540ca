#pragma once

#include <QDialog>

#include "core/ephemeris/calendar.h"

class QDateTimeEdit;

namespace zorva::gui {

// The instant of a picture whose file does not give it for certain: what the file gives (or
// nothing) said above a date and time field in UT, offered with `offered`.
class InstantDialog final : public QDialog {
    Q_OBJECT
  public:
    InstantDialog(QWidget* parent, const QString& question, const Instant& offered);
    Instant Answer() const;
    QDateTimeEdit* Field() const { return field_; }

  private:
    QDateTimeEdit* field_ = nullptr;
};

} // namespace zorva::gui
