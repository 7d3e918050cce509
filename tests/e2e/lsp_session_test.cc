// `vigil lsp` as an editor meets it: the built program started with pipes and
// a scripted session of framed JSON-RPC messages.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <string>

#include "support/child_process.h"

namespace {

using Json = nlohmann::json;
constexpr int kTimeoutMs = 20000;
constexpr std::string_view kUri = "file:///site/front.txt";

// Line 5 holds a misspelt element after a "-" word, which the word check
// passes: Ä is one UTF-16 unit in two bytes, 𝄞 two units in four bytes, so
// FRONT.RELAYX starts at byte 18 and at UTF-16 column 15.
constexpr std::string_view kScript =
    "MODULE = CTRL,0\r\n"
    "MODULE = FRONT,1,0,2,5,30,10,1\r\n"
    "DEFINE REGISTER VISITS\r\n"
    "EVENT FRONT.VALID\r\n"
    "VISITS = VISITS + 1\r\n"
    "  SIGNAL(\xC3\x84\xF0\x9D\x84\x9E-1,FRONT.RELAYX)\r\n"
    "EVENTEND\r\n";

class LspSessionTest : public ::testing::Test {
 protected:
  void Send(const Json& message) { SendRaw(message.dump()); }
  void SendRaw(const std::string& body) {
    ASSERT_TRUE(
        server_.Write("Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body));
  }
  // The next message of the server.
  Json Receive() {
    std::optional<size_t> length;
    while (std::optional<std::string> line = server_.ReadLine(kTimeoutMs)) {
      if (*line == "\r\n") break;
      if (line->starts_with("Content-Length: ")) length = std::stoul(line->substr(16));
    }
    if (!length) {
      ADD_FAILURE() << "no Content-Length from the server";
      return nullptr;
    }
    std::optional<std::string> body = server_.Read(*length, kTimeoutMs);
    if (!body) {
      ADD_FAILURE() << "the message body ended early";
      return nullptr;
    }
    return Json::parse(*body);
  }
  Json Request(int id, const std::string& method, Json params) {
    Send({{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", std::move(params)}});
    Json reply = Receive();
    EXPECT_EQ(reply.value("id", -1), id) << reply.dump();
    return reply;
  }
  void Notify(const std::string& method, Json params) {
    Send({{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}});
  }
  static Json At(int line, int character) {
    return {{"textDocument", {{"uri", kUri}}},
            {"position", {{"line", line}, {"character", character}}}};
  }
  static Json Range(int line, int from, int to) {
    return {{"start", {{"line", line}, {"character", from}}},
            {"end", {{"line", line}, {"character", to}}}};
  }

  vigil::testing::ChildProcess server_{VIGIL_PATH, {"lsp"}};
};

TEST_F(LspSessionTest, PlaysAnEditingSession) {
  ASSERT_TRUE(server_.running());
  Json init = Request(1, "initialize", {{"processId", nullptr}, {"capabilities", Json::object()}});
  EXPECT_EQ(init["result"]["capabilities"]["textDocumentSync"]["change"], 2);
  Notify("initialized", Json::object());

  Notify("textDocument/didOpen",
         {{"textDocument",
           {{"uri", kUri}, {"languageId", "vigil"}, {"version", 1}, {"text", kScript}}}});
  Json published = Receive();
  ASSERT_EQ(published["method"], "textDocument/publishDiagnostics");
  Json diagnostics = published["params"]["diagnostics"];
  ASSERT_EQ(diagnostics.size(), 1u) << diagnostics.dump();
  EXPECT_EQ(diagnostics[0]["code"], "E6");
  EXPECT_EQ(diagnostics[0]["severity"], 1);
  EXPECT_EQ(diagnostics[0]["codeDescription"]["href"], "vigil-explain:E6");
  EXPECT_EQ(diagnostics[0]["range"], Range(5, 15, 27));
  bool suggestion = false;
  for (const Json& related : diagnostics[0]["relatedInformation"]) {
    suggestion = suggestion || related["message"] == "did you mean FRONT.RELAY1?";
  }
  EXPECT_TRUE(suggestion) << diagnostics[0].dump();

  // The whole of line 5 (28 UTF-16 units) replaced by a correct statement.
  Notify("textDocument/didChange",
         {{"textDocument", {{"uri", kUri}, {"version", 2}}},
          {"contentChanges", {{{"range", Range(5, 0, 28)}, {"text", "  FRONT.RELAY1 = ON"}}}}});
  published = Receive();
  EXPECT_EQ(published["params"]["version"], 2);
  EXPECT_EQ(published["params"]["diagnostics"], Json::array());

  // VISITS = VISITS + 1: register add (61), register 0, 1.
  Json hover = Request(2, "textDocument/hover", At(4, 1));
  std::string text = hover["result"]["contents"]["value"];
  EXPECT_NE(text.find("register **VISITS**"), std::string::npos) << text;
  EXPECT_NE(text.find("61 00 01"), std::string::npos) << text;

  Json completion = Request(3, "textDocument/completion", At(5, 8));
  std::set<std::string> labels;
  for (const Json& item : completion["result"]["items"]) labels.insert(item["label"]);
  EXPECT_TRUE(labels.contains("RELAY1"));
  EXPECT_TRUE(labels.contains("DOORAJAR"));
  EXPECT_FALSE(labels.contains("SYSTEMKEY"));  // a partition's, not a door module's

  Json definition = Request(4, "textDocument/definition", At(4, 1));
  EXPECT_EQ(definition["result"]["range"], Range(2, 16, 22));

  Json references_params = At(4, 10);
  references_params["context"] = {{"includeDeclaration", true}};
  Json references = Request(5, "textDocument/references", references_params);
  ASSERT_EQ(references["result"].size(), 3u);
  EXPECT_EQ(references["result"][2]["range"], Range(4, 9, 15));

  Json rename_params = At(2, 17);
  rename_params["newName"] = "COUNT";
  Json rename = Request(6, "textDocument/rename", rename_params);
  EXPECT_EQ(rename["result"]["changes"][std::string(kUri)].size(), 3u);
  rename_params["newName"] = "FRONT";
  EXPECT_TRUE(Request(7, "textDocument/rename", rename_params).contains("error"));

  Json formatting = Request(
      8, "textDocument/formatting",
      {{"textDocument", {{"uri", kUri}}}, {"options", {{"tabSize", 2}, {"insertSpaces", true}}}});
  EXPECT_EQ(formatting["result"], Json::array({{{"range", Range(4, 0, 0)}, {"newText", "  "}}}));

  SendRaw("{\"jsonrpc\": \"2.0\", \"id\": 9,");
  Json malformed = Receive();
  EXPECT_EQ(malformed["error"]["code"], -32700);
  EXPECT_TRUE(malformed["id"].is_null());

  Json unknown = Request(10, "textDocument/hover",
                         {{"textDocument", {{"uri", "file:///site/other.txt"}}},
                          {"position", {{"line", 0}, {"character", 0}}}});
  EXPECT_EQ(unknown["error"]["code"], -32602);

  EXPECT_TRUE(Request(11, "shutdown", nullptr)["result"].is_null());
  Notify("exit", nullptr);
  EXPECT_EQ(server_.Wait(kTimeoutMs), 0);
}

TEST_F(LspSessionTest, ExitWithoutShutdownEndsWithStatusOne) {
  ASSERT_TRUE(server_.running());
  Notify("exit", nullptr);
  EXPECT_EQ(server_.Wait(kTimeoutMs), 1);
}

}  // namespace
