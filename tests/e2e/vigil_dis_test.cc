// vigil dis run as a program: download files good and bad, the settings table
// beside them, and scripts compiled in memory.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace vigil {
namespace {

namespace fs = std::filesystem;

struct DisRun {
  int status = -1;
  std::string out;
  std::string err;
};

class VigilDisTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = ::testing::TempDir() + "vigil-dis-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  std::string Write(const std::string& name, const std::string& contents) {
    std::string path = dir_ + "/" + name;
    std::ofstream(path, std::ios::binary) << contents;
    return path;
  }

  static std::string Read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }

  DisRun Dis(const std::string& args) {
    std::string out = dir_ + "/stdout";
    std::string err = dir_ + "/stderr";
    std::string command =
        std::string("'") + VIGIL_PATH + "' dis " + args + " >'" + out + "' 2>'" + err + "'";
    int raw = std::system(command.c_str());
    DisRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = Read(out);
    run.err = Read(err);
    return run;
  }

  std::string dir_;
};

constexpr char kSet[] =
    "[Parameters]\r\nScript.ALARMDELAY=254,0,30\r\nFRONT.StrikeTime=3,4,5\r\n"
    "FRONT.AjarTime=3,5,30\r\nFRONT.CardTimeout=3,6,10\r\n\r\n[Marks]\r\n\r\n"
    "[Registers]\r\nCNT=0\r\n\r\n[Timers]\r\n";

// Module 3's VALID event: IF NOT FRONT.INPUT1 = ON, RELAY1 = ON, ENDIF.
constexpr char kGoodBin[] =
    "18;7;0\r\n"
    "11;254;0;30;0;\r\n"
    "11;3;1;2;0;\r\n11;3;4;5;0;\r\n11;3;5;30;0;\r\n11;3;6;10;0;\r\n11;3;7;1;0;\r\n"
    "11;3;0;3;0;\r\n"
    "122;82;49;42;42;42;42;42;42\r\n"
    "9;0;0;255;3;1;81;129;3;1;3;0;33;3;1;255;255;255;\r\n"
    "18;8;0\r\n";

TEST_F(VigilDisTest, HelpExitsZero) {
  DisRun run = Dis("--help");
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("usage: vigil dis SITE.BIN"), std::string::npos);
}

TEST_F(VigilDisTest, MissingFileCannotRun) {
  DisRun run = Dis("'" + dir_ + "/none.BIN'");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("cannot read"), std::string::npos);
}

TEST_F(VigilDisTest, PrintsSettingsAndCodeWithTheNamesOfTheSettingsTable) {
  std::string bin = Write("SITE.BIN", kGoodBin);
  Write("SITE.SET", kSet);
  DisRun run = Dis("'" + bin + "'");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  for (std::string line : {
           "  parameter 0 (ALARMDELAY) = 30\n",
           "  module 3 (door FRONT)\n"
           "    type 2, strike time 5, ajar time 30, card time-out 10, partition 1\n"
           "    saved events: CARDREADER, INPUT1\n",
           "  root (alarm panel)\n  `-- partition 1\n      `-- partition 2\n",
           "0000  FF 03 01           EVENT module 3 (door FRONT) VALID\n"
           "0003  51 81 03 01 03 00    IF NOT INPUT1 of module 3 (FRONT) = ON  else -> 000C\n"
           "0009  21 03 01               RELAY1 of module 3 (FRONT) = ON\n"
           "000C  FF FF FF           end of code (trailer)\n",
       }) {
    EXPECT_NE(run.out.find(line), std::string::npos) << line << "\nin:\n" << run.out;
  }
}

TEST_F(VigilDisTest, WithoutASettingsTableShowsIdsOnly) {
  DisRun run = Dis("'" + Write("SITE.BIN", kGoodBin) + "'");
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("EVENT module 3 (door) VALID"), std::string::npos) << run.out;
}

struct BadBin {
  std::string text;     // the file
  std::string message;  // one line of stderr, after the file's name
};

constexpr char kHead[] = "18;7;0\r\n11;254;0;30;0;\r\n";

class VigilDisBadFileTest : public VigilDisTest, public ::testing::WithParamInterface<BadBin> {};

// Each bad file names the record and field, exits 1 and still shows the rest.
TEST_P(VigilDisBadFileTest, NamesTheProblemAndShowsTheRest) {
  std::string bin = Write("SITE.BIN", GetParam().text);
  DisRun run = Dis("'" + bin + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(bin + GetParam().message + "\n"), std::string::npos) << run.err;
  EXPECT_NE(run.out.find("  parameter 0 = 30\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("end of code (trailer)"), std::string::npos) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VigilDisBadFileTest,
    ::testing::Values(
        BadBin{"11;254;0;30;0;\r\n9;0;0;255;3;1;255;255;255;\r\n18;8;0\r\n",
               ": record 1: the file does not start with the opening record 18;7;0"},
        BadBin{std::string(kHead) + "9;0;0;255;3;1;33;3;x;255;255;255;\r\n18;8;0\r\n",
               ": record 3, field 9: 'x' is not a number"},
        BadBin{std::string(kHead) + "9;0;0;255;3;1;33;3;1;255;255;255;\r\n",
               ": the closing record 18;8;0 is missing: the file may be cut short"},
        BadBin{std::string(kHead) + "9;0;0;255;3;1;33;3;1;255;255;255;",
               ": record 3: the file ends inside this record, without CR LF: it may be cut short"},
        BadBin{std::string(kHead) + "9;0;0;255;3;1;\r\n9;4;0;33;3;1;255;255;255;\r\n18;8;0\r\n",
               ": record 4, field 2: the code record's offset 4 does not follow the 3 bytes "
               "before it; its bytes are read as following them"},
        BadBin{std::string(kHead) + "9;0;0;255;3;1;33;3;256;255;255;255;\r\n18;8;0\r\n",
               ": record 3, field 9: value 256 is above 255"},
        BadBin{std::string(kHead) + "9;0;0;255;3;1;33;3;1;2;255;255;255;\r\n18;8;0\r\n",
               ": record 3, field 10 (code offset 0006): unknown opcode 02; decoding resumes at "
               "the next event header"},
        BadBin{std::string(kHead) + "9;0;0;255;3;1;81;13;0;0;1;0;33;3;1;255;255;255;\r\n18;8;0\r\n",
               ": record 3, field 7 (code offset 0003): the jump to 000A lands inside the "
               "instruction at 0009"},
        BadBin{std::string(kHead) + "9;0;0;255;3;1;81;13;0;0;9;0;33;3;1;255;255;255;\r\n18;8;0\r\n",
               ": record 3, field 7 (code offset 0003): the jump to 0012 lies past the end of "
               "the code (000F)"},
        BadBin{std::string(kHead) + "9;0;0;255;3;1;33;3;255;255;255;\r\n18;8;0\r\n",
               ": record 3, field 7 (code offset 0003): instruction 21 (OutputOn) needs 3 bytes, "
               "only 2 are left "
               "before the trailer"}));

TEST_F(VigilDisTest, ScriptListingShowsEachLineAboveItsCode) {
  std::string script = Write("site.txt",
                             "MODULE = FRONT,3,0,2,5,30,10,1\r\n"
                             "EVENT FRONT.VALID\r\n"
                             "  RELAY1 = ON\r\n"
                             "EVENTEND\r\n");
  DisRun run = Dis("--script '" + script + "'");
  EXPECT_EQ(run.status, 0) << run.err;
  std::string expected =
      "    2 | EVENT FRONT.VALID\n"
      "        0000  FF 03 01           EVENT module 3 (door FRONT) VALID\n"
      "    3 |   RELAY1 = ON\n"
      "        0003  21 03 01             RELAY1 of module 3 (FRONT) = ON\n"
      "    4 | EVENTEND\n"
      "        0006  FF FF FF           end of code (trailer)\n";
  EXPECT_NE(run.out.find(expected), std::string::npos) << run.out;
}

// The download files of the example scripts read back without a problem.
TEST_F(VigilDisTest, ExampleDownloadFilesReadCleanly) {
  fs::path expected = fs::path(VIGIL_SOURCE_DIR) / "examples" / "expected";
  if (!fs::is_directory(expected)) GTEST_SKIP() << "no examples";
  for (const fs::directory_entry& entry : fs::directory_iterator(expected)) {
    if (entry.path().extension() != ".BIN") continue;
    DisRun run = Dis("'" + entry.path().string() + "'");
    EXPECT_EQ(run.status, 0) << entry.path();
    EXPECT_EQ(run.err, "") << entry.path();
    EXPECT_NE(run.out.find("names from "), std::string::npos) << entry.path();
    EXPECT_NE(run.out.find("end of code (trailer)"), std::string::npos) << entry.path();
  }
}

TEST_F(VigilDisTest, ScriptWithErrorsExitsOne) {
  std::string script = Write("site.txt", "EVENT X.VALID\r\n  FOO(1)\r\nEVENTEND\r\n");
  DisRun run = Dis("--script '" + script + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Unknown command [E6]"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace vigil
