# Cross-compiles the 64-bit Windows console program with Debian's mingw-w64
# (package g++-mingw-w64-x86-64). It is the same source as the 32-bit program,
# tested under 64-bit Wine on hosts that cannot run 32-bit programs:
#   cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/x86_64-w64-mingw32.cmake
set(mingw_triple x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
