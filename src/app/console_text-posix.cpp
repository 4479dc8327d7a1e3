#include "app/console_text.h"

namespace app {

void write_message(std::FILE* stream, datalog::text_mode mode, std::string_view text) {
    datalog::write_text(stream, mode, text);
}

}  // namespace app
