#include "selector/selector_window.h"

int main(int argc, char** argv) {
    return selector::RunSelectorProgram(argc, argv);
}
