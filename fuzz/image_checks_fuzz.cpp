// Feeds arbitrary bytes to the image file checks, to the image-name date schemes and, as
// a picture, to the limb search: nothing may read outside the bytes, and the fitted disk
// must come out as finite numbers whatever the pixels.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

#include "core/images/grey.h"
#include "core/images/image_file_checks.h"
#include "core/images/image_name.h"
#include "core/images/limb.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    (void)zorva::BitmapLength(bytes);
    (void)zorva::JpegHasEnd(bytes);
    // Within any budget, what is found of a JPEG lies within the file.
    const zorva::JpegExtent extent = zorva::FindJpegExtent(bytes, size / 2);
    if (extent.end > size || extent.metadataEnd > size ||
        (extent.status == zorva::JpegExtent::Status::Complete && extent.end > size / 2)) {
        std::abort();
    }
    (void)zorva::PngHasEnd(bytes);
    (void)zorva::InstantFromImageName(std::string_view(reinterpret_cast<const char*>(data), size));
    if (size < 2) return 0;
    // The first byte gives the width, the rest are the grey pixels row by row.
    const int32_t width = data[0] % 64 + 1;
    const int32_t height = static_cast<int32_t>((size - 1) / static_cast<std::size_t>(width));
    const zorva::PixelGrid grid(data + 1, width, height, width, zorva::PixelLayout::Grey8);
    (void)zorva::IsColourImage(grid);
    const zorva::LimbFit fit = zorva::FindLimb(grid);
    if (!std::isfinite(fit.disk.cx) || !std::isfinite(fit.disk.cy) || !std::isfinite(fit.disk.r)) {
        std::abort();
    }
    return 0;
}
