#include "lsp/server.h"

#include <climits>
#include <exception>
#include <utility>

#include "core/lang/version.h"
#include "core/scan/tokenizer.h"
#include "lsp/code_actions.h"
#include "lsp/code_lens.h"
#include "lsp/completion.h"
#include "lsp/diagnostics.h"
#include "lsp/formatting.h"
#include "lsp/hover.h"
#include "lsp/navigation.h"
#include "lsp/scenario_diagnostics.h"
#include "lsp/scenario_hover.h"
#include "lsp/semantic_tokens.h"
#include "lsp/signature_help.h"
#include "lsp/symbols.h"
#include "lsp/transport.h"

namespace vigil::lsp {
namespace {

constexpr int kInternalError = -32603;
constexpr int kIncrementalSync = 2;
constexpr int kDefaultIndent = 2;
constexpr int kLogWarning = 2;

struct RequestRoute {
  std::string_view method;
  Json (Server::*handler)(const Json&);
};

// The requests the server answers.
constexpr RequestRoute kRequests[] = {
    {"initialize", &Server::Initialize},
    {"shutdown", &Server::Shutdown},
    {"textDocument/hover", &Server::Hover},
    {"textDocument/completion", &Server::Completion},
    {"textDocument/definition", &Server::Definition},
    {"textDocument/references", &Server::References},
    {"textDocument/signatureHelp", &Server::SignatureHelp},
    {"textDocument/documentHighlight", &Server::DocumentHighlight},
    {"workspace/symbol", &Server::WorkspaceSymbol},
    {"textDocument/prepareRename", &Server::PrepareRename},
    {"textDocument/rename", &Server::Rename},
    {"textDocument/documentSymbol", &Server::DocumentSymbol},
    {"textDocument/foldingRange", &Server::FoldingRange},
    {"textDocument/semanticTokens/full", &Server::SemanticTokensFull},
    {"textDocument/semanticTokens/full/delta", &Server::SemanticTokensDelta},
    {"textDocument/semanticTokens/range", &Server::SemanticTokensRange},
    {"textDocument/formatting", &Server::Formatting},
    {"textDocument/codeAction", &Server::CodeAction},
    {"textDocument/codeLens", &Server::CodeLens},
    {"codeLens/resolve", &Server::CodeLensResolve},
    {"workspace/executeCommand", &Server::ExecuteCommand},
};

struct NotificationRoute {
  std::string_view method;
  void (Server::*handler)(const Json&);
};

constexpr NotificationRoute kNotifications[] = {
    {"initialized", &Server::Ignore},
    {"textDocument/didOpen", &Server::DidOpen},
    {"textDocument/didChange", &Server::DidChange},
    {"textDocument/didClose", &Server::DidClose},
    {"textDocument/didSave", &Server::Ignore},
    {"workspace/didChangeConfiguration", &Server::DidChangeConfiguration},
    {"$/cancelRequest", &Server::Ignore},  // every request is answered before the next is read
    {"$/setTrace", &Server::Ignore},
    {"exit", &Server::Exit},
};

Position ReadRangeEnd(const Json& range, const char* which) {
  return ReadPositionObject(range.at(which));
}

}  // namespace

void Server::Send(const Json& message) {
  WriteFrame(out_, message.dump(-1, ' ', false, Json::error_handler_t::replace));
}

void Server::ReplyError(const Json& id, int code, std::string_view message) {
  Send({{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}});
}

void Server::ReportBadFrame(std::string_view why) { ReplyError(nullptr, kParseError, why); }

void Server::LogDropped(std::string_view method, std::string_view why) {
  Send({{"jsonrpc", "2.0"},
        {"method", "window/logMessage"},
        {"params",
         {{"type", kLogWarning},
          {"message", "vigil: dropped " + std::string(method) + ": " + std::string(why)}}}});
}

void Server::HandleMessage(std::string_view body) {
  Json message = Json::parse(body, nullptr, false);
  if (message.is_discarded()) return ReplyError(nullptr, kParseError, "the message is no JSON");
  if (!message.is_object()) return ReplyError(nullptr, kInvalidRequest, "the message is no object");
  Json id = message.contains("id") ? message["id"] : Json();
  bool id_ok = id.is_null() || id.is_number_integer() || id.is_string();
  if (!message.contains("method") || !message["method"].is_string() || !id_ok) {
    // A response to a request of ours carries no method: nothing to answer.
    if (message.contains("result") || message.contains("error")) return;
    return ReplyError(id_ok ? id : Json(), kInvalidRequest, "the message has no method");
  }
  std::string method = message["method"].get<std::string>();
  Json params = message.contains("params") ? message["params"] : Json::object();
  if (message.contains("id")) {
    HandleRequest(id, method, params);
  } else {
    HandleNotification(method, params);
  }
}

void Server::HandleRequest(const Json& id, std::string_view method, const Json& params) {
  if (shutdown_) return ReplyError(id, kInvalidRequest, "the server is shutting down");
  bool initialize = method == "initialize";
  if (!initialized_ && !initialize) {
    return ReplyError(id, kServerNotInitialized, "the server has not been initialized");
  }
  if (initialized_ && initialize) {
    return ReplyError(id, kInvalidRequest, "the server is already initialized");
  }
  for (const RequestRoute& route : kRequests) {
    if (route.method != method) continue;
    try {
      Json result = (this->*route.handler)(params);
      Send({{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}});
    } catch (const ResponseError& error) {
      ReplyError(id, error.code(), error.what());
    } catch (const Json::exception& error) {
      ReplyError(id, kInvalidParams, std::string("invalid params: ") + error.what());
    } catch (const std::exception& error) {
      ReplyError(id, kInternalError, error.what());
    }
    return;
  }
  ReplyError(id, kMethodNotFound, "unknown method " + std::string(method));
}

void Server::HandleNotification(std::string_view method, const Json& params) {
  if (!initialized_ && method != "exit") {
    return LogDropped(method, "the server has not been initialized");
  }
  for (const NotificationRoute& route : kNotifications) {
    if (route.method != method) continue;
    try {
      (this->*route.handler)(params);
    } catch (const std::exception& error) {
      // A notification gets no reply: the client learns of it in the log.
      LogDropped(method, error.what());
    }
    return;
  }
  LogDropped(method, "unknown notification");
}

const Document& Server::DocumentOf(const Json& params) const {
  std::string uri = params.at("textDocument").at("uri").get<std::string>();
  auto found = documents_.find(uri);
  if (found == documents_.end()) throw ResponseError(kInvalidParams, "no open document " + uri);
  return found->second;
}

void Server::PublishPending() {
  for (const std::string& uri : unpublished_) {
    auto found = documents_.find(uri);
    if (found != documents_.end()) PublishDiagnostics(found->second);
  }
  unpublished_.clear();
}

void Server::PublishDiagnostics(const Document& document) {
  Json params;
  if (IsScenarioUri(document.uri())) {
    params = {{"uri", document.uri()},
              {"version", document.version()},
              {"diagnostics", ScenarioDiagnostics(document, ScriptOf(document.uri()))}};
  } else {
    params = PublishDiagnosticsParams(document, all_diagnostics_);
  }
  Send({{"jsonrpc", "2.0"}, {"method", "textDocument/publishDiagnostics"}, {"params", params}});
}

const Document* Server::ScriptOf(const std::string& scenario_uri) const {
  for (const std::string& uri : ScriptUrisOf(scenario_uri)) {
    auto found = documents_.find(uri);
    if (found != documents_.end()) return &found->second;
  }
  return nullptr;
}

// A script's scenario files are checked again with it.
void Server::MarkEdited(const std::string& uri) {
  unpublished_.insert(uri);
  if (IsScenarioUri(uri)) return;
  for (const auto& [other, document] : documents_) {
    if (IsScenarioUri(other)) unpublished_.insert(other);
  }
}

Json Server::Initialize(const Json& params) {
  initialized_ = true;
  const Json::json_pointer snippets(
      "/capabilities/textDocument/completion/completionItem/snippetSupport");
  ReadSettings(params.value("initializationOptions", Json::object()));
  snippets_ = params.is_object() && params.contains(snippets) && params.at(snippets).is_boolean() &&
              params.at(snippets).get<bool>();
  const Json::json_pointer refresh("/capabilities/workspace/codeLens/refreshSupport");
  lens_refresh_ = params.is_object() && params.contains(refresh) &&
                  params.at(refresh).is_boolean() && params.at(refresh).get<bool>();
  Json capabilities = {
      {"positionEncoding", "utf-16"},
      {"textDocumentSync", {{"openClose", true}, {"change", kIncrementalSync}}},
      {"hoverProvider", true},
      {"completionProvider", {{"triggerCharacters", {".", "(", ",", "="}}}},
      {"signatureHelpProvider", {{"triggerCharacters", {"(", ","}}}},
      {"documentHighlightProvider", true},
      {"workspaceSymbolProvider", true},
      {"definitionProvider", true},
      {"referencesProvider", true},
      {"renameProvider", {{"prepareProvider", true}}},
      {"documentSymbolProvider", true},
      {"foldingRangeProvider", true},
      {"semanticTokensProvider",
       {{"legend", SemanticTokensLegend()}, {"full", {{"delta", true}}}, {"range", true}}},
      {"documentFormattingProvider", true},
      {"codeActionProvider", {{"codeActionKinds", {"quickfix"}}}},
      {"codeLensProvider", {{"resolveProvider", true}}},
      {"executeCommandProvider", {{"commands", {kSimulateCommand, kRunScenarioCommand}}}},
  };
  return {{"capabilities", capabilities},
          {"serverInfo", {{"name", "vigil"}, {"version", kVersion}}}};
}

Json Server::Shutdown(const Json&) {
  shutdown_ = true;
  return nullptr;
}

Json Server::Hover(const Json& params) {
  const Document& document = DocumentOf(params);
  if (IsScenarioUri(document.uri())) {
    return ScenarioHoverAt(document, ScriptOf(document.uri()), ReadPosition(params));
  }
  return HoverAt(document, ReadPosition(params));
}

Json Server::Completion(const Json& params) {
  const Document& document = DocumentOf(params);
  if (IsScenarioUri(document.uri())) {
    return ScenarioCompletionAt(document, ScriptOf(document.uri()), ReadPosition(params));
  }
  return CompletionAt(document, ReadPosition(params), snippets_);
}

Json Server::Definition(const Json& params) {
  return DefinitionAt(DocumentOf(params), ReadPosition(params));
}

Json Server::References(const Json& params) {
  bool declaration =
      params.contains("context") && params["context"].value("includeDeclaration", false);
  return ReferencesAt(DocumentOf(params), ReadPosition(params), declaration);
}

Json Server::SignatureHelp(const Json& params) {
  return SignatureHelpAt(DocumentOf(params), ReadPosition(params));
}

Json Server::DocumentHighlight(const Json& params) {
  return HighlightsAt(DocumentOf(params), ReadPosition(params));
}

Json Server::WorkspaceSymbol(const Json& params) {
  std::string query = params.value("query", "");
  Json found = Json::array();
  for (const auto& [uri, document] : documents_) AddWorkspaceSymbols(document, query, found);
  return found;
}

Json Server::PrepareRename(const Json& params) {
  return PrepareRenameAt(DocumentOf(params), ReadPosition(params));
}

Json Server::Rename(const Json& params) {
  return RenameAt(DocumentOf(params), ReadPosition(params),
                  params.at("newName").get<std::string>());
}

Json Server::DocumentSymbol(const Json& params) { return DocumentSymbols(DocumentOf(params)); }

Json Server::FoldingRange(const Json& params) { return FoldingRanges(DocumentOf(params)); }

Json Server::SemanticTokensFull(const Json& params) {
  const Document& document = DocumentOf(params);
  SentTokens& sent = sent_tokens_[document.uri()];
  sent.result_id = std::to_string(next_result_id_++);
  sent.data = SemanticTokenData(document, 0, document.line_count() - 1);
  return {{"resultId", sent.result_id}, {"data", sent.data}};
}

// The edits from the tokens last sent, when the client names them; all the
// tokens otherwise.
Json Server::SemanticTokensDelta(const Json& params) {
  const Document& document = DocumentOf(params);
  auto found = sent_tokens_.find(document.uri());
  std::string previous = params.value("previousResultId", "");
  if (found == sent_tokens_.end() || found->second.result_id != previous) {
    return SemanticTokensFull(params);
  }
  std::vector<int> data = SemanticTokenData(document, 0, document.line_count() - 1);
  Json edits = SemanticTokenEdits(found->second.data, data);
  found->second = {std::to_string(next_result_id_++), std::move(data)};
  return {{"resultId", found->second.result_id}, {"edits", std::move(edits)}};
}

Json Server::SemanticTokensRange(const Json& params) {
  const Json& range = params.at("range");
  return {{"data", SemanticTokenData(DocumentOf(params), ReadRangeEnd(range, "start").line,
                                     ReadRangeEnd(range, "end").line)}};
}

Json Server::Formatting(const Json& params) {
  int indent = kDefaultIndent;
  if (params.contains("options")) indent = ReadInt(params["options"], "tabSize", kDefaultIndent);
  if (indent < 0 || indent > 16) indent = kDefaultIndent;
  return FormattingEdits(DocumentOf(params), indent);
}

Json Server::CodeAction(const Json& params) {
  const Json& range = params.at("range");
  return CodeActions(DocumentOf(params), ReadRangeEnd(range, "start").line,
                     ReadRangeEnd(range, "end").line);
}

Json Server::CodeLens(const Json& params) {
  const Document& document = DocumentOf(params);
  if (IsScenarioUri(document.uri())) {
    auto ran = scenarios_run_.find(document.uri());
    return ScenarioLenses(document, ScriptOf(document.uri()),
                          ran == scenarios_run_.end() ? std::set<int>() : ran->second);
  }
  return CodeLenses(document);
}

Json Server::CodeLensResolve(const Json& params) {
  const Json& data = params.at("data");
  return ResolveCodeLens(DocumentOf({{"textDocument", {{"uri", data.at("uri")}}}}), params);
}

// vigil.simulate URI EVENT: the trace goes to the client's log, its result
// line to a message, and back as the reply.
Json Server::ExecuteCommand(const Json& params) {
  std::string command = params.at("command").get<std::string>();
  if (command != kSimulateCommand && command != kRunScenarioCommand) {
    throw ResponseError(kInvalidParams, "unknown command");
  }
  const Json& arguments = params.at("arguments");
  const Document& document = DocumentOf({{"textDocument", {{"uri", arguments.at(0)}}}});
  if (command == kRunScenarioCommand) return RunScenario(document, arguments.at(1).get<int>());
  std::string text = SimulationText(document, arguments.at(1).get<std::string>());
  Send({{"jsonrpc", "2.0"},
        {"method", "window/logMessage"},
        {"params", {{"type", 3}, {"message", text}}}});
  Send({{"jsonrpc", "2.0"},
        {"method", "window/showMessage"},
        {"params", {{"type", 3}, {"message", LastLine(text)}}}});
  return text;
}

// vigil.runScenario URI LINE: the result with its trace goes to the client's
// log, its first line to a message, and back as the reply; the lens of the
// scenario shows the result from now on, so the client is asked for the
// lenses again.
Json Server::RunScenario(const Document& scenarios, int line) {
  std::string text = ScenarioRunText(scenarios, ScriptOf(scenarios.uri()), line);
  scenarios_run_[scenarios.uri()].insert(line);
  Send({{"jsonrpc", "2.0"},
        {"method", "window/logMessage"},
        {"params", {{"type", 3}, {"message", text}}}});
  Send({{"jsonrpc", "2.0"},
        {"method", "window/showMessage"},
        {"params", {{"type", 3}, {"message", text.substr(0, text.find('\n'))}}}});
  if (lens_refresh_) {
    Send({{"jsonrpc", "2.0"},
          {"id", "vigil-lens-refresh-" + std::to_string(next_request_id_++)},
          {"method", "workspace/codeLens/refresh"}});
  }
  return text;
}

void Server::DidOpen(const Json& params) {
  const Json& item = params.at("textDocument");
  std::string uri = item.at("uri").get<std::string>();
  Document document(uri, ReadInt(item, "version", 0), item.at("text").get<std::string>());
  documents_.insert_or_assign(uri, std::move(document));
  MarkEdited(uri);
}

void Server::DidChange(const Json& params) {
  std::string uri = params.at("textDocument").at("uri").get<std::string>();
  auto found = documents_.find(uri);
  if (found == documents_.end()) throw ResponseError(kInvalidParams, "no open document " + uri);
  Document& document = found->second;
  // The changes before a malformed one stay: the compilation follows the text.
  MarkEdited(uri);
  for (const Json& change : params.at("contentChanges")) {
    std::string text = change.at("text").get<std::string>();
    if (change.contains("range")) {
      const Json& range = change["range"];
      document.Edit(ReadRangeEnd(range, "start"), ReadRangeEnd(range, "end"), text);
    } else {
      document.Edit({0, 0}, {INT_MAX, 0}, text);
    }
  }
  document.set_version(ReadInt(params["textDocument"], "version", document.version()));
}

void Server::DidClose(const Json& params) {
  std::string uri = params.at("textDocument").at("uri").get<std::string>();
  auto found = documents_.find(uri);
  if (found == documents_.end()) throw ResponseError(kInvalidParams, "no open document " + uri);
  documents_.erase(found);
  unpublished_.erase(uri);
  sent_tokens_.erase(uri);
  scenarios_run_.erase(uri);
  // An editor shows no diagnostics for a closed document.
  Send({{"jsonrpc", "2.0"},
        {"method", "textDocument/publishDiagnostics"},
        {"params", {{"uri", uri}, {"diagnostics", Json::array()}}}});
}

// {"diagnostics": {"all": true}}: every error, cascades unfolded.
void Server::ReadSettings(const Json& settings) {
  if (!settings.is_object()) return;
  const Json::json_pointer all("/diagnostics/all");
  if (settings.contains(all) && settings.at(all).is_boolean()) {
    all_diagnostics_ = settings.at(all).get<bool>();
  }
}

// The settings under "vigil"; every open document shows its diagnostics again.
void Server::DidChangeConfiguration(const Json& params) {
  const Json& settings = params.at("settings");
  ReadSettings(settings.is_object() && settings.contains("vigil") ? settings["vigil"] : settings);
  for (const auto& [uri, document] : documents_) unpublished_.insert(uri);
}

void Server::Exit(const Json&) { exit_requested_ = true; }

void Server::Ignore(const Json&) {}

int RunServer(std::istream& in, std::ostream& out) {
  Server server(out);
  while (!server.exit_requested()) {
    Frame frame = ReadFrame(in);
    if (frame.status == Frame::Status::kEnd) break;
    if (frame.status == Frame::Status::kMessage) {
      server.HandleMessage(frame.body);
    } else {
      server.ReportBadFrame(frame.error);
    }
    // Edits that are already waiting supersede these: diagnostics wait for them.
    if (in.rdbuf()->in_avail() <= 0) server.PublishPending();
  }
  return server.exit_requested() ? server.exit_code() : 1;
}

}  // namespace vigil::lsp
