// The vector paths against the scalar formatter, value for value, and the
// bounds of what they read and write.
#include "datalog/record_values_simd.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "datalog_writer.h"
#include "vector_paths.h"

namespace {

using datalog_writer::encode_packed;

// Pads `chars` with zero values to whole records of 16 values.
std::string whole_records(std::string chars) {
    while (chars.size() % 128 != 0) chars += encode_packed(false, 0, 0);
    return chars;
}

struct value_set {
    const char* name;
    std::string chars;
};

std::vector<value_set> value_sets() {
    std::vector<value_set> sets;
    std::mt19937 rng(20261207);

    std::string significands;  // 10000 ... 99999 exactly, so every digit string
    for (std::uint32_t d = 10000; d <= 99999; ++d)
        significands += datalog_writer::encode_packed_value(d % 2 != 0 ? -1.0 * d : d);
    sets.push_back({"every five-digit significand", significands});

    std::string zeros;  // a zero fraction with any sign and exponent
    for (int exponent = -64; exponent <= 63; ++exponent)
        for (const bool negative : {false, true}) zeros += encode_packed(negative, exponent, 0);
    sets.push_back({"zeros", zeros});

    std::string edges;  // the smallest and largest magnitudes, powers of ten, ties
    for (int exponent = -64; exponent <= 63; ++exponent)
        for (const std::uint32_t fraction : {1u, 0x800000u, 0xFFFFFFu, 0xCCCCCDu, 0x19999Au})
            edges += encode_packed(exponent % 2 != 0, exponent, fraction);
    for (const double value : {1.03125, 12344.5, 99999.5, 99999.25, 0.00390625, 1e-27, 1e19,
                               9.99995, 9.999949, 1e10, 1e-10})
        edges += datalog_writer::encode_packed_value(value);
    sets.push_back({"edges and ties", edges});

    std::string random_values;
    for (int i = 0; i < 200000; ++i) random_values += datalog_writer::random_packed(rng);
    sets.push_back({"random values", random_values});

    // Any character at all: hex digits of either case, and everything else,
    // which reads as 0.
    const std::string hex = "0123456789ABCDEFabcdef";
    std::string junk;
    for (int i = 0; i < 800000; ++i)
        junk += rng() % 2 != 0 ? hex[rng() % hex.size()] : static_cast<char>(rng() & 0xFF);
    sets.push_back({"any characters", junk});
    return sets;
}

TEST(RecordValuesSimd, AgreeWithTheScalarFormatterOnEveryValue) {
    const std::vector<vector_path> paths = available_vector_paths();
    if (paths.empty()) GTEST_SKIP() << "no vector path on this processor";
    for (const value_set& set : value_sets()) {
        const std::string chars = whole_records(set.chars);
        const std::string want = scalar_texts(chars);
        for (const vector_path& path : paths) {
            const std::string got = path.format(chars);
            ASSERT_EQ(got.size(), want.size());
            long mismatches = 0;
            for (std::size_t v = 0; v < want.size() / 13; ++v)
                if (got.compare(13 * v, 13, want, 13 * v, 13) != 0 && ++mismatches <= 5)
                    ADD_FAILURE() << path.name << ", " << set.name << ": " << chars.substr(8 * v, 8)
                                  << " gives " << got.substr(13 * v, 13) << ", not "
                                  << want.substr(13 * v, 13);
            EXPECT_EQ(mismatches, 0) << path.name << ", " << set.name;
        }
    }
}

// Two pages, the second inaccessible: values placed to end at the boundary
// fault if a path reads a character past them.
struct guarded_page {
    char* base = nullptr;
    long size = sysconf(_SC_PAGESIZE);
    guarded_page() {
        void* p =
            mmap(nullptr, 2 * size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) return;
        base = static_cast<char*>(p);
        mprotect(base + size, size, PROT_NONE);
    }
    ~guarded_page() {
        if (base != nullptr) munmap(base, 2 * size);
    }
    char* end() const { return base + size; }
};

TEST(RecordValuesSimd, SixteenValuePathReadsAndWritesOnlyItsValues) {
    if (!datalog::avx512_values_available()) GTEST_SKIP() << "no AVX-512 path";
    guarded_page page;
    ASSERT_NE(page.base, nullptr);
    std::mt19937 rng(5);
    for (unsigned count = 1; count <= 16; ++count) {
        std::string chars;
        for (unsigned v = 0; v < count; ++v) chars += datalog_writer::random_packed(rng);
        char* at = page.end() - chars.size();
        std::memcpy(at, chars.data(), chars.size());
        std::string out(13 * count + 64, '#');
        datalog::format_values_avx512(at, count, &out[0]);
        EXPECT_EQ(out.substr(0, 13 * count), scalar_texts(chars)) << count;
        EXPECT_EQ(out.substr(13 * count), std::string(64, '#')) << count;
    }
}

TEST(RecordValuesSimd, EightValuePathWritesAtMostThreeCharactersPastItsText) {
    if (!datalog::avx2_values_available()) GTEST_SKIP() << "no AVX2 path";
    guarded_page page;
    ASSERT_NE(page.base, nullptr);
    std::mt19937 rng(6);
    std::string chars;
    for (int v = 0; v < 8; ++v) chars += datalog_writer::random_packed(rng);
    char* at = page.end() - chars.size();
    std::memcpy(at, chars.data(), chars.size());
    std::string out(104 + 64, '#');
    datalog::format_values_avx2(at, 1, &out[0]);
    EXPECT_EQ(out.substr(0, 104), scalar_texts(chars));
    EXPECT_EQ(out.substr(107), std::string(61, '#'));
}

}  // namespace
