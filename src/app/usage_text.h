// The program's fixed console texts.
#pragma once

namespace app {

extern const char banner_text[];
// Variant 1, for the help request.
extern const char usage_text_help[];
// Variant 2, for argument errors: an empty line after "Usage:".
extern const char usage_text_error[];

}  // namespace app
