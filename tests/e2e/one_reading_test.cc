// One reading of a script for every front end: the same bytes give the same
// diagnostics, in the same order, through vigil check, the language server,
// the C API, vigil sim and vigil test. Each list is reduced to "line:code"
// items, the form every front end can give.

#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "core/compile/compilation.h"
#include "e2e/lsp_client.h"
#include "support/child_process.h"
#include "support/files.h"
#include "vigil/vigil.h"

namespace vigil {
namespace {

using Json = nlohmann::json;
using testing::ChildProcess;
using testing::TempDir;

struct Script {
  std::string_view name;
  std::string bytes;
};

std::vector<Script> Scripts() {
  std::string door =
      "MODULE PANEL = PANEL,0\r\n"
      "MODULE FRONT = FRONT,1,0,2,5,30,10\r\n"
      "DEFINE REGISTER VISITS\r\n"
      "DEFINE REGISTER SPARE\r\n";
  std::string events =
      "EVENT FRONT.VALID\r\n"
      "  IF TIMEPLAN(2)\r\n"
      "    DOOR(FRONT)\r\n"
      "    VISITS = VISITS + 1\r\n"
      "  ENDIF\r\n"
      "EVENTEND\r\n";
  std::string lf = door + events;
  for (size_t at; (at = lf.find("\r\n")) != std::string::npos;) lf.replace(at, 2, "\n");
  std::string cascading = door +
                          "EVENT FRONTT.VALID\r\n  DOOR(FRONT)\r\n  BEEP = ON\r\nEVENTEND\r\n" +
                          events + "  IF PRESENT\r\n";
  return {
      {"clean", door + events},
      {"cascading", cascading},
      {"lf_only", lf},
      {"bom", "\xEF\xBB\xBF" + door + events},
  };
}

std::string Item(int line, std::string_view code) {
  return std::to_string(line) + ":" + std::string(code);
}

std::vector<std::string> FromCheckJson(const std::string& json) {
  std::vector<std::string> items;
  for (const Json& d : Json::parse(json)) {
    items.push_back(
        Item(d["line"].is_null() ? 0 : d["line"].get<int>(), d["code"].get<std::string>()));
  }
  return items;
}

std::vector<std::string> FromCheck(const TempDir& dir, std::string_view name) {
  return FromCheckJson(dir.Run(VIGIL_PATH, {"check", "--format=json", std::string(name)}).out);
}

std::vector<std::string> FromCApi(const std::string& bytes) {
  vigil_result* result =
      vigil_compile(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  std::vector<std::string> items = FromCheckJson(vigil_diagnostics_json(result));
  vigil_result_free(result);
  return items;
}

// "file:LINE:COLUMN: error: ... [E6]" lines of a program's output.
std::vector<std::string> FromText(const std::string& text) {
  static const std::regex kLine(R"(^[^ ]*:(\d+):\d+: (?:error|warning): .*\[([EW]\d+)\]\r?$)");
  std::vector<std::string> items;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    std::string line =
        text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    std::smatch match;
    if (std::regex_match(line, match, kLine))
      items.push_back(Item(std::stoi(match[1]), match[2].str()));
    start = end == std::string::npos ? text.size() : end + 1;
  }
  return items;
}

// `vigil lsp` with one script open as file:///site/s.txt; shut down at the end.
class Session {
 public:
  explicit Session(const std::string& script) : server_(VIGIL_PATH, {"lsp"}) {
    EXPECT_TRUE(server_.running());
    Send({{"id", 1}, {"method", "initialize"}, {"params", {{"capabilities", Json::object()}}}});
    Send({{"method", "initialized"}, {"params", Json::object()}});
    Send({{"method", "textDocument/didOpen"},
          {"params",
           {{"textDocument",
             {{"uri", kUri}, {"languageId", "vigil"}, {"version", 1}, {"text", script}}}}}});
  }
  ~Session() {
    Send({{"id", 2}, {"method", "shutdown"}});
    Send({{"method", "exit"}});
  }
  void Send(Json message) {
    message["jsonrpc"] = "2.0";
    server_.Write(testing::Framed(message.dump()));
  }
  // The next message that `wanted` accepts; a string when none came.
  template <typename Predicate>
  Json Next(Predicate wanted) {
    while (true) {
      Json message = testing::ReceiveMessage(server_);
      if (message.is_string() || wanted(message)) return message;
    }
  }

  static constexpr const char* kUri = "file:///site/s.txt";

 private:
  ChildProcess server_;
};

std::vector<std::string> FromServer(const std::string& bytes) {
  Session session(bytes);
  Json published = session.Next([](const Json& message) {
    return message.value("method", "") == "textDocument/publishDiagnostics";
  });
  std::vector<std::string> items;
  for (const Json& d : published["params"]["diagnostics"]) {
    items.push_back(Item(d["range"]["start"]["line"].get<int>() + 1, d["code"].get<std::string>()));
  }
  return items;
}

TEST(OneReadingTest, EveryFrontEndListsTheSameDiagnostics) {
  for (const Script& script : Scripts()) {
    TempDir dir;
    dir.Write("s.txt", script.bytes);
    dir.Write("s.scenarios", "SCENARIO card\r\nEVENT FRONT.VALID\r\nEXPECT DOOR(FRONT)\r\n");
    std::vector<std::string> check = FromCheck(dir, "s.txt");
    SCOPED_TRACE(script.name);
    EXPECT_EQ(FromCApi(script.bytes), check);
    // An editor sends a document's lines joined by LF whatever the file
    // holds (Neovim always does), so the server cannot see a file's lone LFs.
    if (script.name != "lf_only") {
      EXPECT_EQ(FromServer(script.bytes), check);
    }
    bool errors = std::any_of(check.begin(), check.end(), [](const std::string& item) {
      return item.find(":E") != std::string::npos;
    });
    if (!errors) continue;
    // A script that cannot run says why in check's words: line-end trouble
    // (W6, W9) first, then its errors.
    std::vector<std::string> only_errors;
    for (const std::string& item : check) {
      if (item.ends_with(":W6") || item.ends_with(":W9")) only_errors.push_back(item);
    }
    for (const std::string& item : check) {
      if (item.find(":E") != std::string::npos) only_errors.push_back(item);
    }
    EXPECT_EQ(FromText(dir.Run(VIGIL_PATH, {"sim", "s.txt", "FRONT.VALID"}).err), only_errors);
    EXPECT_EQ(FromText(dir.Run(VIGIL_PATH, {"test", "s.txt", "s.scenarios"}).err), only_errors);
  }
}

// The script with the edits of a WorkspaceEdit made (ASCII scripts: UTF-16
// columns are bytes).
std::string Applied(std::string script, const Json& edit) {
  const Json& changes = edit.contains("changes") ? edit["changes"].begin().value()
                                                 : edit["documentChanges"][0]["edits"];
  std::vector<std::pair<size_t, std::pair<size_t, std::string>>> spans;
  std::vector<size_t> line_starts = {0};
  for (size_t i = 0; i < script.size(); ++i) {
    if (script[i] == '\n') line_starts.push_back(i + 1);
  }
  auto offset = [&](const Json& position) {
    return line_starts[position["line"].get<size_t>()] + position["character"].get<size_t>();
  };
  for (const Json& change : changes) {
    spans.push_back({offset(change["range"]["start"]),
                     {offset(change["range"]["end"]), change["newText"].get<std::string>()}});
  }
  std::sort(spans.rbegin(), spans.rend());
  for (const auto& [begin, rest] : spans) script.replace(begin, rest.first - begin, rest.second);
  return script;
}

// Renames through the server: PANEL, MAIN-PANEL, the first mark and the first
// register of every example, each from its declaration; the renamed script
// compiles to the code of the original.
TEST(OneReadingTest, RenamesThroughTheServerKeepTheCode) {
  for (std::string_view example : {"office.txt", "alarm_site.txt", "counters.txt"}) {
    std::string script =
        testing::ReadFile(std::string(VIGIL_SOURCE_DIR) + "/examples/" + std::string(example));
    Compilation original = Compile(script);
    std::vector<const Symbol*> renamed;
    for (SymbolKind kind : {SymbolKind::kMark, SymbolKind::kRegister}) {
      for (const Symbol& symbol : original.declarations) {
        if (symbol.kind == kind) {
          renamed.push_back(&symbol);
          break;
        }
      }
    }
    for (std::string_view name : {"PANEL", "MAIN-PANEL"}) {
      if (const Symbol* symbol = original.FindSymbol(name)) renamed.push_back(symbol);
    }
    Session session(script);
    int id = 10;
    for (const Symbol* symbol : renamed) {
      SCOPED_TRACE(std::string(example) + " " + symbol->name);
      std::string new_name = symbol->kind == SymbolKind::kModule ? "NEW-NAME" : "NEW_NAME";
      session.Send({{"id", ++id},
                    {"method", "textDocument/rename"},
                    {"params",
                     {{"textDocument", {{"uri", Session::kUri}}},
                      {"position",
                       {{"line", symbol->declaration.line - 1},
                        {"character", symbol->declaration.span.begin}}},
                      {"newName", new_name}}}});
      Json reply = session.Next([id](const Json& message) { return message.value("id", 0) == id; });
      ASSERT_TRUE(reply.contains("result") && reply["result"].is_object()) << reply.dump();
      Compilation now = Compile(Applied(script, reply["result"]));
      EXPECT_EQ(now.code, original.code);
      EXPECT_EQ(now.error_count, original.error_count);
      ASSERT_NE(now.FindSymbol(new_name), nullptr);
      EXPECT_EQ(now.FindSymbol(new_name)->uses.size(), symbol->uses.size());
    }
  }
}

}  // namespace
}  // namespace vigil
