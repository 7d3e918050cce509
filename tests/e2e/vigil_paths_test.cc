// Runs the built `vigil paths` and `vigil diff` as a user does: a table as
// text, Markdown and JSON, an unknown event, and diff's exit status for an
// unchanged, a changed and a broken script.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/files.h"

namespace {

using vigil::testing::ProgramRun;

const std::string kExamples = std::string(VIGIL_SOURCE_DIR) + "/examples/";

class VigilPathsTest : public ::testing::Test {
 protected:
  ProgramRun Vigil(const std::vector<std::string>& args) { return dir_.Run(VIGIL_PATH, args); }
  vigil::testing::TempDir dir_{"vigil-paths"};
};

TEST_F(VigilPathsTest, TableAsTextMarkdownAndJson) {
  ProgramRun text = Vigil({"paths", kExamples + "office.txt", "back.valid"});
  EXPECT_EQ(text.status, 0) << text.err;
  EXPECT_EQ(text.out,
            "BACK.VALID                                3 paths\n"
            "  GROUP(2) and FRONT.FORCEDDOOR = ON       -> nothing\n"
            "  GROUP(2) and not FRONT.FORCEDDOOR = ON   -> DOOR()\n"
            "  not GROUP(2)                             -> nothing\n");
  ProgramRun markdown = Vigil({"paths", kExamples + "office.txt", "PANEL.INPUT1ON", "--markdown"});
  EXPECT_EQ(markdown.status, 0);
  EXPECT_NE(markdown.out.find("## PANEL.INPUT1ON\n\nLine 49, 1 path.\n\n"
                              "| When | The controller does |\n|---|---|\n"
                              "| always | DOOR(FRONT) |\n"),
            std::string::npos)
      << markdown.out;
  ProgramRun json = Vigil({"paths", kExamples + "office.txt", "PANEL.INPUT1ON", "--json"});
  EXPECT_EQ(json.status, 0);
  EXPECT_NE(json.out.find("{\"when\": \"always\", \"conditions\": [], \"does\": \"DOOR(FRONT)\""),
            std::string::npos)
      << json.out;
}

TEST_F(VigilPathsTest, AnEventWithoutBlockCannotRun) {
  ProgramRun run = Vigil({"paths", kExamples + "office.txt", "BACK.INVALID"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "vigil paths: the script has no block for event 'BACK.INVALID'\n");
}

TEST_F(VigilPathsTest, DiffExitsZeroOneOrTwo) {
  std::string office = vigil::testing::ReadFile(kExamples + "office.txt");
  dir_.Write("same.txt", office + "; a comment changes nothing\r\n");
  std::string changed = office;
  changed.replace(changed.find("IF GROUP(2)"), 11, "IF GROUP(3)");
  dir_.Write("changed.txt", changed);
  dir_.Write("broken.txt", "EVENT\r\n");
  ProgramRun same = Vigil({"diff", kExamples + "office.txt", "same.txt"});
  EXPECT_EQ(same.status, 0) << same.err;
  EXPECT_EQ(same.out, "no behaviour changed: every event does the same in every case\n");
  ProgramRun differs = Vigil({"diff", kExamples + "office.txt", "changed.txt"});
  EXPECT_EQ(differs.status, 1) << differs.err;
  EXPECT_TRUE(differs.out.starts_with("BACK.VALID: behaviour changed in 2 cases\n")) << differs.out;
  ProgramRun broken = Vigil({"diff", kExamples + "office.txt", "broken.txt"});
  EXPECT_EQ(broken.status, 2);
}

}  // namespace

namespace {

class VigilCoverageTest : public ::testing::Test {
 protected:
  vigil::testing::TempDir dir_{"vigil-coverage"};
};

// The office's scenarios run every IF both ways but never FRONT.INVALID
// (lines 29-31); its lcov file renders with genhtml.
TEST_F(VigilCoverageTest, ShippedScenariosSummaryAndLcovThatGenhtmlRenders) {
  dir_.Write("office.txt", vigil::testing::ReadFile(kExamples + "office.txt"));
  dir_.Write("office.scenarios", vigil::testing::ReadFile(kExamples + "office.scenarios"));
  ProgramRun run = dir_.Run(VIGIL_PATH, {"test", "office.txt", "office.scenarios", "--coverage",
                                         "--lcov", "office.info"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(
      run.out.ends_with("8 passed, 0 failed\n"
                        "coverage: 15 of 18 (83%) lines, 6 of 6 (100%) IF branches\n"
                        "  line 29 not run: BEEP = ON\n"
                        "  line 30 not run: DELAY(2)\n"
                        "  line 31 not run: BEEP = OFF\n"))
      << run.out;
  std::string lcov = dir_.Read("office.info");
  EXPECT_TRUE(lcov.starts_with("TN:\nSF:office.txt\nBRDA:18,0,0,1\nBRDA:18,0,1,1\n")) << lcov;
  EXPECT_TRUE(lcov.ends_with("LF:18\nLH:15\nend_of_record\n")) << lcov;
  ProgramRun html =
      dir_.Run("/usr/bin/genhtml", {"--branch-coverage", "-o", "html", "office.info"});
  EXPECT_EQ(html.status, 0) << html.err;
  EXPECT_NE(html.out.find("(15 of 18 lines)"), std::string::npos) << html.out;
  EXPECT_NE(html.out.find("(6 of 6 branches)"), std::string::npos) << html.out;
  EXPECT_NE(dir_.Read("html/index.html").find("83.3"), std::string::npos);
}

}  // namespace

namespace {

TEST(VigilPropertiesTest, RefutedPropertyExitsOneWithItsCounterexample) {
  vigil::testing::TempDir dir{"vigil-properties"};
  dir.Write("rules.scenarios",
            "NEVER MARK(FORCED) WHEN FRONT.VALID\r\n"
            "ALWAYS NOT DOOR(FRONT) WHEN NOT TIMEPLAN(1)\r\n");
  ProgramRun run = dir.Run(VIGIL_PATH, {"test", kExamples + "office.txt", "rules.scenarios"});
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_EQ(run.out,
            "0 passed, 0 failed\n"
            "PROVED   rules.scenarios:1: NEVER MARK(FORCED) WHEN FRONT.VALID\n"
            "REFUTED  rules.scenarios:2: ALWAYS NOT DOOR(FRONT) WHEN NOT TIMEPLAN(1)\n"
            "  counterexample:\n"
            "    SCENARIO counterexample to line 2\n"
            "    SET TIMEPLAN(1) = OFF\n"
            "    EVENT PANEL.INPUT1ON\n"
            "    EXPECT NOT DOOR(FRONT)\n"
            "1 proved, 1 refuted\n");
  dir.Write("counter.scenarios",
            "SCENARIO counterexample to line 2\r\nSET TIMEPLAN(1) = OFF\r\n"
            "EVENT PANEL.INPUT1ON\r\nEXPECT NOT DOOR(FRONT)\r\n");
  ProgramRun counter = dir.Run(VIGIL_PATH, {"test", kExamples + "office.txt", "counter.scenarios"});
  EXPECT_EQ(counter.status, 1);
  EXPECT_TRUE(counter.out.ends_with("0 passed, 1 failed\n")) << counter.out;
}

}  // namespace
