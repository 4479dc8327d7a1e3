// The portable 128-bit product, which the 32-bit program uses, against the
// compiler's own where both exist.
#include "datalog/value_text/uint128.h"

#include <gtest/gtest.h>

namespace {

TEST(Uint128, PortableProductMatchesTheNativeOne) {
    std::uint64_t a = 0x0123456789ABCDEFull, b = 0xFEDCBA9876543210ull;
    for (int i = 0; i < 100000; ++i) {
        a = a * 6364136223846793005ull + 1442695040888963407ull;
        b ^= b << 13;
        b ^= b >> 7;
        b ^= b << 17;
        for (const std::uint64_t x : {a, a >> 40, std::uint64_t{~0ull}}) {
            const datalog::uint128 portable = datalog::multiply_64x64_portable(x, b);
#ifdef __SIZEOF_INT128__
            __extension__ using native = unsigned __int128;
            const native product = static_cast<native>(x) * b;
            ASSERT_EQ(portable.high, static_cast<std::uint64_t>(product >> 64));
            ASSERT_EQ(portable.low, static_cast<std::uint64_t>(product));
#else
            GTEST_SKIP() << "no native 128-bit type to compare with";
#endif
        }
    }
}

}  // namespace
