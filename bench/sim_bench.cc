// The simulator on a long scenario: a car park script and one scenario of
// 10 000 events (cars in and out, the ten-second tick, time passing between
// them), parsed and run as `vigil test` does. Goal: under a second. And 10 000
// distinct steps against a large script, read with no compile of the script.

#include <benchmark/benchmark.h>

#include <chrono>
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
    sim::ScenarioFile file = sim::ParseScenarios(scenario, compilation, program);
    sim::ScenarioResult result = sim::RunScenario(program, file.scenarios.at(0));
    benchmark::DoNotOptimize(result);
  }
  state.counters["events/s"] =
      benchmark::Counter(kEvents, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_TenThousandEventScenario)->Unit(benchmark::kMillisecond);

// The car park script with `copies` more blocks of the same lines: a
// site-sized script whose compile costs far more than one step's.
std::string LargeScript(int copies) {
  std::string script = kScript;
  for (int i = 0; i < copies; ++i) {
    script +=
        "EVENT ENTRY.VALID\r\n  IF CARS > 199\r\n    MARK(FULL)\r\n  ELSE\r\n"
        "    CARS = CARS + 1\r\n  ENDIF\r\nEVENTEND\r\n";
  }
  return script;
}

// 10 000 distinct step lines: each a new condition or state, so no step can
// reuse another's reading.
std::string DistinctSteps() {
  std::string text = "SCENARIO every count\r\nEVENT ENTRY.VALID\r\n";
  for (int i = 0; i < kEvents; ++i) {
    std::string n = std::to_string(i % 256);
    text += i % 2 == 0 ? "SET CARS = " + n + "\r\n" : "EXPECT NOT CARS > " + n + "\r\n";
    if (i % 512 == 511) text += "EVENT EXIT.VALID\r\nSCENARIO more " + std::to_string(i) + "\r\n";
  }
  return text;
}

// Parsing 10 000 distinct steps against a compiled 60 KB script: the steps go
// through the statement entry, so the run compiles the script once (outside
// the loop) and never again. The counter "script_compiles" is the parse's
// time in compiles of the script: far below 1 means no step recompiled it
// (a compile per step would make it about 10 000).
void BM_TenThousandDistinctSteps(benchmark::State& state) {
  std::string script = LargeScript(1000);
  std::string scenario = DistinctSteps();
  auto started = std::chrono::steady_clock::now();
  Compilation compilation = Compile(script);
  double compile_seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  sim::Program program = sim::MakeProgram(compilation);
  double parse_seconds = 0;
  for (auto _ : state) {
    started = std::chrono::steady_clock::now();
    sim::ScenarioFile file = sim::ParseScenarios(scenario, compilation, program);
    parse_seconds +=
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    benchmark::DoNotOptimize(file);
  }
  state.counters["parse_in_compiles"] =
      parse_seconds / static_cast<double>(state.iterations()) / compile_seconds;
  state.counters["script_bytes"] = static_cast<double>(script.size());
  state.counters["steps/s"] =
      benchmark::Counter(kEvents, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_TenThousandDistinctSteps)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vigil

BENCHMARK_MAIN();
