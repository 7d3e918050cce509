// Where a report (such as vigil test's JUnit file) is written: through a
// symbolic link to the file it names, never onto a device, a pipe or a
// directory, so that writing it beside its name and renaming it into place
// replaces a regular file and nothing else.
#ifndef VIGIL_CLI_PLATFORM_REPORT_TARGET_H_
#define VIGIL_CLI_PLATFORM_REPORT_TARGET_H_

#include <optional>
#include <string>

namespace vigil {

// The path to write `path`'s report to: `path` itself, or the file its
// symbolic links lead to. nullopt, with `error` saying why ("it is a named
// pipe, not a file"), when that exists and is not a regular file.
std::optional<std::string> ReportTarget(const std::string& path, std::string* error);

}  // namespace vigil

#endif  // VIGIL_CLI_PLATFORM_REPORT_TARGET_H_
