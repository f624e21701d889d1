#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "app/standard_streams.h"

namespace brisvel {

void OpenClosedStandardStreams() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // open() takes the lowest free descriptor, which is this one; one that lands higher
    // means the descriptor is taken after all, and goes again.
    const int opened = open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    if (opened > STDERR_FILENO) close(opened);
  }
}

}  // namespace brisvel
