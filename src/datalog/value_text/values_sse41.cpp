// Four of a record's values in one pass of 128-bit vectors, for processors
// with SSE4.1 but not AVX2 (many field laptops' Atom, Celeron and Pentium
// processors, and older Core ones): the four- and eight-lane paths' one
// kernel (vector_kernel.h) over 128-bit lanes, with the rare near-tie lane
// handed to the exact scalar formatter.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "datalog/datalog_format.h"
#include "datalog/value_text/value_text.h"
#include "datalog/value_text/vector_constants.h"
#include "datalog/value_text/vector_intrinsics.h"
#include "datalog/value_text/vector_support.h"
#include "datalog/value_text/vector_values.h"

namespace datalog {

#if DATALOG_VECTOR_PATHS

// Only the functions in this region use SSSE3 and SSE4.1; the rest of the program runs
// on any x86 processor the build targets (SSE2 for the 32-bit Windows program).
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("ssse3,sse4.1"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("ssse3,sse4.1")
#endif

namespace {
namespace sse41 {
#include "datalog/value_text/lanes_sse41.h"
#include "datalog/value_text/vector_kernel.h"
}  // namespace sse41
}  // namespace

unsigned format_values_sse41(const char* chars, unsigned count, char* out) {
    return sse41::format_values(chars, count, out);
}

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

bool sse41_values_available() {
    return processor_vector_support().sse41;
}

#else

bool sse41_values_available() {
    return false;
}

unsigned format_values_sse41(const char*, unsigned, char*) {
    return 0;
}

#endif

}  // namespace datalog
