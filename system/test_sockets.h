// Sockets for the tests' loopback servers, through each platform's own calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace brisvel {

using TestSocket = intptr_t;
inline constexpr TestSocket kNoTestSocket = -1;

// A socket listening on 127.0.0.1 at a port the system chose, which goes to `port`;
// kNoTestSocket when none could be made.
TestSocket ListenOnLoopback(int& port);

TestSocket AcceptClient(TestSocket listener);

// True once `socket` has something to read, a connection to accept or has been closed by
// its peer, within `timeoutMs`.
bool WaitReadable(TestSocket socket, int timeoutMs);

// The number of bytes received into `buffer`; 0 at the end of the stream, negative on failure.
int64_t ReceiveSome(TestSocket socket, char* buffer, size_t size);

bool SendAll(TestSocket socket, const std::string& data);

void CloseTestSocket(TestSocket socket);

}  // namespace brisvel
