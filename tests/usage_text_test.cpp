#include "app/usage_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The banner's version is fixed text; the version resource and the package
// take theirs from the build. They must not drift apart.
TEST(UsageText, TheBannerShowsTheBuildsVersion) {
    EXPECT_NE(std::string(app::banner_text).find(std::string(" v") + DATALOG_VERSION_TEXT + "\n"),
              std::string::npos);
}

}  // namespace
