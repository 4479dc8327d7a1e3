// Eight of a record's values in one pass of 256-bit vectors, for processors
// with AVX2 but not the 512-bit path's instructions: the four- and eight-lane
// paths' one kernel (vector_kernel.h) over AVX2's lanes, with the rare
// near-tie lane handed to the exact scalar formatter.
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

// Only the functions in this region use AVX2; the rest of the program runs
// on any x86 processor the build targets (SSE2 for the 32-bit Windows program).
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

namespace {
namespace avx2 {
#include "datalog/value_text/lanes_avx2.h"
#include "datalog/value_text/vector_kernel.h"
}  // namespace avx2
}  // namespace

unsigned format_values_avx2(const char* chars, unsigned count, char* out) {
    return avx2::format_values(chars, count, out);
}

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

bool avx2_values_available() {
    return processor_vector_support().avx2;
}

#else

bool avx2_values_available() {
    return false;
}

unsigned format_values_avx2(const char*, unsigned, char*) {
    return 0;
}

#endif

}  // namespace datalog
