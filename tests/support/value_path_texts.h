// The formatting paths this build and processor run, driven one value list at
// a time, for the tests that hold them to each other and to the reference.
#pragma once

#include <string>
#include <vector>

#include "datalog/value_text/value_paths.h"

// Every path this build and processor run, fastest first.
std::vector<datalog::value_path> available_value_paths();

// The text `path` writes for the packed values in `chars` (8 characters each),
// 16 at a time: ", " and 11 characters each.
std::string value_texts(datalog::value_path path, const std::string& chars);
