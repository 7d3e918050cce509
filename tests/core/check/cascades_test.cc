#include "core/check/cascades.h"

#include <gtest/gtest.h>

#include <string>

#include "core/compile/compilation.h"
#include "support/script.h"

namespace vigil {
namespace {

// "E<n>@<line>" of each error kept, with "+<caused>" when others follow
// from it.
std::string Folded(std::string_view script) {
  Compilation compilation = testing::CompileValue(script);
  Cascade cascade = FindCascade(compilation);
  std::string text;
  for (size_t i = 0; i < compilation.errors.size(); ++i) {
    Diagnostic d = compilation.ErrorAt(i);
    if (cascade.Follows(i, d)) continue;
    text += "E" + std::to_string(d.number) + "@" + std::to_string(d.physical_line);
    if (i == cascade.cause && cascade.caused > 0) text += "+" + std::to_string(cascade.caused);
    text += " ";
  }
  return text;
}

constexpr std::string_view kSite =
    "MODULE = PANEL,0\nMODULE = FRONT,1,0,2,5,30,10\nDEFINE REGISTER R\n";

TEST(Cascades, StructuralErrorsFoldIntoTheFirst) {
  struct Case {
    std::string body;
    std::string folded;
  };
  for (const Case& c : {
           // A misspelt module on the EVENT line: the block's statements stand
           // outside any event, its EVENTEND closes nothing, and the block
           // count stays one short for the next event.
           Case{"EVENT FRNT.VALID\n  DOOR()\n  R = 4\nEVENTEND\nEVENT FRONT.INVALID\n  DOOR()\n"
                "EVENTEND\n",
                "E6@4+6 "},
           // A missing ENDIF: every later EVENT and EVENTEND reports.
           Case{"EVENT FRONT.VALID\n  IF R = 3\nEVENTEND\nEVENT FRONT.INVALID\nEVENTEND\n"
                "EVENT PANEL.INIT\nEVENTEND\n",
                "E18@6+4 "},
           // A misspelt word in a sound block follows from nothing, and
           // causes nothing.
           Case{"EVENT FRONT.VALID\n  DOR()\n  R = 300\nEVENTEND\n", "E6@5 E11@6 "},
       }) {
    EXPECT_EQ(Folded(std::string(kSite) + c.body), c.folded) << c.body;
  }
}

}  // namespace
}  // namespace vigil
