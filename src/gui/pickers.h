#pragma once

#include <QDateEdit>
#include <QTimeEdit>

namespace zorva::gui {

// Date and time pickers that tell a change made by spinning a field (buttons, arrow
// keys, wheel) from a date or time typed or set outright: only a spun field can have
// wrapped round inside its own range.
template <class Base> class SpinPicker final : public Base {
  public:
    using Base::Base;
    bool Spinning() const { return spinning_; }
    void stepBy(int steps) override {
        spinning_ = true;
        Base::stepBy(steps);
        spinning_ = false;
    }

  private:
    bool spinning_ = false;
};

using DatePickerEdit = SpinPicker<QDateEdit>;
using TimePickerEdit = SpinPicker<QTimeEdit>;

} // namespace zorva::gui
