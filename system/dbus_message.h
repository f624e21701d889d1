// The few messages of the D-Bus wire format that a desktop notification needs: method calls
// with string, 32-bit, string-array and string-dictionary arguments, and the head of a
// received message, read with bounds so that a peer cannot make the reader overrun.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace brisvel {

// One argument of a method call.
struct DbusArgument {
  char type = 's';  // 's' string, 'u' unsigned 32, 'i' signed 32, 'a' strings ("as"),
                    // 'd' dictionary of string variants ("a{sv}" with "s" values)
  std::string text;
  uint32_t number = 0;
  std::vector<std::pair<std::string, std::string>> entries;  // 'a': first only; 'd': both

  static DbusArgument String(std::string text) { return {'s', std::move(text), 0, {}}; }
  static DbusArgument Unsigned(uint32_t value) { return {'u', "", value, {}}; }
  static DbusArgument Signed(int32_t value) { return {'i', "", static_cast<uint32_t>(value), {}}; }
};

struct DbusCall {
  std::string destination;
  std::string path;
  std::string interface;
  std::string member;
  std::vector<DbusArgument> arguments;
};

// The bytes of `call` as a method call with serial `serial`, little-endian.
std::string MethodCallBytes(const DbusCall& call, uint32_t serial);

inline constexpr uint8_t kDbusMethodReturn = 2;
inline constexpr uint8_t kDbusError = 3;

// What a reader needs of a received message.
struct DbusHead {
  uint8_t type = 0;
  uint32_t replySerial = 0;  // 0 when the message answers no call
  size_t length = 0;         // of the whole message
};

// Messages longer than this are refused rather than read: a notification's answer is tiny.
inline constexpr size_t kDbusLongestMessage = 1 << 20;

// The head of the message at the start of `bytes`. nullopt while more bytes are needed
// (`*incomplete` set), or when the bytes are no message or it would be longer than
// kDbusLongestMessage (`*incomplete` cleared).
std::optional<DbusHead> ReadDbusHead(std::string_view bytes, bool* incomplete);

}  // namespace brisvel
