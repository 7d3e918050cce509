// The subcommands of the `vigil` tool. Each takes the arguments after its
// name and returns the exit status: 0 success, 1 errors found, 2 could not run.
#ifndef VIGIL_CLI_VIGIL_VIGIL_COMMANDS_H_
#define VIGIL_CLI_VIGIL_VIGIL_COMMANDS_H_

#include <ostream>
#include <string>
#include <vector>

namespace vigil {

// vigil build SCRIPT: exactly what vigilc does, then the diagnostics.
int RunBuild(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// vigil check SCRIPT: compiles in memory and prints every diagnostic.
int RunCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// vigil explain E6: what an error or warning means and how to fix it.
int RunExplain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// vigil dis SITE.BIN | vigil dis --script SITE.txt: the download file, readable.
int RunDis(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// vigil fix SCRIPT: line ends, byte-order mark and leading tabs, with a backup.
int RunFix(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// vigil sim SCRIPT EVENT: what the controller does on one event, step by step.
int RunSim(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// vigil test SCRIPT SCENARIO...: scenario files run against the script.
int RunTest(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// vigil paths SCRIPT [EVENT...]: every path of each event as a decision table.
int RunPaths(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// vigil diff OLD NEW: the behaviour that changed between two versions.
int RunDiff(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// vigil lsp: the language server over standard input and output.
int RunLsp(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace vigil

#endif  // VIGIL_CLI_VIGIL_VIGIL_COMMANDS_H_
