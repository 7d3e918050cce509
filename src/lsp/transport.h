// JSON-RPC messages framed as the language server protocol frames them: a
// header block ("Content-Length: N", CR LF after each header, an empty line)
// and N bytes of JSON.
#ifndef VIGIL_LSP_TRANSPORT_H_
#define VIGIL_LSP_TRANSPORT_H_

#include <istream>
#include <ostream>
#include <string>
#include <string_view>

namespace vigil::lsp {

struct Frame {
  enum class Status { kMessage, kBadHeader, kEnd };
  Status status = Status::kEnd;
  std::string body;   // the message, when kMessage
  std::string error;  // why the header was refused, when kBadHeader
};

// Reads the next message. A header block without a usable Content-Length
// gives kBadHeader and the reader stands at the next header block; the end of
// the input (also inside a message) gives kEnd.
Frame ReadFrame(std::istream& in);

// Writes `body` with its header and flushes.
void WriteFrame(std::ostream& out, std::string_view body);

}  // namespace vigil::lsp

#endif  // VIGIL_LSP_TRANSPORT_H_
