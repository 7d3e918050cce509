// The file system and the clock, for the command-line programs: reading the
// script and writing the output files all or nothing.
#ifndef VIGIL_CLI_PLATFORM_FILE_IO_H_
#define VIGIL_CLI_PLATFORM_FILE_IO_H_

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vigil {

// The file's bytes, or nullopt with `error` set to the reason ("No such file
// or directory", "Is a directory", ...).
std::optional<std::string> ReadWholeFile(const std::string& path, std::string* error);

// True when both paths name one existing file however they are spelt: through
// "./" or "..", in another letter case where the file system ignores case, or
// through a hard or symbolic link. False when either does not exist.
bool SameFile(const std::string& path_a, const std::string& path_b);

// "YYYY-MM-DD HH:MM:SS" in local time.
std::string LocalTimeText(std::time_t time);

// Output files written to temporary files beside their targets and renamed
// into place together by Commit. A set that is destroyed without a successful
// Commit removes its temporary files and leaves every target untouched. So does
// an interrupt (SIGINT, SIGTERM; Ctrl-C or closing the console on Windows):
// the live temporary files are removed before the program ends.
class OutputSet {
 public:
  // The next piece of a file's contents, valid until the next call; an empty
  // piece ends the file.
  using Pieces = std::function<std::string_view()>;

  OutputSet() = default;
  OutputSet(const OutputSet&) = delete;
  OutputSet& operator=(const OutputSet&) = delete;
  ~OutputSet();

  // Writes `contents` to a temporary file for `path`. False, with the failing
  // path and reason in `error`, when it cannot.
  bool Stage(const std::string& path, const std::string& contents, std::string* error);
  // The same for contents made piece by piece, so that a large file need not
  // be held whole.
  bool Stage(const std::string& path, const Pieces& next_piece, std::string* error);
  // The modification time of the staged file for `path`.
  std::optional<std::time_t> StagedTime(const std::string& path) const;
  // Renames every staged file onto its target.
  bool Commit(std::string* error);

 private:
  struct Staged {
    std::string target;
    std::string temporary;
    int live_slot;  // in the registry of files an interrupt removes; -1 none
  };
  void RemoveTemporaries();
  std::vector<Staged> staged_;
};

}  // namespace vigil

#endif  // VIGIL_CLI_PLATFORM_FILE_IO_H_
