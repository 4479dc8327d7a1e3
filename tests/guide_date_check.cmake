# The guide's date is the source date, not the day of the build: from a
# source without history and without SOURCE_DATE_EPOCH, the fixed date.
#   cmake -DPROJECT_SOURCE_DIR=EMPTY_DIR -DSCRIPT=cmake/source_date.cmake -P guide_date_check.cmake
unset(ENV{SOURCE_DATE_EPOCH})
include(${SCRIPT})
if(NOT DATALOG_GUIDE_DATE STREQUAL "2026-01-01" OR DEFINED ENV{SOURCE_DATE_EPOCH})
  message(FATAL_ERROR "guide dated ${DATALOG_GUIDE_DATE}, not the source date 2026-01-01")
endif()
message(STATUS "the guide is dated ${DATALOG_GUIDE_DATE}, the source date")
