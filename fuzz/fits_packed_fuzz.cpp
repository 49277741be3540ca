// Feeds arbitrary bytes to the FITS reader as a whole file, on the way packed (gzip,
// zip, compress) and tile-compressed files take: read in a child process, whose crash in
// cfitsio, or run beyond its memory, must come back as a message. The child dies of its
// crash quietly, so anything this target reports happened in this process.
#include "fits_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    if (zorva::ReadsInThisProcess(bytes)) return 0;
    zorva::fuzz::OpenAsTheProgramDoes(bytes);
    return 0;
}
