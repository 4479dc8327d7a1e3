#include "app/option_scan.h"

namespace app {

option_scan scan_options(int argc, const char* const* argv) {
    option_scan scan;
    scan.stop_argument = argc >= 1 ? argv[0] : nullptr;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        scan.stop_argument = argument;
        if (argument[0] != '-') {
            scan.arguments_left = true;
            return scan;
        }
        switch (argument[1]) {
            case 'i':
                scan.input = std::string(argument + 2);
                break;
            case 'o':
                scan.output = std::string(argument + 2);
                break;
            case '?':
            case 'h':
                scan.result = option_scan::outcome::help;
                return scan;
            default: {  // a lone "-" reports its terminating zero byte
                scan.result = option_scan::outcome::invalid;
                std::size_t length = 1;
                if (static_cast<unsigned char>(argument[1]) >= 0xC0)
                    while ((static_cast<unsigned char>(argument[1 + length]) & 0xC0) == 0x80)
                        ++length;
                scan.invalid_letter.assign(argument + 1, length);
                return scan;
            }
        }
    }
    return scan;
}

}  // namespace app
