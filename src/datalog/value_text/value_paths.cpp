#include "datalog/value_text/value_paths.h"

#include <cstring>

#include "datalog/datalog_format.h"
#include "datalog/value_text/value_text.h"
#include "datalog/value_text/vector_values.h"

namespace datalog {
namespace {

struct path_entry {
    value_path path;
    const char* name;
    bool (*available)();
};

bool always() {
    return true;
}

// Fastest first.
constexpr path_entry paths[] = {
    {value_path::avx512, "avx512", avx512_values_available},
    {value_path::avx2, "avx2", avx2_values_available},
    {value_path::scalar, "scalar", always},
};

const path_entry& entry_of(value_path path) {
    for (const path_entry& entry : paths)
        if (entry.path == path) return entry;
    return paths[2];
}

value_path fastest_available() {
    for (const path_entry& entry : paths)
        if (entry.available()) return entry.path;
    return value_path::scalar;
}

value_path active = fastest_available();

void format_scalar(const char* chars, unsigned from, unsigned count, char* out) {
    for (unsigned k = from; k < count; ++k) {
        char* entry = out + value_entry_length * k;
        std::memcpy(entry, ", ", 2);
        format_packed(chars + packed_value_length * k, entry + 2);
    }
}

}  // namespace

const char* value_path_name(value_path path) {
    return entry_of(path).name;
}

bool value_path_named(std::string_view name, value_path* path) {
    for (const path_entry& entry : paths) {
        if (name == entry.name) {
            *path = entry.path;
            return true;
        }
    }
    return false;
}

bool value_path_available(value_path path) {
    return entry_of(path).available();
}

value_path active_value_path() {
    return active;
}

bool set_value_path(value_path path) {
    if (!value_path_available(path)) return false;
    active = path;
    return true;
}

void format_values(const char* chars, unsigned count, char* out) {
    switch (active) {
        case value_path::avx512:
            return format_values_avx512(chars, count, out);
        case value_path::avx2:
            // Whole groups of eight; the scalar loop takes the rest.
            format_values_avx2(chars, count / 8, out);
            return format_scalar(chars, count / 8 * 8, count, out);
        case value_path::scalar:
            return format_scalar(chars, 0, count, out);
    }
}

}  // namespace datalog
