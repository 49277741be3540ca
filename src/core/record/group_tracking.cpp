// Sunspot groups followed from one observation to the next, carried by the differential
// rotation in between.
#include "core/record/group_tracking.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include "core/common/angles.h"
#include "core/spots/spot_groups.h"

namespace zorva {

double CarringtonDrift(double latitude, double days, const RotationLaw& law) {
    const double s = degrees::Sin(latitude);
    return (law.a + law.b * s * s - kCarringtonRate) * days;
}

GroupTracker::GroupTracker(std::vector<FollowedGroup> alive, std::function<bool(int64_t)> taken,
                           int64_t nextId, const TrackingOptions& options)
    : alive_(std::move(alive)), taken_(std::move(taken)), nextId_(std::max<int64_t>(1, nextId)),
      options_(options) {}

std::vector<int64_t> GroupTracker::Follow(double julianDate,
                                          std::span<const GroupSighting> groups) {
    std::erase_if(alive_, [&](const FollowedGroup& f) {
        return julianDate - f.julianDate > options_.longestGapDays;
    });
    // Every pair that may be one group, the surest first: the same NOAA number, then the
    // nearest places.
    struct Pair {
        bool sameNumber;
        double distance;
        std::size_t group, followed;
    };
    std::vector<Pair> pairs;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        const GroupSighting& g = groups[i];
        for (std::size_t j = 0; j < alive_.size(); ++j) {
            const FollowedGroup& f = alive_[j];
            if (g.noaa && f.noaa) {
                if (*g.noaa == *f.noaa) pairs.push_back({true, 0, i, j});
                continue;
            }
            if (!g.latitude || !g.longitude || !f.latitude || !f.longitude) continue;
            const double days = std::max(0.0, julianDate - f.julianDate);
            const double carried = *f.longitude + CarringtonDrift(*f.latitude, days);
            const double distance =
                HeliographicDistance(*f.latitude, carried, *g.latitude, *g.longitude);
            const double reach =
                std::min(options_.farthest, options_.nearest + options_.perDay * days);
            if (distance <= reach && std::fabs(*g.latitude - *f.latitude) <= options_.latitude)
                pairs.push_back({false, distance, i, j});
        }
    }
    std::sort(pairs.begin(), pairs.end(), [](const Pair& a, const Pair& b) {
        return std::tie(b.sameNumber, a.distance, a.group, a.followed) <
               std::tie(a.sameNumber, b.distance, b.group, b.followed);
    });
    std::vector<int64_t> ids(groups.size(), 0);
    std::vector<bool> followedTaken(alive_.size(), false);
    std::vector<std::size_t> matchedTo(groups.size(), alive_.size());
    for (const Pair& p : pairs) {
        if (ids[p.group] != 0 || followedTaken[p.followed]) continue;
        ids[p.group] = alive_[p.followed].id;
        followedTaken[p.followed] = true;
        matchedTo[p.group] = p.followed;
    }
    for (std::size_t i = 0; i < groups.size(); ++i) {
        const GroupSighting& g = groups[i];
        const bool place = g.latitude && g.longitude;
        if (ids[i] == 0) {
            if (!place && !g.noaa) continue;
            // A new life: under the id it had, unless another life holds that.
            if (g.earlierId > 0 && !Taken(g.earlierId)) {
                ids[i] = g.earlierId;
            } else {
                while (Taken(nextId_))
                    ++nextId_;
                ids[i] = nextId_++;
            }
            given_.insert(ids[i]);
            matchedTo[i] = alive_.size();
            alive_.push_back({ids[i], julianDate, {}, {}, {}});
        }
        FollowedGroup& f = alive_[matchedTo[i]];
        f.julianDate = julianDate;
        if (place) {
            f.latitude = g.latitude;
            f.longitude = g.longitude;
        }
        if (g.noaa) f.noaa = g.noaa;
    }
    return ids;
}

} // namespace zorva
