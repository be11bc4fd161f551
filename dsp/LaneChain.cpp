#include "LaneChain.h"

SimdLevel bestSimdLevel() {
#if defined(__x86_64__) || defined(_M_X64)
    // Checks the processor and that the operating system saves the wide registers.
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? SimdLevel::Avx2 : SimdLevel::Sse2;
#else
    return SimdLevel::Scalar;
#endif
}

int lanesOf(SimdLevel level) {
    switch (level) {
    case SimdLevel::Sse2: return 2;
    case SimdLevel::Avx2: return 4;
    default: return 0;
    }
}
