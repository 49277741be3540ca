#include "core/chart/label_placement.h"

#include <algorithm>
#include <array>

namespace zorva {

namespace {

LabelBox Moved(const LabelBox& b, const LabelShift& s) {
    return {b.left + s.dx, b.top + s.dy, b.width, b.height};
}

bool Clear(const LabelBox& box, std::size_t self, std::span<const LabelRequest> labels,
           std::span<const LabelBox> placed, std::span<const LabelBox> avoid) {
    for (const LabelBox& other : placed) {
        if (Overlap(box, other)) return false;
    }
    for (std::size_t j = 0; j < labels.size(); ++j) {
        if (j != self && Overlap(box, labels[j].mark)) return false;
    }
    return std::none_of(avoid.begin(), avoid.end(),
                        [&](const LabelBox& a) { return Overlap(box, a); });
}

} // namespace

bool Overlap(const LabelBox& a, const LabelBox& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

std::vector<LabelShift> PlaceLabels(std::span<const LabelRequest> labels,
                                    std::span<const LabelBox> avoid, double step, int rings) {
    // Right, left, above, below, then the diagonals: a label read beside its mark first.
    constexpr std::array<std::array<int, 2>, 8> kDirections = {
        {{1, 0}, {-1, 0}, {0, -1}, {0, 1}, {1, -1}, {-1, -1}, {1, 1}, {-1, 1}}};
    std::vector<LabelShift> shifts(labels.size());
    std::vector<LabelBox> placed;
    placed.reserve(labels.size());
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const LabelBox& own = labels[i].box;
        LabelShift chosen;
        bool found = Clear(own, i, labels, placed, avoid);
        for (int ring = 1; ring <= rings && !found; ++ring) {
            // Sideways a label must clear its own mark's width as well as the ring's reach.
            for (const auto& d : kDirections) {
                const LabelShift s{d[0] * (ring * step + (d[0] != 0 ? own.width / 2 : 0)),
                                   d[1] * ring * step};
                if (Clear(Moved(own, s), i, labels, placed, avoid)) {
                    chosen = s;
                    found = true;
                    break;
                }
            }
        }
        shifts[i] = chosen;
        placed.push_back(Moved(own, chosen));
    }
    return shifts;
}

void NearestOnBox(const LabelBox& box, double x, double y, double& nx, double& ny) {
    nx = std::clamp(x, box.left, box.left + box.width);
    ny = std::clamp(y, box.top, box.top + box.height);
}

} // namespace zorva
