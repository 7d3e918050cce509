// The compiler object as a whole: line splitting, the line count, the
// trailer, the size limit and the error records.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "compiler/compiler.h"
#include "support/script.h"

namespace vigil {
namespace {

using testing::CompileScript;
using testing::ErrorNumbers;

// Compiles `source` as it stands: no line-end conversion.
std::unique_ptr<C_Compiler> CompileRaw(const std::string& source) {
  auto compiler = std::make_unique<C_Compiler>();
  compiler->set_source(source);
  compiler->Compile();
  return compiler;
}

std::vector<std::string> ErrorTexts(const C_Compiler& compiler) {
  std::vector<std::string> texts;
  for (const Diagnostic& diagnostic : compiler.diagnostics()) {
    texts.push_back(diagnostic.legacy_text);
  }
  return texts;
}

TEST(CompileTest, EmptyScriptGivesOneLineAndTheTrailerOnly) {
  std::unique_ptr<C_Compiler> compiler = CompileRaw("");
  EXPECT_EQ(compiler->CountLines(), 1);
  EXPECT_EQ(compiler->CountErrors(), 0);
  EXPECT_EQ(compiler->CountWarnings(), 0);
  EXPECT_EQ(compiler->macros(), (std::vector<uint8_t>{255, 255, 255}));
  EXPECT_EQ(compiler->MacroLen(), 3);
  EXPECT_TRUE(compiler->diagnostics().empty());
}

TEST(CompileTest, CountsEveryLineButModuleDeviceAndPartitionLines) {
  struct Case {
    const char* lines;  // "\n" becomes CR LF
    int count;
  };
  for (const Case& c : {
           Case{"; a\n; b\n", 3},  // N lines and a line break: N + 1
           Case{"; a", 1}, Case{"DEFINE REGISTER R\n\n   ; c\n", 4},
           Case{"MODULE P = P,0\nDEVICE = P.INPUT1,1\nPARTITION A = A,101,0,100\n", 1},
           Case{"  MODULE P = P,0\n", 1},  // trimmed before the first word is read
       }) {
    std::unique_ptr<C_Compiler> compiler = CompileScript(c.lines);
    EXPECT_EQ(compiler->CountLines(), c.count) << c.lines;
    EXPECT_EQ(compiler->CountErrors(), 0) << c.lines;
  }
}

TEST(CompileTest, ErrorLinesShowTheCountedLineAndTheFileLine) {
  std::unique_ptr<C_Compiler> compiler =
      CompileScript("MODULE A = A,0\nMODULE B = B,1,0,2,5,30,10\nFOO\n");
  ASSERT_EQ(ErrorNumbers(*compiler), std::vector<int>{6});
  const Diagnostic& error = compiler->diagnostics()[0];
  EXPECT_EQ(error.counted_line, 1);
  EXPECT_EQ(error.physical_line, 3);
  EXPECT_EQ(LegacyErrorLine(error), "0000100001FOO%Unknown command");
  EXPECT_EQ(compiler->CountLines(), 2);
}

TEST(CompileTest, ThirdCountedLineWithAnUnknownCommand) {
  std::unique_ptr<C_Compiler> compiler = CompileScript("; one\n\n  FOO BAR\n");
  ASSERT_EQ(compiler->CountErrors(), 1);
  EXPECT_EQ(LegacyErrorLine(compiler->diagnostics()[0]), "0000100003  FOO BAR%Unknown command");
}

TEST(CompileTest, DeclarationErrorsCarryCountZeroAndNoText) {
  std::unique_ptr<C_Compiler> compiler = CompileScript("; c\nDEFINE PARAMETER X\n");
  ASSERT_EQ(ErrorNumbers(*compiler), std::vector<int>{10});
  EXPECT_EQ(LegacyErrorLine(compiler->diagnostics()[0]),
            "0000100000%Unknown user-defined parameter");
  EXPECT_EQ(compiler->diagnostics()[0].physical_line, 2);
}

// Every non-empty line below is an unknown word outside an event block, so
// each reports error 6 with the line's text as the compiler split it.
TEST(CompileTest, LinesEndAtCrLfOrALoneCrButNotAtALoneLf) {
  struct Case {
    std::string source;
    int count;
    std::vector<std::string> texts;
  };
  for (const Case& c : std::vector<Case>{
           {"A\r\nB", 2, {"A", "B"}},
           {"A\rB", 2, {"A", "B"}},
           {"A\nB", 1, {"A\nB"}},
           {"A\r\n", 2, {"A"}},
           {"A\r\r\nB", 3, {"A", "B"}},
           {"A\n\r\nB\n", 2, {"A\n", "B\n"}},
           {"\n", 1, {"\n"}},
           {"\t", 1, {"\t"}},
       }) {
    std::unique_ptr<C_Compiler> compiler = CompileRaw(c.source);
    EXPECT_EQ(compiler->CountLines(), c.count) << c.source;
    EXPECT_EQ(ErrorTexts(*compiler), c.texts) << c.source;
  }
}

TEST(CompileTest, LoneLineFeedsCountAsFileLinesForTheDisplay) {
  std::unique_ptr<C_Compiler> compiler = CompileRaw("A\nB\r\nC");
  ASSERT_EQ(compiler->diagnostics().size(), 2u);
  EXPECT_EQ(compiler->diagnostics()[0].physical_line, 1);
  EXPECT_EQ(compiler->diagnostics()[1].physical_line, 3);
  EXPECT_EQ(compiler->diagnostics()[1].counted_line, 2);
}

TEST(CompileTest, NulAndHighBytesAreOrdinaryCharacters) {
  std::string nul("\0", 1);
  std::unique_ptr<C_Compiler> compiler = CompileRaw(nul + "\r\n; \xE9\xFF" + nul + "\r\n\xE9t\xE9");
  EXPECT_EQ(compiler->CountLines(), 3);
  EXPECT_EQ(ErrorTexts(*compiler), (std::vector<std::string>{nul, "\xE9t\xE9"}));

  std::string every_byte;
  for (int b = 0; b < 256; ++b) every_byte += static_cast<char>(b);
  compiler = CompileRaw(every_byte);
  // CR at byte 13 cuts the line in two; both halves are unknown words.
  EXPECT_EQ(compiler->CountLines(), 2);
  EXPECT_EQ(ErrorNumbers(*compiler), (std::vector<int>{6, 6}));
}

// An event of the controller: header FF 00 32 (3 bytes), `relays` times
// "RELAY1 = ON" (33 00 01, 3 bytes each), `delays` times "DELAY(5)" (30 05,
// 2 bytes each), and the trailer FF FF FF (3 bytes).
std::string SizedScript(int relays, int delays) {
  std::string script = "MODULE PANEL = PANEL,0\nEVENT PANEL.INIT\n";
  for (int i = 0; i < relays; ++i) script += "RELAY1 = ON\n";
  for (int i = 0; i < delays; ++i) script += "DELAY(5)\n";
  script += "EVENTEND\n";
  return script;
}

TEST(CompileTest, ElevenThousandNineHundredNinetyNineBytesAreAccepted) {
  // 3 + 3997 * 3 + 2 + 3 = 11999.
  std::unique_ptr<C_Compiler> compiler = CompileScript(SizedScript(3997, 1));
  EXPECT_EQ(compiler->MacroLen(), 11999);
  EXPECT_EQ(compiler->CountErrors(), 0);
}

TEST(CompileTest, TwelveThousandBytesReportErrorThirtyOneAndKeepTheCode) {
  // 3 + 3998 * 3 + 3 = 12000.
  std::unique_ptr<C_Compiler> compiler = CompileScript(SizedScript(3998, 0));
  ASSERT_EQ(compiler->MacroLen(), 12000);
  ASSERT_EQ(ErrorNumbers(*compiler), std::vector<int>{31});
  // Counted lines: EVENT, 3998 statements, EVENTEND and the empty last line;
  // the text is that of the last line read, the empty one.
  EXPECT_EQ(LegacyErrorLine(compiler->diagnostics()[0]),
            "0000104001%Maximum script size exceeded (12kB).");
  const std::vector<uint8_t>& code = compiler->macros();
  EXPECT_EQ(std::vector<int>(code.end() - 6, code.end()),
            (std::vector<int>{33, 0, 1, 255, 255, 255}));
}

}  // namespace
}  // namespace vigil
