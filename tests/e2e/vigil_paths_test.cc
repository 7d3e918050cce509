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
