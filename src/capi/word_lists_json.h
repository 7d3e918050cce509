// The language's word lists as one JSON object, for editors and the web page.
#ifndef VIGIL_CAPI_WORD_LISTS_JSON_H_
#define VIGIL_CAPI_WORD_LISTS_JSON_H_

#include <string>

namespace vigil::capi {

// {"keywords": [...], "declarations": [...], "defines": [...], "blocks": [...],
//  "commands": [...], "conditions": [...], "properties": [...],
//  "elements": [...], "events": [...]}: upper-case words, each list in the
// order of its table.
std::string WordListsJson();

}  // namespace vigil::capi

#endif  // VIGIL_CAPI_WORD_LISTS_JSON_H_
