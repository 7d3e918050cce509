#include "core/lang/word_lists.h"

#include <algorithm>

#include "core/lang/known_words.h"
#include "core/lang/module_kinds.h"
#include "core/lang/opcodes.h"

namespace vigil {
namespace {

bool IsWordChar(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'; }

// The leading upper-case word of a form ("DELAY(n)" gives DELAY, "register =
// n" gives nothing).
std::string_view LeadingWord(std::string_view form) {
  size_t end = 0;
  while (end < form.size() && IsWordChar(form[end])) ++end;
  return form.substr(0, end);
}

template <typename T>
void AddOnce(std::vector<T>& list, std::string_view word) {
  if (word.empty()) return;
  if (std::find(list.begin(), list.end(), word) == list.end()) list.emplace_back(word);
}

bool IsBlockWord(std::string_view word) {
  return std::find(kBlockWords.begin(), kBlockWords.end(), word) != kBlockWords.end();
}

constexpr ModuleKind kKinds[] = {ModuleKind::kController, ModuleKind::kDoor, ModuleKind::kSupply,
                                 ModuleKind::kPanel, ModuleKind::kPartition};
// One module id of each kind.
constexpr int kKindIds[] = {kControllerId, kDoorIds.first, kSupplyIds.first, kPanelId,
                            kPartitionIds.first};

}  // namespace

std::vector<std::string_view> CommandWords() {
  std::vector<std::string_view> words;
  for (const OpcodeInfo& info : Instructions()) {
    std::string_view word = LeadingWord(info.form);
    // "BEEP = ON" assigns to an element; a command has no "=".
    if (info.form.find('=') != std::string_view::npos || IsBlockWord(word)) continue;
    AddOnce(words, word);
  }
  return words;
}

std::vector<std::string_view> ConditionWords() {
  std::vector<std::string_view> words;
  for (const OpcodeInfo& info : Conditions()) AddOnce(words, LeadingWord(info.form));
  return words;
}

std::vector<std::string_view> SettableProperties() {
  std::vector<std::string_view> words;
  for (const OpcodeInfo& info : Instructions()) {
    size_t dot = info.form.find('.');
    if (dot == std::string_view::npos) continue;
    AddOnce(words, LeadingWord(info.form.substr(dot + 1)));
  }
  return words;
}

std::vector<std::string_view> ModuleTestElements() {
  constexpr std::string_view kModule = "module.";
  std::vector<std::string_view> words;
  for (const OpcodeInfo& info : Conditions()) {
    if (info.form.starts_with(kModule))
      AddOnce(words, LeadingWord(info.form.substr(kModule.size())));
  }
  return words;
}

std::vector<std::string> AllElementNames() {
  std::vector<std::string> names;
  for (int id : kKindIds) {
    for (const std::string& name : ElementNamesOfKind(id)) AddOnce(names, name);
  }
  return names;
}

std::vector<std::string> AllEventNames() {
  std::vector<std::string> names;
  for (ModuleKind kind : kKinds) {
    for (const std::string& name : EventNamesOf(kind)) AddOnce(names, name);
  }
  return names;
}

std::string JoinWords(const std::vector<std::string_view>& words, std::string_view last) {
  std::string text;
  for (size_t i = 0; i < words.size(); ++i) {
    if (i > 0) text += i + 1 == words.size() ? last : ", ";
    text += words[i];
  }
  return text;
}

}  // namespace vigil
