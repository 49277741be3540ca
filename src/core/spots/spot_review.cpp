// A detection turned into the count a user signs, one undoable edit at a time.
#include "core/spots/spot_review.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "core/spots/mcintosh.h"
#include "core/spots/spot_assembly.h"
#include "core/spots/spot_groups.h"

namespace zorva {

namespace {

// NOAA numbers regions from 1 up; since 2002 the first digit is left off, and numbers past
// 9999 are written in full here.
constexpr int32_t kLargestRegionNumber = 99999;

std::string Missing(const char* what, int32_t id) {
    return "there is no " + std::string(what) + " " + std::to_string(id);
}

} // namespace

std::string_view ReviewStepName(ReviewStep step) {
    switch (step) {
    case ReviewStep::RemoveSpot:
        return "remove spot";
    case ReviewStep::RemoveGroup:
        return "remove group";
    case ReviewStep::MergeGroups:
        return "merge groups";
    case ReviewStep::SplitGroup:
        return "split group";
    case ReviewStep::AddSpot:
        return "add spot";
    case ReviewStep::NumberGroup:
        return "number group";
    case ReviewStep::MarkSpotless:
        return "mark spotless";
    }
    return "";
}

SpotReview::SpotReview(SpotDetection found, const DiskFrame& frame, const Ephemeris& ephemeris)
    : found_(std::move(found)), frame_(frame), ephemeris_(ephemeris) {
    state_ = Start();
    Number();
}

SpotReview::State SpotReview::Start() const {
    State s;
    s.patches = found_.patches;
    for (const DetectedSpot& spot : found_.spots) {
        s.spots.push_back({spot.id, spot.group, spot});
        s.nextSpot = std::max(s.nextSpot, spot.id + 1);
        s.nextGroup = std::max(s.nextGroup, spot.group + 1);
    }
    return s;
}

void SpotReview::Number() {
    SpotDetection d;
    d.error = found_.error;
    d.quietSun = found_.quietSun;
    d.rejected = found_.rejected;
    d.transits = found_.transits;
    d.diskSeen = found_.diskSeen;
    d.blur = found_.blur;
    d.limbBand = found_.limbBand;
    d.noise = found_.noise;
    d.patches = state_.patches;
    std::vector<int32_t> keys;
    for (const Live& live : state_.spots) {
        d.spots.push_back(live.spot);
        keys.push_back(live.group);
    }
    const SpotNumbering numbering = AssembleDetection(d, keys, ephemeris_);
    spotKeyOfId_.clear();
    for (const std::size_t from : numbering.spotFrom)
        spotKeyOfId_.push_back(state_.spots[from].key);
    groupKeyOfId_ = numbering.groupFrom;
    for (std::size_t g = 0; g < d.groups.size(); ++g) {
        const auto noaa = state_.noaa.find(groupKeyOfId_[g]);
        d.groups[g].noaa = noaa == state_.noaa.end() ? 0 : noaa->second;
    }
    ClassifyGroups(d);
    result_ = std::move(d);
}

int32_t SpotReview::SpotKey(int32_t id) const {
    return id >= 1 && static_cast<std::size_t>(id) <= spotKeyOfId_.size()
               ? spotKeyOfId_[static_cast<std::size_t>(id - 1)]
               : 0;
}

int32_t SpotReview::GroupKey(int32_t id) const {
    return id >= 1 && static_cast<std::size_t>(id) <= groupKeyOfId_.size()
               ? groupKeyOfId_[static_cast<std::size_t>(id - 1)]
               : 0;
}

ReviewOutcome SpotReview::Change(State& s, const ReviewEdit& e) {
    const auto groupHas = [&](int32_t group) {
        return std::any_of(s.spots.begin(), s.spots.end(),
                           [&](const Live& l) { return l.group == group; });
    };
    const auto spotAt = [&](int32_t key) {
        return std::find_if(s.spots.begin(), s.spots.end(),
                            [&](const Live& l) { return l.key == key; });
    };
    const auto forget = [&](int32_t group) {
        if (!groupHas(group)) s.noaa.erase(group);
    };
    switch (e.step) {
    case ReviewStep::RemoveSpot: {
        if (e.spots.size() != 1) return {false, "a spot to remove is wanted"};
        const auto at = spotAt(e.spots[0]);
        if (at == s.spots.end()) return {false, "that spot is no longer there"};
        const int32_t group = at->group;
        s.spots.erase(at);
        forget(group);
        return {true, {}};
    }
    case ReviewStep::RemoveGroup:
        if (!groupHas(e.group)) return {false, "that group is no longer there"};
        std::erase_if(s.spots, [&](const Live& l) { return l.group == e.group; });
        s.noaa.erase(e.group);
        return {true, {}};
    case ReviewStep::MergeGroups: {
        if (e.group == e.other) return {false, "a group cannot be merged with itself"};
        if (!groupHas(e.group) || !groupHas(e.other))
            return {false, "one of the groups is no longer there"};
        for (Live& l : s.spots)
            if (l.group == e.other) l.group = e.group;
        if (!s.noaa.contains(e.group) && s.noaa.contains(e.other))
            s.noaa[e.group] = s.noaa[e.other];
        s.noaa.erase(e.other);
        return {true, {}};
    }
    case ReviewStep::SplitGroup: {
        if (e.spots.empty()) return {false, "no spot was named to split off"};
        if (e.other < s.nextGroup || groupHas(e.other))
            return {false, "the new group's key is taken"};
        std::size_t inGroup = 0;
        for (const Live& l : s.spots)
            inGroup += l.group == e.group;
        for (const int32_t key : e.spots) {
            const auto at = spotAt(key);
            if (at == s.spots.end() || at->group != e.group)
                return {false, "a spot named is not one of the group's"};
            if (std::count(e.spots.begin(), e.spots.end(), key) != 1)
                return {false, "a spot is named twice"};
        }
        if (e.spots.size() >= inGroup) return {false, "a split leaves a spot in each group"};
        for (const int32_t key : e.spots)
            spotAt(key)->group = e.other;
        s.nextGroup = e.other + 1;
        return {true, {}};
    }
    case ReviewStep::AddSpot: {
        if (e.added.empty() || e.addedPatches.empty())
            return {false, "no spot was measured at that point"};
        const bool joins = e.group != 0;
        if (joins ? !groupHas(e.group) : (e.other < s.nextGroup || groupHas(e.other)))
            return {false, "the group the spot joins is not there"};
        const auto firstPatch = static_cast<int32_t>(s.patches.size());
        for (const DetectedSpot& spot : e.added) {
            if (spot.patch < 0 || static_cast<std::size_t>(spot.patch) >= e.addedPatches.size())
                return {false, "an added spot lies in no patch"};
        }
        for (SpotPatch patch : e.addedPatches)
            s.patches.push_back(std::move(patch));
        for (DetectedSpot spot : e.added) {
            spot.patch += firstPatch;
            s.spots.push_back({s.nextSpot++, joins ? e.group : e.other, std::move(spot)});
        }
        if (!joins) s.nextGroup = e.other + 1;
        s.spotless = false;
        return {true, {}};
    }
    case ReviewStep::NumberGroup:
        if (!groupHas(e.group)) return {false, "that group is no longer there"};
        if (e.noaa < 0 || e.noaa > kLargestRegionNumber)
            return {false, "a NOAA region number is 1 to " + std::to_string(kLargestRegionNumber)};
        if (e.noaa == 0) {
            s.noaa.erase(e.group);
        } else {
            s.noaa[e.group] = e.noaa;
        }
        return {true, {}};
    case ReviewStep::MarkSpotless:
        s.spots.clear();
        s.noaa.clear();
        s.spotless = true;
        return {true, {}};
    }
    return {false, "an edit of no known kind"};
}

ReviewOutcome SpotReview::Do(ReviewEdit edit) {
    ReviewOutcome outcome = Change(state_, edit);
    if (!outcome.done) return outcome;
    edits_.push_back(std::move(edit));
    undone_.clear();
    Number();
    return outcome;
}

ReviewOutcome SpotReview::Apply(const ReviewEdit& edit) {
    return Do(edit);
}

ReviewOutcome SpotReview::RemoveSpot(int32_t spot) {
    const int32_t key = SpotKey(spot);
    if (key == 0) return {false, Missing("spot", spot)};
    ReviewEdit e;
    e.step = ReviewStep::RemoveSpot;
    e.spots = {key};
    return Do(std::move(e));
}

ReviewOutcome SpotReview::RemoveGroup(int32_t group) {
    const int32_t key = GroupKey(group);
    if (key == 0) return {false, Missing("group", group)};
    ReviewEdit e;
    e.step = ReviewStep::RemoveGroup;
    e.group = key;
    return Do(std::move(e));
}

ReviewOutcome SpotReview::MergeGroups(int32_t group, int32_t other) {
    const int32_t key = GroupKey(group), otherKey = GroupKey(other);
    if (key == 0) return {false, Missing("group", group)};
    if (otherKey == 0) return {false, Missing("group", other)};
    ReviewEdit e;
    e.step = ReviewStep::MergeGroups;
    e.group = key;
    e.other = otherKey;
    return Do(std::move(e));
}

ReviewOutcome SpotReview::SplitGroup(int32_t group, std::span<const int32_t> spots) {
    const int32_t key = GroupKey(group);
    if (key == 0) return {false, Missing("group", group)};
    ReviewEdit e;
    e.step = ReviewStep::SplitGroup;
    e.group = key;
    e.other = state_.nextGroup;
    for (const int32_t id : spots) {
        const int32_t spotKey = SpotKey(id);
        if (spotKey == 0) return {false, Missing("spot", id)};
        e.spots.push_back(spotKey);
    }
    return Do(std::move(e));
}

ReviewOutcome SpotReview::AddSpot(const SpotDetection& measured, double x, double y,
                                  const SpotOptions& options) {
    if (!measured.error.empty()) return {false, measured.error};
    if (measured.spots.empty()) return {false, "there is no dark spot at that point"};
    ReviewEdit e;
    e.step = ReviewStep::AddSpot;
    e.x = x;
    e.y = y;
    // A spot measured where one counted already lies (its centre within the other's own
    // radius, or a pixel) is that spot, not another: only the others are added, with the
    // patches they lie in.
    std::vector<int32_t> patchIndex(measured.patches.size(), -1);
    for (const DetectedSpot& spot : measured.spots) {
        const double reach = std::max(1.0, std::sqrt(spot.pixels / std::numbers::pi));
        const bool counted =
            std::any_of(state_.spots.begin(), state_.spots.end(), [&](const Live& l) {
                return std::hypot(l.spot.x - spot.x, l.spot.y - spot.y) <= reach;
            });
        if (counted || spot.patch < 0 ||
            static_cast<std::size_t>(spot.patch) >= measured.patches.size())
            continue;
        int32_t& index = patchIndex[static_cast<std::size_t>(spot.patch)];
        if (index < 0) {
            index = static_cast<int32_t>(e.addedPatches.size());
            e.addedPatches.push_back(measured.patches[static_cast<std::size_t>(spot.patch)]);
        }
        e.added.push_back(spot);
        e.added.back().patch = index;
    }
    if (e.added.empty()) return {false, "that spot is counted already"};
    for (DetectedSpot& spot : e.added) {
        spot.id = 0;
        spot.group = 0;
    }
    for (SpotPatch& patch : e.addedPatches) {
        patch.group = 0;
        patch.spots.clear();
    }
    // The group whose spots the new ones lie nearest by, as the grouping links spots.
    double nearest = std::numeric_limits<double>::max();
    const auto placeOf = [](const DetectedSpot& s) {
        return SpotPlace{s.latitude, s.centralDistance, SpotRadiusDegrees(s.areaMsh), s.areaMsh,
                         s.umbraPixels > 0};
    };
    for (const DetectedSpot& added : e.added) {
        for (const Live& live : state_.spots) {
            double gap = 0;
            if (SpotsLinked(placeOf(added), placeOf(live.spot), options.smallestGroupLink,
                            options.largestGroupLink, &gap) &&
                gap < nearest) {
                nearest = gap;
                e.group = live.group;
            }
        }
    }
    if (e.group == 0) e.other = state_.nextGroup;
    return Do(std::move(e));
}

ReviewOutcome SpotReview::NumberGroup(int32_t group, int32_t noaa) {
    const int32_t key = GroupKey(group);
    if (key == 0) return {false, Missing("group", group)};
    ReviewEdit e;
    e.step = ReviewStep::NumberGroup;
    e.group = key;
    e.noaa = noaa;
    return Do(std::move(e));
}

ReviewOutcome SpotReview::MarkSpotless() {
    ReviewEdit e;
    e.step = ReviewStep::MarkSpotless;
    return Do(std::move(e));
}

bool SpotReview::Undo() {
    if (edits_.empty()) return false;
    undone_.push_back(std::move(edits_.back()));
    edits_.pop_back();
    // The state again from what was found, through the edits still in force: each applied
    // to the same state it was first applied to.
    state_ = Start();
    for (const ReviewEdit& e : edits_)
        Change(state_, e);
    Number();
    return true;
}

bool SpotReview::Redo() {
    if (undone_.empty()) return false;
    ReviewEdit e = std::move(undone_.back());
    undone_.pop_back();
    std::vector<ReviewEdit> keep = std::move(undone_);
    const bool done = Do(std::move(e)).done;
    undone_ = std::move(keep);
    return done;
}

} // namespace zorva
