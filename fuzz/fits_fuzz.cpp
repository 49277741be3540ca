// Feeds arbitrary bytes to the FITS reader as a whole file, then does with what it reads
// what opening an image does: every row through the stretch to 8 bits, and the header's
// time, disk and orientation. Nothing may read outside the bytes or the picture, and the
// numbers that come out of a successful read must be finite. (The limb search on the
// 8-bit picture has a target of its own, limb_refine.) Tile-compressed and gzipped inputs
// are read in a child process; a crash of cfitsio there must come back as a message.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "core/images/fits_header.h"
#include "fits/fits_file.h"

namespace {

// Small enough that a picture a few bytes long cannot ask for much memory.
constexpr zorva::FitsLimits kLimits{4096, int64_t{64} << 20};

bool Finite(const zorva::Circle& c) {
    return std::isfinite(c.cx) && std::isfinite(c.cy) && std::isfinite(c.r);
}

} // namespace

// A header may announce more than any memory holds; cfitsio then asks for it, and, as in
// the program, a failed allocation is an error it reports rather than the end of the run.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const zorva::FitsRead read =
        zorva::ReadFitsMemory(std::span<const uint8_t>(data, size), kLimits);
    if (!read.picture) {
        if (read.error.empty()) std::abort();
        return 0;
    }
    const zorva::FitsPicture& pic = *read.picture;
    const auto w = static_cast<std::size_t>(pic.width);
    const auto h = static_cast<std::size_t>(pic.height);
    if (w == 0 || h == 0 || pic.values.size() != w * h * static_cast<std::size_t>(pic.planes))
        std::abort();
    const zorva::FloatLevels& levels = pic.info.levels;
    if (levels.finite > 0 && !(levels.low <= levels.high)) std::abort();

    std::vector<uint8_t> grey(w * h);
    for (std::size_t y = 0; y < h; ++y)
        zorva::StretchRow(pic.Plane(0).subspan(y * w, w), levels, grey.data() + y * w);

    (void)zorva::FitsObservationInstant(pic.info.keywords);
    if (const auto disk = zorva::FitsHeaderDisk(pic.info.keywords, pic.height)) {
        if (!Finite(disk->disk)) std::abort();
        (void)zorva::OrientationText(disk->orientation);
    }
    if (const auto o = zorva::FitsHeaderOrientation(pic.info.keywords)) {
        if (!std::isfinite(o->q)) std::abort();
    }

    return 0;
}
