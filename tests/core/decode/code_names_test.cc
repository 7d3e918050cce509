#include "core/decode/code_names.h"

#include <gtest/gtest.h>

namespace vigil {
namespace {

// An event header's code back to the name an EVENT line gives it, by the kind
// of the header's module (the codes of the language reference's event table).
TEST(EventNameTest, NamesTheCodeForTheModulesKind) {
  struct Case {
    int module;
    int code;
    const char* name;
  } cases[] = {
      {100, 0x02, "EXINPUT2"},     {100, 0x0A, "EXINPUT1ON"}, {100, 0x19, "EXINPUT8OFF"},
      {3, 0x09, "DOORAJAR"},       {0, 0x15, "INPUT5OFF"},    {0, 0xA1, "USEREVENT9"},
      {73, 0x01, "STATUSCHANGED"}, {101, 0x08, "ALERT"},      {100, 0x09, "event 9"},
  };
  for (const Case& c : cases) EXPECT_EQ(EventName(c.module, c.code), c.name) << c.module;
}

}  // namespace
}  // namespace vigil
