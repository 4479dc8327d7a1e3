# What a user gets: `cmake --install` puts the program and its README under the
# prefix, and `cpack` packs the same with the example datalog and its expected
# text: RARedir-1.04-win32.zip from the 32-bit Windows build (win64 from the
# 64-bit one), RARedir-1.04-Linux.tar.gz from a Linux build.
#
# Windows: RARedir.exe, README.txt (CR LF line ends, so Notepad shows it) and
# examples\ at the top. Linux: bin/RARedir and share/doc/RARedir/ with the
# README and examples/.
if(WIN32)
  set(program_dir .)
  set(doc_dir .)
  set(readme ${CMAKE_CURRENT_BINARY_DIR}/README.txt)
  configure_file(README.md ${readme} @ONLY NEWLINE_STYLE CRLF)
  # The expected text as the Windows program writes it, with CR LF.
  set(expected ${CMAKE_CURRENT_BINARY_DIR}/ZBA_D001.expected.txt)
  configure_file(examples/ZBA_D001.expected.txt ${expected} @ONLY NEWLINE_STYLE CRLF)
else()
  include(GNUInstallDirs)
  set(program_dir ${CMAKE_INSTALL_BINDIR})
  set(doc_dir ${CMAKE_INSTALL_DOCDIR})
  set(readme ${PROJECT_SOURCE_DIR}/README.md)
  set(expected ${PROJECT_SOURCE_DIR}/examples/ZBA_D001.expected.txt)
endif()

install(TARGETS RARedir RUNTIME DESTINATION ${program_dir})
install(FILES ${readme} DESTINATION ${doc_dir})
install(FILES examples/ZBA_D001.KYX ${expected} DESTINATION ${doc_dir}/examples)

set(CPACK_PACKAGE_NAME RARedir)
set(CPACK_PACKAGE_VENDOR "Veltrask Ltd")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Datalog file conversion program")
set(CPACK_PACKAGE_VERSION ${DATALOG_VERSION_TEXT})
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_SYSTEM_NAME win64)
  else()
    set(CPACK_SYSTEM_NAME win32)
  endif()
else()
  set(CPACK_GENERATOR TGZ)
  set(CPACK_SYSTEM_NAME ${CMAKE_SYSTEM_NAME})
endif()
set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-${CPACK_SYSTEM_NAME}")
include(CPack)
