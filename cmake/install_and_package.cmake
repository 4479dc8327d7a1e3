# What a user gets: `cmake --install` puts the program and its user's guide
# under the prefix, and `cpack` packs the same with the example datalog and its
# expected text: RARedir-VERSION-win32.zip from the 32-bit Windows build (win64
# from the 64-bit one), RARedir-VERSION-Linux.tar.gz from a Linux build.
#
# The guide has one source, the man page doc/RARedir.1. Windows: RARedir.exe,
# the guide rendered as README.txt (plain text, CR LF line ends, so Notepad
# shows it) and examples\ at the top. Linux: bin/RARedir, the man page in
# share/man/man1 (`man RARedir`), and share/doc/RARedir/examples/.
include(cmake/source_date.cmake)
# Each platform's guide from the one source: its own lines (@W@ Windows, @L@
# Linux) kept, the other platform's made comments. The Linux build also makes
# the Windows page, so that the guide's lint sees both.
function(datalog_guide platform page)
  if(platform STREQUAL "windows")
    set(W "")
    set(L ".\\\" ")
  else()
    set(W ".\\\" ")
    set(L "")
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/doc/RARedir.1 ${page} @ONLY)
endfunction()
set(DATALOG_MAN_PAGE ${CMAKE_CURRENT_BINARY_DIR}/RARedir.1)
if(WIN32)
  datalog_guide(windows ${DATALOG_MAN_PAGE})
else()
  datalog_guide(linux ${DATALOG_MAN_PAGE})
  datalog_guide(windows ${CMAKE_CURRENT_BINARY_DIR}/RARedir-windows.1)
endif()
if(WIN32)
  set(program_dir .)
  set(doc_dir .)
  find_program(GROFF groff)
  set(guide ${CMAKE_CURRENT_BINARY_DIR}/README.txt)
  if(GROFF)
    add_custom_command(OUTPUT ${guide}
      COMMAND ${CMAKE_COMMAND} -DGROFF=${GROFF} -DPAGE=${DATALOG_MAN_PAGE} -DTEXT=${guide}
        -P ${PROJECT_SOURCE_DIR}/cmake/render_guide.cmake
      DEPENDS ${DATALOG_MAN_PAGE} ${PROJECT_SOURCE_DIR}/cmake/render_guide.cmake)
    add_custom_target(users_guide ALL DEPENDS ${guide})
  else()
    # Without groff (package groff-base) the zip carries the page's source.
    message(WARNING "groff not found: README.txt is the user's guide's man source")
    configure_file(${DATALOG_MAN_PAGE} ${guide} @ONLY NEWLINE_STYLE CRLF)
  endif()
  set(guide_dir .)
  # The expected text as the Windows program writes it, with CR LF.
  set(expected ${CMAKE_CURRENT_BINARY_DIR}/ZBA_D001.expected.txt)
  configure_file(examples/ZBA_D001.expected.txt ${expected} @ONLY NEWLINE_STYLE CRLF)
else()
  include(GNUInstallDirs)
  set(program_dir ${CMAKE_INSTALL_BINDIR})
  set(doc_dir ${CMAKE_INSTALL_DOCDIR})
  set(guide ${DATALOG_MAN_PAGE})
  set(guide_dir ${CMAKE_INSTALL_MANDIR}/man1)
  set(expected ${PROJECT_SOURCE_DIR}/examples/ZBA_D001.expected.txt)
endif()

install(TARGETS RARedir RUNTIME DESTINATION ${program_dir})
install(FILES ${guide} DESTINATION ${guide_dir})
install(FILES examples/ZBA_D001.KYX ${expected} DESTINATION ${doc_dir}/examples)

set(CPACK_PACKAGE_NAME RARedir)
set(CPACK_PACKAGE_VENDOR "Veltrask Ltd")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Datalog file conversion program")
set(CPACK_PACKAGE_VERSION ${DATALOG_VERSION_TEXT})
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME ${DATALOG_WINDOWS_SYSTEM})
else()
  set(CPACK_GENERATOR TGZ)
  set(CPACK_SYSTEM_NAME ${CMAKE_SYSTEM_NAME})
endif()
set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-${CPACK_SYSTEM_NAME}")
# Reproducible by default: the entries take the source date.
configure_file(cmake/package_date.cmake.in package_date.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_BINARY_DIR}/package_date.cmake)
include(CPack)
