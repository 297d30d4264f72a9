#include "platform/qt/qt_program.h"

int main(int argc, char** argv) { tolvaris::RunQtProgram(argc, argv); }
