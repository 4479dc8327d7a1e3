# The names that follow from a Windows program's width, decided here once:
# datalog_windows_names(BITS) sets DATALOG_WINDOWS_SYSTEM (win32 or win64, the
# package's name) and DATALOG_MANIFEST_ARCH (x86 or amd64, the manifest's
# processor architecture).
function(datalog_windows_names bits)
  if(bits EQUAL 64)
    set(DATALOG_WINDOWS_SYSTEM win64 PARENT_SCOPE)
    set(DATALOG_MANIFEST_ARCH amd64 PARENT_SCOPE)
  else()
    set(DATALOG_WINDOWS_SYSTEM win32 PARENT_SCOPE)
    set(DATALOG_MANIFEST_ARCH x86 PARENT_SCOPE)
  endif()
endfunction()
