# The one date a build puts into what it makes, so that two builds of one
# commit give the same bytes: SOURCE_DATE_EPOCH where the builder sets it, else
# the last commit's time where the source is a git checkout, else a fixed
# date. The guide's date comes from it, and so do the packages' entry times
# (cpack reads SOURCE_DATE_EPOCH; cmake/package_date.cmake.in sets it there
# when the builder has not). The Windows programs carry no time stamp at all
# (CMakeLists.txt links them with --no-insert-timestamp).
#
# Sets DATALOG_SOURCE_DATE_EPOCH (seconds since 1970) and DATALOG_GUIDE_DATE
# (YYYY-MM-DD).
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(DATALOG_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
  set(DATALOG_SOURCE_DATE_EPOCH "")
  find_package(Git QUIET)
  if(GIT_FOUND AND EXISTS ${PROJECT_SOURCE_DIR}/.git)
    execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
      OUTPUT_VARIABLE DATALOG_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
  if(NOT DATALOG_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    set(DATALOG_SOURCE_DATE_EPOCH 1767225600)  # 2026-01-01, for a source without history
  endif()
endif()

# string(TIMESTAMP) takes its time from SOURCE_DATE_EPOCH where that is set.
set(saved "$ENV{SOURCE_DATE_EPOCH}")
set(ENV{SOURCE_DATE_EPOCH} ${DATALOG_SOURCE_DATE_EPOCH})
string(TIMESTAMP DATALOG_GUIDE_DATE "%Y-%m-%d" UTC)
set(ENV{SOURCE_DATE_EPOCH} "${saved}")
if(saved STREQUAL "")
  unset(ENV{SOURCE_DATE_EPOCH})
endif()
