#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/dropped_file.h"
#include "app/option_scan.h"

namespace {

using app::option_scan;

option_scan scan(std::vector<const char*> args) {
    args.insert(args.begin(), "RARedir");
    return app::scan_options(static_cast<int>(args.size()), args.data());
}

TEST(OptionScan, PathsStopArgumentAndOutcome) {
    const struct {
        std::vector<const char*> args;
        option_scan::outcome result;
        const char* input;   // null: absent
        const char* output;  // null: absent
        const char* stop;
        bool left;
    } cases[] = {
        {{}, option_scan::outcome::paths, nullptr, nullptr, "RARedir", false},
        {{"-iA", "-oB"}, option_scan::outcome::paths, "A", "B", "-oB", false},
        {{"-iA", "-iC"}, option_scan::outcome::paths, "C", nullptr, "-iC", false},
        {{"-i", "A", "-oB"}, option_scan::outcome::paths, "", nullptr, "A", true},
        {{"x.KYX", "-iA"}, option_scan::outcome::paths, nullptr, nullptr, "x.KYX", true},
        {{"-iA", "-h", "-x"}, option_scan::outcome::help, "A", nullptr, "-h", false},
        {{"-?"}, option_scan::outcome::help, nullptr, nullptr, "-?", false},
        {{"-O"}, option_scan::outcome::invalid, nullptr, nullptr, "-O", false},
        {{"-"}, option_scan::outcome::invalid, nullptr, nullptr, "-", false},
        {{""}, option_scan::outcome::paths, nullptr, nullptr, "", true},
    };
    for (const auto& c : cases) {
        const option_scan s = scan(c.args);
        const std::string shown = c.args.empty() ? "(none)" : c.args.front();
        EXPECT_EQ(s.result, c.result) << shown;
        EXPECT_EQ(s.input.has_value(), c.input != nullptr) << shown;
        if (c.input != nullptr && s.input) {
            EXPECT_EQ(*s.input, c.input) << shown;
        }
        EXPECT_EQ(s.output.has_value(), c.output != nullptr) << shown;
        if (c.output != nullptr && s.output) {
            EXPECT_EQ(*s.output, c.output) << shown;
        }
        EXPECT_STREQ(s.stop_argument, c.stop) << shown;
        EXPECT_EQ(s.arguments_left, c.left) << shown;
    }
    EXPECT_EQ(scan({"-O"}).invalid_letter, 'O');
    EXPECT_EQ(scan({"-"}).invalid_letter, '\0');
    EXPECT_EQ(app::scan_options(0, nullptr).stop_argument, nullptr);
}

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

#include "app/usage_text.h"

namespace {

// The banner's version is fixed text; the version resource and the package
// take theirs from the build. They must not drift apart.
TEST(UsageText, TheBannerShowsTheBuildsVersion) {
    EXPECT_NE(std::string(app::banner_text).find(std::string(" v") + DATALOG_VERSION_TEXT + "\n"),
              std::string::npos);
}

}  // namespace
