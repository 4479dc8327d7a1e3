# Renders the Windows user's guide (the man page's Windows lines) as the
# README.txt of the Windows zip: plain text with CR LF line ends, so Notepad
# shows it, and none of a man page's furniture: the running head and foot
# give way to a title line and the version and date under it.
#   cmake -DGROFF=... -DPAGE=RARedir.1 -DTEXT=README.txt -P render_guide.cmake
execute_process(COMMAND ${GROFF} -man -Tascii -P-c -P-b -P-u -P-o ${PAGE}
  OUTPUT_VARIABLE text RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR text STREQUAL "")
  message(FATAL_ERROR "groff could not render ${PAGE}")
endif()
# The foot: "RARedir 1.04    2026-12-08    RAREDIR(1)".
if(NOT text MATCHES "\n(RARedir [0-9.]+) +([0-9-]+) +RAREDIR\\(1\\)[ \n]*$")
  message(FATAL_ERROR "${PAGE} renders without the foot that names its version and date")
endif()
set(version_and_date "${CMAKE_MATCH_1}, ${CMAKE_MATCH_2}")
string(REGEX REPLACE "\n*[^\n]*RAREDIR\\(1\\)[ \n]*$" "\n" text "${text}")
string(REGEX REPLACE "^[^\n]*RAREDIR\\(1\\)[^\n]*\n\n*" "" text "${text}")
# "NAME", then the name line: the title.
string(REGEX REPLACE "^NAME\n +([^\n]*)\n" "\\1\n${version_and_date}\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${TEXT} "${text}")
