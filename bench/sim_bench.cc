// The simulator on a long scenario: a car park script and one scenario of
// 10 000 events (cars in and out, the ten-second tick, time passing between
// them), parsed and run as `vigil test` does. Goal: under a second.

#include <benchmark/benchmark.h>

#include <string>

#include "core/compile/compilation.h"
#include "sim/program.h"
#include "sim/runner.h"
#include "sim/scenario.h"

namespace vigil {
namespace {

constexpr int kEvents = 10000;

constexpr char kScript[] =
    "MODULE PANEL = PANEL,0\r\n"
    "MODULE ENTRY = ENTRY,3,0,2,3,20,8,1\r\n"
    "MODULE EXIT = EXIT,5,0,2,3,20,8,1\r\n"
    "DEFINE PARAMETER LAMPTIME = 30\r\n"
    "DEFINE MARK FULL = Car park full\r\n"
    "DEFINE REGISTER CARS\r\n"
    "DEFINE TIMER LAMP\r\n"
    "EVENT ENTRY.VALID\r\n"
    "  IF CARS > 199\r\n"
    "    MARK(FULL)\r\n"
    "    EXECUTE(1)\r\n"
    "  ELSE\r\n"
    "    CARS = CARS + 1\r\n"
    "    DOOR()\r\n"
    "    LAMP = LAMPTIME\r\n"
    "    PANEL.RELAY3 = ON\r\n"
    "  ENDIF\r\n"
    "EVENTEND\r\n"
    "EVENT EXIT.VALID\r\n"
    "  DOOR()\r\n"
    "  IF NOT CARS = 0\r\n"
    "    CARS = CARS - 1\r\n"
    "  ENDIF\r\n"
    "EVENTEND\r\n"
    "EVENT PANEL.TIMER10SEC\r\n"
    "  IF LAMP = 0\r\n"
    "    PANEL.RELAY3 = OFF\r\n"
    "  ENDIF\r\n"
    "EVENTEND\r\n"
    "EVENT PANEL.USEREVENT1\r\n"
    "  PANEL.OC2 = ON\r\n"
    "  DIAL(2,FULL)\r\n"
    "  DELAY(2)\r\n"
    "  PANEL.OC2 = OFF\r\n"
    "EVENTEND\r\n";

// Three cars in for every one out, a second between cars, a check of the
// count after every event.
std::string LongScenario() {
  std::string text = "SCENARIO a busy day\r\n";
  for (int i = 0; i < kEvents; ++i) {
    text += i % 4 == 3 ? "EVENT EXIT.VALID\r\n" : "EVENT ENTRY.VALID\r\n";
    text += "WAIT 1\r\nEXPECT CARS > 0\r\n";
  }
  return text;
}

void BM_TenThousandEventScenario(benchmark::State& state) {
  std::string scenario = LongScenario();
  Compilation compilation = Compile(kScript);
  sim::Program program = sim::MakeProgram(compilation);
  for (auto _ : state) {
    sim::ScenarioFile file = sim::ParseScenarios(scenario, kScript);
    sim::ScenarioResult result = sim::RunScenario(program, file.scenarios.at(0));
    benchmark::DoNotOptimize(result);
  }
  state.counters["events/s"] =
      benchmark::Counter(kEvents, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_TenThousandEventScenario)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vigil

BENCHMARK_MAIN();
