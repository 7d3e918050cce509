#include "lsp/transport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace vigil::lsp {
namespace {

TEST(TransportTest, WritesTheLengthInBytes) {
  std::ostringstream out;
  WriteFrame(out, "{\"a\":\"\xC3\xA9\"}");
  EXPECT_EQ(out.str(), "Content-Length: 10\r\n\r\n{\"a\":\"\xC3\xA9\"}");
}

TEST(TransportTest, ReadsMessagesOneAfterAnother) {
  std::istringstream in(
      "Content-Length: 2\r\n\r\n{}"
      "content-length:3\r\nContent-Type: application/vscode-jsonrpc; charset=utf-8\r\n\r\n[1]");
  Frame first = ReadFrame(in);
  EXPECT_EQ(first.status, Frame::Status::kMessage);
  EXPECT_EQ(first.body, "{}");
  Frame second = ReadFrame(in);
  EXPECT_EQ(second.status, Frame::Status::kMessage);
  EXPECT_EQ(second.body, "[1]");
  EXPECT_EQ(ReadFrame(in).status, Frame::Status::kEnd);
}

TEST(TransportTest, ABadHeaderIsReportedAndTheNextMessageRead) {
  std::istringstream in(
      "Content-Type: x\r\n\r\n"
      "Content-Length: -4\r\n\r\n"
      "Content-Length: 2\r\n\r\n{}");
  Frame missing = ReadFrame(in);
  EXPECT_EQ(missing.status, Frame::Status::kBadHeader);
  EXPECT_EQ(missing.error, "missing Content-Length header");
  Frame invalid = ReadFrame(in);
  EXPECT_EQ(invalid.status, Frame::Status::kBadHeader);
  EXPECT_EQ(invalid.error, "invalid Content-Length header");
  EXPECT_EQ(ReadFrame(in).body, "{}");
}

TEST(TransportTest, AMessageCutShortEndsTheInput) {
  std::istringstream in("Content-Length: 10\r\n\r\n{}");
  EXPECT_EQ(ReadFrame(in).status, Frame::Status::kEnd);
}

}  // namespace
}  // namespace vigil::lsp
