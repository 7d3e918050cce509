#include "lsp/semantic_tokens.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vigil::lsp {
namespace {

// A token read back from the relative encoding: line, UTF-16 start, length,
// and the type's name in the legend.
struct Decoded {
  int line;
  int start;
  int length;
  std::string type;
  bool operator==(const Decoded&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Decoded& token) {
  return out << token.line << ":" << token.start << "+" << token.length << " " << token.type;
}

// The tokens of lines `first` to `last` (all of them by default).
std::vector<Decoded> Decode(const std::string& text, int first = 0, int last = 1 << 20) {
  Document document("file:///a", 1, text);
  std::vector<int> data = SemanticTokenData(document, first, last);
  Json types = SemanticTokensLegend()["tokenTypes"];
  std::vector<Decoded> tokens;
  int line = 0;
  int start = 0;
  for (size_t i = 0; i + 4 < data.size(); i += 5) {
    start = data[i] == 0 ? start + data[i + 1] : data[i + 1];
    line += data[i];
    tokens.push_back({line, start, data[i + 2], types[static_cast<size_t>(data[i + 3])]});
  }
  return tokens;
}

// FRONT is declared with both of its names.
TEST(SemanticTokensTest, ClassifiesTheWordsOfAScript) {
  std::vector<Decoded> tokens = Decode(
      "MODULE FRONT = FRONT,1,0,2,5,30,10,1\r\n"
      "DEFINE MARK NIGHT = Nacht \xC3\xBC\r\n"
      "; \xC3\xA9 note\r\n"
      "EVENT FRONT.VALID\r\n"
      "  MARK(NIGHT)\r\n"
      "  DELAY(5)\r\n"
      "EVENTEND\r\n");
  std::vector<Decoded> expected = {
      {0, 0, 6, "keyword"},     {0, 7, 5, "namespace"},  {0, 15, 5, "namespace"},
      {0, 21, 1, "number"},     {0, 23, 1, "number"},    {0, 25, 1, "number"},
      {0, 27, 1, "number"},     {0, 29, 2, "number"},    {0, 32, 2, "number"},
      {0, 35, 1, "number"},     {1, 0, 6, "keyword"},    {1, 7, 4, "keyword"},
      {1, 12, 5, "enumMember"}, {1, 20, 7, "string"},    {2, 0, 8, "comment"},
      {3, 0, 5, "keyword"},     {3, 6, 5, "namespace"},  {3, 12, 5, "property"},
      {4, 2, 4, "keyword"},     {4, 7, 5, "enumMember"}, {5, 2, 5, "keyword"},
      {5, 8, 1, "number"},      {6, 0, 8, "keyword"},
  };
  EXPECT_EQ(tokens, expected);
}

// A range gives the tokens of its lines only, their line numbers as in the
// whole document.
TEST(SemanticTokensTest, GivesTheTokensOfARangeOfLines) {
  const std::string script =
      "MODULE = FRONT,1,0,2,5,30,10,1\r\n"
      "DEFINE REGISTER VISITS\r\n"
      "EVENT FRONT.VALID\r\n"
      "  VISITS = 1\r\n"
      "  BEEP = ON\r\n"
      "EVENTEND\r\n";
  // BEEP is the event module's element without its module part.
  std::vector<Decoded> expected = {
      {2, 0, 5, "keyword"}, {2, 6, 5, "namespace"}, {2, 12, 5, "property"}, {3, 2, 6, "variable"},
      {3, 11, 1, "number"}, {4, 2, 4, "property"},  {4, 9, 2, "keyword"},
  };
  EXPECT_EQ(Decode(script, 2, 4), expected);
  EXPECT_EQ(Decode(script, 4, 2), std::vector<Decoded>());
  EXPECT_EQ(Decode(script, -5, -1), std::vector<Decoded>());
}

TEST(SemanticTokensTest, EditsTurnThePreviousTokensIntoTheCurrentOnes) {
  struct Case {
    std::vector<int> previous;
    std::vector<int> current;
    const char* edits;
  };
  const Case cases[] = {
      {{1, 2, 3}, {1, 2, 3}, "[]"},
      {{1, 2, 3, 4, 5}, {1, 2, 9, 4, 5}, R"([{"data":[9],"deleteCount":1,"start":2}])"},
      {{1, 2, 3}, {1, 2, 3, 4, 5}, R"([{"data":[4,5],"deleteCount":0,"start":3}])"},
      {{1, 2, 3, 4}, {1, 4}, R"([{"data":[],"deleteCount":2,"start":1}])"},
      {{}, {7}, R"([{"data":[7],"deleteCount":0,"start":0}])"},
      {{5, 5}, {5, 5, 5}, R"([{"data":[5],"deleteCount":0,"start":2}])"},
      {{5, 5, 5}, {}, R"([{"data":[],"deleteCount":3,"start":0}])"},
  };
  for (const Case& test : cases) {
    EXPECT_EQ(SemanticTokenEdits(test.previous, test.current).dump(), test.edits);
  }
}

}  // namespace
}  // namespace vigil::lsp
