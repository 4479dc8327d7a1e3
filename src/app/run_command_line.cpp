#include "app/run_command_line.h"

#include <cstdio>
#include <string>

#include "app/dropped_file.h"
#include "app/file_identity.h"
#include "app/option_scan.h"
#include "app/platform_files.h"
#include "app/usage_text.h"
#include "datalog/datalog_convert.h"

namespace app {
namespace {

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

int fail(const char* format, const std::string& path) {
    std::fprintf(stderr, format, path.c_str());
    return finish(1);
}

// Opens both files, converts, closes both and reports.
int convert_files(const std::string& input_path, const std::string& output_path) {
    // Text mode, as the format is defined: on Windows it is where a CR LF pair
    // would read as LF and a byte 0x1A end the input. The conversion does that
    // itself over the bytes (datalog/text_mode.h), a chunk at a time.
    std::FILE* input = std::fopen(input_path.c_str(), "r");
    if (input != nullptr && is_directory(input)) {
        std::fclose(input);
        input = nullptr;
    }
    if (input == nullptr) return fail("cannot open input file %s\n", input_path);
    // The converter reads and writes whole 64 KiB chunks itself; unbuffered,
    // the streams pass each to the system in one piece.
    std::setvbuf(input, nullptr, _IONBF, 0);
    // Opening the output truncates it: it must never be the datalog itself.
    const output_file opened = open_output(output_path, input);
    if (opened.stream == nullptr) {
        std::fclose(input);
        return fail(
            opened.is_input ? "output file %s is the input file\n" : "cannot open output file %s\n",
            output_path);
    }
    std::FILE* output = opened.stream;
    std::setvbuf(output, nullptr, _IONBF, 0);

    std::fprintf(stderr, "Processing file %s into output file %s\n", input_path.c_str(),
                 output_path.c_str());
    const int converted = datalog::convert_datalog(input, output);
    if (converted == datalog::invalid_datalog) std::fputs("Invalid datalog file\n", stderr);
    std::fclose(input);
    // Flushing first lets every runtime report a failed last write, not only
    // those whose fclose does.
    bool written = std::fflush(output) == 0 && std::ferror(output) == 0;
    written = std::fclose(output) == 0 && written;
    // A failed read stopped the conversion: the records before it are kept.
    if (converted == datalog::input_read_failed)
        return fail("cannot read input file %s\n", input_path);
    if (!written) return fail("cannot write output file %s\n", output_path);
    std::fputs("\nOperation complete\n\n", stderr);
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
    std::fputs(banner_text, stderr);

    const option_scan scan = scan_options(argc, argv);
    if (scan.result == option_scan::outcome::help) {
        print_usage();
        return finish(0);
    }
    if (scan.result == option_scan::outcome::invalid) {
        std::printf("Invalid argument %c\n", scan.invalid_letter);
        std::fflush(stdout);
        std::fputs(usage_text_error, stderr);
        return finish(1);
    }

    const dropped_file_choice dropped =
        test_dropped_file(scan.stop_argument, scan.input && scan.output);
    switch (dropped.result) {
        case dropped_file_choice::outcome::convert:
            return convert_files(dropped.input, dropped.output);
        case dropped_file_choice::outcome::reject:
            std::fputs("Invalid datalog file\n", stderr);
            return finish(0);
        case dropped_file_choice::outcome::pass_on:
            break;
    }

    if (scan.arguments_left) {
        std::fputs(usage_text_error, stderr);
        return finish(1);
    }
    if (!scan.input) {
        std::fputs("no input file specified\n", stderr);
        return finish(1);
    }
    if (!scan.output) {
        std::fputs("no output file specified\n", stderr);
        return finish(1);
    }
    return convert_files(*scan.input, *scan.output);
}

}  // namespace app
