// `vigil lsp` as an editor meets it: the built program started with pipes and
// a scripted session of framed JSON-RPC messages. Each step sends one message
// and names fragments of what the server sends back: text that must appear in
// the compact JSON of the replies ("!text": must not), or "labels=A,B" for the
// exact, sorted labels of a completion.

#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "e2e/lsp_client.h"
#include "support/child_process.h"

namespace {

using Json = nlohmann::json;
using vigil::testing::Framed;
constexpr int kTimeoutMs = vigil::testing::kLspTimeoutMs;
constexpr const char* kUri = "file:///site/front.txt";
constexpr const char* kMarks = "file:///site/marks.txt";  // BOM, CR LF and a lone LF
constexpr const char* kLf = "file:///site/lf.txt";        // LF only, as Neovim sends
constexpr const char* kOpen = "file:///site/open.txt";    // blocks left open

// Line 12 holds a misspelt element after a "-" word, which the word check
// passes: Ä is one UTF-16 unit in two bytes, 𝄞 two units in four bytes, so
// FRONT.RELAYX starts at byte 18 and at UTF-16 column 15. SPARE is unused.
constexpr const char* kScript =
    "MODULE = CTRL,0\r\n"                                    // 0
    "MODULE = FRONT,1,0,2,5,30,10,1\r\n"                     // 1
    "MODULE = PSU1,71\r\n"                                   // 2
    "PARTITION OFFICE = OFFICE,101,1,100\r\n"                // 3
    "MODULE KEYPAD = KEYPAD,4,0,3,5,30,15,1\r\n"             // 4
    "MODULE = MAIN,100\r\n"                                  // 5
    "DEFINE PARAMETER OPENTIME = 7\r\n"                      // 6
    "DEFINE MARK NIGHT = Nacht \xC3\xBC\r\n"                 // 7
    "DEFINE REGISTER VISITS\r\n"                             // 8
    "DEFINE REGISTER SPARE\r\n"                              // 9
    "EVENT FRONT.VALID\r\n"                                  // 10
    "VISITS = VISITS + 1\r\n"                                // 11
    "  SIGNAL(\xC3\x84\xF0\x9D\x84\x9E-1,FRONT.RELAYX)\r\n"  // 12
    "EVENTEND\r\n"                                           // 13
    "EVENT OFFICE.ARMED\r\n"                                 // 14
    "  IF VISITS > 3\r\n"                                    // 15
    "    DELAY(OPENTIME)\r\n"                                // 16
    "  ELSE\r\n"                                             // 17
    "    MARK(NIGHT)\r\n"                                    // 18
    "    DIAL(2,NIGHT)\r\n"                                  // 19
    "  ENDIF\r\n"                                            // 20
    "  office.SYSTEMKEY = CDISARM\r\n"                       // 21
    "  FRONT.RELAY1 = ON\r\n"                                // 22
    "EVENTEND\r\n"                                           // 23
    "EVENT PSU1.STATUSCHANGED\r\n"                           // 24
    "  IF FLAGS(FACPRESENT)\r\n"                             // 25
    "    DOOR(KEYPAD)\r\n"                                   // 26
    "  ENDIF\r\n"                                            // 27
    "EVENTEND\r\n"                                           // 28
    "EVENT KEYPAD.VALID\r\n"                                 // 29
    "EVENTEND\r\n"                                           // 30
    "EVENT MAIN.EXINPUT1\r\n"                                // 31
    "  IF FLAGS(FACFAIL)\r\n"                                // 32
    "  ENDIF\r\n"                                            // 33
    "EVENTEND\r\n"                                           // 34
    "; FRONT.RELAY1 opens the door\r\n";                     // 35

// The methods.
const std::string kHover = "textDocument/hover";
const std::string kComplete = "textDocument/completion";
const std::string kRename = "textDocument/rename";
const std::string kReferences = "textDocument/references";
const std::string kAction = "textDocument/codeAction";
const std::string kDidOpen = "textDocument/didOpen";
const std::string kDidChange = "textDocument/didChange";

// Params.
Json Doc(const char* uri = kUri, Json more = Json::object()) {
  more["textDocument"] = {{"uri", uri}};
  return more;
}
Json At(int line, int character, const char* uri = kUri) {
  return Doc(uri, {{"position", {{"line", line}, {"character", character}}}});
}
Json With(Json params, const char* key, Json value) {
  params[key] = std::move(value);
  return params;
}
Json RangeJson(int line, int from, int to_line, int to) {
  return {{"start", {{"line", line}, {"character", from}}},
          {"end", {{"line", to_line}, {"character", to}}}};
}
Json Lines(int first, int last, const char* uri = kUri) {
  return Doc(uri, {{"range", RangeJson(first, 0, last, 0)},
                   {"context", {{"diagnostics", Json::array()}}}});
}
Json Open(const char* uri, const std::string& text) {
  return {{"textDocument", {{"uri", uri}, {"version", 1}, {"text", text}}}};
}
Json Change(const char* uri, Json changes) {
  return {{"textDocument", {{"uri", uri}, {"version", 2}}}, {"contentChanges", changes}};
}
Json Simulate(const char* command = "vigil.simulate") {
  return {{"command", command}, {"arguments", {kUri, "FRONT.VALID"}}};
}

// Fragments: a range, a text edit, an error reply, a completion label.
std::string Range(int line, int from, int to_line, int to) {
  return R"("range":)" + RangeJson(line, from, to_line, to).dump();
}
std::string Range(int line, int from, int to) { return Range(line, from, line, to); }
std::string Edit(int line, int from, int to, const std::string& text) {
  return R"({"newText":")" + text + "\"," + Range(line, from, to) + "}";
}
std::string Error(int code) { return R"("error":{"code":)" + std::to_string(code) + ","; }
std::string Label(const char* label) { return R"("label":")" + std::string(label) + "\""; }

// One message to the server: a request when `method` is set and `id` is not
// zero, a notification when `id` is zero, raw bytes when `method` is empty.
struct Step {
  std::string method;
  Json params;
  std::vector<std::string> fragments;
  int id = 1;
  std::string raw = "";
};

class LspSessionTest : public ::testing::Test {
 protected:
  void Write(const std::string& bytes) { ASSERT_TRUE(server_.Write(bytes)); }
  // The next message of the server.
  Json Receive() { return vigil::testing::ReceiveMessage(server_); }
  // Sends a step and gives the server's messages up to the reply, or the one
  // message that follows a notification or raw bytes that expect one.
  std::string Play(const Step& step, int id) {
    Json message = {{"jsonrpc", "2.0"}, {"method", step.method}, {"params", step.params}};
    if (step.id != 0) message["id"] = id;
    Write(step.method.empty() ? step.raw : Framed(message.dump()));
    bool request = !step.method.empty() && step.id != 0;
    if (!request && step.fragments.empty()) return "";
    std::string replies;
    for (int count = 0; count < 8; ++count) {
      Json reply = Receive();
      replies += reply.dump() + "\n";
      if (!request || reply.value("id", Json()) == id || reply.is_string()) break;
    }
    return replies;
  }

  vigil::testing::ChildProcess server_{VIGIL_PATH, {"lsp"}};
};

void Check(const std::string& replies, const std::vector<std::string>& fragments) {
  for (const std::string& fragment : fragments) {
    if (fragment.starts_with("!")) {
      EXPECT_EQ(replies.find(fragment.substr(1)), std::string::npos) << fragment << "\n" << replies;
    } else if (fragment.starts_with("labels=")) {
      std::vector<std::string> labels;
      Json reply = Json::parse(replies);
      for (const Json& item : reply["result"]["items"]) labels.push_back(item["label"]);
      std::sort(labels.begin(), labels.end());
      std::string joined;
      for (const std::string& label : labels) joined += (joined.empty() ? "" : ",") + label;
      EXPECT_EQ("labels=" + joined, fragment);
    } else {
      EXPECT_NE(replies.find(fragment), std::string::npos) << fragment << "\n" << replies;
    }
  }
}

TEST_F(LspSessionTest, PlaysAnEditingSession) {
  const std::string e6 = R"("code":"E6")";
  const std::string failed = Error(-32803);
  const std::string null = R"("result":null)";
  Json hover = {{"jsonrpc", "2.0"}, {"id", 30}, {"method", kHover}, {"params", At(13, 30)}};
  const std::string framed_in_lower_case = "content-length:" + std::to_string(hover.dump().size()) +
                                           "\r\nContent-Type: application/vscode-jsonrpc; "
                                           "charset=utf-8\r\n\r\n" +
                                           hover.dump();
  const std::vector<Step> steps = {
      {"initialize",
       {{"capabilities", Json::object()}},
       {R"("textDocumentSync":{"change":2,"openClose":true})", R"("positionEncoding":"utf-16")"}},
      {"initialized", Json::object(), {}, 0},
      // The script with its error.
      {kDidOpen,
       Open(kUri, kScript),
       {e6, R"("codeDescription":{"href":"vigil-explain:E6"})",
        R"("message":"Unknown command\n\nFRONT is a door module (id 1); it accepts INPUT1,)",
        R"(DOORAJAR\ndid you mean FRONT.RELAY1?")", R"("severity":1)", Range(12, 15, 27),
        "did you mean FRONT.RELAY1?", R"("code":"W3")", Range(9, 16, 21), R"("severity":2)"},
       0},
      {kHover, At(12, 20), {"**E6** Unknown command"}},
      {kAction,
       Lines(12, 12),
       {R"("title":"Replace with FRONT.RELAY1")", Edit(12, 15, 27, "FRONT.RELAY1")}},
      {kAction, Lines(0, 2), {R"("result":[])"}},
      {kComplete,
       At(12, 24),
       {Label("RELAY1"), Label("INPUT1"), "!" + Label("DOORAJAR"), "!" + Label("SYSTEMKEY"),
        Range(12, 21, 24)}},
      {"textDocument/codeLens", Doc(), {R"("result":[])"}},
      {"workspace/executeCommand", Simulate(), {"the script has errors: nothing runs"}},
      // The whole of line 12 (28 UTF-16 units) replaced by a correct statement.
      {kDidChange,
       Change(kUri, {{{"range", RangeJson(12, 0, 12, 28)}, {"text", "  DOOR(FRONT)"}}}),
       {R"("version":2)", "!" + e6, R"("code":"W3")"},
       0},
      // Hover: what a name is and what its statement compiles to.
      {kHover, At(11, 1), {"register **VISITS**", "61 00 01"}},
      {kHover,
       At(16, 12),
       {"parameter **OPENTIME** (number 0) = 7", "PARAMETER OPENTIME", "31 00"}},
      {kHover, At(18, 10), {"\\\"Nacht \xC3\xBC\\\"", "63 00"}},
      {kHover, At(22, 10), {"element **RELAY1** of FRONT", "21 01 01"}},
      {kHover, At(10, 14), {"element **VALID** of FRONT", "code 01", "FF 01 01"}},
      {kHover, At(14, 15), {"code 01; as a state tested by IF: code 04", "FF 65 01"}},
      {kHover, At(4, 8), {"module **KEYPAD**: a door module (id 4)"}},
      // What a command or condition means, from the installer's reference.
      {kHover,
       At(16, 5),
       {"command **DELAY**", "| number 0-255 | `DELAY(5)` | `30 05` |",
        "| or a parameter | `DELAY(OPENTIME)` | `31 00` |", "!SETBYTE1"}},
      {kHover, At(25, 6), {"condition **FLAGS**", "| system flag |", "| supply flag |", "!GROUP"}},
      // Signature help inside a command's brackets.
      {"textDocument/signatureHelp",
       At(19, 11),
       {R"("activeParameter":1,"activeSignature":0)", R"x("label":"DIAL(number, mark)")x",
        R"("parameters":[{"label":"number"},{"label":"mark"}])"}},
      {"textDocument/signatureHelp",
       At(16, 10),
       {R"x("label":"DELAY(number 0-255)")x", R"x("label":"DELAY(parameter)")x",
        R"("activeParameter":0)"}},
      {"textDocument/signatureHelp", At(25, 12), {null}},
      {"textDocument/signatureHelp", At(11, 3), {null}},
      // The other places of a name, and names across the open scripts.
      {"textDocument/documentHighlight",
       At(11, 3),
       {R"({"kind":3,)" + Range(8, 16, 22), R"({"kind":2,)" + Range(15, 5, 11),
        R"({"kind":2,)" + Range(11, 9, 15)}},
      {"textDocument/documentHighlight", At(22, 10), {R"("result":[])"}},
      {"workspace/symbol",
       {{"query", "visit"}},
       {R"("location":{)" + Range(8, 16, 22) +
            R"(,"uri":"file:///site/front.txt"},"name":"VISITS")",
        "!OPENTIME"}},
      {kHover, At(91, 0), {null}},
      {kHover, At(-1, 0), {null}},
      // Completion by the place in the line.
      // After "FRONT." a statement gets what it can set or read, an EVENT line the events.
      {kComplete, At(22, 8), {Label("RELAY1"), "!" + Label("VALID"), "!" + Label("ARMED")}},
      {kComplete,
       At(10, 12),
       {Label("VALID"), Label("INVALID"), Label("DOORAJAR"), "!" + Label("RELAY1"),
        "!" + Label("INPUT1")}},
      // Outside an EVENT block only declarations start a line.
      {kComplete, At(9, 0), {"labels=DEFINE,DEVICE,EVENT,MODULE,PARTITION"}},
      {kComplete,
       At(21, 11),
       {Label("ARMED"), Label("SYSTEMKEY"), "!" + Label("RELAY1"), Range(21, 9, 11)}},
      {kComplete,
       At(22, 2),
       {Label("DELAY"), Label("IF"), Label("EVENTEND"), Label("FRONT"), Label("VISITS"),
        Label("ARMED"), "!" + Label("OPENTIME"), "!" + Label("PASSED"), "!" + Label("MODULE"),
        "!" + Label("DEFINE"), R"("documentation":{"kind":"markdown","value":"| Parameters |)",
        R"("newText":"DELAY")", "!insertTextFormat"}},
      {kComplete, At(16, 10), {"labels=OPENTIME"}},
      {kComplete, At(18, 9), {"labels=NIGHT"}},
      {kComplete, At(19, 11), {"labels=NIGHT"}},
      {kComplete, At(19, 9), {"labels="}},
      {kComplete, At(26, 9), {Label("FRONT"), Label("PSU1"), "!" + Label("NIGHT")}},
      {kComplete,
       At(25, 11),
       {"labels=FACPRESENT,FBATTERYPRESENT,FBOXTAMPER,FDCON,FLOWBATTERY,FOVERLOAD"}},
      {kComplete, At(32, 11), {Label("FACFAIL"), "!" + Label("FDCON")}},
      {kComplete, At(21, 21), {Label("CDISARM"), Label("CINITIATEAUTOARM"), "!" + Label("ON")}},
      {kComplete, At(22, 17), {Label("ON"), Label("OPENTIME"), "!" + Label("CDISARM")}},
      {kComplete, At(35, 8), {R"("items":[])"}},
      {kComplete, At(501, 80), {R"("isIncomplete":false)"}},
      // Definition, references and rename of VISITS: declared on line 8.
      {"textDocument/definition",
       At(15, 6),
       {R"("uri":"file:///site/front.txt")", Range(8, 16, 22)}},
      {"textDocument/definition", At(22, 0), {null}},
      {kReferences,
       With(At(11, 3), "context", {{"includeDeclaration", true}}),
       {Range(8, 16, 22), Range(11, 0, 6), Range(11, 9, 15), Range(15, 5, 11)}},
      {kReferences,
       With(At(11, 3), "context", {{"includeDeclaration", false}}),
       {Range(15, 5, 11), "!" + Range(8, 16, 22)}},
      // A module is found in the names of its elements.
      {kReferences,
       With(At(22, 3), "context", {{"includeDeclaration", true}}),
       {Range(1, 9, 14), Range(22, 2, 7)}},
      // The word under the cursor, not the declaration.
      {"textDocument/prepareRename",
       At(11, 12),
       {R"("placeholder":"VISITS")", Range(11, 9, 15), "!" + Range(8, 16, 22)}},
      {"textDocument/prepareRename", At(10, 1), {null}},
      {kRename,
       With(At(8, 18), "newName", "COUNT"),
       {Edit(8, 16, 22, "COUNT"), Edit(11, 0, 6, "COUNT"), Edit(11, 9, 15, "COUNT"),
        Edit(15, 5, 11, "COUNT")}},
      {kRename, With(At(8, 18), "newName", "visits"), {Edit(15, 5, 11, "visits")}},
      // Both names of a module line, from the name the compiler records no use for.
      {kRename,
       With(At(4, 8), "newName", "KP"),
       {Edit(4, 7, 13, "KP"), Edit(4, 16, 22, "KP"), Edit(26, 9, 15, "KP"), Edit(29, 6, 12, "KP")}},
      // A declared name in another case, and names that are no name.
      {kRename, With(At(8, 18), "newName", "ctrl"), {failed}},
      {kRename, With(At(8, 18), "newName", ""), {failed}},
      {kRename, With(At(8, 18), "newName", "TWO WORDS"), {failed}},
      {kRename, With(At(8, 18), "newName", "K-1"), {failed}},
      {kRename, With(At(8, 18), "newName", "N\xC3\xA9"), {failed}},
      {kRename, With(At(8, 18), "newName", "DELAY"), {failed}},
      {kRename, With(At(0, 0), "newName", "X"), {failed}},
      // The outline, folds, formatting and the simulated events.
      {"textDocument/documentSymbol",
       Doc(),
       {R"("detail":"register","kind":13,"name":"VISITS")",
        R"("kind":24,"name":"EVENT FRONT.VALID",)" + Range(10, 0, 13, 8)}},
      {"textDocument/foldingRange",
       Doc(),
       {R"({"endLine":13,"startLine":10})", R"({"endLine":20,"startLine":15})",
        R"({"endLine":23,"startLine":14})"}},
      {"textDocument/formatting",
       Doc(kUri, {{"options", {{"tabSize", 2}}}}),
       {R"("result":[)" + Edit(11, 0, 0, "  ") + "]"}},
      {"textDocument/codeLens",
       Doc(),
       {R"({"data":{"event":"FRONT.VALID","uri":"file:///site/front.txt"},)" + Range(10, 0, 10, 17),
        "!command"}},
      {"codeLens/resolve",
       {{"data", {{"uri", kUri}, {"event", "FRONT.VALID"}}}},
       {R"("title":"simulated: VISITS 0 -> 1; door opened: FRONT")", R"("vigil.simulate")",
        R"("arguments":["file:///site/front.txt","FRONT.VALID"])"}},
      {"workspace/executeCommand",
       Simulate(),
       {R"("method":"window/logMessage")", "VISITS = VISITS + 1",
        R"("message":"result: VISITS 0 -> 1; door opened: FRONT")", R"("result":"FRONT.VALID\n)"}},
      {"workspace/executeCommand", Simulate("no.such"), {Error(-32602)}},
      // Semantic tokens: all, the edits since, and the tokens of a range.
      {"textDocument/semanticTokens/full", Doc(), {R"("resultId":"1")", R"("data":[0,0,6,0,0,)"}},
      {"textDocument/semanticTokens/full/delta",
       Doc(kUri, {{"previousResultId", "1"}}),
       {R"("edits":[],"resultId":"2")"}},
      {"textDocument/semanticTokens/full/delta",
       Doc(kUri, {{"previousResultId", "1"}}),
       {R"("data":[0,0,6,0,0,)", R"("resultId":"3")"}},
      {"textDocument/semanticTokens/range",
       Doc(kUri, {{"range", RangeJson(11, 0, 11, 19)}}),
       {R"("result":{"data":[11,0,6,2,0,0,9,6,2,0,0,9,1,6,0]})"}},
      // Line ends and a byte-order mark.
      {kDidOpen,
       Open(kMarks, "\xEF\xBB\xBF; a\r\n; b\n; c\r\n"),
       {R"("code":"line-end")", Range(1, 3, 2, 0)},
       0},
      {kAction,
       Lines(0, 0, kMarks),
       {R"("title":"Convert line ends to CR LF")", R"({"newText":"\r\n",)" + Range(1, 3, 2, 0),
        R"("title":"Remove the UTF-8 byte-order mark")", R"({"newText":"",)" + Range(0, 0, 0, 1)}},
      {kAction, Lines(1, 1, kMarks), {"!byte-order"}},
      {kDidOpen,
       Open(kLf,
            "MODULE = CTRL,0\nMODULE = FRONT,1,0,2,5,30,10,1\nEVENT FRONT.VALID\n"
            "RELAY1 = ON\nEVENTEND\n"),
       {R"("diagnostics":[])"},
       0},
      {kHover, At(3, 1, kLf), {"21 01 01"}},
      {"textDocument/didClose", Doc(kLf), {R"("diagnostics":[],"uri":"file:///site/lf.txt")"}, 0},
      {kHover, At(3, 1, kLf), {Error(-32602)}},
      // A block left open folds to the end.
      {kDidOpen,
       Open(kOpen,
            "MODULE = FRONT,1,0,2,5,30,10,1\r\nEVENT FRONT.VALID\r\n  IF PASSED\r\n  DELAY(1)"),
       {kOpen},
       0},
      {"textDocument/foldingRange",
       Doc(kOpen),
       {R"({"endLine":3,"startLine":1})", R"({"endLine":3,"startLine":2})"}},
      // Malformed messages get errors, and the server goes on.
      {"", {}, {Error(-32700)}, 0, Framed("{nope")},
      {"", {}, {Error(-32600)}, 0, Framed("[1,2]")},
      {"", {}, {Error(-32600), R"("id":2)"}, 0, Framed(R"({"jsonrpc":"2.0","id":2})")},
      {"", {}, {"missing Content-Length header", R"("id":null)"}, 0, "Content-Type: text\r\n\r\n"},
      {"", {}, {"invalid Content-Length header"}, 0, "Content-Length: -4\r\n\r\n"},
      {"", {}, {R"("id":30,"jsonrpc":"2.0","result":null)"}, 0, framed_in_lower_case},
      {"no/such", Json::object(), {Error(-32601)}},
      {kHover, Json::object(), {Error(-32602)}},
      {kHover, At(1, 0, "file:///site/other.txt"), {Error(-32602)}},
      {kHover, Doc(kUri, {{"position", {{"line", 1e300}, {"character", 0}}}}), {Error(-32602)}},
      {"textDocument/definition",
       Doc(kUri, Json::parse(R"({"position":{"line":18446744073709551615,"character":-9}})")),
       {null}},
      {kDidChange, 7, {}, 0},
      // A malformed change keeps the changes before it: "RELAY1 = ON" outside an event is E6.
      {kDidChange, Change(kOpen, {{{"text", "RELAY1 = ON"}}, {{"range", 7}}}), {}, 0},
      {kHover, At(0, 2, kOpen), {"**E6**"}},
      {"shutdown", nullptr, {null}},
      {"textDocument/documentSymbol", Doc(), {Error(-32600)}},
      {"exit", nullptr, {}, 0},
  };
  ASSERT_TRUE(server_.running());
  int id = 100;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.method + " " + step.params.dump() + step.raw);
    Check(Play(step, ++id), step.fragments);
  }
  EXPECT_EQ(server_.Wait(kTimeoutMs), 0);
}

// How a session ends without shutdown: with status 1.
TEST(LspSessionEndTest, EndsWithOneWithoutShutdown) {
  for (const std::string& input : {Framed(R"({"jsonrpc":"2.0","method":"exit"})"), std::string(),
                                   std::string("Content-Length: 10\r\n\r\n{}")}) {
    SCOPED_TRACE(input);
    vigil::testing::ChildProcess server(VIGIL_PATH, {"lsp"});
    ASSERT_TRUE(server.Write(input));
    server.CloseInput();
    EXPECT_EQ(server.Wait(kTimeoutMs), 1);
  }
}

}  // namespace
