#include "datalog/record_batch.h"

#include <algorithm>

namespace datalog {

namespace {

// The longest line written for records of `values` values: the widest record
// number, the values and the longest line end.
std::size_t longest_line(unsigned values) {
    return record_number_width + value_entry_length * values + line_end(text_mode::windows).size();
}

}  // namespace

batch_layout layout_for(const datalog_header& header, value_path path, text_mode mode,
                        std::uint32_t record_limit) {
    batch_layout layout{2 * std::size_t{header.record_length}, header.values_per_record,
                        format_of(path), mode, 0};
    const std::size_t fit = std::min({std::size_t{max_batch_records}, std::size_t{record_limit},
                                      batch_input_size / layout.record_size,
                                      batch_lines_size / longest_line(layout.values)});
    layout.records = static_cast<std::uint32_t>(std::max<std::size_t>(fit, 1));
    return layout;
}

batch_end fill_batch(text_reader& reader, const batch_layout& layout, std::uint32_t wanted,
                     record_batch& batch) {
    const std::size_t got = reader.read(batch.input, wanted * layout.record_size);
    batch.count = 0;
    for (std::size_t at = 0; batch.count < wanted; at += layout.record_size) {
        const std::size_t available = got - at;
        if (available >= 2 && is_end_marker(batch.input + at)) return batch_end::end_marker;
        if (available < layout.record_size) return batch_end::truncated;  // the input ended
        ++batch.count;
    }
    return batch_end::full;
}

void format_batch(const batch_layout& layout, record_batch& batch) {
    record_number number = record_number_at(batch.first_number - 1);
    std::uint32_t lines = 0, progress = 0;
    for (std::uint32_t i = 0; i < batch.count; ++i) {
        advance(number);
        const char* record = batch.input + layout.record_size * i;
        lines += static_cast<std::uint32_t>(format_record_line(
            number, record, layout.values, layout.format, layout.mode, batch.lines + lines));
        batch.line_ends[i] = lines;
        progress += static_cast<std::uint32_t>(
            format_progress_line(number, layout.mode, batch.progress + progress));
        batch.progress_ends[i] = progress;
    }
}

}  // namespace datalog
