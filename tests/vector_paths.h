// The vector formatting paths this processor runs, driven one value list at a
// time, for the tests that hold them to the scalar formatter and the reference.
#pragma once

#include <string>
#include <vector>

struct vector_path {
    const char* name;
    // The text the path writes for the packed values in `chars` (8 characters
    // each; a multiple of 64 characters for the eight-value path).
    std::string (*format)(const std::string& chars);
};

// The paths available here; empty where the processor has none.
std::vector<vector_path> available_vector_paths();

// The scalar formatter's text for the same values: ", " and 11 characters each.
std::string scalar_texts(const std::string& chars);
