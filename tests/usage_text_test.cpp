#include "app/usage_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The banner shows project(VERSION) as the program has always shown its
// version: the major number, a point and the minor number in two digits.
TEST(UsageText, TheBannerShowsTheProjectVersionWithTwoMinorDigits) {
    const int major = DATALOG_VERSION_MAJOR, minor = DATALOG_VERSION_MINOR;
    const std::string version =
        std::to_string(major) + (minor < 10 ? ".0" : ".") + std::to_string(minor);
    EXPECT_EQ(std::string(app::banner_text),
              "\nVeltrask Ltd datalog file conversion program v" + version + "\n\n");
}

}  // namespace
