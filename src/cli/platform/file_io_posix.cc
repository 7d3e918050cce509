#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "cli/platform/file_io.h"

namespace vigil {
namespace {

std::string Reason(int error_number) { return std::strerror(error_number); }

bool WriteAll(int fd, const std::string& contents) {
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

bool OutputSet::Stage(const std::string& path, const std::string& contents, std::string* error) {
  std::string temporary;
  int fd = CreateTemporary(path, &temporary);
  if (fd < 0) {
    *error = "cannot write '" + path + "': " + Reason(errno);
    return false;
  }
  staged_.push_back({path, temporary});
  bool ok = WriteAll(fd, contents);
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
  for (const Staged& file : staged_) {
    if (::rename(file.temporary.c_str(), file.target.c_str()) != 0) {
      *error = "cannot write '" + file.target + "': " + Reason(errno);
      return false;
    }
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
  for (const Staged& file : staged_) ::unlink(file.temporary.c_str());
  staged_.clear();
}

// POSIX streams never translate line ends.
void UseBinaryStandardStreams() {}

}  // namespace vigil
