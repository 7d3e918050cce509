#include "driver/disassembler.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "support/script.h"
#include "tables/known_words.h"
#include "tables/opcodes.h"

namespace vigil {
namespace {

// Every opcode of the instruction set has a display whose slots read exactly
// the operand bytes the table gives it, with the same kinds.
struct TableEntry {
  std::string_view name;
  int code;
  std::string_view operands;
  bool condition;
};

#define VIGIL_INSTRUCTION_ENTRY(name, code, operands, form) \
  TableEntry{#name, code, operands, false},
#define VIGIL_CONDITION_ENTRY(name, code, operands, form) TableEntry{#name, code, operands, true},
const TableEntry kTable[] = {VIGIL_INSTRUCTIONS(VIGIL_INSTRUCTION_ENTRY)
                                 VIGIL_CONDITIONS(VIGIL_CONDITION_ENTRY)};
#undef VIGIL_INSTRUCTION_ENTRY
#undef VIGIL_CONDITION_ENTRY

TEST(DisassemblerTest, EveryOpcodeHasADisplayThatReadsItsOperands) {
  for (const TableEntry& entry : kTable) {
    std::optional<std::string_view> display =
        entry.condition ? ConditionDisplay(entry.code) : InstructionDisplay(entry.code);
    ASSERT_TRUE(display) << entry.name;
    // The operand letter of every byte after the opcode; "-" continues a
    // condition term or a jump field.
    std::string letters;
    for (char letter : entry.operands) {
      letters += letter;
      if (letter == 'c') letters += "--";
      if (letter == 'j') letters += "-";
    }
    std::string used(letters.size(), ' ');
    for (size_t i = display->find('{'); i != std::string_view::npos;
         i = display->find('{', i + 1)) {
      size_t byte = static_cast<size_t>((*display)[i + 1] - '1');
      ASSERT_LT(byte, letters.size()) << entry.name << ": " << *display;
      EXPECT_EQ(OperandLetterOfSlot((*display)[i + 2]), letters[byte])
          << entry.name << ": " << *display;
      used[byte] = 'x';
    }
    for (size_t byte = 0; byte < letters.size(); ++byte) {
      bool silent = letters[byte] == '0' || letters[byte] == '-';
      EXPECT_EQ(used[byte] == 'x', !silent) << entry.name << " byte " << byte + 1;
    }
  }
}

constexpr char kDeclarations[] =
    "MODULE = PANEL,0\n"
    "MODULE = FRONT,3,0,2,5,30,10,1\n"
    "MODULE = AL-1,100\n"
    "MODULE = PSU1,73\n"
    "PARTITION = P1,101,1,100\n"
    "DEFINE PARAMETER T = 7\n"
    "DEFINE MARK M1 = Door opened\n"
    "DEFINE REGISTER R1\n"
    "DEFINE TIMER T1\n";
constexpr int kDeclarationLines = 9;

// A statement line and what each instruction it compiles to means.
struct Form {
  std::string event;
  std::string statements;                                     // lines ending in "\n"
  std::vector<std::pair<std::string, std::string>> expected;  // statement, meaning
};

// Compiles `form` inside its event, disassembles the code and pairs each
// instruction with the script line whose code holds it.
std::vector<std::pair<std::string, std::string>> RoundTrip(const Form& form, std::string* failure) {
  std::string script =
      std::string(kDeclarations) + "EVENT " + form.event + "\n" + form.statements + "EVENTEND\n";
  std::unique_ptr<C_Compiler> compiler = testing::CompileScript(script);
  if (compiler->CountErrors() > 0) *failure += "the script reports errors\n";
  std::vector<std::string> lines;
  std::istringstream stream(script);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);

  Disassembly code = Disassemble(compiler->macros(), SiteNames());
  for (const CodeProblem& problem : code.problems) *failure += problem.message + "\n";
  std::vector<std::pair<std::string, std::string>> paired;
  for (const DecodedItem& item : code.items) {
    if (item.kind != DecodedItem::Kind::kInstruction) continue;
    std::string statement = "(no line)";
    for (const LineCode& range : compiler->line_code()) {
      if (item.offset < range.begin || item.offset >= range.end) continue;
      statement = lines[static_cast<size_t>(range.physical_line - 1)];
      // The instruction lies wholly within the code of its line.
      if (item.offset + item.length > range.end) *failure += "straddles: " + statement + "\n";
    }
    paired.emplace_back(statement, item.meaning);
  }
  return paired;
}

class DisassemblerRoundTripTest : public ::testing::TestWithParam<Form> {};

TEST_P(DisassemblerRoundTripTest, EachInstructionMapsBackToItsStatement) {
  std::string failure;
  EXPECT_EQ(RoundTrip(GetParam(), &failure), GetParam().expected);
  EXPECT_EQ(failure, "");
}

// One statement in the door event of module 3.
Form InDoor(std::string statement, std::vector<std::string> meanings) {
  Form form{"FRONT.VALID", statement + "\n", {}};
  for (std::string& meaning : meanings) form.expected.emplace_back(statement, meaning);
  return form;
}

// An IF line closed at once: the IF at offset 3 jumps to offset 9.
Form Condition(std::string event, std::string condition, std::string meaning) {
  std::string statement = "IF " + condition;
  return {event, statement + "\nENDIF\n", {{statement, meaning + "  else -> 0009"}}};
}
Form DoorCondition(std::string condition, std::string meaning) {
  return Condition("FRONT.VALID", condition, meaning);
}

INSTANTIATE_TEST_SUITE_P(
    Statements, DisassemblerRoundTripTest,
    ::testing::Values(
        InDoor("RELAY1 = ON", {"RELAY1 of module 3 = ON"}),
        InDoor("PANEL.RELAY2 = OFF", {"RELAY2 of module 0 = OFF"}),
        InDoor("PANEL.OC1 = ON", {"RELAY7 of module 0 = ON"}),
        InDoor("INVERT(RELAY1)", {"INVERT(RELAY1 of module 3)"}),
        InDoor("BEEP = ON", {"BEEP of module 3 = ON"}),
        InDoor("BEEP = OFF", {"BEEP of module 3 = OFF"}),
        InDoor("INVERT(BEEP)", {"INVERT(BEEP of module 3)"}),
        InDoor("AUXOUTPUT = ON", {"AUXOUTPUT of module 3 = ON"}),
        InDoor("AUXOUTPUT = OFF", {"AUXOUTPUT of module 3 = OFF"}),
        InDoor("INVERT(AUXOUTPUT)", {"INVERT(AUXOUTPUT of module 3)"}),
        InDoor("P1.ARMED = ON", {"ARMED of module 101 = ON"}),
        InDoor("P1.ARMED = OFF", {"ARMED of module 101 = OFF"}),
        InDoor("P1.SYSTEMKEY = CARMAWAY", {"SYSTEMKEY of module 101 = CARMAWAY"}),
        InDoor("P1.SYSTEMKEY = 3", {"SYSTEMKEY of module 101 = 3"}),
        InDoor("P1.ALARMSIGNAL = OFF", {"ALARMSIGNAL of module 101 = OFF"}),
        InDoor("P1.TROUBLESIGNAL = OFF", {"TROUBLESIGNAL of module 101 = OFF"}),
        InDoor("AL-1.ALARMSIGNAL = OFF", {"ALARMSIGNAL of module 100 = OFF"}),
        InDoor("R1 = 5", {"register 0 = 5"}),
        InDoor("R1 = R1 + 5", {"register 0 = register 0 + 5"}),
        InDoor("R1 = R1 - 5", {"register 0 = register 0 - 5"}),
        InDoor("R1 = T", {"register 0 = parameter 0"}), InDoor("T1 = 255", {"timer 0 = 255"}),
        InDoor("T1 = T", {"timer 0 = parameter 0"}), InDoor("DELAY(5)", {"DELAY(5)"}),
        InDoor("DELAY(T)", {"DELAY(parameter 0)"}),
        InDoor("DOOR()", {"DOOR(module 3)", "element 0 of module 3 = OFF  (part of DOOR)",
                          "BEEP (element 0) of module 3 = OFF  (part of DOOR)"}),
        InDoor("MARK(M1)", {"MARK(mark 0)"}), InDoor("DIAL(2,M1)", {"DIAL(2, mark 0)"}),
        InDoor("EXECUTE(1)", {"EXECUTE(1)"}), InDoor("EXECUTE(73)", {"EXECUTE(73)"}),
        InDoor("SIGNAL(7)", {"SIGNAL(module 3, 7)"}),
        InDoor("SIGNAL(PANEL,7)", {"SIGNAL(module 0, 7)"}), InDoor("BREAK", {"BREAK"}),
        InDoor("READ_AD(8)", {"READ_AD(8)"}), InDoor("SETMODEPIN(FRONT)", {"SETMODEPIN(module 3)"}),
        InDoor("SETMODEPINFREE(FRONT)", {"SETMODEPINFREE(module 3)"}),
        InDoor("SETPRESENT", {"SETPRESENT"}), InDoor("CLEARPRESENT", {"CLEARPRESENT"}),
        InDoor("CLEARGROUPCOUNTER(1)", {"CLEARGROUPCOUNTER(1)"}),
        InDoor("CLEARALLCOUNTERS", {"CLEARALLCOUNTERS"}), InDoor("ERASECARD", {"ERASECARD"}),
        InDoor("CLEARUSERCOUNTER(128)", {"CLEARUSERCOUNTER(128)"}),
        InDoor("SETBYTE1(255)", {"SETBYTE1(255)"}), InDoor("SETBYTE2(0)", {"SETBYTE2(0)"}),
        InDoor("DISPLAY(0)", {"DISPLAY(module 3, 0)"}),
        InDoor("DISPLAY(15)", {"DISPLAY(module 3, 15)"}),
        InDoor("DISPLAY(PANEL,3)", {"DISPLAY(module 0, 3)"}),
        DoorCondition("NOT FRONT.INPUT1 = ON", "IF NOT INPUT1 of module 3 = ON"),
        DoorCondition("INPUT2 = OFF", "IF NOT INPUT2 of module 3 = ON"),
        DoorCondition("RELAY1 = ON", "IF RELAY1 of module 3 = ON"),
        DoorCondition("AUXOUTPUT = ON", "IF AUXOUTPUT of module 3 = ON"),
        DoorCondition("R1 > 5", "IF register 0 > 5"), DoorCondition("T1 > 5", "IF timer 0 > 5"),
        DoorCondition("R1 = 5", "IF register 0 = 5"),
        DoorCondition("NOT T1 = 5", "IF NOT timer 0 = 5"),
        DoorCondition("TIMEPLAN(64)", "IF TIMEPLAN(64)"),
        DoorCondition("NOT GROUP(1)", "IF NOT GROUP(1)"),
        DoorCondition("P1.ARMED = ON", "IF ARMED of module 101 = ON"),
        DoorCondition("P1.READY = OFF", "IF NOT READY of module 101 = ON"),
        DoorCondition("ZONES(3)", "IF ZONES(3) of module 3"), DoorCondition("PASSED", "IF PASSED"),
        DoorCondition("FRONT.TAMPER = ON", "IF TAMPER of module 3 = ON"),
        DoorCondition("FRONT.FORCEDDOOR = ON", "IF FORCEDDOOR of module 3 = ON"),
        DoorCondition("FRONT.DOORAJAR = OFF", "IF NOT DOORAJAR of module 3 = ON"),
        DoorCondition("BUFFER(99)", "IF BUFFER(99)"), DoorCondition("AUTHORIZED", "IF AUTHORIZED"),
        DoorCondition("KEYCODE(7)", "IF KEYCODE(7) of module 3"),
        DoorCondition("NOT PRESENT", "IF NOT PRESENT"),
        DoorCondition("GROUPEMPTY(2)", "IF GROUPEMPTY(2)"),
        DoorCondition("ALLCOUNTERSEMPTY", "IF ALLCOUNTERSEMPTY"),
        DoorCondition("USEREMPTY(128)", "IF USEREMPTY(128)"),
        DoorCondition("USER(5)", "IF USER(5)"),
        DoorCondition("MODULELOST(71)", "IF MODULELOST(71)"),
        DoorCondition("BYTE1 > 3", "IF BYTE1 > 3"), DoorCondition("BYTE1 = 3", "IF BYTE1 = 3"),
        DoorCondition("BYTE2 > 3", "IF BYTE2 > 3"), DoorCondition("BYTE2 = 3", "IF BYTE2 = 3"),
        DoorCondition("OFFLINE", "IF OFFLINE"),
        Condition("PANEL.INIT", "GLOBALTAMPER = ON", "IF GLOBALTAMPER of module 0 = ON"),
        Condition("PANEL.INIT", "INPUT3 = ON", "IF INPUT3 of module 0 = ON"),
        Condition("AL-1.EXINPUT1ON", "FLAGS(FACFAIL)", "IF FLAGS(FACFAIL) of module 100"),
        Condition("PSU1.STATUSCHANGED", "FLAGS(FACPRESENT)", "IF FLAGS(FACPRESENT) of module 73"),
        // IF at 3 (6 bytes), ELSE at 9 (3 bytes): both jump to 000C.
        Form{"FRONT.VALID",
             "IF PASSED\nELSE\nENDIF\n",
             {{"IF PASSED", "IF PASSED  else -> 000C"}, {"ELSE", "ELSE  endif -> 000C"}}}));

// Every key word the compiler takes for SYSTEMKEY reads back as itself.
TEST(DisassemblerTest, ReadsEverySystemKeyWordBack) {
  int keys = 0;
  for (std::string_view keyword : Keywords()) {
    std::string statement = "P1.SYSTEMKEY = " + std::string(keyword);
    std::string script = std::string(kDeclarations) + "EVENT FRONT.VALID\n" + statement + "\n";
    std::unique_ptr<C_Compiler> compiler = testing::CompileScript(script);
    if (compiler->CountErrors() > 0) continue;
    ++keys;
    Disassembly result = Disassemble(compiler->macros(), SiteNames());
    ASSERT_EQ(result.items.size(), 3u) << statement;
    EXPECT_EQ(result.items[1].meaning, "SYSTEMKEY of module 101 = " + std::string(keyword));
  }
  EXPECT_EQ(keys, 10);
}

TEST(DisassemblerTest, NamesEventsByTheKindOfTheirModule) {
  struct Case {
    int module;
    int code;
    std::string name;
  };
  for (const Case& c : std::vector<Case>{{3, 1, "VALID"},
                                         {3, 10, "FORCEDDOOR"},
                                         {100, 10, "EXINPUT1ON"},
                                         {0, 50, "INIT"},
                                         {0, 60, "USEREVENT1"},
                                         {0, 161, "USEREVENT9"},
                                         {0, 225, "USEREVENT73"},
                                         {73, 1, "STATUSCHANGED"},
                                         {101, 1, "STATUSCHANGED"},
                                         {101, 8, "ALERT"},
                                         {3, 99, "event 99"}}) {
    EXPECT_EQ(EventName(c.module, c.code), c.name) << c.module << " " << c.code;
  }
}

TEST(DisassemblerTest, DecodesSavedEventMasksByModuleKind) {
  EXPECT_EQ(SavedDevices(0, 0x8001), (std::vector<std::string>{"INPUT1", "RELAY8"}));
  EXPECT_EQ(SavedDevices(0, 0x4000), (std::vector<std::string>{"RELAY7"}));
  EXPECT_EQ(SavedDevices(3, 0x23), (std::vector<std::string>{"CARDREADER", "INPUT1", "AUXOUTPUT"}));
  EXPECT_EQ(SavedDevices(100, 0x8101),
            (std::vector<std::string>{"EXINPUT1", "EXOUTPUT1", "EXOUTPUT8"}));
  EXPECT_EQ(SavedDevices(3, 0x40), (std::vector<std::string>{"bit 6"}));
}

TEST(DisassemblerTest, ShowsNamesBesideIds) {
  SiteNames names;
  names.modules[3] = "FRONT";
  names.registers[0] = "CNT";
  std::vector<uint8_t> code = {255, 3, 1, 0x60, 0, 9, 255, 255, 255};
  Disassembly result = Disassemble(code, names);
  ASSERT_EQ(result.items.size(), 3u);
  // Bytes in a column of six, then the meaning; instructions indented by two.
  std::string gap(11, ' ');
  EXPECT_EQ(FormatItem(result.items[0], code),
            "0000  FF 03 01" + gap + "EVENT module 3 (door FRONT) VALID\n");
  EXPECT_EQ(FormatItem(result.items[1], code), "0003  60 00 09" + gap + "  register 0 (CNT) = 9\n");
  EXPECT_EQ(FormatItem(result.items[2], code), "0006  FF FF FF" + gap + "end of code (trailer)\n");
}

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

INSTANTIATE_TEST_SUITE_P(
    Cases, DisassemblerBadCodeTest,
    ::testing::Values(
        BadCode{{255, 3, 1, 5, 33, 3, 1, 255, 255, 255}, 3, "unknown opcode 05"},
        BadCode{{255, 3, 1, 0x51, 0x1A, 0, 0, 0, 0, 255, 255, 255}, 3, "unknown condition 1A"},
        // The IF's field skips one byte from 0009: into the RELAY1 instruction.
        BadCode{{255, 3, 1, 0x51, 0x0D, 0, 0, 1, 0, 33, 3, 1, 255, 255, 255},
                3,
                "the jump to 000A lands inside the instruction at 0009"},
        BadCode{{255, 3, 1, 0x51, 0x0D, 0, 0, 0xFF, 0, 255, 255, 255},
                3,
                "the jump to 0108 lies past the end of the code (000C)"},
        BadCode{{255, 3, 1, 0x52, 4, 0, 255, 255, 255}, 3, "lies past the end"},
        BadCode{{255, 3, 1, 33, 3, 255, 255, 255}, 3, "needs 3 bytes, only 2 are left"},
        BadCode{{255, 3, 1, 33, 3, 1}, 6, "does not end with the trailer FF FF FF"},
        BadCode{{33, 3, 1, 255, 255, 255}, 0, "outside any event block"},
        BadCode{{255, 3, 255, 255, 255}, 0, "event header is cut short"}));

TEST(DisassemblerTest, ResumesAtTheNextEventHeader) {
  std::vector<uint8_t> code = {255, 3, 1, 5, 33, 3, 1, 255, 3, 2, 33, 3, 1, 255, 255, 255};
  Disassembly result = Disassemble(code, SiteNames());
  ASSERT_EQ(result.items.size(), 5u);
  EXPECT_EQ(result.items[1].kind, DecodedItem::Kind::kUndecoded);
  EXPECT_EQ(result.items[1].length, 4);
  EXPECT_EQ(result.items[2].meaning, "EVENT module 3 (door) INVALID");
  EXPECT_EQ(result.items[3].meaning, "RELAY1 of module 3 = ON");
  EXPECT_EQ(result.items[4].kind, DecodedItem::Kind::kTrailer);
}

TEST(DisassemblerTest, IndentsNestedBlocks) {
  std::unique_ptr<C_Compiler> compiler = testing::CompileScript(
      "MODULE = FRONT,3,0,2,5,30,10,1\n"
      "EVENT FRONT.VALID\nIF PASSED\nIF PRESENT\nBREAK\nENDIF\nELSE\nBREAK\nENDIF\nBREAK\n"
      "EVENTEND\n");
  Disassembly result = Disassemble(compiler->macros(), SiteNames());
  std::vector<int> depths;
  for (const DecodedItem& item : result.items) depths.push_back(item.depth);
  // header, IF, IF, BREAK, ELSE, BREAK, BREAK, trailer
  EXPECT_EQ(depths, (std::vector<int>{0, 0, 1, 2, 0, 1, 0, 0}));
}

// Every example script disassembles cleanly, each instruction within the code
// of one script line.
TEST(DisassemblerTest, ExampleScriptsRoundTrip) {
  std::filesystem::path examples = std::filesystem::path(VIGIL_SOURCE_DIR) / "examples";
  if (!std::filesystem::is_directory(examples)) GTEST_SKIP() << "no examples";
  for (const auto& entry : std::filesystem::directory_iterator(examples)) {
    if (entry.path().extension() != ".txt") continue;
    std::ifstream file(entry.path(), std::ios::binary);
    std::string source((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    C_Compiler compiler;
    compiler.set_source(source);
    compiler.Compile();
    if (compiler.CountErrors() > 0) continue;
    Disassembly result = Disassemble(compiler.macros(), SiteNames());
    EXPECT_TRUE(result.problems.empty()) << entry.path();
    for (const DecodedItem& item : result.items) {
      if (item.kind != DecodedItem::Kind::kInstruction) continue;
      bool inside = false;
      for (const LineCode& range : compiler.line_code()) {
        inside = inside || (item.offset >= range.begin && item.offset + item.length <= range.end);
      }
      EXPECT_TRUE(inside) << entry.path() << " offset " << item.offset;
    }
  }
}

}  // namespace
}  // namespace vigil
