// docs/language.md states the ranges and limits of the tables: read its
// numbers back and compare them with the constants.

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "core/lang/limits.h"
#include "core/lang/module_kinds.h"
#include "core/lang/value_ranges.h"
#include "support/files.h"

namespace vigil {
namespace {

std::string LanguageDoc() {
  return testing::ReadFile(std::string(VIGIL_SOURCE_DIR) + "/docs/language.md");
}

std::string Trim(const std::string& text) {
  size_t begin = text.find_first_not_of(' ');
  size_t end = text.find_last_not_of(' ');
  return begin == std::string::npos ? std::string() : text.substr(begin, end - begin + 1);
}

// The range word a table row is about: its first cell ("| DELAY | ...") or
// its syntax cell ("| time plan | `TIMEPLAN(n)` | ...").
std::string RowWord(const std::vector<std::string>& cells) {
  static const std::regex kSyntax(R"(^`([A-Z_0-9]+)\(n\)`$)");
  std::smatch match;
  if (cells.size() > 1 && FindValueRange(cells[1]) != nullptr) return cells[1];
  if (cells.size() > 2 && std::regex_match(cells[2], match, kSyntax)) return match[1];
  return {};
}

// Every command and test with a range has a table row whose first range
// ("1-64", "1-64 or 71-78") is the table's.
TEST(LanguageDoc, StatesTheValueRanges) {
  static const std::regex kRange(R"((\d+)-(\d+)(?: or (\d+)-(\d+))?)");
  std::istringstream doc(LanguageDoc());
  std::set<std::string> seen;
  for (std::string line; std::getline(doc, line);) {
    if (!line.starts_with("|")) continue;
    std::vector<std::string> cells;
    std::istringstream row(line);
    for (std::string cell; std::getline(row, cell, '|');) cells.push_back(Trim(cell));
    std::string word = RowWord(cells);
    if (word.empty() || !seen.insert(word).second) continue;
    std::smatch match;
    std::string rest = line.substr(line.find(word) + word.size());
    ASSERT_TRUE(std::regex_search(rest, match, kRange)) << line;
    std::string stated = match[1].str() + " to " + match[2].str();
    if (match[3].matched) stated += " or " + match[3].str() + " to " + match[4].str();
    EXPECT_EQ(stated, RangeText(*FindValueRange(word))) << line;
  }
  EXPECT_EQ(seen.size(), ValueRanges().size());
}

TEST(LanguageDoc, StatesTheLimits) {
  struct Claim {
    const char* pattern;  // one number captured
    int value;
  };
  const std::string doc = LanguageDoc();
  for (const Claim& claim : {
           Claim{R"(blocks nest up to (\d+) deep)", kMaxIfLevel},
           Claim{R"(Keep to (\d+) parameters)", kMaxUserItems},
           Claim{R"(parameters and (\d+) marks)", kMaxUserItems},
           Claim{R"(A parameter value must be a number from 0 to (\d+))", kMaxByte},
           Claim{R"(trailer included, is (\d+) bytes or more)", kCodeSizeLimit},
           Claim{R"(\| 1 to (\d+) \| door modules)", kDoorIds.last},
           Claim{R"(element names are accepted for ids 1 to (\d+) only)", kNamedDoorIds.last},
       }) {
    std::smatch match;
    ASSERT_TRUE(std::regex_search(doc, match, std::regex(claim.pattern))) << claim.pattern;
    EXPECT_EQ(std::stoi(match[1]), claim.value) << claim.pattern;
  }
}

}  // namespace
}  // namespace vigil
