// The installer's reference (docs/language.md, built into the server) as
// hover and signature help quote it: the rows of its command and condition
// tables that describe a word.
//
//   ReferenceEntry entry = CommandReference("DIAL");
//   entry.table;       // "| Parameters | Example | ...\n|---|...\n| number, mark | ..."
//   entry.signatures;  // {"DIAL(number, mark)"}
#ifndef VIGIL_LSP_REFERENCE_H_
#define VIGIL_LSP_REFERENCE_H_

#include <string>
#include <string_view>
#include <vector>

namespace vigil::lsp {

struct Signature {
  std::string label;                    // DIAL(number, mark)
  std::vector<std::string> parameters;  // number, mark
};

struct ReferenceEntry {
  std::string table;                  // the rows as a Markdown table with their header; empty: none
  std::vector<Signature> signatures;  // commands with parameters: one per row
};

// The whole reference.
std::string_view LanguageReference();

// The rows of the command table for `upper_word` (DELAY and its "or a
// parameter" row), with a signature per row that takes parameters.
ReferenceEntry CommandReference(std::string_view upper_word);
// The rows of the condition table whose syntax starts with `upper_word`
// (FLAGS: both tables' rows).
ReferenceEntry ConditionReference(std::string_view upper_word);

}  // namespace vigil::lsp

#endif  // VIGIL_LSP_REFERENCE_H_
