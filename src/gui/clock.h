#pragma once

#include <QDate>

namespace zorva::gui {

// Where the window learns today's date; tests put a fixed day in its place.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDate Today() const = 0;
};

class SystemClock final : public Clock {
public:
    QDate Today() const override { return QDate::currentDate(); }
};

class FixedClock final : public Clock {
public:
    explicit FixedClock(QDate day) : day_(day) {}
    QDate Today() const override { return day_; }

private:
    QDate day_;
};

} // namespace zorva::gui
