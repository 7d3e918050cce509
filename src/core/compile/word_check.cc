#include "core/compile/word_check.h"

#include <algorithm>
#include <string>

#include "core/lang/known_words.h"
#include "core/lang/name_codes.h"
#include "core/scan/tokenizer.h"

namespace vigil {
namespace {

const C_Module* ReferencedModule(const SymbolTable& symbols, std::string_view word) {
  const C_Module* module = symbols.modules.Find(ModulePart(word));
  return module != nullptr && module->id != -1 ? module : nullptr;
}

}  // namespace

bool IsModuleReference(const SymbolTable& symbols, std::string_view word) {
  return ReferencedModule(symbols, word) != nullptr;
}

bool IsKnownWord(std::string_view& word, const SymbolTable& symbols, int event_module) {
  if (!word.empty() && word.back() == ')') word.remove_suffix(1);
  std::string_view module_part;
  std::string_view element_part = word;
  int kind_id = event_module;
  if (Contains(word, ".")) {
    const C_Module* module = ReferencedModule(symbols, ModulePart(word));
    if (module == nullptr) return false;
    module_part = ModulePart(word);
    element_part = ElementPart(word);
    kind_id = module->id;
  }
  // Statement lines arrive upper-cased; copy only a word that is not.
  std::string copy;
  std::string_view upper = word;
  if (std::any_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; })) {
    copy = ToUpper(word);
    upper = copy;
  }
  std::string_view upper_element = Contains(word, ".") ? ElementPart(upper) : upper;
  return word.empty() || IsKeyword(upper) || IsElementOfKind(kind_id, upper_element) ||
         IsNumberWord(word) || Contains(module_part, "-") || Contains(element_part, "-") ||
         symbols.timers.Contains(word) || symbols.registers.Contains(TrimBlanks(word)) ||
         symbols.modules.Contains(word) || symbols.marks.Contains(word) ||
         symbols.parameters.Contains(word);
}

}  // namespace vigil
