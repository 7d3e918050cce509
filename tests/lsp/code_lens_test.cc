#include "lsp/code_lens.h"

#include <gtest/gtest.h>

#include <string>

#include "lsp/document.h"

namespace vigil::lsp {
namespace {

// Two events; FRONT.VALID counts the visit whatever the state, so its result
// line is known: VISITS goes from 0 to 1.
constexpr std::string_view kScript =
    "MODULE = PANEL,0\n"
    "MODULE = FRONT,1,0,2,5,30,10\n"
    "DEFINE REGISTER VISITS\n"
    "EVENT FRONT.VALID\n"
    "  VISITS = VISITS + 1\n"
    "EVENTEND\n"
    "EVENT PANEL.INIT\n"
    "  VISITS = 0\n"
    "EVENTEND\n";

TEST(CodeLensTest, OneLensPerEventLineResolvedByRunningTheEvent) {
  Document document("file:///site.vgl", 1, std::string(kScript));
  Json lenses = CodeLenses(document);
  ASSERT_EQ(lenses.size(), 2u);
  EXPECT_EQ(lenses[0]["range"]["start"]["line"], 3);
  EXPECT_EQ(lenses[0]["data"]["event"], "FRONT.VALID");
  EXPECT_EQ(lenses[1]["range"]["start"]["line"], 6);
  EXPECT_FALSE(lenses[0].contains("command"));  // resolved on demand

  Json resolved = ResolveCodeLens(document, lenses[0]);
  EXPECT_EQ(resolved["command"]["command"], kSimulateCommand);
  EXPECT_EQ(resolved["command"]["title"], "simulated: VISITS 0 -> 1");
  EXPECT_EQ(resolved["command"]["arguments"], Json({"file:///site.vgl", "FRONT.VALID"}));

  std::string trace = SimulationText(document, "FRONT.VALID");
  EXPECT_EQ(trace.substr(0, 12), "FRONT.VALID\n");
  EXPECT_NE(trace.find("VISITS = VISITS + 1"), std::string::npos) << trace;
}

TEST(CodeLensTest, AScriptWithErrorsGetsNoLens) {
  Document document("file:///bad.vgl", 1,
                    "MODULE = PANEL,0\nEVENT PANEL.INIT\n  DOR()\nEVENTEND\n");
  EXPECT_TRUE(CodeLenses(document).empty());
  EXPECT_EQ(SimulationText(document, "PANEL.INIT"), "the script has errors: nothing runs\n");
}

}  // namespace
}  // namespace vigil::lsp
