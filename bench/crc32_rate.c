// Reads the files listed in LIST (NUL-separated paths, as `find -print0` writes them) one
// after the other in a single thread, computing zlib's CRC-32 of each, and prints the bytes
// read and the XOR of the files' CRC-32 values as "bytes crc". It sets the pace that a
// checksum comparison is measured against.
#include <fcntl.h>
#include <inttypes.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>
#include <zlib.h>

#define READ_BLOCK (1u << 17)

static int CrcOfFile(const char* path, unsigned char* buffer, uint64_t* bytes, uLong* crc) {
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  *crc = crc32_z(0L, Z_NULL, 0);
  ssize_t got;
  while ((got = read(fd, buffer, READ_BLOCK)) > 0) {
    *crc = crc32_z(*crc, buffer, (z_size_t)got);
    *bytes += (uint64_t)got;
  }
  close(fd);
  return got < 0 ? -1 : 0;
}

int main(int argc, char** argv) {
  FILE* list = argc == 2 ? fopen(argv[1], "r") : NULL;
  if (!list) {
    fprintf(stderr, "usage: crc32_rate LIST (a readable file of NUL-separated paths)\n");
    return 2;
  }
  unsigned char* buffer = malloc(READ_BLOCK);
  char* path = NULL;
  size_t capacity = 0;
  uint64_t bytes = 0;
  uLong combined = 0;
  int status = buffer ? 0 : 1;
  while (buffer && getdelim(&path, &capacity, '\0', list) > 0) {
    uLong crc;
    if (CrcOfFile(path, buffer, &bytes, &crc) != 0) {
      fprintf(stderr, "crc32_rate: cannot read %s\n", path);
      status = 1;
      continue;
    }
    combined ^= crc;
  }
  printf("%" PRIu64 " %08lx\n", bytes, (unsigned long)combined);
  free(path);
  free(buffer);
  fclose(list);
  return status;
}
