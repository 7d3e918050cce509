#include "core/lang/known_words.h"

#include <gtest/gtest.h>

#include <string_view>
#include <utility>

#include "core/compile/word_check.h"

namespace vigil {
namespace {

constexpr int kNoEvent = -1;

// One module of every kind, at the ends of the ranges, and one declared name
// of every other kind.
SymbolTable Declarations() {
  SymbolTable symbols;
  const std::pair<const char*, int16_t> modules[] = {
      {"PANEL", 0}, {"CR1", 1},  {"D64", 64}, {"D65", 65}, {"PS1", 71}, {"PS8", 78},  {"M79", 79},
      {"EXP", 100}, {"P1", 101}, {"P8", 108}, {"P9", 109}, {"NEG", -1}, {"INPUT7", 1}};
  for (const auto& [name, id] : modules) symbols.modules.Add({.id = id, .name = name});
  symbols.timers.Add({0, "T1"});
  symbols.registers.Add({0, "R1"});
  symbols.marks.Add({0, "M1", "text"});
  symbols.parameters.Add({0, "PAR", 5});
  return symbols;
}

bool Known(std::string_view word, int event_module = kNoEvent) {
  static const SymbolTable symbols = Declarations();
  return IsKnownWord(word, symbols, event_module);
}

TEST(KnownWordTest, KeywordsNumbersDashesDeclaredNamesAndElements) {
  for (std::string_view word :
       {// Keywords, numbers, dashes, declared names of any case.
        "eventend", "READ_AD", "SETMODEPINFREE", "", "12", "-3", "+5", "1E3", "&H1F", "&hff", "A-B",
        "-", "CR1.A-B", "T1", "r1", "PAR", "M1", "cr1", "NEG", "INPUT7", "INPUT7.VALID",
        // The controller, with its USEREVENT rule (9 to 73 beyond the list).
        "PANEL.RELAY8", "PANEL.GLOBALDOORTAMPER", "PANEL.USEREVENT8", "PANEL.USEREVENT73",
        "PANEL.USEREVENT9X", "panel.relay1",
        // Door modules (ids 1 to 64), supplies, the panel and partitions.
        "CR1.INPUT2", "cr1.input2", "D64.VALID", "CR1.INPUT1.X", "PS1.STATUSCHANGED",
        "PS8.STATUSCHANGED", "EXP.EXOUTPUT8", "P8.ARMED"}) {
    EXPECT_TRUE(Known(word)) << word;
  }
  for (std::string_view word :
       {// "1.5" names module "1": the "." test comes before the number and "-"
        // tests. Plain element names need an open event.
        "EVENTS", "CR1.FOVERLOAD", "1.5", "0.5", "XX.A-B", "12A", "&H", "&HG", "T2", "R1.X",
        "RELAY1",
        // Elements the kind does not have, and ids of no kind.
        "PANEL.CARDREADER", "PANEL.EXINPUT1", "PANEL.USEREVENT74", "PANEL.USEREVENT",
        "PANEL.USEREVENT100", "CR1.INPUT3", "CR1.USEREVENT12", "D65.VALID", "M79.STATUSCHANGED",
        "EXP.EXINPUT1ON", "P1.RELAY1", "P9.ARMED", "NEG.INPUT1", "CR1 .INPUT1"}) {
    EXPECT_FALSE(Known(word)) << word;
  }
  // In an open event, plain names go to the event's module, qualified ones to
  // theirs.
  EXPECT_TRUE(Known("USEREVENT9", 0) && Known("INPUT1", 1) && Known("PANEL.RELAY2", 1));
  EXPECT_FALSE(Known("USEREVENT0", 0) || Known("RELAY2", 1) || Known("XX.INPUT1", 0));
}

TEST(KnownWordTest, OneClosingBracketIsCutFromTheCallersWord) {
  const SymbolTable symbols = Declarations();
  std::string_view word = "RELAY1)";
  EXPECT_TRUE(IsKnownWord(word, symbols, 0) && word == "RELAY1");
  word = "RELAY1))";
  EXPECT_TRUE(!IsKnownWord(word, symbols, 0) && word == "RELAY1)");
  word = "RELAY1)";
  EXPECT_TRUE(!IsKnownWord(word, symbols, kNoEvent) && word == "RELAY1");  // cut when rejected
  word = ")";
  EXPECT_TRUE(IsKnownWord(word, symbols, kNoEvent) && word.empty());
}

}  // namespace
}  // namespace vigil
