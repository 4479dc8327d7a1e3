// Runs convert_datalog over in-memory file contents and captures everything it
// writes: the return value, the output file, standard output and the error stream.
#pragma once

#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "datalog/datalog_convert.h"
#include "datalog/record_pipeline.h"
#include "datalog/text_mode.h"

struct conversion {
    datalog::conversion_result status;
    std::string text;   // the output file
    std::string out;    // standard output
    std::string err;    // the error stream
    bool output_error;  // the output stream's error indicator afterwards
    long input_read;    // how far the input was read, where it can fail (fail_at)
};

// With `fail_at` set, the input fails with an I/O error (not its end) when a
// read reaches that offset, as a damaged disk or /proc/self/mem does.
// `mode` is the text mode the conversion does itself. With `unseekable`, the
// input cannot be positioned, as a pipe cannot. With `output_path` the
// output is that file, unbuffered, and `text` stays empty.
conversion run_conversion(const std::string& datalog_bytes, long fail_at = -1,
                          datalog::text_mode mode = datalog::text_mode::bytes,
                          bool unseekable = false, const char* output_path = nullptr);

// Reads `stream` through the conversion's reader in pieces of the given sizes
// (cycled) until a read comes back short, in text mode `mode`. A short read
// while the stream has not ended sets `*short_before_end`.
std::string read_in_pieces(std::FILE* stream, const std::vector<std::size_t>& sizes,
                           datalog::text_mode mode = datalog::text_mode::bytes,
                           bool* short_before_end = nullptr);

// Everything in a stream opened for update, from its start.
std::string read_all(std::FILE* file);

// The console text the conversion writes, with LF line ends: the header
// report for these fields, the line after it, one progress line and the
// summary.
std::string header_report(unsigned count, unsigned values, unsigned per_phase, unsigned phases);
// Inline, so that it is ready before any later inline text built from it.
inline const std::string analysing = "\nAnalysing datalog file\n";
std::string progress_line(unsigned record);
std::string summary(unsigned records);

// The text with each LF written as CR LF.
std::string with_crlf(const std::string& text);

// The ways of sharing out a conversion the tests run it in: the calling
// thread alone, and 2, 3 and 8 threads, with batches of 1, 2, 3 or 7 records,
// so that every hand-over between threads happens many times, and as large
// as they come.
const std::vector<datalog::pipeline_shape>& tested_pipeline_shapes();

// "2 threads, batches of 3 records", for messages.
std::string shape_name(const datalog::pipeline_shape& shape);

// Calls check(mode, name) for every tested pipeline shape in each text mode,
// with conversions held to the shape; `name` says which, for messages.
void in_every_way(
    const std::function<void(datalog::text_mode mode, const std::string& name)>& check);

// The text as a conversion in `mode` writes it: with CR LF in Windows' text mode.
std::string in_mode(datalog::text_mode mode, const std::string& text);

// The choices run_conversion hands the conversion: this processor's own
// unless a scope below holds them to others.
datalog::conversion_choices& held_choices();

// Holds run_conversion to a shape while it lives, and restores the one
// before, also when an assertion ends the test early.
class scoped_pipeline_shape {
  public:
    explicit scoped_pipeline_shape(const datalog::pipeline_shape& shape)
        : previous_(held_choices().shape) {
        held_choices().shape = shape;
    }
    ~scoped_pipeline_shape() { held_choices().shape = previous_; }
    scoped_pipeline_shape(const scoped_pipeline_shape&) = delete;
    scoped_pipeline_shape& operator=(const scoped_pipeline_shape&) = delete;

  private:
    datalog::pipeline_shape previous_;
};

// The same for a formatting path, which this processor must run.
class scoped_value_path {
  public:
    explicit scoped_value_path(datalog::value_path path) : previous_(held_choices().path) {
        if (!datalog::value_path_available(path))
            throw std::invalid_argument(std::string("no path ") + datalog::value_path_name(path));
        held_choices().path = path;
    }
    ~scoped_value_path() { held_choices().path = previous_; }
    scoped_value_path(const scoped_value_path&) = delete;
    scoped_value_path& operator=(const scoped_value_path&) = delete;

  private:
    datalog::value_path previous_;
};

// Files written by this process fail past `size` bytes (with EFBIG, not a
// signal) while it lives.
class file_size_limit {
  public:
    explicit file_size_limit(rlim_t size) : old_signal_(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limit = old_;
        limit.rlim_cur = size;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~file_size_limit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, old_signal_);
    }

  private:
    rlimit old_{};
    void (*old_signal_)(int);
};
