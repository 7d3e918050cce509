// vigil test as a CI job meets it: where the JUnit report goes (through
// links, never onto pipes, "-" for standard output, rewritten when the run
// cannot happen), that it is valid against the JUnit schema CI servers
// read, and the warnings and errors of scenario files with their exit
// status.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/files.h"

namespace {

using vigil::testing::ProgramRun;

const std::string kExamples = std::string(VIGIL_SOURCE_DIR) + "/examples/";
const std::string kSchema = std::string(VIGIL_SOURCE_DIR) + "/tests/e2e/data/junit.xsd";
constexpr char kXmllint[] = "/usr/bin/xmllint";

class VigilTestTest : public ::testing::Test {
 protected:
  ProgramRun Test(std::vector<std::string> args) {
    args.insert(args.begin(), {"test", kExamples + "office.txt"});
    return dir_.Run(VIGIL_PATH, args);
  }
  // The report validates against the schema.
  void ExpectValid(const std::string& name) {
    if (::access(kXmllint, X_OK) != 0) GTEST_SKIP() << "needs xmllint (libxml2-utils)";
    ProgramRun check = dir_.Run(kXmllint, {"--noout", "--schema", kSchema, name});
    EXPECT_EQ(check.status, 0) << check.err;
  }
  vigil::testing::TempDir dir_{"vigil-test"};
};

const char kBroken[] = "SCENARIO a\r\nEXPECT NOSUCH = ON\r\n";
const char kFailing[] = "SCENARIO shut\r\nEVENT FRONT.VALID\r\nEXPECT DOOR(FRONT)\r\n";

TEST_F(VigilTestTest, ReportThroughALinkKeepsTheLink) {
  dir_.Write("real.xml", "old");
  std::filesystem::create_symlink("real.xml", dir_ / "link.xml");
  ProgramRun run = Test({kExamples + "office.scenarios", "--junit", "link.xml"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(std::filesystem::is_symlink(dir_ / "link.xml"));
  std::string xml = dir_.Read("real.xml");
  EXPECT_TRUE(xml.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<testsuites ")) << xml;
  // Every line ends in CR LF.
  EXPECT_EQ(std::ranges::count(xml, '\n'), std::ranges::count(xml, '\r'));
  ExpectValid("real.xml");
}

TEST_F(VigilTestTest, PipesAndDevicesAreRefused) {
  ASSERT_EQ(::mkfifo((dir_ / "pipe").c_str(), 0600), 0);
  struct Case {
    std::string name;
    std::string why;
  };
  const std::vector<Case> cases = {
      {"pipe", "it is a named pipe, not a file (- writes to standard output)"},
      {"/dev/null", "it is a device, not a file (- writes to standard output)"},
      {".", "it is a directory, not a file (- writes to standard output)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ProgramRun run = Test({kExamples + "office.scenarios", "--junit", c.name});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "vigil test: cannot write '" + c.name + "': " + c.why + "\n");
    EXPECT_EQ(run.out, "");  // refused before anything ran
  }
  struct stat info {};
  ASSERT_EQ(::stat((dir_ / "pipe").c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

TEST_F(VigilTestTest, DashWritesTheReportToStandardOutput) {
  ProgramRun run = Test({kExamples + "office.scenarios", "--junit", "-"});
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(run.out.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites "))
      << run.out;
  EXPECT_TRUE(run.err.ends_with("8 passed, 0 failed\n")) << run.err;
  dir_.Write("out.xml", run.out);
  ExpectValid("out.xml");
}

// A run that cannot happen rewrites the report: a reused workspace never
// shows the last green run.
TEST_F(VigilTestTest, ARunThatCannotHappenRewritesTheReport) {
  dir_.Write("broken.scenarios", kBroken);
  ASSERT_EQ(Test({kExamples + "office.scenarios", "--junit", "r.xml"}).status, 0);
  ProgramRun run = Test({"broken.scenarios", "--junit", "r.xml"});
  EXPECT_EQ(run.status, 2);
  std::string xml = dir_.Read("r.xml");
  EXPECT_NE(xml.find("errors=\"1\""), std::string::npos) << xml;
  EXPECT_NE(xml.find("<error message=\"the scenarios did not run\">broken.scenarios:2:8: error: "
                     "Unknown command: NOSUCH is neither a name the script declares nor a word "
                     "of the language [E6]"),
            std::string::npos)
      << xml;
  ExpectValid("r.xml");
  // So does a run whose arguments are wrong.
  EXPECT_EQ(dir_.Run(VIGIL_PATH, {"test", "--junit", "r.xml"}).status, 2);
  EXPECT_NE(dir_.Read("r.xml").find("give a script and at least one scenario file"),
            std::string::npos);
}

TEST_F(VigilTestTest, FailureReportHoldsTheNeighbourhoodAndTimes) {
  dir_.Write("f.scenarios", kFailing);
  ProgramRun run = Test({"f.scenarios", "--junit", "r.xml"});
  EXPECT_EQ(run.status, 1);
  std::string xml = dir_.Read("r.xml");
  EXPECT_NE(xml.find("<testcase classname=\"f_scenarios\" name=\"shut\" time=\""),
            std::string::npos)
      << xml;
  EXPECT_NE(xml.find("before line 3:\r\n"), std::string::npos) << xml;
  ExpectValid("r.xml");
}

struct ProblemCase {
  std::string scenarios;
  std::vector<std::string> options;
  int status;
  std::string err;  // the start of standard error
};

TEST_F(VigilTestTest, WarningsAndErrorsOfScenarioFiles) {
  const std::vector<ProblemCase> cases = {
      {"", {}, 0, "s.scenarios:1:1: warning: no SCENARIO line: the file tests nothing\n"},
      {"", {"--werror"}, 2, "s.scenarios:1:1: warning: no SCENARIO line: the file tests nothing\n"},
      {"SCENARIO a\r\nEVENT FRONT.VALID\r\n",
       {},
       0,
       "s.scenarios:1:10: warning: scenario 'a' has no EXPECT: it cannot fail\n"},
      {"SCENARIO a\r\nEVENT FRONT.VALID\r\nEXPECT NOT MARK(FORCED,OUTOFHOURS)\r\n",
       {},
       2,
       "s.scenarios:3:24: error: MARK takes 1 parameter, not 2: EXPECT [NOT] MARK(mark)\n"},
      {"SCENARIO a\r\nEVENT FRONT.VALID\r\nEXPECT \x1b[31m\r\n",
       {},
       2,
       "s.scenarios:3:8: error: Unknown command [E6]\n"
       "   3 | EXPECT \\x1b[31m\n"},
      {"SCENARIO a\r\nEVENT BACK.TAMPER\r\nEXPECT NOT PASSED\r\n",
       {},
       0,
       "s.scenarios:2:7: warning: the script has no block for BACK.TAMPER: firing it does "
       "nothing\n"},
  };
  for (const ProblemCase& c : cases) {
    SCOPED_TRACE(c.scenarios);
    dir_.Write("s.scenarios", c.scenarios);
    std::vector<std::string> args = {"s.scenarios"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    ProgramRun run = Test(args);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_TRUE(run.err.starts_with(c.err)) << run.err;
  }
}

TEST_F(VigilTestTest, OptionWithoutItsValue) {
  ProgramRun run = Test({kExamples + "office.scenarios", "--junit"});
  EXPECT_EQ(run.status, 2);
  EXPECT_TRUE(
      run.err.starts_with("vigil test: --junit needs a file name (- for standard output)\n"))
      << run.err;
}

TEST_F(VigilTestTest, QuietPrintsOnlyFailures) {
  dir_.Write("f.scenarios", std::string(kFailing) +
                                "SCENARIO open\r\nEVENT PANEL.INPUT1ON\r\n"
                                "EXPECT DOOR(FRONT)\r\n");
  ProgramRun run = Test({"f.scenarios", "--quiet"});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(run.out.starts_with("FAIL  shut\n")) << run.out;
  EXPECT_EQ(run.out.find("PASS"), std::string::npos);
  EXPECT_TRUE(run.out.ends_with("\n1 passed, 1 failed\n"));
}

// Colour on a terminal (a pseudo-terminal here), never with NO_COLOR or into
// a pipe.
TEST_F(VigilTestTest, ColourOnATerminalOnly) {
  dir_.Write("f.scenarios", kFailing);
  const std::string office = kExamples + "office.txt";
  auto on_terminal = [&](const std::string& no_colour) {
    return dir_.Run("/usr/bin/env", {"NO_COLOR=" + no_colour, "python3", "-c",
                                     "import pty, sys; pty.spawn(sys.argv[1:])", VIGIL_PATH, "test",
                                     office, "f.scenarios", kExamples + "office.scenarios"});
  };
  ProgramRun run = on_terminal("");
  EXPECT_NE(run.out.find("\x1b[31mFAIL\x1b[0m  shut"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\x1b[32mPASS\x1b[0m  "), std::string::npos);
  EXPECT_EQ(on_terminal("1").out.find('\x1b'), std::string::npos);
  EXPECT_EQ(Test({"f.scenarios"}).out.find('\x1b'), std::string::npos);
}

}  // namespace
