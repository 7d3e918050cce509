#include "tables/name_codes.h"

#include <gtest/gtest.h>

#include <optional>
#include <string_view>

namespace vigil {
namespace {

struct Code {
  std::string_view name;
  int code;
};

// Every row of the element code table, with the families at both ends and
// the names that share a code.
TEST(EventCodeTest, EveryRowOfTheTable) {
  for (const Code& c :
       {Code{"VALID", 1}, Code{"INVALID", 2}, Code{"UNKNOWN", 3}, Code{"INPUT1ON", 4},
        Code{"INPUT1OFF", 5}, Code{"INPUT2ON", 6}, Code{"INPUT2OFF", 7}, Code{"INPUT3ON", 16},
        Code{"INPUT3OFF", 17}, Code{"INPUT8ON", 26}, Code{"INPUT8OFF", 27}, Code{"TAMPER", 8},
        Code{"DOORAJAR", 9}, Code{"FORCEDDOOR", 10}, Code{"EXINPUT1ON", 10},
        Code{"EXINPUT1OFF", 11}, Code{"EXINPUT8ON", 24}, Code{"EXINPUT8OFF", 25},
        Code{"TIMER1SEC", 37}, Code{"TIMER10SEC", 38}, Code{"GLOBALDOORAJAR", 45},
        Code{"GLOBALFORCEDDOOR", 46}, Code{"GLOBALDOORAJAROK", 47}, Code{"INIT", 50},
        Code{"GLOBALTAMPER", 51}, Code{"GLOBALTAMPEROK", 52}, Code{"GLOBALCOMMLOST", 53},
        Code{"GLOBALCOMMRESTORE", 54}, Code{"PSUON", 55}, Code{"PSUOFF", 56},
        Code{"USEREVENT1", 60}, Code{"USEREVENT8", 67}, Code{"GLOBALFORCEDDOOROK", 68},
        Code{"RELAY1", 1}, Code{"RELAY6", 6}, Code{"RELAY7", 7}, Code{"OC1", 7}, Code{"RELAY8", 8},
        Code{"OC2", 8}, Code{"INPUT1", 1}, Code{"INPUT8", 8}, Code{"EXOUTPUT1", 1},
        Code{"EXOUTPUT8", 8}, Code{"EXINPUT1", 1}, Code{"EXINPUT8", 8}, Code{"BEEP", 3},
        Code{"AUXOUTPUT", 2}, Code{"STATUSCHANGED", 1}, Code{"ARMED", 1}, Code{"DISARMED", 1},
        Code{"ALARM", 2}, Code{"ALARMOK", 3}, Code{"FIRE", 6}, Code{"READY", 7}, Code{"ALERT", 8},
        Code{"ALARMSIGNAL", 1}, Code{"TROUBLESIGNAL", 1}, Code{"SYSTEMKEY", 1},
        // Qualified: the text between the first and the second "." counts.
        Code{"CR1.VALID", 1}, Code{"A.INPUT3ON.X", 16}}) {
    EXPECT_EQ(EventCode(c.name), std::optional<int>(c.code)) << c.name;
  }
}

// Names in no row: the USEREVENT fallback reads up to three characters after
// the ninth, from their start.
TEST(EventCodeTest, UserEventFallback) {
  for (const Code& c :
       {Code{"USEREVENT9", 161}, Code{"USEREVENT10", 162}, Code{"USEREVENT73", 225},
        Code{"USEREVENT", 152}, Code{"USEREVENT999", 1151},
        Code{"USEREVENT1234", 275},  // only "123"
        Code{"USEREVENT12E1", 164},  // only "12E": the exponent is cut off
        Code{"USEREVENT1E2", 252}, Code{"USEREVENT7X", 159},
        Code{"userevent1", 153},   // the table compares exactly, the fallback does not
        Code{"XUSEREVENT5", 152},  // "T5" reads as no number
        Code{"K1.USEREVENT9", 161}}) {
    EXPECT_EQ(EventCode(c.name), std::optional<int>(c.code)) << c.name;
  }
}

TEST(EventCodeTest, NamesWithoutCode) {
  for (std::string_view name : {"", "X.", "A.B.INPUT1ON", "relay1", "Valid", "INPUT9", "INPUT0",
                                "RELAY9", "EXINPUT9ON", "INPUT1ON ", "CARDREADER"}) {
    EXPECT_EQ(EventCode(name), std::nullopt) << name;
  }
}

TEST(PartitionEventCodeTest, DiffersFromTheElementTable) {
  for (const Code& c : {Code{"STATUSCHANGED", 1}, Code{"ALARM", 2}, Code{"ALARMOK", 3},
                        Code{"ARMED", 4}, Code{"DISARMED", 5}, Code{"FIRE", 6}, Code{"READY", 7},
                        Code{"ALERT", 8}, Code{"ALARMSIGNAL", 8}, Code{"TROUBLESIGNAL", 8},
                        Code{"SYSTEMKEY", 8}, Code{"P1.DISARMED", 5}}) {
    EXPECT_EQ(PartitionEventCode(c.name), std::optional<int>(c.code)) << c.name;
  }
  for (std::string_view name : {"armed", "BEEP", "USEREVENT9", "", "P1."}) {
    EXPECT_EQ(PartitionEventCode(name), std::nullopt) << name;
  }
}

TEST(OutputAndStateNamesTest, ExactElementPart) {
  for (std::string_view name :
       {"RELAY1", "RELAY8", "OC1", "OC2", "EXOUTPUT1", "EXOUTPUT8", "K1.RELAY1", "A.OC2.X"}) {
    EXPECT_TRUE(IsOutputName(name)) << name;
  }
  for (std::string_view name : {"RELAY0", "RELAY9", "relay1", "OC3", "EXOUTPUT9", "X.", "INPUT1",
                                "AUXOUTPUT", "RELAY1.K1", ""}) {
    EXPECT_FALSE(IsOutputName(name)) << name;
  }
  for (std::string_view name : {"ARMED", "ALARM", "FIRE", "READY", "P1.ARMED"}) {
    EXPECT_TRUE(IsPartitionStateName(name)) << name;
  }
  for (std::string_view name : {"DISARMED", "ALARMOK", "ALERT", "armed", "", "ARMED.P1"}) {
    EXPECT_FALSE(IsPartitionStateName(name)) << name;
  }
}

TEST(DeviceMaskTest, TableChosenByModuleId) {
  struct Case {
    int id;
    std::string_view device;
    int32_t mask;
  };
  for (const Case& c :
       {// The controller: inputs in the low byte, relays above, bit 15
        // sign-extended.
        Case{0, "INPUT1", 1}, Case{0, "INPUT8", 128}, Case{0, "RELAY1", 256},
        Case{0, "RELAY6", 8192}, Case{0, "RELAY7", 16384}, Case{0, "OC1", 16384},
        Case{0, "RELAY8", -32768}, Case{0, "OC2", -32768}, Case{0, "relay8", -32768},
        Case{0, "CARDREADER", 0}, Case{0, "EXINPUT1", 0}, Case{0, "INPUT9", 0},
        // The alarm panel.
        Case{100, "EXINPUT1", 1}, Case{100, "EXINPUT8", 128}, Case{100, "EXOUTPUT1", 256},
        Case{100, "EXOUTPUT7", 16384}, Case{100, "EXOUTPUT8", -32768},
        Case{100, "exoutput8", -32768}, Case{100, "INPUT1", 0}, Case{100, "RELAY8", 0},
        // Every other id, door modules and undeclared ones alike.
        Case{1, "CARDREADER", 1}, Case{1, "INPUT1", 2}, Case{1, "INPUT2", 4}, Case{1, "TAMPER", 8},
        Case{1, "RELAY1", 16}, Case{1, "AUXOUTPUT", 32}, Case{69, "auxoutput", 32},
        Case{1, "INPUT3", 0}, Case{1, "RELAY2", 0}, Case{1, "RELAY8", 0}, Case{71, "CARDREADER", 1},
        Case{101, "TAMPER", 8}, Case{-1, "INPUT1", 2}, Case{200, "INPUT2", 4},
        Case{1, "INPUT1 ", 0}, Case{1, "", 0}}) {
    EXPECT_EQ(DeviceMask(c.id, c.device), c.mask) << c.id << "." << c.device;
  }
}

TEST(FlagTablesTest, BothTablesAnyCase) {
  for (const Code& c : {Code{"FDOWNLOAD", 0}, Code{"FEXPANDERTAMPER", 1}, Code{"FEXPANDERLOSS", 2},
                        Code{"FSMOKERESET", 3}, Code{"FGROUNDFAULT", 4}, Code{"FBOXTAMPER", 5},
                        Code{"FLOWBATTERY", 6}, Code{"FACFAIL", 7}, Code{"FSYSTEMTIMELOSS", 8},
                        Code{"FGLOBALBUZZER", 9}, Code{"FGLOBALSIRENE", 10},
                        Code{"FSTEADYSIRENE", 11}, Code{"FNXLOSS", 16}, Code{"fnxloss", 16},
                        Code{"FOVERLOAD", -1}, Code{"FNXLOSS ", -1}, Code{"", -1}}) {
    EXPECT_EQ(GetSystemFlagCode(c.name), c.code) << c.name;
  }
  for (const Code& c : {Code{"FOVERLOAD", 0}, Code{"FACPRESENT", 1}, Code{"FBATTERYPRESENT", 2},
                        Code{"FLOWBATTERY", 3}, Code{"FBOXTAMPER", 4}, Code{"FDCON", 5},
                        Code{"fdcon", 5}, Code{"FACFAIL", -1}, Code{"FNXLOSS", -1}}) {
    EXPECT_EQ(GetSupplyFlagCode(c.name), c.code) << c.name;
  }
}

TEST(ModuleKindTest, RangeEnds) {
  struct Case {
    int id;
    ModuleKind kind;
  };
  for (const Case& c :
       {Case{-1, ModuleKind::kOther}, Case{0, ModuleKind::kController}, Case{1, ModuleKind::kDoor},
        Case{69, ModuleKind::kDoor}, Case{70, ModuleKind::kOther}, Case{71, ModuleKind::kSupply},
        Case{78, ModuleKind::kSupply}, Case{79, ModuleKind::kOther}, Case{99, ModuleKind::kOther},
        Case{100, ModuleKind::kPanel}, Case{101, ModuleKind::kPartition},
        Case{108, ModuleKind::kPartition}, Case{109, ModuleKind::kOther}}) {
    EXPECT_EQ(ModuleKindOf(c.id), c.kind) << c.id;
  }
}

TEST(QualifiedNameTest, ModuleAndElementParts) {
  struct Case {
    std::string_view name, module, element;
  };
  for (const Case& c : {Case{"A.B.C", "A", "B"}, Case{"A", "A", "A"}, Case{"X.", "X", ""},
                        Case{".Y", "", "Y"}, Case{"", "", ""}}) {
    EXPECT_EQ(ModulePart(c.name), c.module) << c.name;
    EXPECT_EQ(ElementPart(c.name), c.element) << c.name;
  }
}

}  // namespace
}  // namespace vigil
