#include "lsp/signature_help.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/scan/tokenizer.h"
#include "lsp/reference.h"
#include "lsp/words.h"

namespace vigil::lsp {

Json SignatureHelpAt(const Document& document, Position position) {
  if (position.line < 0 || position.line >= document.line_count()) return nullptr;
  std::string_view text = document.LineText(position.line);
  std::string_view before = text.substr(0, static_cast<size_t>(document.ByteColumnOf(position)));
  size_t open = before.rfind('(');
  if (open == std::string_view::npos || before.find(')', open) != std::string_view::npos) {
    return nullptr;
  }
  std::string_view head = before.substr(0, open);
  std::vector<WordRange> words = WordsOf(head);
  if (words.empty()) return nullptr;
  ReferenceEntry entry = CommandReference(ToUpper(TextOf(head, words.back())));
  if (entry.signatures.empty()) return nullptr;
  std::string_view inside = before.substr(open + 1);
  size_t active = static_cast<size_t>(std::count(inside.begin(), inside.end(), ','));
  Json signatures = Json::array();
  size_t chosen = entry.signatures.size();
  for (size_t i = 0; i < entry.signatures.size(); ++i) {
    const Signature& signature = entry.signatures[i];
    Json parameters = Json::array();
    for (const std::string& parameter : signature.parameters) {
      parameters.push_back({{"label", parameter}});
    }
    signatures.push_back({{"label", signature.label},
                          {"documentation", {{"kind", "markdown"}, {"value", entry.table}}},
                          {"parameters", parameters}});
    if (chosen == entry.signatures.size() && active < signature.parameters.size()) chosen = i;
  }
  return {{"signatures", signatures},
          {"activeSignature", chosen == entry.signatures.size() ? 0 : chosen},
          {"activeParameter", active}};
}

}  // namespace vigil::lsp
