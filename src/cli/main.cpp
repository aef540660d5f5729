// zorvex-cli: the instrument program's core without windows, for scripts and
// batch work.

#include <iostream>

#include "cli/Program.h"

int main(int argc, char* argv[]) { return zorvex::runZorvexCli({argv + 1, argv + argc}, std::cout, std::cerr); }
