// vigil lsp: the language server over standard input and output, for any
// editor that starts a server and speaks the language server protocol.

#include <iostream>

#include "cli/platform/file_io.h"
#include "cli/vigil/vigil_commands.h"
#include "cli/vigilc/sub_main.h"
#include "lsp/server.h"

namespace vigil {
namespace {

constexpr std::string_view kUsage =
    "usage: vigil lsp [--stdio]\n"
    "\n"
    "Runs the language server: JSON-RPC messages with Content-Length headers on\n"
    "standard input and output, as editors start it. It checks each script as it is\n"
    "edited (nothing is written) and answers hover, signature help, completion,\n"
    "definition, references, highlights, rename, outline, workspace symbols,\n"
    "folding, semantic tokens, formatting and quick fixes.\n"
    "\n"
    "Exit status: 0 after shutdown and exit, 1 when the input ends or exit comes\n"
    "without shutdown, 2 could not run.\n";

}  // namespace

int RunLsp(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() == 1 && args[0] == "--help") {
    out << kUsage;
    return kExitClean;
  }
  if (!args.empty() && !(args.size() == 1 && args[0] == "--stdio")) {
    err << kUsage;
    return kExitCannotRun;
  }
  // The standard streams carry bytes unchanged (StartProgram, in main): the
  // framing counts bytes.
  std::ios::sync_with_stdio(false);
  std::cin.tie(nullptr);
  return lsp::RunServer(std::cin, out);
}

}  // namespace vigil
