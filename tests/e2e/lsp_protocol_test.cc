// The language server's protocol as a client meets it over pipes: what it
// answers before and after "initialize", how it gets past framing it cannot
// read, and what it logs when it drops a notification. Each case writes its
// bytes at once and reads exactly the number of messages the server owes.

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "core/lang/version.h"
#include "e2e/lsp_client.h"
#include "lsp/transport.h"
#include "support/child_process.h"

namespace {

using Json = nlohmann::json;
using vigil::testing::ChildProcess;
using vigil::testing::Framed;
constexpr const char* kUri = "file:///site/door.txt";

std::string Request(int id, const std::string& method, Json params = Json::object()) {
  return Framed(
      Json{{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", params}}.dump());
}
std::string Notify(const std::string& method, Json params) {
  return Framed(Json{{"jsonrpc", "2.0"}, {"method", method}, {"params", params}}.dump());
}
std::string Open(const std::string& text, const std::string& uri = kUri) {
  return Notify("textDocument/didOpen",
                {{"textDocument", {{"uri", uri}, {"version", 1}, {"text", text}}}});
}
std::string Change(int version, Json change) {
  return Notify("textDocument/didChange", {{"textDocument", {{"uri", kUri}, {"version", version}}},
                                           {"contentChanges", {change}}});
}
std::string Error(int code) { return R"("error":{"code":)" + std::to_string(code) + ","; }

const std::string kInitialize = Request(1, "initialize");
const std::string kShutdown = Request(3, "shutdown");
const std::string kShutdownAnswered = R"("id":3,"jsonrpc":"2.0","result":null)";
const std::string kHover =
    Request(2, "textDocument/hover",
            {{"textDocument", {{"uri", kUri}}}, {"position", {{"line", 0}, {"character", 0}}}});
constexpr size_t kOversized = vigil::lsp::kMaxMessageBytes + 1;

// A misspelt module on the EVENT line: the statements after it follow.
const std::string kCascade =
    "MODULE = CTRL,0\r\nEVENT CTRLX.INIT\r\n  BREAK\r\n  BREAK\r\nEVENTEND";
const std::string kFollowing = R"("start":{"character":2,"line":3})";

// A script and its scenario file, whose EXPECT names a mark the script lacks.
const std::string kScenarioScript =
    "MODULE = CTRL,0\r\nMODULE = FRONT,1,0,2,5,30,10,1\r\nDEFINE MARK LATE = x\r\n"
    "EVENT FRONT.VALID\r\n  MARK(LATE)\r\nEVENTEND";
const std::string kScenarios = "SCENARIO late\r\nEVENT FRONT.VALID\r\nEXPECT MARK(LAT)";
const std::string kRunScenarios =
    "SCENARIO opens\r\nEVENT FRONT.VALID\r\nEXPECT DOOR(FRONT)\r\n"
    "SCENARIO marks\r\nEVENT FRONT.VALID\r\nEXPECT MARK(LATE)";
const std::string kScenariosUri = "file:///site/door.scenarios";

std::string ScenarioCompletion(int id, int line, int character) {
  return Request(id, "textDocument/completion",
                 {{"textDocument", {{"uri", kScenariosUri}}},
                  {"position", {{"line", line}, {"character", character}}}});
}

struct ProtocolCase {
  const char* what;
  std::string input;
  int messages;                        // what the server sends back
  std::vector<std::string> fragments;  // "!text": must not appear
};

const ProtocolCase kCases[] = {
    {"a request before initialize", kHover, 1, {Error(-32002), R"("id":2)"}},
    {"a notification before initialize is dropped and logged",
     Open("MODULE = CTRL,0") + kInitialize,
     2,
     {R"("method":"window/logMessage")",
      "dropped textDocument/didOpen: the server has not been initialized", R"("id":1)",
      "!publishDiagnostics"}},
    {"a second initialize",
     kInitialize + Request(2, "initialize"),
     2,
     {R"("id":1,"jsonrpc":"2.0","result":{"capabilities")",
      R"("serverInfo":{"name":"vigil","version":")" + std::string(vigil::kVersion) + "\"",
      Error(-32600), "the server is already initialized"}},
    {"a length that is no number: the message is skipped, the next one answered",
     kInitialize + "Content-Length: abc\r\n\r\n" + R"({"jsonrpc":"2.0","id":9,"method":"x"})" +
         kShutdown,
     3,
     {"invalid Content-Length header", kShutdownAnswered, "!\"id\":9"}},
    {"no header at all, then a request",
     kInitialize + "hello\r\n\r\n" + kShutdown,
     3,
     {"missing Content-Length header", kShutdownAnswered}},
    {"a message over the limit: an error, and the connection kept",
     kInitialize + "Content-Length: " + std::to_string(kOversized) + "\r\n\r\n" +
         std::string(kOversized, ' ') + kShutdown,
     3,
     {Error(-32700),
      "message of " + std::to_string(kOversized) + " bytes skipped: the limit is " +
          std::to_string(kOversized - 1) + " bytes",
      kShutdownAnswered}},
    {"a change without range.end is dropped and logged; the text stays as opened",
     kInitialize + Open("MODULE = CTRL,0") +
         Change(2, {{"range", {{"start", {{"line", 0}, {"character", 0}}}}}, {"text", "X"}}) +
         kShutdown,
     4,
     {R"lit("message":"vigil: dropped textDocument/didChange: )lit", kShutdownAnswered,
      R"("diagnostics":[],"uri":"file:///site/door.txt","version":1)"}},
    {"an unknown notification is logged",
     kInitialize + Notify("vigil/nothing", Json::object()) + kShutdown,
     3,
     {"dropped vigil/nothing: unknown notification", kShutdownAnswered}},
    {"a change to a document that is not open is logged",
     kInitialize + Change(2, {{"text", "X"}}) + kShutdown,
     3,
     {"dropped textDocument/didChange: no open document file:///site/door.txt"}},
    // Cascades folded as vigil check folds them, unless the settings ask for all.
    {"a cascade folded into its cause",
     kInitialize + Open(kCascade) + kShutdown,
     3,
     {"more errors caused by this", "!" + kFollowing}},
    {"every error with diagnostics.all in initializationOptions",
     Request(1, "initialize", {{"initializationOptions", {{"diagnostics", {{"all", true}}}}}}) +
         Open(kCascade) + kShutdown,
     3,
     {kFollowing, "!more errors caused by this"}},
    {"every error after the vigil settings change",
     kInitialize + Open(kCascade) +
         Notify("workspace/didChangeConfiguration",
                {{"settings", {{"vigil", {{"diagnostics", {{"all", true}}}}}}}}) +
         kShutdown,
     3,
     {kFollowing, "!more errors caused by this"}},
    // A scenario file is checked against the script of the same name.
    {"a scenario file without its script",
     kInitialize + Open(kScenarios, kScenariosUri) + kShutdown,
     3,
     {"open the script beside this file (file:///site/door.txt) to check its scenarios"}},
    {"a scenario file with its script: the unknown mark at its line and columns",
     kInitialize + Open(kScenarios, kScenariosUri) + Open(kScenarioScript) + kShutdown,
     4,
     {R"("code":"E6","message":"Unknown command: LAT is neither a name the script declares nor a word of the language","range":{"end":{"character":15,"line":2},)"
      R"("start":{"character":12,"line":2}})",
      R"("diagnostics":[],"uri":"file:///site/door.txt")"}},
    {"a scenario that fails: a lens and a diagnostic at its EXPECT line",
     kInitialize + Open(kRunScenarios, kScenariosUri) + Open(kScenarioScript) +
         Request(2, "textDocument/codeLens", {{"textDocument", {{"uri", kScenariosUri}}}}) +
         kShutdown,
     5,
     {R"("command":{"arguments":["file:///site/door.scenarios",1],"command":"vigil.runScenario",)"
      R"("title":"run"},"range":{"end":{"character":14,"line":0},"start":{"character":0,"line":0}})",
      R"("arguments":["file:///site/door.scenarios",4],"command":"vigil.runScenario","title":"run"})",
      R"("message":"scenario opens: EXPECT DOOR(FRONT))",
      R"("range":{"end":{"character":18,"line":2},"start":{"character":0,"line":2}},)"
      R"("severity":1,"source":"vigil test")"}},
    // The lens runs its scenario: the result and trace to the log, the lens
    // shows the result after, and a client that can is asked for lenses again.
    {"a scenario run through its lens",
     Request(1, "initialize",
             {{"capabilities", {{"workspace", {{"codeLens", {{"refreshSupport", true}}}}}}}}) +
         Open(kRunScenarios, kScenariosUri) + Open(kScenarioScript) +
         Request(2, "workspace/executeCommand",
                 {{"command", "vigil.runScenario"}, {"arguments", {kScenariosUri, 1}}}) +
         Request(4, "textDocument/codeLens", {{"textDocument", {{"uri", kScenariosUri}}}}) +
         kShutdown,
     9,
     {R"("message":"FAIL  opens\n  file:///site/door.scenarios:3: EXPECT DOOR(FRONT))",
      R"("method":"window/showMessage","params":{"message":"FAIL  opens","type":3})",
      R"("id":"vigil-lens-refresh-1","jsonrpc":"2.0","method":"workspace/codeLens/refresh")",
      "trace:", R"("title":"failed at line 3: EXPECT DOOR(FRONT))",
      R"(4],"command":"vigil.runScenario","title":"run")"}},
    {"completion in a scenario file: step words, events, the script's names",
     kInitialize + Open(kRunScenarios, kScenariosUri) + Open(kScenarioScript) +
         ScenarioCompletion(10, 0, 0) + ScenarioCompletion(11, 1, 12) +
         ScenarioCompletion(12, 2, 7) + kShutdown,
     7,
     {R"("id":10,"jsonrpc":"2.0","result":{"isIncomplete":false,"items":[{"kind":14,"label":"SCENARIO")",
      R"("label":"WAIT")", R"("label":"INVALID")", "!\"label\":\"RELAY1\"", R"("label":"LATE")",
      R"("label":"TIMEPLAN")"}},
    // A client that expands snippets gets a command's brackets and parameters.
    {"snippets when the client takes them",
     Request(1, "initialize",
             Json::parse(R"({"capabilities":{"textDocument":{"completion":{"completionItem":
                             {"snippetSupport":true}}}}})")) +
         Open("MODULE = CTRL,0\r\nEVENT CTRL.INIT\r\n  D\r\nEVENTEND") +
         Request(
             2, "textDocument/completion",
             {{"textDocument", {{"uri", kUri}}}, {"position", {{"line", 2}, {"character", 3}}}}),
     2,
     {R"("insertTextFormat":2)", R"x("newText":"DIAL(${1:number}, ${2:mark})")x",
      R"x("newText":"DELAY(${1:number 0-255})")x", R"("newText":"BREAK")"}},
    // Edits that arrive together are compiled once, at the last version.
    {"a burst of edits: diagnostics of the last text only",
     kInitialize + Open("MODULE = CTRL,0") + Change(2, {{"text", "NOPE"}}) +
         Change(3, {{"text", "NOPE AGAIN"}}) + Change(4, {{"text", "MODULE = CTRL,0"}}) + kShutdown,
     3,
     {kShutdownAnswered, R"("diagnostics":[],"uri":"file:///site/door.txt","version":4)",
      "!\"version\":1", "!\"version\":2", "!\"version\":3"}},
};

TEST(LspProtocolTest, AnswersEachCase) {
  for (const ProtocolCase& test : kCases) {
    SCOPED_TRACE(test.what);
    ChildProcess server(VIGIL_PATH, {"lsp"});
    ASSERT_TRUE(server.Write(test.input));
    std::string replies;
    for (int i = 0; i < test.messages; ++i) {
      replies += vigil::testing::ReceiveMessage(server).dump() + "\n";
    }
    for (const std::string& fragment : test.fragments) {
      if (fragment.starts_with("!")) {
        EXPECT_EQ(replies.find(fragment.substr(1)), std::string::npos) << fragment << "\n"
                                                                       << replies;
      } else {
        EXPECT_NE(replies.find(fragment), std::string::npos) << fragment << "\n" << replies;
      }
    }
  }
}

// The peak resident memory of a process, in kB, from /proc.
long PeakKilobytes(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string key;
  long value = 0;
  while (status >> key) {
    if (key == "VmHWM:" && status >> value) return value;
  }
  return -1;
}

// A declared length of 1 GiB with 2 bytes behind it: the server waits for
// the bytes without making room for the whole length first.
TEST(LspProtocolTest, ReservesNoMemoryForADeclaredLength) {
  ChildProcess server(VIGIL_PATH, {"lsp"});
  ASSERT_TRUE(server.Write(kInitialize));
  vigil::testing::ReceiveMessage(server);
  ASSERT_TRUE(server.Write("Content-Length: 1073741824\r\n\r\n{}"));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  long peak = PeakKilobytes(server.pid());
  ASSERT_GT(peak, 0);
  EXPECT_LT(peak, 256 * 1024);
  server.CloseInput();
  EXPECT_EQ(server.Wait(vigil::testing::kLspTimeoutMs), 1);
}

}  // namespace
