// Runs the built vigilc on scripts in a fresh temporary directory and checks
// the four output files byte for byte (the Date line against the download
// file's time) and the exit status. Scripts that cannot be read and outputs
// that cannot be written: hostile_test.cc.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/files.h"

namespace {

using vigil::testing::ProgramRun;
using vigil::testing::ReadFile;

class VigilcTest : public ::testing::Test {
 protected:
  ProgramRun Vigilc(const std::vector<std::string>& args) const {
    return dir_.Run(VIGILC_PATH, args);
  }

  // The listing must be `expected` up to its Date line (the whole of it, or an
  // expected file's up to its own), and the Date line must show the download
  // file's modification time.
  void ExpectListing(const std::string& stem, const std::string& expected) const {
    struct stat info {};
    ASSERT_EQ(stat((dir_ / (stem + "BIN")).c_str(), &info), 0);
    std::tm local{};
    localtime_r(&info.st_mtime, &local);
    char date[32];
    std::strftime(date, sizeof date, "Date = %Y-%m-%d %H:%M:%S\r\n", &local);
    EXPECT_EQ(dir_.Read(stem + "LST"), expected.substr(0, expected.find("Date = ")) + date);
  }

  vigil::testing::TempDir dir_{"vigil-e2e"};
};

const std::string kEmptySettingsTable =
    "[Parameters]\r\n\r\n[Marks]\r\n\r\n[Registers]\r\n\r\n[Timers]\r\n";

TEST_F(VigilcTest, EmptyScript) {
  dir_.Write("empty.txt", "");
  ProgramRun run = Vigilc({"empty.txt"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(dir_.Read("empty.BIN"),
            "18;7;0\r\n122;42;42;42;42;42;42;42;42\r\n9;0;0;255;255;255;\r\n18;8;0\r\n");
  ExpectListing("empty.",
                "vigilc = 1.0\r\nLines = 1\r\nWarnings = 0\r\nErrors = 0\r\n\r\nBytes = 3\r\n");
  EXPECT_EQ(dir_.Read("empty.ERR"), "");
  EXPECT_EQ(dir_.Read("empty.SET"), kEmptySettingsTable);
}

TEST_F(VigilcTest, ErrorsStillWriteEveryFileAndExitOne) {
  dir_.Write("site.txt",
             "MODULE PANEL = PANEL,0\r\nEVENT PANEL.INIT\r\n  RELAY1 = ON\r\n"
             "  FOO(1)\r\nEVENTEND\r\nBAR\r\n");
  ProgramRun run = Vigilc({"site.txt"});
  EXPECT_EQ(run.status, 1);
  // Counted lines: the MODULE line is not counted, the empty last line is.
  EXPECT_EQ(dir_.Read("site.ERR"),
            "0000100003  FOO(1)%Unknown command\r\n"
            "0000100005BAR%Unknown command\r\n");
  EXPECT_EQ(dir_.Read("site.BIN"),
            "18;7;0\r\n11;0;0;0;0;\r\n11;0;1;0;0;\r\n122;42;42;42;42;42;42;42;42\r\n"
            "9;0;0;255;0;50;33;0;1;255;255;255;\r\n18;8;0\r\n");
  ExpectListing("site.",
                "vigilc = 1.0\r\nLines = 6\r\nWarnings = 0\r\nErrors = 2\r\n\r\nBytes = 9\r\n");
  EXPECT_EQ(dir_.Read("site.SET"), kEmptySettingsTable);
  // stderr names the file line, not the counted line.
  EXPECT_EQ(run.err,
            "site.txt:4: error: Unknown command [E6]\n      FOO(1)\n"
            "site.txt:6: error: Unknown command [E6]\n    BAR\n");
}

class ExampleTest : public VigilcTest, public ::testing::WithParamInterface<const char*> {};

// And `vigil dis` reads the download file back without a problem, and
// `vigil test` passes the example's scenarios.
TEST_P(ExampleTest, CompilesToTheExpectedFiles) {
  const std::string name = GetParam();
  const std::string examples = std::string(VIGIL_SOURCE_DIR) + "/examples/";
  std::filesystem::copy_file(examples + name + ".txt", dir_ / (name + ".txt"));
  ProgramRun run = Vigilc({name + ".txt"});
  EXPECT_EQ(run.status, 0) << run.err;
  for (const char* extension : {"BIN", "ERR", "SET"}) {
    EXPECT_EQ(dir_.Read(name + "." + extension),
              ReadFile(examples + "expected/" + name + "." + extension))
        << name << "." << extension;
  }
  ExpectListing(name + ".", ReadFile(examples + "expected/" + name + ".LST"));
  ProgramRun dis = dir_.Run(VIGIL_PATH, {"dis", name + ".BIN"});
  EXPECT_EQ(dis.status, 0);
  EXPECT_EQ(dis.err, "");
  ProgramRun test = dir_.Run(VIGIL_PATH, {"test", name + ".txt", examples + name + ".scenarios"});
  EXPECT_EQ(test.status, 0) << test.out << test.err;
  EXPECT_TRUE(test.out.ends_with(" passed, 0 failed\n")) << test.out;
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleTest,
                         ::testing::Values("office", "alarm_site", "counters"));

TEST_F(VigilcTest, HelpVersionAndArguments) {
  ProgramRun help = Vigilc({"--help"});
  ProgramRun version = Vigilc({"--version"});
  EXPECT_EQ(std::pair(help.status, version.status), std::pair(0, 0));
  EXPECT_TRUE(help.out.starts_with("usage: vigilc SCRIPT\n")) << help.out;
  EXPECT_EQ(version.out, "vigilc 1.0\n");
  EXPECT_TRUE(dir_.Names().empty());
  // The arguments are joined by blanks and one pair of quotes is removed.
  dir_.Write("my site.txt", "");
  EXPECT_EQ(Vigilc({"\"my", "site.txt\""}).status, 0);
  EXPECT_EQ(dir_.Names(), (std::vector<std::string>{"my site.BIN", "my site.ERR", "my site.LST",
                                                    "my site.SET", "my site.txt"}));
}

TEST_F(VigilcTest, CannotRunExitsTwoAndWritesNothing) {
  dir_.Write("ab", "");
  // No script, one too short to name the outputs (though it exists), none.
  for (auto [args, err] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{}, "vigilc: no script given (usage: vigilc SCRIPT; vigilc --help)\n"},
           {{"ab"}, "vigilc: script path 'ab' is too short to name outputs\n"},
           {{"missing.txt"}, "vigilc: cannot read 'missing.txt': No such file or directory\n"}}) {
    ProgramRun run = Vigilc(args);
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_EQ(run.err, err);
    EXPECT_EQ(dir_.Names(), std::vector<std::string>{"ab"});
  }
}

}  // namespace
