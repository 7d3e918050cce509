// JSON-RPC messages framed as the language server protocol frames them: a
// header block ("Content-Length: N", CR LF after each header, an empty line)
// and N bytes of JSON.
#ifndef VIGIL_LSP_TRANSPORT_H_
#define VIGIL_LSP_TRANSPORT_H_

#include <cstddef>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>

namespace vigil::lsp {

// The largest message body the server reads; a longer one is skipped.
inline constexpr size_t kMaxMessageBytes = size_t{64} << 20;

struct Frame {
  enum class Status { kMessage, kBadHeader, kTooLarge, kEnd };
  Status status = Status::kEnd;
  std::string body;   // the message, when kMessage
  std::string error;  // why the message was refused, when kBadHeader or kTooLarge
};

// Reads the next message. A header block without a usable Content-Length
// gives kBadHeader; bytes that are no header (the body of a refused message)
// are skipped up to the next "Content-Length:". A body longer than
// `max_body` is read past in pieces and gives kTooLarge; a body is stored
// as its bytes arrive, never allocated up front from the declared length.
// The end of the input (also inside a message) gives kEnd.
Frame ReadFrame(std::istream& in, size_t max_body = kMaxMessageBytes);

// Writes `body` with its header and flushes.
void WriteFrame(std::ostream& out, std::string_view body);

}  // namespace vigil::lsp

#endif  // VIGIL_LSP_TRANSPORT_H_
