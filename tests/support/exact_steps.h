// The exact step function from a packed value's 24-bit fraction to its
// "%+.4E" text, at one binary exponent, computed with integers only: an
// independent reference for the exhaustive check. It shares nothing with the
// formatter (no tables, no scaling code, no floating point).
//
// The magnitude f * 2^(e - 24) prints with five digits D (10000-99999) and a
// decimal exponent X. Going up, (D, X) changes at each boundary
// (2D + 1) / 2 * 10^(X - 4), to (D + 1, X), or to (10000, X + 1) after 99999; a
// value exactly on a boundary is a tie and takes the text above it (ties away
// from zero).
#pragma once

#include <cstdint>

struct exact_steps {
    int binary_exponent;   // e, -64 ... 63
    std::uint32_t digits;  // D of the current step
    int decimal_exponent;  // X of the current step
    std::uint64_t next;    // the first fraction past the current step
    bool next_is_tie;      // ... lies exactly on its boundary
};

// The steps at exponent e, at the step of fraction 1.
exact_steps steps_at(int binary_exponent);

// Moves to the step of fraction `f` (at or after the current one); returns
// whether f * 2^(e - 24) lies exactly on a boundary (an exact tie).
bool advance_to(exact_steps& steps, std::uint64_t f);

// The text of a positive value in the current step after its sign, such as
// "1.2345E+06": 10 characters.
void write_step_text(const exact_steps& steps, char* out);
