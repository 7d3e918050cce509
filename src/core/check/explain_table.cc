#include "core/check/explain_table.h"

#include <array>
#include <optional>
#include <utility>
#include <vector>

#include "core/lang/diagnostics.h"
#include "core/lang/errors.h"
#include "core/lang/known_words.h"
#include "core/lang/limits.h"
#include "core/lang/module_kinds.h"
#include "core/lang/value_ranges.h"
#include "core/lang/word_lists.h"
#include "core/scan/tokenizer.h"

namespace vigil {
namespace {

constexpr size_t kWrapWidth = 78;

// The entries as written: "{name}" stands for a value of ProseValues(),
// "{name range}" for "{name first} to {name last}".
constexpr std::array<Explanation, 40> kTemplates = {{
    {"E1",
     "A name is used as a module or partition, but no MODULE or PARTITION line declares it. "
     "DEVICE lines and EVENT lines look their module up this way; inside statements an "
     "undeclared module part is refused by the word check (E6) first. Modules must be "
     "declared before the first EVENT line.",
     "MODULE = CR1,3,0,1,5,30,10\n"
     "DEVICE = CR2.INPUT1,1\n",
     "MODULE = CR1,3,0,1,5,30,10\n"
     "DEVICE = CR1.INPUT1,1\n",
     "Correct the spelling of the module name, or declare the module with a MODULE line (a "
     "partition with a PARTITION line) above the first EVENT line.",
     true},
    {"E2",
     "The event or element name after the \".\" has no code in the controller's tables, so "
     "code 0 is written in its place. In the declarations, a DEVICE line whose first field "
     "has no \".\" gives this error too.",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.GLOBALDOORTAMPER\n"
     "EVENTEND\n",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.GLOBALTAMPER\n"
     "EVENTEND\n",
     "Use an event or element name that the module has: the door events {door events}, the "
     "controller events INIT, "
     "TIMER1SEC, TIMER10SEC, the GLOBAL... events and USEREVENTn, the partition states. Write "
     "DEVICE lines as DEVICE = MODULE.DEVICE,1.",
     true},
    {"E3",
     "A command or test that takes parameters is not followed by \"(\". Parameters are always "
     "written in brackets directly after the word.",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "DELAY 5\n"
     "EVENTEND\n",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "DELAY(5)\n"
     "EVENTEND\n",
     "Put the parameters in brackets: DELAY(5), TIMEPLAN(3), MARK(ALARMLOG).", true},
    {"E4", "A parameter list opens with \"(\" but has no \")\".",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "DELAY(5\n"
     "EVENTEND\n",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "DELAY(5)\n"
     "EVENTEND\n",
     "Close the parameter list with \")\".", true},
    {"E5",
     "A parameter list is empty, or holds the wrong number of parameters (DIAL takes exactly "
     "two). In the declarations, a MODULE line with fewer than two fields or a PARTITION line "
     "with fewer than four gives this error too. (The message's spelling is the error file's "
     "own.)",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "DELAY()\n"
     "EVENTEND\n",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "DELAY(5)\n"
     "EVENTEND\n",
     "Give the command its parameters. Only DOOR, SETMODEPIN and SETMODEPINFREE accept empty "
     "brackets.",
     true},
    {"E6",
     "A word of the line is not known where it stands: a misspelt keyword, an undeclared name, "
     "or an element name that the addressed module does not have (a door module has INPUT1 "
     "and INPUT2 only). The same number is given to a statement outside any EVENT block, to "
     "a value that must be ON or OFF, to a number outside {byte range} in a register, timer or "
     "BYTE test, and to a line that names no command. Nothing of the line is compiled.",
     "MODULE = CR1,3,0,1,5,30,10\n"
     "EVENT CR1.VALID\n"
     "IF CR1.INPUT3 = ON\n"
     "RELAY1 = ON\n"
     "ENDIF\n"
     "EVENTEND\n",
     "MODULE = CR1,3,0,1,5,30,10\n"
     "EVENT CR1.VALID\n"
     "IF CR1.INPUT2 = ON\n"
     "RELAY1 = ON\n"
     "ENDIF\n"
     "EVENTEND\n",
     "Check the spelling against the keywords and the declarations, and check that the module "
     "has that element: `vigil check` names the nearest known word and the elements the "
     "module kind accepts. Plain element names belong to the module of the open event; "
     "qualify them (PANEL.RELAY2) to address another module.",
     true},
    {"E7",
     "A MARK or DIAL command names something that is not a declared archive mark, or a "
     "DEFINE MARK line is not of the form NAME = text.",
     "MODULE = PANEL,0\n"
     "DEFINE MARK ALARMLOG\n"
     "EVENT PANEL.INIT\n"
     "MARK(ALARMLOG)\n"
     "EVENTEND\n",
     "MODULE = PANEL,0\n"
     "DEFINE MARK ALARMLOG = Alarm logged\n"
     "EVENT PANEL.INIT\n"
     "MARK(ALARMLOG)\n"
     "EVENTEND\n",
     "Declare the mark as DEFINE MARK NAME = text and use that name.", true},
    {"E8",
     "The script declares {items refused} archive marks or more; the controller keeps "
     "{items max}. The error is given once, at DEFINE MARK line number {items refused}.",
     "DEFINE MARK M1 = First mark\n"
     "...\n"
     "DEFINE MARK M{items refused} = Mark {items refused}\n",
     "", "Declare at most {items max} archive marks.", false},
    {"E9",
     "The script declares {items refused} parameters or more; the controller keeps "
     "{items max}. The error is given once, at DEFINE PARAMETER line number {items refused}.",
     "DEFINE PARAMETER P1 = 1\n"
     "...\n"
     "DEFINE PARAMETER P{items refused} = 1\n",
     "", "Declare at most {items max} parameters.", false},
    {"E10",
     "A value that must be a number or a declared parameter is neither (a register or "
     "another name stands in its place), DOOR, SETMODEPIN or SETMODEPINFREE name no declared "
     "module, ARMED is set to something else than ON or OFF, READ_AD has more than one "
     "parameter, or a DEFINE PARAMETER line is not of the form NAME = value.",
     "MODULE = PANEL,0\n"
     "DEFINE REGISTER COUNT\n"
     "EVENT PANEL.INIT\n"
     "DELAY(COUNT)\n"
     "EVENTEND\n",
     "MODULE = PANEL,0\n"
     "DEFINE PARAMETER WAIT = 5\n"
     "EVENT PANEL.INIT\n"
     "DELAY(WAIT)\n"
     "EVENTEND\n",
     "Use a number or a name declared with DEFINE PARAMETER; for DOOR and SETMODEPIN a "
     "module name; for ARMED the value ON or OFF.",
     true},
    {"E11",
     "A number lies outside the range its place allows: {DELAY range} for DELAY, SETBYTE, "
     "SIGNAL and register or timer values, {TIMEPLAN range} for TIMEPLAN, {GROUP range} for "
     "GROUP, USER and the counters, {EXECUTE range} for EXECUTE, {DISPLAY range} for DISPLAY, "
     "{READ_AD range} for READ_AD, and so on. "
     "SIGNAL and DISPLAY with two parameters also give it when the first names no module. "
     "In the declarations: a parameter value outside {byte range}, or a module id or setting "
     "that is no whole number in range.",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "DELAY(300)\n"
     "EVENTEND\n",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "DELAY(30)\n"
     "EVENTEND\n",
     "Bring the number into the range the note of `vigil check` names. A longer delay can be "
     "split into several DELAY lines.",
     true},
    {"E12",
     "Not reported: the number is reserved, and its message is the general \"Internal error "
     "(2)\".",
     "", "", "Nothing to fix.", false},
    {"E13",
     "Not reported: the number is reserved, and its message is the general \"Internal error "
     "(2)\".",
     "", "", "Nothing to fix.", false},
    {"E14",
     "A value that the compiled code carries as one byte does not fit it (a module id, an "
     "element code or a jump distance outside its range), or an IF block is opened "
     "inside {if max} open ones. The rest of the line is dropped.",
     "IF TIMEPLAN(1)\n"
     "...\n"
     "IF TIMEPLAN(1)   (IF number {if refused}, inside the others)\n",
     "",
     "Nest at most {if max} IF blocks; split deep tests into separate events or combine them. "
     "Keep module ids and numbers within their ranges.",
     false},
    {"E15",
     "A door module's MODULE line has fewer than seven fields: name, id, (unused), type, "
     "strike time, door-ajar time and card timeout (an eighth, the partition, may follow).",
     "MODULE = CR1,3,0\n", "MODULE = CR1,3,0,1,5,30,10\n",
     "Give every door module (ids {door ids range}) all seven fields.", true},
    {"E16",
     "EXECUTE stands inside an event whose name contains USEREVENT; a user event cannot start "
     "another one.",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.USEREVENT2\n"
     "EXECUTE(3)\n"
     "EVENTEND\n",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "EXECUTE(3)\n"
     "EVENTEND\n",
     "Move the EXECUTE into an event that is not a user event, or do the work of the other "
     "user event directly.",
     true},
    {"E17",
     "An assignment sets a property that cannot be set. Of the partition's words only "
     "{properties} can stand left of \"=\", written after the "
     "partition's name and a \".\".",
     "PARTITION = P1,101,1,0\n"
     "EVENT P1.ALARM\n"
     "ARMED = ON\n"
     "EVENTEND\n",
     "PARTITION = P1,101,1,0\n"
     "EVENT P1.ALARM\n"
     "P1.ARMED = ON\n"
     "EVENTEND\n",
     "Write the property as PARTITION.ARMED, PARTITION.SYSTEMKEY, PARTITION.ALARMSIGNAL or "
     "PARTITION.TROUBLESIGNAL.",
     true},
    {"E18",
     "EVENTEND stands inside an open IF block. The EVENTEND is ignored: the event stays open, "
     "so the next EVENT line reports E26.",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "IF TIMEPLAN(1)\n"
     "DELAY(5)\n"
     "EVENTEND\n",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "IF TIMEPLAN(1)\n"
     "DELAY(5)\n"
     "ENDIF\n"
     "EVENTEND\n",
     "Close every IF with ENDIF before the EVENTEND; the note names the open IF's line.", true},
    {"E19",
     "A declared name holds a character other than a letter, a digit or \"_\" (a partition "
     "name must not hold \"-\"). The declarations of that kind after it are not collected.",
     "MODULE = PANEL,0\n"
     "DEFINE REGISTER DOOR-COUNT\n",
     "MODULE = PANEL,0\n"
     "DEFINE REGISTER DOOR_COUNT\n"
     "EVENT PANEL.INIT\n"
     "DOOR_COUNT = 0\n"
     "EVENTEND\n",
     "Rename it with letters, digits and \"_\" only.", true},
    {"E20",
     "ENDIF has no IF block to close at its level: there is no IF, or the IF's condition "
     "failed with an error and opened no block.",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "DELAY(5)\n"
     "ENDIF\n"
     "EVENTEND\n",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "DELAY(5)\n"
     "EVENTEND\n",
     "Remove the extra ENDIF, or fix the error of the IF line it belongs to.", true},
    {"E21",
     "A parameter or value must be a number and is not (a parameter name where only a "
     "number is accepted, for example).",
     "MODULE = PANEL,0\n"
     "DEFINE PARAMETER GROUPNO = 3\n"
     "EVENT PANEL.INIT\n"
     "CLEARGROUPCOUNTER(GROUPNO)\n"
     "EVENTEND\n",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "CLEARGROUPCOUNTER(3)\n"
     "EVENTEND\n",
     "Write the number itself. Only DELAY and register or timer loads accept a parameter "
     "name.",
     true},
    {"E22",
     "A register assignment with \"+\" or \"-\" does not have a register on the left of the "
     "operator. A negative number such as R1 = -1 reads as a subtraction and gives this "
     "error too.",
     "MODULE = PANEL,0\n"
     "DEFINE REGISTER COUNT\n"
     "EVENT PANEL.INIT\n"
     "COUNT = 5 + COUNT\n"
     "EVENTEND\n",
     "MODULE = PANEL,0\n"
     "DEFINE REGISTER COUNT\n"
     "EVENT PANEL.INIT\n"
     "COUNT = COUNT + 5\n"
     "EVENTEND\n",
     "Write REGISTER = REGISTER + n or REGISTER = REGISTER - n, the register first.", true},
    {"E23",
     "Register arithmetic adds to or subtracts from another register than the one it "
     "assigns; the controller only changes one register in place.",
     "MODULE = PANEL,0\n"
     "DEFINE REGISTER COUNT\n"
     "DEFINE REGISTER TOTAL\n"
     "EVENT PANEL.INIT\n"
     "COUNT = TOTAL + 1\n"
     "EVENTEND\n",
     "MODULE = PANEL,0\n"
     "DEFINE REGISTER COUNT\n"
     "DEFINE REGISTER TOTAL\n"
     "EVENT PANEL.INIT\n"
     "COUNT = COUNT + 1\n"
     "TOTAL = TOTAL + 1\n"
     "EVENTEND\n",
     "Use the same register on both sides of \"=\".", true},
    {"E24",
     "A name is declared twice, or names two things (a register and a parameter, a timer and "
     "a module). The declarations of that kind after it are not collected.",
     "MODULE = PANEL,0\n"
     "DEFINE REGISTER COUNT\n"
     "DEFINE REGISTER COUNT\n",
     "MODULE = PANEL,0\n"
     "DEFINE REGISTER COUNT\n"
     "DEFINE REGISTER TOTAL\n"
     "EVENT PANEL.INIT\n"
     "COUNT = 0\n"
     "TOTAL = 0\n"
     "EVENTEND\n",
     "Give each declaration its own name; the note names the line of the first one.", true},
    {"E25",
     "A statement stands in an event block that does not count as open: an EVENTEND earlier "
     "in the script closed one block too many (E29), and from then on every EVENT only "
     "brings the block count back to zero. The extra EVENTEND is often the end of an event "
     "whose EVENT line failed (a misspelt module: E6 on the EVENT line), so that its block "
     "was never opened.",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "EVENTEND\n"
     "EVENTEND\n"
     "EVENT PANEL.TIMER1SEC\n"
     "DELAY(1)\n"
     "EVENTEND\n",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "EVENTEND\n"
     "EVENT PANEL.TIMER1SEC\n"
     "DELAY(1)\n"
     "EVENTEND\n",
     "Look at the first error above this line: correct an EVENT line that failed (its "
     "EVENTEND then closes its own block again), or remove an EVENTEND that closes nothing "
     "(E29).",
     true},
    {"E26",
     "An EVENT line stands inside an open event block: the EVENTEND of the block before is "
     "missing (or was refused with E18). The new event's header is written all the same.",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "DELAY(1)\n"
     "EVENT PANEL.TIMER1SEC\n"
     "DELAY(1)\n"
     "EVENTEND\n",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "DELAY(1)\n"
     "EVENTEND\n"
     "EVENT PANEL.TIMER1SEC\n"
     "DELAY(1)\n"
     "EVENTEND\n",
     "Close each event with EVENTEND before the next EVENT; the note names the open event's "
     "line.",
     true},
    {"E27", "An IF block has a second ELSE.",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "IF TIMEPLAN(1)\n"
     "DELAY(1)\n"
     "ELSE\n"
     "DELAY(2)\n"
     "ELSE\n"
     "DELAY(3)\n"
     "ENDIF\n"
     "EVENTEND\n",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "IF TIMEPLAN(1)\n"
     "DELAY(1)\n"
     "ELSE\n"
     "IF TIMEPLAN(2)\n"
     "DELAY(2)\n"
     "ELSE\n"
     "DELAY(3)\n"
     "ENDIF\n"
     "ENDIF\n"
     "EVENTEND\n",
     "Use one ELSE per IF; for a further choice open a new IF inside the ELSE branch.", true},
    {"E28",
     "ELSE has no IF block at its level: there is no IF, or the IF's condition failed with "
     "an error and opened no block.",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "DELAY(1)\n"
     "ELSE\n"
     "DELAY(2)\n"
     "EVENTEND\n",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "IF TIMEPLAN(1)\n"
     "DELAY(1)\n"
     "ELSE\n"
     "DELAY(2)\n"
     "ENDIF\n"
     "EVENTEND\n",
     "Open the block with an IF line, or fix the error of its IF line.", true},
    {"E29",
     "EVENTEND closes no open event. After it the block count is one short, so the "
     "statements of the next events report E25 until an extra EVENT restores the count.",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "DELAY(1)\n"
     "EVENTEND\n"
     "EVENTEND\n",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "DELAY(1)\n"
     "EVENTEND\n",
     "Remove the extra EVENTEND.", true},
    {"E30",
     "The left side of an assignment is something that can only be tested: an input, a "
     "tamper contact, a partition state such as READY or ALARM.",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "INPUT1 = ON\n"
     "EVENTEND\n",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "RELAY1 = ON\n"
     "EVENTEND\n",
     "Set an output (RELAYn, OCn, EXOUTPUTn, BEEP, AUXOUTPUT), a register or timer, or a "
     "settable partition property instead; test inputs with IF.",
     true},
    {"E31",
     "The compiled code, with its three-byte trailer, is {code limit} bytes or longer; the "
     "controller holds at most {code max}. The download file is written whole all the same and "
     "must not be used.",
     "(a script whose compiled code reaches {code limit} bytes)\n", "",
     "Shorten the script: share code between events with user events (EXECUTE), drop unused "
     "blocks. `vigil check` warns (W4) above {code warning} bytes.",
     false},
    {"W1",
     "An IF block is still open when the script ends: its ENDIF is missing. vigilc "
     "reports nothing, and the jump of that IF keeps the distance 0, so the test "
     "guards nothing.",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "IF TIMEPLAN(1)\n"
     "DELAY(5)\n",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "IF TIMEPLAN(1)\n"
     "DELAY(5)\n"
     "ENDIF\n"
     "EVENTEND\n",
     "Close the block with ENDIF where it should end.", true},
    {"W2", "An EVENT block is still open when the script ends: its EVENTEND is missing.",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "DELAY(5)\n",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "DELAY(5)\n"
     "EVENTEND\n",
     "End the event with EVENTEND.", true},
    {"W3",
     "A register, timer, parameter or archive mark is declared but no statement line uses "
     "it. It still takes a number in the settings table and the controller's records; often "
     "the use is misspelt or was removed.",
     "MODULE = PANEL,0\n"
     "DEFINE REGISTER SPARE\n"
     "EVENT PANEL.INIT\n"
     "DELAY(5)\n"
     "EVENTEND\n",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "DELAY(5)\n"
     "EVENTEND\n",
     "Remove the declaration, or use the name where it was meant to be used.", true},
    {"W4",
     "The compiled code is above {code warning percent} % of the {code limit}-byte limit (more "
     "than {code warning} bytes). The "
     "script still fits, but little room is left before E31.",
     "(a script whose compiled code lies between {code warning next} and {code max} bytes)\n", "",
     "Plan for the limit: share code between events with user events (EXECUTE) and drop "
     "unused blocks.",
     false},
    {"W5",
     "The condition of an IF is no test that the compiler knows, so the rest of the line was "
     "compiled as a statement (IF NOT BREAK compiles BREAK). No jump field is written for "
     "this IF, and its ELSE or ENDIF then rewrites the jump of an earlier IF block at the "
     "same level: both blocks run wrongly on the controller. The notes name both lines.",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "IF TIMEPLAN(1)\n"
     "DELAY(5)\n"
     "ENDIF\n"
     "IF NOT BREAK\n"
     "DELAY(6)\n"
     "ENDIF\n"
     "EVENTEND\n",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "IF NOT TIMEPLAN(1)\n"
     "BREAK\n"
     "ENDIF\n"
     "DELAY(6)\n"
     "EVENTEND\n",
     "Write a real test after IF (a comparison such as RELAY1 = ON, or a test word such as "
     "TIMEPLAN(1), PRESENT, GROUP(2)) and put the statement on its own line inside the "
     "block.",
     true},
    {"W6",
     "A line ends in LF alone, as some editors and pasted snippets leave it. The compiler ends "
     "lines only at CR LF or a lone CR: the LF is read as a blank, and the next line becomes "
     "part of this one, so its statement is not compiled as written (usually not at all). A "
     "script saved with LF line ends only is one single line. vigilc reports nothing.",
     "  MARK(FORCED)      (ending in LF alone)\n"
     "  DOOR()\n",
     "  MARK(FORCED)      (ending in CR LF)\n"
     "  DOOR()\n",
     "End every line in CR LF: `vigil fix SCRIPT` converts the line ends and keeps the script as "
     "it was in SCRIPT.bak. Set the editor to CR LF (Windows) line ends for these scripts.",
     false},
    {"W7",
     "A condition uses >=, <=, < or <>, which the language does not have. The compiler reads "
     "\">\" as a separator and \"=\" as the comparison, so IF R >= 3 tests R = 3; \"<\" is no "
     "word at all. The notes show the test the controller gets.",
     "MODULE = PANEL,0\n"
     "DEFINE REGISTER R\n"
     "EVENT PANEL.INIT\n"
     "IF R >= 3\n"
     "DELAY(5)\n"
     "ENDIF\n"
     "EVENTEND\n",
     "MODULE = PANEL,0\n"
     "DEFINE REGISTER R\n"
     "EVENT PANEL.INIT\n"
     "IF R > 2\n"
     "DELAY(5)\n"
     "ENDIF\n"
     "EVENTEND\n",
     "Compare with = and > only: R > 2 for R >= 3, NOT R > 2 for R < 3, NOT R = 3 for R <> 3, "
     "NOT R > 3 for R <= 3.",
     true},
    {"W8",
     "A declaration line sets nothing and vigilc says nothing: a MODULE, PARTITION or DEVICE "
     "line whose keyword does not stand at the very start of the line (indented), a MODULE or "
     "PARTITION line after the first EVENT line, or a DEVICE line naming a device the module "
     "does not save (a misspelling, or UserEvents not written exactly so).",
     "MODULE = PANEL,0\n"
     "MODULE = FRONT,1,0,2,5,30,10\n"
     "DEVICE = FRONT.TAMPR,1\n",
     "MODULE = PANEL,0\n"
     "MODULE = FRONT,1,0,2,5,30,10\n"
     "DEVICE = FRONT.TAMPER,1\n",
     "Start declaration lines at the first column, put MODULE and PARTITION lines above the "
     "first EVENT line, and spell the device as the module kind names it (the note suggests "
     "the nearest).",
     true},
    {"W9",
     "The script starts with a UTF-8 byte-order mark, three invisible bytes that some Windows "
     "editors write first. The compiler reads them as part of the first line, which then "
     "fails (E6), and a first MODULE line is lost with everything that names its module.",
     "\xEF\xBB\xBFMODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "EVENTEND\n",
     "MODULE = PANEL,0\n"
     "EVENT PANEL.INIT\n"
     "EVENTEND\n",
     "Save the script without a byte-order mark (\"UTF-8\" rather than \"UTF-8 with BOM\"), or "
     "run `vigil fix SCRIPT`, which removes it.",
     true},
}};

// Appends `text` wrapped at kWrapWidth columns, the first line starting at
// `column`.
void AppendWrapped(std::string& out, std::string_view text, size_t column = 0) {
  bool first = true;
  while (!text.empty()) {
    size_t space = text.find(' ');
    std::string_view word = text.substr(0, space);
    text = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
    if (!first && column + 1 + word.size() > kWrapWidth) {
      out += '\n';
      column = 0;
    } else if (!first) {
      out += ' ';
      ++column;
    }
    out += word;
    column += word.size();
    first = false;
  }
  out += '\n';
}

void AppendExample(std::string& out, std::string_view heading, std::string_view lines) {
  out += "\n";
  out += heading;
  out += ":\n";
  while (!lines.empty()) {
    size_t end = lines.find('\n');
    out += "    ";
    out += lines.substr(0, end);
    out += '\n';
    lines = end == std::string_view::npos ? std::string_view() : lines.substr(end + 1);
  }
}

void AddNumber(std::vector<ProseValue>& values, std::string_view name, int number) {
  values.push_back({std::string(name), std::to_string(number)});
}

void AddRange(std::vector<ProseValue>& values, std::string_view name, IdRange range) {
  AddNumber(values, std::string(name) + " first", range.first);
  AddNumber(values, std::string(name) + " last", range.last);
}

const std::string* FindValue(std::span<const ProseValue> values, std::string_view name) {
  for (const ProseValue& value : values) {
    if (value.name == name) return &value.text;
  }
  return nullptr;
}

// The text of one slot's name, or nullopt when the name is unknown.
std::optional<std::string> SlotText(std::string_view name, std::span<const ProseValue> values) {
  constexpr std::string_view kRange = " range";
  if (name.ends_with(kRange)) {
    std::string stem(name.substr(0, name.size() - kRange.size()));
    const std::string* first = FindValue(values, stem + " first");
    const std::string* last = FindValue(values, stem + " last");
    if (first == nullptr || last == nullptr) return std::nullopt;
    return *first + " to " + *last;
  }
  const std::string* value = FindValue(values, name);
  if (value == nullptr) return std::nullopt;
  return *value;
}

// The entries with their slots filled, made once.
struct FilledEntries {
  std::vector<std::string> texts;  // four per entry: meaning, wrong, right, fix
  std::vector<Explanation> entries;
};

const FilledEntries& Filled() {
  static const FilledEntries filled = [] {
    FilledEntries made;
    std::vector<ProseValue> values = ProseValues();
    for (const Explanation& entry : kTemplates) {
      for (std::string_view text : {entry.meaning, entry.wrong, entry.right, entry.fix}) {
        made.texts.push_back(FillValues(text, values));
      }
    }
    for (size_t i = 0; i < kTemplates.size(); ++i) {
      const std::string* text = &made.texts[i * 4];
      made.entries.push_back(
          {kTemplates[i].code, text[0], text[1], text[2], text[3], kTemplates[i].whole_scripts});
    }
    return made;
  }();
  return filled;
}

}  // namespace

std::vector<ProseValue> ProseValues() {
  std::vector<ProseValue> values;
  constexpr std::pair<std::string_view, int> kNumbers[] = {
      {"code limit", kCodeSizeLimit},
      {"code max", kMaxCodeSize},
      {"code warning", kCodeSizeWarning},
      {"code warning next", kCodeSizeWarning + 1},
      {"code warning percent", kCodeSizeWarningPercent},
      {"items max", kMaxUserItems},
      {"items refused", kMaxUserItems + 1},
      {"if max", kMaxIfLevel},
      {"if refused", kMaxIfLevel + 1},
  };
  for (const auto& [name, number] : kNumbers) AddNumber(values, name, number);
  AddRange(values, "byte", {0, kMaxByte});
  AddRange(values, "door ids", kDoorIds);
  for (const ValueRange& range : ValueRanges()) AddRange(values, range.word, range.values);
  std::span<const std::string> door_events = EventNamesOf(ModuleKind::kDoor);
  values.push_back({"door events", JoinWords(std::vector<std::string_view>(door_events.begin(),
                                                                           door_events.end()))});
  values.push_back({"properties", JoinWords(SettableProperties())});
  return values;
}

std::string FillValues(std::string_view text, std::span<const ProseValue> values) {
  std::string out;
  while (!text.empty()) {
    size_t open = text.find('{');
    size_t close = open == std::string_view::npos ? open : text.find('}', open);
    if (close == std::string_view::npos) break;
    std::optional<std::string> slot = SlotText(text.substr(open + 1, close - open - 1), values);
    out += text.substr(0, open);
    out += slot ? *slot : std::string(text.substr(open, close - open + 1));
    text.remove_prefix(close + 1);
  }
  out += text;
  return out;
}

std::span<const Explanation> ExplanationTemplates() { return kTemplates; }

std::span<const Explanation> Explanations() { return Filled().entries; }

const Explanation* FindExplanation(std::string_view code) {
  std::string wanted = ToUpper(code);
  if (!wanted.empty() && wanted.front() >= '0' && wanted.front() <= '9') wanted.insert(0, "E");
  // Leading zeros of the number are dropped: E06 is E6.
  while (wanted.size() > 2 && wanted[1] == '0') wanted.erase(1, 1);
  for (const Explanation& explanation : Explanations()) {
    if (explanation.code == wanted) return &explanation;
  }
  return nullptr;
}

std::string ExplanationTitle(const Explanation& explanation) {
  int number = 0;
  for (char c : explanation.code.substr(1)) number = number * 10 + (c - '0');
  if (explanation.code.front() == 'W') return std::string(WarningTitle(number));
  return std::string(ErrorMessage(number));
}

std::string FormatExplanation(const Explanation& explanation) {
  std::string out(explanation.code);
  out += ": ";
  out += ExplanationTitle(explanation);
  out += "\n\n";
  AppendWrapped(out, explanation.meaning);
  if (!explanation.wrong.empty()) AppendExample(out, "Wrong", explanation.wrong);
  if (!explanation.right.empty()) AppendExample(out, "Right", explanation.right);
  constexpr std::string_view kFixHeading = "How to fix: ";
  out += "\n";
  out += kFixHeading;
  AppendWrapped(out, explanation.fix, kFixHeading.size());
  return out;
}

}  // namespace vigil
