// A throughput measurement run by hand (built as build/bench/brisvel_checksum_rate):
//   brisvel_checksum_rate [MEGABYTES]
// It writes two equal trees of 0.5 to 2 MiB files (MEGABYTES in total, 1024 by default; or
// BRISVEL_RATE_MB) into a temporary folder, reads them once into the page cache and then
// compares, in bytes of both trees per second, one stream of zlib's crc32 and of OpenSSL's
// MD5 against the pair checksums, and ways of reading for the pair: read() with several block
// sizes against mmap(). Mapping lost on a 2-core machine: mapping and unmapping take the
// process's memory-map lock, so the two sides mostly wait for each other, and a file that
// shrinks while mapped raises SIGBUS.
#include <fcntl.h>
#include <openssl/evp.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "engine/checksum.h"
#include "engine/fs_posix.h"
#include "engine/sidekick.h"

namespace brisvel {
namespace {

using Clock = std::chrono::steady_clock;

// Reads `path` in blocks of `block` bytes and hands each to `consume`.
template <typename Consume>
bool ReadInBlocks(const std::string& path, std::vector<char>& buffer, Consume&& consume) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  ssize_t got;
  while ((got = read(fd, buffer.data(), buffer.size())) > 0) consume(buffer.data(), got);
  close(fd);
  return got == 0;
}

// Maps `path` whole and hands it to `consume` at once (unsafe against shrinking files: only
// here to measure).
template <typename Consume>
bool ReadMapped(const std::string& path, Consume&& consume) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat info;
  if (fd < 0 || fstat(fd, &info) != 0) return false;
  size_t size = static_cast<size_t>(info.st_size);
  void* data = mmap(nullptr, size, PROT_READ, MAP_SHARED | MAP_POPULATE, fd, 0);
  close(fd);
  if (data == MAP_FAILED) return false;
  consume(static_cast<const char*>(data), size);
  munmap(data, size);
  return true;
}

// A temporary folder, removed with everything in it at the end.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "brisvel-rate-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern + "/";
  }
  ~ScratchFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  bool Made() const { return !path_.empty(); }
  std::string operator/(const std::string& name) const { return path_ + name; }
  bool Write(const std::string& name, const std::string& content) const {
    std::ofstream file(path_ + name, std::ios::binary);
    return static_cast<bool>(
        file.write(content.data(), static_cast<std::streamsize>(content.size())));
  }

 private:
  std::string path_;
};

class ChecksumRate {
 public:
  // Writes the two trees, `megabytes` in all.
  bool Prepare(int64_t megabytes) {
    if (!dir_.Made()) return false;
    const int64_t total = megabytes << 20;
    std::mt19937_64 random(7);
    std::string content;
    for (int64_t written = 0; written < total;) {
      size_t size = (512 << 10) + random() % (1536 << 10);
      content.resize(size);
      for (size_t i = 0; i + 8 <= size; i += 8) {
        uint64_t word = random();
        std::copy_n(reinterpret_cast<const char*>(&word), 8, &content[i]);
      }
      std::string name = std::to_string(sources_.size());
      if (!dir_.Write("s" + name, content) || !dir_.Write("d" + name, content)) return false;
      sources_.push_back(dir_ / ("s" + name));
      destinations_.push_back(dir_ / ("d" + name));
      written += 2 * static_cast<int64_t>(size);
      bytes_ += 2 * static_cast<int64_t>(size);
    }
    sync();  // writing back to the disk would share the processors with the measurement
    return OneStream(1 << 17, [](const char*, size_t) {});  // into the page cache
  }

  void Crc32();
  void Md5();

  // False once a way of summing disagreed with another or a file could not be read.
  bool Agreed() const { return agreed_; }

 private:
  void Expect(bool agrees) { agreed_ = agreed_ && agrees; }

  // Runs `pass` three times and prints its best rate in GB/s of both trees, and the bytes it
  // hashed per second of processor time (which other load on the machine disturbs less);
  // returns the rate.
  double Rate(const char* label, const std::function<void()>& pass) {
    double best = 0, bestPerCpu = 0;
    for (int round = 0; round < 3; ++round) {
      auto start = Clock::now();
      double cpuStart = CpuSeconds();
      pass();
      std::chrono::duration<double> seconds = Clock::now() - start;
      double cpu = CpuSeconds() - cpuStart;
      best = std::max(best, static_cast<double>(bytes_) / seconds.count() / 1e9);
      bestPerCpu = std::max(bestPerCpu, static_cast<double>(bytes_) / cpu / 1e9);
    }
    printf("  %-40s %6.2f GB/s  %6.2f GB/cpu-s\n", label, best, bestPerCpu);
    return best;
  }

  static double CpuSeconds() {
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
  }

  template <typename Consume>
  bool OneStream(size_t block, Consume&& consume) {
    std::vector<char> buffer(block);
    for (size_t i = 0; i < sources_.size(); ++i) {
      if (!ReadInBlocks(sources_[i], buffer, consume) ||
          !ReadInBlocks(destinations_[i], buffer, consume)) {
        return false;
      }
    }
    return true;
  }

  ScratchFolder dir_;
  std::vector<std::string> sources_;
  std::vector<std::string> destinations_;
  int64_t bytes_ = 0;
  std::unique_ptr<FileSystem> fs_ = NewPosixFileSystem({});
  bool agreed_ = true;
};

void ChecksumRate::Crc32() {
  printf("  %zu files on each side, %.0f MB in all; CRC-32 through %s\n", sources_.size(),
         static_cast<double>(bytes_) / 1e6, Crc32Sum::Engine());
  uLong zlibSum = 0;
  double zlib = Rate("zlib crc32, one stream, 128 KiB reads", [&] {
    Expect(OneStream(1 << 17, [&](const char* data, size_t size) {
      zlibSum = crc32_z(zlibSum, reinterpret_cast<const Bytef*>(data), size);
    }));
  });
  Rate("Crc32 one after the other", [&] {
    for (size_t i = 0; i < sources_.size(); ++i) {
      Expect(fs_->Crc32(sources_[i]) == fs_->Crc32(destinations_[i]));
    }
  });
  double pair = Rate("Crc32Pair", [&] {
    for (size_t i = 0; i < sources_.size(); ++i) {
      auto [first, second] = fs_->Crc32Pair(sources_[i], destinations_[i]);
      Expect(first && first == second);
    }
  });
  for (size_t block : {size_t{64} << 10, size_t{256} << 10, size_t{1} << 20}) {
    std::string label = "read() pair, " + std::to_string(block >> 10) + " KiB blocks";
    Sidekick sidekick;
    std::vector<char> mine(block), theirs(block);
    Rate(label.c_str(), [&] {
      for (size_t i = 0; i < sources_.size(); ++i) {
        Crc32Sum a, b;
        sidekick.Run(
            [&] { ReadInBlocks(destinations_[i], theirs, [&](auto d, size_t n) { b.Add(d, n); }); },
            [&] { ReadInBlocks(sources_[i], mine, [&](auto d, size_t n) { a.Add(d, n); }); });
      }
    });
  }
  Sidekick sidekick;
  Rate("mmap() pair", [&] {
    for (size_t i = 0; i < sources_.size(); ++i) {
      Crc32Sum a, b;
      sidekick.Run([&] { ReadMapped(destinations_[i], [&](auto d, size_t n) { b.Add(d, n); }); },
                   [&] { ReadMapped(sources_[i], [&](auto d, size_t n) { a.Add(d, n); }); });
    }
  });
  printf("  Crc32Pair / zlib one stream: %.2f\n", pair / zlib);
}

void ChecksumRate::Md5() {
  printf("  %zu files on each side, %.0f MB in all\n", sources_.size(),
         static_cast<double>(bytes_) / 1e6);
  EVP_MD_CTX* context = EVP_MD_CTX_new();
  double openssl = Rate("OpenSSL MD5, one stream", [&] {
    std::vector<char> buffer(1 << 17);
    for (size_t i = 0; i < 2 * sources_.size(); ++i) {
      EVP_DigestInit_ex2(context, EVP_md5(), nullptr);
      ReadInBlocks(i % 2 ? destinations_[i / 2] : sources_[i / 2], buffer,
                   [&](const char* data, size_t size) { EVP_DigestUpdate(context, data, size); });
      unsigned char digest[EVP_MAX_MD_SIZE];
      EVP_DigestFinal_ex(context, digest, nullptr);
    }
  });
  EVP_MD_CTX_free(context);
  Rate("Md5 one after the other", [&] {
    for (size_t i = 0; i < sources_.size(); ++i) {
      Expect(fs_->Md5(sources_[i]) == fs_->Md5(destinations_[i]));
    }
  });
  double pair = Rate("Md5Pair", [&] {
    for (size_t i = 0; i < sources_.size(); ++i) {
      auto [first, second] = fs_->Md5Pair(sources_[i], destinations_[i]);
      Expect(first && first == second);
    }
  });
  printf("  Md5Pair / OpenSSL one stream: %.2f\n", pair / openssl);
}

}  // namespace
}  // namespace brisvel

int main(int argc, char** argv) {
  const char* megabytes = argc > 1 ? argv[1] : std::getenv("BRISVEL_RATE_MB");
  brisvel::ChecksumRate rate;
  if (!rate.Prepare(megabytes != nullptr ? std::atoll(megabytes) : 1024)) {
    std::fputs("brisvel_checksum_rate: cannot write and read the trees\n", stderr);
    return 1;
  }
  rate.Crc32();
  rate.Md5();
  if (!rate.Agreed()) std::fputs("brisvel_checksum_rate: the sums disagree\n", stderr);
  return rate.Agreed() ? 0 : 1;
}
