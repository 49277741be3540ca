#pragma once

// A white-light picture of the Sun made from first principles, for the spot search's tests
// and benchmarks: a disk in orthographic projection with solar north up and east to the
// left, limb darkening I(mu) = 1 - u (1 - mu), a brightness gradient across the frame, spots
// as circles on the sphere (an umbra inside a penumbra, each of a known angular radius),
// anti-aliased by sampling each pixel 4 x 4 times, then blurred and given noise. Nothing in
// it comes from the program: the area of a spot of angular radius a is exactly
// 10^6 (1 - cos a) millionths of the hemisphere.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace zorva::test {

struct SyntheticSpot {
    double latitude = 0;        // degrees
    double centralDistance = 0; // degrees west of the central meridian
    double penumbraRadius = 1;  // degrees on the sphere
    double umbraRadius = 0.4;
    double penumbraLevel = 0.8; // of the quiet Sun
    double umbraLevel = 0.35;
};

// The exact area of a circle of angular radius a on the sphere, millionths of the hemisphere.
inline double CapAreaMsh(double radiusDegrees) {
    constexpr double kPi = 3.141592653589793;
    return 1e6 * (1 - std::cos(radiusDegrees * kPi / 180));
}
// The angular radius of a circle of the given area.
inline double CapRadius(double areaMsh) {
    constexpr double kPi = 3.141592653589793;
    return std::acos(1 - areaMsh / 1e6) * 180 / kPi;
}

struct SyntheticSun {
    int32_t width = 1024;
    int32_t height = 1024;
    double cx = 511.5;
    double cy = 511.5;
    double r = 480;
    double b0 = 0;       // heliographic latitude of the disk centre, degrees
    double centre = 210; // grey level of the quiet Sun at the disk centre
    double sky = 12;     // grey level beyond the limb: the camera's offset, over the whole picture
    double limbDarkening = 0.6; // u
    double gradient = 0.08;     // brightness gained from the left edge of the disk to the right
    double blur = 0.7;          // Gaussian sigma, pixels
    double noise = 0.01;        // sigma, in units of the quiet Sun at the centre
    uint32_t seed = 1;
    std::vector<SyntheticSpot> spots;
    // Light lost towards the edge of the field, as in a photograph: the brightness times
    // 1 - vignetting (d / r)^2, d the distance from the optical axis at (axisX, axisY).
    double vignetting = 0;
    double axisX = 0;
    double axisY = 0;
    // A ring round the disk from its limb out to ringWidth pixels beyond, at ringLevel
    // times the disk centre's level (as a rendering that frames the disk draws it).
    double ringWidth = 0;
    double ringLevel = 0;
    // Round dark discs in front of the disk (a planet in transit), blurred with it: centre
    // and radius in pixels, and the share of the light they let through.
    struct Disc {
        double x = 0, y = 0, radius = 0, level = 0;
    };
    std::vector<Disc> discs;

    // 8-bit grey, row 0 at the top, width bytes a row.
    std::vector<uint8_t> Render() const {
        constexpr double kPi = 3.141592653589793;
        constexpr int kSub = 4;
        const double sinB = std::sin(b0 * kPi / 180), cosB = std::cos(b0 * kPi / 180);
        // Each spot's centre as a unit vector: x west, y north, z towards the observer.
        struct Centre {
            double x, y, z, cosPen, cosUmb, pen, umb;
        };
        std::vector<Centre> centres;
        for (const SyntheticSpot& s : spots) {
            const double lat = s.latitude * kPi / 180, lon = s.centralDistance * kPi / 180;
            // On the Sun's own axes, then tipped by B0 towards the observer.
            const double xs = std::cos(lat) * std::sin(lon);
            const double ys = std::sin(lat);
            const double zs = std::cos(lat) * std::cos(lon);
            centres.push_back({xs, ys * cosB - zs * sinB, ys * sinB + zs * cosB,
                               std::cos(s.penumbraRadius * kPi / 180),
                               std::cos(s.umbraRadius * kPi / 180), s.penumbraLevel, s.umbraLevel});
        }
        std::vector<double> image(static_cast<std::size_t>(width) * height, sky);
        for (int32_t py = 0; py < height; ++py) {
            for (int32_t px = 0; px < width; ++px) {
                double sum = 0;
                for (int sy = 0; sy < kSub; ++sy) {
                    for (int sx = 0; sx < kSub; ++sx) {
                        const double x = (px - 0.5 + (sx + 0.5) / kSub - cx) / r;
                        const double y = -(py - 0.5 + (sy + 0.5) / kSub - cy) / r;
                        const double rho2 = x * x + y * y;
                        const double vx = px - 0.5 + (sx + 0.5) / kSub - axisX;
                        const double vy = py - 0.5 + (sy + 0.5) / kSub - axisY;
                        const double vignette = 1 - vignetting * (vx * vx + vy * vy) / (r * r);
                        if (rho2 >= 1) {
                            const double beyond = (std::sqrt(rho2) - 1) * r;
                            sum += sky + (beyond < ringWidth ? centre * ringLevel * vignette : 0);
                            continue;
                        }
                        bool covered = false;
                        for (const Disc& d : discs) {
                            const double dx = px - 0.5 + (sx + 0.5) / kSub - d.x;
                            const double dy = py - 0.5 + (sy + 0.5) / kSub - d.y;
                            if (dx * dx + dy * dy < d.radius * d.radius) {
                                sum += sky + centre * d.level;
                                covered = true;
                                break;
                            }
                        }
                        if (covered) continue;
                        // East is to the left, so the picture's x is the Sun's west.
                        const double z = std::sqrt(1 - rho2);
                        double level = centre * (1 - limbDarkening * (1 - z)) *
                                       (1 + gradient * x / 2) * vignette;
                        for (const Centre& c : centres) {
                            const double cosine = x * c.x + y * c.y + z * c.z;
                            if (cosine >= c.cosUmb) {
                                level *= c.umb;
                                break;
                            }
                            if (cosine >= c.cosPen) {
                                level *= c.pen;
                                break;
                            }
                        }
                        sum += sky + level;
                    }
                }
                image[static_cast<std::size_t>(py) * width + px] = sum / (kSub * kSub);
            }
        }
        if (blur > 0) Blur(image);
        std::vector<uint8_t> out(image.size());
        uint64_t state = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        const auto uniform = [&state] {
            state = state * 6364136223846793005ULL + 1442695040888963407ULL;
            return ((state >> 11) + 0.5) / 9007199254740992.0;
        };
        for (std::size_t i = 0; i < image.size(); ++i) {
            // Box-Muller.
            const double g = std::sqrt(-2 * std::log(uniform())) * std::cos(2 * kPi * uniform());
            const double v = image[i] + g * noise * centre;
            out[i] = static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L));
        }
        return out;
    }

    // The same picture in colour, as 32-bit words 0xFFRRGGBB (the layout of a colour
    // picture's pixels in memory, little-endian), each channel the grey level times its
    // share (an orange solar filter passes red, some green, little blue), each with noise
    // of its own.
    std::vector<uint32_t> RenderColour(double red, double green, double blue) const {
        SyntheticSun channel = *this;
        std::vector<uint32_t> out(static_cast<std::size_t>(width) * height, 0xFF000000U);
        const double shares[3] = {red, green, blue};
        for (int c = 0; c < 3; ++c) {
            channel.centre = centre * shares[c];
            channel.sky = sky * shares[c];
            channel.seed = seed * 3 + static_cast<uint32_t>(c);
            const std::vector<uint8_t> plane = channel.Render();
            for (std::size_t i = 0; i < out.size(); ++i)
                out[i] |= static_cast<uint32_t>(plane[i]) << (16 - 8 * c);
        }
        return out;
    }

  private:
    void Blur(std::vector<double>& image) const {
        const int radius = static_cast<int>(std::ceil(3 * blur));
        std::vector<double> kernel(static_cast<std::size_t>(2 * radius + 1));
        double total = 0;
        for (int i = -radius; i <= radius; ++i) {
            kernel[static_cast<std::size_t>(i + radius)] = std::exp(-i * i / (2 * blur * blur));
            total += kernel[static_cast<std::size_t>(i + radius)];
        }
        for (double& k : kernel)
            k /= total;
        std::vector<double> pass(image.size());
        const auto at = [&](const std::vector<double>& from, int x, int y) {
            x = std::clamp(x, 0, width - 1);
            y = std::clamp(y, 0, height - 1);
            return from[static_cast<std::size_t>(y) * width + x];
        };
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                double v = 0;
                for (int i = -radius; i <= radius; ++i)
                    v += kernel[static_cast<std::size_t>(i + radius)] * at(image, x + i, y);
                pass[static_cast<std::size_t>(y) * width + x] = v;
            }
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                double v = 0;
                for (int i = -radius; i <= radius; ++i)
                    v += kernel[static_cast<std::size_t>(i + radius)] * at(pass, x, y + i);
                image[static_cast<std::size_t>(y) * width + x] = v;
            }
    }
};

} // namespace zorva::test
