#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <ctime>
#include <string_view>

#include "cli/platform/file_io.h"
#include "cli/platform/program_start.h"

namespace vigil {
namespace {

std::string Reason(int error_number) { return std::strerror(error_number); }

// The temporary files an interrupt must remove. The signal handler reads only
// this fixed table, so it needs no allocation and no lock: a slot's path is
// written before the slot is marked used, and unmarked before it is reused.
struct LiveFile {
  std::atomic<bool> used;
  char path[PATH_MAX];
};
constexpr int kLiveFiles = 16;
LiveFile live_files[kLiveFiles];
constexpr int kInterrupts[] = {SIGINT, SIGTERM};

extern "C" void RemoveLiveFilesAndDie(int signal_number) {
  for (LiveFile& file : live_files) {
    if (file.used.load()) ::unlink(file.path);
  }
  // The signal is blocked while its handler runs: it ends the program, with
  // the status of a program the signal killed, as soon as the handler returns.
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  ::sigaction(signal_number, &action, nullptr);
  ::raise(signal_number);
}

// Installs the handler once; a signal the program was started to ignore
// stays ignored.
void InstallInterruptHandler() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  for (int signal_number : kInterrupts) {
    struct sigaction old {};
    if (::sigaction(signal_number, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = RemoveLiveFilesAndDie;
    ::sigemptyset(&action.sa_mask);
    for (int blocked : kInterrupts) ::sigaddset(&action.sa_mask, blocked);
    ::sigaction(signal_number, &action, nullptr);
  }
}

// A slot for `path`, or -1 when the table is full or the path too long.
int AddLiveFile(const std::string& path) {
  if (path.size() >= PATH_MAX) return -1;
  for (int slot = 0; slot < kLiveFiles; ++slot) {
    LiveFile& file = live_files[slot];
    if (file.used.load()) continue;
    std::memcpy(file.path, path.c_str(), path.size() + 1);
    file.used.store(true);
    return slot;
  }
  return -1;
}

void DropLiveFile(int slot) {
  if (slot >= 0) live_files[slot].used.store(false);
}

// Holds off SIGINT and SIGTERM while it lives: a temporary file is created and
// registered, or all are renamed and unregistered, as one step.
class InterruptsHeld {
 public:
  InterruptsHeld() {
    sigset_t held;
    ::sigemptyset(&held);
    for (int signal_number : kInterrupts) ::sigaddset(&held, signal_number);
    ::sigprocmask(SIG_BLOCK, &held, &saved_);
  }
  ~InterruptsHeld() { ::sigprocmask(SIG_SETMASK, &saved_, nullptr); }
  InterruptsHeld(const InterruptsHeld&) = delete;
  InterruptsHeld& operator=(const InterruptsHeld&) = delete;

 private:
  sigset_t saved_;
};

bool WriteAll(int fd, std::string_view contents) {
  const char* data = contents.data();
  size_t left = contents.size();
  while (left > 0) {
    ssize_t written = ::write(fd, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    left -= static_cast<size_t>(written);
  }
  return true;
}

// A short name beside the target: the target's own name plus a suffix could
// pass the length limit of a file name that the target itself keeps.
std::string TemporaryName(const std::string& path, unsigned attempt) {
  static std::atomic<unsigned> counter{0};
  size_t slash = path.find_last_of('/');
  std::string directory = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  return directory + ".vigilc-" + std::to_string(::getpid()) + "-" +
         std::to_string(counter.fetch_add(1)) + "-" + std::to_string(attempt);
}

// Creates a new temporary file beside `path`, with the mode a new file gets
// (0666 less the umask, applied by open itself).
int CreateTemporary(const std::string& path, std::string* temporary) {
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    *temporary = TemporaryName(path, attempt);
    int fd = ::open(temporary->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

bool SameFile(const std::string& path_a, const std::string& path_b) {
  struct stat a {};
  struct stat b {};
  return ::stat(path_a.c_str(), &a) == 0 && ::stat(path_b.c_str(), &b) == 0 &&
         a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::optional<std::string> ReadWholeFile(const std::string& path, std::string* error) {
  // Non-blocking, so that a pipe without a writer cannot hang the open.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    *error = Reason(errno);
    return std::nullopt;
  }
  struct stat info {};
  bool stat_ok = ::fstat(fd, &info) == 0;
  if (!stat_ok || !S_ISREG(info.st_mode)) {
    *error = !stat_ok                ? Reason(errno)
             : S_ISDIR(info.st_mode) ? Reason(EISDIR)
                                     : std::string("Not a regular file");
    ::close(fd);
    return std::nullopt;
  }
  std::string contents;
  if (info.st_size > 0) contents.reserve(static_cast<size_t>(info.st_size));
  char buffer[1 << 16];
  while (true) {
    ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      *error = Reason(errno);
      ::close(fd);
      return std::nullopt;
    }
    if (got == 0) break;
    contents.append(buffer, static_cast<size_t>(got));
  }
  ::close(fd);
  return contents;
}

OutputSet::~OutputSet() { RemoveTemporaries(); }

bool OutputSet::Stage(const std::string& path, const Pieces& next_piece, std::string* error) {
  std::string temporary;
  int fd;
  {
    InterruptsHeld held;
    InstallInterruptHandler();
    fd = CreateTemporary(path, &temporary);
    if (fd >= 0) staged_.push_back({path, temporary, AddLiveFile(temporary)});
  }
  if (fd < 0) {
    *error = "cannot write '" + path + "': " + Reason(errno);
    return false;
  }
  bool ok = true;
  for (std::string_view piece = next_piece(); ok && !piece.empty(); piece = next_piece()) {
    ok = WriteAll(fd, piece);
  }
  int saved = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    saved = errno;
  }
  if (!ok) *error = "cannot write '" + path + "': " + Reason(saved);
  return ok;
}

std::optional<std::time_t> OutputSet::StagedTime(const std::string& path) const {
  for (const Staged& file : staged_) {
    struct stat info {};
    if (file.target == path && ::stat(file.temporary.c_str(), &info) == 0) return info.st_mtime;
  }
  return std::nullopt;
}

bool OutputSet::Commit(std::string* error) {
  // A target that is a directory would fail its rename after others had
  // already replaced theirs: refuse before touching any.
  for (const Staged& file : staged_) {
    struct stat info {};
    if (::stat(file.target.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
      *error = "cannot write '" + file.target + "': " + Reason(EISDIR);
      return false;
    }
  }
  // All the targets are replaced, or an interrupt finds the temporaries.
  InterruptsHeld held;
  for (Staged& file : staged_) {
    if (::rename(file.temporary.c_str(), file.target.c_str()) != 0) {
      *error = "cannot write '" + file.target + "': " + Reason(errno);
      return false;
    }
    DropLiveFile(file.live_slot);
    file.live_slot = -1;
  }
  staged_.clear();
  return true;
}

std::string LocalTimeText(std::time_t time) {
  std::tm local{};
  localtime_r(&time, &local);
  char text[32];
  size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return std::string(text, length);
}

void OutputSet::RemoveTemporaries() {
  for (const Staged& file : staged_) {
    ::unlink(file.temporary.c_str());
    DropLiveFile(file.live_slot);
  }
  staged_.clear();
}

// POSIX arguments are bytes already, and stdio does not translate line ends.
std::vector<std::string> StartProgram(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

}  // namespace vigil
