// vigil: the installer's companion to vigilc. It checks scripts with
// readable diagnostics, explains error numbers, builds like vigilc and reads
// download files back.

#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/platform/program_start.h"
#include "cli/vigil/vigil_commands.h"

namespace {

struct Subcommand {
  std::string_view name;
  int (*run)(const std::vector<std::string>&, std::ostream&, std::ostream&);
  std::string_view summary;
};

constexpr Subcommand kSubcommands[] = {
    {"check", vigil::RunCheck, "compile a script in memory and print its diagnostics"},
    {"build", vigil::RunBuild, "compile a script and write its four files, as vigilc does"},
    {"explain", vigil::RunExplain, "explain an error or warning code (E6, 6, W1)"},
    {"dis", vigil::RunDis, "print a download file (or a compiled script) readably"},
    {"fix", vigil::RunFix, "rewrite line ends, byte-order mark and leading tabs safely"},
    {"sim", vigil::RunSim, "run one event of a script on the controller model, step by step"},
    {"test", vigil::RunTest, "run scenario files against a script"},
    {"lsp", vigil::RunLsp, "run the language server over standard input and output"},
};

void PrintUsage(std::ostream& out) {
  out << "usage: vigil COMMAND [ARGS]\n\ncommands:\n";
  for (const Subcommand& command : kSubcommands) {
    out << "  " << command.name << std::string(10 - command.name.size(), ' ') << command.summary
        << "\n";
  }
  out << "\nRun 'vigil COMMAND --help' for the options of a command.\n";
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args = vigil::StartProgram(argc, argv);
  if (!args.empty()) args.erase(args.begin());
  if (args.empty()) {
    PrintUsage(std::cerr);
    return 2;
  }
  if (args[0] == "--help" || args[0] == "help") {
    PrintUsage(std::cout);
    return 0;
  }
  if (args[0] == "--version") {
    std::cout << "vigil " << VIGIL_VERSION_MAJOR << "." << VIGIL_VERSION_MINOR << "\n";
    return 0;
  }
  for (const Subcommand& command : kSubcommands) {
    if (args[0] == command.name) {
      std::vector<std::string> command_args(args.begin() + 1, args.end());
      return vigil::RunProgram("vigil " + std::string(command.name),
                               [&] { return command.run(command_args, std::cout, std::cerr); });
    }
  }
  std::cerr << "vigil: unknown command '" << args[0] << "'\n";
  PrintUsage(std::cerr);
  return 2;
}
