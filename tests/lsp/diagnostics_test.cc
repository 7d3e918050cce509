#include "lsp/diagnostics.h"

#include <gtest/gtest.h>

namespace vigil::lsp {
namespace {

constexpr const char* kHeader = "MODULE = CTRL,0\r\nMODULE = FRONT,1,0,2,5,30,10,1\r\n";

Json Diagnostics(const std::string& text) {
  return PublishDiagnosticsParams(Document("file:///a", 3, text))["diagnostics"];
}

TEST(DiagnosticsTest, AnErrorCarriesItsCodeRangeAndNotes) {
  // "RELAYX" is no element of FRONT: E6 on the word.
  Json diagnostics = Diagnostics(std::string(kHeader) +
                                 "EVENT FRONT.VALID\r\n  FRONT.RELAYX = ON\r\nEVENTEND\r\n");
  ASSERT_EQ(diagnostics.size(), 1u);
  const Json& error = diagnostics[0];
  EXPECT_EQ(error["code"], "E6");
  EXPECT_EQ(error["severity"], 1);
  EXPECT_EQ(error["message"], "Unknown command");
  EXPECT_EQ(error["codeDescription"]["href"], "vigil-explain:E6");
  EXPECT_EQ(error["range"]["start"], (Json{{"line", 3}, {"character", 2}}));
  EXPECT_EQ(error["range"]["end"], (Json{{"line", 3}, {"character", 14}}));
  ASSERT_FALSE(error["relatedInformation"].empty());
  EXPECT_EQ(error["relatedInformation"][0]["location"]["range"], error["range"]);
}

TEST(DiagnosticsTest, WarningsComeAfterTheErrors) {
  Json diagnostics = Diagnostics(std::string(kHeader) + "DEFINE REGISTER SPARE\r\n");
  ASSERT_EQ(diagnostics.size(), 1u);
  EXPECT_EQ(diagnostics[0]["code"], "W3");
  EXPECT_EQ(diagnostics[0]["severity"], 2);
  // The name SPARE: bytes 16 to 21 of line 2.
  EXPECT_EQ(diagnostics[0]["range"]["start"]["character"], 16);
  EXPECT_EQ(diagnostics[0]["range"]["end"]["character"], 21);
}

TEST(DiagnosticsTest, LoneLfAmongCrLfLinesIsWarnedAbout) {
  Json diagnostics = Diagnostics("; one\r\n; two\n; three\r\n");
  ASSERT_EQ(diagnostics.size(), 1u);
  EXPECT_EQ(diagnostics[0]["code"], kLineEndCode);
  EXPECT_EQ(diagnostics[0]["range"]["start"], (Json{{"line", 1}, {"character", 5}}));
  EXPECT_EQ(diagnostics[0]["range"]["end"], (Json{{"line", 2}, {"character", 0}}));
}

TEST(DiagnosticsTest, LfEverywhereIsNoLineEndProblem) {
  EXPECT_TRUE(Diagnostics("; one\n; two\n; three\n").empty());
}

TEST(DiagnosticsTest, CarriesTheDocumentVersion) {
  Json params = PublishDiagnosticsParams(Document("file:///a", 7, ""));
  EXPECT_EQ(params["uri"], "file:///a");
  EXPECT_EQ(params["version"], 7);
}

}  // namespace
}  // namespace vigil::lsp
