#include "core/decode/disassembler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/decode/script_code.h"
#include "core/lang/opcodes.h"
#include "support/script.h"

namespace vigil {
namespace {

// Every opcode has a display whose slots read exactly the operand bytes the
// instruction set gives it, with the same kinds: the round trip below can then
// take one statement per family of opcodes.
TEST(DisassemblerTest, EveryOpcodeHasADisplayThatReadsItsOperands) {
  for (int code = 0; code < kInverted; ++code) {
    for (bool condition : {false, true}) {
      std::optional<OpcodeInfo> entry = condition ? ConditionInfo(code) : InstructionInfo(code);
      if (!entry) continue;
      std::optional<std::string_view> display =
          condition ? ConditionDisplay(code) : InstructionDisplay(code);
      ASSERT_TRUE(display) << entry->name;
      // The operand letter of every byte after the opcode, "." for a byte no
      // slot shows: an always-zero byte, the rest of a condition term or jump.
      std::string expected;
      for (char letter : entry->operands) {
        expected += letter == '0' ? '.' : letter;
        if (letter == 'c') expected += "..";
        if (letter == 'j') expected += ".";
      }
      // Two slots on one byte must read it the same way ("!" when not).
      std::string shown(expected.size(), '.');
      for (size_t i = display->find('{'); i != std::string_view::npos;
           i = display->find('{', i + 1)) {
        size_t byte = static_cast<size_t>((*display)[i + 1] - '1');
        ASSERT_LT(byte, shown.size()) << entry->name << ": " << *display;
        char slot = OperandLetterOfSlot((*display)[i + 2]);
        shown[byte] = shown[byte] == '.' || shown[byte] == slot ? slot : '!';
      }
      EXPECT_EQ(shown, expected) << entry->name << ": " << *display;
    }
  }
}

constexpr char kDeclarations[] =
    "MODULE = PANEL,0\nMODULE = FRONT,3,0,2,5,30,10,1\nMODULE = AL-1,100\nMODULE = PSU1,73\n"
    "PARTITION = P1,101,1,100\nDEFINE PARAMETER T = 7\nDEFINE MARK M1 = Door opened\n"
    "DEFINE REGISTER R1\nDEFINE TIMER T1\n";

// Statements in an event, and for each instruction they compile to: the
// statement line it belongs to (1 for the first) and its meaning,
// indented by two blanks per open IF block.
struct Form {
  std::string event;
  std::string statements;  // lines ending in "\n"
  std::vector<std::pair<int, std::string>> expected;
};

class DisassemblerRoundTripTest : public ::testing::TestWithParam<Form> {};

TEST_P(DisassemblerRoundTripTest, EachInstructionMapsBackToItsStatement) {
  Compilation compilation =
      testing::CompileValue(std::string(kDeclarations) + "EVENT " + GetParam().event + "\n" +
                            GetParam().statements + "EVENTEND\n");
  EXPECT_EQ(compilation.error_count, 0);
  Disassembly code = Disassemble(compilation.code, SiteNames());
  EXPECT_TRUE(code.problems.empty()) << code.problems[0].message;
  // Nine lines of declarations and the EVENT line come first.
  std::vector<int> lines = ItemLines(compilation, code);
  std::vector<std::pair<int, std::string>> paired;
  for (size_t i = 0; i < code.items.size(); ++i) {
    const DecodedItem& item = code.items[i];
    if (item.kind != DecodedItem::Kind::kInstruction) continue;
    paired.emplace_back(lines[i] - 10,
                        std::string(2 * static_cast<size_t>(item.depth), ' ') + item.meaning);
  }
  EXPECT_EQ(paired, GetParam().expected);
}

// `statement` in the door event of module 3 (or in `event`). An IF line is
// closed at once: its IF at offset 3 jumps to offset 9.
Form In(std::string statement, std::vector<std::string> meanings,
        std::string event = "FRONT.VALID") {
  bool is_if = statement.starts_with("IF ");
  Form form{event, statement + (is_if ? "\nENDIF\n" : "\n"), {}};
  for (std::string& meaning : meanings) {
    form.expected.emplace_back(1, is_if ? meaning + "  else -> 0009" : meaning);
  }
  return form;
}

INSTANTIATE_TEST_SUITE_P(
    Statements, DisassemblerRoundTripTest,
    ::testing::Values(
        In("PANEL.OC1 = ON", {"RELAY7 of module 0 = ON"}),
        In("P1.ARMED = OFF", {"ARMED of module 101 = OFF"}),
        In("R1 = R1 - 5", {"register 0 = register 0 - 5"}), In("DELAY(T)", {"DELAY(parameter 0)"}),
        In("DOOR()", {"DOOR(module 3)", "element 0 of module 3 = OFF  (part of DOOR)",
                      "BEEP (element 0) of module 3 = OFF  (part of DOOR)"}),
        In("DIAL(2,M1)", {"DIAL(2, mark 0)"}), In("EXECUTE(73)", {"EXECUTE(73)"}),
        In("DISPLAY(PANEL,15)", {"DISPLAY(module 0, 15)"}),
        In("IF NOT T1 = 5", {"IF NOT timer 0 = 5"}), In("IF NOT GROUP(1)", {"IF NOT GROUP(1)"}),
        In("IF ZONES(3)", {"IF ZONES(3) of module 3"}), In("IF PASSED", {"IF PASSED"}),
        In("IF FLAGS(FACFAIL)", {"IF FLAGS(FACFAIL) of module 100"}, "AL-1.EXINPUT1ON"),
        In("IF FLAGS(FACPRESENT)", {"IF FLAGS(FACPRESENT) of module 73"}, "PSU1.STATUSCHANGED"),
        // IF at 3 (6 bytes), BREAK at 9, ELSE at 0A (3 bytes), IF at 0D, BREAK
        // at 13: the outer IF jumps past the ELSE, the rest to 0014.
        Form{"FRONT.VALID",
             "IF PASSED\nBREAK\nELSE\nIF PRESENT\nBREAK\nENDIF\nENDIF\n",
             {{1, "IF PASSED  else -> 000D"},
              {2, "  BREAK"},
              {3, "ELSE  endif -> 0014"},
              {4, "  IF PRESENT  else -> 0014"},
              {5, "    BREAK"}}}));

struct BadCode {
  std::vector<uint8_t> code;
  int offset;
  std::string message;
};

class DisassemblerBadCodeTest : public ::testing::TestWithParam<BadCode> {};

TEST_P(DisassemblerBadCodeTest, NamesTheOffsetOfTheProblem) {
  Disassembly result = Disassemble(GetParam().code, SiteNames());
  ASSERT_EQ(result.problems.size(), 1u);
  EXPECT_EQ(result.problems[0].offset, GetParam().offset);
  EXPECT_NE(result.problems[0].message.find(GetParam().message), std::string::npos)
      << result.problems[0].message;
}

// An unknown opcode, and an inverted input term read back: the download
// file in tests/e2e/vigil_dis_test.cc.
INSTANTIATE_TEST_SUITE_P(
    Cases, DisassemblerBadCodeTest,
    ::testing::Values(
        BadCode{{255, 3, 1, 0x51, 0x1A, 0, 0, 0, 0, 255, 255, 255}, 3, "unknown condition 1A"},
        // The IF's field skips one byte from 0009: into the RELAY1 instruction.
        BadCode{{255, 3, 1, 0x51, 0x0D, 0, 0, 1, 0, 33, 3, 1, 255, 255, 255},
                3,
                "the jump to 000A lands inside the instruction at 0009"},
        BadCode{{255, 3, 1, 0x52, 4, 0, 255, 255, 255},
                3,
                "the jump to 000A lies past the end of the code (0009)"},
        BadCode{{255, 3, 1, 33, 3, 255, 255, 255}, 3, "needs 3 bytes, only 2 are left"},
        BadCode{{255, 3, 1, 33, 3, 1}, 6, "does not end with the trailer FF FF FF"},
        BadCode{{33, 3, 1, 255, 255, 255}, 0, "outside any event block"},
        BadCode{{255, 3, 255, 255, 255}, 0, "event header is cut short"}));

}  // namespace
}  // namespace vigil
