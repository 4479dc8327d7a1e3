#include "app/option_scan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
    // The letter as a whole character, where it is more than one byte.
    EXPECT_EQ(scan({"-O"}).invalid_letter, "O");
    EXPECT_EQ(scan({"-"}).invalid_letter, std::string(1, '\0'));
    EXPECT_EQ(scan({"-\u00e9x"}).invalid_letter, "\u00e9");
    EXPECT_EQ(scan({"-\U0001d11e"}).invalid_letter, "\U0001d11e");
    EXPECT_EQ(scan({"-\xE9x"}).invalid_letter, "\xE9");
    EXPECT_EQ(app::scan_options(0, nullptr).stop_argument, nullptr);
}

}  // namespace
