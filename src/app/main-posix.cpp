#include "app/run_command_line.h"

int main(int argc, char** argv) {
    return app::run_command_line(argc, argv);
}
