#!/bin/sh
# Formats the C++ sources as .clang-format says: exactly the files .ci/run
# checks (every tracked .cpp and .h; the generated tables opt out inside).
# With --check, changes nothing and fails where a file is not formatted.
set -e
cd "$(dirname "$0")/.."
if [ "$1" = "--check" ]; then
  git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror
else
  git ls-files '*.cpp' '*.h' | xargs clang-format -i
fi
