#include "render/cpu_state.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

namespace zorva {

namespace {
// Compiled for AVX on its own, and called only when the processor has it.
__attribute__((target("avx"))) void ZeroUpper() {
    _mm256_zeroupper();
}
} // namespace

void ClearUpperVectorState() {
    static const bool hasAvx = __builtin_cpu_supports("avx");
    if (hasAvx) ZeroUpper();
}

} // namespace zorva

#else

namespace zorva {
void ClearUpperVectorState() {}
} // namespace zorva

#endif
