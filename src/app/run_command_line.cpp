#include "app/run_command_line.h"

#include <cstdio>
#include <string>

#include "app/console_text.h"
#include "app/dropped_file.h"
#include "app/file_identity.h"
#include "app/option_scan.h"
#include "app/platform_files.h"
#include "app/usage_text.h"
#include "datalog/datalog_convert.h"

namespace app {
namespace {

// How this system's lines end and its text reads.
const datalog::text_mode text = system_text_mode();

// Reads one character from standard input and discards it, with no prompt;
// returns at once at the end of input. Called once on every path that ends
// the program. Unbuffered, so that exactly one character is taken from the
// input, which may go on to serve whatever reads it next.
void wait_for_key() {
    std::setvbuf(stdin, nullptr, _IONBF, 0);
    std::getchar();
}

int finish(int status) {
    wait_for_key();
    return status;
}

// "<before><path><after>" on the error stream, then the end with status 1.
int fail(const char* before, const std::string& path, const char* after) {
    write_message(stderr, before + path + after);
    return finish(1);
}

// Opens both files, converts, closes both and reports.
int convert_files(const std::string& input_path, const std::string& output_path) {
    // Read as bytes: the conversion reads them as this system's text.
    std::FILE* input = open_for_reading(input_path);
    if (input != nullptr && is_directory(input)) {
        std::fclose(input);
        input = nullptr;
    }
    if (input == nullptr) return fail("cannot open input file ", input_path, "\n");
    // The converter reads and writes whole 64 KiB chunks itself; unbuffered,
    // the streams pass each to the system in one piece.
    std::setvbuf(input, nullptr, _IONBF, 0);
    // Opening the output truncates it: it must never be the datalog itself.
    const output_file opened = open_output(output_path, input);
    if (opened.stream == nullptr) {
        std::fclose(input);
        return opened.is_input ? fail("output file ", output_path, " is the input file\n")
                               : fail("cannot open output file ", output_path, "\n");
    }
    std::FILE* output = opened.stream;
    std::setvbuf(output, nullptr, _IONBF, 0);

    write_message(stderr,
                  "Processing file " + input_path + " into output file " + output_path + "\n");
    const int converted = datalog::convert_datalog(input, output, text);
    if (converted == datalog::invalid_datalog) write_message(stderr, "Invalid datalog file\n");
    std::fclose(input);
    // Flushing first lets every runtime report a failed last write, not only
    // those whose fclose does.
    bool written = std::fflush(output) == 0 && std::ferror(output) == 0;
    written = std::fclose(output) == 0 && written;
    // A failed read stopped the conversion: the records before it are kept.
    if (converted == datalog::input_read_failed)
        return fail("cannot read input file ", input_path, "\n");
    if (!written) return fail("cannot write output file ", output_path, "\n");
    write_message(stderr, "\nOperation complete\n\n");
    return finish(0);
}

}  // namespace

int run_command_line(int argc, const char* const* argv) {
    // A closed standard stream's descriptor would go to the first file opened,
    // and console text into it.
    if (!open_standard_streams()) return 1;
    // Unbuffered, as the C standard has it; some runtimes buffer a redirected
    // error stream, which would put its messages out of order with standard
    // output when both go to one file.
    std::setvbuf(stderr, nullptr, _IONBF, 0);
    write_message(stderr, banner_text);

    const option_scan scan = scan_options(argc, argv);
    if (scan.result == option_scan::outcome::help) {
        write_message(stderr, usage_text_help);
        return finish(0);
    }
    if (scan.result == option_scan::outcome::invalid) {
        write_message(stdout, "Invalid argument " + scan.invalid_letter + "\n");
        std::fflush(stdout);
        write_message(stderr, usage_text_error);
        return finish(1);
    }

    const dropped_file_choice dropped =
        test_dropped_file(scan.stop_argument, scan.input && scan.output);
    switch (dropped.result) {
        case dropped_file_choice::outcome::convert:
            return convert_files(dropped.input, dropped.output);
        case dropped_file_choice::outcome::reject:
            write_message(stderr, "Invalid datalog file\n");
            return finish(0);
        case dropped_file_choice::outcome::pass_on:
            break;
    }

    if (scan.arguments_left) {
        write_message(stderr, usage_text_error);
        return finish(1);
    }
    if (!scan.input) {
        write_message(stderr, "no input file specified\n");
        return finish(1);
    }
    if (!scan.output) {
        write_message(stderr, "no output file specified\n");
        return finish(1);
    }
    return convert_files(*scan.input, *scan.output);
}

}  // namespace app
