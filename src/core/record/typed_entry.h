#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/record/observation.h"

namespace zorva {

// Counts as an observer types them at the eyepiece, read into an observation of the record,
// and a class corrected by the observer.

// Reads a group's place as NOAA writes it into `group`: "N" or "S" gives its hemisphere, "N14"
// its latitude as well, "N14W23" (latitude, then degrees east or west of the central
// meridian) its Carrington longitude too, from `l0`, the Carrington longitude of the central
// meridian at the instant. Empty when read, else why not; `group` is then unchanged.
std::string ReadGroupPlace(std::string_view text, double l0, ObservedGroup& group);

// A group as typed: its place (ReadGroupPlace), spots, McIntosh class and NOAA number.
struct TypedGroup {
    std::string place, spots, mcintosh, noaa;

    bool Blank() const;
};

// A day's counts as typed: the details, g and s of each hemisphere, R when the observer gives
// it (to be checked against 10 g + s) and the groups, if any.
struct TypedCounts {
    Instant instant;
    ObservationMethod method = ObservationMethod::Visual;
    std::string observer, site, instrument;
    std::optional<int32_t> seeing;
    HemisphereCount north, south;
    std::string wolf;               // empty when not given
    std::vector<TypedGroup> groups; // blank rows are passed over
};

// The observation the counts make, or why they cannot make one: a text that is no number, a
// place that is none, and every check of ObservationProblem with `today`. Groups are numbered
// in the order typed; their classes are the observer's own.
struct TypedRead {
    std::optional<SunspotObservation> observation;
    std::string problem;
};
TypedRead ReadTypedCounts(const TypedCounts& typed, double l0, const CalendarDay& today);

// Where the instant of counts typed came from: the observer typed it.
inline constexpr std::string_view TypedInstantSource = "typed";

// The observer's class for the group numbered `number` of an observation, in place of the one
// it had: empty when taken, else why not (no such group, no McIntosh class), with the
// observation unchanged.
std::string ReviewGroupClass(SunspotObservation& observation, int32_t number,
                             std::string_view mcintosh);

} // namespace zorva
