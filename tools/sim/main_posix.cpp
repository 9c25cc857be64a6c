// quorvane-sim on Linux: the arguments as they come, colour and progress for a terminal.
#include <stdio.h>
#include <unistd.h>

#include <iostream>

#include "tools/sim/command_line.h"
#include "tools/sim/stdout_colour.h"

int main(int argc, char** argv) {
  const quorvane::sim::Terminal terminal{quorvane::sim::StdoutWantsColour(),
                                         isatty(fileno(stderr)) != 0};
  return quorvane::sim::RunCommandLine(argc, argv, terminal, std::cout, std::cerr);
}
