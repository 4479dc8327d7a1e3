#include "app/usage_text.h"

namespace app {

const char banner_text[] =
    "\nVeltrask Ltd datalog file conversion program v" DATALOG_VERSION_TEXT "\n\n";

#define USAGE_OPTIONS                                     \
    "RARedir.exe -ifname -ofname\n"                       \
    "   -ifname   input file name such as ZBA_D001.KYX\n" \
    "   -ofname   output file name such as DATALOG.TXT\n" \
    "\n"                                                  \
    "Alternatively, Drag and drop a KYX file into this .exe\n"

const char usage_text_help[] = "Usage:\n" USAGE_OPTIONS;
const char usage_text_error[] = "Usage:\n\n" USAGE_OPTIONS;

#undef USAGE_OPTIONS

}  // namespace app
