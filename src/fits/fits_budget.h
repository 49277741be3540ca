#pragma once

// The memory a FITS file's reading takes, worked out from its headers before the library
// reads it: a packed or tile-compressed file that unpacks to more than a picture may take
// is refused before the memory is taken, and quickly.

#include <cstdint>
#include <optional>
#include <string>

#include "fits/fits_file.h"

namespace zorva {

// The first image a file's headers declare: the plain image of the first header that has
// one, or a tile-compressed image in a binary table.
struct DeclaredImage {
    int64_t width = 0;
    int64_t height = 0;
    int64_t planes = 1;     // 3 for a colour picture; a cube is read by its first plane
    int64_t tilePixels = 0; // the pixels of one tile of a compressed image; 0 for a plain one
    uint64_t dataEnd = 0;   // bytes from the start of the file to the end of the image's data
};

// The first image the headers of a plain or gzipped file declare, read only as far as they
// go; nothing when they cannot be followed (a file packed otherwise, a damaged one).
std::optional<DeclaredImage> DeclaredImageOf(const std::string& path);

// The picture's size against the limits: the reason it cannot be read, or nothing.
std::optional<std::string> PictureBeyondLimits(int64_t width, int64_t height, int64_t planes,
                                               const FitsLimits& limits);

// What reading a file in the reader process takes, from its headers: the memory the
// reader may use, or why the file is refused. A gzipped file is unpacked here as a stream,
// without keeping it, as far as its image goes and a little beyond. A file whose headers
// cannot be followed is left to the library, which says what is wrong with it.
struct ReadPlan {
    std::string refusal;      // when not empty, the file is not read
    uint64_t readerBytes = 0; // memory the reader may take beyond what it starts with
};
ReadPlan PlanRead(const std::string& path, const FitsLimits& limits);

} // namespace zorva
