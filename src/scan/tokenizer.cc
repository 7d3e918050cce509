#include "scan/tokenizer.h"

namespace vigil {
namespace {

bool IsWordSeparator(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '=' || c == '(' || c == '>';
}

bool IsTokenSeparator(char c) { return IsWordSeparator(c) || c == '+' || c == ','; }

bool IsDroppedInParams(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '>';
}

struct Found {
  std::string_view word;
  size_t cut;  // where the rest of the line starts; 0 keeps the line whole
};

template <bool (*IsSeparator)(char)>
Found FindWord(std::string_view line) {
  size_t i = 0;
  while (i < line.size() && IsSeparator(line[i])) ++i;
  size_t start = i;
  while (i < line.size() && !IsSeparator(line[i])) ++i;
  if (i == line.size()) return {line.substr(start), 0};
  return {line.substr(start, i - start), i};
}

template <bool (*IsSeparator)(char)>
std::string_view Take(std::string_view& line) {
  Found found = FindWord<IsSeparator>(line);
  line.remove_prefix(found.cut);
  return found.word;
}

template <bool (*IsSeparator)(char)>
bool TakeKeyword(std::string_view& line, std::string_view keyword) {
  Found found = FindWord<IsSeparator>(line);
  if (!EqualsIgnoreCase(found.word, keyword)) return false;
  line.remove_prefix(found.cut);
  return true;
}

}  // namespace

std::string_view TakeWord(std::string_view& line) { return Take<IsWordSeparator>(line); }

bool TakeWord(std::string_view& line, std::string_view keyword) {
  return TakeKeyword<IsWordSeparator>(line, keyword);
}

std::string_view TakeToken(std::string_view& line) { return Take<IsTokenSeparator>(line); }

bool TakeToken(std::string_view& line, std::string_view keyword) {
  return TakeKeyword<IsTokenSeparator>(line, keyword);
}

ParamList ReadParams(std::string_view s) {
  std::string t;
  for (char c : s) {
    if (IsDroppedInParams(c)) continue;
    t.push_back(c);
    if (c == ')') break;
  }
  ParamList result;
  if (t.empty() || t.front() != '(') {
    result.status = ParamStatus::kMissingLeft;
  } else if (t.back() != ')' || t.size() < 2) {
    result.status = ParamStatus::kMissingRight;
  } else if (t.size() == 2) {
    result.status = ParamStatus::kEmpty;
  } else {
    for (std::string_view part : Split(std::string_view(t).substr(1, t.size() - 2), ',')) {
      result.params.emplace_back(part);
    }
  }
  return result;
}

bool IsNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

char ToUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string ToUpper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = ToUpper(c);
  return upper;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (ToUpper(a[i]) != ToUpper(b[i])) return false;
  }
  return true;
}

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

std::string_view TrimBlanks(std::string_view text) {
  size_t begin = text.find_first_not_of(' ');
  if (begin == std::string_view::npos) return {};
  size_t end = text.find_last_not_of(' ');
  return text.substr(begin, end - begin + 1);
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> pieces;
  size_t start = 0;
  while (true) {
    size_t at = text.find(separator, start);
    if (at == std::string_view::npos) {
      pieces.push_back(text.substr(start));
      return pieces;
    }
    pieces.push_back(text.substr(start, at - start));
    start = at + 1;
  }
}

}  // namespace vigil
