// Packed values through the built program against the exact reference: for
// the Windows build, its own arithmetic and runtime.
#include <algorithm>
#include <cmath>
#include <random>

#include "e2e_fixture.h"
#include "packed_ties.h"
#include "reference_format.h"

namespace {

using namespace e2e;

// Thousands of random, tied and extreme values through the built program (for
// the Windows build: its 32-bit arithmetic), against the exact reference.
TEST_F(Program, ConvertsRandomValuesExactly) {
    std::mt19937 rng(99);
    const datalog_writer::header_fields h{0, 16, 64};
    std::string file = datalog_writer::preamble() + datalog_writer::header_block(h), text;
    for (int r = 1; r <= 2000; ++r) {
        text += reference_record_number(r);
        for (int k = 0; k < 16; ++k) {
            const packed_sample p = random_packed_sample(rng, k == 0);
            file += datalog_writer::encode_packed(p.negative, p.exponent, p.fraction);
            text += ", " + p.text;
        }
        text += "\n";
    }
    write("RANDOM.KYX", file + datalog_writer::end_marker_record(64));
    const program_result r = run({"-iRANDOM.KYX", "-oRANDOM.TXT"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(read_file(path("RANDOM.TXT")) == as_written(text));
}

// Every exact tie a packed value can be, of both signs, 16 to a record, through
// the built program (for the Windows build: its own arithmetic and runtime).
TEST_F(Program, ConvertsEveryExactTieAwayFromZero) {
    std::vector<double> values;
    for (const double tie : all_ties()) {
        values.push_back(tie);
        values.push_back(-tie);
    }
    const datalog_writer::header_fields h{0, 16, 64};
    std::string file = datalog_writer::preamble() + datalog_writer::header_block(h), text;
    int records = 0;
    for (std::size_t i = 0; i < values.size(); i += 16) {
        text += reference_record_number(++records);
        for (std::size_t k = i; k < i + 16; ++k) {
            const double value = k < values.size() ? values[k] : 0.0;
            const packed_parts parts = packed_parts_of(std::fabs(value));
            file += datalog_writer::encode_packed(std::signbit(value), parts.exponent,
                                                  value != 0 ? parts.fraction : 0);
            text += ", " + reference_format(value);
        }
        text += "\n";
    }
    ASSERT_GT(values.size(), 340000u);
    write("TIES.KYX", file + datalog_writer::end_marker_record(64));
    const program_result r = run({"-iTIES.KYX", "-oTIES.TXT"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err.substr(r.err.size() - as_written(complete).size()), as_written(complete));
    const std::string got = read_file(path("TIES.TXT")), want = as_written(text);
    EXPECT_EQ(got.size(), want.size());
    const auto mismatch = std::mismatch(want.begin(), want.end(), got.begin(), got.end());
    EXPECT_TRUE(mismatch.first == want.end())
        << "first difference at byte " << (mismatch.first - want.begin()) << ": "
        << want.substr(std::max<std::ptrdiff_t>(0, mismatch.first - want.begin() - 40), 80);
}

}  // namespace
