// An independent "%+.4E" with ties away from zero, for checking the formatter:
// glibc's printf gives the exact decimal expansion of a double when asked for
// enough digits, and this rounds it to four decimals itself.
#pragma once

#include <cstdint>
#include <random>
#include <string>

// `expansion_digits` must reach the value's last non-zero decimal digit: 120
// covers every packed datalog value.
std::string reference_format(double value, int expansion_digits = 120);

// "%5d" of a record number: right-aligned in five characters, wider when it
// needs more.
std::string reference_record_number(unsigned long number);

// A random packed value and the text it must print as: sign, binary exponent
// and fraction at random, about one in eight an exact tie and one in twenty
// zero; never an end marker's exponent byte (FF) when it `opens_record`.
struct packed_sample {
    bool negative;
    int exponent;
    std::uint32_t fraction;
    std::string text;
};
packed_sample random_packed_sample(std::mt19937& rng, bool opens_record);
