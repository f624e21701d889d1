// Makes the benchmark's file trees, reproducibly: the same arguments always give the same
// names, sizes and contents.
//
//   gen_tree tree DIR FILES FOLDERS DEPTH MIN_BYTES MAX_BYTES SEED
//       creates DIR with FOLDERS folders at most DEPTH levels below it and FILES files of
//       MIN_BYTES to MAX_BYTES of pseudo-random content; prints "files folders bytes".
//   gen_tree orphans DIR COUNT SEED
//       adds COUNT files to an existing tree, about nine in ten beside the files already
//       there and the rest in new folders, none of them named like anything the tree mode
//       makes; prints "files folders bytes" of what it added.
//   gen_tree flip FILE
//       complements the first byte of FILE, keeping its size and modified time.
#define _GNU_SOURCE
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <inttypes.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#define WRITE_CHUNK (1u << 20)

static const char* const kExtensions[] = {"txt", "jpg", "dat", "c", "h", "log", "xml", "bin"};

typedef struct {
  char** paths;
  int* depths;
  size_t count;
  size_t capacity;
} FolderSet;

static uint64_t Mix(uint64_t x) {  // splitmix64
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

static uint64_t Next(uint64_t* state) {
  *state += 0x9E3779B97F4A7C15ull;
  return Mix(*state);
}

static uint64_t Below(uint64_t* state, uint64_t n) {
  return n ? Next(state) % n : 0;
}

static void Die(const char* what, const char* path) {
  fprintf(stderr, "gen_tree: %s %s: %s\n", what, path, strerror(errno));
  exit(1);
}

static void* Grow(void* block, size_t bytes) {
  void* grown = realloc(block, bytes);
  if (!grown) Die("out of memory for", "folder list");
  return grown;
}

static void AddFolder(FolderSet* set, const char* path, int depth) {
  if (set->count == set->capacity) {
    set->capacity = set->capacity ? set->capacity * 2 : 256;
    set->paths = Grow(set->paths, set->capacity * sizeof *set->paths);
    set->depths = Grow(set->depths, set->capacity * sizeof *set->depths);
  }
  set->paths[set->count] = strdup(path);
  set->depths[set->count] = depth;
  set->count++;
}

static void FreeFolders(FolderSet* set) {
  for (size_t i = 0; i < set->count; i++) free(set->paths[i]);
  free(set->paths);
  free(set->depths);
}

static char* JoinPath(const char* folder, const char* name) {
  char* path;
  if (asprintf(&path, "%s/%s", folder, name) < 0) Die("out of memory for", name);
  return path;
}

static void MakeFolder(const char* path) {
  if (mkdir(path, 0755) != 0) Die("cannot create folder", path);
}

// Content depends only on the file's own seed, so any one file can be made again alone.
static void WriteFile(const char* path, uint64_t bytes, uint64_t seed, unsigned char* buffer) {
  int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) Die("cannot create file", path);
  uint64_t state = seed;
  while (bytes > 0) {
    size_t chunk = bytes < WRITE_CHUNK ? (size_t)bytes : WRITE_CHUNK;
    for (size_t i = 0; i < chunk; i += 8) {
      uint64_t word = Next(&state);
      memcpy(buffer + i, &word, chunk - i < 8 ? chunk - i : 8);
    }
    if (write(fd, buffer, chunk) != (ssize_t)chunk) Die("cannot write", path);
    bytes -= chunk;
  }
  if (close(fd) != 0) Die("cannot close", path);
}

// Folder i hangs below a random earlier folder that still has room for a level below it.
static void MakeFolders(FolderSet* set, const char* root, long folders, int depth, uint64_t* rng) {
  MakeFolder(root);
  AddFolder(set, root, 0);
  size_t* open = Grow(NULL, (size_t)(folders + 1) * sizeof *open);
  size_t openCount = 0;
  if (depth > 0) open[openCount++] = 0;
  for (long i = 0; i < folders && openCount > 0; i++) {
    size_t parent = open[Below(rng, openCount)];
    char name[32];
    snprintf(name, sizeof name, "dir%05ld", i);
    char* path = JoinPath(set->paths[parent], name);
    MakeFolder(path);
    AddFolder(set, path, set->depths[parent] + 1);
    if (set->depths[parent] + 1 < depth) open[openCount++] = set->count - 1;
    free(path);
  }
  free(open);
}

static uint64_t MakeFiles(const FolderSet* set, long files, uint64_t minBytes, uint64_t maxBytes,
                          uint64_t seed, uint64_t* rng) {
  unsigned char* buffer = Grow(NULL, WRITE_CHUNK);
  uint64_t total = 0;
  for (long i = 0; i < files; i++) {
    size_t folder = Below(rng, set->count);
    uint64_t bytes = minBytes + Below(rng, maxBytes - minBytes + 1);
    const char* ext = kExtensions[Below(rng, sizeof kExtensions / sizeof *kExtensions)];
    char name[48];
    snprintf(name, sizeof name, "f%07ld.%s", i, ext);
    char* path = JoinPath(set->paths[folder], name);
    WriteFile(path, bytes, Mix(seed ^ Mix((uint64_t)i + 1)), buffer);
    free(path);
    total += bytes;
  }
  free(buffer);
  return total;
}

static int MakeTree(char** argv) {
  const char* root = argv[0];
  long files = atol(argv[1]), folders = atol(argv[2]);
  int depth = atoi(argv[3]);
  uint64_t minBytes = strtoull(argv[4], NULL, 10), maxBytes = strtoull(argv[5], NULL, 10);
  uint64_t seed = strtoull(argv[6], NULL, 10);
  if (files < 0 || folders < 0 || depth < 0 || maxBytes < minBytes) {
    fprintf(stderr, "gen_tree: bad tree arguments\n");
    return 2;
  }
  uint64_t rng = Mix(seed);
  FolderSet set = {0};
  MakeFolders(&set, root, folders, depth, &rng);
  uint64_t total = MakeFiles(&set, files, minBytes, maxBytes, seed, &rng);
  printf("%ld %zu %" PRIu64 "\n", files, set.count - 1, total);
  FreeFolders(&set);
  return 0;
}

static int ComparePaths(const void* a, const void* b) {
  return strcmp(*(char* const*)a, *(char* const*)b);
}

static void CollectFolders(FolderSet* set, const char* folder, int depth) {
  AddFolder(set, folder, depth);
  DIR* dir = opendir(folder);
  if (!dir) Die("cannot list", folder);
  struct dirent* entry;
  while ((entry = readdir(dir)) != NULL) {
    if (entry->d_name[0] == '.') continue;
    char* path = JoinPath(folder, entry->d_name);
    struct stat info;
    int isFolder = entry->d_type == DT_DIR || (entry->d_type == DT_UNKNOWN &&
                                               lstat(path, &info) == 0 && S_ISDIR(info.st_mode));
    if (!isFolder) {
      free(path);
      continue;
    }
    CollectFolders(set, path, depth + 1);
    free(path);
  }
  closedir(dir);
}

// The listing order of a folder differs between copies of a tree; sorting makes the
// placement of orphans the same for every copy.
static int AddOrphans(char** argv) {
  const char* root = argv[0];
  long count = atol(argv[1]);
  uint64_t seed = strtoull(argv[2], NULL, 10);
  FolderSet set = {0};
  CollectFolders(&set, root, 0);
  qsort(set.paths, set.count, sizeof *set.paths, ComparePaths);
  uint64_t rng = Mix(seed ^ 0x6F7270ull);
  long newFolders = count >= 10 ? count / 100 + 1 : 0;
  size_t existing = set.count;
  for (long i = 0; i < newFolders; i++) {
    char name[32];
    snprintf(name, sizeof name, "gone%05ld", i);
    char* path = JoinPath(set.paths[Below(&rng, existing)], name);
    MakeFolder(path);
    AddFolder(&set, path, 0);
    free(path);
  }
  unsigned char* buffer = Grow(NULL, WRITE_CHUNK);
  uint64_t total = 0;
  long inNew = newFolders ? count / 10 : 0;
  for (long i = 0; i < count; i++) {
    size_t folder = i < inNew ? existing + (size_t)(i % newFolders) : Below(&rng, existing);
    uint64_t bytes = Below(&rng, 4097);
    char name[32];
    snprintf(name, sizeof name, "orphan%06ld.tmp", i);
    char* path = JoinPath(set.paths[folder], name);
    WriteFile(path, bytes, Mix(seed ^ Mix((uint64_t)i + 7)), buffer);
    free(path);
    total += bytes;
  }
  free(buffer);
  printf("%ld %ld %" PRIu64 "\n", count, newFolders, total);
  FreeFolders(&set);
  return 0;
}

static int FlipFirstByte(const char* path) {
  struct stat before;
  int fd = open(path, O_RDWR | O_CLOEXEC);
  if (fd < 0 || fstat(fd, &before) != 0) Die("cannot open", path);
  unsigned char byte;
  if (pread(fd, &byte, 1, 0) != 1) Die("cannot read a byte of", path);
  byte = (unsigned char)~byte;
  if (pwrite(fd, &byte, 1, 0) != 1) Die("cannot write", path);
  struct timespec times[2] = {before.st_atim, before.st_mtim};
  if (futimens(fd, times) != 0) Die("cannot restore the time of", path);
  if (close(fd) != 0) Die("cannot close", path);
  return 0;
}

int main(int argc, char** argv) {
  if (argc == 9 && strcmp(argv[1], "tree") == 0) return MakeTree(argv + 2);
  if (argc == 5 && strcmp(argv[1], "orphans") == 0) return AddOrphans(argv + 2);
  if (argc == 3 && strcmp(argv[1], "flip") == 0) return FlipFirstByte(argv[2]);
  fprintf(stderr,
          "usage: gen_tree tree DIR FILES FOLDERS DEPTH MIN_BYTES MAX_BYTES SEED\n"
          "       gen_tree orphans DIR COUNT SEED\n"
          "       gen_tree flip FILE\n");
  return 2;
}
