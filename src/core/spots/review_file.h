#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/ephemeris/calendar.h"
#include "core/images/pixel_grid.h"
#include "core/spots/spot_review.h"

namespace zorva {

// A reviewed count is kept beside its picture, in PICTURE.spots.json: JSON with the format's
// name and version, the picture's size and a fingerprint of its pixels, the disk's frame and
// the ephemeris the places were measured in, the picture's instant, what the search found,
// the edits in force, and the reviewed count (which a reader need not believe: it is made
// again from what was found and the edits).
inline constexpr std::string_view ReviewFormatName = "zorva spot review";
inline constexpr int32_t ReviewFormatVersion = 1;
// Larger files are no review (a review of thousands of spots is a few megabytes).
inline constexpr std::size_t LargestReviewFile = 64 * 1024 * 1024;

// "PICTURE.spots.json" for "PICTURE" (the whole name, extension and all).
std::filesystem::path ReviewPathFor(const std::filesystem::path& picture);

// The picture a review belongs to: its size and a 64-bit fingerprint of its pixels (FNV-1a
// over the layout and every byte of every row), which another picture of the same size
// does not share.
struct ReviewedPicture {
    int32_t width = 0;
    int32_t height = 0;
    uint64_t fingerprint = 0;

    bool operator==(const ReviewedPicture&) const = default;
};
ReviewedPicture IdentifyPicture(const PixelGrid& picture);

// The review as the file holds it.
std::string ReviewFileText(const SpotReview& review, const ReviewedPicture& picture,
                           const std::optional<Instant>& instant);

// What reading a review gives: the review, or why it was set aside ("the review is of
// another picture", "line 3: ...", "the review was written by a later version of the
// program") and nothing applied.
struct ReviewRead {
    std::optional<SpotReview> review;
    std::optional<Instant> instant;
    std::string problem;
};
ReviewRead ReadReviewText(std::string_view text, const ReviewedPicture& picture);

// The review kept beside `picture`, whose pixels are `pixels`: none without a file (and no
// problem), else as ReadReviewText says. The file is only read.
ReviewRead LoadReview(const std::filesystem::path& picture, const PixelGrid& pixels);

// Keeps the review beside the picture, replacing the file whole or not at all. A file
// there that is no review of this picture (damaged, another picture's, a later version's) is
// not overwritten: it is first moved aside to PICTURE.spots.json.set-aside (or .set-aside-2
// and on), which `note` then says. False with `error` when nothing could be written.
bool SaveReview(const std::filesystem::path& picture, const PixelGrid& pixels,
                const SpotReview& review, const std::optional<Instant>& instant,
                std::string* note = nullptr, std::string* error = nullptr);

} // namespace zorva
