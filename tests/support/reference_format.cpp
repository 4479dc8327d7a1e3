#include "reference_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

std::string reference_format(double value, int expansion_digits) {
    const std::string sign = std::signbit(value) ? "-" : "+";

    std::vector<char> text(expansion_digits + 16);
    std::snprintf(text.data(), text.size(), "%.*e", expansion_digits, std::fabs(value));
    const char* e = std::strchr(text.data(), 'e');
    // The expansion is exact only if printf had nothing left to round: it then
    // ends in zeros.
    if (std::strncmp(e - 3, "000", 3) != 0) throw std::runtime_error("expansion too short");
    int exponent = std::atoi(e + 1);

    // Digits d0 . d1 d2 d3 d4 | d5 ...: round half away from zero on the exact
    // expansion, so d5 >= 5 means "at least half" and rounds up.
    std::string digits = std::string(1, text[0]) + std::string(text.data() + 2, 4);
    if (text[6] >= '5') {
        int i = 4;
        while (i >= 0 && digits[i] == '9') digits[i--] = '0';
        if (i >= 0) {
            ++digits[i];
        } else {
            digits = "10000";
            ++exponent;
        }
    }
    char exponent_text[16];
    std::snprintf(exponent_text, sizeof exponent_text, "%c%02d", exponent < 0 ? '-' : '+',
                  std::abs(exponent));
    return sign + digits.substr(0, 1) + "." + digits.substr(1) + "E" + exponent_text;
}

std::string reference_record_number(unsigned long number) {
    const std::string digits = std::to_string(number);
    return std::string(digits.size() < 5 ? 5 - digits.size() : 0, ' ') + digits;
}

packed_sample random_packed_sample(std::mt19937& rng, bool opens_record) {
    static const double ties[] = {1.03125, 12344.5, 99999.5, 0.00390625,
                                  1234.25, 10937.5, 250.0625};
    packed_sample p{(rng() & 1u) != 0, static_cast<int>(rng() % 128) - 64,
                    static_cast<std::uint32_t>(rng() & 0xFFFFFF), ""};
    if (rng() % 8 == 0)
        p.fraction =
            static_cast<std::uint32_t>(std::ldexp(std::frexp(ties[rng() % 7], &p.exponent), 24));
    else if (rng() % 20 == 0)
        p.fraction = 0;
    if (opens_record && p.negative && p.exponent == -1) p.negative = false;  // exponent byte FF
    const double magnitude = std::ldexp(static_cast<double>(p.fraction), p.exponent - 24);
    p.text = reference_format(p.negative ? -magnitude : magnitude);
    return p;
}
