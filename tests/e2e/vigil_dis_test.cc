// vigil dis run as a program: download files good and bad, the settings table
// beside them, and scripts compiled in memory. What each kind of bad record
// and bad code reads as: tests/core/formats/download_reader_test.cc and
// tests/core/decode/disassembler_test.cc.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/files.h"

namespace {

class VigilDisTest : public ::testing::Test {
 protected:
  vigil::testing::TempDir dir_{"vigil-dis"};
};

// The code: module 3's VALID event, IF NOT FRONT.INPUT1 = ON, RELAY1 = ON,
// ENDIF, CNT = 9.
TEST_F(VigilDisTest, PrintsSettingsAndCodeWithTheNamesOfTheSettingsTable) {
  dir_.Write("SITE.SET",
             "[Parameters]\r\nScript.ALARMDELAY=254,0,30\r\nFRONT.StrikeTime=3,4,5\r\n"
             "\r\n[Registers]\r\nCNT=0\r\n");
  dir_.Write("SITE.BIN",
             "18;7;0\r\n11;254;0;30;0;\r\n11;3;1;2;0;\r\n11;3;4;5;0;\r\n11;3;5;30;0;\r\n"
             "11;3;6;10;0;\r\n11;3;7;1;0;\r\n11;3;0;3;0;\r\n122;82;49;42;42;42;42;42;42\r\n"
             "9;0;0;255;3;1;81;129;3;1;3;0;33;3;1;96;0;9;255;255;255;\r\n18;8;0\r\n");
  auto [status, out, err] = dir_.Run(VIGIL_PATH, {"dis", "SITE.BIN"});
  EXPECT_EQ(std::pair(status, err), std::pair(0, std::string()));
  for (std::string part :
       {"  parameter 0 (ALARMDELAY) = 30\n",
        "  module 3 (door FRONT)\n"
        "    type 2, strike time 5, ajar time 30, card time-out 10, partition 1\n"
        "    saved events: CARDREADER, INPUT1\n",
        "  root (alarm panel)\n  `-- partition 1\n      `-- partition 2\n",
        "0000  FF 03 01           EVENT module 3 (door FRONT) VALID\n"
        "0003  51 81 03 01 03 00    IF NOT INPUT1 of module 3 (FRONT) = ON  else -> 000C\n"
        "0009  21 03 01               RELAY1 of module 3 (FRONT) = ON\n"
        "000C  60 00 09             register 0 (CNT) = 9\n"
        "000F  FF FF FF           end of code (trailer)\n"}) {
    EXPECT_NE(out.find(part), std::string::npos) << part << "\nin:\n" << out;
  }
}

// A bad file names each problem with the record, the field and the code
// offset it lies at, exits 1 and still shows the rest. This one is cut short
// and holds an unknown opcode.
TEST_F(VigilDisTest, NamesTheProblemsAndShowsTheRest) {
  dir_.Write("SITE.BIN", "18;7;0\r\n11;254;0;30;0;\r\n9;0;0;255;3;1;33;3;1;2;255;255;255;");
  auto [status, out, err] = dir_.Run(VIGIL_PATH, {"dis", "SITE.BIN"});
  EXPECT_EQ(status, 1);
  for (std::string line :
       {": record 3: the file ends inside this record, without CR LF: it may be cut short\n",
        ": the closing record 18;8;0 is missing: the file may be cut short\n",
        ": record 3, field 10 (code offset 0006): unknown opcode 02; decoding resumes at the next "
        "event header\n"}) {
    EXPECT_NE(err.find("SITE.BIN" + line), std::string::npos) << line << err;
  }
  EXPECT_NE(out.find("  parameter 0 = 30\n"), std::string::npos) << out;
  EXPECT_NE(out.find("end of code (trailer)"), std::string::npos) << out;
}

TEST_F(VigilDisTest, ScriptListingShowsEachLineAboveItsCode) {
  dir_.Write("site.txt",
             "MODULE = FRONT,3,0,2,5,30,10,1\r\nEVENT FRONT.VALID\r\n"
             "  RELAY1 = ON\r\nEVENTEND\r\n");
  auto [status, out, err] = dir_.Run(VIGIL_PATH, {"dis", "--script", "site.txt"});
  EXPECT_EQ(status, 0) << err;
  EXPECT_NE(out.find("    2 | EVENT FRONT.VALID\n"
                     "        0000  FF 03 01           EVENT module 3 (door FRONT) VALID\n"
                     "    3 |   RELAY1 = ON\n"
                     "        0003  21 03 01             RELAY1 of module 3 (FRONT) = ON\n"
                     "    4 | EVENTEND\n"
                     "        0006  FF FF FF           end of code (trailer)\n"),
            std::string::npos)
      << out;
}

}  // namespace
