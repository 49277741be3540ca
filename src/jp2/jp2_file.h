#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace zorva {

// What may be decoded: sides up to `largestSide` pixels, and a picture whose decoded values
// (4 bytes each, a plane at a time) and the `keptBytesPerPixel` the program keeps once it
// is read come to no more than `largestBytes`. Both are checked from the file's header,
// before any of that memory is taken.
struct Jp2Limits {
    int64_t largestSide = 0;
    int64_t largestBytes = 0;
    int64_t keptBytesPerPixel = 0;
};

// A decoded JPEG 2000 picture: one plane (grey) or three (red, green, blue), each value a
// whole number of `bits` bits (1..31), from 0 up once `offset` is added (signed values lie
// half below zero). Row 0 is the top row.
class Jp2Picture {
  public:
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    int32_t planes() const { return planes_; }
    int32_t bits() const { return bits_; }
    int32_t offset() const { return offset_; }
    // Row y of plane k: width() values.
    std::span<const int32_t> Row(int32_t k, int32_t y) const;

  private:
    friend struct Jp2Decoder;
    std::shared_ptr<void> image_; // the library's image, freed with the last copy
    std::array<const int32_t*, 3> data_{};
    int32_t width_ = 0;
    int32_t height_ = 0;
    int32_t planes_ = 0;
    int32_t bits_ = 0;
    int32_t offset_ = 0;
};

struct Jp2Read {
    std::optional<Jp2Picture> picture;
    std::string error; // when there is no picture: why, for "Cannot open "name": why."
};

// Decodes a JP2 file or a bare codestream from the bytes of the whole file. A damaged or
// cut-off file, one over the limits, or one whose colour planes are subsampled is refused
// with the reason; nothing is written to the error stream.
Jp2Read ReadJp2Memory(std::span<const uint8_t> bytes, const Jp2Limits& limits);

} // namespace zorva
