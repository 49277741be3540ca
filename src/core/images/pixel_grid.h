#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

namespace zorva {

// A grey level g (0..255) as a packed 0x00BBGGRR colour word: g in each of the three bytes.
inline constexpr int32_t GreyToPacked = 0x010101; // 65793

// How the bytes of a picture hold its pixels: one grey byte per pixel, or one native
// 32-bit word 0xAARRGGBB per pixel (the alpha byte is ignored).
enum class PixelLayout : uint8_t { Grey8, Xrgb32 };

// A read-only view of a picture, pixel by pixel, as the limb search and the colour test
// read it: each pixel as a packed 0x00BBGGRR word, compared as a signed integer, and -1
// for a position outside the picture. The bytes belong to the caller and must outlive
// the view.
class PixelGrid {
  public:
    PixelGrid() = default;
    PixelGrid(const uint8_t* data, int32_t width, int32_t height, std::ptrdiff_t bytesPerLine,
              PixelLayout layout)
        : data_(data), width_(width < 0 ? 0 : width), height_(height < 0 ? 0 : height),
          bytesPerLine_(bytesPerLine), layout_(layout) {}

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    // The bytes themselves, for a reader that goes row by row rather than pixel by pixel.
    const uint8_t* Data() const { return data_; }
    std::ptrdiff_t BytesPerLine() const { return bytesPerLine_; }
    PixelLayout Layout() const { return layout_; }
    bool Contains(int32_t x, int32_t y) const {
        return x >= 0 && y >= 0 && x < width_ && y < height_;
    }

    int32_t At(int32_t x, int32_t y) const {
        if (!Contains(x, y)) return -1;
        const uint8_t* row = data_ + static_cast<std::ptrdiff_t>(y) * bytesPerLine_;
        if (layout_ == PixelLayout::Grey8) return row[x] * GreyToPacked;
        // Copied rather than loaded: the rows need not be aligned for a 32-bit load.
        uint32_t argb = 0;
        std::memcpy(&argb, row + static_cast<std::ptrdiff_t>(x) * 4, sizeof argb);
        const uint32_t r = (argb >> 16) & 0xFF;
        const uint32_t g = (argb >> 8) & 0xFF;
        const uint32_t b = argb & 0xFF;
        return static_cast<int32_t>(r | (g << 8) | (b << 16));
    }

  private:
    const uint8_t* data_ = nullptr;
    int32_t width_ = 0;
    int32_t height_ = 0;
    std::ptrdiff_t bytesPerLine_ = 0;
    PixelLayout layout_ = PixelLayout::Grey8;
};

// A picture's pixels, held: the bytes are shared and never changed, kept alive by `holder`
// (an image of the drawing library's, which only the layer that made it looks into) and
// read through `grid` where a search reads them.
struct HeldPixels {
    std::shared_ptr<const void> holder;
    PixelGrid grid;

    bool Empty() const { return !holder; }
    bool operator==(const HeldPixels& other) const { return holder == other.holder; }
};

// The pixels of an opened picture: as it is shown, and the grey picture the limb search
// and the spot search read.
struct PictureImages {
    HeldPixels shown;
    HeldPixels searched;

    bool operator==(const PictureImages&) const = default;
};

// The red, green and blue bytes of a packed word.
inline int32_t PackedRed(int32_t v) {
    return v & 0xFF;
}
inline int32_t PackedGreen(int32_t v) {
    return (v >> 8) & 0xFF;
}
inline int32_t PackedBlue(int32_t v) {
    return (v >> 16) & 0xFF;
}

// The grey level at a point between pixel centres, interpolated from the four around it,
// on a grey picture (red, green and blue equal). False, and nothing written, when any of
// them lies outside the picture.
inline bool GreyBetween(const PixelGrid& grid, double x, double y, double& out) {
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    if (!(fx >= 0 && fy >= 0 && fx + 1 < grid.Width() && fy + 1 < grid.Height())) return false;
    const auto x0 = static_cast<int32_t>(fx);
    const auto y0 = static_cast<int32_t>(fy);
    const double ax = x - fx;
    const double ay = y - fy;
    auto level = [&](int32_t px, int32_t py) { return PackedRed(grid.At(px, py)); };
    const double top = level(x0, y0) * (1 - ax) + level(x0 + 1, y0) * ax;
    const double bottom = level(x0, y0 + 1) * (1 - ax) + level(x0 + 1, y0 + 1) * ax;
    out = top * (1 - ay) + bottom * ay;
    return true;
}

} // namespace zorva
