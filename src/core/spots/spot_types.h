#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zorva {

// The choices of the spot search, with the published values as defaults. Intensities are
// fractions of the quiet Sun's at the same place on the disk.
struct SpotOptions {
    // Penumbra: darker than 0.92 of the quiet Sun (the usual choice lies at 0.92-0.93).
    double penumbraLevel = 0.92;
    // Umbra: darker than 0.6 of the quiet Sun.
    double umbraLevel = 0.6;
    // Zharkov et al. (2005, Solar Physics 228, 377) take each spot's umbra below
    // max(mean - 0.85 sigma, 0.59) of the spot's own intensities: on a picture too coarse
    // for an umbra to reach 0.6 its dark core still counts. Off: the fixed level alone.
    bool adaptiveUmbra = true;
    double umbraSigma = 0.85;
    // A dark patch with no umbra (a pore, or a penumbra whose umbra has gone) counts as a
    // spot when its darkest point lies this far below the quiet Sun.
    double poreContrast = 0.12;
    // The smallest countable spot: about 2 arcseconds across, 1.6 millionths of the
    // hemisphere corrected for foreshortening, and never fewer than 3 pixels, below which a
    // dark patch cannot be told from a dead pixel or the noise...
    double smallestSpotMsh = 1.6;
    int32_t smallestSpotPixels = 3;
    // ... unless it is two pixels that reach below this: noise does not darken two
    // neighbours that far, and on a coarse picture a real spot is no larger. A single pixel
    // never counts.
    double twoPixelDarkest = 0.75;
    // An umbra of fewer pixels is a fleck of noise at the umbra's edge, not an umbra.
    int32_t smallestUmbraPixels = 2;
    // The band at the limb that is left out is as wide as the picture's own limb asks (its
    // blur, and how far the limb strays from the disk's circle); with a mu = cos(heliocentric
    // angle) above 0 here, the band reaches at least in to that mu as well.
    double limbMu = 0;
    // A spot must stand out of the quiet Sun's own spread (granulation, the noise of the
    // camera and the compression): its dark core, averaged over the blur's reach, lies this
    // many times that spread below the quiet Sun. A patch is outlined where it lies
    // `maskSigmas` below, when that is lower than the penumbra's level.
    double significance = 5.0;
    double maskSigmas = 3.0;
    // Groups: spots whose place keeps them within the size of one group (see spot_groups.h)
    // gather into one. Two spots are always of one group within `smallestGroupLink`
    // degrees, and no group reaches more than `largestGroupLink` degrees east to west.
    double smallestGroupLink = 3.0;
    double largestGroupLink = 20.0;

    bool operator==(const SpotOptions&) const = default;
};

// A whole pixel of an outline, in the picture's columns and rows.
struct OutlinePoint {
    int32_t x = 0;
    int32_t y = 0;

    bool operator==(const OutlinePoint&) const = default;
};
using Outline = std::vector<OutlinePoint>; // a closed polygon along the border pixels

// One spot as it is counted: a dark core of a patch that a brighter saddle parts from the
// patch's other cores (an umbra, or a pore), with the pixels that fall to it.
struct DetectedSpot {
    int32_t id = 0;    // 1.., in the order of the groups, east to west within each
    int32_t group = 0; // the id of its group
    int32_t patch = 0; // index in SpotDetection::patches of the dark patch it lies in
    double x = 0;      // centroid, pixels (column, row; a pixel's centre is whole)
    double y = 0;
    double latitude = 0;         // heliographic, degrees, north positive
    double longitude = 0;        // Carrington, degrees, 0..360
    double centralDistance = 0;  // degrees from the central meridian, west positive
    double mu = 1;               // cos of the heliocentric angle at the centroid
    double areaMsh = 0;          // whole spot, millionths of the hemisphere, corrected
    double umbraMsh = 0;         // its umbra alone, the same
    int32_t pixels = 0;          // whole spot
    int32_t umbraPixels = 0;     // its umbra
    double darkest = 1;          // the darkest pixel, in quiet-Sun units
    std::vector<Outline> umbrae; // the outline of its umbra (none for a pore)

    bool operator==(const DetectedSpot&) const = default;
};

// A connected dark patch (a penumbra, or a pore): its outline and whole area, and the
// spots it holds.
struct SpotPatch {
    int32_t group = 0;
    Outline outline;
    double areaMsh = 0;
    int32_t pixels = 0;
    std::vector<int32_t> spots; // ids of the spots in it

    bool operator==(const SpotPatch&) const = default;
};

// A group of spots as NOAA and SILSO count groups.
struct SpotGroup {
    int32_t id = 0; // 1.., east to west
    double x = 0;   // centroid of its pixels
    double y = 0;
    // Where it lies on the Sun: the mean of its spots' places, weighted by their areas.
    double latitude = 0;
    double longitude = 0;
    double centralDistance = 0; // west positive
    double mu = 1;
    int32_t spots = 0;
    double areaMsh = 0;
    double umbraMsh = 0;
    double extent = 0;    // degrees on the Sun from one edge of the group to the other
    std::string mcintosh; // its McIntosh class ("Dso"), see mcintosh.h
    int32_t noaa = 0;     // the NOAA region number it was given in a review; 0 none

    bool operator==(const SpotGroup&) const = default;
};

// R = 10 g + s, for the whole disk and its northern and southern halves.
struct WolfNumber {
    int32_t groups = 0;
    int32_t spots = 0;
    int32_t total = 0;
    int32_t north = 0; // groups at latitude 0 or above
    int32_t south = 0;

    bool operator==(const WolfNumber&) const = default;
};

// A dark feature the search judged not to be a sunspot, where it lies (its darkest
// point, pixels) and why, in words: "sharper than the picture's blur".
struct RejectedFeature {
    double x = 0;
    double y = 0;
    std::string reason;

    bool operator==(const RejectedFeature&) const = default;
};

// A planet crossing the disk at the picture's instant, found where the ephemeris puts it:
// drawn and named, never counted as a spot.
struct PlanetTransit {
    std::string body; // "Mercury", "Venus"
    double x = 0;     // where it is seen, pixels
    double y = 0;
    double radius = 0; // its radius as the ephemeris gives it, pixels

    bool operator==(const PlanetTransit&) const = default;
};

// Everything found on one picture. With `error` set nothing was searched (no disk, a
// saturated or black disk, clouds over most of it) and the lists are empty.
struct SpotDetection {
    std::string error;
    std::vector<SpotGroup> groups;
    std::vector<DetectedSpot> spots;
    std::vector<SpotPatch> patches;
    // Named as a struct: the summary reader's WolfNumber() is a function of the same name.
    struct WolfNumber wolf;
    double quietSun = 0; // the quiet Sun's grey level at the disk centre
    std::vector<RejectedFeature> rejected;
    std::vector<PlanetTransit> transits;
    // The share of the disk's area that lies in the picture and was searched (the frame
    // may cut the disk; the band at the limb is left out), 0..1.
    double diskSeen = 0;
    // What the search measured of the picture: its blur (Gaussian sigma) and the width of
    // the band at the limb it left out, pixels; the quiet Sun's spread as a share of it.
    double blur = 0;
    double limbBand = 0;
    double noise = 0;

    bool operator==(const SpotDetection&) const = default;
};

// The spot a click at pixel (x, y) falls on: inside a patch's outline, the spot of that
// patch nearest to the click; nothing when the click misses every patch.
const DetectedSpot* SpotAtPixel(const SpotDetection& detection, double x, double y);

// The rejected feature nearest to (x, y) within `reach` pixels of it; nothing beyond.
const RejectedFeature* RejectedNear(const SpotDetection& detection, double x, double y,
                                    double reach);

// Whether (x, y) lies inside the closed outline (its border pixels included).
bool InsideOutline(const Outline& outline, double x, double y);

} // namespace zorva
