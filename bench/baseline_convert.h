#pragma once

// Converts like the program, the plain stdio way; returns 0 on success.
int baseline_convert(const char* input_path, const char* output_path);

// Reads the input and writes `output_size` bytes with nothing computed: the
// floor any converter of this input into this output stands on.
int copy_floor(const char* input_path, const char* output_path, long long output_size);

// Writes `output_size` bytes, reading nothing: the floor that writing the
// output alone stands on (a converter that reads beside its writing can come
// near it, never below).
int write_floor(const char* output_path, long long output_size);
