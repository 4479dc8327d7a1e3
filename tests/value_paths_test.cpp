// The formatting paths against the scalar one, value for value, the bounds of
// what the vector paths read and write, and the choice among them.
#include "datalog/value_text/value_paths.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "datalog/value_text/digit_text.h"
#include "datalog/value_text/vector_values.h"
#include "datalog_writer.h"
#include "value_path_texts.h"

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

constexpr std::size_t entry = datalog::value_entry_length;

std::string scalar_texts(const std::string& chars) {
    return value_texts(datalog::value_path::scalar, chars);
}

TEST(ValuePaths, AgreeWithTheScalarPathOnEveryValue) {
    const std::vector<datalog::value_path> paths = available_value_paths();
    if (paths.size() == 1) GTEST_SKIP() << "no vector path on this processor";
    for (const value_set& set : value_sets()) {
        const std::string chars = whole_records(set.chars);
        const std::string want = scalar_texts(chars);
        for (const datalog::value_path path : paths) {
            const char* name = datalog::value_path_name(path);
            const std::string got = value_texts(path, chars);
            ASSERT_EQ(got.size(), want.size());
            long mismatches = 0;
            for (std::size_t v = 0; v < want.size() / entry; ++v)
                if (got.compare(entry * v, entry, want, entry * v, entry) != 0 && ++mismatches <= 5)
                    ADD_FAILURE() << name << ", " << set.name << ": " << chars.substr(8 * v, 8)
                                  << " gives " << got.substr(entry * v, entry) << ", not "
                                  << want.substr(entry * v, entry);
            EXPECT_EQ(mismatches, 0) << name << ", " << set.name;
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

TEST(ValuePaths, SixteenValuePathReadsAndWritesOnlyItsValues) {
    if (!datalog::avx512_values_available()) GTEST_SKIP() << "no AVX-512 path";
    guarded_page page;
    ASSERT_NE(page.base, nullptr);
    std::mt19937 rng(5);
    for (unsigned count = 0; count <= 16; ++count) {
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

TEST(ValuePaths, EightValuePathWritesAtMostThreeCharactersPastItsText) {
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

TEST(ValuePaths, TheFastestAvailablePathIsChosenAndAnOverrideIsRestored) {
    const std::vector<datalog::value_path> paths = available_value_paths();
    EXPECT_EQ(datalog::active_value_path(), paths.back());
    {
        const scoped_value_path held(datalog::value_path::scalar);
        EXPECT_EQ(datalog::active_value_path(), datalog::value_path::scalar);
    }
    EXPECT_EQ(datalog::active_value_path(), paths.back());
    for (const char* name : {"scalar", "avx2", "avx512"}) {
        datalog::value_path path;
        ASSERT_TRUE(datalog::value_path_named(name, &path));
        EXPECT_STREQ(datalog::value_path_name(path), name);
    }
    datalog::value_path path;
    EXPECT_FALSE(datalog::value_path_named("sse", &path));
}

}  // namespace
