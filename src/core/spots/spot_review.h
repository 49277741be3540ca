#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/ephemeris/daily_table.h"
#include "core/measure/pointer.h"
#include "core/spots/spot_types.h"

namespace zorva {

// The steps of a review. Spots and groups are named in them by keys that stay the same
// however the result is numbered: a found spot or group by its number in what the search
// found; spots added, and groups a split or an added spot makes, by the next free numbers.
enum class ReviewStep {
    RemoveSpot,
    RemoveGroup,
    MergeGroups,
    SplitGroup,
    AddSpot,
    NumberGroup,
    MarkSpotless
};
std::string_view ReviewStepName(ReviewStep step); // "remove spot", "merge groups", ...

struct ReviewEdit {
    ReviewStep step = ReviewStep::RemoveSpot;
    std::vector<int32_t> spots; // the spot removed; the spots a split takes out of the group
    int32_t group = 0;          // the group removed, kept by a merge, split, numbered, joined
    int32_t other = 0;          // the group a merge takes in; the new group of a split or add
    int32_t noaa = 0;           // the region number given (0 takes it away)
    // The spots measured at the point a spot was added, with their patch (spot.patch 0).
    std::vector<DetectedSpot> added;
    std::vector<SpotPatch> addedPatches;
    double x = 0; // the point clicked, pixels
    double y = 0;

    bool operator==(const ReviewEdit&) const = default;
};

// What became of a command: done, or why nothing was done.
struct ReviewOutcome {
    bool done = false;
    std::string message;
};

// A detection turned into the count a user signs: each command is one edit on what the
// search found, and every edit can be undone and redone. The result is numbered from east
// to west after every edit, its groups carry the NOAA numbers given, and g, s and R (with
// the northern and southern parts) follow.
class SpotReview {
  public:
    SpotReview() = default;
    // A review of what a search found on a picture whose disk lies in `frame` at the
    // instant of `ephemeris` (which place any spot added later).
    SpotReview(SpotDetection found, const DiskFrame& frame, const Ephemeris& ephemeris);

    const SpotDetection& Found() const { return found_; }
    const SpotDetection& Result() const { return result_; }
    // The visible disk was marked spotless: R = 0 as the user's count.
    bool Spotless() const { return state_.spotless; }
    const DiskFrame& Frame() const { return frame_; }
    const Ephemeris& EphemerisOfPicture() const { return ephemeris_; }
    const std::vector<ReviewEdit>& Edits() const { return edits_; }
    bool CanUndo() const { return !edits_.empty(); }
    bool CanRedo() const { return !undone_.empty(); }

    // The commands, naming spots and groups by the ids the result shows.
    ReviewOutcome RemoveSpot(int32_t spot);
    ReviewOutcome RemoveGroup(int32_t group);
    // `other` joins `group`; the merged group keeps `group`'s NOAA number, else `other`'s.
    ReviewOutcome MergeGroups(int32_t group, int32_t other);
    // The spots named leave `group` for a new group of their own.
    ReviewOutcome SplitGroup(int32_t group, std::span<const int32_t> spots);
    // The spots measured at (x, y) (MeasureSpotAt: numbered, their patch or patches in
    // `measured.patches`) join the group whose spots they lie by as the grouping links
    // spots, else a group of their own.
    ReviewOutcome AddSpot(const SpotDetection& measured, double x, double y,
                          const SpotOptions& options = {});
    // 0 takes the number away.
    ReviewOutcome NumberGroup(int32_t group, int32_t noaa);
    // Every spot goes; the count is R = 0.
    ReviewOutcome MarkSpotless();
    bool Undo();
    bool Redo();

    // An edit as a review file holds it, applied after those in force; nothing changes when
    // it does not fit what the review holds then.
    ReviewOutcome Apply(const ReviewEdit& edit);

  private:
    struct Live {
        int32_t key = 0;
        int32_t group = 0;
        DetectedSpot spot; // spot.patch indexes State::patches
    };
    struct State {
        std::vector<Live> spots;
        std::vector<SpotPatch> patches;
        std::map<int32_t, int32_t> noaa; // by group key
        bool spotless = false;
        int32_t nextSpot = 1;
        int32_t nextGroup = 1;
    };

    SpotDetection found_;
    SpotDetection result_;
    DiskFrame frame_;
    Ephemeris ephemeris_;
    State state_;
    std::vector<ReviewEdit> edits_;
    std::vector<ReviewEdit> undone_;
    std::vector<int32_t> spotKeyOfId_;  // [id - 1]
    std::vector<int32_t> groupKeyOfId_; // [id - 1]

    State Start() const;
    static ReviewOutcome Change(State& state, const ReviewEdit& edit);
    void Number();
    ReviewOutcome Do(ReviewEdit edit);
    int32_t SpotKey(int32_t id) const;
    int32_t GroupKey(int32_t id) const;
};

} // namespace zorva
