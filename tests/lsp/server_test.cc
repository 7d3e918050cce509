#include "lsp/server.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "lsp/transport.h"

namespace vigil::lsp {
namespace {

std::string Framed(const std::string& body) {
  return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

// Runs a session and gives the exit status and the server's messages.
std::pair<int, std::vector<Json>> Session(const std::string& input) {
  std::istringstream in(input);
  std::ostringstream out;
  int status = RunServer(in, out);
  std::istringstream replies(out.str());
  std::vector<Json> messages;
  for (Frame frame = ReadFrame(replies); frame.status == Frame::Status::kMessage;
       frame = ReadFrame(replies)) {
    messages.push_back(Json::parse(frame.body));
  }
  return {status, messages};
}

const std::string kInitialize =
    Framed(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})");
const std::string kShutdown = Framed(R"({"jsonrpc":"2.0","id":99,"method":"shutdown"})");
const std::string kExit = Framed(R"({"jsonrpc":"2.0","method":"exit"})");

TEST(ServerTest, ShutdownThenExitEndsWithZero) {
  auto [status, messages] = Session(kInitialize + kShutdown + kExit);
  EXPECT_EQ(status, 0);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_TRUE(messages[0]["result"]["capabilities"]["hoverProvider"]);
  EXPECT_EQ(messages[1]["id"], 99);
  EXPECT_TRUE(messages[1]["result"].is_null());
}

TEST(ServerTest, ExitWithoutShutdownOrTheEndOfInputEndWithOne) {
  EXPECT_EQ(Session(kInitialize + kExit).first, 1);
  EXPECT_EQ(Session(kInitialize).first, 1);
}

TEST(ServerTest, MalformedMessagesGetErrorsAndTheServerGoesOn) {
  auto [status, messages] = Session(
      kInitialize + Framed("{nope") + Framed("[1,2]") + Framed(R"({"jsonrpc":"2.0","id":2})") +
      "Content-Type: text\r\n\r\n" + Framed(R"({"jsonrpc":"2.0","id":3,"method":"no/such"})") +
      Framed(R"({"jsonrpc":"2.0","id":4,"method":"textDocument/hover","params":{}})") +
      Framed(R"({"jsonrpc":"2.0","method":"textDocument/didChange","params":7})") + kShutdown +
      kExit);
  EXPECT_EQ(status, 0);
  std::vector<int> codes;
  for (const Json& message : messages) {
    if (message.contains("error")) codes.push_back(message["error"]["code"]);
  }
  EXPECT_EQ(codes, (std::vector<int>{kParseError, kInvalidRequest, kInvalidRequest, kParseError,
                                     kMethodNotFound, kInvalidParams}));
  EXPECT_EQ(messages.back()["id"], 99);
}

TEST(ServerTest, PublishesDiagnosticsOnOpenAndChange) {
  std::string open = Framed(
      R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///s","version":1,"text":"RELAY1 = ON"}}})");
  std::string change = Framed(
      R"({"jsonrpc":"2.0","method":"textDocument/didChange","params":{"textDocument":{"uri":"file:///s","version":2},"contentChanges":[{"text":"; fixed"}]}})");
  auto [status, messages] = Session(kInitialize + open + change + kShutdown + kExit);
  ASSERT_EQ(messages.size(), 4u);
  EXPECT_EQ(messages[1]["method"], "textDocument/publishDiagnostics");
  EXPECT_EQ(messages[1]["params"]["diagnostics"].size(), 1u);
  EXPECT_EQ(messages[2]["params"]["version"], 2);
  EXPECT_TRUE(messages[2]["params"]["diagnostics"].empty());
}

TEST(ServerTest, PositionsThatAreNoIntegersAreInvalidParams) {
  std::string open = Framed(
      R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///s","version":1,"text":"; x"}}})");
  std::string hover = Framed(
      R"({"jsonrpc":"2.0","id":2,"method":"textDocument/hover","params":{"textDocument":{"uri":"file:///s"},"position":{"line":1e300,"character":0}}})");
  std::string far = Framed(
      R"({"jsonrpc":"2.0","id":3,"method":"textDocument/definition","params":{"textDocument":{"uri":"file:///s"},"position":{"line":18446744073709551615,"character":-9}}})");
  auto [status, messages] = Session(kInitialize + open + hover + far);
  ASSERT_EQ(messages.size(), 4u);
  EXPECT_EQ(messages[2]["error"]["code"], kInvalidParams);
  EXPECT_EQ(messages[3]["id"], 3);
  EXPECT_TRUE(messages[3]["result"].is_null());
}

TEST(ServerTest, AMalformedChangeKeepsTheChangesBeforeIt) {
  std::string open = Framed(
      R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///s","version":1,"text":"; x"}}})");
  std::string change = Framed(
      R"({"jsonrpc":"2.0","method":"textDocument/didChange","params":{"textDocument":{"uri":"file:///s","version":2},"contentChanges":[{"text":"RELAY1 = ON"},{"range":7}]}})");
  std::string hover = Framed(
      R"({"jsonrpc":"2.0","id":2,"method":"textDocument/hover","params":{"textDocument":{"uri":"file:///s"},"position":{"line":0,"character":2}}})");
  auto [status, messages] = Session(kInitialize + open + change + hover);
  ASSERT_EQ(messages.size(), 3u);
  // The hover sees the first change: "RELAY1 = ON" outside an event is E6.
  std::string text = messages[2]["result"]["contents"]["value"];
  EXPECT_NE(text.find("**E6**"), std::string::npos) << text;
}

TEST(ServerTest, RequestsAfterShutdownAreRefused) {
  auto [status, messages] = Session(
      kInitialize + kShutdown +
      Framed(R"({"jsonrpc":"2.0","id":5,"method":"textDocument/documentSymbol","params":{}})") +
      kExit);
  EXPECT_EQ(status, 0);
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[2]["error"]["code"], kInvalidRequest);
}

}  // namespace
}  // namespace vigil::lsp
