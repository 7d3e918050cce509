// What the platforms' OutputSet has in common: the lock, the all-or-nothing
// commit with its journal, and the repair of a commit a dead run left.

#include <atomic>
#include <string_view>

#include "cli/platform/file_io.h"
#include "cli/platform/file_system.h"
#include "cli/platform/test_hooks.h"

namespace vigil {
namespace {

using platform::Exists;
using platform::RemoveFile;

constexpr std::string_view kTemporaryPrefix = ".vigilc-";
constexpr std::string_view kJournalTag = "vigil journal 1";
constexpr std::string_view kJournalEnd = "end";
// A lock name longer than this would pass the file system's name limit.
constexpr size_t kLongestLockName = 200;

#ifdef _WIN32
constexpr std::string_view kSeparators = "/\\";
#else
constexpr std::string_view kSeparators = "/";
#endif

// The folder part of `path`, separator included; "" for the current one.
std::string Directory(const std::string& path) {
  size_t slash = path.find_last_of(kSeparators);
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A hidden name of this run beside `path`, ending in `kind`.
std::string RunFileName(const std::string& path, std::string_view kind) {
  static std::atomic<unsigned> counter{0};
  return Directory(path) + std::string(kTemporaryPrefix) +
         std::to_string(platform::CurrentProcess()) + "-" + std::to_string(counter.fetch_add(1)) +
         "-" + std::string(kind);
}

std::string LockPath(const std::string& stem) {
  std::string directory = Directory(stem);
  std::string name = stem.substr(directory.size());
  if (name.size() > kLongestLockName) {
    name = std::to_string(std::hash<std::string>()(name)) + ".";
  }
  return directory + "." + name + "vigil-lock";
}

// Puts back what a commit replaced: a target whose temporary file is gone
// was replaced, and gets its old file back, or goes when it had none.
void RollBack(const std::vector<OutputSet::Staged>& files) {
  for (const OutputSet::Staged& file : files) {
    std::string reason;
    if (!file.backup.empty() && Exists(file.backup)) {
      platform::Rename(file.backup, file.target, &reason);
      RemoveFile(file.backup);  // still there when both named one file
    } else if (file.backup.empty() && !Exists(file.temporary)) {
      RemoveFile(file.target);
    }
    RemoveFile(file.temporary);
  }
}

// Finishes a commit: the temporary files left are renamed onto their
// targets; when one cannot be, the whole set goes back.
void RollForward(const std::vector<OutputSet::Staged>& files) {
  for (const OutputSet::Staged& file : files) {
    std::string reason;
    if (Exists(file.temporary) && !platform::Rename(file.temporary, file.target, &reason)) {
      RollBack(files);
      return;
    }
  }
  for (const OutputSet::Staged& file : files) {
    if (!file.backup.empty()) RemoveFile(file.backup);
  }
}

bool EndsWith(std::string_view text, std::string_view end) { return text.ends_with(end); }

constexpr std::string_view kJournalKind = "journal";
constexpr std::string_view kUndoKind = "undo";

// The undo beside a journal: the same name, another kind.
std::string UndoPathOf(const std::string& journal) {
  return journal.substr(0, journal.size() - kJournalKind.size()) + std::string(kUndoKind);
}

// Finishes or undoes the commits of dead runs on the set locked at
// `lock_path`, then removes the hidden files of dead runs that no other
// set's journal still needs.
void Repair(const std::string& lock_path) {
  std::string directory = Directory(lock_path);
  std::vector<std::string> names = platform::DirectoryNames(directory);
  std::vector<std::string> kept;  // files other sets' journals name
  auto dead = [](const std::string& name) {
    long owner = TemporaryOwner(name);
    return owner != 0 && owner != platform::CurrentProcess() && !platform::ProcessRunning(owner);
  };
  for (const std::string& name : names) {
    bool undo = EndsWith(name, "-undo");
    if (!dead(name) || !(undo || EndsWith(name, "-journal"))) continue;
    std::string path = directory + name;
    // A commit that was being undone has both; the undo holds.
    if (!undo && Exists(UndoPathOf(path))) continue;
    std::string error;
    std::optional<std::string> text = ReadWholeFile(path, &error);
    std::string journal_lock;
    std::vector<OutputSet::Staged> files = ReadJournal(text.value_or(""), &journal_lock);
    if (journal_lock != platform::AbsolutePath(lock_path)) {
      for (const OutputSet::Staged& file : files) {
        kept.insert(kept.end(), {file.temporary, file.backup});
      }
      continue;
    }
    undo ? RollBack(files) : RollForward(files);
    RemoveFile(path);
  }
  for (const std::string& name : names) {
    std::string path = directory + name;
    bool needed = false;
    for (const std::string& file : kept) needed = needed || file == platform::AbsolutePath(path);
    if (dead(name) && !needed && !EndsWith(name, "-journal") && !EndsWith(name, "-undo")) {
      RemoveFile(path);
    }
  }
}

std::vector<std::string_view> Fields(std::string_view text) {
  std::vector<std::string_view> fields;
  for (size_t end = text.find('\0'); end != std::string_view::npos; end = text.find('\0')) {
    fields.push_back(text.substr(0, end));
    text.remove_prefix(end + 1);
  }
  return fields;
}

}  // namespace

long TemporaryOwner(std::string_view name) {
  if (!name.starts_with(kTemporaryPrefix)) return 0;
  name.remove_prefix(kTemporaryPrefix.size());
  long owner = 0;
  size_t digits = 0;
  while (digits < name.size() && digits < 12 && name[digits] >= '0' && name[digits] <= '9') {
    owner = owner * 10 + (name[digits++] - '0');
  }
  return digits > 0 && digits < name.size() && name[digits] == '-' ? owner : 0;
}

std::string JournalText(const std::string& lock_path, const std::vector<OutputSet::Staged>& files) {
  std::string text = std::string(kJournalTag) + '\0' + platform::AbsolutePath(lock_path) + '\0';
  for (const OutputSet::Staged& file : files) {
    for (const std::string& path : {file.temporary, file.target, file.backup}) {
      text += (path.empty() ? path : platform::AbsolutePath(path)) + '\0';
    }
    text += file.backup_moved ? "1" : "0";
    text += '\0';
  }
  return text + std::string(kJournalEnd) + '\0';
}

std::vector<OutputSet::Staged> ReadJournal(std::string_view text, std::string* lock_path) {
  std::vector<std::string_view> fields = Fields(text);
  lock_path->clear();
  if (fields.size() < 3 || fields.front() != kJournalTag || fields.back() != kJournalEnd ||
      (fields.size() - 3) % 4 != 0) {
    return {};
  }
  *lock_path = fields[1];
  std::vector<OutputSet::Staged> files;
  for (size_t i = 2; i + 4 < fields.size(); i += 4) {
    files.push_back({std::string(fields[i + 1]), std::string(fields[i]), std::string(fields[i + 2]),
                     fields[i + 3] == "1", -1});
  }
  return files;
}

namespace {

OutputSet::Pieces Whole(const std::string& contents) {
  return [&contents, given = false]() mutable {
    if (given) return std::string_view();
    given = true;
    return std::string_view(contents);
  };
}

}  // namespace

bool OutputSet::Stage(const std::string& path, const std::string& contents, std::string* error) {
  return StageFile(path, Whole(contents), "", error);
}

bool OutputSet::Stage(const std::string& path, const Pieces& next_piece, std::string* error) {
  return StageFile(path, next_piece, "", error);
}

bool OutputSet::Stage(const std::string& path, const std::string& contents,
                      const std::string& model, std::string* error) {
  return StageFile(path, Whole(contents), model, error);
}

bool OutputSet::Lock(const std::string& stem, std::string* error) {
  platform::InstallInterruptHandler();
  std::string path = LockPath(stem);
  long holder = 0;
  std::string reason;
  int wait_ms = platform::LockWaitMs(kLockWaitMs);
  std::intptr_t lock = platform::AcquireLock(path, wait_ms, &holder, &reason);
  if (lock < 0) {
    *error = "cannot lock '" + path + "': " +
             (!reason.empty() ? reason
                              : "another run (process " + std::to_string(holder) +
                                    ") is writing these files; " + "gave up after " +
                                    std::to_string(wait_ms / 1000) + " s");
    return false;
  }
  lock_ = lock;
  lock_path_ = path;
  lock_slot_ = platform::AddLiveFile(path);
  Repair(path);
  return true;
}

void OutputSet::Unlock() {
  if (lock_ < 0) return;
  platform::DropLiveFile(lock_slot_);
  platform::ReleaseLock(lock_, lock_path_);
  lock_ = -1;
}

std::string OutputSet::JournalPath(std::string_view kind) const {
  return RunFileName(lock_path_.empty() ? staged_.front().target : lock_path_, kind);
}

// Gives each existing target a second name: linked while the target stays
// (so no rename leaves it missing), else renamed away within the commit.
bool OutputSet::PrepareBackups(std::string* error) {
  for (Staged& file : staged_) {
    std::string reason;
    if (!platform::CanReplace(file.target, &reason)) {
      *error = "cannot write '" + file.target + "': " + reason;
      return false;
    }
    if (!Exists(file.target)) continue;
    file.backup = RunFileName(file.target, "old");
    file.backup_moved = !platform::HardLink(file.target, file.backup, &reason);
  }
  return true;
}

bool OutputSet::RenameAll(std::string* error) {
  for (size_t i = 0; i < staged_.size(); ++i) {
    Staged& file = staged_[i];
    std::string reason;
    bool ok = !file.backup_moved || platform::Rename(file.target, file.backup, &reason);
    if (ok && platform::RenameFails(static_cast<int>(i + 1))) {
      ok = false;
      reason = "Input/output error";
    }
    ok = ok && platform::Rename(file.temporary, file.target, &reason);
    if (!ok) {
      *error = "cannot write '" + file.target + "': " + reason;
      return false;
    }
    platform::ReachPoint("renamed" + std::to_string(i + 1));
  }
  return true;
}

bool OutputSet::Commit(std::string* error) {
  if (staged_.empty()) return true;
  platform::SignalsHeld held;
  if (!PrepareBackups(error)) return false;
  std::string journal_text = JournalText(lock_path_, staged_);
  std::string journal = JournalPath(kJournalKind);
  std::string reason;
  if (!platform::WriteNewFile(journal, journal_text, &reason)) {
    *error = "cannot write '" + journal + "': " + reason;
    return false;
  }
  bool ok = false;
  try {
    platform::ReachPoint("commit");
    ok = RenameAll(error);
  } catch (...) {  // out of memory: the old set goes back before the program ends
    RollBack(staged_);
    RemoveFile(journal);
    throw;
  }
  if (!ok) {
    // The undo is recorded before the journal goes, so that a crash in
    // between still finds one of them.
    std::string undo = UndoPathOf(journal);
    platform::WriteNewFile(undo, journal_text, &reason);
    RemoveFile(journal);
    platform::ReachPoint("undoing");
    RollBack(staged_);
    RemoveFile(undo);
  } else {
    RemoveFile(journal);
  }
  for (Staged& file : staged_) {
    if (!file.backup.empty()) RemoveFile(file.backup);
    file.backup.clear();
  }
  if (ok) {
    for (Staged& file : staged_) platform::DropLiveFile(file.live_slot);
    staged_.clear();
    Unlock();
    platform::ReachPoint("committed");
  }
  return ok;
}

OutputSet::~OutputSet() {
  RemoveTemporaries();
  Unlock();
}

void OutputSet::RemoveTemporaries() {
  for (const Staged& file : staged_) {
    RemoveFile(file.temporary);
    if (!file.backup.empty()) RemoveFile(file.backup);
    platform::DropLiveFile(file.live_slot);
  }
  staged_.clear();
}

}  // namespace vigil
