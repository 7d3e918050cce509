// vigilc: compiles an event script for the alarm and access-control controller.

#include <iostream>
#include <string>
#include <vector>

#include "cli/vigilc/sub_main.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return vigil::SubMain(args, argc > 0 ? argv[0] : "vigilc", std::cout, std::cerr);
}
