#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>

#include "core/test_folder.h"
#include "system/download_file.h"
#include "system/test_scripted_connection.h"

namespace brisvel {
namespace {

class DownloadPosixTest : public ::testing::Test {
 protected:
  std::string Out() { return folder_ / "out"; }
  TestFolder folder_;
};

// Receives a 9-byte body into `path` in a process whose files may not grow past 4 bytes, so
// that the body's write fails half-way; exits with 0 when the download reported the failure.
void ReceiveWithFilesCappedAtFourBytes(const std::string& path) {
  rlimit limit = {4, 4};
  setrlimit(RLIMIT_FSIZE, &limit);
  signal(SIGXFSZ, SIG_IGN);
  ScriptedConnection connection({"HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\n012345678"});
  _exit(ReceiveResponse(connection, path, DownloadLimits{}) ? 1 : 0);
}

TEST_F(DownloadPosixTest, AFileThatCannotBeWrittenFailsTheDownloadAndKeepsTheOldOne) {
  WriteFile(Out(), "old");
  EXPECT_EXIT(ReceiveWithFilesCappedAtFourBytes(Out()), ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(ReadFile(Out()), "old");
  EXPECT_EQ(folder_.Names(), "out");
}

}  // namespace
}  // namespace brisvel
