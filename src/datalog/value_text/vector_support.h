// Which vector instructions this processor runs, and the system saves the
// registers of: the instructions are usable only when both hold.
#pragma once

namespace datalog {

struct vector_support {
    bool sse41 = false;   // SSSE3 and SSE4.1
    bool avx2 = false;    // AVX2, with the 256-bit registers saved
    bool avx512 = false;  // AVX-512 F, BW, DQ, VL and VBMI, with all its registers saved
};

// Asked of the processor once (CPUID, and XGETBV for what the system saves).
const vector_support& processor_vector_support();

}  // namespace datalog
