// The declaration pass, through whole scripts: what each kind of line stores,
// which report skips a line and which ends a sub-pass, the id counters and
// their limits, the device settings and the name lookups.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/lang/diagnostics.h"
#include "support/script.h"

namespace vigil {
namespace {

using testing::CompileScript;
using testing::ErrorNumbers;

// The non-empty collections: "mod=K1:5,3,10[63/0] par=X:0=5 mark=M:0=text
// reg=R:0 tim=T:0". A module shows name:id, then typ, StrikeTime, AjarDoor,
// CardTimeout, partition, ezsid and parent up to the last that is not 0, then
// [SaveEvents/SaveUserEvents] unless both are 0.
std::string Declared(const C_Compiler& compiler) {
  std::string out;
  auto add = [&out](std::string kind, const auto& records, auto extra) {
    for (size_t i = 0; i < records.size(); ++i) {
      out += i > 0 ? ";" : out.empty() ? kind : " " + kind;
      out += records[i].name + ":" + std::to_string(records[i].id) + extra(records[i]);
    }
  };
  auto none = [](const auto&) { return ""; };
  const SymbolTable& s = compiler.symbols();
  add("mod=", s.modules.records(), [](const C_Module& m) {
    std::string f;
    for (int v : {m.typ, m.StrikeTime, m.AjarDoor, m.CardTimeout, m.partition, m.ezsid, m.parent}) {
      f += "," + std::to_string(v);
    }
    while (f.ends_with(",0")) f.resize(f.size() - 2);
    if (m.SaveEvents == 0 && m.SaveUserEvents == 0) return f;
    return f + "[" + std::to_string(m.SaveEvents) + "/" + std::to_string(m.SaveUserEvents) + "]";
  });
  add("par=", s.parameters.records(), [](const auto& r) { return "=" + std::to_string(r.value); });
  add("mark=", s.marks.records(), [](const auto& r) { return "=" + r.text; });
  add("reg=", s.registers.records(), none);
  add("tim=", s.timers.records(), none);
  return out;
}

TEST(DeclarationLineTest, WhatIsStoredSkippedOrEndsTheSubPass) {
  struct Case {
    const char* script;
    std::vector<int> errors;
    const char* declared;
  };
  const Case cases[] = {
      {"MODULE = K1,5,0,3,10,30,60,2\n", {}, "mod=K1:5,3,10,30,60,2"},
      {"module K1 = K1,5,0,3,10,30,60,2,9\n", {}, "mod=K1:5,3,10,30,60"},
      // Ids of 0 or less, 100 and 71 to 78 keep name and id only.
      {"MODULE = PANEL,0,0,3,10,30,60,2\n", {}, "mod=PANEL:0"},
      {"MODULE = PS,72,0,1,40000,1,1\n", {}, "mod=PS:72"},
      {"MODULE = AP,100,0,3,10,30,60\n", {}, "mod=AP:100"},
      {"MODULE = NEG,-3,0,3,10,30,60\n", {}, "mod=NEG:-3"},
      {"MODULE = D70,70\n", {15}, "mod=D70:70"},
      {"MODULE = D255,255,0,1,2,3,4\n", {}, "mod=D255:255,1,2,3,4"},
      {"MODULE = K3, 7abc,x,2x, 5.5,2.5 ,\n", {}, "mod=K3:7,2,6,2"},
      {"MODULE K1,5\n", {15}, "mod=MODULE K1:5"},
      {" MODULE = K2,2,0,1,2,3,4\n", {}, ""},
      {"MODULE = K1\n", {5}, ""},
      {"MODULE = K9,256\n", {11}, ""},
      {"MODULE = K9,5,0,1,2,3,4,99999\n", {11}, ""},
      {"partition P1 = P1,101,3,100,9\n", {}, "mod=P1:101,0,0,0,0,0,3,100"},
      {"PARTITION = P2,102,0\n", {5}, ""},
      {"PARTITION = P-1,300,0,100\n", {19, 11}, ""},
      // Checked in the order: too few fields, duplicate, "-" (which does not
      // skip), out of range.
      {"MODULE = K1,1,0,1,2,3,4\nPARTITION = k1,101,0,100\nMODULE = K1,2\nMODULE = K1\n"
       "PARTITION = K1,101\nPARTITION = P-1,101,0,100\nPARTITION = P-1,102,0,100\n"
       "MODULE = K1,999\n",
       {24, 24, 5, 5, 19, 24, 24},
       "mod=K1:1,1,2,3,4;P-1:101,0,0,0,0,0,0,100"},
      // DEVICE field 2 is compared as split, blanks included; bits are only
      // ever set. Errors: "K2 " (1), no field 2 (5), XX (1), no "." (2), no
      // "." before XX (2), "DEVICE K1" (1), LATE, after the first EVENT (1).
      // K1: 1 + 2 + 4 + 8 + 16 + 32; PANEL: -32768 + 256; AP: -32768 + 1.
      {"MODULE = PANEL,0\nMODULE = K1,1,0,1,2,3,4\nMODULE = K2,2,0,1,2,3,4\nMODULE = AP,100\n"
       "DEVICE = K1.INPUT1,1\nDEVICE = K1.TAMPER,1 \nDEVICE = K1.CARDREADER,1\n"
       "DEVICE = K1.CARDREADER,0\ndevice = K1.INPUT2,1\nDEVICE = k1.auxoutput,1\n"
       "DEVICE = K1.RELAY1,1,0\nDEVICE = K2.INPUT2, 1\nDEVICE = K2.AUXOUTPUT,01\n"
       "DEVICE = K2.INPUT1 ,1\n DEVICE = K2.TAMPER,1\nDEVICE = K2 .RELAY1,1\n"
       "DEVICE = K1.UserEvents,yes\nDEVICE = K1.UserEvents,0\nDEVICE = PANEL.UserEvents, 0\n"
       "DEVICE = AP.UserEvents,1\nDEVICE = AP.userevents,0\nDEVICE = K1.UserEvents\n"
       "DEVICE = XX.UserEvents,1\nDEVICE = K1INPUT1,1\nDEVICE = XXINPUT1\nDEVICE K1.INPUT2,1\n"
       "EVENT PANEL.INIT\nEVENTEND\nMODULE = LATE,3,0,1,2,3,4\nDEVICE = PANEL.OC2,1\n"
       "DEVICE = panel.relay1,1\nDEVICE = AP.EXOUTPUT8,1\nDEVICE = AP.EXINPUT1,1\n"
       "DEVICE = LATE.INPUT1,1\n",
       {1, 5, 1, 2, 2, 1, 1},
       "mod=PANEL:0[-32512/1];K1:1,1,2,3,4[63/0];K2:2,1,2,3,4;AP:100[-32767/1]"},
      {"DEFINE PARAMETER X = 2.5\n  define parameter low =300 6\n", {11}, "par=X:0=2;low:1=300"},
      {"DEFINE PARAMETER = 5\nDEFINE PARAMETER X\nDEFINE PARAMETER Y = 1 = 2\n"
       "DEFINE PARAMETER\nDEFINE PARAMETER Z = 7\n",
       {10, 10, 10},
       "par=Z:0=7"},
      {"DEFINE PARAMETER X = ABC\nDEFINE PARAMETER Y = 40000\nDEFINE PARAMETER W =\n"
       "DEFINE PARAMETER V = &H10\nDEFINE PARAMETER Z = 1\n",
       {21, 11, 21, 21},
       "par=Z:0=1"},
      {"DEFINE PARAMETER X = 32767.5\nDEFINE PARAMETER Y = -32768.5\n", {11, 11}, "par=Y:0=-32768"},
      // A sub-pass that ends leaves the others alone.
      {"DEFINE PARAMETER X = 1\nDEFINE PARAMETER x = 2\nDEFINE PARAMETER Z = 3\n"
       "DEFINE MARK M = t\nDEFINE REGISTER R\n",
       {24},
       "par=X:0=1 mark=M:0=t reg=R:0"},
      {"MODULE = K1,0\nDEFINE PARAMETER k1 = 1\nDEFINE PARAMETER Z = 3\n", {24}, "mod=K1:0"},
      {"DEFINE PARAMETER A.B = 1\nDEFINE PARAMETER Z = 3\n", {19}, ""},
      {"DEFINE PARAMETER ( =\nDEFINE PARAMETER Z = 3\n", {10}, ""},
      {"DEFINE PARAMETERX = 1\n", {}, ""},
      {"DEFINE MARK A\nDEFINE MARK B = a = b\nDEFINE MARK C =  a,b  \n", {7, 7}, "mark=C:0=a,b"},
      {"DEFINE MARK M1 = a\nDEFINE MARK m1 = b\nDEFINE MARK M3 = c\n", {24}, "mark=M1:0=a"},
      // Parameters are collected first, wherever their lines stand.
      {"DEFINE MARK X = a\nDEFINE MARK Y = b\nDEFINE PARAMETER X = 1\n", {24}, "par=X:0=1"},
      {"MODULE = X,0\nDEFINE MARK x = a\n", {24}, "mod=X:0"},
      {"DEFINE REGISTER R1 x\nDEFINE TIMER T1\nDEFINE REGISTER R2\n", {}, "reg=R1:0;R2:1 tim=T1:0"},
      // A register may repeat a timer (timers come later), not the reverse.
      {"DEFINE TIMER T1\nDEFINE REGISTER T1\nDEFINE TIMER T2\n", {24}, "reg=T1:0"},
      {"DEFINE MARK X = a\nDEFINE REGISTER X\n", {24}, "mark=X:0=a"},
      {"MODULE = X,0\nDEFINE TIMER x\nDEFINE REGISTER Y\n", {24}, "mod=X:0 reg=Y:0"},
      {"DEFINE REGISTER R1\nDEFINE TIMER r1\nDEFINE REGISTER r1\n", {24, 24}, "reg=R1:0"},
      {"DEFINE REGISTER \nDEFINE REGISTER R2\nDEFINE TIMER T1\n", {10}, "tim=T1:0"},
      {"DEFINE REGISTER R.1\nDEFINE REGISTER R2\n", {19}, ""},
      // The keyword ends the line, so the next word taken is the keyword again.
      {"DEFINE REGISTER\n", {}, "reg=REGISTER:0"},
  };
  for (const Case& c : cases) {
    auto compiler = CompileScript(c.script);
    EXPECT_EQ(ErrorNumbers(*compiler), c.errors) << c.script;
    EXPECT_EQ(Declared(*compiler), c.declared) << c.script;
  }
}

TEST(ModuleLineTest, CollectionEndsAtTheFirstEventLine) {
  // A tab is not trimmed; the other kinds are read from the whole file.
  for (std::string stop : {"   event PANEL.INIT", "EVENTS", "\tEVENT PANEL.INIT", "; EVENT"}) {
    auto compiler = CompileScript("MODULE = PANEL,0\n" + stop +
                                  "\nMODULE = LATE,1,0,1,2,3,4\nDEFINE PARAMETER X = 1\n");
    std::string late = stop[0] == '\t' || stop[0] == ';' ? ";LATE:1,1,2,3,4" : "";
    EXPECT_EQ(Declared(*compiler), "mod=PANEL:0" + late + " par=X:0=1") << stop;
  }
}

// Errors come in sub-pass order, not in line order, and carry line 0 and no
// text in the error file while the diagnostic keeps the physical line.
TEST(DeclarationPassTest, ReportsInSubPassOrder) {
  auto compiler = CompileScript(
      "DEVICE = K1INPUT1,1\nDEFINE TIMER T-1\nDEFINE REGISTER R-1\nDEFINE MARK M1\n"
      "DEFINE PARAMETER P = X\nMODULE = K1\n");
  EXPECT_EQ(ErrorNumbers(*compiler), (std::vector<int>{5, 21, 7, 19, 19, 2}));
  std::string got;  // physical:counted, then the text
  for (const Diagnostic& d : compiler->diagnostics()) {
    got += std::to_string(d.physical_line) + ":" + std::to_string(d.counted_line) +
           std::string(d.error_file_text) + " ";
  }
  EXPECT_EQ(got, "6:0 5:0 4:0 3:0 2:0 1:0 ");
  EXPECT_EQ(ErrorFileLine(compiler->diagnostics()[0]), "0000100000%Missing commnad parameters");
}

std::string Lines(const char* prefix, int count, const char* suffix) {
  std::string script;
  for (int i = 0; i < count; ++i) script += prefix + std::to_string(i) + suffix + "\n";
  return script;
}

TEST(DeclarationPassTest, LimitsReportOnceAtTheTwoHundredFiftySixth) {
  // A rejected value takes no id, so the 256th stored parameter is on line
  // 257; it reports its limit before its value, and the 257th nothing.
  auto compiler =
      CompileScript("DEFINE PARAMETER BAD = X\n" + Lines("DEFINE PARAMETER P", 255, " = 1") +
                    "DEFINE PARAMETER LAST = 300\nDEFINE PARAMETER MORE = 1\n");
  EXPECT_EQ(ErrorNumbers(*compiler), (std::vector<int>{21, 9, 11}));
  EXPECT_EQ(compiler->diagnostics()[1].physical_line, 257);
  EXPECT_EQ(compiler->symbols().parameters.records().back().id, 256);
  compiler = CompileScript(Lines("DEFINE MARK M", 258, " = text"));
  EXPECT_EQ(ErrorNumbers(*compiler), std::vector<int>{8});
  EXPECT_EQ(compiler->diagnostics()[0].physical_line, 256);
  EXPECT_EQ(compiler->symbols().marks.records().back().id, 257);
  // Registers and timers have no limit; ids stop at 32767, the largest a
  // record holds.
  compiler =
      CompileScript(Lines("DEFINE REGISTER R", 300, "") + Lines("DEFINE TIMER T", 32770, ""));
  EXPECT_TRUE(ErrorNumbers(*compiler).empty());
  EXPECT_EQ(compiler->symbols().registers.records().back().id, 299);
  EXPECT_EQ(compiler->symbols().timers.records().back().id, 32767);
}

}  // namespace
}  // namespace vigil
