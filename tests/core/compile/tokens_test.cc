// The token record and the blocks: what each word of a script was to the
// compiler, hyphenated module names whole, and where each name is used.
#include <gtest/gtest.h>

#include <string>

#include "core/compile/compilation.h"
#include "support/script.h"

namespace vigil {
namespace {

using testing::CompileValue;

constexpr std::string_view kScript =
    "MODULE FRONT = FRONT,3,0,1,5,10,30\n"  // 1
    "MODULE MAIN-PANEL = MAIN-PANEL,100\n"  // 2
    "MODULE PANEL = PANEL,0\n"              // 3
    "PARTITION HALL = HALL,101,1,100\n"     // 4
    "DEFINE PARAMETER WAIT = 5\n"           // 5
    "DEFINE MARK DENIED = Access denied\n"  // 6
    "DEFINE REGISTER VISITS\n"              // 7
    "DEFINE TIMER T1\n"                     // 8
    "DEVICE = MAIN-PANEL.EXINPUT1,1\n"      // 9
    "EVENT FRONT.VALID\n"                   // 10
    "  IF TIMEPLAN(2)\n"                    // 11
    "    DOOR(FRONT)\n"                     // 12
    "    VISITS = VISITS + 1\n"             // 13
    "  ELSE\n"                              // 14
    "    MARK(DENIED)\n"                    // 15
    "  ENDIF\n"                             // 16
    "  MAIN-PANEL.EXOUTPUT1 = ON\n"         // 17
    "  PANEL.RELAY1 = ON\n"                 // 18
    "  BEEP = ON\n"                         // 19
    "  DELAY(WAIT)\n"                       // 20
    "  T1 = 30\n"                           // 21
    "EVENTEND\n"                            // 22
    "; the end\n";                          // 23

// "kind:text@column" for each token of `line`; "*" marks a declaration (the
// name a MODULE or PARTITION line repeats before its "=" counts as one).
std::string Shown(const Compilation& compilation, int line) {
  std::string out;
  std::string_view text = compilation.Line(line)->text;
  for (const Token& token : compilation.TokensOnLines(line, line)) {
    if (!out.empty()) out += " ";
    out += std::string(TokenKindName(token.kind)) + (token.declares ? "*" : "") + ":" +
           std::string(text.substr(static_cast<size_t>(token.span.begin),
                                   static_cast<size_t>(token.span.end - token.span.begin))) +
           "@" + std::to_string(token.span.begin);
  }
  return out;
}

TEST(TokensTest, EveryWordTheCompilerTookWithItsKind) {
  Compilation compilation = CompileValue(kScript);
  ASSERT_EQ(compilation.error_count, 0);
  struct Case {
    int line;
    std::string_view tokens;
  } cases[] = {
      {1,
       "keyword:MODULE@0 module*:FRONT@7 module*:FRONT@15 number:3@21 number:0@23 number:1@25 "
       "number:5@27 "
       "number:10@29 number:30@32"},
      {2, "keyword:MODULE@0 module*:MAIN-PANEL@7 module*:MAIN-PANEL@20 number:100@31"},
      {4,
       "keyword:PARTITION@0 partition*:HALL@10 partition*:HALL@17 number:101@22 number:1@26 "
       "number:100@28"},
      {5, "keyword:DEFINE@0 keyword:PARAMETER@7 parameter*:WAIT@17 number:5@24"},
      {6, "keyword:DEFINE@0 keyword:MARK@7 mark*:DENIED@12 text:Access denied@21"},
      {7, "keyword:DEFINE@0 keyword:REGISTER@7 register*:VISITS@16"},
      {9, "keyword:DEVICE@0 module:MAIN-PANEL@9 number:1@29"},
      {10, "keyword:EVENT@0 module:FRONT@6 event:VALID@12"},
      {11, "keyword:IF@2 condition:TIMEPLAN@5 number:2@14"},
      {12, "command:DOOR@4 module:FRONT@9"},
      {13, "register:VISITS@4 register:VISITS@13 number:1@22"},
      {14, "keyword:ELSE@2"},
      {15, "command:MARK@4 mark:DENIED@9"},
      {17, "module:MAIN-PANEL@2 element:EXOUTPUT1@13 value:ON@25"},
      {18, "module:PANEL@2 element:RELAY1@8 value:ON@17"},
      {19, "element:BEEP@2 value:ON@9"},
      {20, "command:DELAY@2 parameter:WAIT@8"},
      {21, "timer:T1@2 number:30@7"},
      {22, "keyword:EVENTEND@0"},
      {23, "comment:; the end@0"},
  };
  for (const Case& c : cases) EXPECT_EQ(Shown(compilation, c.line), c.tokens) << "line " << c.line;
}

TEST(TokensTest, UsesOfANameAreItsOwnNotThoseOfALongerName) {
  Compilation compilation = CompileValue(kScript);
  auto lines_of = [&](std::string_view name) {
    std::string out;
    for (const SourceSite& use : compilation.FindSymbol(name)->uses) {
      out += std::to_string(use.line) + ":" + std::to_string(use.span.begin) + " ";
    }
    return out;
  };
  EXPECT_EQ(lines_of("PANEL"), "18:2 ");
  EXPECT_EQ(lines_of("MAIN-PANEL"), "9:9 17:2 ");
  EXPECT_EQ(lines_of("FRONT"), "10:6 12:9 ");
  EXPECT_EQ(lines_of("VISITS"), "13:4 13:13 ");
  EXPECT_EQ(compilation.SymbolAt(17, 6)->name, "MAIN-PANEL");
  EXPECT_EQ(compilation.SymbolAt(19, 3), nullptr);  // BEEP is the module's element
  EXPECT_EQ(compilation.TokenAt(19, 3)->kind, TokenKind::kElement);
}

TEST(TokensTest, BlocksNestWithTheirLines) {
  Compilation compilation = CompileValue(std::string(kScript) + "EVENT PANEL.INIT\nIF PRESENT\n");
  ASSERT_EQ(compilation.blocks.size(), 4u);
  const Block& event = compilation.blocks[0];
  const Block& if_block = compilation.blocks[1];
  EXPECT_EQ(event.kind, Block::Kind::kEvent);
  EXPECT_EQ(event.first_line, 10);
  EXPECT_EQ(event.last_line, 22);
  EXPECT_EQ(if_block.kind, Block::Kind::kIf);
  EXPECT_EQ(if_block.first_line, 11);
  EXPECT_EQ(if_block.else_line, 14);
  EXPECT_EQ(if_block.last_line, 16);
  EXPECT_EQ(if_block.parent, 0);
  // Blocks the script leaves open.
  EXPECT_EQ(compilation.blocks[2].first_line, 24);
  EXPECT_EQ(compilation.blocks[2].last_line, 0);
  EXPECT_EQ(compilation.blocks[3].parent, 2);
}

TEST(TokensTest, NotKeptWhenNotAskedFor) {
  Compilation compilation = Compile(testing::Crlf(kScript), {.record_tokens = false});
  EXPECT_TRUE(compilation.tokens.empty());
  EXPECT_TRUE(compilation.blocks.empty());
}

}  // namespace
}  // namespace vigil
