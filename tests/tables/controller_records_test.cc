#include "tables/controller_records.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/download_file.h"
#include "support/script.h"

namespace vigil {
namespace {

using testing::CompileScript;
using Records = std::vector<std::string>;

// The records without the padding of empty strings.
Records NonEmpty(const Records& records) {
  Records kept;
  for (const std::string& record : records) {
    if (!record.empty()) kept.push_back(record);
  }
  return kept;
}

TEST(ControllerRecordsTest, EmptyCollections) {
  auto compiler = CompileScript("");
  EXPECT_EQ(compiler->DefineParameters(), Records{""});
  EXPECT_EQ(compiler->ModuleParameters(), Records{""});
  EXPECT_EQ(compiler->PartitionTree(), "122;42;42;42;42;42;42;42;42");
}

TEST(ControllerRecordsTest, ParameterRecords) {
  auto compiler =
      CompileScript("DEFINE PARAMETER A = 30\nDEFINE PARAMETER B = 300\nDEFINE PARAMETER C = -1\n");
  EXPECT_EQ(compiler->DefineParameters(),
            (Records{"11;254;0;30;0;", "11;254;1;300;0;", "11;254;2;-1;0;"}));
}

TEST(ControllerRecordsTest, DoorModuleRecordsInItemOrder) {
  SymbolTable symbols;
  symbols.modules.Add({.id = 3,
                       .name = "D3",
                       .StrikeTime = 0,
                       .AjarDoor = 30,
                       .CardTimeout = 10,
                       .SaveEvents = 263,
                       .typ = 2,
                       .partition = 1});
  EXPECT_EQ(ModuleParameters(symbols),
            (Records{"11;3;1;2;0;", "11;3;4;2;0;", "11;3;5;30;0;", "11;3;6;10;0;", "11;3;7;1;0;",
                     "11;3;0;7;1;", "", ""}));
  EXPECT_EQ(symbols.modules.records()[0].StrikeTime, 2);
}

TEST(ControllerRecordsTest, StrikeTimeRaisedToTwo) {
  struct Case {
    int16_t strike;
    const char* record;
  };
  for (const Case& c : {Case{-3, "11;9;4;2;0;"}, Case{0, "11;9;4;2;0;"}, Case{1, "11;9;4;2;0;"},
                        Case{2, "11;9;4;2;0;"}, Case{5, "11;9;4;5;0;"}}) {
    SymbolTable symbols;
    symbols.modules.Add({.id = 9, .name = "D", .StrikeTime = c.strike});
    EXPECT_EQ(ModuleParameters(symbols)[1], c.record) << c.strike;
  }
}

// A 16-bit mask as low and high byte, bit 15 included, for the controller's
// two masks.
TEST(ControllerRecordsTest, MaskBytes) {
  struct Case {
    int16_t mask;
    const char* bytes;
  };
  for (const Case& c : {Case{0, "0;0;"}, Case{263, "7;1;"}, Case{-32768, "0;128;"},
                        Case{-1, "255;255;"}, Case{32767, "255;127;"}, Case{-256, "0;255;"}}) {
    SymbolTable symbols;
    symbols.modules.Add({.id = 0, .name = "PANEL", .SaveEvents = c.mask, .SaveUserEvents = c.mask});
    EXPECT_EQ(NonEmpty(ModuleParameters(symbols)),
              (Records{std::string("11;0;0;") + c.bytes, std::string("11;0;1;") + c.bytes}))
        << c.mask;
  }
}

// Only the controller, door modules (1 to 69) and the alarm panel give
// records; the list holds six places per module and two more.
TEST(ControllerRecordsTest, RecordsByModuleKind) {
  auto compiler = CompileScript(
      "MODULE = PANEL,0\n"
      "MODULE = D69,69,0,4,1,3,5,2\n"
      "MODULE = D70,70,0,1,2,3,4\n"
      "MODULE = PS,71\n"
      "MODULE = AP,100\n"
      "PARTITION = P1,101,0,100\n"
      "MODULE = X,255,0,1,2,3,4\n"
      "DEVICE = PANEL.OC2,1\n"
      "DEVICE = PANEL.INPUT1,1\n"
      "DEVICE = PANEL.UserEvents,1\n"
      "DEVICE = D69.CARDREADER,1\n"
      "DEVICE = D69.AUXOUTPUT,1\n"
      "DEVICE = AP.EXOUTPUT8,1\n"
      "DEVICE = AP.EXOUTPUT1,1\n");
  Records records = compiler->ModuleParameters();
  Records expected = {"11;0;0;1;128;", "11;0;1;1;0;",   "11;69;1;4;0;",
                      "11;69;4;2;0;",  "11;69;5;3;0;",  "11;69;6;5;0;",
                      "11;69;7;2;0;",  "11;69;0;33;0;", "11;100;0;0;129;"};
  expected.resize(7 * 6 + 2);
  EXPECT_EQ(records, expected);
}

// The download file shows the raised strike time, the settings table the
// declared one.
TEST(ControllerRecordsTest, StrikeTimeRaisedInTheDownloadFileOnly) {
  auto compiler = CompileScript("MODULE = D1,1,0,2,1,30,10\n");
  EXPECT_EQ(compiler->ModuleParameters()[1], "11;1;4;2;0;");
  EXPECT_EQ(compiler->symbols().modules.Find("D1")->StrikeTime, 2);
  EXPECT_EQ(compiler->SettingsTable()[1], "D1.StrikeTime=1,4,1");
}

TEST(PartitionTreeTest, Examples) {
  struct Case {
    const char* script;
    const char* record;
  };
  for (const Case& c :
       {Case{"PARTITION = P1,101,0,100\nPARTITION = P2,102,0,101\n", "122;82;49;42;42;42;42;42;42"},
        Case{"PARTITION = P3,103,0,105\n", "122;42;42;53;42;42;42;42;42"},
        // Ids 100 and below and above 108 have no place.
        Case{"PARTITION = P8,108,0,100\nPARTITION = P9,109,0,100\nPARTITION = P0,100,0,100\n"
             "PARTITION = PN,-101,0,100\n",
             "122;42;42;42;42;42;42;42;82"},
        // A later record with the same id wins.
        Case{"PARTITION = A,101,0,100\nPARTITION = B,101,0,103\n", "122;51;42;42;42;42;42;42;42"},
        // The first character of parent - 100: "-" for 0, "1" for 115.
        Case{"PARTITION = A,101,0,0\nPARTITION = B,102,0,115\n", "122;45;49;42;42;42;42;42;42"},
        // Any module record with such an id counts.
        Case{"MODULE = M4,104\n", "122;42;42;42;45;42;42;42;42"}}) {
    auto compiler = CompileScript(c.script);
    EXPECT_EQ(compiler->PartitionTree(), c.record) << c.script;
    EXPECT_EQ(compiler->PartitionTree(), c.record) << c.script;
  }
}

TEST(ControllerRecordsTest, DownloadFileOrder) {
  auto compiler = CompileScript(
      "DEFINE PARAMETER A = 30\n"
      "MODULE = D3,3,0,2,0,30,10,1\n"
      "DEVICE = D3.CARDREADER,1\n"
      "DEVICE = D3.INPUT1,1\n"
      "PARTITION = P1,101,0,100\n");
  EXPECT_EQ(FormatDownloadFile({compiler->DefineParameters(), compiler->ModuleParameters(),
                                compiler->PartitionTree(), compiler->macros()}),
            "18;7;0\r\n"
            "11;254;0;30;0;\r\n"
            "11;3;1;2;0;\r\n"
            "11;3;4;2;0;\r\n"
            "11;3;5;30;0;\r\n"
            "11;3;6;10;0;\r\n"
            "11;3;7;1;0;\r\n"
            "11;3;0;3;0;\r\n"
            "122;82;42;42;42;42;42;42;42\r\n"
            "9;0;0;255;255;255;\r\n"
            "18;8;0\r\n");
}

}  // namespace
}  // namespace vigil
