// Peeling words off the front of a working line, reading bracketed parameter
// lists, and the characters allowed in declared names.
//
// The working line is a view that the word takers shorten in place; nothing is
// copied, so taking every word of a line is linear in its length.
#ifndef VIGIL_CORE_SCAN_TOKENIZER_H_
#define VIGIL_CORE_SCAN_TOKENIZER_H_

#include <string>
#include <string_view>
#include <vector>

namespace vigil {

// Takes the first word of `line`. Words are separated by blank, tab, CR, LF,
// "=", "(" and ">". The separator that ended the word stays at the head of the
// line; a word that runs to the end of the line leaves the line whole, so the
// next call returns the same word again.
std::string_view TakeWord(std::string_view& line);

// True, and the word removed as above, when the first word of `line` equals
// `keyword` regardless of case; otherwise false and `line` unchanged.
bool TakeWord(std::string_view& line, std::string_view keyword);

// The first word of `line` as TakeWord finds it, and where the rest of the line
// starts (0 keeps the line whole), without changing the line.
struct WordAt {
  std::string_view word;
  size_t cut = 0;
};
WordAt PeekWord(std::string_view line);

// As TakeWord, with "+" and "," also separating words.
std::string_view TakeToken(std::string_view& line);
bool TakeToken(std::string_view& line, std::string_view keyword);

// What reading a parameter list found.
enum class ParamStatus {
  kOk,            // a list of one or more parameters
  kMissingLeft,   // error 3
  kMissingRight,  // error 4
  kEmpty,         // "()": error 5 unless the caller accepts it
};

struct ParamList {
  ParamStatus status = ParamStatus::kOk;
  std::vector<std::string> params;
};

// Reads "(a,b,...)" from the head of `s`: blanks, tabs, CR, LF and ">" are
// dropped, reading stops after the first ")", the inside is split at every
// ",". Empty parts stay in the list.
ParamList ReadParams(std::string_view s);

// Letters, digits and "_" (ASCII only).
bool IsNameChar(char c);

// ASCII-only upper-casing; bytes 128 and above are left as they are.
inline char ToUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
std::string ToUpper(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix);

// Removes leading and trailing space characters (never tabs).
std::string_view TrimBlanks(std::string_view text);

inline bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// The pieces of `text` split at every `separator`, empty pieces included.
std::vector<std::string_view> Split(std::string_view text, char separator);

}  // namespace vigil

#endif  // VIGIL_CORE_SCAN_TOKENIZER_H_
