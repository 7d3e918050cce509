// Faults injected into whole runs of the programs (the debug build reads the
// faults of src/cli/platform/test_hooks.h): a rename that fails at each of the
// four positions, each ending signal at each stage of the commit, SIGKILL and
// the next run's repair, concurrent runs on one set, a held lock, out of
// memory, and vigil fix on owned, linked and hard-linked scripts. After each,
// the four files on disk are the old set or the new one, whole, and no hidden
// file of a run is left.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/files.h"

namespace {

namespace fs = std::filesystem;
using vigil::testing::ReadFile;
using vigil::testing::TempDir;

// Two scripts whose four files all differ: the old set and the new one.
const std::string kOld = "MODULE = PANEL,0\r\nEVENT PANEL.INIT\r\nRELAY1 = ON\r\nEVENTEND\r\n";
const std::string kNew =
    "MODULE = PANEL,0\r\nMODULE = K1,5,0,3,10,30,60\r\nEVENT PANEL.INIT\r\nRELAY1 = OFF\r\n"
    "BOGUS\r\nEVENTEND\r\n";
const std::vector<std::string> kSuffixes = {"BIN", "LST", "ERR", "SET"};
// Between the files of SetText.
constexpr std::string_view kFileEnd = "<end>";
const std::vector<std::string> kPoints = {"staged1",  "staged2",  "staged3",  "staged4",
                                          "commit",   "renamed1", "renamed2", "renamed3",
                                          "renamed4", "committed"};
// A build with sanitizers starts each run slowly: it runs fewer pairs.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
const std::vector<int> kEndingSignals = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE};

struct Ended {
  bool signaled = false;
  int code = -1;  // the exit status, or the signal that ended the run
  std::string err;
};

// Starts `args` (the program first) in `directory` with the extra
// environment `env` ("NAME=VALUE"), stderr to `err_path`; the signals a
// parent may have set aside are back to their defaults.
pid_t Start(const std::string& directory, const std::vector<std::string>& args,
            const std::vector<std::string>& env, const std::string& err_path) {
  pid_t child = ::fork();
  if (child != 0) return child;
  for (int number : kEndingSignals) ::signal(number, SIG_DFL);
  sigset_t none;
  ::sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
  // Leaks are looked for by the other tests; here each run's start counts.
  ::setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
  for (const std::string& setting : env) ::putenv(const_cast<char*>(setting.c_str()));
  int quiet = ::open("/dev/null", O_RDWR);
  int err = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (::chdir(directory.c_str()) != 0 || quiet < 0 || err < 0) ::_exit(127);
  ::dup2(quiet, 0);
  ::dup2(quiet, 1);
  ::dup2(err, 2);
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  ::execv(argv[0], argv.data());
  ::_exit(127);
}

Ended Finish(pid_t child, const std::string& err_path) {
  int status = 0;
  Ended ended;
  if (::waitpid(child, &status, 0) != child) return ended;
  ended.signaled = WIFSIGNALED(status);
  ended.code = ended.signaled ? WTERMSIG(status) : WEXITSTATUS(status);
  ended.err = ReadFile(err_path);
  return ended;
}

class FaultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The two sets as a run without faults writes them; the old one's bytes.
    dir_.Write("s.txt", kOld);
    ASSERT_EQ(Run({VIGILC_PATH, "s.txt"}).code, 0);
    expected_[0] = SetText();
    for (const std::string& suffix : kSuffixes) old_files_.push_back(dir_.Read("s." + suffix));
    dir_.Write("s.txt", kNew);
    ASSERT_EQ(Run({VIGILC_PATH, "s.txt"}).code, 1);
    expected_[1] = SetText();
    for (const std::string& suffix : kSuffixes) fs::remove(dir_ / ("s." + suffix));
  }

  Ended Run(const std::vector<std::string>& args, const std::vector<std::string>& env = {}) {
    std::string err_path = logs_ / "err";
    return Finish(Start(dir_.path(), args, env, err_path), err_path);
  }

  // The four files, the listing's Date line left out; "" when none exists.
  std::string SetText() const {
    std::string text;
    bool any = false;
    for (const std::string& suffix : kSuffixes) {
      std::string path = dir_ / ("s." + suffix);
      any = any || fs::exists(path);
      std::string contents = ReadFile(path);
      if (size_t date = contents.find("Date = "); date != std::string::npos) {
        contents.erase(date, contents.find('\n', date) + 1 - date);
      }
      text += suffix + ":" + contents + "\n" + std::string(kFileEnd);
    }
    return any ? text : "";
  }
  std::string Old() const { return expected_[0]; }
  std::string New() const { return expected_[1]; }

  // The hidden files of runs: temporaries, second names, journals, locks.
  std::vector<std::string> Hidden() const {
    std::vector<std::string> hidden;
    for (const std::string& name : dir_.Names()) {
      if (name.starts_with(".")) hidden.push_back(name);
    }
    return hidden;
  }

  // The old set on disk and the new script beside it.
  void OldSetNewScript() {
    for (size_t i = 0; i < kSuffixes.size(); ++i) dir_.Write("s." + kSuffixes[i], old_files_[i]);
    dir_.Write("s.txt", kNew);
  }

  TempDir dir_{"vigil-fault"};
  TempDir logs_{"vigil-fault-logs"};
  std::string expected_[2];
  std::vector<std::string> old_files_;  // the old set's bytes
};

// Each of the four files tells the old set from the new one.
TEST_F(FaultTest, SetsDiffer) {
  for (const std::string& suffix : kSuffixes) {
    auto file_of = [&](const std::string& set) {
      size_t at = set.find(suffix + ":");
      return set.substr(at, set.find(kFileEnd, at) - at);
    };
    EXPECT_NE(file_of(Old()), file_of(New())) << suffix;
  }
}

// A rename that fails after others succeeded puts every old file back; on a
// first run, no file is left.
TEST_F(FaultTest, FailedRenameAtEachPositionLeavesTheOldSet) {
  for (int position = 1; position <= 4; ++position) {
    SCOPED_TRACE("rename " + std::to_string(position));
    OldSetNewScript();
    Ended run = Run({VIGILC_PATH, "s.txt"}, {"VIGIL_TEST_FAIL_RENAME=" + std::to_string(position)});
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(run.err, "vigilc: cannot write 's." + kSuffixes[static_cast<size_t>(position - 1)] +
                           "': Input/output error\n");
    EXPECT_EQ(SetText(), Old());
    EXPECT_EQ(Hidden(), std::vector<std::string>());

    for (const std::string& suffix : kSuffixes) fs::remove(dir_ / ("s." + suffix));
    EXPECT_EQ(
        Run({VIGILC_PATH, "s.txt"}, {"VIGIL_TEST_FAIL_RENAME=" + std::to_string(position)}).code,
        2);
    EXPECT_EQ(dir_.Names(), std::vector<std::string>{"s.txt"});
  }
}

// Before the commit a signal removes the temporary files and leaves the old
// set; from the journal on it waits until the new set is whole. Either way
// the run ends by the signal.
TEST_F(FaultTest, EachSignalAtEachStage) {
  for (int number : kEndingSignals) {
    for (const std::string& point : kPoints) {
      SCOPED_TRACE(point + " signal " + std::to_string(number));
      OldSetNewScript();
      Ended run = Run({VIGILC_PATH, "s.txt"},
                      {"VIGIL_TEST_SIGNAL=" + point + ":" + std::to_string(number)});
      EXPECT_TRUE(run.signaled);
      EXPECT_EQ(run.code, number);
      EXPECT_EQ(SetText(), point.starts_with("staged") ? Old() : New());
      EXPECT_EQ(Hidden(), std::vector<std::string>());
    }
  }
}

// SIGKILL cannot be held: the next run finds the journal and finishes the
// commit (here that run's own commit then fails, so the set shows what the
// repair made), and removes what the dead run left.
TEST_F(FaultTest, KilledRunIsRepairedByTheNext) {
  for (const std::string& point : kPoints) {
    SCOPED_TRACE(point);
    OldSetNewScript();
    Ended killed = Run({VIGILC_PATH, "s.txt"}, {"VIGIL_TEST_SIGNAL=" + point + ":9"});
    EXPECT_TRUE(killed.signaled);
    EXPECT_EQ(killed.code, SIGKILL);
    dir_.Write("s.txt", kOld);
    EXPECT_EQ(Run({VIGILC_PATH, "s.txt"}, {"VIGIL_TEST_FAIL_RENAME=1"}).code, 2);
    EXPECT_EQ(SetText(), point.starts_with("staged") ? Old() : New());
    EXPECT_EQ(Hidden(), std::vector<std::string>());
  }
}

// A run killed while it puts the old files back after a failed rename: the
// next run puts back the rest.
TEST_F(FaultTest, KilledUndoIsFinishedByTheNext) {
  OldSetNewScript();
  Ended killed =
      Run({VIGILC_PATH, "s.txt"}, {"VIGIL_TEST_FAIL_RENAME=3", "VIGIL_TEST_SIGNAL=undoing:9"});
  EXPECT_EQ(killed.code, SIGKILL);
  EXPECT_NE(SetText(), Old());  // two files new, two old
  EXPECT_NE(SetText(), New());
  EXPECT_EQ(Run({VIGILC_PATH, "s.txt"}, {"VIGIL_TEST_FAIL_RENAME=1"}).code, 2);
  EXPECT_EQ(SetText(), Old());
  EXPECT_EQ(Hidden(), std::vector<std::string>());
}

// Two runs at once on one set ("s.txt" and "s.TXT" both write s.BIN ...):
// the lock lets one commit at a time, so the set is one run's, whole. Each
// run pauses amid its renames, as one replacing large files would, so that
// runs without the lock would mix their sets.
TEST_F(FaultTest, ConcurrentPairsLeaveOneWholeSet) {
  constexpr int kPairs = kSanitized ? 50 : 200;
  constexpr int kAtOnce = 10;  // pairs started together
  dir_.Write("s.txt", kOld);
  dir_.Write("s.TXT", kNew);
  for (int wave = 0; wave < kPairs / kAtOnce; ++wave) {
    std::vector<pid_t> runs;
    for (int i = 0; i < 2 * kAtOnce; ++i) {
      runs.push_back(Start(dir_.path(), {VIGILC_PATH, i % 2 == 0 ? "s.txt" : "s.TXT"},
                           {"VIGIL_TEST_PAUSE=renamed2:2"}, logs_ / ("err" + std::to_string(i))));
    }
    for (size_t i = 0; i < runs.size(); ++i) {
      Ended run = Finish(runs[i], logs_ / ("err" + std::to_string(i)));
      EXPECT_EQ(run.code, i % 2 == 0 ? 0 : 1) << run.err;
    }
    std::string set = SetText();
    EXPECT_TRUE(set == Old() || set == New()) << "wave " << wave;
    EXPECT_EQ(Hidden(), std::vector<std::string>()) << "wave " << wave;
  }
}

// A run that finds the lock held waits, then says who holds it and changes
// nothing; once the lock is free it runs.
TEST_F(FaultTest, SecondRunWaitsThenNamesTheHolder) {
  OldSetNewScript();
  int lock = ::open((dir_ / ".s.vigil-lock").c_str(), O_RDWR | O_CREAT, 0644);
  ASSERT_GE(lock, 0);
  struct flock whole {};
  whole.l_type = F_WRLCK;
  whole.l_whence = SEEK_SET;
  ASSERT_EQ(::fcntl(lock, F_OFD_SETLK, &whole), 0);
  std::string pid = std::to_string(::getpid()) + "\n";
  ASSERT_EQ(::write(lock, pid.data(), pid.size()), static_cast<ssize_t>(pid.size()));
  Ended run = Run({VIGILC_PATH, "s.txt"}, {"VIGIL_TEST_LOCK_WAIT_MS=1000"});
  EXPECT_EQ(run.code, 2);
  EXPECT_EQ(run.err, "vigilc: cannot lock '.s.vigil-lock': another run (process " +
                         std::to_string(::getpid()) +
                         ") is writing these files; gave up after 1 s\n");
  EXPECT_EQ(SetText(), Old());
  ::close(lock);
  EXPECT_EQ(Run({VIGILC_PATH, "s.txt"}).code, 1);
  EXPECT_EQ(SetText(), New());
  EXPECT_EQ(Hidden(), std::vector<std::string>());
}

// The hidden files of a process that no longer runs go; a running one's stay.
TEST_F(FaultTest, DeadRunsTemporariesGo) {
  pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
  std::string dead = ".vigilc-" + std::to_string(gone);
  std::string live = ".vigilc-" + std::to_string(::getpid()) + "-0-0";
  for (const std::string& name : {dead + "-0-0", dead + "-1-old", live}) dir_.Write(name, "x");
  dir_.Write("s.txt", kOld);
  EXPECT_EQ(Run({VIGILC_PATH, "s.txt"}).code, 0);
  EXPECT_EQ(Hidden(), std::vector<std::string>{live});
}

// Out of memory anywhere: one line, exit 2, no file created or changed.
TEST_F(FaultTest, OutOfMemoryIsOneLine) {
  OldSetNewScript();
  dir_.Write("s.scenarios", "");
  struct Case {
    std::vector<std::string> args;
    std::string program;
    std::string point;
  };
  const std::vector<Case> cases = {
      {{VIGILC_PATH, "s.txt"}, "vigilc", "read"},
      {{VIGILC_PATH, "s.txt"}, "vigilc", "staged3"},
      {{VIGILC_PATH, "s.txt"}, "vigilc", "commit"},
      {{VIGILC_PATH, "s.txt"}, "vigilc", "renamed2"},
      {{VIGIL_PATH, "build", "s.txt"}, "vigil build", "renamed3"},
      {{VIGIL_PATH, "check", "s.txt"}, "vigil check", "read"},
      {{VIGIL_PATH, "dis", "s.BIN"}, "vigil dis", "read"},
      {{VIGIL_PATH, "dis", "--script", "s.txt"}, "vigil dis", "read"},
      {{VIGIL_PATH, "fix", "s.txt"}, "vigil fix", "read"},
      {{VIGIL_PATH, "sim", "s.txt", "PANEL.INIT"}, "vigil sim", "read"},
      {{VIGIL_PATH, "test", "s.txt", "s.scenarios"}, "vigil test", "read"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.program + " at " + c.point);
    Ended run = Run(c.args, {"VIGIL_TEST_OUT_OF_MEMORY=" + c.point});
    EXPECT_EQ(run.code, 2);
    EXPECT_FALSE(run.signaled);
    EXPECT_EQ(run.err, c.program + ": out of memory\n");
    EXPECT_EQ(SetText(), Old());
    EXPECT_EQ(dir_.Read("s.txt"), kNew);
    EXPECT_EQ(Hidden(), std::vector<std::string>());
  }
}

// vigil fix keeps the script's mode, owner and group (the backup's too),
// fixes the file a link leads to and refuses a file of several names.
TEST_F(FaultTest, FixKeepsWhatTheScriptIs) {
  const std::string loose = "MODULE = PANEL,0\nEVENT PANEL.INIT\n";
  const std::string fixed = "MODULE = PANEL,0\r\nEVENT PANEL.INIT\r\n";
  fs::create_directory(dir_ / "real");
  dir_.Write("real/s.txt", loose);
  ::chmod((dir_ / "real/s.txt").c_str(), 0640);
  bool root = ::geteuid() == 0;
  uid_t owner = root ? 65534 : ::geteuid();
  gid_t group = root ? 65534 : ::getegid();
  if (root) {
    ASSERT_EQ(::chown((dir_ / "real/s.txt").c_str(), owner, group), 0);
  }
  fs::create_symlink("real/s.txt", dir_ / "link.txt");
  EXPECT_EQ(Run({VIGIL_PATH, "fix", "link.txt"}).code, 0);
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.txt"));
  EXPECT_EQ(dir_.Read("real/s.txt"), fixed);
  EXPECT_EQ(dir_.Read("link.txt.bak"), loose);
  for (const char* name : {"real/s.txt", "link.txt.bak"}) {
    struct stat info {};
    ASSERT_EQ(::stat((dir_ / name).c_str(), &info), 0) << name;
    EXPECT_EQ(info.st_mode & 07777, 0640u) << name;
    EXPECT_EQ(info.st_uid, owner) << name;
    EXPECT_EQ(info.st_gid, group) << name;
  }
  EXPECT_EQ(Hidden(), std::vector<std::string>());

  dir_.Write("h.txt", loose);
  fs::create_hard_link(dir_ / "h.txt", dir_ / "h2.txt");
  Ended refused = Run({VIGIL_PATH, "fix", "h.txt"});
  EXPECT_EQ(refused.code, 2);
  EXPECT_EQ(refused.err,
            "vigil fix: refusing to rewrite 'h.txt': it has 2 names (hard links), which would no "
            "longer share it; fix a copy\n");
  EXPECT_EQ(dir_.Read("h2.txt"), loose);
  EXPECT_FALSE(fs::exists(dir_ / "h.txt.bak"));
}

}  // namespace
