#include "app/dropped_file.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(DroppedFile, DerivedOutputNameReplacesFromTheLastDot) {
    const struct {
        const char* path;
        const char* output;
    } cases[] = {
        {"C:\\logs\\ZBA_D001.KYX", "C:\\logs\\ZBA_D001.txt"},
        {"run.KYX.bak", "run.KYX.txt"},
        {"C:\\old.KYX\\log", "C:\\old.txt"},
        {"a.KYX.txt", "a.KYX.txt"},
        {"x.KYX.", "x.KYX.txt"},
        {"x.KYX.ab", "x.KYX.txt"},
        {"noextension", "noextension.txt"},
    };
    for (const auto& c : cases) EXPECT_EQ(app::derived_output_name(c.path), c.output) << c.path;
    const std::string long_path = std::string(700, 'a') + ".KYX";
    EXPECT_EQ(app::derived_output_name(long_path), std::string(700, 'a') + ".txt");
}

}  // namespace
