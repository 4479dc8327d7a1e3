// The x86 vector intrinsics, where the vector paths are built: 32- and 64-bit
// x86 with GCC or Clang, on Linux and Windows. (Windows aligns the stack to 16
// bytes at most, and GCC does not realign it there for spilled 256- and
// 512-bit vectors: the Windows builds assemble every aligned vector move as an
// unaligned one, which costs nothing on processors with these paths.)
// DATALOG_VECTOR_PATHS says whether.
#pragma once

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
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
