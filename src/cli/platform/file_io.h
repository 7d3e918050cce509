// The file system and the clock, for the command-line programs: reading the
// script and writing the output files all or nothing.
#ifndef VIGIL_CLI_PLATFORM_FILE_IO_H_
#define VIGIL_CLI_PLATFORM_FILE_IO_H_

#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace vigil {

// The file's bytes, or nullopt with `error` set to the reason ("No such file
// or directory", "Is a directory", ...).
std::optional<std::string> ReadWholeFile(const std::string& path, std::string* error);

// Puts standard input and output in binary mode: bytes pass unchanged, no
// line-end translation (the language server's framing counts bytes).
void UseBinaryStandardStreams();

// "YYYY-MM-DD HH:MM:SS" in local time.
std::string LocalTimeText(std::time_t time);

// Output files written to temporary files beside their targets and renamed
// into place together by Commit. A set that is destroyed without a successful
// Commit removes its temporary files and leaves every target untouched.
class OutputSet {
 public:
  OutputSet() = default;
  OutputSet(const OutputSet&) = delete;
  OutputSet& operator=(const OutputSet&) = delete;
  ~OutputSet();

  // Writes `contents` to a temporary file for `path`. False, with the failing
  // path and reason in `error`, when it cannot.
  bool Stage(const std::string& path, const std::string& contents, std::string* error);
  // The modification time of the staged file for `path`.
  std::optional<std::time_t> StagedTime(const std::string& path) const;
  // Renames every staged file onto its target.
  bool Commit(std::string* error);

 private:
  struct Staged {
    std::string target;
    std::string temporary;
  };
  void RemoveTemporaries();
  std::vector<Staged> staged_;
};

}  // namespace vigil

#endif  // VIGIL_CLI_PLATFORM_FILE_IO_H_
