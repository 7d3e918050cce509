// Throughput of the compiler core on a large, realistic script: a site of
// door modules, partitions, power supplies and an alarm panel, with the
// declarations and event blocks an installer writes, repeated to a few
// megabytes. Reports script bytes per second and lines per second.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/compile/compilation.h"
#include "core/formats/download_file.h"
#include "core/lang/limits.h"

namespace vigil {
namespace {

constexpr int kDoors = 60;

void Add(std::string& script, const std::string& line) {
  script += line;
  script += "\r\n";
}

std::string Header() {
  std::string script;
  Add(script, "; Site with " + std::to_string(kDoors) + " doors, two partitions, two supplies.");
  Add(script, "MODULE PANEL = PANEL,0");
  Add(script, "MODULE MAIN-PANEL = MAIN-PANEL,100");
  Add(script, "MODULE PSU1 = PSU1,71");
  Add(script, "MODULE PSU2 = PSU2,72");
  for (int door = 1; door <= kDoors; ++door) {
    std::string name = "DOOR" + std::to_string(door);
    Add(script, "MODULE " + name + " = " + name + "," + std::to_string(door) + ",0,2,5,30,10," +
                    std::to_string(1 + door % 2));
    Add(script, "DEVICE = " + name + ".CARDREADER,1");
    Add(script, "DEVICE = " + name + ".TAMPER,1");
  }
  Add(script, "PARTITION OFFICES = OFFICES,101,1,100");
  Add(script, "PARTITION STORE = STORE,102,2,101");
  Add(script, "DEVICE = MAIN-PANEL.EXINPUT1,1");
  for (int i = 1; i <= 20; ++i) {
    Add(script, "DEFINE PARAMETER WAIT" + std::to_string(i) + " = " + std::to_string(i));
    Add(script, "DEFINE MARK LOG" + std::to_string(i) + " = Event log entry " + std::to_string(i));
    Add(script, "DEFINE REGISTER COUNT" + std::to_string(i));
    Add(script, "DEFINE TIMER HOLD" + std::to_string(i));
  }
  return script;
}

// The event blocks of one door, in the style of the example sites.
std::string DoorEvents(int door) {
  std::string name = "DOOR" + std::to_string(door);
  std::string n = std::to_string(1 + door % 20);
  std::string script;
  Add(script, "");
  Add(script, "; " + name + ": opens in office hours, counts and logs the rest.");
  Add(script, "EVENT " + name + ".VALID");
  Add(script, "  IF TIMEPLAN(" + n + ")");
  Add(script, "    IF OFFICES.ARMED = ON");
  Add(script, "      OFFICES.SYSTEMKEY = CDISARM");
  Add(script, "    ENDIF");
  Add(script, "    DOOR()");
  Add(script, "    COUNT" + n + " = COUNT" + n + " + 1");
  Add(script, "  ELSE");
  Add(script, "    MARK(LOG" + n + ")");
  Add(script, "    BEEP = ON");
  Add(script, "    DELAY(WAIT" + n + ")");
  Add(script, "    BEEP = OFF");
  Add(script, "  ENDIF");
  Add(script, "EVENTEND");
  Add(script, "EVENT " + name + ".INVALID");
  Add(script, "  IF NOT GROUP(" + n + ")");
  Add(script, "    HOLD" + n + " = 30");
  Add(script, "    INVERT(AUXOUTPUT)");
  Add(script, "  ENDIF");
  Add(script, "EVENTEND");
  Add(script, "EVENT " + name + ".FORCEDDOOR");
  Add(script, "  MARK(LOG" + n + ")");
  Add(script, "  PANEL.RELAY" + std::to_string(1 + door % 8) + " = ON");
  Add(script, "  IF " + name + ".INPUT1 = OFF");
  Add(script, "    SIGNAL(MAIN-PANEL,3)");
  Add(script, "  ENDIF");
  Add(script, "EVENTEND");
  return script;
}

std::string PanelEvents() {
  std::string script;
  Add(script, "EVENT PANEL.INPUT1ON");
  Add(script, "  IF COUNT1 > 200");
  Add(script, "    COUNT1 = 0");
  Add(script, "    EXECUTE(2)");
  Add(script, "  ENDIF");
  Add(script, "EVENTEND");
  Add(script, "EVENT PSU1.STATUSCHANGED");
  Add(script, "  IF FLAGS(FACPRESENT)");
  Add(script, "    PANEL.RELAY4 = OFF");
  Add(script, "  ELSE");
  Add(script, "    PANEL.RELAY4 = ON");
  Add(script, "  ENDIF");
  Add(script, "EVENTEND");
  Add(script, "EVENT OFFICES.ALARM");
  Add(script, "  MAIN-PANEL.EXOUTPUT1 = ON");
  Add(script, "  DISPLAY(MAIN-PANEL,3)");
  Add(script, "EVENTEND");
  return script;
}

// About `bytes` of script: the header, then the doors' events over and over.
std::string SiteScript(size_t bytes) {
  std::string script = Header();
  for (int round = 0; script.size() < bytes; ++round) {
    script += DoorEvents(1 + round % kDoors);
    if (round % kDoors == 0) script += PanelEvents();
  }
  return script;
}

int CountLines(const std::string& script) {
  int lines = 1;
  for (char c : script) lines += c == '\r';
  return lines;
}

// The four files need no index of the names' uses (vigilc's compile); the
// editors' value has one (`with_uses`).
void CompileBenchmark(benchmark::State& state, const std::string& script, bool with_uses = false) {
  int errors = 0;
  int code_bytes = 0;
  for (auto _ : state) {
    Compilation compilation = Compile(script, {.record_tokens = with_uses});
    benchmark::DoNotOptimize(compilation.code.data());
    errors = compilation.error_count;
    code_bytes = static_cast<int>(compilation.code.size());
  }
  state.counters["errors"] = errors;
  state.counters["code"] = code_bytes;
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(script.size()));
  state.counters["lines/s"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * CountLines(script), benchmark::Counter::kIsRate);
}

// Four megabytes: the core's steady throughput.
void BM_CompileLargeScript(benchmark::State& state) {
  static const std::string script = SiteScript(4 << 20);
  CompileBenchmark(state, script);
}
BENCHMARK(BM_CompileLargeScript)->Unit(benchmark::kMillisecond);

// The same with the uses of every name, as the language server compiles.
void BM_CompileLargeScriptWithUses(benchmark::State& state) {
  static const std::string script = SiteScript(4 << 20);
  CompileBenchmark(state, script, /*with_uses=*/true);
}
BENCHMARK(BM_CompileLargeScriptWithUses)->Unit(benchmark::kMillisecond);

// The most one download can carry: a code buffer just below the limit.
void BM_CompileMaximalScript(benchmark::State& state) {
  static const std::string script = [] {
    std::string text = Header();
    for (int door = 1;; ++door) {
      std::string more = text + DoorEvents(1 + (door - 1) % kDoors);
      if (static_cast<int>(Compile(more).code.size()) > kMaxCodeSize) return text;
      text = std::move(more);
    }
  }();
  CompileBenchmark(state, script);
}
BENCHMARK(BM_CompileMaximalScript)->Unit(benchmark::kMicrosecond);

// The download file of a full code buffer.
void BM_FormatDownloadFile(benchmark::State& state) {
  std::vector<uint8_t> code(kMaxCodeSize);
  for (size_t i = 0; i < code.size(); ++i) code[i] = static_cast<uint8_t>(i * 37);
  const std::vector<std::string> parameters = {"11;254;0;5;0;"};
  size_t bytes = 0;
  for (auto _ : state) {
    std::string file = FormatDownloadFile({parameters, {}, "122;42;42;42;42;42;42;42;42", code});
    bytes = file.size();
    benchmark::DoNotOptimize(file.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
}
BENCHMARK(BM_FormatDownloadFile)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vigil

BENCHMARK_MAIN();
