// Denormals are flushed while the chain runs: the reverb rings, the filter
// memories and the compressor's detector all decay towards zero in silence,
// and subnormal arithmetic would cost a hundredfold there. Flush-to-zero and
// denormals-are-zero are set on entry and the caller's mode is restored on
// exit; both builds run the same mode, so they compute the same bits.
#pragma once

#if defined(__SSE__) || defined(_M_X64) || defined(__x86_64__)
#include <xmmintrin.h>
#define AUDIOMIX_HAVE_MXCSR 1
#endif

namespace audiomix {

class ScopedFlushDenormals {
public:
#ifdef AUDIOMIX_HAVE_MXCSR
    ScopedFlushDenormals() : saved_(_mm_getcsr()) { _mm_setcsr(saved_ | kFtz | kDaz); }
    ~ScopedFlushDenormals() { _mm_setcsr(saved_); }
#else
    ScopedFlushDenormals() {}
#endif
    ScopedFlushDenormals(const ScopedFlushDenormals&) = delete;
    ScopedFlushDenormals& operator=(const ScopedFlushDenormals&) = delete;

private:
#ifdef AUDIOMIX_HAVE_MXCSR
    static constexpr unsigned kFtz = 0x8000;
    static constexpr unsigned kDaz = 0x0040;
    unsigned saved_;
#endif
};

}  // namespace audiomix
