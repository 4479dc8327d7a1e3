// Every kept fuzzing input and every example, through the fuzz target's checks.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "conversion_invariants.h"

namespace {

namespace fs = std::filesystem;

TEST(FuzzRegressions, KeptInputsAndExamplesKeepTheInvariants) {
    int checked = 0;
    for (const char* folder : {DATALOG_FUZZ_REGRESSIONS_DIR, DATALOG_EXAMPLES_DIR}) {
        for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
            std::ifstream file(entry.path(), std::ios::binary);
            const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                                  std::istreambuf_iterator<char>());
            EXPECT_EQ(check_conversion_invariants(bytes.data(), bytes.size()), "") << entry.path();
            EXPECT_EQ(check_text_mode_invariants(bytes.data(), bytes.size()), "") << entry.path();
            EXPECT_EQ(check_derived_name_invariants(bytes.data(), bytes.size()), "")
                << entry.path();
            ++checked;
        }
    }
    EXPECT_GE(checked, 4);
}

}  // namespace
