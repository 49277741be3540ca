#pragma once

#include <QDate>
#include <QDateTime>

namespace zorva::gui {

// Where the window learns today's date (in UTC) and the time now; tests put a fixed
// moment in its place.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual QDate Today() const = 0;
    // The date and time of the system clock in UTC.
    virtual QDateTime NowUtc() const = 0;
};

class SystemClock final : public Clock {
  public:
    // The date in UTC, the program's only time scale, whatever the time zone.
    QDate Today() const override { return QDateTime::currentDateTimeUtc().date(); }
    QDateTime NowUtc() const override { return QDateTime::currentDateTimeUtc(); }
};

class FixedClock final : public Clock {
  public:
    // Now is noon UTC of `day` until a test sets another moment.
    explicit FixedClock(QDate day) : day_(day), now_(day, QTime(12, 0), Qt::UTC) {}
    QDate Today() const override { return day_; }
    QDateTime NowUtc() const override { return now_; }
    void SetNowUtc(const QDateTime& now) { now_ = now.toUTC(); }

  private:
    QDate day_;
    QDateTime now_;
};

} // namespace zorva::gui
