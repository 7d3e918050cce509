#include "core/check/element_prose.h"

#include <array>
#include <vector>

#include "core/lang/known_words.h"
#include "core/lang/module_kinds.h"

namespace vigil {
namespace {

// A numbered element name: prefix, number, suffix ("INPUT", 1, "ON").
struct Numbered {
  std::string_view prefix;
  int number = -1;  // -1 when the name holds no number
  std::string_view suffix;
};

Numbered SplitNumber(std::string_view name) {
  size_t first = name.find_first_of("0123456789");
  if (first == std::string_view::npos) return {name, -1, {}};
  size_t last = name.find_first_not_of("0123456789", first);
  if (last == std::string_view::npos) last = name.size();
  if (last - first > 4) return {name, -1, {}};
  int number = 0;
  for (size_t i = first; i < last; ++i) number = number * 10 + (name[i] - '0');
  return {name.substr(0, first), number, name.substr(last)};
}

struct FamilyWord {
  std::string_view prefix;
  std::string_view plural;
};

constexpr std::array<FamilyWord, 6> kFamilyWords = {{
    {"INPUT", "inputs"},
    {"RELAY", "relays"},
    {"EXINPUT", "inputs"},
    {"EXOUTPUT", "outputs"},
    {"OC", "open-collector outputs"},
    {"USEREVENT", "user events"},
}};

std::string JoinAnd(const std::vector<std::string>& words) {
  std::string text;
  for (size_t i = 0; i < words.size(); ++i) {
    if (i > 0) text += i + 1 == words.size() ? " and " : ", ";
    text += words[i];
  }
  return text;
}

}  // namespace

std::string ElementList(int kind_id) {
  std::span<const std::string> names = ElementNamesOfKind(kind_id);
  std::vector<std::string> parts;
  size_t i = 0;
  while (i < names.size()) {
    Numbered first = SplitNumber(names[i]);
    size_t j = i + 1;
    while (first.number >= 0 && j < names.size()) {
      Numbered next = SplitNumber(names[j]);
      if (next.prefix != first.prefix || next.suffix != first.suffix ||
          next.number != first.number + static_cast<int>(j - i)) {
        break;
      }
      ++j;
    }
    std::string last = names[j - 1];
    // The controller also accepts USEREVENT9 to USEREVENT73.
    if (kind_id == kControllerId && first.prefix == "USEREVENT" && first.suffix.empty()) {
      last = "USEREVENT73";
    }
    if (j - i >= 3) {
      parts.push_back(names[i] + " to " + last);
    } else {
      for (size_t k = i; k < j; ++k) parts.push_back(names[k]);
    }
    i = j;
  }
  std::string text;
  for (const std::string& part : parts) {
    if (!text.empty()) text += ", ";
    text += part;
  }
  return text;
}

std::string FamilyNote(int kind_id, std::string_view upper_element) {
  Numbered wanted = SplitNumber(upper_element);
  if (wanted.number < 0 || !wanted.suffix.empty()) return {};
  std::string_view plural;
  for (const FamilyWord& family : kFamilyWords) {
    if (family.prefix == wanted.prefix) plural = family.plural;
  }
  if (plural.empty()) return {};
  std::vector<std::string> members;
  for (const std::string& name : ElementNamesOfKind(kind_id)) {
    Numbered numbered = SplitNumber(name);
    if (numbered.number >= 0 && numbered.prefix == wanted.prefix && numbered.suffix.empty()) {
      members.push_back(name);
    }
  }
  if (members.empty()) return {};
  if (members.size() == 1) {
    return "its only " + std::string(plural.substr(0, plural.size() - 1)) + " is " + members[0];
  }
  std::string list =
      members.size() > 2 ? members.front() + " to " + members.back() : JoinAnd(members);
  return "its " + std::string(plural) + " are " + list;
}

bool IsNumberedName(std::string_view name) { return SplitNumber(name).number >= 0; }

}  // namespace vigil
