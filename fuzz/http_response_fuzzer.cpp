// Feeds arbitrary server answers, split into arbitrary reads, through the download's response
// rules into a real file, and checks what must hold for every answer: no crash, hang or
// unbounded memory (the sanitizers and libFuzzer watch those), a failure that leaves the old
// file exactly as it was, no body past the cap, and no stray file left beside the output.
#include <fuzzer/FuzzedDataProvider.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "system/download_file.h"
#include "system/test_scripted_connection.h"

namespace brisvel {
namespace {

constexpr int64_t kCap = 1 << 16;
const std::string kOld = "old contents";

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "http response fuzzer: %s\n", what);
  std::abort();
}

const std::string& Folder() {
  static const std::string folder = [] {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "brisvel-http-fuzz-XXXXXX").string();
    Check(mkdtemp(pattern.data()) != nullptr, "no temporary folder");
    return pattern;
  }();
  return folder;
}

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

size_t EntriesIn(const std::string& folder) {
  size_t count = 0;
  for (auto it = std::filesystem::directory_iterator(folder);
       it != std::filesystem::directory_iterator(); ++it) {
    ++count;
  }
  return count;
}

}  // namespace
}  // namespace brisvel

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace brisvel;
  FuzzedDataProvider input(data, size);
  std::vector<std::string> reads;
  while (input.remaining_bytes() > 0) {
    reads.push_back(input.ConsumeBytesAsString(input.ConsumeIntegralInRange<size_t>(0, 2500)));
  }
  const std::string out = Folder() + "/out";
  std::ofstream(out, std::ios::binary | std::ios::trunc) << kOld;

  DownloadLimits limits;
  limits.maxBodyBytes = kCap;
  ScriptedConnection connection(std::move(reads));
  bool ok = ReceiveResponse(connection, out, limits);

  Check(EntriesIn(Folder()) == 1, "a file was left beside the output");
  std::string written = Contents(out);
  if (ok) {
    Check(written.size() <= kCap, "the body grew past the cap");
  } else {
    Check(written == kOld, "a failed download changed the old file");
  }
  return 0;
}
