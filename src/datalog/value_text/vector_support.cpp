#include "datalog/value_text/vector_support.h"

#include "datalog/value_text/vector_intrinsics.h"

#if DATALOG_VECTOR_PATHS
#include <cpuid.h>
#endif

namespace datalog {
namespace {

#if DATALOG_VECTOR_PATHS

// The register states the system saves on a switch (XCR0): an instruction
// set is usable only when the system saves its registers too, which CPUID
// alone does not say.
unsigned long long saved_states() {
    unsigned low = 0, high = 0;
    __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    return (static_cast<unsigned long long>(high) << 32) | low;
}

vector_support ask_processor() {
    vector_support support;
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (__get_cpuid(1, &a, &b, &c, &d) == 0) return support;
    support.sse41 = ((c >> 9) & 1) && ((c >> 19) & 1);  // SSSE3, SSE4.1
    const bool osxsave = (c >> 27) & 1, avx = (c >> 28) & 1;
    if (!osxsave || !avx || __get_cpuid_count(7, 0, &a, &b, &c, &d) == 0) return support;
    const unsigned long long states = saved_states();
    const bool ymm_saved = (states & 0x06) == 0x06;  // SSE and AVX state
    const bool zmm_saved = (states & 0xE6) == 0xE6;  // and the opmask and upper ZMM states
    const bool avx2 = (b >> 5) & 1;
    const bool avx512 = ((b >> 16) & 1) && ((b >> 17) & 1) && ((b >> 30) & 1) && ((b >> 31) & 1) &&
                        ((c >> 1) & 1);  // F, DQ, BW, VL; VBMI
    support.avx2 = ymm_saved && avx2;
    support.avx512 = ymm_saved && zmm_saved && avx512;
    return support;
}

#else

vector_support ask_processor() {
    return {};
}

#endif

}  // namespace

const vector_support& processor_vector_support() {
    static const vector_support support = ask_processor();
    return support;
}

}  // namespace datalog
