# The Windows program, cross-built with mingw-w64 from this same source tree,
# for the end-to-end tests to run under Wine (tests/CMakeLists.txt registers
# them). The product is the 32-bit program; on a host that cannot run 32-bit
# programs (some kernels lack the 32-bit ABI, and 32-bit Wine with them), the
# same source is built as a 64-bit program and run under 64-bit Wine instead.
#
# Sets DATALOG_WINDOWS_BITS (32, 64 or empty: nothing to test),
# DATALOG_WINDOWS_PROGRAM, DATALOG_WINDOWS_DIR, DATALOG_WINE_LOADER,
# DATALOG_WINESERVER and DATALOG_WINE_ENV.
option(DATALOG_WINDOWS_TESTS "Cross-build the Windows program and test it under Wine" ON)
option(DATALOG_NO_32BIT_EXECUTION
  "Treat 32-bit execution as unavailable: test the 64-bit Windows program" OFF)

set(DATALOG_WINDOWS_BITS "")
set(wine32_loader /usr/lib/wine/wine)
set(wine64_loader /usr/lib/wine/wine64)
find_program(MINGW32_CXX i686-w64-mingw32-g++)
find_program(MINGW64_CXX x86_64-w64-mingw32-g++)

# 32-bit where Wine's 32-bit loader actually runs here, asked by running it.
if(NOT DATALOG_WINDOWS_TESTS)
  set(why "DATALOG_WINDOWS_TESTS is OFF")
elseif(DATALOG_NO_32BIT_EXECUTION)
  set(why "32-bit execution is treated as unavailable (DATALOG_NO_32BIT_EXECUTION)")
elseif(NOT MINGW32_CXX)
  set(why "i686-w64-mingw32-g++ is not installed")
elseif(NOT EXISTS ${wine32_loader})
  set(why "32-bit Wine (${wine32_loader}) is not installed")
else()
  execute_process(COMMAND ${wine32_loader} --version
    RESULT_VARIABLE wine32_status OUTPUT_QUIET ERROR_QUIET)
  if(wine32_status EQUAL 0)
    set(DATALOG_WINDOWS_BITS 32)
  else()
    set(why "this host cannot run 32-bit programs (${wine32_loader} --version fails)")
  endif()
endif()

if(DATALOG_WINDOWS_TESTS AND NOT DATALOG_WINDOWS_BITS)
  if(MINGW64_CXX AND EXISTS ${wine64_loader})
    set(DATALOG_WINDOWS_BITS 64)
    set(why "${why}; the same source runs as a 64-bit program under 64-bit Wine")
  else()
    set(why "${why}, and x86_64-w64-mingw32-g++ or 64-bit Wine is missing")
  endif()
endif()

if(NOT DATALOG_WINDOWS_BITS)
  message(STATUS "Windows program: not built or tested: ${why}")
  return()
endif()

if(DATALOG_WINDOWS_BITS EQUAL 32)
  set(toolchain i686-w64-mingw32)
  set(DATALOG_WINE_LOADER ${wine32_loader})
  message(STATUS "Windows program: the 32-bit RARedir.exe, tested under Wine (windows32.*)")
else()
  set(toolchain x86_64-w64-mingw32)
  set(DATALOG_WINE_LOADER ${wine64_loader})
  message(STATUS "Windows program: the 64-bit RARedir.exe, tested under 64-bit Wine "
    "(windows64.*), because ${why}")
endif()

include(ExternalProject)
set(DATALOG_WINDOWS_DIR ${CMAKE_BINARY_DIR}/windows${DATALOG_WINDOWS_BITS})
set(DATALOG_WINDOWS_PROGRAM ${DATALOG_WINDOWS_DIR}/RARedir.exe)
ExternalProject_Add(raredir_windows
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${DATALOG_WINDOWS_DIR}
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/toolchains/${toolchain}.cmake
    -DCMAKE_BUILD_TYPE=Release
    -DDATALOG_WERROR=${DATALOG_WERROR}
    -DDATALOG_WINDOWS_TEST_HELPERS=ON
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${DATALOG_WINDOWS_PROGRAM})

# Where this host runs the 32-bit program, the 64-bit build is checked too:
# the exhaustive check of every value on every path, as a 64-bit Windows
# program under 64-bit Wine, in a prefix of its own.
if(DATALOG_WINDOWS_BITS EQUAL 32 AND MINGW64_CXX AND EXISTS ${wine64_loader})
  set(DATALOG_WINDOWS64_CHECKS_DIR ${CMAKE_BINARY_DIR}/windows64-checks)
  ExternalProject_Add(raredir_windows64_checks
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${DATALOG_WINDOWS64_CHECKS_DIR}
    CMAKE_ARGS
      -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/toolchains/x86_64-w64-mingw32.cmake
      -DCMAKE_BUILD_TYPE=Release
      -DDATALOG_WERROR=${DATALOG_WERROR}
      -DDATALOG_WINDOWS_TEST_HELPERS=ON
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target value_text_exhaustive
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    BUILD_BYPRODUCTS ${DATALOG_WINDOWS64_CHECKS_DIR}/value_text_exhaustive.exe)
  set(DATALOG_WINE64_ENV "WINEDEBUG=-all" "WINEPREFIX=${DATALOG_WINDOWS64_CHECKS_DIR}/wineprefix"
    "WINEDLLOVERRIDES=mscoree,mshtml=" "WINELOADER=${wine64_loader}")
endif()

# The Wine server Wine itself starts (the 64-bit one wherever it is installed).
if(EXISTS /usr/lib/wine/wineserver64)
  set(DATALOG_WINESERVER /usr/lib/wine/wineserver64)
else()
  set(DATALOG_WINESERVER /usr/lib/wine/wineserver32)
endif()
set(DATALOG_WINE_ENV "WINEDEBUG=-all" "WINEPREFIX=${DATALOG_WINDOWS_DIR}/wineprefix"
  "WINEDLLOVERRIDES=mscoree,mshtml=")
if(DATALOG_WINDOWS_BITS EQUAL 64)
  list(APPEND DATALOG_WINE_ENV "WINELOADER=${DATALOG_WINE_LOADER}")  # as Debian's wine script does
endif()
