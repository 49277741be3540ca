// Does what its input's first letter says: overflows a signed integer ('o'), converts a
// float too large for an int ('f'), or divides a float by zero ('d'). The fuzz build must
// end the run at each.
#include <cstddef>
#include <cstdint>
#include <limits>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    volatile int32_t largest = std::numeric_limits<int32_t>::max();
    volatile double huge = 1e300;
    volatile double zero = 0;
    if (size == 0) return 0;
    switch (data[0]) {
    case 'o':
        return largest + 1 > 0 ? 0 : -1;
    case 'f':
        return static_cast<int32_t>(huge) > 0 ? 0 : -1;
    case 'd':
        return 1.0 / zero > 0 ? 0 : -1;
    default:
        return 0;
    }
}
