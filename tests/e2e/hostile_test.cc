// vigilc and vigil build in hostile surroundings: a script they cannot read,
// outputs they cannot write, an output that is the script itself. Each run
// must stop with exactly one line on stderr and exit status 2, and leave the
// directory exactly as it was: no output created or replaced, no temporary
// file left behind.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/files.h"

namespace vigil {
namespace {

namespace fs = std::filesystem;

constexpr char kScript[] = "MODULE = PANEL,0\r\nEVENT PANEL.INIT\r\nRELAY1 = ON\r\nEVENTEND\r\n";

// Every entry under `dir` with its kind, mode, inode, time and contents: a
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
    if (S_ISREG(info.st_mode)) description += " " + testing::ReadFile(path);
    if (S_ISLNK(info.st_mode)) description += " -> " + fs::read_symlink(path, ignored).string();
    entries[path.substr(dir.size())] = description;
  }
  return entries;
}

class HostileTest : public ::testing::Test {
 protected:
  // The script and the outputs of an earlier run, but for `skip`.
  void WriteScriptAndOldOutputs(const std::string& skip = "") const {
    dir_.Write("site.txt", kScript);
    for (std::string extension : {"BIN", "LST", "ERR", "SET"}) {
      if (extension != skip) dir_.Write("site." + extension, "old " + extension + "\r\n");
    }
  }
  // vigilc and vigil build on `script`, each stopped after ten seconds (124),
  // stop with exit status 2 and one line on stderr that names the program and
  // then `named`, nothing on stdout, and leave the directory as it was.
  void ExpectRefused(const std::string& script, const std::string& named) const {
    std::map<std::string, std::string> before = Snapshot(dir_.path());
    for (const auto& [program, command] :
         std::vector<std::pair<std::string, std::vector<std::string>>>{
             {"vigilc: ", {"10", VIGILC_PATH, script}},
             {"vigil build: ", {"10", VIGIL_PATH, "build", script}}}) {
      testing::ProgramRun run = dir_.Run("timeout", command);
      EXPECT_EQ(run.status, 2) << program << run.err;
      EXPECT_EQ(run.out, "");
      EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
      EXPECT_TRUE(run.err.starts_with(program)) << run.err;
      EXPECT_NE(run.err.find(named), std::string::npos) << run.err;
      EXPECT_EQ(Snapshot(dir_.path()), before) << program;
    }
  }

  testing::TempDir dir_{"vigil-hostile"};
};

// Output names as long as the file system allows: temporary files on the way
// must not need longer ones.
TEST_F(HostileTest, LongestScriptNameWritesItsOutputs) {
  long name_max = ::pathconf(dir_.path().c_str(), _PC_NAME_MAX);
  std::string stem(static_cast<size_t>(name_max > 0 ? name_max : 255) - 4, 'a');
  dir_.Write(stem + ".txt", kScript);
  EXPECT_EQ(dir_.Run(VIGILC_PATH, {stem + ".txt"}).status, 0);
  EXPECT_EQ(dir_.Names(), (std::vector<std::string>{stem + ".BIN", stem + ".ERR", stem + ".LST",
                                                    stem + ".SET", stem + ".txt"}));
}

TEST_F(HostileTest, ScriptThatCannotBeRead) {
  ExpectRefused("site.txt", "site.txt");       // missing
  ExpectRefused("gone/site.txt", "site.txt");  // its directory has vanished
  ASSERT_EQ(::symlink("gone.txt", (dir_ / "site.txt").c_str()), 0);
  ExpectRefused("site.txt", "site.txt");  // the file the link named has vanished
  // Opens, then fails to read, even for root: the process's own memory has
  // nothing mapped at offset 0.
  ASSERT_EQ(::symlink("/proc/self/mem", (dir_ / "mem.txt").c_str()), 0);
  ExpectRefused("mem.txt", "mem.txt");
  ASSERT_EQ(::mkdir((dir_ / "dir.txt").c_str(), 0755), 0);
  ExpectRefused("dir.txt", "dir.txt");
  // A pipe nobody writes to must not hang the run.
  ASSERT_EQ(::mkfifo((dir_ / "fifo.txt").c_str(), 0644), 0);
  ExpectRefused("fifo.txt", "fifo.txt");
  if (::geteuid() != 0) {  // root reads a file whatever its mode
    dir_.Write("locked.txt", kScript);
    ASSERT_EQ(::chmod((dir_ / "locked.txt").c_str(), 0), 0);
    ExpectRefused("locked.txt", "locked.txt");
  }
}

// An output that is the script itself. The last case: an output that differs
// from the script only in case, where the file system does not tell them
// apart (passed over where it does).
TEST_F(HostileTest, OutputThatIsTheScript) {
  enum Link { kNoLink, kSymbolicLink, kHardLink };  // how the output reaches the script
  struct Case {
    const char* script;  // the path vigilc is given
    const char* output;  // the output that is the script, as vigilc names it
    Link link;
  };
  for (const Case& c :
       {Case{"site.ERR", "site.ERR", kNoLink},
        Case{"./sub/../site.BIN", "./sub/../site.BIN", kNoLink},
        Case{"site.txt", "site.LST", kSymbolicLink}, Case{"site.txt", "site.SET", kHardLink},
        Case{"site.err", "site.ERR", kNoLink}}) {
    SCOPED_TRACE(c.output);
    for (const auto& entry : fs::directory_iterator(dir_.path())) fs::remove_all(entry);
    fs::create_directory(dir_ / "sub");
    const std::string file = fs::path(c.script).filename();
    dir_.Write(file, kScript);
    if (c.link == kSymbolicLink) fs::create_symlink("./" + file, dir_ / c.output);
    if (c.link == kHardLink) fs::create_hard_link(dir_ / file, dir_ / c.output);
    if (!fs::exists(dir_ / c.output)) continue;
    ExpectRefused(c.script, std::string(": refusing to write '") + c.output +
                                "': it is the script '" + c.script + "' itself\n");
  }
}

TEST_F(HostileTest, OutputThatIsADirectory) {
  for (std::string extension : {"BIN", "LST", "ERR", "SET"}) {
    SCOPED_TRACE(extension);
    std::string blocked = "site." + extension;
    for (const auto& entry : fs::directory_iterator(dir_.path())) fs::remove_all(entry);
    WriteScriptAndOldOutputs(extension);
    ASSERT_EQ(::mkdir((dir_ / blocked).c_str(), 0755), 0);
    dir_.Write(blocked + "/inside", "kept");
    ExpectRefused("site.txt", blocked);
  }
}

TEST_F(HostileTest, ReadOnlyOutputDirectory) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into a read-only directory";
  WriteScriptAndOldOutputs();
  ASSERT_EQ(::chmod(dir_.path().c_str(), 0555), 0);
  ExpectRefused("site.txt", "site.");
}

}  // namespace
}  // namespace vigil
