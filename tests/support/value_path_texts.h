// The formatting paths this build and processor run, driven one value list at
// a time, for the tests that hold them to each other and to the reference.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "datalog/value_text/value_paths.h"

// Every path this build and processor run, fastest first.
std::vector<datalog::value_path> available_value_paths();

// The text `path` writes for the packed values in `chars` (8 characters each),
// through format_values 16 at a time: ", " and 11 characters each.
std::string value_texts(datalog::value_path path, const std::string& chars);

// Holds format_values to a path while it lives, and restores the one before,
// also when an assertion ends the test early.
class scoped_value_path {
  public:
    explicit scoped_value_path(datalog::value_path path) : previous_(datalog::active_value_path()) {
        if (!datalog::set_value_path(path))
            throw std::invalid_argument(std::string("no path ") + datalog::value_path_name(path));
    }
    ~scoped_value_path() { datalog::set_value_path(previous_); }
    scoped_value_path(const scoped_value_path&) = delete;
    scoped_value_path& operator=(const scoped_value_path&) = delete;

  private:
    datalog::value_path previous_;
};
