// vigilc in hostile surroundings: a script it cannot read, outputs it cannot
// write. Each run must stop with exactly one line on stderr and exit status 2,
// and leave the directory exactly as it was: no output created or replaced,
// no temporary file left behind.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "support/files.h"

namespace vigil {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;
using testing::WriteFile;

constexpr char kScript[] =
    "MODULE = PANEL,0\r\n"
    "EVENT PANEL.INIT\r\n"
    "RELAY1 = ON\r\n"
    "EVENTEND\r\n";

// The file as the snapshot shows it; a FIFO must not block the read.
std::string ReadEntry(const std::string& path) {
  std::string contents;
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
  if (fd < 0) return "<unreadable>";
  char buffer[4096];
  ssize_t got;
  while ((got = ::read(fd, buffer, sizeof buffer)) > 0) {
    contents.append(buffer, static_cast<size_t>(got));
  }
  ::close(fd);
  return contents;
}

// Every entry under `dir` with its kind, mode, inode, times and contents: a
// file replaced by an identical copy still shows as changed.
std::map<std::string, std::string> Snapshot(const std::string& dir) {
  std::map<std::string, std::string> entries;
  std::error_code ignored;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(dir, ignored)) {
    struct stat info {};
    std::string path = entry.path().string();
    if (::lstat(path.c_str(), &info) != 0) continue;
    std::string description = std::to_string(info.st_mode) + " " + std::to_string(info.st_ino) +
                              " " + std::to_string(info.st_mtim.tv_sec) + "." +
                              std::to_string(info.st_mtim.tv_nsec);
    if (S_ISREG(info.st_mode)) description += " " + ReadEntry(path);
    if (S_ISLNK(info.st_mode)) description += " -> " + fs::read_symlink(path, ignored).string();
    entries[path.substr(dir.size())] = description;
  }
  return entries;
}

struct RunResult {
  int status = -1;  // exit status; -1 when it did not exit by itself in time
  std::string err;
};

// Runs vigilc on `script` inside `dir`, stdout discarded, stderr kept.
RunResult RunVigilc(const std::string& dir, const std::string& script) {
  RunResult result;
  int fds[2];
  if (::pipe(fds) != 0) return result;
  pid_t pid = ::fork();
  if (pid == 0) {
    int null = ::open("/dev/null", O_RDWR);
    if (::chdir(dir.c_str()) != 0) ::_exit(126);
    ::dup2(null, 0);
    ::dup2(null, 1);
    ::dup2(fds[1], 2);
    ::execl(VIGILC_PATH, VIGILC_PATH, script.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(fds[1]);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd ready{fds[0], POLLIN, 0};
    if (::poll(&ready, 1, 100) <= 0) continue;
    char buffer[4096];
    ssize_t got = ::read(fds[0], buffer, sizeof buffer);
    if (got <= 0) break;
    result.err.append(buffer, static_cast<size_t>(got));
  }
  int status = 0;
  while (::waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() >= deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      ::close(fds[0]);
      return result;
    }
    ::usleep(10000);
  }
  ::close(fds[0]);
  if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
  return result;
}

// Exactly one non-empty line, naming `path`.
void ExpectOneLineNaming(const std::string& err, const std::string& path) {
  ASSERT_FALSE(err.empty());
  EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
  EXPECT_NE(err.find(path), std::string::npos) << err;
}

bool RunningAsRoot() { return ::geteuid() == 0; }

TEST(HostileTest, CleanRunWritesTheFourFiles) {
  TempDir dir("vigil-hostile");
  WriteFile(dir / "site.txt", kScript);
  RunResult run = RunVigilc(dir.path(), "site.txt");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  for (const char* name : {"site.BIN", "site.LST", "site.ERR", "site.SET"}) {
    EXPECT_TRUE(fs::is_regular_file(dir / name)) << name;
  }
  EXPECT_EQ(Snapshot(dir.path()).size(), 5u);
}

// Output names as long as the file system allows: temporary files on the way
// must not need longer ones.
TEST(HostileTest, LongestScriptNameWritesItsOutputs) {
  TempDir dir("vigil-hostile");
  long name_max = ::pathconf(dir.path().c_str(), _PC_NAME_MAX);
  std::string stem(static_cast<size_t>(name_max > 0 ? name_max : 255) - 4, 'a');
  WriteFile(dir / (stem + ".txt"), kScript);
  RunResult run = RunVigilc(dir.path(), stem + ".txt");
  EXPECT_EQ(run.status, 0) << run.err;
  for (const char* extension : {".BIN", ".LST", ".ERR", ".SET"}) {
    EXPECT_TRUE(fs::is_regular_file(dir / (stem + extension))) << extension;
  }
  EXPECT_EQ(Snapshot(dir.path()).size(), 5u);
}

struct ScriptCase {
  const char* name;
  const char* argument;
  std::function<void(const TempDir&)> setup;
};

void PrintTo(const ScriptCase& script_case, std::ostream* os) { *os << script_case.name; }

class UnreadableScriptTest : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(UnreadableScriptTest, StopsWithOneLineAndWritesNothing) {
  TempDir dir("vigil-hostile");
  ASSERT_FALSE(dir.path().empty());
  GetParam().setup(dir);
  std::map<std::string, std::string> before = Snapshot(dir.path());
  RunResult run = RunVigilc(dir.path(), GetParam().argument);
  EXPECT_EQ(run.status, 2) << run.err;
  ExpectOneLineNaming(run.err, GetParam().argument);
  EXPECT_EQ(Snapshot(dir.path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, UnreadableScriptTest,
    ::testing::Values(ScriptCase{"IsADirectory", "site.txt",
                                 [](const TempDir& dir) {
                                   ASSERT_EQ(::mkdir((dir / "site.txt").c_str(), 0755), 0);
                                 }},
                      ScriptCase{"Missing", "site.txt", [](const TempDir&) {}},
                      // The file the link named has vanished.
                      ScriptCase{"DanglingLink", "site.txt",
                                 [](const TempDir& dir) {
                                   ASSERT_EQ(::symlink("gone.txt", (dir / "site.txt").c_str()), 0);
                                 }},
                      // The directory that held it has vanished.
                      ScriptCase{"DirectoryGone", "gone/site.txt", [](const TempDir&) {}},
                      // Opens, then fails to read, even for root: the process's own memory
                      // has nothing mapped at offset 0.
                      ScriptCase{"ReadFails", "site.txt",
                                 [](const TempDir& dir) {
                                   ASSERT_EQ(
                                       ::symlink("/proc/self/mem", (dir / "site.txt").c_str()), 0);
                                 }},
                      // A pipe nobody writes to must not hang the run.
                      ScriptCase{"Fifo", "site.txt",
                                 [](const TempDir& dir) {
                                   ASSERT_EQ(::mkfifo((dir / "site.txt").c_str(), 0644), 0);
                                 }}),
    [](const ::testing::TestParamInfo<ScriptCase>& param) { return param.param.name; });

TEST(HostileTest, UnreadableScript) {
  if (RunningAsRoot()) GTEST_SKIP() << "root reads a file whatever its mode";
  TempDir dir("vigil-hostile");
  WriteFile(dir / "site.txt", kScript);
  ASSERT_EQ(::chmod((dir / "site.txt").c_str(), 0), 0);
  std::map<std::string, std::string> before = Snapshot(dir.path());
  RunResult run = RunVigilc(dir.path(), "site.txt");
  EXPECT_EQ(run.status, 2) << run.err;
  ExpectOneLineNaming(run.err, "site.txt");
  EXPECT_EQ(Snapshot(dir.path()), before);
}

// A directory with the script and output files from an earlier run, which
// must survive a failed run unchanged.
void WriteScriptAndOldOutputs(const TempDir& dir, const std::string& skip) {
  WriteFile(dir / "site.txt", kScript);
  for (std::string extension : {"BIN", "LST", "ERR", "SET"}) {
    if (extension != skip) WriteFile(dir / ("site." + extension), "old " + extension + "\r\n");
  }
}

class OutputIsDirectoryTest : public ::testing::TestWithParam<std::string> {};

TEST_P(OutputIsDirectoryTest, StopsWithOneLineAndWritesNothing) {
  TempDir dir("vigil-hostile");
  std::string blocked = "site." + GetParam();
  WriteScriptAndOldOutputs(dir, GetParam());
  ASSERT_EQ(::mkdir((dir / blocked).c_str(), 0755), 0);
  WriteFile(dir / blocked + "/inside", "kept");
  std::map<std::string, std::string> before = Snapshot(dir.path());
  RunResult run = RunVigilc(dir.path(), "site.txt");
  EXPECT_EQ(run.status, 2) << run.err;
  ExpectOneLineNaming(run.err, blocked);
  EXPECT_EQ(Snapshot(dir.path()), before);
}

INSTANTIATE_TEST_SUITE_P(Outputs, OutputIsDirectoryTest,
                         ::testing::Values("BIN", "LST", "ERR", "SET"));

TEST(HostileTest, ReadOnlyOutputDirectory) {
  if (RunningAsRoot()) GTEST_SKIP() << "root writes into a read-only directory";
  TempDir dir("vigil-hostile");
  WriteScriptAndOldOutputs(dir, "");
  ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
  std::map<std::string, std::string> before = Snapshot(dir.path());
  RunResult run = RunVigilc(dir.path(), "site.txt");
  EXPECT_EQ(run.status, 2) << run.err;
  ExpectOneLineNaming(run.err, "site.");
  EXPECT_EQ(Snapshot(dir.path()), before);
}

}  // namespace
}  // namespace vigil
