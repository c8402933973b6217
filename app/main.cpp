#include "ui/program.h"

int main(int argc, char** argv) {
    return korvel::ui::runProgram(argc, argv);
}
