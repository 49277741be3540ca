#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "core/ephemeris/calendar.h"

namespace zorva {

// The sidereal rotation of sunspots with latitude, omega = A + B sin^2(latitude), degrees a
// day.
struct RotationLaw {
    double a = 0;
    double b = 0;
};

// Newton and Nunn (1951, Monthly Notices of the RAS 111, 413), from the recurrent spots of
// 1878-1944: omega = 14.377 - 2.77 sin^2(latitude) degrees a day, as Landman and Takushi
// (Solar Physics) quote it.
inline constexpr RotationLaw kSpotRotation = {14.377, -2.77};

// The Carrington system turns at a sidereal 360 degrees in 25.38 days.
inline constexpr double kCarringtonRate = 360.0 / 25.38;

// How far a spot at `latitude` moves in Carrington longitude in `days`: positive (westward,
// towards greater longitudes) where spots turn faster than the Carrington system.
double CarringtonDrift(double latitude, double days, const RotationLaw& law = kSpotRotation);

// When a group seen on one observation is the same group on a later one.
struct TrackingOptions {
    // Beyond this the group would have crossed to the far side since (the disk takes 13.6
    // days to cross): seen again it is a new group, as NOAA numbers it anew.
    double longestGapDays = 12;
    // The later place may lie this far from where the law carries the earlier one, degrees
    // on the Sun: a group's centre shifts as spots come and go; more the longer it was
    // unseen, up to the largest.
    double nearest = 4;
    double perDay = 1;
    double farthest = 10;
    // And at most this far in latitude.
    double latitude = 4;
    // Before it is matched by place, two groups with NOAA numbers are the same exactly when
    // their numbers are.
};

// A group's last sighting, as the tracker holds it.
struct FollowedGroup {
    int64_t id = 0;
    double julianDate = 0;
    std::optional<double> latitude, longitude;
    std::optional<int32_t> noaa;
};

// A group of the observation being followed.
struct GroupSighting {
    std::optional<double> latitude, longitude;
    std::optional<int32_t> noaa;
    // The id the record gave it before, kept where it still fits; 0 for none.
    int64_t earlierId = 0;
};

// Follows groups through observations taken in time order: each group of an observation is
// matched with a group seen before within the longest gap, the nearest pairs first, one to
// one; a group that matches none starts a new life. A group with neither place nor NOAA
// number cannot be followed and gets id 0.
class GroupTracker {
  public:
    // `alive`: the groups seen last before the first observation to come; `taken`: whether
    // an id is in use outside what is followed now; new ids count up from `nextId`.
    GroupTracker(std::vector<FollowedGroup> alive, std::function<bool(int64_t)> taken,
                 int64_t nextId, const TrackingOptions& options = {});

    // The ids of one observation's groups, in their order.
    std::vector<int64_t> Follow(double julianDate, std::span<const GroupSighting> groups);

    // The next id a new group would get.
    int64_t NextId() const { return nextId_; }

  private:
    bool Taken(int64_t id) const { return given_.count(id) || (taken_ && taken_(id)); }

    std::vector<FollowedGroup> alive_;
    std::function<bool(int64_t)> taken_;
    std::set<int64_t> given_; // the ids of the lives begun here
    int64_t nextId_;
    TrackingOptions options_;
};

// One day of a group's life, as the record keeps it.
struct GroupSightingDay {
    int64_t observation = 0;
    int32_t number = 0; // the group's number on that observation
    Instant instant;
    std::optional<double> latitude, longitude, areaMsh;
    int32_t spots = 0;
    std::string mcintosh;
    bool classReviewed = false; // the class is the observer's (ObservedGroup::classReviewed)
};

// A group through its life: its id, its NOAA number (the first any observation gave it),
// and the observations that saw it, in time order.
struct GroupLife {
    int64_t id = 0;
    std::optional<int32_t> noaa;
    std::vector<GroupSightingDay> days;
};

} // namespace zorva
