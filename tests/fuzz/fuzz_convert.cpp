// libFuzzer target: arbitrary bytes as a datalog file, read as bytes and in
// Windows' text mode, and as a dropped path.
// Built with -DDATALOG_FUZZ=ON (clang), with AddressSanitizer and
// UndefinedBehaviorSanitizer; tests/fuzz/run_fuzz.sh runs it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "conversion_invariants.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (const std::string& failure :
         {check_conversion_invariants(data, size), check_text_mode_invariants(data, size),
          check_derived_name_invariants(data, size)}) {
        if (!failure.empty()) {
            std::fprintf(stderr, "invariant broken: %s\n", failure.c_str());
            std::abort();
        }
    }
    return 0;
}
