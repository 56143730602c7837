#include <iostream>

#include "cli/cli.h"

int main(int argc, char** argv) { return tolvane::cli::RunCommandLine(argc, argv, std::cout, std::cerr); }
