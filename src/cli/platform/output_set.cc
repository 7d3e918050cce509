// What the platforms' OutputSet has in common.

#include "cli/platform/file_io.h"

namespace vigil {

bool OutputSet::Stage(const std::string& path, const std::string& contents, std::string* error) {
  bool given = false;
  return Stage(
      path,
      [&]() {
        if (given) return std::string_view();
        given = true;
        return std::string_view(contents);
      },
      error);
}

}  // namespace vigil
