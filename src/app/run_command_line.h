// The program's main routine: banner, options, paths, files, conversion, the
// final wait and the exit status.
#pragma once

#include "datalog/datalog_convert.h"

namespace app {

// Runs the program on its arguments (argv[0] is its own path as invoked) and
// returns the exit status: 0 after a conversion (valid datalog or not), the
// help text, or a dropped path that is no datalog name; 1 for every other
// failure. A conversion takes `choices` (how it is shared out and formatted),
// which change nothing it writes: the benchmark holds the program to others.
int run_command_line(int argc, const char* const* argv,
                     const datalog::conversion_choices& choices = {});

}  // namespace app
