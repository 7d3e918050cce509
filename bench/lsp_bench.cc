// The language server on a 1 MB script: the re-check after one keystroke,
// from the didChange message to the publishDiagnostics message written, as
// the editor waits for it (goal: 50 ms), and the semantic tokens of a screen
// (goal: 10 ms).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <ostream>
#include <streambuf>
#include <string>

#include "lsp/server.h"

namespace vigil {
namespace {

constexpr int kDoors = 60;
constexpr std::string_view kUri = "file:///site/large.txt";

void Add(std::string& script, const std::string& line) {
  script += line;
  script += "\r\n";
}

// About `bytes` of script: 60 door modules and their events, repeated.
std::string SiteScript(size_t bytes) {
  std::string script;
  Add(script, "MODULE PANEL = PANEL,0");
  Add(script, "PARTITION OFFICES = OFFICES,101,1,100");
  Add(script, "DEFINE MARK LATE = Card outside office hours");
  Add(script, "DEFINE REGISTER VISITS");
  for (int door = 1; door <= kDoors; ++door) {
    std::string name = "DOOR" + std::to_string(door);
    Add(script, "MODULE " + name + " = " + name + "," + std::to_string(door) + ",0,2,5,30,10,1");
  }
  for (int round = 0; script.size() < bytes; ++round) {
    std::string name = "DOOR" + std::to_string(1 + round % kDoors);
    Add(script, "EVENT " + name + ".VALID");
    Add(script, "  IF TIMEPLAN(" + std::to_string(1 + round % 64) + ")");
    Add(script, "    IF OFFICES.ARMED = ON");
    Add(script, "      OFFICES.SYSTEMKEY = CDISARM");
    Add(script, "    ENDIF");
    Add(script, "    DOOR()");
    Add(script, "    VISITS = VISITS + 1");
    Add(script, "  ELSE");
    Add(script, "    MARK(LATE)");
    Add(script, "    DELAY(3)");
    Add(script, "  ENDIF");
    Add(script, "EVENTEND");
  }
  return script;
}

// Output that goes nowhere, as a pipe the editor drains.
class NullBuffer : public std::streambuf {
 protected:
  int overflow(int c) override { return c; }
  std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

std::string Message(const nlohmann::json& params, std::string_view method) {
  return nlohmann::json{{"jsonrpc", "2.0"}, {"method", method}, {"params", params}}.dump();
}

std::string Request(const nlohmann::json& params, std::string_view method) {
  return nlohmann::json{{"jsonrpc", "2.0"}, {"id", 1}, {"method", method}, {"params", params}}
      .dump();
}

// Initializes `server` and opens `script` in it, its diagnostics published.
void OpenScript(lsp::Server& server, const std::string& script) {
  server.HandleMessage(Request({}, "initialize"));
  server.HandleMessage(
      Message({{"textDocument", {{"uri", kUri}, {"version", 1}, {"text", script}}}},
              "textDocument/didOpen"));
  server.PublishPending();
}

void BM_RecheckAfterKeystroke(benchmark::State& state) {
  std::string script = SiteScript(static_cast<size_t>(state.range(0)));
  NullBuffer nowhere;
  std::ostream out(&nowhere);
  lsp::Server server(out);
  OpenScript(server, script);
  // Types a digit into DELAY(3) on line 73 and takes it out again.
  int version = 1;
  for (auto _ : state) {
    bool insert = version % 2 == 1;
    nlohmann::json range = {{"start", {{"line", 73}, {"character", 10}}},
                            {"end", {{"line", 73}, {"character", insert ? 10 : 11}}}};
    server.HandleMessage(
        Message({{"textDocument", {{"uri", kUri}, {"version", ++version}}},
                 {"contentChanges", {{{"range", range}, {"text", insert ? "0" : ""}}}}},
                "textDocument/didChange"));
    server.PublishPending();
  }
  state.counters["script_bytes"] = static_cast<double>(script.size());
}
BENCHMARK(BM_RecheckAfterKeystroke)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

// Answers `request` (built from the script) over and over on the script of
// `state.range(0)` bytes, opened once.
template <typename MakeRequest>
void AnswerRepeatedly(benchmark::State& state, MakeRequest make_request) {
  std::string script = SiteScript(static_cast<size_t>(state.range(0)));
  NullBuffer nowhere;
  std::ostream out(&nowhere);
  lsp::Server server(out);
  OpenScript(server, script);
  std::string request = make_request(script);
  for (auto _ : state) server.HandleMessage(request);
  state.counters["script_bytes"] = static_cast<double>(script.size());
}

// The semantic tokens of one screen (60 lines) in the middle of the script,
// as an editor asks when it scrolls. The goal is 10 ms.
void BM_SemanticTokensOfAVisibleRange(benchmark::State& state) {
  AnswerRepeatedly(state, [](const std::string& script) {
    int middle = static_cast<int>(std::count(script.begin(), script.end(), '\n') / 2);
    return Request({{"textDocument", {{"uri", kUri}}},
                    {"range",
                     {{"start", {{"line", middle}, {"character", 0}}},
                      {"end", {{"line", middle + 60}, {"character", 0}}}}}},
                   "textDocument/semanticTokens/range");
  });
}
BENCHMARK(BM_SemanticTokensOfAVisibleRange)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

// All the semantic tokens of the script, for comparison.
void BM_SemanticTokensOfTheWholeScript(benchmark::State& state) {
  AnswerRepeatedly(state, [](const std::string&) {
    return Request({{"textDocument", {{"uri", kUri}}}}, "textDocument/semanticTokens/full");
  });
}
BENCHMARK(BM_SemanticTokensOfTheWholeScript)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vigil

BENCHMARK_MAIN();
