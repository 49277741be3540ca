// Feeds arbitrary bytes to the FITS reader as a whole file, on the way most files take:
// read in this process. The packed and tile-compressed ones, which are read in a child
// process (many times slower a run), have a target of their own, fits_packed. (The limb
// search on the 8-bit picture has one too, limb_refine.)
#include "fits_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    if (!zorva::ReadsInThisProcess(bytes)) return 0;
    zorva::fuzz::OpenAsTheProgramDoes(bytes);
    return 0;
}
