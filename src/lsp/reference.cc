#include "lsp/reference.h"

#include <cstddef>
#include <optional>

#include "core/scan/tokenizer.h"

namespace vigil::lsp {

extern const unsigned char kLanguageReference[];
extern const size_t kLanguageReferenceSize;

namespace {

constexpr std::string_view kCommandHeader = "| Command |";
constexpr std::string_view kConditionHeader = "| Term |";

// The cells of a table row, "\|" inside a cell kept as "|".
std::vector<std::string> Cells(std::string_view row) {
  std::vector<std::string> cells;
  std::string cell;
  for (size_t i = 1; i < row.size(); ++i) {
    if (row[i] == '\\' && i + 1 < row.size() && row[i + 1] == '|') {
      cell += '|';
      ++i;
    } else if (row[i] == '|') {
      cells.push_back(std::string(TrimBlanks(cell)));
      cell.clear();
    } else {
      cell += row[i];
    }
  }
  return cells;
}

// The rows of the table whose header row starts with `header`: the header
// first, without the separator row.
std::vector<std::string_view> TableRows(std::string_view header) {
  std::string_view text = LanguageReference();
  size_t at = text.find(std::string("\n") + std::string(header));
  std::vector<std::string_view> rows;
  if (at == std::string_view::npos) return rows;
  for (++at; at < text.size() && text[at] == '|';) {
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view row = text.substr(at, end - at);
    if (!row.starts_with("|---")) rows.push_back(row);
    at = end + 1;
  }
  return rows;
}

std::string MarkdownRow(const std::vector<std::string>& cells, size_t from) {
  std::string row = "|";
  for (size_t i = from; i < cells.size(); ++i) {
    std::string cell = cells[i];
    for (size_t bar = cell.find('|'); bar != std::string::npos; bar = cell.find('|', bar + 2)) {
      cell.insert(bar, "\\");
    }
    row += " " + cell + " |";
  }
  return row + "\n";
}

std::string TableOf(const std::vector<std::string>& header, size_t from, const std::string& rows) {
  std::string separator = "|";
  for (size_t i = from; i < header.size(); ++i) separator += "---|";
  return MarkdownRow(header, from) + separator + "\n" + rows;
}

// "number, mark" as a signature of `word`; nullopt for "none".
std::optional<Signature> SignatureOf(std::string_view word, std::string_view parameters) {
  if (parameters.starts_with("or ")) parameters.remove_prefix(3);
  if (parameters.starts_with("a ")) parameters.remove_prefix(2);
  if (parameters.empty() || parameters == "none") return std::nullopt;
  Signature signature{std::string(word) + "(" + std::string(parameters) + ")", {}};
  for (std::string_view parameter : Split(parameters, ',')) {
    signature.parameters.push_back(std::string(TrimBlanks(parameter)));
  }
  return signature;
}

// Whether a syntax cell such as "`TIMEPLAN(n)`" or "`[module.]INPUTn = ON|OFF`"
// starts with `word` as a whole word.
bool SyntaxStartsWith(std::string_view syntax, std::string_view word) {
  for (size_t at = syntax.find('`'); at != std::string_view::npos; at = syntax.find('`', at + 1)) {
    std::string_view rest = syntax.substr(at + 1);
    if (rest.starts_with(word) && rest.size() > word.size()) {
      char next = rest[word.size()];
      if (next == '(' || next == '`' || next == ' ') return true;
    }
  }
  return false;
}

}  // namespace

std::string_view LanguageReference() {
  return {reinterpret_cast<const char*>(kLanguageReference), kLanguageReferenceSize};
}

ReferenceEntry CommandReference(std::string_view upper_word) {
  std::vector<std::string_view> rows = TableRows(kCommandHeader);
  ReferenceEntry entry;
  if (rows.empty()) return entry;
  std::vector<std::string> header = Cells(rows[0]);
  std::string matched;
  bool in_word = false;
  for (size_t i = 1; i < rows.size(); ++i) {
    std::vector<std::string> cells = Cells(rows[i]);
    if (cells.size() < 2) continue;
    if (!cells[0].empty()) in_word = cells[0] == upper_word;
    if (!in_word) continue;
    matched += MarkdownRow(cells, 1);
    if (std::optional<Signature> signature = SignatureOf(upper_word, cells[1])) {
      entry.signatures.push_back(*signature);
    }
  }
  if (!matched.empty()) entry.table = TableOf(header, 1, matched);
  return entry;
}

ReferenceEntry ConditionReference(std::string_view upper_word) {
  std::vector<std::string_view> rows = TableRows(kConditionHeader);
  ReferenceEntry entry;
  if (rows.empty()) return entry;
  std::vector<std::string> header = Cells(rows[0]);
  std::string matched;
  for (size_t i = 1; i < rows.size(); ++i) {
    std::vector<std::string> cells = Cells(rows[i]);
    if (cells.size() > 1 && SyntaxStartsWith(cells[1], upper_word)) {
      matched += MarkdownRow(cells, 0);
    }
  }
  if (!matched.empty()) entry.table = TableOf(header, 0, matched);
  return entry;
}

}  // namespace vigil::lsp
