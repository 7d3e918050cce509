// The trap warnings W6 to W9: for each trap, the exact warning and notes, and
// what the controller gets, worked out from the bytes the line compiles to.

#include "core/check/traps.h"

#include <gtest/gtest.h>

#include <string>

#include "core/compile/compilation.h"

namespace vigil {
namespace {

constexpr std::string_view kSite =
    "MODULE = PANEL,0\r\n"
    "MODULE = FRONT,1,0,2,5,30,10\r\n"
    "DEFINE MARK M = Forced\r\n"
    "DEFINE REGISTER R\r\n";

// "W<n>@<line>:<begin>-<end> message | note | note" per warning.
std::string TrapsOf(std::string_view script) {
  std::string text;
  for (const Diagnostic& d : TrapWarnings(Compile(std::string(script)))) {
    text += "W" + std::to_string(d.number) + "@" + std::to_string(d.physical_line) + ":" +
            std::to_string(d.span.begin) + "-" + std::to_string(d.span.end) + " " + d.message;
    for (const std::string& note : d.notes) text += " | " + note;
    text += "\n";
  }
  return text;
}

struct TrapCase {
  std::string body;  // after kSite, which ends on line 4
  std::string traps;
};

class TrapTest : public ::testing::TestWithParam<TrapCase> {};

TEST_P(TrapTest, SaysWhatTheControllerGets) {
  EXPECT_EQ(TrapsOf(std::string(kSite) + GetParam().body), GetParam().traps);
}

INSTANTIATE_TEST_SUITE_P(
    Traps, TrapTest,
    ::testing::Values(
        // A lone LF: line 7 is part of line 6, whose code is MARK alone.
        TrapCase{"EVENT FRONT.VALID\r\n  MARK(M)\n  DOOR()\r\nEVENTEND\r\n",
                 "W6@6:12-18 Line 6 ends in LF alone, so this line is read as part of it, not "
                 "as a statement | the controller gets from line 6: MARK(mark 0 (M)) | end the "
                 "line in CR LF; vigil fix converts the line ends\n"},
        // >= compiles as =; < is refused by the word check (an error, no trap).
        TrapCase{"EVENT FRONT.VALID\r\n  IF R >= 3\r\n    DOOR()\r\n  ENDIF\r\nEVENTEND\r\n",
                 "W7@6:7-9 \">=\" is no comparison of the language; the condition compiled as "
                 "another test | the controller gets: IF register 0 (R) = 3 | conditions "
                 "compare with = and > only: write IF R > 2 for R >= 3, IF NOT R > 2 for R < 3, "
                 "IF NOT R = 3 for R <> 3\n"},
        TrapCase{"EVENT FRONT.VALID\r\n  IF R < 3\r\n  ENDIF\r\nEVENTEND\r\n", ""},
        // A device the module kind does not save, and UserEvents in lower case.
        TrapCase{"DEVICE = FRONT.TAMPR,1\r\n",
                 "W8@5:15-20 No device TAMPR is saved by a door module (id 1): the line sets "
                 "nothing | the events of the module's devices are saved as before | did you "
                 "mean TAMPER?\n"},
        TrapCase{"DEVICE = PANEL.userevents,1\r\n",
                 "W8@5:15-25 No device userevents is saved by the controller (id 0): the line "
                 "sets nothing | UserEvents is read only when written exactly so, as "
                 "UserEvents\n"},
        // An indented MODULE line, and one after the first EVENT line.
        TrapCase{"  MODULE = BACK,2,0,2,5,30,10\r\n",
                 "W8@5:2-8 Indented declaration line: it is not read, and declares or sets "
                 "nothing | MODULE, PARTITION and DEVICE lines are read only when the keyword "
                 "stands at the very start of the line\n"},
        TrapCase{"EVENT FRONT.VALID\r\nEVENTEND\r\nPARTITION = P1,101,1,100\r\n",
                 "W8@7:0-9 Declaration after the first EVENT line: it is not read, and "
                 "declares nothing | MODULE and PARTITION lines are read only above the first "
                 "EVENT line; move it up\n"},
        // A DEVICE line after the first EVENT line is read, and says nothing.
        TrapCase{"EVENT FRONT.VALID\r\nEVENTEND\r\nDEVICE = FRONT.TAMPER,1\r\n", ""}));

TEST(Traps, ByteOrderMarkAndAScriptOfLfLineEnds) {
  EXPECT_EQ(TrapsOf("\xEF\xBB\xBFMODULE = PANEL,0\r\n").substr(0, 67),
            "W9@1:0-3 The script starts with a UTF-8 byte-order mark | its three");
  EXPECT_EQ(TrapsOf("MODULE = PANEL,0\nEVENT PANEL.INIT\nDELAY(1)\nEVENTEND\n"),
            "W6@1:16-17 Every line ends in LF alone: the whole script is read as one line | "
            "the controller gets: no code | lines end in CR LF; convert them with vigil fix\n");
}

}  // namespace
}  // namespace vigil
