#include "system/http_url.h"

namespace brisvel {

static uint16_t LeadingPort(const std::string& text) {
  unsigned value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = (value * 10 + static_cast<unsigned>(c - '0')) & 0xFFFF;
  }
  return static_cast<uint16_t>(value);
}

HttpUrl SplitUrl(const std::string& url) {
  HttpUrl parts;
  size_t scheme = url.find("://");
  if (scheme == std::string::npos) return parts;
  size_t afterScheme = scheme + 3;
  size_t hostStart = afterScheme;
  size_t at = url.find('@', afterScheme);
  if (at != std::string::npos) hostStart = at + 1;

  size_t hostEnd = url.find_first_of(":/", hostStart);
  parts.host = url.substr(hostStart, hostEnd - hostStart);
  // Only a ":" that ends the host starts a port; one further on belongs to the path.
  if (hostEnd != std::string::npos && url[hostEnd] == ':') {
    size_t portEnd = url.find('/', hostEnd + 1);
    parts.port = LeadingPort(url.substr(hostEnd + 1, portEnd - hostEnd - 1));
  }
  size_t slash = url.find('/', afterScheme);
  if (slash != std::string::npos) parts.path = url.substr(slash + 1);
  return parts;
}

std::optional<std::string> HttpRequest(const HttpUrl& url) {
  std::string portSuffix = url.port == 80 ? "" : ":" + std::to_string(url.port);
  std::string request = "GET /" + url.path + " HTTP/1.1\r\nAccept: */*\r\nHost: " + url.host +
                        portSuffix + "\r\nConnection: close\r\n\r\n";
  if (request.size() + 1 > url.host.size() + kReceiveBlock) return std::nullopt;
  return request;
}

}  // namespace brisvel
