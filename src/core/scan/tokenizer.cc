#include "core/scan/tokenizer.h"

#include <array>
#include <cstdint>

namespace vigil {
namespace {

// Separator classes by byte: bit 1 separates words, bit 2 also tokens.
constexpr uint8_t kWord = 1;
constexpr uint8_t kToken = 2;

constexpr std::array<uint8_t, 256> MakeSeparators() {
  std::array<uint8_t, 256> table{};
  for (char c : std::string_view(" \t\r\n=(>"))
    table[static_cast<unsigned char>(c)] = kWord | kToken;
  for (char c : std::string_view("+,")) table[static_cast<unsigned char>(c)] = kToken;
  return table;
}

constexpr std::array<uint8_t, 256> kSeparators = MakeSeparators();

bool IsWordSeparator(char c) { return kSeparators[static_cast<unsigned char>(c)] & kWord; }

bool IsTokenSeparator(char c) { return kSeparators[static_cast<unsigned char>(c)] & kToken; }

bool IsDroppedInParams(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '>';
}

template <bool (*IsSeparator)(char)>
WordAt FindWord(std::string_view line) {
  size_t i = 0;
  while (i < line.size() && IsSeparator(line[i])) ++i;
  size_t start = i;
  while (i < line.size() && !IsSeparator(line[i])) ++i;
  if (i == line.size()) return {line.substr(start), 0};
  return {line.substr(start, i - start), i};
}

template <bool (*IsSeparator)(char)>
std::string_view Take(std::string_view& line) {
  WordAt found = FindWord<IsSeparator>(line);
  line.remove_prefix(found.cut);
  return found.word;
}

// The word is compared where it stands, without finding its end first: most
// calls ask about a line that begins with some other word.
template <bool (*IsSeparator)(char)>
bool TakeKeyword(std::string_view& line, std::string_view keyword) {
  size_t start = 0;
  while (start < line.size() && IsSeparator(line[start])) ++start;
  size_t end = start + keyword.size();
  // Most lines differ in the first letter: no need to compare further.
  if (start < line.size() && !keyword.empty() && ToUpper(line[start]) != ToUpper(keyword[0])) {
    return false;
  }
  if (end > line.size() || (end < line.size() && !IsSeparator(line[end])) ||
      !EqualsIgnoreCase(line.substr(start, keyword.size()), keyword)) {
    return false;
  }
  // As for any word: the last word of the line is not removed.
  line.remove_prefix(end < line.size() ? end : 0);
  return true;
}

}  // namespace

WordAt PeekWord(std::string_view line) { return FindWord<IsWordSeparator>(line); }

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
    std::string_view inside = std::string_view(t).substr(1, t.size() - 2);
    while (true) {
      size_t comma = inside.find(',');
      result.params.emplace_back(inside.substr(0, comma));
      if (comma == std::string_view::npos) break;
      inside.remove_prefix(comma + 1);
    }
  }
  return result;
}

bool IsNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

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
  if (text.size() < prefix.size()) return false;
  // Most texts differ in the first letter: no need to compare further.
  if (!prefix.empty() && ToUpper(text[0]) != ToUpper(prefix[0])) return false;
  return EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
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
