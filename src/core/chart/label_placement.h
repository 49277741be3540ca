#pragma once

#include <span>
#include <vector>

namespace zorva {

// A rectangle on the drawing, pixels: left, top, width and height.
struct LabelBox {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;

    bool operator==(const LabelBox&) const = default;
};

// True when the two boxes share more than an edge.
bool Overlap(const LabelBox& a, const LabelBox& b);

// A label to place: the point it belongs to (a region's cross), the box it takes in its
// own place, and the box of the mark at the point, which no other label may cover.
struct LabelRequest {
    double x = 0;
    double y = 0;
    LabelBox box;
    LabelBox mark;
};

// Where a label went: how far its box moved from its own place (0, 0 when it stays).
struct LabelShift {
    double dx = 0;
    double dy = 0;

    bool operator==(const LabelShift&) const = default;
};

// The labels placed one after another so that none covers another label, another's mark
// or anything in `avoid` (outlines drawn beneath). A label stays in its own place when that
// is clear; else it goes to the nearest clear place of rings `step` apart round it, tried
// right, left, above, below and then on the diagonals, as far as `rings` steps; where none
// is clear it stays, and the ones after it keep clear of it all the same.
std::vector<LabelShift> PlaceLabels(std::span<const LabelRequest> labels,
                                    std::span<const LabelBox> avoid, double step, int rings);

// The point of a box nearest to (x, y): where a line from a moved label's mark meets it.
void NearestOnBox(const LabelBox& box, double x, double y, double& nx, double& ny);

} // namespace zorva
