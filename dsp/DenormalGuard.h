#pragma once

#if defined(__SSE2__) || defined(_M_X64)
#include <xmmintrin.h>
#define KORVEL_HAS_MXCSR 1
#endif

// Flushes denormal results to zero and treats denormal operands as zero while alive, then restores
// the caller's floating-point control state. Decaying filter and circuit states otherwise crawl
// through the denormal range at many times the cost of normal arithmetic.
class DenormalGuard {
public:
#ifdef KORVEL_HAS_MXCSR
    static constexpr unsigned kFlushToZero = 0x8000;
    static constexpr unsigned kDenormalsAreZero = 0x0040;
    DenormalGuard() : saved_(_mm_getcsr()) { _mm_setcsr(saved_ | kFlushToZero | kDenormalsAreZero); }
    ~DenormalGuard() { _mm_setcsr(saved_); }

private:
    unsigned saved_;
#else
    DenormalGuard() = default;
#endif

public:
    DenormalGuard(const DenormalGuard&) = delete;
    DenormalGuard& operator=(const DenormalGuard&) = delete;
};
