#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/fs.h>
#include <sys/ioctl.h>
#endif

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string_view>

#include "cli/platform/file_io.h"
#include "cli/platform/file_system.h"
#include "cli/platform/program_start.h"
#include "cli/platform/test_hooks.h"

namespace vigil {
namespace {

std::string Reason(int error_number) { return std::strerror(error_number); }

// The files an ending signal must remove. The signal handler reads only this
// fixed table, so it needs no allocation and no lock: a slot's path is
// written before the slot is marked used, and unmarked before it is reused.
struct LiveFile {
  std::atomic<bool> used;
  char path[PATH_MAX];
};
constexpr int kLiveFiles = 16;
LiveFile live_files[kLiveFiles];
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE};

extern "C" void RemoveLiveFilesAndDie(int signal_number) {
  platform::RemoveLiveFiles();
  // The signal is blocked while its handler runs: it ends the program, with
  // the status of a program the signal killed, as soon as the handler returns.
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  ::sigaction(signal_number, &action, nullptr);
  ::raise(signal_number);
}

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

std::string FinalPath(const std::string& path) {
  char* final_path = ::realpath(path.c_str(), nullptr);
  if (final_path == nullptr) return path;
  std::string text(final_path);
  std::free(final_path);
  return text;
}

int NameCount(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? static_cast<int>(info.st_nlink) : 0;
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
  platform::ReachPoint("read");
  return contents;
}

namespace {

// Gives the open file the mode, owner and group of `model`: the owner first,
// since a change of owner clears the set-id bits.
bool CopyAttributes(int fd, const std::string& model, std::string* reason) {
  struct stat info {};
  if (::stat(model.c_str(), &info) != 0 || ::fchown(fd, info.st_uid, info.st_gid) != 0 ||
      ::fchmod(fd, info.st_mode & 07777) != 0) {
    *reason = "cannot keep the mode, owner and group of '" + model + "': " + Reason(errno);
    return false;
  }
  return true;
}

}  // namespace

bool OutputSet::StageFile(const std::string& path, const Pieces& next_piece,
                          const std::string& model, std::string* error) {
  std::string temporary;
  int fd;
  {
    platform::SignalsHeld held;
    platform::InstallInterruptHandler();
    fd = CreateTemporary(path, &temporary);
    if (fd >= 0) staged_.push_back({path, temporary, "", false, platform::AddLiveFile(temporary)});
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
  if (!ok) *error = "cannot write '" + path + "': " + Reason(saved);
  if (ok && !model.empty()) ok = CopyAttributes(fd, model, error);
  if (::close(fd) != 0 && ok) {
    ok = false;
    *error = "cannot write '" + path + "': " + Reason(errno);
  }
  platform::ReachPoint("staged" + std::to_string(staged_.size()));
  return ok;
}

std::optional<std::time_t> OutputSet::StagedTime(const std::string& path) const {
  for (const Staged& file : staged_) {
    struct stat info {};
    if (file.target == path && ::stat(file.temporary.c_str(), &info) == 0) return info.st_mtime;
  }
  return std::nullopt;
}

std::string LocalTimeText(std::time_t time) {
  std::tm local{};
  localtime_r(&time, &local);
  char text[32];
  size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return std::string(text, length);
}

namespace platform {

long CurrentProcess() { return static_cast<long>(::getpid()); }

bool ProcessRunning(long process) {
  return ::kill(static_cast<pid_t>(process), 0) == 0 || errno == EPERM;
}

bool Rename(const std::string& from, const std::string& to, std::string* reason) {
  if (::rename(from.c_str(), to.c_str()) == 0) return true;
  *reason = Reason(errno);
  return false;
}

bool HardLink(const std::string& existing, const std::string& link, std::string* reason) {
  if (::link(existing.c_str(), link.c_str()) == 0) return true;
  *reason = Reason(errno);
  return false;
}

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool Exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

std::vector<std::string> DirectoryNames(const std::string& directory) {
  std::vector<std::string> names;
  DIR* entries = ::opendir(directory.empty() ? "." : directory.c_str());
  if (entries == nullptr) return names;
  while (const dirent* entry = ::readdir(entries)) {
    std::string_view name = entry->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  ::closedir(entries);
  return names;
}

std::string AbsolutePath(const std::string& path) {
  if (path.starts_with("/")) return path;
  char here[PATH_MAX];
  if (::getcwd(here, sizeof here) == nullptr) return path;
  return std::string(here) + "/" + path;
}

bool WriteNewFile(const std::string& path, std::string_view contents, std::string* reason) {
  std::string temporary;
  int fd = CreateTemporary(path, &temporary);
  if (fd < 0) {
    *reason = Reason(errno);
    return false;
  }
  bool ok = WriteAll(fd, contents);
  int saved = errno;
  ok = ::close(fd) == 0 && ok;
  if (ok && ::rename(temporary.c_str(), path.c_str()) == 0) return true;
  *reason = Reason(ok ? errno : saved);
  ::unlink(temporary.c_str());
  return false;
}

bool CanReplace(const std::string& target, std::string* reason) {
  struct stat info {};
  if (::lstat(target.c_str(), &info) != 0) return true;  // a new file
  if (S_ISDIR(info.st_mode)) {
    *reason = Reason(EISDIR);
    return false;
  }
  std::string directory = target.substr(0, target.find_last_of('/') + 1);
  struct stat folder {};
  uid_t user = ::geteuid();
  if (::stat(directory.empty() ? "." : directory.c_str(), &folder) == 0 &&
      (folder.st_mode & S_ISVTX) != 0 && user != 0 && info.st_uid != user &&
      folder.st_uid != user) {
    *reason = Reason(EPERM);
    return false;
  }
#ifdef __linux__
  int fd = S_ISREG(info.st_mode) ? ::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK) : -1;
  int flags = 0;
  bool fixed = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
               (flags & (FS_IMMUTABLE_FL | FS_APPEND_FL)) != 0;
  if (fd >= 0) ::close(fd);
  if (fixed) {
    *reason = Reason(EPERM);
    return false;
  }
#endif
  return true;
}

static_assert(sizeof(sigset_t) <= 256, "SignalsHeld keeps the mask in 256 bytes");

SignalsHeld::SignalsHeld() {
  sigset_t held;
  ::sigemptyset(&held);
  for (int signal_number : kEndingSignals) ::sigaddset(&held, signal_number);
  ::sigprocmask(SIG_BLOCK, &held, reinterpret_cast<sigset_t*>(saved_));
}

SignalsHeld::~SignalsHeld() {
  ::sigprocmask(SIG_SETMASK, reinterpret_cast<const sigset_t*>(saved_), nullptr);
}

void RaiseSignal(int number) { ::kill(::getpid(), number); }

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

void RemoveLiveFiles() {
  for (LiveFile& file : live_files) {
    if (file.used.load()) ::unlink(file.path);
  }
}

void InstallInterruptHandler() {
  static std::atomic<bool> installed{false};
  if (installed.exchange(true)) return;
  for (int signal_number : kEndingSignals) {
    struct sigaction old {};
    if (::sigaction(signal_number, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = RemoveLiveFilesAndDie;
    ::sigemptyset(&action.sa_mask);
    for (int blocked : kEndingSignals) ::sigaddset(&action.sa_mask, blocked);
    ::sigaction(signal_number, &action, nullptr);
  }
}

namespace {

// A lock of the open file description (not the process), so that two sets
// of one process exclude each other too.
#ifdef F_OFD_SETLK
constexpr int kSetLock = F_OFD_SETLK;
#else
constexpr int kSetLock = F_SETLK;
#endif

bool TryLock(int fd) {
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  return ::fcntl(fd, kSetLock, &lock) == 0;
}

// The holder's process id, which it writes into the lock's file.
long Holder(int fd) {
  char text[24] = {};
  ssize_t got = ::pread(fd, text, sizeof text - 1, 0);
  return got > 0 ? std::atol(text) : 0;
}

bool StillNamed(int fd, const std::string& path) {
  struct stat open_file {};
  struct stat named {};
  return ::fstat(fd, &open_file) == 0 && ::stat(path.c_str(), &named) == 0 &&
         open_file.st_dev == named.st_dev && open_file.st_ino == named.st_ino;
}

}  // namespace

std::intptr_t AcquireLock(const std::string& path, int wait_ms, long* holder, std::string* reason) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
  long pause_ms = 1;
  while (true) {
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
      *reason = Reason(errno);
      return -1;
    }
    if (TryLock(fd)) {
      // A run that released the lock removed the file we opened: try again
      // on the file the name holds now.
      if (!StillNamed(fd, path)) {
        ::close(fd);
        continue;
      }
      std::string pid = std::to_string(::getpid()) + "\n";
      if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, pid.data(), pid.size(), 0) < 0) {
        // The pid is for messages only.
      }
      return fd;
    }
    int failure = errno;
    *holder = Holder(fd);
    ::close(fd);
    if (failure != EAGAIN && failure != EACCES) {
      *reason = Reason(failure);
      return -1;
    }
    if (std::chrono::steady_clock::now() >= deadline) return -1;
    // From a millisecond up to 32: a short run ahead is waited for briefly.
    struct timespec pause {
      0, pause_ms * 1000 * 1000
    };
    ::nanosleep(&pause, nullptr);
    pause_ms = std::min(pause_ms * 2, 32L);
  }
}

void ReleaseLock(std::intptr_t handle, const std::string& path) {
  ::unlink(path.c_str());
  ::close(static_cast<int>(handle));
}

}  // namespace platform

// POSIX arguments are bytes already, and stdio does not translate line ends.
std::vector<std::string> StartProgram(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

}  // namespace vigil
