#include "system/dbus_message.h"

namespace brisvel {
namespace {

enum HeaderField : uint8_t {
  kPath = 1,
  kInterface = 2,
  kMember = 3,
  kReplySerial = 5,
  kDestination = 6,
  kSignature = 8,
};

// Marshals values little-endian, each aligned to its size from the start of the buffer (the
// body starts at a multiple of 8, so its alignment is the same as the message's).
class Writer {
 public:
  void Align(size_t to) {
    while (bytes_.size() % to != 0) bytes_ += '\0';
  }
  void Byte(uint8_t value) { bytes_ += static_cast<char>(value); }
  void Uint32(uint32_t value) {
    Align(4);
    for (int shift = 0; shift < 32; shift += 8) Byte(static_cast<uint8_t>(value >> shift));
  }
  void String(std::string_view text) {
    Uint32(static_cast<uint32_t>(text.size()));
    bytes_ += text;
    bytes_ += '\0';
  }
  void Signature(std::string_view text) {
    Byte(static_cast<uint8_t>(text.size()));
    bytes_ += text;
    bytes_ += '\0';
  }
  // Writes an array whose elements `write` adds, aligned to `elementAlignment`.
  template <typename Write>
  void Array(size_t elementAlignment, Write write) {
    Align(4);
    const size_t lengthAt = bytes_.size();
    Uint32(0);
    Align(elementAlignment);
    const size_t start = bytes_.size();
    write();
    const uint32_t length = static_cast<uint32_t>(bytes_.size() - start);
    for (int i = 0; i < 4; ++i) bytes_[lengthAt + i] = static_cast<char>(length >> (8 * i));
  }
  std::string& Bytes() { return bytes_; }

 private:
  std::string bytes_;
};

std::string SignatureOf(const std::vector<DbusArgument>& arguments) {
  std::string signature;
  for (const DbusArgument& argument : arguments) {
    if (argument.type == 'a') {
      signature += "as";
    } else if (argument.type == 'd') {
      signature += "a{sv}";
    } else {
      signature += argument.type;
    }
  }
  return signature;
}

void WriteArgument(Writer& out, const DbusArgument& argument) {
  switch (argument.type) {
    case 'u':
    case 'i':
      out.Uint32(argument.number);
      break;
    case 'a':
      out.Array(4, [&] {
        for (const auto& entry : argument.entries) out.String(entry.first);
      });
      break;
    case 'd':
      out.Array(8, [&] {
        for (const auto& [key, value] : argument.entries) {
          out.Align(8);
          out.String(key);
          out.Signature("s");
          out.String(value);
        }
      });
      break;
    default:
      out.String(argument.text);
      break;
  }
}

void WriteField(Writer& out, HeaderField code, char type, std::string_view value) {
  out.Align(8);
  out.Byte(code);
  out.Signature(std::string_view(&type, 1));
  type == 'g' ? out.Signature(value) : out.String(value);
}

// Reads little- or big-endian numbers at offsets of a message, within its bounds.
class Reader {
 public:
  Reader(std::string_view bytes, bool bigEndian) : bytes_(bytes), bigEndian_(bigEndian) {}
  std::optional<uint32_t> Uint32(size_t at) const {
    if (at + 4 > bytes_.size()) return std::nullopt;
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
      const uint32_t byte = static_cast<uint8_t>(bytes_[at + i]);
      value |= byte << (bigEndian_ ? 8 * (3 - i) : 8 * i);
    }
    return value;
  }
  std::optional<uint8_t> Byte(size_t at) const {
    if (at >= bytes_.size()) return std::nullopt;
    return static_cast<uint8_t>(bytes_[at]);
  }

 private:
  std::string_view bytes_;
  bool bigEndian_;
};

size_t Aligned(size_t at, size_t to) {
  return (at + to - 1) / to * to;
}

// The reply serial among the header fields in [start, end); 0 when there is none, nullopt
// when a field does not fit.
std::optional<uint32_t> FindReplySerial(const Reader& in, size_t start, size_t end) {
  size_t at = start;
  while (at < end) {
    at = Aligned(at, 8);
    const std::optional<uint8_t> code = in.Byte(at);
    const std::optional<uint8_t> signatureLength = in.Byte(at + 1);
    if (!code || !signatureLength || *signatureLength != 1) return std::nullopt;
    const std::optional<uint8_t> type = in.Byte(at + 2);
    if (!type) return std::nullopt;
    at += 4;  // code, length, the one type letter, its terminating zero
    std::optional<uint32_t> value;
    if (*type == 'u') {
      at = Aligned(at, 4);
      value = in.Uint32(at);
      if (!value) return std::nullopt;
      if (*code == kReplySerial) return *value;
      at += 4;
    } else if (*type == 's' || *type == 'o') {
      at = Aligned(at, 4);
      value = in.Uint32(at);
      if (!value || *value > end) return std::nullopt;
      at += 4 + *value + 1;
    } else if (*type == 'g') {
      const std::optional<uint8_t> length = in.Byte(at);
      if (!length) return std::nullopt;
      at += 1 + *length + 1;
    } else {
      return std::nullopt;  // no other type is used in a message's head
    }
  }
  if (at != end) return std::nullopt;  // the last field ran past the end of the fields
  return 0;
}

}  // namespace

std::string MethodCallBytes(const DbusCall& call, uint32_t serial) {
  Writer body;
  for (const DbusArgument& argument : call.arguments) WriteArgument(body, argument);
  const std::string signature = SignatureOf(call.arguments);

  Writer out;
  out.Byte('l');
  out.Byte(1);  // a method call
  out.Byte(0);  // flags: a reply is wanted
  out.Byte(1);  // protocol version
  out.Uint32(static_cast<uint32_t>(body.Bytes().size()));
  out.Uint32(serial);
  out.Array(8, [&] {
    WriteField(out, kPath, 'o', call.path);
    if (!call.interface.empty()) WriteField(out, kInterface, 's', call.interface);
    WriteField(out, kMember, 's', call.member);
    WriteField(out, kDestination, 's', call.destination);
    if (!signature.empty()) WriteField(out, kSignature, 'g', signature);
  });
  out.Align(8);
  return out.Bytes() + body.Bytes();
}

std::optional<DbusHead> ReadDbusHead(std::string_view bytes, bool* incomplete) {
  *incomplete = bytes.size() < 16;
  if (*incomplete) return std::nullopt;
  if (bytes[0] != 'l' && bytes[0] != 'B') return std::nullopt;
  const Reader in(bytes, bytes[0] == 'B');
  const uint32_t bodyLength = *in.Uint32(4);
  const uint32_t fieldsLength = *in.Uint32(12);
  if (bodyLength > kDbusLongestMessage || fieldsLength > kDbusLongestMessage) return std::nullopt;
  const size_t fieldsEnd = 16 + size_t{fieldsLength};
  const size_t length = Aligned(fieldsEnd, 8) + bodyLength;
  if (length > kDbusLongestMessage) return std::nullopt;
  if (bytes.size() < length) {
    *incomplete = true;
    return std::nullopt;
  }
  const std::optional<uint32_t> replySerial =
      FindReplySerial(Reader(bytes.substr(0, fieldsEnd), bytes[0] == 'B'), 16, fieldsEnd);
  if (!replySerial) return std::nullopt;
  return DbusHead{static_cast<uint8_t>(bytes[1]), *replySerial, length};
}

}  // namespace brisvel
