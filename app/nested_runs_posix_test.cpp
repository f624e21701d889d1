// Runs of the built program side by side: a Move and a copy with orphans in nested
// destinations, each paused at the moment it can do most harm, and a run killed midway.
// Every wait is bounded.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/test_folder.h"

namespace brisvel {
namespace {

constexpr int kWaitMs = 60'000;
constexpr int kFiles = 2000;

std::string ProgramPath() {
  return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "brisvel").string();
}

std::string FileName(int number) {
  return "f" + std::to_string(10000 + number);
}

// The program running in the terminal, its output going to a file.
class Program {
 public:
  Program(const std::vector<std::string>& arguments, const std::string& output) {
    std::vector<std::string> words = {ProgramPath(), "--console"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out, 1);
      dup2(out, 2);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(out);
    ended_ = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
  }
  ~Program() {
    if (status_ >= -1) return;
    kill(pid_, SIGKILL);
    Wait();
  }

  void Signal(int signal) { kill(pid_, signal); }
  bool Running() {
    pollfd end = {ended_, POLLIN, 0};
    return poll(&end, 1, 0) == 0;
  }
  // The exit status; -1 when the program was ended by a signal, or did not end in time.
  int Wait() {
    if (status_ >= -1) return status_;
    pollfd end = {ended_, POLLIN, 0};
    if (poll(&end, 1, kWaitMs) != 1) kill(pid_, SIGKILL);
    int wait = 0;
    waitpid(pid_, &wait, 0);
    close(ended_);
    status_ = WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
    return status_;
  }

 private:
  pid_t pid_ = -1;
  int ended_ = -1;
  int status_ = -2;  // not waited for yet
};

// Waits for an entry whose name begins with `prefix` to be made (IN_CREATE) or deleted
// (IN_DELETE) in `folder`; the watch is set up before `start` runs.
template <typename Start>
bool WaitForEntry(const std::string& folder, uint32_t event, const std::string& prefix,
                  Start start) {
  const int watch = inotify_init1(IN_CLOEXEC);
  inotify_add_watch(watch, folder.c_str(), event);
  start();
  bool seen = false;
  alignas(inotify_event) char buffer[16384];
  pollfd ready = {watch, POLLIN, 0};
  while (!seen && poll(&ready, 1, kWaitMs) == 1) {
    const ssize_t got = read(watch, buffer, sizeof buffer);
    for (ssize_t at = 0; at < got;) {
      const auto* happened = reinterpret_cast<const inotify_event*>(buffer + at);
      if (happened->len > 0 && std::string(happened->name).starts_with(prefix)) seen = true;
      at += static_cast<ssize_t>(sizeof(inotify_event) + happened->len);
    }
  }
  close(watch);
  return seen;
}

class NestedRuns : public ::testing::Test {
 protected:
  std::string Path(const std::string& relative) { return folder_ / relative; }

  void WriteSources(const std::string& folder) {
    for (int number = 0; number < kFiles; ++number) {
      WriteFile(Path(folder) + "/" + FileName(number), FileName(number));
    }
  }

  // Every file the Move was given is either still in its source or in the backup, whole.
  void ExpectNothingLost(const std::string& source, const std::string& backup) {
    int lost = 0;
    for (int number = 0; number < kFiles; ++number) {
      const std::string name = "/" + FileName(number);
      if (ReadFile(Path(source) + name) != FileName(number) &&
          ReadFile(Path(backup) + name) != FileName(number)) {
        ++lost;
      }
    }
    EXPECT_EQ(lost, 0);
  }

  // Starts a Move of "moved" into `destination` and stops it right after it deleted its
  // first file from `files`, whose only copy is then in the destination.
  std::unique_ptr<Program> PausedMove(const std::string& files, const std::string& destination) {
    std::unique_ptr<Program> move;
    const bool deleted = WaitForEntry(Path(files), IN_DELETE, "f", [&] {
      move = std::make_unique<Program>(
          std::vector<std::string>{"backup", Path("moved"), Path(destination), "recursive", "move"},
          Path("move.txt"));
    });
    move->Signal(SIGSTOP);
    EXPECT_TRUE(deleted) << ReadFile(Path("move.txt"));
    EXPECT_TRUE(move->Running()) << "the Move ended before it could be stopped";
    return move;
  }

  TestFolder folder_;
};

// A copy with orphans into D while a Move into D/inner runs leaves D/inner alone.
TEST_F(NestedRuns, ACopyAroundAMoveDeletesNothingOfIt) {
  WriteSources("moved");
  WriteFile(Path("copied/a.txt"), "a");
  std::unique_ptr<Program> move = PausedMove("moved", "D/inner");
  Program copy({"backup", Path("copied"), Path("D"), "recursive", "orphans"}, Path("copy.txt"));
  EXPECT_EQ(copy.Wait(), 0);
  EXPECT_NE(ReadFile(Path("copy.txt")).find("Orphans are kept in inner/: another run is using it."),
            std::string::npos)
      << ReadFile(Path("copy.txt"));
  move->Signal(SIGCONT);
  EXPECT_EQ(move->Wait(), 0) << ReadFile(Path("move.txt"));
  ExpectNothingLost("moved", "D/inner");
  EXPECT_EQ(ReadFile(Path("D/a.txt")), "a");
}

// A copy with orphans into D/sub while a Move into D runs does not start.
TEST_F(NestedRuns, ACopyInsideAMoveDoesNotStart) {
  WriteSources("moved/sub");
  WriteFile(Path("copied/a.txt"), "a");
  std::unique_ptr<Program> move = PausedMove("moved/sub", "D");
  Program copy({"backup", Path("copied"), Path("D/sub"), "recursive", "orphans"}, Path("copy.txt"));
  EXPECT_EQ(copy.Wait(), 1);
  const std::string around = std::filesystem::canonical(Path("D")).string() + "/";
  EXPECT_NE(ReadFile(Path("copy.txt"))
                .find("Another run is using " + around + ", which contains " + Path("D/sub") +
                      "/, job skipped"),
            std::string::npos)
      << ReadFile(Path("copy.txt"));
  move->Signal(SIGCONT);
  EXPECT_EQ(move->Wait(), 0) << ReadFile(Path("move.txt"));
  ExpectNothingLost("moved/sub", "D/sub");
  EXPECT_FALSE(std::filesystem::exists(Path("D/sub/a.txt")));
}

// The marker of a run without sub-folders that was killed goes with the next such run.
TEST_F(NestedRuns, AKilledRunsMarkerGoesWithTheNextRun) {
  WriteSources("source");
  std::filesystem::create_directories(Path("D"));
  std::unique_ptr<Program> killed;
  ASSERT_TRUE(WaitForEntry(Path("D"), IN_CREATE, ".brisvel-run-", [&] {
    killed = std::make_unique<Program>(
        std::vector<std::string>{"backup", Path("source"), Path("D")}, Path("killed.txt"));
  }));
  killed->Signal(SIGKILL);
  EXPECT_EQ(killed->Wait(), -1);
  ASSERT_NE(folder_.Names("D").find(".brisvel-run-"), std::string::npos);

  Program next({"backup", Path("source"), Path("D")}, Path("next.txt"));
  EXPECT_EQ(next.Wait(), 0) << ReadFile(Path("next.txt"));
  EXPECT_EQ(folder_.Names("D").find(".brisvel-"), std::string::npos);
  EXPECT_EQ(ReadFile(Path("D/") + FileName(kFiles - 1)), FileName(kFiles - 1));
}

}  // namespace
}  // namespace brisvel
