#include "exact_steps.h"

#include <array>
#include <cstdlib>

namespace {

// An unsigned integer of 256 bits in 32-bit limbs, least significant first:
// enough for the largest boundary numerator, (2D + 1) * 5^26 * 2^113 < 2^193.
struct wide {
    std::array<std::uint32_t, 8> limb{};
};

constexpr std::uint32_t five_to_13 = 1220703125;  // the largest power of 5 in 32 bits

void multiply(wide& w, std::uint32_t factor) {
    std::uint64_t carry = 0;
    for (std::uint32_t& limb : w.limb) {
        const std::uint64_t product = std::uint64_t{limb} * factor + carry;
        limb = static_cast<std::uint32_t>(product);
        carry = product >> 32;
    }
    if (carry != 0) std::abort();  // never: the width covers the largest case
}

// Divides in place; returns whether a remainder was left.
bool divide(wide& w, std::uint32_t divisor) {
    std::uint64_t remainder = 0;
    for (int i = static_cast<int>(w.limb.size()) - 1; i >= 0; --i) {
        const std::uint64_t part = (remainder << 32) | w.limb[i];
        w.limb[i] = static_cast<std::uint32_t>(part / divisor);
        remainder = part % divisor;
    }
    return remainder != 0;
}

void multiply_by_power_of_5(wide& w, int n) {
    for (; n >= 13; n -= 13) multiply(w, five_to_13);
    std::uint32_t rest = 1;
    for (; n > 0; --n) rest *= 5;
    multiply(w, rest);
}

bool divide_by_power_of_5(wide& w, int n) {
    bool inexact = false;
    for (; n >= 13; n -= 13) inexact = divide(w, five_to_13) || inexact;
    std::uint32_t rest = 1;
    for (; n > 0; --n) rest *= 5;
    return divide(w, rest) || inexact;
}

void shift_left(wide& w, int bits) {
    const int words = bits / 32, rest = bits % 32;
    for (int i = static_cast<int>(w.limb.size()) - 1; i >= 0; --i) {
        const int from = i - words;
        std::uint64_t part = from >= 0 ? std::uint64_t{w.limb[from]} << rest : 0;
        if (rest != 0 && from >= 1) part |= w.limb[from - 1] >> (32 - rest);
        w.limb[i] = static_cast<std::uint32_t>(part);
    }
}

// Shifts right; returns whether a one bit was shifted out.
bool shift_right(wide& w, int bits) {
    bool lost = false;
    const int words = bits / 32, rest = bits % 32;
    for (int i = 0; i < words && i < static_cast<int>(w.limb.size()); ++i) lost |= w.limb[i] != 0;
    if (words < static_cast<int>(w.limb.size()) && rest != 0)
        lost |= (w.limb[words] & ((1u << rest) - 1)) != 0;
    const int size = static_cast<int>(w.limb.size());
    for (int i = 0; i < size; ++i) {
        const int from = i + words;
        std::uint64_t part = from < size ? w.limb[from] >> rest : 0;
        if (rest != 0 && from + 1 < size) part |= std::uint64_t{w.limb[from + 1]} << (32 - rest);
        w.limb[i] = static_cast<std::uint32_t>(part);
    }
    return lost;
}

struct boundary {
    std::uint64_t first;  // the first fraction at or above it (capped at 2^40)
    bool exact;           // ... and that fraction lies on it
};

// The boundary above (D, X) at exponent e: the first fraction f with
// f * 2^(e - 24) >= (2D + 1) / 2 * 10^(X - 4), that is
// ceil((2D + 1) * 5^(X - 4) * 2^(23 - e + X - 4)).
boundary boundary_above(int e, std::uint32_t d, int x) {
    const int fives = x - 4, twos = 23 - e + x - 4;
    wide w;
    w.limb[0] = 2 * d + 1;
    bool inexact = false;
    if (fives > 0) multiply_by_power_of_5(w, fives);
    if (twos > 0) shift_left(w, twos);
    if (fives < 0) inexact = divide_by_power_of_5(w, -fives);
    if (twos < 0) inexact = shift_right(w, -twos) || inexact;
    constexpr std::uint64_t cap = std::uint64_t{1} << 40;
    std::uint64_t value = (std::uint64_t{w.limb[1]} << 32) | w.limb[0];
    for (std::size_t i = 2; i < w.limb.size(); ++i)
        if (w.limb[i] != 0) value = cap;
    if (value >= cap) return {cap, false};
    return {value + (inexact ? 1 : 0), !inexact};
}

void set_step(exact_steps& s, std::uint32_t d, int x) {
    s.digits = d;
    s.decimal_exponent = x;
    const boundary b = boundary_above(s.binary_exponent, d, x);
    s.next = b.first;
    s.next_is_tie = b.exact;
}

}  // namespace

exact_steps steps_at(int binary_exponent) {
    // Start a little below the smallest value, 2^(e - 24): log10(2) < 0.30103.
    exact_steps s{binary_exponent, 0, 0, 0, false};
    set_step(s, 10000, (binary_exponent - 24) * 30103 / 100000 - 2);
    advance_to(s, 1);
    return s;
}

bool advance_to(exact_steps& s, std::uint64_t f) {
    bool tie = false;  // whether the last boundary at or below f lies on f
    while (s.next <= f) {
        const int e = s.binary_exponent, x = s.decimal_exponent;
        tie = s.next == f && s.next_is_tie;
        if (s.digits == 99999) {
            set_step(s, 10000, x + 1);
            continue;
        }
        const boundary one = boundary_above(e, s.digits + 1, x);
        if (one.first > f) {
            s.digits += 1;
            s.next = one.first;
            s.next_is_tie = one.exact;
            continue;
        }
        // Steps finer than fractions: skip the decade, or search it for the
        // first step whose boundary lies above f.
        const boundary last = boundary_above(e, 99999, x);
        if (last.first <= f) {
            tie = last.first == f && last.exact;
            set_step(s, 10000, x + 1);
            continue;
        }
        std::uint32_t below = s.digits + 1, above = 99999;
        tie = one.first == f && one.exact;
        while (above - below > 1) {
            const std::uint32_t middle = below + (above - below) / 2;
            const boundary b = boundary_above(e, middle, x);
            if (b.first <= f) {
                below = middle;
                tie = b.first == f && b.exact;
            } else {
                above = middle;
            }
        }
        set_step(s, above, x);
    }
    return tie;
}

void write_step_text(const exact_steps& s, char* out) {
    std::uint32_t d = s.digits;
    for (int i = 5; i >= 2; --i, d /= 10) out[i] = static_cast<char>('0' + d % 10);
    out[0] = static_cast<char>('0' + d);
    out[1] = '.';
    out[6] = 'E';
    const int x = std::abs(s.decimal_exponent);
    out[7] = s.decimal_exponent < 0 ? '-' : '+';
    out[8] = static_cast<char>('0' + x / 10);
    out[9] = static_cast<char>('0' + x % 10);
}
