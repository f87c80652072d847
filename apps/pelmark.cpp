#include "converter/converter_window.h"

int main(int argc, char** argv) {
    return converter::RunConverterProgram(argc, argv, "pelmark");
}
