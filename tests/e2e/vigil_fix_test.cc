// vigil fix run as a program: what it says, the script it writes, the backup
// it keeps, and a script that needs nothing.

#include <gtest/gtest.h>

#include <string>

#include "support/files.h"

namespace {

TEST(VigilFixTest, RewritesKeepsABackupAndLeavesACleanScriptAlone) {
  vigil::testing::TempDir dir("vigil-fix");
  const std::string before =
      "\xEF\xBB\xBFMODULE = PANEL,0\r\nEVENT PANEL.INIT\r\n\tDELAY(1)\nBREAK\r\nEVENTEND\r\n";
  dir.Write("site.txt", before);

  vigil::testing::ProgramRun run = dir.Run(VIGIL_PATH, {"fix", "site.txt"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "site.txt: removed the byte-order mark before line 1\n"
            "site.txt: ended line 3 in CR LF instead of LF alone\n"
            "site.txt: indented line 3 with blanks instead of tabs\n"
            "site.txt: the script as it was is in site.txt.bak\n");
  EXPECT_EQ(dir.Read("site.txt.bak"), before);
  EXPECT_EQ(dir.Read("site.txt"),
            "MODULE = PANEL,0\r\nEVENT PANEL.INIT\r\n  DELAY(1)\r\nBREAK\r\nEVENTEND\r\n");

  // The fixed script compiles cleanly, and a second fix finds nothing.
  EXPECT_EQ(dir.Run(VIGIL_PATH, {"check", "site.txt"}).status, 0);
  EXPECT_EQ(dir.Run(VIGIL_PATH, {"fix", "site.txt"}).out, "site.txt: nothing to fix\n");
  EXPECT_EQ(dir.Read("site.txt.bak"), before);
}

}  // namespace
