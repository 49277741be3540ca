#pragma once

#include <optional>
#include <span>
#include <vector>

#include "core/images/circle_fit.h"

namespace zorva {

// A point on a picture in its own pixels, fractions allowed: (0, 0) is the middle of the
// top-left pixel.
struct PicturePoint {
    double x = 0;
    double y = 0;

    bool operator==(const PicturePoint&) const = default;
};

// The least-squares circle through three or more points: the algebraic fit (which is
// exact for points on a circle) refined by Gauss-Newton steps on the points' distances
// from the circle. Nothing for fewer than three points, points in a line, or coincident
// ones.
std::optional<Circle> FitCircleThrough(std::span<const PicturePoint> points);

// A disk being given by hand on a picture. The user either presses at the disk's centre
// and drags out to the limb, or clicks points on the limb, a circle being fitted through
// them from the third on; then the circle may be moved and resized before it is taken.
struct HandDiskDraft {
    std::vector<PicturePoint> points; // limb points clicked, oldest first
    std::optional<Circle> circle;     // the circle so far
    // While the button is down: where it went down, and how far the pointer may move before
    // the press is a drag rather than a click (picture pixels: the screen's drag distance at
    // the zoom shown).
    std::optional<PicturePoint> press;
    double clickReach = 0;
    bool dragging = false;

    bool operator==(const HandDiskDraft&) const = default;
};

// What became of a release: nothing yet (a click with fewer than three points), a circle
// dragged, a circle fitted through the points, or points that fit no circle.
enum class HandDiskStep { None, Point, Dragged, Fitted, NoFit };

void PressHandDisk(HandDiskDraft& draft, PicturePoint at, double clickReach);
// The pointer moved with the button down: past the click's reach the press becomes a drag,
// and the circle follows, centred where the press was, its radius out to the pointer.
void DragHandDisk(HandDiskDraft& draft, PicturePoint to);
// The button came up: a drag leaves its circle (and forgets the clicked points, which it
// replaces); a click adds a limb point and, from the third on, fits the circle.
HandDiskStep ReleaseHandDisk(HandDiskDraft& draft, PicturePoint at);
// The circle moved by (dx, dy) and its radius changed by dr, in picture pixels; the radius
// never below zero.
void NudgeHandDisk(HandDiskDraft& draft, double dx, double dy, double dr);

} // namespace zorva
