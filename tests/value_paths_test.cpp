// The formatting paths against the scalar one, value for value, the bounds of
// what the vector paths read and write, and the choice among them.
#include "datalog/value_text/value_paths.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "datalog/datalog_convert.h"
#include "datalog/datalog_format.h"
#include "datalog/value_text/digit_text.h"
#include "datalog/value_text/scale_tables.h"
#include "datalog_writer.h"
#include "packed_ties.h"
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

// Values placed to end at an inaccessible page, 0 to 16 of them: each path
// reads only their characters, and writes their text and at most its
// overrun past it (the 16-value path none, the 8-value path up to 3).
TEST(ValuePaths, EveryPathReadsOnlyItsValuesAndWritesWithinItsOverrun) {
    guarded_page page;
    ASSERT_NE(page.base, nullptr);
    std::mt19937 rng(5);
    for (const datalog::value_path_entry& path : datalog::value_path_table) {
        if (!path.available()) continue;
        const unsigned overrun =
            path.path == datalog::value_path::avx2 || path.path == datalog::value_path::sse41
                ? datalog::format_values_overrun
                : 0;
        for (unsigned count = 0; count <= 16; ++count) {
            std::string chars;
            for (unsigned v = 0; v < count; ++v) chars += datalog_writer::random_packed(rng);
            char* at = page.end() - chars.size();
            std::memcpy(at, chars.data(), chars.size());
            std::string out(13 * count + 64, '#');
            path.format(at, count, &out[0]);
            EXPECT_EQ(out.substr(0, 13 * count), scalar_texts(chars)) << path.name << count;
            EXPECT_EQ(out.substr(13 * count + overrun), std::string(64 - overrun, '#'))
                << path.name << count;
        }
    }
}

TEST(ValuePaths, TheFastestAvailablePathIsChosenAndEachIsNamed) {
    const std::vector<datalog::value_path> paths = available_value_paths();
    EXPECT_EQ(datalog::fastest_value_path(), paths.front());
    EXPECT_EQ(datalog::conversion_choices().path, paths.front());
    for (const char* name : {"scalar", "sse41", "avx2", "avx512"}) {
        datalog::value_path path;
        ASSERT_TRUE(datalog::value_path_named(name, &path));
        EXPECT_STREQ(datalog::value_path_name(path), name);
    }
    datalog::value_path path;
    EXPECT_FALSE(datalog::value_path_named("sse", &path));
}

// Besides the exact ties, every path hands a value to the exact scaling only
// within its near-tie window of a rounding boundary: about 2e-9 of the others
// (README.md in src/datalog/value_text). A window widened by mistake costs
// speed that no output shows; this bounds each path's rate over a fixed
// sample of thirty million values that are no exact tie.
TEST(ValuePaths, FewValuesButTiesAreHandedToTheExactScalingOnEveryPath) {
    std::mt19937_64 rng(18);
    constexpr long sample = 30000000;
    constexpr std::size_t paths = std::size(datalog::value_path_table);
    long handed[paths] = {}, ties = 0;
    char chars[16 * datalog::packed_value_length];
    char out[16 * entry + datalog::format_values_overrun];
    for (long drawn = 0; drawn < sample;) {
        unsigned count = 0;
        while (count < 16) {
            const auto m = static_cast<std::uint32_t>((rng() & 0x7FFFFF) | 0x800000);
            // Every exponent a packed value can have, -64 to 63: m * 2^k with
            // the fraction's top bit set.
            const int exponent = -64 + static_cast<int>(rng() % 128);
            const int k = exponent - 24;
            if (is_exact_tie(m, k)) {
                ++ties;
                continue;
            }
            const std::string value = encode_packed(rng() % 2 != 0, exponent, m);
            std::memcpy(chars + datalog::packed_value_length * count++, value.data(), value.size());
        }
        drawn += count;
        for (std::size_t p = 0; p < paths; ++p)
            if (datalog::value_path_table[p].available())
                handed[p] += datalog::value_path_table[p].format(chars, count, out);
    }
    for (std::size_t p = 0; p < paths; ++p) {
        const datalog::value_path_entry& path = datalog::value_path_table[p];
        if (!path.available()) continue;
        EXPECT_LE(handed[p], 2) << path.name << ", of " << sample
                                << " values that are no exact tie";
    }
    EXPECT_GT(ties, 0);
}

// Every exact tie goes to the exact scaling, and each path counts each one,
// in whichever of its groups the value stands: for 1 to 16 ties in a record,
// the count returned is theirs.
TEST(ValuePaths, EveryPathCountsEachTieItHandsOver) {
    const std::vector<double> ties = all_ties();
    char chars[16 * datalog::packed_value_length];
    char out[16 * entry + datalog::format_values_overrun];
    for (unsigned v = 0; v < 16; ++v) {
        const std::string value =
            datalog_writer::encode_packed_value(ties[(v * 9973) % ties.size()] * (v % 2 ? -1 : 1));
        std::memcpy(chars + datalog::packed_value_length * v, value.data(), value.size());
    }
    for (const datalog::value_path_entry& path : datalog::value_path_table) {
        if (!path.available()) continue;
        for (unsigned count = 1; count <= 16; ++count)
            EXPECT_EQ(path.format(chars, count, out), count) << path.name << ", " << count;
    }
}

// A zero is no tie, whatever its sign and exponent: no path hands one over,
// in any lane.
TEST(ValuePaths, NoPathHandsAZeroToTheExactScaling) {
    char chars[16 * datalog::packed_value_length];
    char out[16 * entry + datalog::format_values_overrun];
    for (int exponent = -64; exponent < 64; ++exponent) {
        for (unsigned v = 0; v < 16; ++v) {
            const std::string zero = encode_packed(v % 2 != 0, exponent, 0);
            std::memcpy(chars + datalog::packed_value_length * v, zero.data(), zero.size());
        }
        for (const datalog::value_path_entry& path : datalog::value_path_table) {
            if (path.available()) {
                EXPECT_EQ(path.format(chars, 16, out), 0u) << path.name << ", 2^" << exponent;
            }
        }
    }
}

}  // namespace
