// The programs the benchmark runs besides the built program, in one
// executable, built for Linux and for Windows alike:
//
//   datalog_bench_programs baseline INPUT OUTPUT      the plain stdio converter
//   datalog_bench_programs copy INPUT OUTPUT SIZE     the copy floor
//   datalog_bench_programs write OUTPUT SIZE          the write-only floor
//   datalog_bench_programs path                      the formatting path the
//       program takes on this processor, by name
//   datalog_bench_programs program PATH THREADS ARGUMENTS...
//       the program's own main routine, held to the formatting path PATH
//       (scalar, sse41, avx2 or avx512; "any": the one it chooses itself) and
//       to THREADS threads that each read, format and write batches of records
//       in turn (1: the program's one thread does it all), or to as many as it
//       chooses itself with "auto"; THREADS/RECORDS also holds a batch to at
//       most RECORDS records (the tests' ways of sharing a conversion out)
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/run_command_line.h"
#include "baseline_convert.h"
#include "datalog/value_text/value_paths.h"

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "path") == 0)
        return std::puts(datalog::value_path_name(datalog::fastest_value_path())) < 0;
    if (argc == 4 && std::strcmp(argv[1], "baseline") == 0)
        return baseline_convert(argv[2], argv[3]);
    if (argc == 5 && std::strcmp(argv[1], "copy") == 0)
        return copy_floor(argv[2], argv[3], std::atoll(argv[4]));
    if (argc == 4 && std::strcmp(argv[1], "write") == 0)
        return write_floor(argv[2], std::atoll(argv[3]));
    datalog::conversion_choices choices;
    if (argc >= 4 && std::strcmp(argv[1], "program") == 0 &&
        (std::strcmp(argv[2], "any") == 0 || datalog::value_path_named(argv[2], &choices.path)) &&
        datalog::value_path_available(choices.path)) {
        if (std::strcmp(argv[3], "auto") != 0) {
            choices.shape.threads = static_cast<unsigned>(std::atoi(argv[3]));
            if (const char* records = std::strchr(argv[3], '/'))
                choices.shape.batch_records = static_cast<std::uint32_t>(std::atoi(records + 1));
        }
        argv[3] = argv[0];
        return app::run_command_line(argc - 3, argv + 3, choices);
    }
    return 2;
}
