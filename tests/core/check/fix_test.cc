#include "core/check/fix.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vigil {
namespace {

// The byte-order mark, a lone LF, a tab before a statement (the fixed script
// compiles cleanly) and a script with nothing to fix:
// tests/e2e/vigil_fix_test.cc.
TEST(FixScript, RewritesLineEndsMarkAndLeadingTabsAndSaysWhere) {
  struct Case {
    std::string script;
    std::string fixed;
    std::vector<std::string> changes;
  };
  for (const Case& c : {
           Case{"A\nB\rC\r\n",
                "A\r\nB\r\nC\r\n",
                {"ended line 1 in CR LF instead of LF alone",
                 "ended line 2 in CR LF instead of CR alone"}},
           // Tabs before the first word only; a tab inside a line stays.
           Case{"\t \tDOOR()\tX\r\n; a\r\n\t;b",
                "     DOOR()\tX\r\n; a\r\n  ;b",
                {"indented lines 1 and 3 with blanks instead of tabs"}},
           // Before EVENT a tab decides where the module declarations end.
           Case{"\tEVENT X.Y\r\n\tDELAY(1)\r\n",
                "\tEVENT X.Y\r\n  DELAY(1)\r\n",
                {"indented line 2 with blanks instead of tabs"}},
           Case{"1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n",
                "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n",
                {"ended lines 1, 2, 3, 4, 5, 6, 7, 8 and 2 more in CR LF instead of LF alone"}},
       }) {
    FixResult result = FixScript(c.script);
    EXPECT_EQ(result.text, c.fixed) << c.script;
    EXPECT_EQ(result.changes, c.changes) << c.script;
  }
}

}  // namespace
}  // namespace vigil
