#include "core/images/circle_fit.h"

#include <cmath>
#include <set>
#include <utility>

namespace zorva {

namespace {

constexpr double kSettled = 0.5;    // pixels: a correction this small ends the iterations
constexpr double kNotStarted = 999; // the corrections before the first iteration
constexpr int32_t kMaxIterations = 1000;
constexpr std::size_t kUnknowns = 3; // centre x, centre y, radius
constexpr int32_t kPointsForACircle = 3;

bool AllFinite(const Vector3& v) {
    return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}

template <typename Points> int32_t DistinctPoints(const Points& pts) {
    using Coordinate = typename decltype(Points::x)::value_type;
    std::set<std::pair<Coordinate, Coordinate>> seen;
    for (std::size_t i = 0; i < LimbRays; ++i) {
        if (pts.flag[i] == LimbPointAccepted) seen.emplace(pts.x[i], pts.y[i]);
        if (seen.size() >= kPointsForACircle) break;
    }
    return static_cast<int32_t>(seen.size());
}

} // namespace

void TransposeNx3(std::span<const double> a, std::size_t n, std::span<double> out) {
    for (std::size_t row = 0; row < n; ++row) {
        for (std::size_t col = 0; col < kUnknowns; ++col)
            out[col * n + row] = a[row * kUnknowns + col];
    }
}

Matrix3 Multiply3xNByNx3(std::span<const double> a, std::span<const double> b, std::size_t n) {
    Matrix3 m{};
    for (std::size_t i = 0; i < kUnknowns; ++i) {
        for (std::size_t j = 0; j < kUnknowns; ++j) {
            double sum = 0;
            for (std::size_t k = 0; k < n; ++k)
                sum += a[i * n + k] * b[k * kUnknowns + j];
            m[i * kUnknowns + j] = sum;
        }
    }
    return m;
}

Vector3 Multiply3xNByVector(std::span<const double> a, std::span<const double> v, std::size_t n) {
    Vector3 out{};
    for (std::size_t i = 0; i < kUnknowns; ++i) {
        double sum = 0;
        for (std::size_t k = 0; k < n; ++k)
            sum += a[i * n + k] * v[k];
        out[i] = sum;
    }
    return out;
}

Vector3 Multiply3x3ByVector(const Matrix3& m, const Vector3& v) {
    return {m[0] * v[0] + m[1] * v[1] + m[2] * v[2], m[3] * v[0] + m[4] * v[1] + m[5] * v[2],
            m[6] * v[0] + m[7] * v[1] + m[8] * v[2]};
}

bool Invert3x3(const Matrix3& m, Matrix3& inverse) {
    const double a = m[0], b = m[1], c = m[2];
    const double d = m[3], e = m[4], f = m[5];
    const double g = m[6], h = m[7], k = m[8];
    // Cofactors of the first row give the determinant.
    const double c00 = e * k - f * h;
    const double c01 = -(d * k - f * g);
    const double c02 = d * h - e * g;
    const double det = a * c00 + b * c01 + c * c02;
    if (det == 0 || !std::isfinite(det)) return false;
    // The adjugate is the transposed cofactor matrix.
    const Matrix3 adj = {c00, -(b * k - c * h), b * f - c * e, c01, a * k - c * g, -(a * f - c * d),
                         c02, -(a * h - b * g), a * e - b * d};
    for (std::size_t i = 0; i < adj.size(); ++i)
        inverse[i] = adj[i] / det;
    return true;
}

namespace {

template <typename Points> FitOutcome Fit(const Points& pts, Circle& circle, double settle) {
    FitOutcome outcome;
    std::array<double, LimbRays * kUnknowns> jacobian{};
    std::array<double, LimbRays * kUnknowns> transposed{};
    std::array<double, LimbRays> residuals{};
    Vector3 step = {kNotStarted, kNotStarted, kNotStarted};
    const bool enoughPoints = DistinctPoints(pts) >= kPointsForACircle;
    auto unsettled = [&] {
        return std::fabs(step[0]) > settle || std::fabs(step[1]) > settle ||
               std::fabs(step[2]) > settle;
    };
    while (unsettled() && outcome.iterations < kMaxIterations) {
        ++outcome.iterations;
        std::size_t n = 0;
        int32_t accepted = 0;
        for (std::size_t i = 0; i < LimbRays; ++i) {
            if (pts.flag[i] != LimbPointAccepted) continue;
            ++accepted;
            const double dx = pts.x[i] - circle.cx;
            const double dy = pts.y[i] - circle.cy;
            const double d = std::sqrt(dx * dx + dy * dy);
            if (d == 0) continue;
            jacobian[n * kUnknowns] = (circle.cx - pts.x[i]) / d;
            jacobian[n * kUnknowns + 1] = (circle.cy - pts.y[i]) / d;
            jacobian[n * kUnknowns + 2] = -1;
            residuals[n] = circle.r - d;
            ++n;
        }
        outcome.points = accepted;
        if (accepted == 0) {
            step = {0, 0, 0};
            break;
        }
        Matrix3 inverse{};
        if (!enoughPoints) {
            outcome.failed = true;
            break;
        }
        TransposeNx3(jacobian, n, transposed);
        if (!Invert3x3(Multiply3xNByNx3(transposed, jacobian, n), inverse)) {
            outcome.failed = true;
            break;
        }
        step = Multiply3x3ByVector(inverse, Multiply3xNByVector(transposed, residuals, n));
        const Circle next = {circle.cx + step[0], circle.cy + step[1], circle.r + step[2]};
        if (!AllFinite(step) || !std::isfinite(next.cx) || !std::isfinite(next.cy) ||
            !std::isfinite(next.r)) {
            outcome.failed = true;
            break;
        }
        circle = next;
    }
    if (unsettled() && outcome.iterations >= kMaxIterations) outcome.failed = true;
    return outcome;
}

} // namespace

FitOutcome GaussNewtonFit(const LimbPoints& pts, Circle& circle) {
    return Fit(pts, circle, kSettled);
}

FitOutcome GaussNewtonFit(const SubPixelPoints& pts, Circle& circle, double settle) {
    return Fit(pts, circle, settle);
}

} // namespace zorva
