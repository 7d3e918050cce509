#include "cli/platform/report_target.h"

#include <filesystem>
#include <system_error>

namespace vigil {
namespace {

namespace fs = std::filesystem;

// Links followed at most, as the system's own limit on a loop of links.
constexpr int kMaxLinks = 40;

std::string KindText(fs::file_type type) {
  switch (type) {
    case fs::file_type::directory:
      return "a directory";
    case fs::file_type::fifo:
      return "a named pipe";
    case fs::file_type::character:
    case fs::file_type::block:
      return "a device";
    case fs::file_type::socket:
      return "a socket";
    default:
      return "not a regular file";
  }
}

}  // namespace

std::optional<std::string> ReportTarget(const std::string& path, std::string* error) {
  fs::path target(path);
  for (int links = 0;; ++links) {
    std::error_code code;
    fs::file_status status = fs::symlink_status(target, code);
    if (code || status.type() == fs::file_type::not_found) return target.string();
    if (status.type() == fs::file_type::regular) return target.string();
    if (status.type() != fs::file_type::symlink) {
      *error = "it is " + KindText(status.type()) + ", not a file (- writes to standard output)";
      return std::nullopt;
    }
    if (links == kMaxLinks) {
      *error = "too many levels of symbolic links";
      return std::nullopt;
    }
    fs::path next = fs::read_symlink(target, code);
    if (code) {
      *error = code.message();
      return std::nullopt;
    }
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
}

}  // namespace vigil
