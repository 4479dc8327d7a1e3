#include "app/console_text.h"

#include "app/platform_files.h"
#include "datalog/text_mode.h"

namespace app {

void write_message(std::FILE* stream, std::string_view text) {
    datalog::write_text(stream, system_text_mode(), text);
}

}  // namespace app
