// The x86 vector intrinsics, where the vector paths are built: x86-64 Linux
// with GCC or Clang. (Windows is left out: mingw-w64 does not align the stack
// for spilled 256- and 512-bit vectors.) DATALOG_VECTOR_PATHS says whether.
#pragma once

#if defined(__x86_64__) && !defined(_WIN32) && (defined(__GNUC__) || defined(__clang__))
#define DATALOG_VECTOR_PATHS 1
// GCC 12's intrinsic headers start some vectors undefined on purpose, which
// its own -Wuninitialized and -Wmaybe-uninitialized then report, at their lines.
#if !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>
#if !defined(__clang__)
#pragma GCC diagnostic pop
#endif
#else
#define DATALOG_VECTOR_PATHS 0
#endif
