// A script of the language guide's site compiled and loaded into a
// controller model, for the simulator's tests.
#ifndef VIGIL_TESTS_SIM_SIM_FIXTURE_H_
#define VIGIL_TESTS_SIM_SIM_FIXTURE_H_

#include <string>
#include <string_view>

#include "sim/machine.h"
#include "sim/program.h"
#include "support/script.h"

namespace vigil::sim::testing {

// CTRL 0, FRONT 1 (strike 5), BACK 2 (strike 1), PSU1 72, PANEL 100,
// OFFICE 101, STORE 102, OPENTIME = 8 (parameter 0), NIGHTOPEN (mark 0),
// VISITS and ALARMS (registers 0, 1), LIGHTS (timer 0).
inline constexpr std::string_view kDeclarations =
    "MODULE = CTRL,0\n"
    "MODULE = FRONT,1,0,2,5,30,10,1\n"
    "MODULE = BACK,2,0,2,1,60,15,2\n"
    "MODULE = PSU1,72\n"
    "MODULE = PANEL,100\n"
    "PARTITION = OFFICE,101,1,100\n"
    "PARTITION = STORE,102,2,101\n"
    "DEFINE PARAMETER OPENTIME = 8\n"
    "DEFINE MARK NIGHTOPEN = Door opened at night\n"
    "DEFINE REGISTER VISITS\n"
    "DEFINE REGISTER ALARMS\n"
    "DEFINE TIMER LIGHTS\n";

// The declarations, then `blocks` (lines ending in "\n").
inline std::string Script(std::string_view blocks) {
  return std::string(kDeclarations) + std::string(blocks);
}

// One block `EVENT event` around `statements`, compiled and loaded.
struct Site {
  explicit Site(std::string_view blocks)
      : compilation(vigil::testing::CompileValue(Script(blocks))),
        program(MakeProgram(compilation)),
        machine(program) {}
  Site(std::string_view event, std::string_view statements)
      : Site("EVENT " + std::string(event) + "\n" + std::string(statements) + "EVENTEND\n") {}

  // Fires the event of the first block.
  void FireFirst() { machine.Fire(program.blocks.at(0).module, program.blocks.at(0).event); }

  Compilation compilation;
  Program program;
  Machine machine;
};

}  // namespace vigil::sim::testing

#endif  // VIGIL_TESTS_SIM_SIM_FIXTURE_H_
