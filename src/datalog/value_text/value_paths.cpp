#include "datalog/value_text/value_paths.h"

#include "datalog/value_text/value_text.h"
#include "datalog/value_text/vector_values.h"

namespace datalog {
namespace {

bool always() {
    return true;
}

// The path's entry in the table.
const value_path_entry& entry_of(value_path path) {
    const value_path_entry* entry = value_path_table;
    while (entry->path != path) ++entry;  // every path has its entry
    return *entry;
}

value_path fastest_available() {
    for (const value_path_entry& entry : value_path_table)
        if (entry.available()) return entry.path;
    return value_path::scalar;
}

}  // namespace

const value_path_entry value_path_table[4] = {
    {value_path::avx512, "avx512", avx512_values_available, format_values_avx512},
    {value_path::avx2, "avx2", avx2_values_available, format_values_avx2},
    {value_path::sse41, "sse41", sse41_values_available, format_values_sse41},
    {value_path::scalar, "scalar", always, format_values_scalar},
};

const char* value_path_name(value_path path) {
    return entry_of(path).name;
}

bool value_path_named(std::string_view name, value_path* path) {
    for (const value_path_entry& entry : value_path_table) {
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

value_path fastest_value_path() {
    static const value_path fastest = fastest_available();
    return fastest;
}

value_format format_of(value_path path) {
    return entry_of(path).format;
}

}  // namespace datalog
