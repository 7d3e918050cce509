// Runs the built `vigil` in a fresh directory: check in its three formats,
// build against vigilc file for file, and every subcommand's exit statuses.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/files.h"

namespace {

using vigil::testing::ProgramRun;

constexpr char kFaulty[] =
    "MODULE = PANEL,0\r\nDEFINE REGISTER SPARE\r\nEVENT PANEL.INIT\r\nDELAY(300)\r\nEVENTEND\r\n";

constexpr char kOffice[] = VIGIL_SOURCE_DIR "/examples/office.txt";

class VigilTest : public ::testing::Test {
 protected:
  ProgramRun Vigil(const std::vector<std::string>& args) const {
    return dir_.Run(VIGIL_PATH, args);
  }

  vigil::testing::TempDir dir_{"vigil-check"};
  vigil::testing::TempDir plain_{"vigil-plain"};
};

TEST_F(VigilTest, ExitStatusesAndNoFilesWritten) {
  dir_.Write("clean.txt", "MODULE = PANEL,0\r\nEVENT PANEL.INIT\r\nEVENTEND\r\n");
  dir_.Write("warned.txt", "MODULE = PANEL,0\r\nEVENT PANEL.INIT\r\n");  // no EVENTEND
  dir_.Write("faulty.txt", kFaulty);
  for (auto [args, expected] : std::vector<std::pair<std::vector<std::string>, int>>{
           {{"check", "clean.txt", "--werror"}, 0},
           {{"check", "warned.txt"}, 0},
           {{"check", "--werror", "warned.txt", "--format=sarif"}, 1},
           {{"check", "missing.txt"}, 2},
           {{"check"}, 2},
           {{"check", "clean.txt", "warned.txt"}, 2},
           {{"check", "--format=xml", "clean.txt"}, 2},
           {{"explain", "6"}, 0},
           {{"explain", "E6", "E99"}, 2},
           {{"--help"}, 0},
           {{"build"}, 2},
           {{}, 2},
           {{"compile", "clean.txt"}, 2},
           {{"test", kOffice, "missing.scenarios"}, 2},
           {{"test", kOffice}, 2},
           {{"sim", kOffice}, 2},
           {{"sim", kOffice, "FRONT.OPENED"}, 2},
           {{"fix", "missing.txt"}, 2},
           {{"dis", "none.BIN"}, 2},
           {{"dis", "--script", "faulty.txt"}, 1}}) {
    ProgramRun run = Vigil(args);
    EXPECT_EQ(run.status, expected) << (args.empty() ? "" : args.back()) << ": " << run.err;
  }
  EXPECT_EQ(dir_.Names().size(), 3u);
  EXPECT_EQ(Vigil({"explain", "E6", "E99"}).out, "");  // all or nothing
  EXPECT_NE(Vigil({"explain"}).out.find("\n  E6   Unknown command\n"), std::string::npos);
}

// Runs `argv[1] check` on "my site.txt" and prints what its JSON and SARIF
// forms hold.
constexpr char kReadJsonAndSarif[] =
    "import json, subprocess, sys\n"
    "check = lambda form: json.loads(subprocess.run(\n"
    "    [sys.argv[1], 'check', '--format=' + form, 'my site.txt'], capture_output=True).stdout)\n"
    "print(check('json'))\n"
    "log = check('sarif')\n"
    "run, = log['runs']; tool = run['tool']['driver']; rules = tool['rules']\n"
    "print(log['version'], log['$schema'][-16:], tool['name'], tool['version'])\n"
    "print([(r['id'], r['shortDescription']['text'], r['defaultConfiguration']['level'])\n"
    "       for r in rules])\n"
    "for r in run['results']:\n"
    "    loc = r['locations'][0]['physicalLocation']; reg = loc['region']\n"
    "    print(r['ruleId'], rules[r['ruleIndex']]['id'], r['level'],\n"
    "          r['message']['text'].splitlines(), loc['artifactLocation']['uri'],\n"
    "          reg['startLine'], reg['startColumn'], reg['endColumn'])\n";

const std::string kErrorText =
    "my site.txt:4:7: error: Value out of range [E11]\n"
    "    4 | DELAY(300)\n"
    "      |       ^^^\n"
    "      = note: the DELAY number must lie in 0 to 255\n";

TEST_F(VigilTest, CheckInItsThreeFormats) {
  dir_.Write("my site.txt", kFaulty);
  EXPECT_EQ(
      Vigil({"check", "my site.txt"}),
      (ProgramRun{1,
                  "my site.txt:2:17: warning: Register SPARE is declared but never used [W3]\n"
                  "    2 | DEFINE REGISTER SPARE\n"
                  "      |                 ^^^^^\n" +
                      kErrorText + "my site.txt: 1 error, 1 warning, 6 bytes of code\n",
                  ""}));

  // The JSON and SARIF forms as a Python program reads them.
  EXPECT_EQ(
      dir_.Run("/usr/bin/env", {"python3", "-c", kReadJsonAndSarif, VIGIL_PATH}).out,
      "[{'file': 'my site.txt', 'line': 2, 'column': 17, 'end_column': 22, 'column_unit': 'byte', "
      "'severity': 'warning', 'code': 'W3', 'message': 'Register SPARE is declared but never used',"
      " 'notes': []}, {'file': 'my site.txt', 'line': 4, 'column': 7, 'end_column': 10, "
      "'column_unit': 'byte', 'severity': 'error', 'code': 'E11', 'message': 'Value out of range', "
      "'notes': ['the DELAY number must lie in 0 to 255']}]\n"
      "2.1.0 sarif-2.1.0.json vigil 1.0\n"
      "[('W3', 'Declared name never used', 'warning'), ('E11', 'Value out of range', 'error')]\n"
      "W3 W3 warning ['Register SPARE is declared but never used'] my%20site.txt 2 17 22\n"
      "E11 E11 error ['Value out of range', 'note: the DELAY number must lie in 0 to 255'] "
      "my%20site.txt 4 7 10\n");
}

// vigil build writes what vigilc writes (the listings may differ in their
// Date lines), says what vigilc says on stdout in its own name, and adds the
// text form of the errors on stderr.
TEST_F(VigilTest, BuildWritesVigilcsFiles) {
  plain_.Write("my site.txt", kFaulty);
  dir_.Write("my site.txt", kFaulty);
  ProgramRun plain = plain_.Run(VIGILC_PATH, {"my site.txt"});
  ASSERT_TRUE(plain.out.starts_with("vigilc: ")) << plain.out;
  EXPECT_EQ(Vigil({"build", "my site.txt"}),
            (ProgramRun{1, "vigil build: " + plain.out.substr(8), kErrorText}));
  auto up_to_date = [](std::string text) { return text.substr(0, text.find("Date = ")); };
  for (std::string name : {"my site.BIN", "my site.ERR", "my site.SET", "my site.LST"}) {
    EXPECT_EQ(up_to_date(dir_.Read(name)), up_to_date(plain_.Read(name))) << name;
  }
}

}  // namespace
