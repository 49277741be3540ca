#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/images/fits_header.h"

namespace zorva {

// Whether a file name has one of the FITS extensions: .fits, .fit, .fts, each also
// gzipped (.fits.gz), and the tile-compressed .fz (.fits.fz). Any case.
bool IsFitsFileName(std::string_view name);

// What may be read: sides up to `largestSide` pixels, and a picture that takes no more
// than `largestBytes` of memory: its values (4 bytes each) and, for each pixel, the
// `shownBytesPerPixel` the program keeps once it is read (the picture shown, the canvases
// it is drawn on). A file is also refused when reading it would take more than
// `largestBytes` (a packed file that unpacks to far more than its picture, tiles too large
// to unpack), before that memory is taken.
struct FitsLimits {
    int64_t largestSide = 0;
    int64_t largestBytes = 0;
    int64_t shownBytesPerPixel = 0;
};

// The values of a picture in memory of their own, taken without clearing it: a read writes
// every value, and clearing a large picture first costs as much again as its pages.
class FloatValues {
  public:
    FloatValues() = default;
    // Room for `count` values; empty when the memory cannot be had.
    static FloatValues Uninitialised(std::size_t count);

    float* data() { return values_.get(); }
    const float* data() const { return values_.get(); }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    float* begin() { return data(); }
    float* end() { return data() + size_; }
    const float* begin() const { return data(); }
    const float* end() const { return data() + size_; }
    float& operator[](std::size_t i) { return values_[i]; }
    const float& operator[](std::size_t i) const { return values_[i]; }
    operator std::span<const float>() const { return {data(), size_}; }

    // Hands the memory over, for the caller to reuse and to give back with std::free.
    float* Release() {
        size_ = 0;
        return values_.release();
    }

  private:
    struct Free {
        void operator()(float* p) const { std::free(p); }
    };
    std::unique_ptr<float[], Free> values_;
    std::size_t size_ = 0;
};

// The first image of a FITS file as a picture: the values of each plane row by row with
// the picture's top row first (the file's last row, as FITS counts rows from the bottom).
// Blank (BLANK) and NaN pixels are NaN; BSCALE and BZERO are applied. Three planes (red,
// green, blue) when the third axis is 3, otherwise the first plane of a cube.
struct FitsPicture {
    int32_t width = 0;
    int32_t height = 0;
    int32_t planes = 1;
    FloatValues values; // planes one after the other, width x height each
    FitsInfo info;      // keywords, BITPIX, colour, stretch levels

    std::span<const float> Plane(int32_t k) const;
};

struct FitsRead {
    std::optional<FitsPicture> picture;
    std::string error; // when there is no picture: why, for "Cannot open "name": why."
};

// Opens the file through cfitsio's image opening, which passes over an empty primary
// header to a tile-compressed image, and reads gzipped files too.
FitsRead ReadFitsFile(const std::string& path, const FitsLimits& limits);

// The same from the bytes of a whole file in memory, read through an anonymous file.
FitsRead ReadFitsMemory(std::span<const uint8_t> bytes, const FitsLimits& limits);

// Whether the bytes of a file are read in this process. Packed files (gzip, zip,
// compress) and files with a tile-compressed image are read in a child process, which
// takes a crash of cfitsio on damaged ones in this one's place.
bool ReadsInThisProcess(std::span<const uint8_t> bytes);

} // namespace zorva
