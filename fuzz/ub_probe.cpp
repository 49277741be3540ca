// Overflows a signed integer when its input says so; the fuzz build must end the run there.
#include <cstddef>
#include <cstdint>
#include <limits>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    volatile int32_t largest = std::numeric_limits<int32_t>::max();
    if (size > 0 && data[0] == 'o') return largest + 1 > 0 ? 0 : -1;
    return 0;
}
