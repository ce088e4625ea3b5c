#include "app/desktop_program.h"

int main(int argc, char** argv) {
    return gainbook::runDesktopProgram(argc, argv);
}
