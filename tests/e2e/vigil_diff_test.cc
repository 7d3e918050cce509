// `vigil diff` and `vigil paths` as a user tries them on the examples: the
// diff as text, JSON and Markdown, and each way a run can go wrong, with
// its exit status (0 nothing changed, 1 changed, 2 could not run); an lcov
// file `vigil test` cannot write.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "support/files.h"

namespace {

using vigil::testing::ProgramRun;

const std::string kExamples = std::string(VIGIL_SOURCE_DIR) + "/examples/";

std::string Replaced(std::string text, std::string_view from, std::string_view to) {
  size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// office.txt with FRONT.VALID's time plan 1 changed to 2: the two cases
// where the plans disagree. Each scenario sets the two plans, expects what
// the new script does and that what only the old one did does not happen.
constexpr std::string_view kElse =
    "MARK(OUTOFHOURS) \\\"Card outside office hours\\\"; BEEP = ON; DELAY(WARNTIME) [3]; "
    "BEEP = OFF";

class VigilDiffTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string office = vigil::testing::ReadFile(kExamples + "office.txt");
    dir_.Write("old.txt", office);
    dir_.Write("new.txt", Replaced(office, "IF TIMEPLAN(1)", "IF TIMEPLAN(2)"));
  }
  ProgramRun Vigil(const std::vector<std::string>& args) { return dir_.Run(VIGIL_PATH, args); }
  vigil::testing::TempDir dir_{"vigil-diff"};
};

TEST_F(VigilDiffTest, ChangedConditionAsJson) {
  ProgramRun run = Vigil({"diff", "old.txt", "new.txt", "--json"});
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_EQ(run.out,
            "{\"before\": \"old.txt\", \"now\": \"new.txt\", \"changed\": true, \"events\": [\n"
            "  {\"event\": \"FRONT.VALID\", \"added\": false, \"removed\": false, \"cut\": false, "
            "\"cases\": [\n"
            "    {\"when\": \"TIMEPLAN(2) and not TIMEPLAN(1)\", \"before\": \"" +
                std::string(kElse) +
                "\", \"now\": \"DOOR()\", \"scenario\": \"SCENARIO FRONT.VALID when TIMEPLAN(2) "
                "and not TIMEPLAN(1)\\nSET TIMEPLAN(2) = ON\\nSET TIMEPLAN(1) = OFF\\n"
                "EVENT FRONT.VALID\\nEXPECT DOOR()\\nEXPECT NOT MARK(OUTOFHOURS)\\n\"},\n"
                "    {\"when\": \"not TIMEPLAN(2) and TIMEPLAN(1)\", \"before\": \"DOOR()\", "
                "\"now\": \"" +
                std::string(kElse) +
                "\", \"scenario\": \"SCENARIO FRONT.VALID when not TIMEPLAN(2) and TIMEPLAN(1)"
                "\\nSET TIMEPLAN(2) = OFF\\nSET TIMEPLAN(1) = ON\\nEVENT FRONT.VALID\\nWAIT 3\\n"
                "EXPECT MARK(OUTOFHOURS)\\nEXPECT NOT DOOR()\\n\"}]}]}\n");
}

TEST_F(VigilDiffTest, ChangedConditionAsMarkdown) {
  ProgramRun run = Vigil({"diff", "old.txt", "new.txt", "--markdown"});
  EXPECT_EQ(run.status, 1) << run.err;
  const std::string kElseText =
      "MARK(OUTOFHOURS) \"Card outside office hours\"; BEEP = ON; DELAY(WARNTIME) [3]; BEEP = OFF";
  EXPECT_EQ(run.out,
            "# Behaviour changed from old.txt to new.txt\n\n## FRONT.VALID\n\n"
            "Behaviour changed in 2 cases.\n\n| When | Before | Now |\n|---|---|---|\n"
            "| TIMEPLAN(2) and not TIMEPLAN(1) | " +
                kElseText +
                " | DOOR() |\n"
                "| not TIMEPLAN(2) and TIMEPLAN(1) | DOOR() | " +
                kElseText +
                " |\n\n"
                "When TIMEPLAN(2) and not TIMEPLAN(1):\n\n```\n"
                "SCENARIO FRONT.VALID when TIMEPLAN(2) and not TIMEPLAN(1)\n"
                "SET TIMEPLAN(2) = ON\nSET TIMEPLAN(1) = OFF\nEVENT FRONT.VALID\n"
                "EXPECT DOOR()\nEXPECT NOT MARK(OUTOFHOURS)\n```\n\n"
                "When not TIMEPLAN(2) and TIMEPLAN(1):\n\n```\n"
                "SCENARIO FRONT.VALID when not TIMEPLAN(2) and TIMEPLAN(1)\n"
                "SET TIMEPLAN(2) = OFF\nSET TIMEPLAN(1) = ON\nEVENT FRONT.VALID\n"
                "WAIT 3\nEXPECT MARK(OUTOFHOURS)\nEXPECT NOT DOOR()\n```\n");
}

// Runs as a user tries them: what each prints and its exit status.
struct UserRun {
  std::string_view name;
  std::vector<std::string> args;
  int status;
  std::string_view out;  // all of standard output
  std::string_view err;  // the start of standard error
};

void PrintTo(const UserRun& run, std::ostream* os) { *os << run.name; }

const std::string kNothing = "no behaviour changed: every event does the same in every case\n";

class VigilUserRunTest : public ::testing::TestWithParam<UserRun> {};

TEST_P(VigilUserRunTest, PrintsAndExits) {
  vigil::testing::TempDir dir{"vigil-user-run"};
  std::string office = vigil::testing::ReadFile(kExamples + "office.txt");
  dir.Write("office.txt", office);
  dir.Write("same.txt", office);
  dir.Write("office.scenarios", vigil::testing::ReadFile(kExamples + "office.scenarios"));
  // Re-indented, comments gone, keywords in lower case, a mark renamed.
  std::string renamed = Replaced(office, "  IF TIMEPLAN(1)\r\n", "if timeplan(1)\r\n");
  renamed =
      Replaced(Replaced(renamed, "; Office, ground floor", "; "), "MARK FORCED", "MARK BROKEN");
  dir.Write("renamed.txt", Replaced(renamed, "MARK(FORCED)", "MARK(BROKEN)"));
  dir.Write("broken.txt", Replaced(office, "DOOR(FRONT)", "DOOR(FRNT)"));
  dir.Write("no_events.txt", "MODULE PANEL = PANEL,0\r\n");
  dir.Write("init.txt",
            "MODULE PANEL = PANEL,0\r\nDEFINE MARK STARTED = Controller started\r\n"
            "EVENT PANEL.INIT\r\n  MARK(STARTED)\r\nEVENTEND\r\n");
  const UserRun& run = GetParam();
  ProgramRun result = dir.Run(VIGIL_PATH, run.args);
  EXPECT_EQ(result.status, run.status) << result.out << result.err;
  EXPECT_EQ(result.out, run.out);
  EXPECT_TRUE(result.err.starts_with(run.err)) << result.err;
}

INSTANTIATE_TEST_SUITE_P(
    Runs, VigilUserRunTest,
    ::testing::Values(
        UserRun{"DiffSameFile", {"diff", "office.txt", "office.txt"}, 0, kNothing, ""},
        UserRun{"DiffCopy",
                {"diff", "office.txt", "same.txt", "--json"},
                0,
                "{\"before\": \"office.txt\", \"now\": \"same.txt\", \"changed\": false, "
                "\"events\": []}\n",
                ""},
        UserRun{
            "DiffReformattedAndRenamed", {"diff", "office.txt", "renamed.txt"}, 0, kNothing, ""},
        UserRun{"DiffNothingAsMarkdown",
                {"diff", "office.txt", "same.txt", "--markdown"},
                0,
                "# Behaviour changed from office.txt to same.txt\n\nNo behaviour changed: every "
                "event does the same in every case.\n",
                ""},
        UserRun{"DiffScriptWithErrors", {"diff", "office.txt", "broken.txt"}, 2, "", "broken.txt:"},
        UserRun{"DiffEventAdded",
                {"diff", "no_events.txt", "init.txt"},
                1,
                "PANEL.INIT: added, behaviour changed in 1 case\n  in every case\n"
                "    before: nothing\n    now:    MARK(STARTED) \"Controller started\"\n"
                "    scenario:\n      SCENARIO PANEL.INIT when always\n      EVENT PANEL.INIT\n"
                "      EXPECT MARK(STARTED)\n",
                ""},
        UserRun{"DiffMissingFile",
                {"diff", "missing.txt", "office.txt"},
                2,
                "",
                "vigil diff: cannot read 'missing.txt'"},
        UserRun{"DiffOneScript",
                {"diff", "office.txt"},
                2,
                "",
                "vigil diff: give the old and the new script\nusage: vigil diff OLD NEW"},
        UserRun{"DiffUnknownOption",
                {"diff", "office.txt", "same.txt", "--html"},
                2,
                "",
                "vigil diff: unknown option '--html'\n"},
        UserRun{"PathsNoEvents",
                {"paths", "no_events.txt"},
                0,
                "the script has no event blocks: nothing runs\n",
                ""},
        UserRun{"PathsNoEventsAsMarkdown",
                {"paths", "no_events.txt", "--markdown"},
                0,
                "# Decision tables of no_events.txt\n\nThe script has no event blocks: nothing "
                "runs.\n",
                ""},
        UserRun{"PathsEventNamedTwice",
                {"paths", "office.txt", "panel.input1on", "PANEL.INPUT1ON"},
                0,
                "PANEL.INPUT1ON                            1 path\n  always   -> DOOR(FRONT)\n",
                ""},
        UserRun{"PathsEventMatchingNothing",
                {"paths", "office.txt", "FRONT.NOSUCH"},
                2,
                "",
                "vigil paths: the script has no block for event 'FRONT.NOSUCH'\n"},
        UserRun{"PathsScriptWithErrors", {"paths", "broken.txt", "--json"}, 2, "", "broken.txt:"},
        UserRun{"TestLcovInMissingFolder",
                {"test", "office.txt", "office.scenarios", "--quiet", "--lcov", "none/x.info"},
                2,
                "8 passed, 0 failed\n",
                "vigil test: cannot write 'none/x.info': No such file or directory\n"},
        UserRun{"PathsMissingFile",
                {"paths", "missing.txt"},
                2,
                "",
                "vigil paths: cannot read 'missing.txt'"}),
    [](const ::testing::TestParamInfo<UserRun>& run) { return std::string(run.param.name); });

}  // namespace
