// The spot search of the shown picture, run away from the window's thread so that a click
// answers at once.
#include <QCoreApplication>
#include <QThreadPool>

#ifdef __linux__
#include <sys/resource.h>
#include <unistd.h>
#endif

#include "core/spots/spot_detection.h"
#include "gui/tzorvaform.h"

namespace zorva::gui {

namespace {

// The search yields to the window's thread when both want the processor: a click is served
// first. Linux gives each thread a niceness of its own (Qt's priorities other than the idle
// one leave a normal thread as it is, and the idle one would all but stop the search while
// other programs are busy); elsewhere the search keeps the window's priority.
void YieldToTheWindow() {
#ifdef __linux__
    constexpr int kNiceness = 10;
    const auto self = static_cast<id_t>(gettid());
    if (getpriority(PRIO_PROCESS, self) < kNiceness) setpriority(PRIO_PROCESS, self, kNiceness);
#endif
}

} // namespace

void TZorvaForm::StartSpotSearch() {
    std::optional<SpotSearchJob> job = session_.Spots().TakeSpotSearchJob();
    if (!job) return;
    if (!spotSearches_) {
        spotSearches_ = std::make_unique<QThreadPool>();
        spotSearches_->setMaxThreadCount(1);
    }
    const uint64_t number = ++*latestSearch_;
    spotSearches_->start([this, job = std::move(*job), number, latest = latestSearch_]() mutable {
        // A picture opened or turned since wants another search.
        if (latest->load() != number) return;
        YieldToTheWindow();
        SpotDetection found =
            DetectSpots(job.pixels.grid, job.context, job.orientation, job.ephemeris);
        // Handed over on the window's thread; the pool is gone only after this was posted,
        // and a window that goes drops what was posted to it.
        QMetaObject::invokeMethod(
            this,
            [this, job = std::move(job), found = std::move(found)]() mutable {
                RunCommand([&] {
                    session_.Spots().SpotsSearched(job, std::move(found));
                    Show();
                });
            },
            Qt::QueuedConnection);
    });
}

void TZorvaForm::FinishSpotSearches() {
    if (!spotSearches_) return;
    spotSearches_->waitForDone();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

} // namespace zorva::gui
