// vigilc: compiles an event script for the alarm and access-control controller.

#include <iostream>
#include <string>
#include <vector>

#include "cli/platform/program_start.h"
#include "cli/vigilc/sub_main.h"
#include "core/formats/output_names.h"

int main(int argc, char** argv) {
  std::vector<std::string> args = vigil::StartProgram(argc, argv);
  std::string argv0 = args.empty() ? "vigilc" : args.front();
  if (!args.empty()) args.erase(args.begin());
  return vigil::RunProgram(vigil::ProgramName(argv0),
                           [&] { return vigil::SubMain(args, argv0, std::cout, std::cerr); });
}
