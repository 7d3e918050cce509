// The conversions between bytes and the protocol's UTF-16 columns, the line
// split and the incremental edits: the edge cases a session reaches only
// with many messages. Two- and four-byte characters on a line the server
// reports and reads positions on: tests/e2e/lsp_session_test.cc.

#include "lsp/document.h"

#include <gtest/gtest.h>

#include <string>

namespace vigil::lsp {
namespace {

TEST(DocumentTest, CountsUtf16UnitsOfBytes) {
  const struct {
    std::string bytes;
    int units;
  } cases[] = {
      {"", 0},
      {"\xE2\x82\xAC", 1},      // €
      {"\xFF\xFE", 2},          // no UTF-8 at all
      {"\xE2\x82", 2},          // a cut-short sequence
      {"\xC0\x80", 2},          // an overlong form
      {"\xED\xA0\x80", 3},      // an encoded surrogate
      {"\xF4\x90\x80\x80", 4},  // past U+10FFFF
      {"a\xE9z", 3},            // Latin-1 é between letters
  };
  for (const auto& [bytes, units] : cases) EXPECT_EQ(Utf16Length(bytes), units) << bytes;
}

TEST(DocumentTest, FindsTheByteOfAColumn) {
  const struct {
    std::string line;
    int units;
    size_t byte;
  } cases[] = {
      {"ABC", 0, 0},
      {"ABC", 9, 3},                // past the end: the line's length
      {"\xF0\x9D\x84\x9EX", 1, 0},  // between the halves of the pair: its start
      {"\xFF\x41", 1, 1},           // an invalid byte, then "A"
  };
  for (const auto& [line, units, byte] : cases) {
    EXPECT_EQ(ByteColumn(line, units), byte) << line << " " << units;
  }
}

TEST(DocumentTest, EditsBetweenUtf16PositionsAndCompilesCrLfLines) {
  Document document("file:///a", 1, "A\xC3\xA9Z\nSECOND\r\nTHIRD");
  // From after é on line 0 to after "SEC" on line 1.
  document.Edit({0, 2}, {1, 3}, "-");
  EXPECT_EQ(document.text(), "A\xC3\xA9-OND\r\nTHIRD");
  // Positions past the end are clamped to the end of the text; a lone CR
  // ends a line too.
  document.Edit({9, 0}, {12, 4}, "!\rX");
  EXPECT_EQ(document.script(), "A\xC3\xA9-OND\r\nTHIRD!\r\nX");
  EXPECT_EQ(document.line_count(), 3);
  EXPECT_EQ(document.PositionOf(0, 3).character, 2);
  EXPECT_EQ(document.PositionOf(0, 99).character, 6);
  EXPECT_EQ(document.OffsetOf({0, 2}), 3u);
}

TEST(DocumentTest, CompilesOncePerTextAndNeverAnOlderOne) {
  Document document("file:///a", 1, "MODULE = CTRL,0");
  EXPECT_FALSE(document.analysed());
  const Compilation* first = &document.compilation();
  EXPECT_TRUE(document.analysed());
  EXPECT_TRUE(first->Diagnostics().empty());
  // Two edits, one compile: the second asks for the same compilation.
  document.Edit({0, 0}, {0, 0}, "X");
  document.Edit({0, 1}, {0, 1}, "Y");
  EXPECT_FALSE(document.analysed());
  EXPECT_FALSE(document.compilation().Diagnostics().empty());
  EXPECT_TRUE(document.analysed());
}

}  // namespace
}  // namespace vigil::lsp
