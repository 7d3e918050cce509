// The notes of each error, and the pieces they are made of: what a module
// kind accepts.

#include "core/check/notes.h"

#include <gtest/gtest.h>

#include <array>

#include "core/check/element_prose.h"
#include "core/lang/module_kinds.h"
#include "support/script.h"

namespace vigil {
namespace {

// A door module's description and families: the notes below.
TEST(KindHints, DescribeAndListWhatAKindAccepts) {
  EXPECT_EQ(KindDescription(102), "partition 2 (id 102)");
  EXPECT_EQ(ElementList(100), "EXINPUT1 to EXINPUT8, EXOUTPUT1 to EXOUTPUT8");
  EXPECT_EQ(ElementList(90), "");
  EXPECT_NE(ElementList(0).find("RELAY1 to RELAY8, OC1, OC2"), std::string::npos);
  EXPECT_EQ(FamilyNote(3, "INPUT3ON"), "");  // no family of plain numbered names
  EXPECT_EQ(FamilyNote(73, "INPUT1"), "");   // the kind has no input
}

// Every error of the script with its notes: "E<n>@<line>: note | note".
std::string AllNotes(std::string_view script) {
  std::string text;
  for (const Diagnostic& d : ErrorsWithNotes(testing::CompileValue(script))) {
    text += "E" + std::to_string(d.number) + "@" + std::to_string(d.physical_line) + ":";
    for (size_t i = 0; i < d.notes.size(); ++i) text += (i == 0 ? " " : " | ") + d.notes[i];
    text += "\n";
  }
  return text;
}

// Lines 1 to 9 declare; line 10 opens the event of the door module CR1, so
// the statements of each case start on line 11.
constexpr std::string_view kSite =
    "MODULE = PANEL,0\n"
    "MODULE = CR1,3,0,1,5,30,10\n"
    "MODULE = PSU1,71\n"
    "MODULE = ALARM,100\n"
    "PARTITION = P1,101,1,0\n"
    "DEFINE REGISTER COUNT\n"
    "DEFINE TIMER HOLD\n"
    "DEFINE PARAMETER WAIT = 5\n"
    "DEFINE MARK LATE = late card\n"
    "EVENT CR1.VALID\n";

// A misspelt command word (diagnostic_printers_test.cc) and a DELAY number
// out of range (tests/e2e/vigil_check_test.cc) are printed with their notes.
struct NoteCase {
  std::string statements;
  std::string notes;
};

TEST(Notes, NameWhatTheInstallerMeant) {
  for (
      const NoteCase& c : std::initializer_list<NoteCase>{
          {"IF CR1.RELAY9 = ON\n",
           "E6@11: CR1 is a door module (id 3); its only relay is RELAY1\n"},
          {"INPUT7 = ON\n",
           "E6@11: CR1, the module of this event, is a door module (id 3); its inputs are INPUT1 "
           "and INPUT2\n"},
          // Words refused for how the line is read, not for their spelling.
          {"DELAY(2.5)\n",
           "E6@11: a decimal point is read as a module separator, not as a number: write 25E-1 "
           "or a whole number\n"},
          {"DELAY(3) ; wait\n",
           "E6@11: a comment stands on a line of its own: \";\" after a statement is read as part "
           "of the statement\n"},
          {"\t; wait\n",
           "E6@11: the tab before \";\" makes this no comment line: only blanks may stand before "
           "\";\"; indent with blanks\n"},
          {"IF COUNT < 3\n",
           "E6@11: the language has no \"<\": conditions compare with = and > only, as in IF NOT "
           "R > 2 for R < 3, IF NOT R = 3 for R <> 3, IF NOT R > 3 for R <= 3\n"},
          {"CR2.RELAY1 = ON\n",
           "E6@11: no module or partition named CR2 is declared | did you mean CR1?\n"},
          {"IF ON\n",
           "E6@11: ON is no condition; compare it, as in IF ON = ON, or use a test such as "
           "TIMEPLAN(1)\n"},
          {"HOLD = 300\n", "E11@11: the value of HOLD must lie in 0 to 255\n"},
          {"MARK(LAT)\nMARK(COUNT)\n", "E6@11: did you mean LATE?\nE7@12: COUNT is a register\n"},
          // A misspelt parameter is compared with what the command takes.
          {"DOOR(CR2)\nDOOR(WAIT)\n",
           "E6@11: did you mean CR1?\nE10@12: DOOR takes the name of a declared module\n"},
          {"DELAY(WAITT)\nDELAY(LATE)\n",
           "E6@11: did you mean WAIT?\nE10@12: a number from 0 to 255 or the name of a declared "
           "parameter is expected | LATE is an archive mark\n"},
          {"INPUT1 = ON\n", "E30@11: INPUT1 can be tested but not set\n"},
          {"IF TIMEPLAN(1)\nELSE\nELSE\nENDIF\n",
           "E27@13: the IF on line 11 already has an ELSE\n"},
          {"IF TIMEPLAN(1)\nEVENTEND\n",
           "E18@12: the IF on line 11 is still open; close it with ENDIF before EVENTEND\n"},
          {"EVENTEND\nVALID = ON\n",
           "E6@12: outside an EVENT block only keywords, numbers and declared names are known | an "
           "element name needs its module there, as in CR1.VALID\n"},
          // The word check lets a declared name through; it names no module
          // and no event.
          {"EVENTEND\nEVENT LATE\n",
           "E1@12: no module or partition named LATE is declared | LATE is an archive mark\n"
           "E1@12: no module or partition named LATE is declared | LATE is an archive mark\n"
           "E2@12: the name has no element code; code 0 is written in its place\n"
           "E1@12: no module or partition named LATE is declared | LATE is an archive mark\n"},
          {"SIGNAL(LATE,1)\n", "E11@11: the first of two parameters must name a declared module\n"},
          // Declarations may stand anywhere; the note finds the first one.
          {"DEFINE REGISTER COUNT\n", "E24@11: COUNT is first declared on line 6\n"},
      }) {
    EXPECT_EQ(AllNotes(std::string(kSite) + c.statements), c.notes) << c.statements;
  }
}

// The notes that list words take them from the language's tables: the
// command words of the instruction list (INVERT included), the flag tables,
// the system keys and the settable properties.
TEST(Notes, ListTheLanguagesWords) {
  for (const NoteCase& c : std::initializer_list<NoteCase>{
           {"COUNT\n",
            "E6@11: COUNT is no command; the commands are INVERT, DELAY, DOOR, MARK, DIAL, "
            "EXECUTE, SIGNAL, BREAK, READ_AD, SETMODEPINFREE, SETMODEPIN, SETPRESENT, "
            "CLEARPRESENT, CLEARGROUPCOUNTER, CLEARALLCOUNTERS, ERASECARD, CLEARUSERCOUNTER, "
            "SETBYTE1, SETBYTE2 and DISPLAY, and an assignment needs \"=\"\n"},
           {"IF FLAGS(FDOWNLOAD)\n",
            "E6@11: the flags of a power-supply module are FOVERLOAD, FACPRESENT, "
            "FBATTERYPRESENT, FLOWBATTERY, FBOXTAMPER and FDCON\n"},
           {"EVENTEND\nEVENT ALARM.EXINPUT1\nIF FLAGS(FDCON)\n",
            "E6@13: the flags of the alarm panel are FDOWNLOAD, FEXPANDERTAMPER, FEXPANDERLOSS, "
            "FSMOKERESET, FGROUNDFAULT, FBOXTAMPER, FLOWBATTERY, FACFAIL, FSYSTEMTIMELOSS, "
            "FGLOBALBUZZER, FGLOBALSIRENE, FSTEADYSIRENE and FNXLOSS\n"},
           {"P1.SYSTEMKEY = 24\n",
            "E6@11: a system key is CCHIME, CFPANIC, CAPANIC, CPPANIC, CSMOKERESET, CDISARM, "
            "CARMAWAY, CARMSTAY, CINITIATEAUTOARM, CSOUNDER or a number from 0 to 23\n"},
           {"IF CR1.RELAY1\n",
            "E6@11: a test of a module element names TAMPER, FORCEDDOOR, DOORAJAR or an INPUT "
            "after the \".\"\n"},
           {"EVENTEND\nEVENT P1.ALARM\nARMED = ON\n",
            "E17@13: the properties that can be set are ARMED, SYSTEMKEY, ALARMSIGNAL and "
            "TROUBLESIGNAL\n"},
       }) {
    EXPECT_EQ(AllNotes(std::string(kSite) + c.statements), c.notes) << c.statements;
  }
}

}  // namespace
}  // namespace vigil
