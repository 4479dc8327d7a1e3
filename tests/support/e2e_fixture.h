// What the end-to-end tests share: the program's fixed texts, a small
// datalog with its expected text, and a fixture that runs the program in a
// temporary folder of its own.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "conversion_helpers.h"
#include "datalog_writer.h"
#include "program_runner.h"

namespace e2e {

namespace fs = std::filesystem;

// The banner shows project(VERSION) in CMakeLists.txt as the program has
// always shown its version: the major number, a point and the minor number in
// two digits (1.04), derived here from the raw numbers.
inline std::string version_text(int major, int minor) {
    return std::to_string(major) + (minor < 10 ? ".0" : ".") + std::to_string(minor);
}
inline const std::string banner = "\nVeltrask Ltd datalog file conversion program v" +
                                  version_text(DATALOG_VERSION_MAJOR, DATALOG_VERSION_MINOR) +
                                  "\n\n";
inline const std::string options_text =
    "RARedir.exe -ifname -ofname\n"
    "   -ifname   input file name such as ZBA_D001.KYX\n"
    "   -ofname   output file name such as DATALOG.TXT\n"
    "\n"
    "Alternatively, Drag and drop a KYX file into this .exe\n";
inline const std::string usage_help = "Usage:\n" + options_text;
inline const std::string usage_error = "Usage:\n\n" + options_text;
inline const std::string complete = "\nOperation complete\n\n";

// A two-record datalog, its text, and what converting it reports.
inline std::string small_datalog() {
    const datalog_writer::header_fields h{0, 2, 8, 1, 2};
    return datalog_writer::datalog(h, {{1.0, -0.25}, {1.03125, 12344.5}});
}
inline const std::string small_text =
    "    1, +1.0000E+00, -2.5000E-01\n    2, +1.0313E+00, +1.2345E+04\n";
inline const std::string small_report = header_report(0, 2, 1, 2) + analysing;
inline const std::string small_progress = progress_line(1) + progress_line(2) + summary(2);

inline std::string converted(const std::string& in, const std::string& out) {
    return banner + "Processing file " + in + " into output file " + out + "\n" + small_report +
           complete;
}

inline std::string as_written(const std::string& text) {
    return program_writes_crlf() ? with_crlf(text) : text;
}

class Program : public testing::Test {
  protected:
    void SetUp() override { folder = make_temp_folder(); }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    std::string path(const std::string& name) const { return folder + "/" + name; }
    void write(const std::string& name, const std::string& content) const {
        fs::create_directories(fs::path(path(name)).parent_path());
        ASSERT_TRUE(datalog_writer::write_file(path(name), content));
    }
    program_result run(const std::vector<std::string>& args) const {
        return run_program(folder, args);
    }
    std::string folder;
};

}  // namespace e2e
