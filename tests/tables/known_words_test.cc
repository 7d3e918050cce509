#include "tables/known_words.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vigil {
namespace {

constexpr int kNoEvent = -1;

// One module of every kind, at the ends of the ranges, and one declared name
// of every other kind.
SymbolTable Declarations() {
  SymbolTable symbols;
  struct {
    const char* name;
    int16_t id;
  } modules[] = {{"PANEL", 0}, {"CR1", 1},  {"D64", 64}, {"D65", 65},  {"D69", 69},
                 {"PS1", 71},  {"PS8", 78}, {"M79", 79}, {"EXP", 100}, {"P1", 101},
                 {"P8", 108},  {"P9", 109}, {"NEG", -1}, {"INPUT7", 1}};
  for (const auto& m : modules) symbols.modules.Add({.id = m.id, .name = m.name});
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

TEST(KeywordsTest, TheSeventyFiveWords) {
  // In the order of the language's definition.
  const std::string_view all =
      "EVENTEND EVENT DOOR OFF ON INVERT IF THEN ELSE DELAY ENDIF AUTHORIZED TIMEPLAN NOT "
      "GROUP MARK EXECUTE BREAK DIAL SIGNAL RESETCARDS READ_AD CCHIME CFPANIC CAPANIC CPPANIC "
      "CDISARM CARMAWAY CARMSTAY CINITIATEAUTOARM CSOUNDER CSMOKERESET KEYCODE BUFFER PASSED "
      "ZONES FLAGS LAST FOVERLOAD FACPRESENT FBATTERYPRESENT FLOWBATTERY FBOXTAMPER FDCON "
      "FDOWNLOAD FEXPANDERTAMPER FEXPANDERLOSS FSMOKERESET FGROUNDFAULT FACFAIL "
      "FSYSTEMTIMELOSS FGLOBALBUZZER FGLOBALSIRENE FSTEADYSIRENE FNXLOSS SETMODEPIN "
      "SETMODEPINFREE SETPRESENT CLEARPRESENT PRESENT CLEARGROUPCOUNTER CLEARALLCOUNTERS "
      "GROUPEMPTY USEREMPTY ALLCOUNTERSEMPTY ERASECARD CLEARUSERCOUNTER USER MODULELOST BYTE1 "
      "BYTE2 SETBYTE1 SETBYTE2 DISPLAY OFFLINE";
  std::vector<std::string_view> expected;
  for (size_t at = 0; at < all.size();) {
    size_t end = std::min(all.find(' ', at), all.size());
    expected.push_back(all.substr(at, end - at));
    at = end + 1;
  }
  ASSERT_EQ(expected.size(), 75u);
  std::span<const std::string_view> keywords = Keywords();
  EXPECT_EQ(std::vector<std::string_view>(keywords.begin(), keywords.end()), expected);
  for (std::string_view keyword : expected) EXPECT_TRUE(Known(keyword)) << keyword;
  EXPECT_TRUE(Known("eventend"));
  EXPECT_FALSE(Known("EVENTS"));
  EXPECT_FALSE(Known("CR1.FOVERLOAD"));  // a keyword only as a whole word
}

TEST(KnownWordTest, NumbersDashesAndDeclaredNames) {
  for (std::string_view word : {"", "12", "-3", "+5", "1E3", "&H1F", "&hff", "A-B", "-", "CR1.A-B",
                                "T1", "R1", "r1", "PAR", "M1", "PANEL", "cr1", "NEG"}) {
    EXPECT_TRUE(Known(word)) << word;
  }
  // '1.5' names module '1'; the dot test comes before the number and "-" tests.
  for (std::string_view word : {"1.5", "0.5", "XX.A-B", "12A", "&H", "&HG", "T2", "R1.X"}) {
    EXPECT_FALSE(Known(word)) << word;
  }
}

TEST(KnownWordTest, ElementListsByKind) {
  struct Case {
    std::string_view word;
    int event_module;
    bool known;
  };
  for (const Case& c :
       {// The controller, with its USEREVENT rule.
        Case{"PANEL.RELAY8", kNoEvent, true}, Case{"PANEL.OC2", kNoEvent, true},
        Case{"PANEL.GLOBALDOORTAMPER", kNoEvent, true}, Case{"PANEL.PSUON", kNoEvent, true},
        Case{"PANEL.CARDREADER", kNoEvent, false}, Case{"PANEL.VALID", kNoEvent, false},
        Case{"PANEL.EXINPUT1", kNoEvent, false}, Case{"PANEL.USEREVENT8", kNoEvent, true},
        Case{"PANEL.USEREVENT9", kNoEvent, true}, Case{"PANEL.USEREVENT73", kNoEvent, true},
        Case{"PANEL.USEREVENT74", kNoEvent, false}, Case{"PANEL.USEREVENT0", kNoEvent, false},
        Case{"PANEL.USEREVENT", kNoEvent, false}, Case{"PANEL.USEREVENT9X", kNoEvent, true},
        Case{"PANEL.USEREVENT100", kNoEvent, false}, Case{"USEREVENT9", 0, true},
        Case{"USEREVENT73", 0, true}, Case{"USEREVENT74", 0, false}, Case{"USEREVENT0", 0, false},
        Case{"panel.relay1", kNoEvent, true},
        // Door modules: ids 1 to 64 only.
        Case{"CR1.INPUT2", kNoEvent, true}, Case{"CR1.DOORAJAR", kNoEvent, true},
        Case{"CR1.AUXOUTPUT", kNoEvent, true}, Case{"CR1.INPUT3", kNoEvent, false},
        Case{"CR1.RELAY2", kNoEvent, false}, Case{"CR1.USEREVENT12", kNoEvent, false},
        Case{"D64.VALID", kNoEvent, true}, Case{"D65.VALID", kNoEvent, false},
        Case{"D69.INPUT1", kNoEvent, false}, Case{"RELAY2", 1, false}, Case{"INPUT1", 1, true},
        Case{"PANEL.RELAY2", 1, true},
        // Power-supply modules, the panel, partitions and ids of no kind.
        Case{"PS1.STATUSCHANGED", kNoEvent, true}, Case{"PS8.STATUSCHANGED", kNoEvent, true},
        Case{"PS1.FOVERLOAD", kNoEvent, false}, Case{"M79.STATUSCHANGED", kNoEvent, false},
        Case{"EXP.EXINPUT8", kNoEvent, true}, Case{"EXP.EXOUTPUT8", kNoEvent, true},
        Case{"EXP.EXINPUT1ON", kNoEvent, false}, Case{"P1.SYSTEMKEY", kNoEvent, true},
        Case{"P8.ARMED", kNoEvent, true}, Case{"P1.RELAY1", kNoEvent, false},
        Case{"P9.ARMED", kNoEvent, false}, Case{"NEG.INPUT1", kNoEvent, false},
        Case{"STATUSCHANGED", 109, false},
        // Plain element names need an open event; qualified ones a declared
        // module, whatever event is open.
        Case{"RELAY1", kNoEvent, false}, Case{"XX.INPUT1", 0, false},
        Case{"CR1.INPUT1.X", kNoEvent, true},
        // A module named like an element is a declared name, not an element.
        Case{"INPUT7", kNoEvent, true}, Case{"INPUT7.VALID", kNoEvent, true}}) {
    EXPECT_EQ(Known(c.word, c.event_module), c.known) << c.word << " in event " << c.event_module;
  }
}

TEST(KnownWordTest, OneClosingBracketIsCutFromTheCallersWord) {
  const SymbolTable symbols = Declarations();
  std::string_view word = "RELAY1)";
  EXPECT_TRUE(IsKnownWord(word, symbols, 0));
  EXPECT_EQ(word, "RELAY1");
  word = "RELAY1))";
  EXPECT_FALSE(IsKnownWord(word, symbols, 0));
  EXPECT_EQ(word, "RELAY1)");
  word = "RELAY1)";
  EXPECT_FALSE(IsKnownWord(word, symbols, kNoEvent));  // cut even when rejected
  EXPECT_EQ(word, "RELAY1");
  word = ")";
  EXPECT_TRUE(IsKnownWord(word, symbols, kNoEvent));
  EXPECT_EQ(word, "");
}

TEST(ModuleReferenceTest, ModulePartOfAnyCaseAndIdNotMinusOne) {
  const SymbolTable symbols = Declarations();
  EXPECT_TRUE(IsModuleReference(symbols, "cr1.INPUT1"));
  EXPECT_TRUE(IsModuleReference(symbols, "P1"));
  EXPECT_TRUE(IsModuleReference(symbols, "INPUT7"));
  EXPECT_FALSE(IsModuleReference(symbols, "INPUT1"));
  EXPECT_FALSE(IsModuleReference(symbols, "NEG.INPUT1"));
  EXPECT_FALSE(IsModuleReference(symbols, "CR1 .INPUT1"));
  EXPECT_FALSE(IsModuleReference(SymbolTable{}, "CR1"));
}

}  // namespace
}  // namespace vigil
