#include "lsp/transport.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "core/scan/tokenizer.h"

namespace vigil::lsp {
namespace {

constexpr std::string_view kLengthHeader = "content-length:";
// What a header line keeps of its end: enough for any header this server
// reads, so a line of garbage without a line end costs no memory.
constexpr size_t kHeaderTail = 1024;
constexpr size_t kChunk = size_t{64} << 10;

// One header line without its line end (LF or CR LF), or nullopt at the end
// of the input. Bytes before a "Content-Length:" on the same line are the
// rest of a refused message and are dropped; of a long line only its end stays.
std::optional<std::string> ReadHeaderLine(std::istream& in) {
  std::string line;
  bool any = false;
  for (int c = in.get(); c != std::char_traits<char>::eof(); c = in.get()) {
    any = true;
    if (c == '\n') break;
    line.push_back(static_cast<char>(c));
    if (line.size() > 2 * kHeaderTail) line.erase(0, line.size() - kHeaderTail);
  }
  if (!any) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  std::string upper = ToUpper(line);
  size_t header = upper.rfind("CONTENT-LENGTH:");
  if (header != std::string::npos) line.erase(0, header);
  return line;
}

std::optional<size_t> ParseLength(std::string_view value) {
  value = TrimBlanks(value);
  size_t length = 0;
  auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), length);
  if (error != std::errc() || end != value.data() + value.size()) return std::nullopt;
  return length;
}

// Reads `length` bytes into `body` (nullptr: reads past them) in pieces;
// false when the input ends first.
bool ReadBody(std::istream& in, size_t length, std::string* body) {
  char buffer[kChunk];
  while (length > 0) {
    size_t want = std::min(length, kChunk);
    in.read(buffer, static_cast<std::streamsize>(want));
    size_t got = static_cast<size_t>(in.gcount());
    if (body != nullptr) body->append(buffer, got);
    if (got != want) return false;
    length -= got;
  }
  return true;
}

}  // namespace

Frame ReadFrame(std::istream& in, size_t max_body) {
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
  if (*length > max_body) {
    if (!ReadBody(in, *length, nullptr)) return {};
    return {Frame::Status::kTooLarge, "",
            "message of " + std::to_string(*length) + " bytes skipped: the limit is " +
                std::to_string(max_body) + " bytes"};
  }
  Frame frame{Frame::Status::kMessage, "", ""};
  if (!ReadBody(in, *length, &frame.body)) return {};
  return frame;
}

void WriteFrame(std::ostream& out, std::string_view body) {
  out << "Content-Length: " << body.size() << "\r\n\r\n" << body;
  out.flush();
}

}  // namespace vigil::lsp
