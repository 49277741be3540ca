// Feeds arbitrary bytes, as a grey picture, to the limb search with its sub-pixel
// refinement and the verdict on each: nothing may read outside the picture, the disk must
// come out as finite numbers whatever the pixels, and a refusal always has its reason.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/images/limb_refine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    // The first byte gives the width, the rest are the pixels row by row.
    const int32_t width = data[0] % 128 + 1;
    const int32_t height = static_cast<int32_t>((size - 1) / static_cast<std::size_t>(width));
    const zorva::PixelGrid grid(data + 1, width, height, width, zorva::PixelLayout::Grey8);
    const zorva::LimbFit search = zorva::FindLimb(grid);
    const zorva::SubPixelLimb refined = zorva::RefineLimb(grid, search);
    const zorva::LimbFit judged = zorva::FindSubPixelLimb(grid);
    for (const zorva::Circle& c : {search.disk, refined.disk, judged.disk}) {
        if (!std::isfinite(c.cx) || !std::isfinite(c.cy) || !std::isfinite(c.r)) std::abort();
    }
    // A disk is found with no reason against it, or refused with one.
    for (const zorva::LimbFit* fit : {&search, &judged}) {
        if (fit->found != fit->reason.empty() || !std::isfinite(fit->residual)) std::abort();
    }
    for (std::size_t i = 0; i < zorva::LimbRays; ++i) {
        if (refined.points.flag[i] != zorva::LimbPointAccepted) continue;
        if (!std::isfinite(refined.points.x[i]) || !std::isfinite(refined.points.y[i]))
            std::abort();
    }
    return 0;
}
