// Labels placed so that none covers another, another's mark or an outline.
#include "core/chart/label_placement.h"

#include <gtest/gtest.h>

namespace zorva {
namespace {

// A label 40 by 30 centred over its point, with a 5-pixel mark at the point.
LabelRequest At(double x, double y) {
    return {x, y, {x - 20, y - 15, 40, 30}, {x - 2, y - 2, 5, 5}};
}

LabelBox Placed(const LabelRequest& r, const LabelShift& s) {
    return {r.box.left + s.dx, r.box.top + s.dy, r.box.width, r.box.height};
}

TEST(LabelPlacement, CrowdedLabelsMoveApartAndClearMarksAndOutlines) {
    struct Case {
        const char* what;
        std::vector<LabelRequest> labels;
        std::vector<LabelBox> avoid;
    };
    const std::vector<Case> cases = {
        {"two regions 10 pixels apart", {At(100, 100), At(110, 100)}, {}},
        {"a clump of four", {At(100, 100), At(108, 104), At(96, 110), At(104, 92)}, {}},
        {"a label over an outline", {At(100, 100)}, {{90, 90, 30, 20}}},
    };
    for (const Case& c : cases) {
        const std::vector<LabelShift> shifts = PlaceLabels(c.labels, c.avoid, 7, 12);
        ASSERT_EQ(shifts.size(), c.labels.size()) << c.what;
        for (std::size_t i = 0; i < c.labels.size(); ++i) {
            const LabelBox mine = Placed(c.labels[i], shifts[i]);
            for (const LabelBox& a : c.avoid)
                EXPECT_FALSE(Overlap(mine, a)) << c.what;
            for (std::size_t j = 0; j < c.labels.size(); ++j) {
                if (j == i) continue;
                EXPECT_FALSE(Overlap(mine, Placed(c.labels[j], shifts[j]))) << c.what << i << j;
                EXPECT_FALSE(Overlap(mine, c.labels[j].mark)) << c.what << i << j;
            }
        }
    }
}

TEST(LabelPlacement, AClearLabelStaysAndAPairSpreadsApart) {
    const std::vector<LabelRequest> apart = {At(100, 100), At(300, 100)};
    EXPECT_EQ(PlaceLabels(apart, {}, 7, 12), (std::vector<LabelShift>{{}, {}}));
    // Sideways a label moves by half its width (20) and a step (7) a ring. The first box,
    // 80..120, covers the second's cross at 108..113: ring 1 to the right (107..147) still
    // does, to the left (53..93) it is clear. The second box, 90..130, overlaps that, and
    // ring 1 to the right (117..157) clears it and the first cross (98..103).
    const std::vector<LabelRequest> close = {At(100, 100), At(110, 100)};
    EXPECT_EQ(PlaceLabels(close, {}, 7, 12), (std::vector<LabelShift>{{-27, 0}, {27, 0}}));
    // Boxes touching at an edge do not overlap.
    EXPECT_FALSE(Overlap({0, 0, 10, 10}, {10, 0, 10, 10}));
    EXPECT_TRUE(Overlap({0, 0, 10, 10}, {9.5, 9.5, 10, 10}));
}

} // namespace
} // namespace zorva
