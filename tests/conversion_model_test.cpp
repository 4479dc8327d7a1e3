// Random datalogs against an independent model of the conversion: random,
// tied, wide-exponent and junk values, lower-case markers, counts below and
// above the records, truncations and rejected headers. The model builds the
// expected text from the values it encoded, formatted by reference_format.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "conversion_helpers.h"
#include "datalog/record_line.h"
#include "datalog_writer.h"
#include "reference_format.h"
#include "value_path_texts.h"

namespace {

struct model {
    std::mt19937 rng;
    bool newline_zeros = false;  // a zero may be an LF too
    unsigned pick(unsigned n) { return rng() % n; }
    bool chance(unsigned percent) { return pick(100) < percent; }

    // A hexadecimal digit for `nibble`, in either case; a zero may be junk.
    char digit(unsigned nibble) {
        static const char upper[] = "0123456789ABCDEF";
        static const char zeros[] = "00000 Gz#\n";
        if (nibble == 0) return zeros[pick(sizeof zeros - (newline_zeros ? 1 : 2))];
        const char c = upper[nibble];
        return nibble >= 10 && chance(50) ? static_cast<char>(c - 'A' + 'a') : c;
    }

    std::string byte(unsigned value) { return {digit(value & 0xF), digit(value >> 4)}; }

    // Encodes a random packed value, in the model's own spelling of its
    // digits, and returns the text it must print as.
    std::string value(std::string& record, bool first) {
        const packed_sample p = random_packed_sample(rng, first);
        const unsigned exponent_byte =
            ((static_cast<unsigned>(p.exponent) & 0x7F) << 1) | p.negative;
        record += byte(exponent_byte) + byte(p.fraction >> 16) + byte((p.fraction >> 8) & 0xFF) +
                  byte(p.fraction & 0xFF);
        return p.text;
    }

    std::string marker() { return {chance(50) ? 'F' : 'f', chance(50) ? 'F' : 'f'}; }

    std::string filler(std::size_t n) {
        std::string text;
        while (text.size() < n) text += digit(pick(16));
        return text;
    }
};

struct expectation {
    std::string file, text, out, err;
    datalog::conversion_result status = datalog::conversion_result::ran;
};

expectation random_case(model& m) {
    datalog_writer::header_fields h;
    h.values_per_record = m.pick(17);
    h.record_length =
        std::max(1u, 4 * h.values_per_record) + m.pick(65 - std::max(1u, 4 * h.values_per_record));
    const unsigned records = m.pick(30);
    h.record_count = m.chance(40) ? 0 : 1 + m.pick(records + 4);
    h.values_per_phase = m.pick(256);
    h.phases_per_record = m.pick(256);
    const bool rejected = m.chance(10);
    if (rejected) {
        const unsigned kind = m.pick(3);
        if (kind == 0) h.record_length = 0;
        if (kind == 1) h.record_length = 65 + m.pick(191);
        if (kind == 2) h.values_per_record = h.record_length / 4 + 1 + m.pick(4);
    }

    expectation e;
    e.file = datalog_writer::preamble() + datalog_writer::header_block(h);
    e.err =
        header_report(h.record_count, h.values_per_record, h.values_per_phase, h.phases_per_record);
    const std::size_t size = 2 * h.record_length;
    const std::uint32_t limit = h.record_count != 0 ? h.record_count : 1000000;
    std::uint32_t written = 0;
    for (unsigned r = 0; r < records; ++r) {
        std::string record, line = reference_record_number(r + 1);
        for (unsigned k = 0; k < h.values_per_record && !rejected; ++k)
            line += ", " + m.value(record, k == 0);
        record += m.filler(size > record.size() ? size - record.size() : 0);
        if (h.values_per_record == 0 && size >= 2) record[0] = '0';  // no accidental marker
        e.file += record.substr(0, size);
        if (written < limit) {
            e.text += line + "\n";
            e.out += progress_line(r + 1);
            ++written;
        }
    }
    const unsigned ending = size < 2 ? 3 : m.pick(4);  // marker, partial marker, partial, none
    if (ending == 0) e.file += m.marker() + m.filler(size - 2);
    if (ending == 1) e.file += m.marker() + m.filler(m.pick(size - 1));
    if (ending == 2) e.file += "0" + m.filler(m.pick(size - 1));
    if (rejected) {
        e.status = datalog::conversion_result::invalid_datalog;
        e.text = e.out = "";
        return e;
    }
    e.err += analysing;
    if (written < limit && ending >= 2)
        e.err += "Datalog file truncated after record " + std::to_string(written) + "\n";
    e.out += summary(written);
    return e;
}

TEST(ConversionModel, RandomDatalogsMatchTheIndependentModel) {
    // Through every formatting path this processor runs.
    for (const datalog::value_path path : available_value_paths()) {
        const scoped_value_path held(path);
        const char* name = datalog::value_path_name(path);
        model m{std::mt19937(4242)};
        for (int i = 0; i < 400; ++i) {
            const expectation e = random_case(m);
            const conversion r = run_conversion(e.file);
            ASSERT_EQ(r.status, e.status) << "case " << i << ", " << name;
            ASSERT_EQ(r.text, e.text) << "case " << i << ", " << name;
            ASSERT_EQ(r.out, e.out) << "case " << i << ", " << name;
            ASSERT_EQ(r.err, e.err) << "case " << i << ", " << name;
        }
    }
}

// The same, shared out between threads in every way the tests try, with
// batches of a few records, so that each datalog passes many hand-overs; and
// in Windows' text mode, with junk LFs in the records written as CR LF (each
// pair reads as its LF) and a 0x1A followed by junk after the end, which
// nothing reads.
TEST(ConversionModel, RandomDatalogsMatchTheModelInEveryWay) {
    in_every_way([](datalog::text_mode mode, const std::string& way) {
        model m{std::mt19937(2612), mode == datalog::text_mode::windows};
        for (int i = 0; i < 150; ++i) {
            expectation e = random_case(m);
            if (mode == datalog::text_mode::windows) {
                for (std::size_t at = 1024; (at = e.file.find('\n', at)) != std::string::npos;
                     at += 2)
                    e.file.insert(at, "\r");
                e.file += "\x1A" + m.filler(m.pick(40));
            }
            const conversion r = run_conversion(e.file, -1, mode);
            const std::string name = "case " + std::to_string(i) + ", " + way;
            ASSERT_EQ(r.status, e.status) << name;
            ASSERT_EQ(r.text, in_mode(mode, e.text)) << name;
            ASSERT_EQ(r.out, in_mode(mode, e.out)) << name;
            ASSERT_EQ(r.err, in_mode(mode, e.err)) << name;
        }
    });
}

}  // namespace
