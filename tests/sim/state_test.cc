// Setting a state so that a term holds, and reading it back, for every term.

#include "sim/state.h"

#include <gtest/gtest.h>

#include "core/lang/opcodes.h"

namespace vigil::sim {
namespace {

struct TermCase {
  Term term;
  bool settable;
};

// One term of every condition code, operands as the compiler writes them.
constexpr TermCase kTerms[] = {
    {{0x01, 1, 1}, true},    {{0x02, 0, 2}, true},    {{0x03, 0, 10}, false},
    {{0x04, 0, 0}, false},   {{0x05, 0, 3}, true},    {{0x06, 0, 0}, true},
    {{0x07, 1, 0}, true},    {{0x08, 4, 0}, true},    {{0x0A, 101, 4}, true},
    {{0x0B, 100, 7}, true},  {{0x0C, 100, 2}, true},  {{0x0D, 0, 0}, true},
    {{0x0E, 1, 8}, true},    {{0x0F, 1, 10}, true},   {{0x10, 1, 9}, true},
    {{0x11, 10, 0}, true},   {{0x12, 1, 1}, true},    {{0x13, 0, 0}, true},
    {{0x14, 1, 12}, true},   {{0x15, 0, 0}, true},    {{0x16, 0, 0}, true},
    {{0x17, 0, 0}, true},    {{0x18, 127, 0}, true},  {{0x19, 9, 0}, true},
    {{0x20, 72, 0}, true},   {{0x21, 0, 7}, false},   {{0x22, 0, 7}, true},
    {{0x23, 0, 7}, false},   {{0x24, 0, 7}, true},    {{0x25, 0, 0}, true},
    {{0x0E, 0, 0x33}, true}, {{0x0F, 0, 0x2E}, true}, {{0x10, 0, 0x2D}, true},
};

TEST(StateTest, MakeTermMakesEveryStateTermTrueOrFalse) {
  for (const TermCase& c : kTerms) {
    SCOPED_TRACE(c.term.code);
    for (bool truth : {true, false}) {
      State state;
      ASSERT_EQ(MakeTerm(state, c.term, truth), c.settable);
      if (!c.settable) continue;
      EXPECT_EQ(TestTerm(state, c.term), truth);
      Term inverted{c.term.code + kInverted, c.term.a, c.term.b};
      EXPECT_EQ(TestTerm(state, inverted), !truth);
      State other;
      ASSERT_TRUE(MakeTerm(other, inverted, truth));
      EXPECT_EQ(TestTerm(other, c.term), !truth);
    }
  }
}

TEST(StateTest, OneCardHasOneGroup) {
  State state;
  MakeTerm(state, {0x08, 4, 0}, true);  // GROUP(5)
  MakeTerm(state, {0x08, 2, 0}, true);  // GROUP(3)
  EXPECT_EQ(state.card_group, 3);
  EXPECT_EQ(TestTerm(state, {0x08, 4, 0}), false);
  MakeTerm(state, {0x08, 4, 0}, false);  // not group 5: the card keeps group 3
  EXPECT_EQ(state.card_group, 3);
}

TEST(StateTest, AnAlarmRaisesTheAlarmSignal) {
  State state;
  MakeTerm(state, {0x0A, 101, 2}, true);  // OFFICE.ALARM = ON
  EXPECT_TRUE(state.Point({kAlarmSignalFamily, 101, 0}));
  EXPECT_FALSE(state.Point({kAlarmSignalFamily, 102, 0}));
}

}  // namespace
}  // namespace vigil::sim
