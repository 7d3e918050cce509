// vigil fix SCRIPT: rewrites what has one safe meaning (line ends to CR LF,
// the byte-order mark removed, tabs before a line's first word to blanks),
// keeping the script as it was in SCRIPT.bak, and says what it changed.

#include "cli/platform/file_io.h"
#include "cli/vigil/command_input.h"
#include "cli/vigil/vigil_commands.h"
#include "cli/vigilc/sub_main.h"
#include "core/check/fix.h"

namespace vigil {
namespace {

constexpr std::string_view kUsage =
    "usage: vigil fix SCRIPT\n"
    "Rewrites SCRIPT where the change has one safe meaning: every line end becomes CR LF\n"
    "(a lone LF is otherwise read as a blank, joining two lines), a UTF-8 byte-order mark\n"
    "is removed, and tabs before a line's first word become blanks. The script as it was\n"
    "is kept in SCRIPT.bak; both files are written all or nothing, with the script's mode,\n"
    "owner and group. A symbolic link stays a link: the file it leads to is fixed. A script\n"
    "with more than one name (hard links) is refused. A script that needs none of this is\n"
    "left alone.\n"
    "Exit status: 0 fixed or nothing to fix, 2 could not run.\n";

constexpr std::string_view kBackupSuffix = ".bak";

}  // namespace

int RunFix(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() == 1 && args[0] == "--help") {
    out << kUsage;
    return kExitClean;
  }
  if (args.size() != 1 || args[0].starts_with("--")) {
    err << kUsage;
    return kExitCannotRun;
  }
  const std::string& script = args[0];
  std::optional<std::string> text = ReadInput("fix", script, err);
  if (!text) return kExitCannotRun;
  std::string error;
  FixResult fixed = FixScript(*text);
  if (fixed.changes.empty()) {
    out << script << ": nothing to fix\n";
    return kExitClean;
  }
  // Rewriting gives the script a new file: its other names would keep the old one.
  if (int names = NameCount(script); names > 1) {
    err << "vigil fix: refusing to rewrite '" << script << "': it has " << names
        << " names (hard links), which would no longer share it; fix a copy\n";
    return kExitCannotRun;
  }
  std::string target = FinalPath(script);
  std::string backup = script + std::string(kBackupSuffix);
  OutputSet outputs;
  if (!outputs.Lock(target + ".", &error) || !outputs.Stage(backup, *text, target, &error) ||
      !outputs.Stage(target, fixed.text, target, &error) || !outputs.Commit(&error)) {
    err << "vigil fix: " << error << "\n";
    return kExitCannotRun;
  }
  for (const std::string& change : fixed.changes) out << script << ": " << change << "\n";
  out << script << ": the script as it was is in " << backup << "\n";
  return kExitClean;
}

}  // namespace vigil
