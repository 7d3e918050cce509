// Renaming a declared name: the edits, or why the rename is refused. A rename
// is made only when the renamed script compiles to the same code.
#ifndef VIGIL_CORE_CHECK_RENAME_H_
#define VIGIL_CORE_CHECK_RENAME_H_

#include <string>
#include <string_view>
#include <vector>

#include "core/compile/compilation.h"

namespace vigil {

struct RenamePlan {
  std::string refusal;             // why not, or empty when the rename can be made
  SourceSite word;                 // the word under the cursor (for an editor's prepare step)
  const Symbol* symbol = nullptr;  // the name renamed
  std::vector<SourceSite> edits;   // in script order: each span takes the new name
};

// What renaming the word at byte `column` of physical line `line` would
// touch, without a new name: refused on a word that is not a declared name.
RenamePlan PrepareRename(const Compilation& compilation, int line, int column);

// The edits that rename the declared name at `line`, `column` to `new_name`.
// Refused when the word is an element, a keyword or no name at all; when the
// new name is not a name, is a keyword, an element or a number, or is
// declared already; and when the renamed script would compile to other code.
// `compilation` must have its tokens (CompileOptions::record_tokens).
RenamePlan PlanRename(const Compilation& compilation, int line, int column,
                      std::string_view new_name);

// The script with every edit of `plan` made.
std::string ApplyRename(const Compilation& compilation, const RenamePlan& plan,
                        std::string_view new_name);

}  // namespace vigil

#endif  // VIGIL_CORE_CHECK_RENAME_H_
