#include "core/lang/name_codes.h"

#include <gtest/gtest.h>

#include <string_view>

namespace vigil {
namespace {

constexpr int kNone = -1;

struct Code {
  std::string_view name;
  int code;  // kNone: no code
};

// A name and two numbers: module id and mask, or the two flag codes.
struct Row {
  std::string_view name;
  int first, second;
};

TEST(EventCodeTest, SharedCodesFamilyEndsFallbackAndMisses) {
  for (const Code& c :
       {// Shared codes, the ends of the numbered families and the gaps between.
        Code{"INPUT2OFF", 7}, Code{"INPUT3ON", 16}, Code{"INPUT8OFF", 27}, Code{"FORCEDDOOR", 10},
        Code{"EXINPUT1ON", 10}, Code{"EXINPUT8OFF", 25}, Code{"USEREVENT8", 67},
        Code{"GLOBALFORCEDDOOROK", 68}, Code{"RELAY7", 7}, Code{"OC1", 7}, Code{"OC2", 8},
        Code{"EXOUTPUT8", 8}, Code{"ARMED", 1},
        // Qualified: the text between the first and the second "." counts.
        Code{"CR1.VALID", 1}, Code{"A.INPUT3ON.X", 16}, Code{"A.B.INPUT1ON", kNone},
        // In no row: 152 plus the number read from the start of the three
        // characters after the ninth, for names holding "USEREVENT".
        Code{"USEREVENT9", 161}, Code{"USEREVENT", 152}, Code{"USEREVENT1234", 275},
        Code{"USEREVENT12E1", 164}, Code{"userevent1", 153}, Code{"XUSEREVENT5", 152},
        Code{"", kNone}, Code{"X.", kNone}, Code{"relay1", kNone}, Code{"INPUT9", kNone},
        Code{"INPUT1ON ", kNone}, Code{"CARDREADER", kNone}}) {
    EXPECT_EQ(EventCode(c.name).value_or(kNone), c.code) << c.name;
  }
  for (const Code& c : {Code{"STATUSCHANGED", 1}, Code{"ARMED", 4}, Code{"DISARMED", 5},
                        Code{"ALERT", 8}, Code{"SYSTEMKEY", 8}, Code{"P1.DISARMED", 5},
                        Code{"armed", kNone}, Code{"BEEP", kNone}, Code{"USEREVENT9", kNone}}) {
    EXPECT_EQ(PartitionEventCode(c.name).value_or(kNone), c.code) << c.name;
  }
}

TEST(DeviceMaskTest, TableChosenByModuleId) {
  for (const Row& c :
       {// The controller and the alarm panel: bit 15 sign-extended.
        Row{"INPUT8", 0, 128}, Row{"RELAY1", 0, 256}, Row{"OC1", 0, 16384},
        Row{"RELAY8", 0, -32768}, Row{"oc2", 0, -32768}, Row{"CARDREADER", 0, 0},
        Row{"EXINPUT1", 100, 1}, Row{"exoutput8", 100, -32768}, Row{"INPUT1", 100, 0},
        // Every other id, declared or not: the door table.
        Row{"CARDREADER", 1, 1}, Row{"INPUT2", 1, 4}, Row{"auxoutput", 69, 32}, Row{"INPUT3", 1, 0},
        Row{"RELAY2", 1, 0}, Row{"TAMPER", 71, 8}, Row{"RELAY1", -1, 16}, Row{"INPUT1 ", 1, 0}}) {
    EXPECT_EQ(DeviceMask(c.first, c.name), c.second) << c.first << "." << c.name;
  }
}

// Names in both tables have different codes; FNXLOSS jumps to 16.
TEST(FlagTablesTest, BothTablesAnyCase) {
  for (const Row& c :
       {Row{"FDOWNLOAD", 0, kNone}, Row{"FBOXTAMPER", 5, 4}, Row{"FLOWBATTERY", 6, 3},
        Row{"FSTEADYSIRENE", 11, kNone}, Row{"fnxloss", 16, kNone}, Row{"FOVERLOAD", kNone, 0},
        Row{"fdcon", kNone, 5}, Row{"FNXLOSS ", kNone, kNone}}) {
    EXPECT_EQ(GetSystemFlagCode(c.name), c.first) << c.name;
    EXPECT_EQ(GetSupplyFlagCode(c.name), c.second) << c.name;
  }
}

}  // namespace
}  // namespace vigil
