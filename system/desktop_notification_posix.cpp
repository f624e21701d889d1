#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "system/dbus_message.h"
#include "system/desktop_notification.h"

namespace brisvel {
namespace {

using Steady = std::chrono::steady_clock;

// A notification service answers within milliseconds; one that hangs must not keep a
// finished run from ending.
constexpr std::chrono::seconds kPatience{3};

struct SocketName {
  bool abstract = false;
  std::string name;
};

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A value of a bus address, with its "%XX" escapes undone.
std::string Unescaped(std::string_view value) {
  std::string text;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '%' && i + 2 < value.size() && HexValue(value[i + 1]) >= 0 &&
        HexValue(value[i + 2]) >= 0) {
      text += static_cast<char>(HexValue(value[i + 1]) * 16 + HexValue(value[i + 2]));
      i += 2;
    } else {
      text += value[i];
    }
  }
  return text;
}

// The sockets that a bus address ("unix:path=...;unix:abstract=...,guid=...") names, in
// its order; other transports are skipped.
std::vector<SocketName> SocketsOf(std::string_view address) {
  std::vector<SocketName> sockets;
  while (!address.empty()) {
    const size_t end = address.find(';');
    std::string_view entry = address.substr(0, end);
    address = end == std::string_view::npos ? std::string_view() : address.substr(end + 1);
    if (!entry.starts_with("unix:")) continue;
    entry.remove_prefix(5);
    while (!entry.empty()) {
      const size_t comma = entry.find(',');
      const std::string_view pair = entry.substr(0, comma);
      entry = comma == std::string_view::npos ? std::string_view() : entry.substr(comma + 1);
      if (pair.starts_with("path=")) sockets.push_back({false, Unescaped(pair.substr(5))});
      if (pair.starts_with("abstract=")) sockets.push_back({true, Unescaped(pair.substr(9))});
    }
  }
  return sockets;
}

// The session bus that this process belongs to: the address in the environment, else the
// socket that a systemd user session keeps in the runtime folder.
std::vector<SocketName> SessionBus() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address != nullptr && address[0] != '\0') return SocketsOf(address);
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime == nullptr || runtime[0] != '/') return {};
  return {{false, std::string(runtime) + "/bus"}};
}

class BusConnection {
 public:
  BusConnection() : deadline_(Steady::now() + kPatience) {}
  ~BusConnection() {
    if (fd_ >= 0) close(fd_);
  }
  BusConnection(const BusConnection&) = delete;
  BusConnection& operator=(const BusConnection&) = delete;

  bool Connect(const SocketName& socketName) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const size_t room = sizeof(address.sun_path) - 1;  // the abstract name's leading zero
    if (socketName.name.empty() || socketName.name.size() > room) return false;
    std::memcpy(address.sun_path + (socketName.abstract ? 1 : 0), socketName.name.data(),
                socketName.name.size());
    const socklen_t length = static_cast<socklen_t>(
        offsetof(sockaddr_un, sun_path) + socketName.name.size() + (socketName.abstract ? 1 : 0));
    fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return false;
    if (connect(fd_, reinterpret_cast<const sockaddr*>(&address),
                socketName.abstract ? length : sizeof(address)) == 0) {
      return true;
    }
    close(fd_);
    fd_ = -1;
    return false;
  }

  bool Send(std::string_view bytes) {
    while (!bytes.empty()) {
      if (!WaitFor(POLLOUT)) return false;
      const ssize_t sent = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (sent < 0 && errno == EINTR) continue;
      if (sent <= 0) return false;
      bytes.remove_prefix(static_cast<size_t>(sent));
    }
    return true;
  }

  // Appends what has arrived to `received`; false at the end of the stream or the deadline.
  bool Receive(std::string& received) {
    for (;;) {
      if (!WaitFor(POLLIN)) return false;
      char block[4096];
      const ssize_t count = recv(fd_, block, sizeof(block), 0);
      if (count < 0 && errno == EINTR) continue;
      if (count <= 0) return false;
      received.append(block, static_cast<size_t>(count));
      return true;
    }
  }

 private:
  bool WaitFor(short events) {
    for (;;) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Steady::now());
      if (left.count() <= 0) return false;
      pollfd entry = {fd_, events, 0};
      const int ready = poll(&entry, 1, static_cast<int>(left.count()));
      if (ready > 0) return true;
      if (ready == 0 || errno != EINTR) return false;
    }
  }

  int fd_ = -1;
  Steady::time_point deadline_;
};

std::string Hex(std::string_view text) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : text) {
    hex += kDigits[c >> 4];
    hex += kDigits[c & 15];
  }
  return hex;
}

// The bus knows the process by its user id, which the socket carries.
bool Authenticate(BusConnection& bus) {
  const std::string uid = std::to_string(getuid());
  if (!bus.Send(std::string(1, '\0') + "AUTH EXTERNAL " + Hex(uid) + "\r\n")) return false;
  std::string answer;
  while (answer.find("\r\n") == std::string::npos) {
    if (answer.size() > 512 || !bus.Receive(answer)) return false;
  }
  return answer.starts_with("OK ");
}

DbusCall NotifyCall(const std::string& summary, const std::string& body) {
  return {
      "org.freedesktop.Notifications",
      "/org/freedesktop/Notifications",
      "org.freedesktop.Notifications",
      "Notify",
      {DbusArgument::String("Brisvel"), DbusArgument::Unsigned(0), DbusArgument::String("brisvel"),
       DbusArgument::String(summary), DbusArgument::String(body), DbusArgument{'a', "", 0, {}},
       DbusArgument{'d', "", 0, {{"desktop-entry", "brisvel"}}}, DbusArgument::Signed(-1)}};
}

// Waits for the answer to the call with serial `serial`; true when it is no error.
bool AnswerIsReturn(BusConnection& bus, uint32_t serial) {
  std::string received;
  for (;;) {
    bool incomplete = false;
    const std::optional<DbusHead> head = ReadDbusHead(received, &incomplete);
    if (head) {
      if (head->replySerial == serial) return head->type == kDbusMethodReturn;
      received.erase(0, head->length);  // the bus's greeting, signals
    } else if (!incomplete || !bus.Receive(received)) {
      return false;
    }
  }
}

bool Notify(const SocketName& socket, const std::string& summary, const std::string& body) {
  BusConnection bus;
  if (!bus.Connect(socket) || !Authenticate(bus)) return false;
  const DbusCall hello{
      "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "Hello", {}};
  constexpr uint32_t kNotifySerial = 2;
  return bus.Send("BEGIN\r\n" + MethodCallBytes(hello, 1) +
                  MethodCallBytes(NotifyCall(summary, body), kNotifySerial)) &&
         AnswerIsReturn(bus, kNotifySerial);
}

}  // namespace

bool ShowDesktopNotification(const std::string& summary, const std::string& body) {
  for (const SocketName& socket : SessionBus()) {
    if (Notify(socket, summary, body)) return true;
  }
  return false;
}

void FinishDesktopNotifications() {}

}  // namespace brisvel
