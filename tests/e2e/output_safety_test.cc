// What vigilc and vigil build must not do to the user's files: leave
// temporary files behind when interrupted, or bury the terminal in errors the
// error file already holds. An output that is the script: hostile_test.cc.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/files.h"

namespace {

namespace fs = std::filesystem;
using vigil::testing::ProgramRun;

const std::string kScript = "MODULE = PANEL,0\r\nEVENT PANEL.INIT\r\nRELAY1 = ON\r\nEVENTEND\r\n";
const std::vector<std::string> kSuffixes = {"BIN", "LST", "ERR", "SET"};

class OutputSafetyTest : public ::testing::Test {
 protected:
  vigil::testing::TempDir dir_{"vigil-safety"};
};

// --- The errors on stderr ----------------------------------------------------

// `count` lines the compiler cannot read, each its own error (E6, unknown
// command), after a panel and an event that are fine.
std::string ScriptWithErrors(int count) {
  std::string script = "MODULE = PANEL,0\r\nEVENT PANEL.INIT\r\n";
  for (int i = 0; i < count; ++i) script += "BOGUS\r\n";
  return script + "EVENTEND\r\n";
}

// Outputs of an earlier run are replaced, and so is one that is a link to
// another file than the script: the file it shared stays as it was.
TEST_F(OutputSafetyTest, StderrShowsFiftyErrorsAndCountsTheRest) {
  struct Case {
    int errors;
    const char* more;  // the line after the fiftieth error; "" none
  };
  dir_.Write("other.txt", "other");
  fs::create_hard_link(dir_ / "other.txt", dir_ / "site.ERR");
  for (const Case& c : {Case{50, ""}, Case{51, "site.txt: 1 more error in site.ERR\n"},
                        Case{1234, "site.txt: 1184 more errors in site.ERR\n"}}) {
    dir_.Write("site.txt", ScriptWithErrors(c.errors));
    for (const auto& [program, args] :
         std::vector<std::pair<std::string, std::vector<std::string>>>{
             {VIGILC_PATH, {"site.txt"}}, {VIGIL_PATH, {"build", "site.txt"}}}) {
      ProgramRun run = dir_.Run(program, args);
      SCOPED_TRACE(program + " on " + std::to_string(c.errors) + " errors");
      EXPECT_EQ(run.status, 1);
      int shown = 0;
      for (size_t at = run.err.find(": error: "); at != std::string::npos;
           at = run.err.find(": error: ", at + 1)) {
        ++shown;
      }
      EXPECT_EQ(shown, std::min(c.errors, 50));
      // The first shown is the first error, on line 3; the last shown, line 52 at most.
      EXPECT_EQ(run.err.find("site.txt:3:"), 0u);
      EXPECT_EQ(run.err.find("site.txt:53:"), std::string::npos);
      std::string more(c.more);
      // Nothing says "more" unless the errors pass fifty, and then only the last line.
      EXPECT_EQ(run.err.find(" more error"),
                more.empty() ? std::string::npos
                             : run.err.size() - more.size() + more.find(" more error"));
      EXPECT_TRUE(run.err.ends_with("BOGUS\n" + more) || run.err.ends_with("^^^^^\n" + more));
      // The error file holds every error, one line each.
      EXPECT_EQ(std::ranges::count(dir_.Read("site.ERR"), '\n'), c.errors);
    }
  }
  EXPECT_EQ(dir_.Read("other.txt"), "other");
}

// --- Interrupted while writing -------------------------------------------------

// Starts vigilc on `script` in `dir`, its output to /dev/null, with SIGINT and
// SIGTERM at their default actions (as a terminal's shell starts it).
pid_t StartVigilc(const std::string& dir, const std::string& script) {
  pid_t child = ::fork();
  if (child == 0) {
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGTERM, SIG_DFL);
    if (::chdir(dir.c_str()) != 0) ::_exit(127);
    FILE* null = std::freopen("/dev/null", "w", stdout);
    null = std::freopen("/dev/null", "w", stderr);
    (void)null;
    ::execl(VIGILC_PATH, VIGILC_PATH, script.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  return child;
}

bool HasTemporary(const vigil::testing::TempDir& dir) {
  return std::ranges::any_of(dir.Names(),
                             [](const std::string& name) { return name.starts_with(".vigilc-"); });
}

class InterruptTest : public OutputSafetyTest, public ::testing::WithParamInterface<int> {};

// The first run writes good outputs; later runs on a script of many errors
// (whose error file takes a while to write) are sent the signal as soon as a
// temporary file appears. The interrupted run leaves no temporary file and
// the first run's outputs as they were, or, when the signal came as the
// outputs were being renamed into place, every output of the new run.
TEST_P(InterruptTest, RemovesTemporariesAndKeepsTheOldOutputs) {
  const int signal_number = GetParam();
  dir_.Write("site.txt", kScript);
  ASSERT_EQ(dir_.Run(VIGILC_PATH, {"site.txt"}).status, 0);
  std::map<std::string, std::string> old;
  for (const std::string& suffix : kSuffixes) old[suffix] = dir_.Read("site." + suffix);

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  int errors = 100000;
  bool caught = false;
  while (!caught && std::chrono::steady_clock::now() < deadline) {
    dir_.Write("site.txt", ScriptWithErrors(errors));
    pid_t child = StartVigilc(dir_.path(), "site.txt");
    ASSERT_GT(child, 0);
    int status = 0;
    while (!caught && ::waitpid(child, &status, WNOHANG) == 0) {
      caught = HasTemporary(dir_) && ::kill(child, signal_number) == 0;
    }
    if (caught) {
      ASSERT_EQ(::waitpid(child, &status, 0), child);
      ASSERT_TRUE(WIFSIGNALED(status)) << "exit status " << WEXITSTATUS(status);
      EXPECT_EQ(WTERMSIG(status), signal_number);
    } else {
      // It finished before a temporary file was seen: put back the old
      // outputs and try a larger script.
      ASSERT_TRUE(WIFEXITED(status));
      for (const std::string& suffix : kSuffixes) dir_.Write("site." + suffix, old[suffix]);
      errors *= 2;
    }
  }
  ASSERT_TRUE(caught) << "no run was caught while writing";
  EXPECT_FALSE(HasTemporary(dir_));
  std::string error_file = dir_.Read("site.ERR");
  if (error_file == old["ERR"]) {
    for (const std::string& suffix : kSuffixes) {
      EXPECT_EQ(dir_.Read("site." + suffix), old[suffix]) << suffix;
    }
  } else {
    EXPECT_EQ(std::count(error_file.begin(), error_file.end(), '\n'), errors);
    EXPECT_NE(dir_.Read("site.LST"), old["LST"]);
    EXPECT_NE(dir_.Read("site.BIN"), old["BIN"]);
  }
}

INSTANTIATE_TEST_SUITE_P(Signals, InterruptTest, ::testing::Values(SIGINT, SIGTERM),
                         [](const ::testing::TestParamInfo<int>& param) {
                           return param.param == SIGINT ? "Sigint" : "Sigterm";
                         });

}  // namespace
