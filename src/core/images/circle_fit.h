#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace zorva {

// The small linear algebra of the circle fit, on row-major arrays of doubles.
using Matrix3 = std::array<double, 9>;
using Vector3 = std::array<double, 3>;

// n x 3 into 3 x n.
void TransposeNx3(std::span<const double> a, std::size_t n, std::span<double> out);
// (3 x n) (n x 3) into 3 x 3.
Matrix3 Multiply3xNByNx3(std::span<const double> a, std::span<const double> b, std::size_t n);
// (3 x n) times an n-vector.
Vector3 Multiply3xNByVector(std::span<const double> a, std::span<const double> v, std::size_t n);
Vector3 Multiply3x3ByVector(const Matrix3& m, const Vector3& v);
// The inverse by cofactors: the adjugate divided by the determinant. False, and nothing
// written, when the determinant is zero or not a finite number.
bool Invert3x3(const Matrix3& m, Matrix3& inverse);

// A circle in pixels.
struct Circle {
    double cx = 0;
    double cy = 0;
    double r = 0;

    bool operator==(const Circle&) const = default;
};

// The limb points the fit may use: ray i takes part when flag[i] is LimbPointAccepted.
inline constexpr std::size_t LimbRays = 360;
inline constexpr int32_t LimbPointAccepted = 2;
struct LimbPoints {
    std::array<int32_t, LimbRays> x{};
    std::array<int32_t, LimbRays> y{};
    std::array<int32_t, LimbRays> flag{};

    bool operator==(const LimbPoints&) const = default;
};

// Limb points in fractions of a pixel, as the sub-pixel refinement finds them.
struct SubPixelPoints {
    std::array<double, LimbRays> x{};
    std::array<double, LimbRays> y{};
    std::array<int32_t, LimbRays> flag{};
};

// How one fit ended.
struct FitOutcome {
    int32_t points = 0; // accepted points the last iteration used
    int32_t iterations = 0;
    // The circle is not settled: the iterations ran out, fewer than three distinct points
    // were given, or the normal equations had no solution. The circle is then the last
    // one reached with finite numbers.
    bool failed = false;
};

// Least-squares circle through the accepted points, by Gauss-Newton iterations from
// `circle` until no correction exceeds half a pixel (at most 1000 iterations). A point
// at the current centre gives no direction and sits that iteration out.
FitOutcome GaussNewtonFit(const LimbPoints& points, Circle& circle);
// The same fit through sub-pixel points, iterated until no correction exceeds `settle`.
FitOutcome GaussNewtonFit(const SubPixelPoints& points, Circle& circle, double settle);

} // namespace zorva
