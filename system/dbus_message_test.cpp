#include "system/dbus_message.h"

#include <gtest/gtest.h>

namespace brisvel {
namespace {

// A method return to the call with serial 2: the fixed head, one header field (the reply
// serial, a 'u') and no body.
std::string ReturnToSerial2() {
  return std::string("l\x02\x00\x01", 4) + std::string("\0\0\0\0", 4) +
         std::string("\x07\0\0\0", 4) + std::string("\x08\0\0\0", 4) +
         std::string("\x05\x01u\0\x02\0\0\0", 8);
}

TEST(DbusHead, ReadsTheAnswerToACall) {
  bool incomplete = true;
  const std::optional<DbusHead> head = ReadDbusHead(ReturnToSerial2() + "next", &incomplete);
  ASSERT_TRUE(head);
  EXPECT_EQ(head->type, kDbusMethodReturn);
  EXPECT_EQ(head->replySerial, 2u);
  EXPECT_EQ(head->length, 24u);
}

// What a peer sends is read within its bounds: a part of a message waits for the rest, and a
// message that claims too much or whose fields run past their end is refused.
TEST(DbusHead, NeverReadsBeyondWhatArrivedOrWhatItClaims) {
  const std::string whole = ReturnToSerial2();
  bool incomplete = false;
  for (size_t size : {0u, 15u, 23u}) {
    EXPECT_FALSE(ReadDbusHead(whole.substr(0, size), &incomplete));
    EXPECT_TRUE(incomplete) << size;
  }
  std::string huge = whole;
  huge[6] = '\x20';  // a body of 2 MiB
  EXPECT_FALSE(ReadDbusHead(huge, &incomplete));
  EXPECT_FALSE(incomplete);
  std::string overrun = whole;
  overrun[12] = '\x06';  // the fields end inside the reply serial
  EXPECT_FALSE(ReadDbusHead(overrun, &incomplete));
  EXPECT_FALSE(incomplete);
  std::string stranger = whole;
  stranger[0] = 'x';  // neither byte order
  EXPECT_FALSE(ReadDbusHead(stranger, &incomplete));
  EXPECT_FALSE(incomplete);
}

}  // namespace
}  // namespace brisvel
