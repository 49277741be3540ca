#include "gui/clock.h"

#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <string>

namespace zorva::gui {
namespace {

// The time zone of the process while the object lives.
class ScopedTimeZone {
  public:
    explicit ScopedTimeZone(const char* zone) {
        if (const char* tz = std::getenv("TZ")) previous_ = tz;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        if (previous_.empty()) {
            unsetenv("TZ");
        } else {
            setenv("TZ", previous_.c_str(), 1);
        }
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

  private:
    std::string previous_;
};

TEST(SystemClock, TodayIsTheDateInUtcWhateverTheTimeZone) {
    // Kiritimati is 14 hours ahead of UTC, Pago Pago 11 hours behind: at any moment the
    // local date of one of them is not the UTC date.
    const SystemClock clock;
    for (const char* zone : {"Pacific/Kiritimati", "Pacific/Pago_Pago"}) {
        SCOPED_TRACE(zone);
        const ScopedTimeZone tz(zone);
        const QDate before = QDateTime::currentDateTimeUtc().date();
        const QDate today = clock.Today();
        const QDate after = QDateTime::currentDateTimeUtc().date();
        EXPECT_TRUE(today == before || today == after) << today.toString(Qt::ISODate).toStdString();
    }
}

} // namespace
} // namespace zorva::gui
