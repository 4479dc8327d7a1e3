#include "vector_paths.h"

#include "datalog/datalog_format.h"
#include "datalog/record_values_simd.h"
#include "datalog/value_format_fast.h"

namespace {

constexpr std::size_t value_chars = datalog::packed_value_length;

std::string sixteen_at_a_time(const std::string& chars) {
    std::string text(chars.size() / value_chars * 13, '?');
    for (std::size_t at = 0; at < chars.size(); at += 16 * value_chars) {
        const std::size_t left = (chars.size() - at) / value_chars;
        datalog::format_values_avx512(chars.data() + at, left < 16 ? left : 16,
                                      &text[at / value_chars * 13]);
    }
    return text;
}

std::string eight_at_a_time(const std::string& chars) {
    std::string text(chars.size() / value_chars * 13 + 3, '?');  // 3 characters of slack
    datalog::format_values_avx2(chars.data(), static_cast<unsigned>(chars.size() / value_chars / 8),
                                &text[0]);
    text.resize(text.size() - 3);
    return text;
}

}  // namespace

std::vector<vector_path> available_vector_paths() {
    std::vector<vector_path> paths;
    if (datalog::avx512_values_available()) paths.push_back({"avx512", sixteen_at_a_time});
    if (datalog::avx2_values_available()) paths.push_back({"avx2", eight_at_a_time});
    return paths;
}

std::string scalar_texts(const std::string& chars) {
    std::string text;
    for (std::size_t at = 0; at + value_chars <= chars.size(); at += value_chars) {
        char out[11];
        datalog::format_packed(chars.data() + at, out);
        text += ", ";
        text.append(out, sizeof out);
    }
    return text;
}
