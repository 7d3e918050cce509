#include "capi/word_lists_json.h"

#include <span>
#include <string_view>
#include <vector>

#include "core/lang/known_words.h"
#include "core/lang/word_lists.h"

namespace vigil::capi {
namespace {

// The words hold letters, digits and "_" only: nothing to escape.
template <typename Word>
void AppendList(std::string& json, std::string_view name, std::span<const Word> words) {
  json += json.size() > 1 ? ", \"" : "\"";
  json += name;
  json += "\": [";
  for (size_t i = 0; i < words.size(); ++i) {
    json += i > 0 ? ", \"" : "\"";
    json += words[i];
    json += '"';
  }
  json += ']';
}

}  // namespace

std::string WordListsJson() {
  using Views = std::span<const std::string_view>;
  using Strings = std::span<const std::string>;
  std::string json = "{";
  AppendList(json, "keywords", Keywords());
  AppendList(json, "declarations", Views(kDeclarationWords));
  AppendList(json, "defines", Views(kDefineKinds));
  AppendList(json, "blocks", Views(kBlockWords));
  AppendList(json, "commands", Views(CommandWords()));
  AppendList(json, "conditions", Views(ConditionWords()));
  AppendList(json, "properties", Views(SettableProperties()));
  AppendList(json, "elements", Strings(AllElementNames()));
  AppendList(json, "events", Strings(AllEventNames()));
  json += '}';
  return json;
}

}  // namespace vigil::capi
