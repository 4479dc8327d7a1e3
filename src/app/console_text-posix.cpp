#include "app/console_text.h"

#include "datalog/text_mode.h"

namespace app {

void write_message(std::FILE* stream, std::string_view text) {
    datalog::write_text(stream, datalog::text_mode::bytes, text);
}

}  // namespace app
