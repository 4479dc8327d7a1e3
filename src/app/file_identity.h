// Questions about files that the standard streams cannot answer.
#pragma once

#include <cstdio>
#include <string>

namespace app {

// True when both paths name one existing file, however each is spelled
// ("./", "..", another hard link, a symbolic link).
bool same_file(const std::string& first, const std::string& second);

// True when the open stream reads a directory (Linux lets fopen open one).
bool is_directory(std::FILE* stream);

}  // namespace app
