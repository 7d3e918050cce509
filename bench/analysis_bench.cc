// The path analysis behind vigil paths and vigil diff.
//  - The decision tables of every event of a 3000-line site script (goal:
//    under a second), from the compiled script to the text.
//  - How the cost grows with the IFs of one event: N IFs one after another
//    give 2^N paths (each path is explored, so the cost doubles with each IF);
//    N IFs nested give N + 1 paths (the cost grows with N).

#include <benchmark/benchmark.h>

#include <optional>
#include <string>

#include "analysis/decision_table.h"
#include "analysis/explore.h"
#include "core/compile/compilation.h"
#include "sim/program.h"

namespace vigil {
namespace {

constexpr int kSiteLines = 3000;

std::string Header(int doors) {
  std::string text = "MODULE PANEL = PANEL,0\r\n";
  for (int i = 1; i <= doors; ++i) {
    std::string name = "D" + std::to_string(i);
    text += "MODULE " + name + " = " + name + "," + std::to_string(i) + ",0,2,5,30,10\r\n";
  }
  text += "DEFINE REGISTER VISITS\r\nDEFINE MARK DENIED = Access denied\r\n";
  return text;
}

// One door event of 13 lines: a nested IF in an IF/ELSE, then two IFs in a
// row (six paths).
std::string DoorEvent(const std::string& event, int n) {
  std::string plan = std::to_string(n % 8 + 1);
  return "EVENT " + event + "\r\n  IF TIMEPLAN(" + plan +
         ")\r\n    IF GROUP(5)\r\n      DOOR()\r\n      VISITS = VISITS + 1\r\n    ENDIF\r\n"
         "  ELSE\r\n    MARK(DENIED)\r\n  ENDIF\r\n  IF VISITS > 200\r\n    VISITS = 0\r\n"
         "  ENDIF\r\nEVENTEND\r\n";
}

// A site script of kSiteLines lines: doors with VALID, INVALID, FORCEDDOOR
// and DOORAJAR events.
std::string SiteScript() {
  constexpr int kDoors = 60;
  std::string text = Header(kDoors);
  int lines = kDoors + 3;
  int n = 0;
  for (int door = 1; lines + 13 <= kSiteLines; door = door % kDoors + 1) {
    for (std::string_view event : {"VALID", "INVALID", "FORCEDDOOR", "DOORAJAR"}) {
      if (lines + 13 > kSiteLines) break;
      text += DoorEvent("D" + std::to_string(door) + "." + std::string(event), n++);
      lines += 13;
    }
    if (door == kDoors) break;
  }
  while (lines++ < kSiteLines) text += "; spare line\r\n";
  return text;
}

// The program of `script`; nullopt after marking the benchmark as failed.
std::optional<sim::Program> ProgramOf(benchmark::State& state, std::string script) {
  Compilation compilation = Compile(std::move(script));
  if (compilation.error_count != 0) {
    state.SkipWithError("the script does not compile");
    return std::nullopt;
  }
  return sim::MakeProgram(compilation);
}

void BM_SiteScriptTables(benchmark::State& state) {
  std::optional<sim::Program> program = ProgramOf(state, SiteScript());
  if (!program) return;
  size_t paths = 0;
  for (auto _ : state) {
    std::vector<analysis::EventPaths> tables = analysis::ExploreAll(*program);
    std::string text = analysis::TableText(*program, tables);
    benchmark::DoNotOptimize(text);
    paths = 0;
    for (const analysis::EventPaths& table : tables) paths += table.paths.size();
  }
  state.counters["lines"] = kSiteLines;
  state.counters["paths"] = static_cast<double>(paths);
}
BENCHMARK(BM_SiteScriptTables)->Unit(benchmark::kMillisecond);

// One event with `ifs` IFs, one after another or nested.
std::string OneEvent(int ifs, bool nested) {
  std::string text = Header(1) + "EVENT D1.VALID\r\n";
  for (int i = 0; i < ifs; ++i) {
    text += "IF TIMEPLAN(" + std::to_string(i % 64 + 1) + ")\r\nVISITS = VISITS + 1\r\n";
    if (!nested) text += "ENDIF\r\n";
  }
  if (nested) {
    for (int i = 0; i < ifs; ++i) text += "ENDIF\r\n";
  }
  return text + "EVENTEND\r\n";
}

void RunOneEvent(benchmark::State& state, bool nested) {
  std::optional<sim::Program> program =
      ProgramOf(state, OneEvent(static_cast<int>(state.range(0)), nested));
  if (!program) return;
  size_t paths = 0;
  for (auto _ : state) {
    std::vector<analysis::EventPaths> tables = analysis::ExploreAll(*program);
    paths = tables.empty() ? 0 : tables[0].paths.size();
    benchmark::DoNotOptimize(tables);
  }
  state.counters["paths"] = static_cast<double>(paths);
}

void BM_IfsInARow(benchmark::State& state) { RunOneEvent(state, false); }
BENCHMARK(BM_IfsInARow)->DenseRange(2, 12, 2)->Unit(benchmark::kMicrosecond);

void BM_IfsNested(benchmark::State& state) { RunOneEvent(state, true); }
BENCHMARK(BM_IfsNested)->DenseRange(2, 12, 2)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vigil

BENCHMARK_MAIN();
