// nivra: the program.

#include "app/program.h"

int main(int argc, char** argv) { return nivra::app::RunProgram(argc, argv); }
