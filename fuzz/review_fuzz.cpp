// Feeds arbitrary bytes to the reader of the reviewed counts kept beside pictures, as the
// file of one picture, then does with a review it accepts what the program does: tells its
// count, writes it again and reads that back, undoes every edit and redoes them, and gives
// it commands the bytes choose. Nothing may read outside what it holds, every count must
// stay consistent, and what is written must read back to the same review.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/spots/review_file.h"
#include "core/spots/spot_review.h"

namespace {

using namespace zorva;

void Check(bool ok) {
    if (!ok) std::abort();
}

// The picture the fuzzed files are read against, which the seeds name.
constexpr ReviewedPicture kPicture{600, 600, 0x5eed5eed5eed5eedULL};

void CheckCount(const SpotDetection& d) {
    Check(d.wolf.groups == static_cast<int32_t>(d.groups.size()));
    Check(d.wolf.spots == static_cast<int32_t>(d.spots.size()));
    Check(d.wolf.total == 10 * d.wolf.groups + d.wolf.spots);
    Check(d.wolf.north + d.wolf.south == d.wolf.total);
    int32_t spots = 0;
    for (std::size_t g = 0; g < d.groups.size(); ++g) {
        const SpotGroup& group = d.groups[g];
        Check(group.id == static_cast<int32_t>(g + 1));
        Check(std::isfinite(group.latitude) && std::isfinite(group.longitude) &&
              std::isfinite(group.x) && std::isfinite(group.y) && std::isfinite(group.areaMsh) &&
              std::isfinite(group.extent));
        spots += group.spots;
    }
    Check(spots == d.wolf.spots);
    for (std::size_t k = 0; k < d.spots.size(); ++k) {
        const DetectedSpot& s = d.spots[k];
        Check(s.id == static_cast<int32_t>(k + 1));
        Check(s.group >= 1 && s.group <= d.wolf.groups);
        Check(s.patch >= -1 && s.patch < static_cast<int32_t>(d.patches.size()));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ReviewRead read = ReadReviewText(text, kPicture);
    if (!read.review) {
        Check(!read.problem.empty());
        return 0;
    }
    const SpotReview& review = *read.review;
    CheckCount(review.Result());

    // Written again, it reads back to the same review.
    const ReviewRead back =
        ReadReviewText(ReviewFileText(review, kPicture, read.instant), kPicture);
    Check(back.review.has_value());
    Check(back.review->Result() == review.Result());
    Check(back.review->Edits() == review.Edits());
    Check(back.instant == read.instant);

    // Every edit undone gives what was found; redone, the review again.
    SpotReview undo = review;
    while (undo.Undo()) {
    }
    Check(undo.Result() ==
          SpotReview(review.Found(), review.Frame(), review.EphemerisOfPicture()).Result());
    while (undo.Redo()) {
    }
    Check(undo.Result() == review.Result());

    // Commands the last bytes choose, each leaving a consistent count.
    SpotReview commanded = review;
    const std::size_t tail = std::min<std::size_t>(size, 16);
    for (std::size_t i = size - tail; i + 1 < size; i += 2) {
        const int32_t a = data[i] % 8, b = data[i + 1] % 8;
        const std::vector<int32_t> one = {b};
        switch (data[i] / 32) {
        case 0:
            commanded.RemoveSpot(a);
            break;
        case 1:
            commanded.RemoveGroup(a);
            break;
        case 2:
            commanded.MergeGroups(a, b);
            break;
        case 3:
            commanded.SplitGroup(a, one);
            break;
        case 4:
            commanded.NumberGroup(a, data[i + 1] * 50);
            break;
        case 5:
            commanded.MarkSpotless();
            break;
        case 6:
            commanded.Undo();
            break;
        default:
            commanded.Redo();
            break;
        }
        CheckCount(commanded.Result());
    }
    return 0;
}
