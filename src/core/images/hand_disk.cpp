// The disk given by hand: the circle through clicked limb points, and the draft the user
// drags, clicks and nudges until it is taken.
#include "core/images/hand_disk.h"

#include <algorithm>
#include <cmath>

namespace zorva {

namespace {

constexpr std::size_t kPointsForACircle = 3;
// Gauss-Newton steps after the algebraic fit: it lands close, and each step then roughly
// squares the error, so a few do; a correction this small (pixels) ends them.
constexpr int kRefineSteps = 50;
constexpr double kSettled = 1e-9;

bool Finite(const Circle& c) {
    return std::isfinite(c.cx) && std::isfinite(c.cy) && std::isfinite(c.r);
}

// x^2 + y^2 + D x + E y + F = 0 in the least-squares sense, about the points' mean so the
// sums stay well scaled on a large picture.
std::optional<Circle> AlgebraicFit(std::span<const PicturePoint> points) {
    double mx = 0, my = 0;
    for (const PicturePoint& p : points) {
        mx += p.x;
        my += p.y;
    }
    const auto n = static_cast<double>(points.size());
    mx /= n;
    my /= n;
    Matrix3 normal{};
    Vector3 rhs{};
    for (const PicturePoint& p : points) {
        const double x = p.x - mx;
        const double y = p.y - my;
        const std::array<double, 3> row{x, y, 1};
        const double z = -(x * x + y * y);
        for (std::size_t i = 0; i < 3; ++i) {
            for (std::size_t j = 0; j < 3; ++j)
                normal[i * 3 + j] += row[i] * row[j];
            rhs[i] += row[i] * z;
        }
    }
    Matrix3 inverse{};
    if (!Invert3x3(normal, inverse)) return std::nullopt;
    const Vector3 def = Multiply3x3ByVector(inverse, rhs);
    const double a = -def[0] / 2;
    const double b = -def[1] / 2;
    const double r2 = a * a + b * b - def[2];
    if (!(r2 > 0)) return std::nullopt;
    const Circle c{a + mx, b + my, std::sqrt(r2)};
    if (!Finite(c)) return std::nullopt;
    return c;
}

// Gauss-Newton on the distances of the points from the circle.
Circle Refine(std::span<const PicturePoint> points, Circle c) {
    for (int step = 0; step < kRefineSteps; ++step) {
        Matrix3 normal{};
        Vector3 rhs{};
        for (const PicturePoint& p : points) {
            const double dx = p.x - c.cx;
            const double dy = p.y - c.cy;
            const double d = std::hypot(dx, dy);
            if (d == 0) continue; // a point at the centre gives no direction
            const std::array<double, 3> j{-dx / d, -dy / d, -1};
            const double residual = d - c.r;
            for (std::size_t i = 0; i < 3; ++i) {
                for (std::size_t k = 0; k < 3; ++k)
                    normal[i * 3 + k] += j[i] * j[k];
                rhs[i] -= j[i] * residual;
            }
        }
        Matrix3 inverse{};
        if (!Invert3x3(normal, inverse)) return c;
        const Vector3 delta = Multiply3x3ByVector(inverse, rhs);
        const Circle next{c.cx + delta[0], c.cy + delta[1], c.r + delta[2]};
        if (!Finite(next) || !(next.r > 0)) return c;
        c = next;
        if (std::abs(delta[0]) + std::abs(delta[1]) + std::abs(delta[2]) < kSettled) break;
    }
    return c;
}

} // namespace

std::optional<Circle> FitCircleThrough(std::span<const PicturePoint> points) {
    if (points.size() < kPointsForACircle) return std::nullopt;
    const std::optional<Circle> first = AlgebraicFit(points);
    if (!first) return std::nullopt;
    return Refine(points, *first);
}

void PressHandDisk(HandDiskDraft& draft, PicturePoint at, double clickReach) {
    draft.press = at;
    draft.clickReach = std::max(0.0, clickReach);
    draft.dragging = false;
}

void DragHandDisk(HandDiskDraft& draft, PicturePoint to) {
    if (!draft.press) return;
    const double r = std::hypot(to.x - draft.press->x, to.y - draft.press->y);
    if (!draft.dragging && r <= draft.clickReach) return;
    draft.dragging = true;
    draft.circle = Circle{draft.press->x, draft.press->y, r};
}

HandDiskStep ReleaseHandDisk(HandDiskDraft& draft, PicturePoint at) {
    if (!draft.press) return HandDiskStep::None;
    DragHandDisk(draft, at);
    const bool dragged = draft.dragging;
    draft.press.reset();
    draft.dragging = false;
    if (dragged) {
        draft.points.clear();
        return HandDiskStep::Dragged;
    }
    draft.points.push_back(at);
    if (draft.points.size() < kPointsForACircle) return HandDiskStep::Point;
    const std::optional<Circle> fitted = FitCircleThrough(draft.points);
    if (!fitted) return HandDiskStep::NoFit;
    draft.circle = fitted;
    return HandDiskStep::Fitted;
}

void NudgeHandDisk(HandDiskDraft& draft, double dx, double dy, double dr) {
    if (!draft.circle) return;
    draft.circle->cx += dx;
    draft.circle->cy += dy;
    draft.circle->r = std::max(0.0, draft.circle->r + dr);
}

} // namespace zorva
