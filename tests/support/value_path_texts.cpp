#include "value_path_texts.h"

#include "datalog/datalog_format.h"
#include "datalog/value_text/digit_text.h"

std::vector<datalog::value_path> available_value_paths() {
    std::vector<datalog::value_path> paths;
    for (const datalog::value_path_entry& entry : datalog::value_path_table)
        if (entry.available()) paths.push_back(entry.path);
    return paths;
}

std::string value_texts(datalog::value_path path, const std::string& chars) {
    const datalog::value_format format = datalog::format_of(path);
    constexpr std::size_t value_chars = datalog::packed_value_length;
    std::string text;
    for (std::size_t at = 0; at + value_chars <= chars.size(); at += 16 * value_chars) {
        const std::size_t left = (chars.size() - at) / value_chars;
        const unsigned count = left < 16 ? static_cast<unsigned>(left) : 16;
        char out[16 * datalog::value_entry_length + datalog::format_values_overrun];
        format(chars.data() + at, count, out);
        text.append(out, datalog::value_entry_length * count);
    }
    return text;
}
