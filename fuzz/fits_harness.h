#pragma once

// What opening an image does with the bytes of a FITS file, for the fuzz targets of the
// two ways a file is read: the file read as a whole, then every row through the stretch
// to 8 bits, and the header's time, disk and orientation. Nothing may read outside the
// bytes or the picture, and the numbers that come out of a successful read must be
// finite.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "core/images/fits_header.h"
#include "fits/fits_file.h"

// A header may announce more than any memory holds; cfitsio then asks for it, and, as in
// the program, a failed allocation is an error it reports rather than the end of the run.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1";
}

namespace zorva::fuzz {

// Small enough that a picture a few bytes long cannot ask for much memory.
inline constexpr FitsLimits kLimits{4096, int64_t{64} << 20};

inline bool Finite(const Circle& c) {
    return std::isfinite(c.cx) && std::isfinite(c.cy) && std::isfinite(c.r);
}

inline void OpenAsTheProgramDoes(std::span<const uint8_t> bytes) {
    const FitsRead read = ReadFitsMemory(bytes, kLimits);
    if (!read.picture) {
        if (read.error.empty()) std::abort();
        return;
    }
    const FitsPicture& pic = *read.picture;
    const auto w = static_cast<std::size_t>(pic.width);
    const auto h = static_cast<std::size_t>(pic.height);
    if (w == 0 || h == 0 || pic.values.size() != w * h * static_cast<std::size_t>(pic.planes))
        std::abort();
    const FloatLevels& levels = pic.info.levels;
    if (levels.finite > 0 && !(levels.low <= levels.high)) std::abort();

    std::vector<uint8_t> grey(w * h);
    for (std::size_t y = 0; y < h; ++y)
        StretchRow(pic.Plane(0).subspan(y * w, w), levels, grey.data() + y * w);

    (void)FitsObservationInstant(pic.info.keywords);
    if (const auto disk = FitsHeaderDisk(pic.info.keywords, pic.height)) {
        if (!Finite(disk->disk)) std::abort();
        (void)OrientationText(disk->orientation);
    }
    if (const auto o = FitsHeaderOrientation(pic.info.keywords)) {
        if (!std::isfinite(o->q)) std::abort();
    }
}

} // namespace zorva::fuzz
