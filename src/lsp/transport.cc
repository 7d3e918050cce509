#include "lsp/transport.h"

#include <charconv>
#include <optional>

#include "core/scan/tokenizer.h"

namespace vigil::lsp {
namespace {

constexpr std::string_view kLengthHeader = "content-length:";
constexpr size_t kMaxBody = size_t{1} << 30;

// One header line without its line end (LF or CR LF), or nullopt at the end
// of the input.
std::optional<std::string> ReadHeaderLine(std::istream& in) {
  std::string line;
  if (!std::getline(in, line)) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

std::optional<size_t> ParseLength(std::string_view value) {
  value = TrimBlanks(value);
  size_t length = 0;
  auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), length);
  if (error != std::errc() || end != value.data() + value.size() || length > kMaxBody) {
    return std::nullopt;
  }
  return length;
}

}  // namespace

Frame ReadFrame(std::istream& in) {
  std::optional<size_t> length;
  bool saw_length = false;
  bool any_header = false;
  while (true) {
    std::optional<std::string> line = ReadHeaderLine(in);
    if (!line) return {};
    if (line->empty()) {
      if (!any_header) continue;  // blank lines between messages
      break;
    }
    any_header = true;
    if (StartsWithIgnoreCase(*line, kLengthHeader)) {
      saw_length = true;
      length = ParseLength(std::string_view(*line).substr(kLengthHeader.size()));
    }
  }
  if (!length) {
    return {Frame::Status::kBadHeader, "",
            saw_length ? "invalid Content-Length header" : "missing Content-Length header"};
  }
  Frame frame{Frame::Status::kMessage, std::string(*length, '\0'), ""};
  in.read(frame.body.data(), static_cast<std::streamsize>(*length));
  if (static_cast<size_t>(in.gcount()) != *length) return {};
  return frame;
}

void WriteFrame(std::ostream& out, std::string_view body) {
  out << "Content-Length: " << body.size() << "\r\n\r\n" << body;
  out.flush();
}

}  // namespace vigil::lsp
