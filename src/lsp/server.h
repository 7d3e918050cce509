// The language server: JSON-RPC messages in, replies and notifications out,
// a table of methods and their handlers, and the open documents.
//
//   std::istream& in = ...; std::ostream& out = ...;
//   int status = RunServer(in, out);  // until "exit" or the end of input
#ifndef VIGIL_LSP_SERVER_H_
#define VIGIL_LSP_SERVER_H_

#include <istream>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "lsp/document.h"
#include "lsp/protocol.h"

namespace vigil::lsp {

class Server {
 public:
  explicit Server(std::ostream& out) : out_(out) {}

  // Handles one message body: a request gets its reply, a malformed message
  // an error reply; the server goes on either way.
  void HandleMessage(std::string_view body);
  // Answers a message whose header could not be read, or that was too long.
  void ReportBadFrame(std::string_view why);
  // Publishes the diagnostics of the documents edited since they were last
  // published: each compiled once, at its latest text. The reader calls this
  // when no message is waiting, so a burst of edits costs one compile.
  void PublishPending();

  bool exit_requested() const { return exit_requested_; }
  // 0 when "exit" came after "shutdown", 1 otherwise.
  int exit_code() const { return shutdown_ ? 0 : 1; }

  // The handlers, public for the method table.
  Json Initialize(const Json& params);
  Json Shutdown(const Json& params);
  Json Hover(const Json& params);
  Json Completion(const Json& params);
  Json Definition(const Json& params);
  Json References(const Json& params);
  Json SignatureHelp(const Json& params);
  Json DocumentHighlight(const Json& params);
  Json WorkspaceSymbol(const Json& params);
  Json PrepareRename(const Json& params);
  Json Rename(const Json& params);
  Json DocumentSymbol(const Json& params);
  Json FoldingRange(const Json& params);
  Json SemanticTokensFull(const Json& params);
  Json SemanticTokensDelta(const Json& params);
  Json SemanticTokensRange(const Json& params);
  Json Formatting(const Json& params);
  Json CodeAction(const Json& params);
  Json CodeLens(const Json& params);
  Json CodeLensResolve(const Json& params);
  Json ExecuteCommand(const Json& params);
  Json RunScenario(const Document& scenarios, int line);
  void DidOpen(const Json& params);
  void DidChange(const Json& params);
  void DidClose(const Json& params);
  void DidChangeConfiguration(const Json& params);
  void Exit(const Json& params);
  void Ignore(const Json& params);

 private:
  void HandleRequest(const Json& id, std::string_view method, const Json& params);
  void HandleNotification(std::string_view method, const Json& params);
  void Send(const Json& message);
  void ReplyError(const Json& id, int code, std::string_view message);
  void PublishDiagnostics(const Document& document);
  // The open script of a scenario file, or nullptr.
  const Document* ScriptOf(const std::string& scenario_uri) const;
  // Marks `uri` (and, for a script, the open scenario files) for publishing.
  void MarkEdited(const std::string& uri);
  // The server's settings: initializationOptions, or the "vigil" section.
  void ReadSettings(const Json& settings);
  // A window/logMessage warning: what the server dropped and why.
  void LogDropped(std::string_view method, std::string_view why);
  // The open document the params name; ResponseError when none is open.
  const Document& DocumentOf(const Json& params) const;

  std::ostream& out_;
  std::map<std::string, Document> documents_;  // by URI
  std::set<std::string> unpublished_;          // URIs edited since their diagnostics
  bool all_diagnostics_ = false;               // cascades unfolded (setting diagnostics.all)
  bool snippets_ = false;                      // the client expands snippets in completions
  bool lens_refresh_ = false;                  // the client asks for lenses again on request
  int next_request_id_ = 1;                    // of the requests the server sends
  // The scenarios run through their lens, by the scenario file's URI: their
  // lines (from 1), whose lenses show the result.
  std::map<std::string, std::set<int>> scenarios_run_;
  bool initialized_ = false;  // "initialize" has been answered
  // The last full semantic tokens sent for each URI, for delta requests.
  struct SentTokens {
    std::string result_id;
    std::vector<int> data;
  };
  std::map<std::string, SentTokens> sent_tokens_;
  int next_result_id_ = 1;
  bool shutdown_ = false;
  bool exit_requested_ = false;
};

// Reads framed messages from `in` until "exit" or the end of the input and
// returns the process's exit status.
int RunServer(std::istream& in, std::ostream& out);

}  // namespace vigil::lsp

#endif  // VIGIL_LSP_SERVER_H_
