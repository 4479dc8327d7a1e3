# Renders the user's guide (the man page) as plain text with CR LF line ends,
# the README.txt of the Windows zip:
#   cmake -DGROFF=... -DPAGE=RARedir.1 -DTEXT=README.txt -P render_guide.cmake
execute_process(COMMAND ${GROFF} -man -Tascii -P-c -P-b -P-u -P-o ${PAGE}
  OUTPUT_VARIABLE text RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR text STREQUAL "")
  message(FATAL_ERROR "groff could not render ${PAGE}")
endif()
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${TEXT} "${text}")
