// The file system and the clock, for the command-line programs: reading the
// script and writing the output files all or nothing.
#ifndef VIGIL_CLI_PLATFORM_FILE_IO_H_
#define VIGIL_CLI_PLATFORM_FILE_IO_H_

#include <cstdint>
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

// The file that `path` names once every symbolic link is followed; `path`
// itself when it is no link or cannot be followed.
std::string FinalPath(const std::string& path);

// How many names (hard links) the file has; 0 when it cannot be told.
int NameCount(const std::string& path);

// "YYYY-MM-DD HH:MM:SS" in local time.
std::string LocalTimeText(std::time_t time);

// Output files written to temporary files beside their targets and renamed
// into place together by Commit, all or nothing: every target is checked
// first, an old file stays (as a hidden second name) until the last rename
// has succeeded, and is put back when any rename fails. A set that is
// destroyed without a successful Commit removes its temporary files and
// leaves every target untouched. So does a signal that ends the program
// (SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE; Ctrl-C or closing the console on
// Windows) outside the commit; during the commit it is held until the set is
// whole. A journal beside the set lets the next run finish a commit that a
// crash or SIGKILL cut short.
class OutputSet {
 public:
  // The next piece of a file's contents, valid until the next call; an empty
  // piece ends the file.
  using Pieces = std::function<std::string_view()>;

  // How long a run waits for another that holds the set's lock.
  static constexpr int kLockWaitMs = 10000;

  OutputSet() = default;
  OutputSet(const OutputSet&) = delete;
  OutputSet& operator=(const OutputSet&) = delete;
  ~OutputSet();

  // Takes the set's lock, a hidden file beside the outputs named after
  // `stem` ("sites/north." locks "sites/.north.vigil-lock"), waiting up to
  // kLockWaitMs for a run that holds it; then finishes or undoes a commit
  // that a dead run left, and removes dead runs' temporary files. False, with
  // the reason (who holds the lock) in `error`, when it cannot.
  bool Lock(const std::string& stem, std::string* error);
  // Writes `contents` to a temporary file for `path`. False, with the failing
  // path and reason in `error`, when it cannot.
  bool Stage(const std::string& path, const std::string& contents, std::string* error);
  // The same for contents made piece by piece, so that a large file need not
  // be held whole.
  bool Stage(const std::string& path, const Pieces& next_piece, std::string* error);
  // The same, with the mode, owner and group of the file `model`; false when
  // they cannot be given.
  bool Stage(const std::string& path, const std::string& contents, const std::string& model,
             std::string* error);
  // The modification time of the staged file for `path`.
  std::optional<std::time_t> StagedTime(const std::string& path) const;
  // Renames every staged file onto its target, or none.
  bool Commit(std::string* error);

  // One file of a commit, as its journal records it.
  struct Staged {
    std::string target;
    std::string temporary;
    std::string backup;         // the old target's second name; "" when there was none
    bool backup_moved = false;  // the old target is renamed, not linked
    int live_slot = -1;         // in the registry of files a signal removes; -1 none
  };

 private:
  bool StageFile(const std::string& path, const Pieces& next_piece, const std::string& model,
                 std::string* error);
  bool PrepareBackups(std::string* error);
  bool RenameAll(std::string* error);
  void Undo(size_t renamed);
  std::string JournalPath(std::string_view kind) const;
  void RemoveTemporaries();
  void Unlock();
  std::vector<Staged> staged_;
  std::string lock_path_;
  std::intptr_t lock_ = -1;
  int lock_slot_ = -1;
};

// What a commit's journal holds, and its reading back ("" when damaged).
std::string JournalText(const std::string& lock_path, const std::vector<OutputSet::Staged>& files);
std::vector<OutputSet::Staged> ReadJournal(std::string_view text, std::string* lock_path);

// The hidden files of a run: ".vigilc-PID-..."; the PID, or 0 for another name.
long TemporaryOwner(std::string_view name);

}  // namespace vigil

#endif  // VIGIL_CLI_PLATFORM_FILE_IO_H_
