#include "app/run_command_line.h"

#include <cstdio>
#include <string>

#include "app/console_text.h"
#include "app/dropped_file.h"
#include "app/open_files.h"
#include "app/option_scan.h"
#include "app/standard_streams.h"
#include "app/usage_text.h"
#include "datalog/datalog_convert.h"

namespace app {
namespace {

// Reads one character from standard input and discards it, with no prompt;
// returns at once at the end of input. Called once on every path that ends
// the program after the banner (one that cannot set up its standard streams
// ends at once, with status 1). Unbuffered, so that exactly one character is
// taken from the input, which may go on to serve whatever reads it next.
void wait_for_key() {
    std::setvbuf(stdin, nullptr, _IONBF, 0);
    std::getchar();
}

int finish(int status) {
    wait_for_key();
    return status;
}

void say(const console& streams, std::string_view text) {
    write_message(streams.error, streams.mode, text);
}

// "<before><path><after>" on the error stream, then the end with status 1.
int fail(const console& streams, const char* before, const std::string& path, const char* after) {
    say(streams, before + path + after);
    return finish(1);
}

// Opens both files, converts, closes both and reports.
int convert_files(const console& streams, const std::string& input_path,
                  const std::string& output_path, const datalog::conversion_choices& choices) {
    opened_input input = open_input(input_path);
    if (input.result != input_opening::opened)
        return fail(streams, "cannot open input file ", input_path, "\n");
    // Opening the output truncates it: it must never be the datalog itself.
    opened_output output = open_output(output_path, input.file);
    if (output.result != output_opening::opened) input.file.close();
    switch (output.result) {
        case output_opening::is_input:
            return fail(streams, "output file ", output_path, " is the input file\n");
        case output_opening::holds_input:  // the content alone tells, not which file it is
            return fail(streams, "output file ", output_path, " holds the input file's bytes\n");
        case output_opening::not_checked:
            return fail(streams, "cannot check output file ", output_path,
                        " against the input file\n");
        case output_opening::cannot_open:
            return fail(streams, "cannot open output file ", output_path, "\n");
        case output_opening::opened:
            break;
    }

    say(streams, "Processing file " + input_path + " into output file " + output_path + "\n");
    const datalog::conversion_result converted =
        datalog::convert_datalog(input.file.stream(), output.file.stream(), streams.mode,
                                 streams.output, streams.error, choices);
    if (converted == datalog::conversion_result::invalid_datalog)
        say(streams, "Invalid datalog file\n");
    input.file.close();
    const bool written = output.file.close();
    switch (converted) {
        case datalog::conversion_result::input_read_failed:
            // The records before the failed read are kept.
            return fail(streams, "cannot read input file ", input_path, "\n");
        case datalog::conversion_result::ran:
        case datalog::conversion_result::invalid_datalog:
            break;
    }
    if (!written) return fail(streams, "cannot write output file ", output_path, "\n");
    say(streams, "\nOperation complete\n\n");
    return finish(0);
}

}  // namespace

int run_command_line(int argc, const char* const* argv,
                     const datalog::conversion_choices& choices) {
    // A closed standard stream's descriptor would go to the first file opened,
    // and console text into it.
    if (!open_standard_streams()) return 1;
    // Unbuffered, as the C standard has it; some runtimes buffer a redirected
    // error stream, which would put its messages out of order with standard
    // output when both go to one file.
    std::setvbuf(stderr, nullptr, _IONBF, 0);
    const console streams{stdout, stderr, system_text_mode()};
    say(streams, banner_text);

    const option_scan scan = scan_options(argc, argv);
    if (scan.result == option_scan::outcome::help) {
        say(streams, usage_text_help);
        return finish(0);
    }
    if (scan.result == option_scan::outcome::invalid) {
        write_message(streams.output, streams.mode,
                      "Invalid argument " + scan.invalid_letter + "\n");
        std::fflush(streams.output);
        say(streams, usage_text_error);
        return finish(1);
    }

    const dropped_file_choice dropped =
        test_dropped_file(scan.stop_argument, scan.input && scan.output);
    switch (dropped.result) {
        case dropped_file_choice::outcome::convert:
            return convert_files(streams, dropped.input, dropped.output, choices);
        case dropped_file_choice::outcome::reject:
            say(streams, "Invalid datalog file\n");
            return finish(0);
        case dropped_file_choice::outcome::pass_on:
            break;
    }

    if (scan.arguments_left) {
        say(streams, usage_text_error);
        return finish(1);
    }
    if (!scan.input) {
        say(streams, "no input file specified\n");
        return finish(1);
    }
    if (!scan.output) {
        say(streams, "no output file specified\n");
        return finish(1);
    }
    return convert_files(streams, *scan.input, *scan.output, choices);
}

}  // namespace app
