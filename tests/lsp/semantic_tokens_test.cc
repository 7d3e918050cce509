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

std::vector<Decoded> Decode(const std::string& text) {
  Document document("file:///a", 1, text);
  std::vector<int> data = SemanticTokens(document)["data"];
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

}  // namespace
}  // namespace vigil::lsp
