// The compiler object as a whole: line splitting, the line count, the
// trailer, the size limit and the error records.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/script.h"

namespace vigil {
namespace {

// Lines end at CR LF or a lone CR; a lone LF stays in its line but counts as
// a file line. Every line is counted but MODULE, DEVICE and PARTITION lines,
// even indented ones: N lines and a line break count N + 1. A line that is
// an unknown word outside an event block reports error 6 with its text as
// split, its file line and its counted line. NUL and bytes above 127 are
// ordinary characters.
TEST(CompileTest, SplitsAndCountsLines) {
  struct Case {
    std::string source;
    int count;
    std::string errors;  // text@file line/counted line; ...
  };
  for (const Case& c :
       {Case{"", 1, ""}, Case{"; a\r\n; b\r\n", 3, ""}, Case{"; a", 1, ""},
        Case{"DEFINE REGISTER R\r\n\r\n   ; c\r\n", 4, ""},
        Case{"MODULE P = P,0\r\nDEVICE = P.INPUT1,1\r\nPARTITION A = A,101,0,100\r\n", 1, ""},
        Case{"  MODULE P = P,0\r\n", 1, ""},
        Case{"MODULE A = A,0\r\nMODULE B = B,1,0,2,5,30,10\r\n; one\r\n\r\n  FOO BAR\r\n", 4,
             "  FOO BAR@5/3;"},
        // Line ends.
        Case{"A\r\nB", 2, "A@1/1;B@2/2;"}, Case{"A\rB", 2, "A@1/1;B@2/2;"},
        Case{"A\nB", 1, "A\nB@1/1;"}, Case{"A\r\n", 2, "A@1/1;"},
        Case{"A\r\r\nB", 3, "A@1/1;B@3/3;"}, Case{"A\n\r\nB\n", 2, "A\n@1/1;B\n@3/2;"},
        Case{"A\nB\r\nC", 2, "A\nB@1/1;C@3/2;"}, Case{"\n", 1, "\n@1/1;"}, Case{"\t", 1, "\t@1/1;"},
        Case{std::string("\0\r\n; \xE9\xFF\0\r\n\xE9t\xE9", 13), 3,
             std::string("\0@1/1;\xE9t\xE9@3/3;", 14)}}) {
    Compilation compilation = Compile(c.source);
    EXPECT_EQ(compilation.counted_lines, c.count) << c.source;
    std::string errors;
    for (const Diagnostic& d : compilation.Diagnostics()) {
      errors += std::string(d.error_file_text) + "@" + std::to_string(d.physical_line) + "/" +
                std::to_string(d.counted_line) + ";";
    }
    EXPECT_EQ(errors, c.errors) << c.source;
  }
  EXPECT_EQ(Compile("").code, (std::vector<uint8_t>{255, 255, 255}));
  std::string every_byte;
  for (int b = 0; b < 256; ++b) every_byte += static_cast<char>(b);
  // CR at byte 13 cuts the line in two; both halves are unknown words.
  Compilation compilation = Compile(every_byte);
  EXPECT_EQ(compilation.counted_lines, 2);
  EXPECT_EQ(compilation.error_count, 2);
  for (const Diagnostic& d : compilation.Diagnostics()) EXPECT_EQ(d.number, 6);
}

// An event of the controller: header FF 00 32 (3 bytes), `relays` times
// "RELAY1 = ON" (33 00 01, 3 bytes each), `delays` times "DELAY(5)" (30 05,
// 2 bytes each), and the trailer FF FF FF (3 bytes).
std::string SizedScript(int relays, int delays) {
  std::string script = "MODULE PANEL = PANEL,0\nEVENT PANEL.INIT\n";
  for (int i = 0; i < relays; ++i) script += "RELAY1 = ON\n";
  for (int i = 0; i < delays; ++i) script += "DELAY(5)\n";
  return script + "EVENTEND\n";
}

TEST(CompileTest, ErrorThirtyOneAtTwelveThousandBytesNotAtElevenThousandNineHundredNinetyNine) {
  // 3 + 3997 * 3 + 2 + 3 = 11999.
  Compilation compilation = testing::CompileValue(SizedScript(3997, 1));
  EXPECT_EQ(compilation.code.size(), 11999u);
  EXPECT_EQ(compilation.error_count, 0);
  // 3 + 3998 * 3 + 3 = 12000.
  compilation = testing::CompileValue(SizedScript(3998, 0));
  ASSERT_EQ(compilation.code.size(), 12000u);
  ASSERT_EQ(compilation.error_count, 1);
  // Counted lines: EVENT, 3998 statements, EVENTEND and the empty last line;
  // the text is that of the last line read, the empty one. The code stays.
  EXPECT_EQ(ErrorFileLine(compilation.ErrorAt(0)),
            "0000104001%Maximum script size exceeded (12kB).");
  EXPECT_EQ(std::vector<int>(compilation.code.end() - 6, compilation.code.end()),
            (std::vector<int>{33, 0, 1, 255, 255, 255}));
}

}  // namespace
}  // namespace vigil
