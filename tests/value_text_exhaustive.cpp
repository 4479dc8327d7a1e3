// Every packed value the format can hold, through every formatting path this
// build and processor run, against the exact step function (exact_steps):
// 2 signs x 128 binary exponents x 2^24 fractions, 16 values to a call of
// the path's format, as the conversion makes it.
//
//   value_text_exhaustive [--exponents FIRST LAST]
//
// Prints, for each path, the values checked and the exact ties among them. At
// the first mismatch it prints the packed value, the path and both texts, and
// exits with status 1. The exponents are shared out over two threads.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "datalog/value_text/digit_text.h"
#include "datalog/value_text/value_paths.h"
#include "exact_steps.h"
#include "two_threads.h"
#include "value_path_texts.h"

namespace {

constexpr std::uint32_t fractions = 1u << 24;
constexpr unsigned block = 16;
constexpr unsigned entry = datalog::value_entry_length;  // ", " and 11 characters

struct tally {
    std::atomic<unsigned long long> checked{0}, ties{0};
    std::atomic<bool> failed{false};
};

// The two characters of a byte, low nibble first.
void put_byte(unsigned byte, char* out) {
    static const char hex[] = "0123456789ABCDEF";
    out[0] = hex[byte & 15];
    out[1] = hex[byte >> 4];
}

// Walks every fraction at `exponent`, both signs, through the path's format.
void walk_exponent(int exponent, datalog::value_path path, tally& t) {
    const datalog::value_format format = datalog::format_of(path);
    char chars[2][block * 8];
    for (int sign = 0; sign < 2; ++sign)
        for (unsigned k = 0; k < block; ++k)
            put_byte(((static_cast<unsigned>(exponent) & 0x7F) << 1) | sign, chars[sign] + 8 * k);
    exact_steps steps = steps_at(exponent);
    char expected[block][10];
    unsigned long long ties = 0;
    for (std::uint32_t first = 0; first < fractions; first += block) {
        for (unsigned k = 0; k < block; ++k) {
            const std::uint32_t f = first + k;
            for (int sign = 0; sign < 2; ++sign) {
                put_byte(f >> 16, chars[sign] + 8 * k + 2);
                put_byte((f >> 8) & 0xFF, chars[sign] + 8 * k + 4);
                put_byte(f & 0xFF, chars[sign] + 8 * k + 6);
            }
            if (f == 0) {
                std::memcpy(expected[k], "0.0000E+00", 10);
                continue;
            }
            ties += advance_to(steps, f);
            write_step_text(steps, expected[k]);
        }
        for (int sign = 0; sign < 2; ++sign) {
            char out[block * entry + datalog::format_values_overrun];
            format(chars[sign], block, out);
            for (unsigned k = 0; k < block; ++k) {
                const char* got = out + entry * k + 2;
                if (got[0] == (sign ? '-' : '+') && std::memcmp(got + 1, expected[k], 10) == 0)
                    continue;
                if (!t.failed.exchange(true))
                    std::printf(
                        "MISMATCH on the %s path: packed value %.8s: expected %c%.10s, got %.11s\n",
                        datalog::value_path_name(path), chars[sign] + 8 * k, sign ? '-' : '+',
                        expected[k], got);
                return;
            }
        }
    }
    t.checked += 2ull * fractions;
    t.ties += 2 * ties;
}

}  // namespace

int main(int argc, char** argv) {
    int first = -64, last = 63;
    if (argc == 4 && std::strcmp(argv[1], "--exponents") == 0) {
        first = std::atoi(argv[2]);
        last = std::atoi(argv[3]);
    }
    bool failed = false;
    for (const datalog::value_path path : available_value_paths()) {
        const char* name = datalog::value_path_name(path);
        struct shared {
            datalog::value_path path;
            int last;
            tally t;
            std::atomic<int> next;
        } work{path, last, {}, {first}};
        on_two_threads(
            [](void* context) {
                auto& w = *static_cast<shared*>(context);
                for (int e; !w.t.failed && (e = w.next++) <= w.last;) walk_exponent(e, w.path, w.t);
            },
            &work);
        const tally& t = work.t;
        std::printf(
            "%-6s path: %llu values checked (exponents %d to %d, both signs), %llu exact ties "
            "among them\n",
            name, t.checked.load(), first, last, t.ties.load());
        std::fflush(stdout);
        failed = failed || t.failed || t.checked == 0;
    }
    return failed ? 1 : 0;
}
