// The declaration pass, through whole scripts: what each kind of line stores,
// which report skips a line and which ends a sub-pass, the id counters and
// their limits, the device settings and the name lookups.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "compiler/diagnostics.h"
#include "support/script.h"

namespace vigil {
namespace {

using testing::CompileScript;
using testing::ErrorNumbers;

// id, typ, StrikeTime, AjarDoor, CardTimeout, partition, ezsid, parent.
using ModuleFields = std::array<int, 8>;

ModuleFields FieldsOf(const C_Module& m) {
  return {m.id, m.typ, m.StrikeTime, m.AjarDoor, m.CardTimeout, m.partition, m.ezsid, m.parent};
}

std::vector<std::string> Names(const auto& collection) {
  std::vector<std::string> names;
  for (const auto& record : collection.records()) names.push_back(record.name);
  return names;
}

std::vector<int> Ids(const auto& collection) {
  std::vector<int> ids;
  for (const auto& record : collection.records()) ids.push_back(record.id);
  return ids;
}

TEST(ModuleLineTest, FieldsStoredByKindOfId) {
  struct Case {
    const char* line;
    std::vector<int> errors;
    std::string name;  // empty: nothing stored
    ModuleFields fields;
  };
  const Case cases[] = {
      {"MODULE = K1,5,0,3,10,30,60", {}, "K1", {5, 3, 10, 30, 60, 0, 0, 0}},
      {"MODULE = K1,5,0,3,10,30,60,2", {}, "K1", {5, 3, 10, 30, 60, 2, 0, 0}},
      {"MODULE = K1,5,0,3,10,30,60,2,9", {}, "K1", {5, 3, 10, 30, 60, 0, 0, 0}},
      {"MODULE K1 = K1,5,0,3,10,30,60", {}, "K1", {5, 3, 10, 30, 60, 0, 0, 0}},
      {"module = K1,5,0,3,10,30,60", {}, "K1", {5, 3, 10, 30, 60, 0, 0, 0}},
      // Ids of 0 or less, 100 and 71 to 78 keep name and id only.
      {"MODULE = PANEL,0,0,3,10,30,60,2", {}, "PANEL", {0, 0, 0, 0, 0, 0, 0, 0}},
      {"MODULE = EXP1,72,0,3,10,30,60", {}, "EXP1", {72, 0, 0, 0, 0, 0, 0, 0}},
      {"MODULE = AP,100,0,3,10,30,60", {}, "AP", {100, 0, 0, 0, 0, 0, 0, 0}},
      {"MODULE = NEG,-3,0,3,10,30,60", {}, "NEG", {-3, 0, 0, 0, 0, 0, 0, 0}},
      {"MODULE = PS,72,0,1,40000,1,1", {}, "PS", {72, 0, 0, 0, 0, 0, 0, 0}},
      // Door ids (70 and 79 to 255 count too) need seven fields.
      {"MODULE = K2,5,0", {15}, "K2", {5, 0, 0, 0, 0, 0, 0, 0}},
      {"MODULE = D70,70", {15}, "D70", {70, 0, 0, 0, 0, 0, 0, 0}},
      {"MODULE = K9,5,0,1,40000", {15}, "K9", {5, 0, 0, 0, 0, 0, 0, 0}},
      {"MODULE = D255,255,0,1,2,3,4", {}, "D255", {255, 1, 2, 3, 4, 0, 0, 0}},
      // Lenient numbers: leading blanks, numeric prefix, halves to even.
      {"MODULE = K3, 7abc,x,2x, 5.5,2.5 ,", {}, "K3", {7, 2, 6, 2, 0, 0, 0, 0}},
      {"MODULE = K4,4.5,0,1,2,3,4", {}, "K4", {4, 1, 2, 3, 4, 0, 0, 0}},
      // The name is field 1 as split; without "=" the keyword is part of it.
      {"MODULE = K1 ,1,0,1,2,3,4", {}, "K1 ", {1, 1, 2, 3, 4, 0, 0, 0}},
      {"MODULE K1,5", {15}, "MODULE K1", {5, 0, 0, 0, 0, 0, 0, 0}},
      // Too few fields (5), values that do not fit or ids above 255 (11).
      {"MODULE = K1", {5}, "", {}},
      {"MODULE =", {5}, "", {}},
      {"MODULE = K9,256", {11}, "", {}},
      {"MODULE = K9,1E3,0,1,2,3,4", {11}, "", {}},
      {"MODULE = K9,32767.5", {11}, "", {}},
      {"MODULE = K9,-32769", {11}, "", {}},
      {"MODULE = K9,5,0,1,40000,1,1", {11}, "", {}},
      {"MODULE = K9,5,0,1,2,3,4,99999", {11}, "", {}},
      {"MODULE = K9,5,0,1,2,3,4,99999,7", {}, "K9", {5, 1, 2, 3, 4, 0, 0, 0}},
      // Partitions: name, id, ezsid, parent.
      {"PARTITION = P1,101,3,100", {}, "P1", {101, 0, 0, 0, 0, 0, 3, 100}},
      {"PARTITION P1 = P1,101,3,100,9", {}, "P1", {101, 0, 0, 0, 0, 0, 3, 100}},
      {"partition = P1,-5,0,100", {}, "P1", {-5, 0, 0, 0, 0, 0, 0, 100}},
      {"PARTITION = P-1,101,0,100", {19}, "P-1", {101, 0, 0, 0, 0, 0, 0, 100}},
      {"PARTITION = P2,102,0", {5}, "", {}},
      {"PARTITION = P-1,300,0,100", {19, 11}, "", {}},
      {"PARTITION = P1,101,0,40000", {11}, "", {}},
      {"PARTITION = P1,256,0,100", {11}, "", {}},
  };
  for (const Case& c : cases) {
    auto compiler = CompileScript(std::string(c.line) + "\n");
    EXPECT_EQ(ErrorNumbers(*compiler), c.errors) << c.line;
    const auto& modules = compiler->symbols().modules;
    if (c.name.empty()) {
      EXPECT_TRUE(modules.empty()) << c.line;
      continue;
    }
    ASSERT_EQ(modules.size(), 1u) << c.line;
    EXPECT_EQ(modules.records()[0].name, c.name) << c.line;
    EXPECT_EQ(FieldsOf(modules.records()[0]), c.fields) << c.line;
  }
}

// Checked in the order: too few fields, duplicate, "-" (which does not skip),
// out of range.
TEST(ModuleLineTest, DuplicatesAndTheOrderOfChecks) {
  auto compiler = CompileScript(
      "MODULE = K1,1,0,1,2,3,4\n"
      "PARTITION = k1,101,0,100\n"
      "MODULE = K1,2\n"
      "MODULE = K1\n"
      "PARTITION = K1,101\n"
      "PARTITION = P-1,101,0,100\n"
      "PARTITION = P-1,102,0,100\n"
      "MODULE = K1,999\n");
  EXPECT_EQ(ErrorNumbers(*compiler), (std::vector<int>{24, 24, 5, 5, 19, 24, 24}));
  EXPECT_EQ(Names(compiler->symbols().modules), (std::vector<std::string>{"K1", "P-1"}));
  EXPECT_EQ(Ids(compiler->symbols().modules), (std::vector<int>{1, 101}));
}

TEST(ModuleLineTest, CollectionEndsAtTheFirstEventLine) {
  struct Case {
    const char* stop_line;
    std::vector<std::string> modules;
  };
  const Case cases[] = {
      {"EVENT PANEL.INIT", {"PANEL"}},
      {"   event PANEL.INIT", {"PANEL"}},
      {"EVENTEND", {"PANEL"}},
      {"EVENTS", {"PANEL"}},
      {"\tEVENT PANEL.INIT", {"PANEL", "LATE", "P1"}},  // a tab is not trimmed
      {"; EVENT", {"PANEL", "LATE", "P1"}},
  };
  for (const Case& c : cases) {
    auto compiler = CompileScript(std::string("MODULE = PANEL,0\n") + c.stop_line +
                                  "\n"
                                  "MODULE = LATE,1,0,1,2,3,4\n"
                                  "PARTITION = P1,101,0,100\n"
                                  "DEFINE PARAMETER X = 1\n");
    EXPECT_EQ(Names(compiler->symbols().modules), c.modules) << c.stop_line;
    // The other kinds are read from the whole file.
    EXPECT_EQ(Names(compiler->symbols().parameters), (std::vector<std::string>{"X"}));
  }
  auto compiler = CompileScript(
      "MODULE = PANEL,0\n"
      "EVENT PANEL.INIT\n"
      "EVENTEND\n"
      "MODULE = LATE,1,0,1,2,3,4\n"
      "DEVICE = PANEL.INPUT2,1\n"
      "DEVICE = LATE.INPUT1,1\n");
  EXPECT_EQ(ErrorNumbers(*compiler), std::vector<int>{1});
  EXPECT_EQ(compiler->symbols().modules.Find("PANEL")->SaveEvents, 2);
}

TEST(ModuleLineTest, IndentedDeclarationLinesAreNotRecognised) {
  auto compiler = CompileScript(
      "MODULE = K1,1,0,1,2,3,4\n"
      " MODULE = K2,2,0,1,2,3,4\n"
      " PARTITION = P1,101,0,100\n"
      " DEVICE = K1.INPUT1,1\n"
      "   DEFINE REGISTER R1\n");
  EXPECT_TRUE(ErrorNumbers(*compiler).empty());
  EXPECT_EQ(Names(compiler->symbols().modules), std::vector<std::string>{"K1"});
  EXPECT_EQ(compiler->symbols().modules.Find("K1")->SaveEvents, 0);
  EXPECT_EQ(Names(compiler->symbols().registers), std::vector<std::string>{"R1"});
}

struct KindCase {
  const char* script;
  std::vector<int> errors;
  std::vector<std::string> names;
  std::vector<int> ids;
};

TEST(ParameterLineTest, SkipsAndEnds) {
  const KindCase cases[] = {
      {"DEFINE PARAMETER X = 300\n", {11}, {"X"}, {0}},
      {"DEFINE PARAMETER X = 2.5\nDEFINE PARAMETER Y=3.5\n  define parameter low =5 6\n",
       {},
       {"X", "Y", "low"},
       {0, 1, 2}},
      // Skipped lines: no "=" after the keyword, a name-less one, not exactly
      // one "=".
      {"DEFINE PARAMETER = 5\nDEFINE PARAMETER X\nDEFINE PARAMETER Y = 1 = 2\n"
       "DEFINE PARAMETER\nDEFINE PARAMETER Z = 7\n",
       {10, 10, 10},
       {"Z"},
       {0}},
      // Values: not numeric (21) or not 16-bit (11) store nothing and take no id.
      {"DEFINE PARAMETER X = ABC\nDEFINE PARAMETER Y = 40000\nDEFINE PARAMETER W =\n"
       "DEFINE PARAMETER V = &H10\nDEFINE PARAMETER Z = 1\n",
       {21, 11, 21, 21},
       {"Z"},
       {0}},
      {"DEFINE PARAMETER X = 32767.5\nDEFINE PARAMETER Y = -32768.5\n", {11, 11}, {"Y"}, {0}},
      // Reports that end the sub-pass.
      {"DEFINE PARAMETER X = 1\nDEFINE PARAMETER x = 2\nDEFINE PARAMETER Z = 3\n",
       {24},
       {"X"},
       {0}},
      {"MODULE = K1,0\nDEFINE PARAMETER k1 = 1\nDEFINE PARAMETER Z = 3\n", {24}, {}, {}},
      {"DEFINE PARAMETER A.B = 1\nDEFINE PARAMETER Z = 3\n", {19}, {}, {}},
      {"DEFINE PARAMETER A-B = 1\nDEFINE PARAMETER Z = 3\n", {19}, {}, {}},
      {"DEFINE PARAMETER ( =\nDEFINE PARAMETER Z = 3\n", {10}, {}, {}},
      {"DEFINE PARAMETERX = 1\n", {}, {}, {}},
  };
  for (const KindCase& c : cases) {
    auto compiler = CompileScript(c.script);
    EXPECT_EQ(ErrorNumbers(*compiler), c.errors) << c.script;
    EXPECT_EQ(Names(compiler->symbols().parameters), c.names) << c.script;
    EXPECT_EQ(Ids(compiler->symbols().parameters), c.ids) << c.script;
  }
  auto compiler = CompileScript("DEFINE PARAMETER X = 2.5\nDEFINE PARAMETER Y = -32768.5\n");
  EXPECT_EQ(compiler->symbols().parameters.records()[0].value, 2);
  EXPECT_EQ(compiler->symbols().parameters.records()[1].value, -32768);
}

TEST(MarkLineTest, SkipsAndEnds) {
  const KindCase cases[] = {
      {"DEFINE MARK M1\nDEFINE MARK M2 = a = b\nDEFINE MARK M3 = c\n", {7, 7}, {"M3"}, {0}},
      {"DEFINE MARK ( =\nDEFINE MARK M3 = c\n", {10}, {}, {}},
      {"DEFINE MARK M-1 = x\nDEFINE MARK M3 = c\n", {19}, {}, {}},
      {"DEFINE MARK M1 = a\nDEFINE MARK m1 = b\nDEFINE MARK M3 = c\n", {24}, {"M1"}, {0}},
      // Parameters are collected first, wherever their lines stand.
      {"DEFINE MARK X = a\nDEFINE MARK Y = b\nDEFINE PARAMETER X = 1\n", {24}, {}, {}},
      {"MODULE = X,0\nDEFINE MARK x = a\n", {24}, {}, {}},
  };
  for (const KindCase& c : cases) {
    auto compiler = CompileScript(c.script);
    EXPECT_EQ(ErrorNumbers(*compiler), c.errors) << c.script;
    EXPECT_EQ(Names(compiler->symbols().marks), c.names) << c.script;
    EXPECT_EQ(Ids(compiler->symbols().marks), c.ids) << c.script;
  }
  auto compiler = CompileScript(
      "DEFINE MARK M1 = Door opened\nDEFINE MARK M2 =  a,b  \n"
      "DEFINE MARK M3 =\n");
  ASSERT_EQ(compiler->symbols().marks.size(), 3u);
  EXPECT_EQ(compiler->symbols().marks.records()[0].text, "Door opened");
  EXPECT_EQ(compiler->symbols().marks.records()[1].text, "a,b");
  EXPECT_EQ(compiler->symbols().marks.records()[2].text, "");
}

TEST(RegisterAndTimerLineTest, SkipsAndEnds) {
  struct Case {
    const char* script;
    std::vector<int> errors;
    std::vector<std::string> registers;
    std::vector<std::string> timers;
  };
  const Case cases[] = {
      {"DEFINE REGISTER R1 extra words\nDEFINE TIMER T1\nDEFINE REGISTER R2\n",
       {},
       {"R1", "R2"},
       {"T1"}},
      // A register may repeat a timer (timers come later), not the reverse.
      {"DEFINE TIMER T1\nDEFINE REGISTER T1\nDEFINE TIMER T2\n", {24}, {"T1"}, {}},
      {"DEFINE REGISTER X\nDEFINE PARAMETER X = 1\nDEFINE REGISTER Y\n", {24}, {}, {}},
      {"DEFINE MARK X = a\nDEFINE REGISTER X\n", {24}, {}, {}},
      {"MODULE = X,0\nDEFINE TIMER x\nDEFINE REGISTER Y\n", {24}, {"Y"}, {}},
      {"DEFINE REGISTER R1\nDEFINE TIMER r1\nDEFINE REGISTER r1\n", {24, 24}, {"R1"}, {}},
      {"DEFINE REGISTER \nDEFINE REGISTER R2\nDEFINE TIMER T1\n", {10}, {}, {"T1"}},
      {"DEFINE REGISTER R.1\nDEFINE REGISTER R2\n", {19}, {}, {}},
      // The keyword ends the line, so the next word taken is the keyword again.
      {"DEFINE REGISTER\n", {}, {"REGISTER"}, {}},
  };
  for (const Case& c : cases) {
    auto compiler = CompileScript(c.script);
    EXPECT_EQ(ErrorNumbers(*compiler), c.errors) << c.script;
    EXPECT_EQ(Names(compiler->symbols().registers), c.registers) << c.script;
    EXPECT_EQ(Names(compiler->symbols().timers), c.timers) << c.script;
  }
  auto compiler =
      CompileScript("DEFINE REGISTER A\nDEFINE TIMER B\nDEFINE REGISTER C\nDEFINE TIMER D\n");
  EXPECT_EQ(Ids(compiler->symbols().registers), (std::vector<int>{0, 1}));
  EXPECT_EQ(Ids(compiler->symbols().timers), (std::vector<int>{0, 1}));
}

// Errors come in sub-pass order, not in line order, and carry line 0 and no
// text in the error file while the diagnostic keeps the physical line.
TEST(DeclarationPassTest, ReportsInSubPassOrder) {
  auto compiler = CompileScript(
      "DEVICE = K1INPUT1,1\n"
      "DEFINE TIMER T-1\n"
      "DEFINE REGISTER R-1\n"
      "DEFINE MARK M1\n"
      "DEFINE PARAMETER P = X\n"
      "MODULE = K1\n");
  EXPECT_EQ(ErrorNumbers(*compiler), (std::vector<int>{5, 21, 7, 19, 19, 2}));
  std::vector<int> physical;
  for (const Diagnostic& d : compiler->diagnostics()) {
    physical.push_back(d.physical_line);
    EXPECT_EQ(d.counted_line, 0);
    EXPECT_EQ(d.legacy_text, "");
  }
  EXPECT_EQ(physical, (std::vector<int>{6, 5, 4, 3, 2, 1}));
  EXPECT_EQ(LegacyErrorLine(compiler->diagnostics()[0]), "0000100000%Missing commnad parameters");
}

TEST(DeclarationPassTest, PhysicalLineCountsLoneLineFeeds) {
  C_Compiler compiler;
  compiler.set_source("DEFINE REGISTER A\n B\r\nDEFINE REGISTER A\r\n");
  compiler.Compile();
  ASSERT_EQ(ErrorNumbers(compiler), std::vector<int>{24});
  EXPECT_EQ(compiler.diagnostics()[0].physical_line, 3);
  EXPECT_EQ(LegacyErrorLine(compiler.diagnostics()[0]), "0000100000%Duplicate name");
}

// One sub-pass ending early leaves the others alone.
TEST(DeclarationPassTest, AnEndedSubPassLeavesTheOthers) {
  auto compiler = CompileScript(
      "DEFINE PARAMETER X = 1\nDEFINE PARAMETER X = 2\nDEFINE MARK M = t\n"
      "DEFINE PARAMETER Y = 1\nDEFINE REGISTER R\n");
  EXPECT_EQ(ErrorNumbers(*compiler), std::vector<int>{24});
  EXPECT_EQ(Names(compiler->symbols().parameters), std::vector<std::string>{"X"});
  EXPECT_EQ(Names(compiler->symbols().marks), std::vector<std::string>{"M"});
  EXPECT_EQ(Names(compiler->symbols().registers), std::vector<std::string>{"R"});
}

std::string Lines(const char* prefix, int count, const char* suffix) {
  std::string script;
  for (int i = 0; i < count; ++i) {
    script += prefix + std::to_string(i) + suffix + "\n";
  }
  return script;
}

TEST(DeclarationPassTest, LimitsReportOnceAtTheTwoHundredFiftySixth) {
  // A rejected value takes no id, so the 256th stored parameter is on line 257.
  auto compiler =
      CompileScript("DEFINE PARAMETER BAD = X\n" + Lines("DEFINE PARAMETER P", 257, " = 1"));
  EXPECT_EQ(ErrorNumbers(*compiler), (std::vector<int>{21, 9}));
  EXPECT_EQ(compiler->diagnostics()[1].physical_line, 257);
  const auto& parameters = compiler->symbols().parameters.records();
  ASSERT_EQ(parameters.size(), 257u);
  EXPECT_EQ(parameters[255].id, 255);
  EXPECT_EQ(parameters[256].id, 256);

  // The 256th reports its limit before its value.
  compiler =
      CompileScript(Lines("DEFINE PARAMETER P", 255, " = 1") + "DEFINE PARAMETER LAST = 300\n");
  EXPECT_EQ(ErrorNumbers(*compiler), (std::vector<int>{9, 11}));

  compiler = CompileScript(Lines("DEFINE MARK M", 258, " = text"));
  EXPECT_EQ(ErrorNumbers(*compiler), std::vector<int>{8});
  EXPECT_EQ(compiler->diagnostics()[0].physical_line, 256);
  EXPECT_EQ(compiler->symbols().marks.records().back().id, 257);

  compiler = CompileScript(Lines("DEFINE REGISTER R", 300, "") + Lines("DEFINE TIMER T", 300, ""));
  EXPECT_TRUE(ErrorNumbers(*compiler).empty());
  EXPECT_EQ(compiler->symbols().registers.records().back().id, 299);
  EXPECT_EQ(compiler->symbols().timers.records().back().id, 299);
}

TEST(DeviceLineTest, BitsAndUserEvents) {
  auto compiler = CompileScript(
      "MODULE = PANEL,0\n"
      "MODULE = K1,1,0,1,2,3,4\n"
      "MODULE = K2,2,0,1,2,3,4\n"
      "MODULE = AP,100\n"
      "DEVICE = K1.INPUT1,1\n"
      "DEVICE = K1.TAMPER,1 \n"  // the rest is trimmed: "1"
      "DEVICE = K1.RELAY1,1,0\n"
      "DEVICE = K1.CARDREADER,1\n"
      "DEVICE = K1.CARDREADER,0\n"  // never clears
      "device = K1.INPUT2,1\n"
      "DEVICE = k1.auxoutput,1\n"
      "DEVICE = K2.INPUT2, 1\n"  // field 2 is " 1"
      "DEVICE = K2.AUXOUTPUT,01\n"
      "DEVICE = K2.CARDREADER,0\n"
      "DEVICE = K2.INPUT3,1\n"   // no such door device
      "DEVICE = K2.INPUT1 ,1\n"  // device "INPUT1 "
      " DEVICE = K2.TAMPER,1\n"  // not a DEVICE line
      "DEVICE = K2 .RELAY1,1\n"  // module "K2 ": error 1
      "DEVICE = PANEL.OC2,1\n"
      "DEVICE = panel.relay1,1\n"
      "DEVICE = AP.EXOUTPUT8,1\n"
      "DEVICE = AP.EXINPUT1,1\n"
      "DEVICE = K1.UserEvents,yes\n"
      "DEVICE = K1.UserEvents,0\n"
      "DEVICE = PANEL.UserEvents, 0\n"  // not exactly "0"
      "DEVICE = AP.UserEvents,1\n"
      "DEVICE = AP.userevents,0\n"  // not exactly "UserEvents"
      "DEVICE = K1.UserEvents\n"    // no field 2: error 5
      "DEVICE = XX.UserEvents,1\n"  // error 1
      "DEVICE = K1INPUT1,1\n"       // error 2
      "DEVICE = XXINPUT1\n"         // error 2 before 1
      "DEVICE K1.INPUT2,1\n");      // module "DEVICE K1": error 1
  EXPECT_EQ(ErrorNumbers(*compiler), (std::vector<int>{1, 5, 1, 2, 2, 1}));
  const auto& modules = compiler->symbols().modules;
  EXPECT_EQ(modules.Find("K1")->SaveEvents, 1 + 2 + 4 + 8 + 16 + 32);
  EXPECT_EQ(modules.Find("K2")->SaveEvents, 0);
  EXPECT_EQ(modules.Find("PANEL")->SaveEvents, -32768 + 256);
  EXPECT_EQ(modules.Find("AP")->SaveEvents, -32768 + 1);
  EXPECT_EQ(modules.Find("K1")->SaveUserEvents, 0);
  EXPECT_EQ(modules.Find("K2")->SaveUserEvents, 0);
  EXPECT_EQ(modules.Find("PANEL")->SaveUserEvents, 1);
  EXPECT_EQ(modules.Find("AP")->SaveUserEvents, 1);
}

TEST(LookupTest, CaseAndTrimmingRules) {
  auto compiler = CompileScript(
      "MODULE = K1,1,0,1,2,3,4\n"
      "MODULE = K2 ,2,0,1,2,3,4\n"
      "DEFINE REGISTER R1\n"
      "DEFINE TIMER T1\n"
      "DEFINE MARK M1 = x\n"
      "DEFINE PARAMETER P1 = 1\n");
  const C_Compiler& c = *compiler;
  EXPECT_TRUE(c.IsModuleName("k1"));
  EXPECT_FALSE(c.IsModuleName("K1 "));
  EXPECT_FALSE(c.IsModuleName("K2"));
  EXPECT_TRUE(c.IsModuleName("k2 "));
  EXPECT_TRUE(c.IsRegistrName(" R1 "));
  EXPECT_TRUE(c.IsRegistrName("r1"));
  EXPECT_FALSE(c.IsRegistrName("R"));
  ASSERT_NE(c.GetRegister(" r1 "), nullptr);
  EXPECT_EQ(c.GetRegister(" r1 ")->name, "R1");
  EXPECT_EQ(c.GetRegister("R9"), nullptr);
  EXPECT_TRUE(c.IsTimerName("t1"));
  EXPECT_FALSE(c.IsTimerName(" T1"));
  EXPECT_TRUE(c.IsMarkName("m1"));
  EXPECT_FALSE(c.IsMarkName("M1 "));
  EXPECT_TRUE(c.IsParameterName("p1"));
  EXPECT_FALSE(c.IsParameterName("P1 "));
  EXPECT_FALSE(c.IsTimerName("R1"));

  auto empty = CompileScript("");
  EXPECT_FALSE(empty->IsModuleName(""));
  EXPECT_FALSE(empty->IsRegistrName(""));
  EXPECT_FALSE(empty->IsTimerName("T1"));
  EXPECT_FALSE(empty->IsMarkName("M1"));
  EXPECT_FALSE(empty->IsParameterName("P1"));
  EXPECT_EQ(empty->GetRegister("R1"), nullptr);

  for (const char* ls : {"INPUT3", "TAMPER", "INPUTX", "TAMPERED"}) {
    EXPECT_TRUE(C_Compiler::IsReadOnlyProperty(ls)) << ls;
  }
  for (const char* ls : {"input3", "Tamper", "RELAY1", "", " INPUT1", "K1.INPUT1"}) {
    EXPECT_FALSE(C_Compiler::IsReadOnlyProperty(ls)) << ls;
  }
}

// Lookups are indexed: 100 000 declarations, each checked against every
// collection before it, compile in about a second (a scan per lookup would
// take minutes). Ids stop at 32767, the largest a record holds.
TEST(DeclarationPassTest, ManyDeclarationsStayLinear) {
  constexpr int kCount = 50000;
  auto compiler =
      CompileScript(Lines("DEFINE REGISTER R", kCount, "") + Lines("DEFINE TIMER T", kCount, ""));
  EXPECT_TRUE(ErrorNumbers(*compiler).empty());
  EXPECT_EQ(compiler->symbols().registers.size(), static_cast<size_t>(kCount));
  EXPECT_EQ(compiler->symbols().timers.records().back().id, 32767);
  EXPECT_TRUE(compiler->IsTimerName("t49999"));
}

}  // namespace
}  // namespace vigil
