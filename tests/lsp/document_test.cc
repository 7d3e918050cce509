#include "lsp/document.h"

#include <gtest/gtest.h>

#include <string>

namespace vigil::lsp {
namespace {

struct Utf16Case {
  std::string bytes;
  int units;
};

class Utf16LengthTest : public ::testing::TestWithParam<Utf16Case> {};

TEST_P(Utf16LengthTest, CountsCodeUnits) {
  EXPECT_EQ(Utf16Length(GetParam().bytes), GetParam().units);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, Utf16LengthTest,
    ::testing::Values(Utf16Case{"", 0}, Utf16Case{"RELAY1", 6}, Utf16Case{"\xC3\xA9", 1},  // é
                      Utf16Case{"\xE2\x82\xAC", 1},                                        // €
                      Utf16Case{"\xF0\x9D\x84\x9E", 2},  // U+1D11E, a surrogate pair
                      Utf16Case{"\xFF\xFE", 2},          // no UTF-8 at all
                      Utf16Case{"\xE2\x82", 2},          // a cut-short sequence
                      Utf16Case{"\xC0\x80", 2},          // an overlong form
                      Utf16Case{"\xED\xA0\x80", 3},      // an encoded surrogate
                      Utf16Case{"\xF4\x90\x80\x80", 4},  // past U+10FFFF
                      Utf16Case{"a\xE9z", 3}));          // Latin-1 é between letters

struct ColumnCase {
  std::string line;
  int units;
  size_t byte;
};

class ByteColumnTest : public ::testing::TestWithParam<ColumnCase> {};

TEST_P(ByteColumnTest, FindsTheByteOfAColumn) {
  EXPECT_EQ(ByteColumn(GetParam().line, GetParam().units), GetParam().byte);
}

INSTANTIATE_TEST_SUITE_P(
    Columns, ByteColumnTest,
    ::testing::Values(ColumnCase{"ABC", 0, 0}, ColumnCase{"ABC", 2, 2}, ColumnCase{"ABC", 9, 3},
                      ColumnCase{"\xC3\xA9X", 1, 2}, ColumnCase{"\xC3\xA9X", 2, 3},
                      // Column 1 falls between the halves of the pair: its start.
                      ColumnCase{"\xF0\x9D\x84\x9EX", 1, 0}, ColumnCase{"\xF0\x9D\x84\x9EX", 2, 4},
                      ColumnCase{"\xFF"
                                 "A",
                                 1, 1}));

TEST(SplitLinesTest, SplitsAtEveryKindOfLineEnd) {
  std::vector<EditorLine> lines = SplitLines("A\r\nBB\nC\rD");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].begin, 0u);
  EXPECT_EQ(lines[0].length, 1u);
  EXPECT_EQ(lines[0].end, LineEnd::kCrLf);
  EXPECT_EQ(lines[1].begin, 3u);
  EXPECT_EQ(lines[1].length, 2u);
  EXPECT_EQ(lines[1].end, LineEnd::kLf);
  EXPECT_EQ(lines[2].begin, 6u);
  EXPECT_EQ(lines[2].end, LineEnd::kCr);
  EXPECT_EQ(lines[3].begin, 8u);
  EXPECT_EQ(lines[3].end, LineEnd::kNone);
}

TEST(SplitLinesTest, TextEndingInALineEndHasAnEmptyLastLine) {
  std::vector<EditorLine> lines = SplitLines("A\n");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].begin, 2u);
  EXPECT_EQ(lines[1].length, 0u);
}

TEST(DocumentTest, JoinsTheEditorLinesWithCrLf) {
  Document document("file:///a", 1, "A\nB\rC\r\nD");
  EXPECT_EQ(document.script(), "A\r\nB\r\nC\r\nD");
  EXPECT_EQ(document.LineText(1), "B");
  EXPECT_EQ(document.LineText(4), "");
  EXPECT_EQ(document.LineText(-1), "");
}

// Neovim sends LF for every file: the script compiles as the CR LF file does.
TEST(DocumentTest, LfLinesCompileAsTheirCrLfFile) {
  std::string lf =
      "MODULE = CTRL,0\nMODULE = FRONT,1,0,2,5,30,10,1\nEVENT FRONT.VALID\nRELAY1 = ON\n"
      "EVENTEND\n";
  std::string crlf = lf;
  for (size_t at = crlf.find('\n'); at != std::string::npos; at = crlf.find('\n', at + 2)) {
    crlf.replace(at, 1, "\r\n");
  }
  Compilation expected = Compile(crlf);
  Document document("file:///a", 1, lf);
  EXPECT_EQ(document.compilation().code, expected.code);
  EXPECT_EQ(document.compilation().error_count, 0);
  // FF 01 01 event header, 21 01 01 RELAY1 = ON, FF FF FF trailer.
  EXPECT_EQ(document.compilation().code,
            (std::vector<uint8_t>{0xFF, 1, 1, 0x21, 1, 1, 0xFF, 0xFF, 0xFF}));
}

TEST(DocumentTest, EditsBetweenUtf16Positions) {
  Document document("file:///a", 1, "A\xC3\xA9Z\r\nSECOND\r\nTHIRD");
  // From after é on line 0 to after "SEC" on line 1.
  document.Edit({0, 2}, {1, 3}, "-");
  EXPECT_EQ(document.text(), "A\xC3\xA9-OND\r\nTHIRD");
  EXPECT_EQ(document.line_count(), 2);
  // Positions past the end are clamped to the end of the text.
  document.Edit({9, 0}, {12, 4}, "!");
  EXPECT_EQ(document.text(), "A\xC3\xA9-OND\r\nTHIRD!");
}

TEST(DocumentTest, ConvertsBetweenBytesAndPositions) {
  Document document("file:///a", 1, "x\n\xF0\x9D\x84\x9E=1");
  EXPECT_EQ(document.PositionOf(1, 4).character, 2);
  EXPECT_EQ(document.PositionOf(1, 99).character, 4);
  EXPECT_EQ(document.ByteColumnOf({1, 3}), 5);
  EXPECT_EQ(document.OffsetOf({1, 2}), 6u);
  EXPECT_EQ(document.OffsetOf({5, 0}), document.text().size());
}

}  // namespace
}  // namespace vigil::lsp
