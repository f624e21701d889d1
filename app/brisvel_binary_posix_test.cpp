// Runs the built program in a terminal-less session, as a cron job or a script would.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "core/test_folder.h"

namespace brisvel {
namespace {

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string ProgramPath() {
  return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "brisvel").string();
}

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

class RunBinary : public ::testing::Test {
 protected:
  RunBinary() {
    WriteFile(folder_ / "src/a.txt", "alpha");
    WriteFile(folder_ / "src/sub/b.txt", "beta");
  }

  // `wrapper` runs the program (as another user, say); `streams` are its redirections.
  Outcome Run(const std::vector<std::string>& arguments, const std::string& wrapper = "",
              const std::string& streams = "</dev/null >out.txt 2>err.txt") {
    std::string command = "cd " + Quoted(folder_.Path()) + " && " + wrapper +
                          " env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + display_ +
                          " " + Quoted(program_);
    for (const std::string& argument : arguments) command += " " + Quoted(argument);
    command += " " + streams;
    const int wait = std::system(command.c_str());
    Outcome outcome;
    outcome.status = WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
    outcome.out = ReadFile(folder_ / "out.txt");
    outcome.err = ReadFile(folder_ / "err.txt");
    return outcome;
  }

  TestFolder folder_;
  std::string program_ = ProgramPath();
  std::string display_;  // "DISPLAY=..." to give the program a display
};

TEST_F(RunBinary, ABackupPrintsItsRowsAndEndsWith0) {
  Outcome first = Run({"backup", "src", "dst", "log", "backup.log"});
  EXPECT_EQ(first.status, 0);
  EXPECT_EQ(first.out,
            "Running 'New Job'...\nScanning for new files...\nCopied a.txt\nFound 1 file.\n\n"
            "Copied 1 total file.\nFinished all jobs.\n");
  EXPECT_EQ(first.err, "");
  EXPECT_EQ(ReadFile(folder_ / "dst/a.txt"), "alpha");
  EXPECT_NE(ReadFile(folder_ / "dst/backup.log").find(" . Copied: a.txt"), std::string::npos);

  Outcome again = Run({"BACKUP", "src", "dst", "Recursive", "MD5"});
  EXPECT_EQ(again.status, 0);
  EXPECT_NE(again.out.find("Copied sub/b.txt\n"), std::string::npos);
  EXPECT_NE(again.out.find("Copied 1 total file.\n"), std::string::npos);
}

// A name may hold any bytes but '/' on Linux: what is no printable text reaches neither the
// terminal nor the log file, while the file itself is backed up under its own name.
TEST_F(RunBinary, RawBytesOfANameReachNeitherTheTerminalNorTheLog) {
  const std::string name = "x\x9B" "2J\xC2\x9B" "y\xFF.txt";
  WriteFile(folder_ / ("src/" + name), "raw");
  Outcome outcome = Run({"backup", "src", "dst", "log", "backup.log"});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_NE(outcome.out.find("Copied x?2J?y?.txt\n"), std::string::npos) << outcome.out;
  const std::string log = ReadFile(folder_ / "dst/backup.log");
  EXPECT_NE(log.find(" . Copied: x?2J?y?.txt\r\n"), std::string::npos) << log;
  for (const std::string& text : {outcome.out, log}) {
    EXPECT_EQ(text.find_first_of("\x9B\xC2\xFF"), std::string::npos);
  }
  EXPECT_EQ(ReadFile(folder_ / ("dst/" + name)), "raw");
}

// A display that is set but does not answer (a stale DISPLAY in a cron job or over SSH) must
// not end the program: the run goes on in the terminal.
TEST_F(RunBinary, ADisplayThatDoesNotAnswerLeavesTheRunToTheTerminal) {
  display_ = "DISPLAY=:" + std::to_string(40000 + getpid() % 20000);
  Outcome outcome = Run({"backup", "src", "dst"});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_NE(outcome.out.find("Copied 1 total file.\n"), std::string::npos);
  EXPECT_EQ(outcome.err,
            "Brisvel: the display does not answer; working in the terminal instead.\n");
  EXPECT_EQ(ReadFile(folder_ / "dst/a.txt"), "alpha");
}

TEST_F(RunBinary, ErrorsEndWith1) {
  WriteFile(folder_ / "blocked", "");
  Outcome outcome = Run({"backup", "src", "blocked/dst"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.out.find("Cannot create blocked/dst/\n"), std::string::npos);
  EXPECT_NE(outcome.out.find("1 error encountered.\n"), std::string::npos);
}

// Run as an ordinary user, folders that cannot be read are rows and errors, never a quiet
// "Finished all jobs." with exit status 0.
TEST_F(RunBinary, UnreadableSourceFoldersEndWith1) {
  std::filesystem::permissions(folder_.Path(), std::filesystem::perms::all);
  std::filesystem::create_directories(folder_ / "dst");
  std::filesystem::permissions(folder_ / "dst", std::filesystem::perms::all);
  std::filesystem::create_directories(folder_ / "src/locked");
  std::filesystem::create_directories(folder_ / "src/blind");
  WriteFile(folder_ / "src/locked/c.txt", "gamma");
  std::filesystem::permissions(folder_ / "src/locked", std::filesystem::perms::none);
  std::filesystem::permissions(folder_ / "src/blind", std::filesystem::perms::owner_write |
                                                          std::filesystem::perms::owner_exec |
                                                          std::filesystem::perms::others_exec);
  // A copy of the program that the other user can reach wherever the build lies.
  program_ = folder_ / "brisvel";
  std::filesystem::copy_file(ProgramPath(), program_);
  const std::string asNobody = "setpriv --reuid=65534 --regid=65534 --clear-groups";
  if (std::system((asNobody + " true").c_str()) != 0) GTEST_SKIP() << "cannot change user here";
  Outcome outcome = Run({"backup", "src", "dst", "recursive"}, asNobody);
  EXPECT_EQ(outcome.status, 1) << outcome.err;
  EXPECT_NE(outcome.out.find("Couldn't read folder src/locked/: Permission denied\n"),
            std::string::npos);
  EXPECT_NE(outcome.out.find("Couldn't read folder src/blind/: Permission denied\n"),
            std::string::npos);
  EXPECT_NE(outcome.out.find("Copied sub/b.txt\n"), std::string::npos);

  std::filesystem::permissions(folder_ / "src", std::filesystem::perms::none);
  outcome = Run({"backup", "src", "dst", "recursive", "orphans"}, asNobody);
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.out.find("Couldn't read folder src/: Permission denied\n"), std::string::npos);
  EXPECT_EQ(ReadFile(folder_ / "dst/a.txt"), "alpha");  // nothing deleted as an orphan
  std::filesystem::permissions(folder_ / "src", std::filesystem::perms::all);
  std::filesystem::permissions(folder_ / "src/locked", std::filesystem::perms::all);
}

// With standard output closed, the log file must not take its place and receive the rows.
TEST_F(RunBinary, ClosedStandardOutputNeverLandsInTheLogFile) {
  Outcome outcome =
      Run({"backup", "src", "dst", "log", "backup.log"}, "", "</dev/null >&- 2>err.txt");
  EXPECT_EQ(outcome.status, 0);
  const std::string log = ReadFile(folder_ / "dst/backup.log");
  EXPECT_NE(log.find(" . Copied: a.txt\r\n"), std::string::npos);
  EXPECT_EQ(log.find("Running '"), std::string::npos) << log;
}

TEST_F(RunBinary, NothingToRunEndsWith2AndSaysHowToUseIt) {
  Outcome bare = Run({});
  EXPECT_EQ(bare.status, 2);
  EXPECT_EQ(bare.out, "");
  EXPECT_EQ(bare.err.rfind("Brisvel: Usage: brisvel", 0), 0u);

  WriteFile(folder_ / "broken.jbs", "<notbrisvel/>");
  Outcome broken = Run({"broken.jbs", "silent"});
  EXPECT_EQ(broken.status, 2);
  EXPECT_EQ(broken.err, "Brisvel: Not a valid Brisvel file!\n");
}

TEST_F(RunBinary, AJobFileRunsSilentlyWithItsLog) {
  WriteFile(folder_ / "jobs.jbs",
            "<brisvel finish=\"brisvel\"><job name=\"Docs\" copyfrom=\"src\" copyto=\"dst\" "
            "recursive=\"yes\" log=\"yes\" logfile=\"docs.log\"/></brisvel>");
  Outcome outcome = Run({"jobs.jbs", "silent"});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.out.rfind("Running 'Docs'...\n", 0), 0u);
  EXPECT_EQ(ReadFile(folder_ / "dst/sub/b.txt"), "beta");
  EXPECT_NE(ReadFile(folder_ / "dst/docs.log").find("Docs"), std::string::npos);
}

// A stale display (a cron job's DISPLAY, say) and a program copied away from its library
// folder: the desktop cannot be had, the program says why in one line and the run goes on.
TEST_F(RunBinary, AMissingDesktopModuleLeavesTheRunToTheTerminal) {
  program_ = folder_ / "brisvel";
  std::filesystem::copy_file(ProgramPath(), program_);
  display_ = "DISPLAY=:" + std::to_string(40000 + getpid() % 20000);
  Outcome outcome = Run({"backup", "src", "dst"});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_NE(outcome.out.find("Copied 1 total file.\n"), std::string::npos);
  EXPECT_EQ(outcome.err.rfind("Brisvel: cannot load the desktop: ", 0), 0u) << outcome.err;
  EXPECT_NE(outcome.err.find("brisvel-qt.so"), std::string::npos) << outcome.err;
  EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << outcome.err;
  EXPECT_NE(outcome.err.find("; working in the terminal instead.\n"), std::string::npos);
}

// What a run of the program has mapped by the time it first waits: its standard output is a
// pipe that is full already, so it cannot end before the test has looked. `display` is the
// DISPLAY it gets, none when empty.
std::string MappedFiles(const std::vector<std::string>& arguments, const std::string& display,
                        const std::string& folder) {
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) return "";
  fcntl(out[1], F_SETFL, O_NONBLOCK);
  const std::string filler(4096, 'x');
  while (write(out[1], filler.data(), filler.size()) > 0) {
  }
  fcntl(out[1], F_SETFL, 0);
  const std::string program = ProgramPath();
  std::vector<std::string> words{program};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  std::vector<std::string> variables{"PATH=/usr/bin:/bin"};
  if (!display.empty()) variables.push_back("DISPLAY=" + display);
  std::vector<char*> envp;
  for (std::string& variable : variables) envp.push_back(variable.data());
  envp.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    dup2(out[1], STDOUT_FILENO);
    const int devNull = open("/dev/null", O_RDWR);
    dup2(devNull, STDIN_FILENO);
    dup2(devNull, STDERR_FILENO);
    if (chdir(folder.c_str()) != 0) _exit(127);
    execve(program.c_str(), argv.data(), envp.data());
    _exit(127);
  }
  close(out[1]);
  // A program that waits, for a full pipe or for its next event, has chosen where it runs.
  const std::string proc = "/proc/" + std::to_string(child);
  for (int i = 0; i < 60000; ++i) {
    const std::string stat = ReadFile(proc + "/stat");
    const size_t state = stat.rfind(')') + 2;
    if (state < stat.size() && (stat[state] == 'S' || stat[state] == 'Z')) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  const std::string maps = ReadFile(proc + "/maps");
  char buffer[65536];
  while (read(out[0], buffer, sizeof buffer) > 0) {
  }
  close(out[0]);
  waitpid(child, nullptr, 0);
  return maps;
}

// The toolkit is loaded only for the windows: never for a run in the terminal, for the help or
// the version. A display that does not answer is asked through the desktop module, so there
// the toolkit shows: the check sees it where it is mapped.
TEST_F(RunBinary, OnlyTheDesktopMapsTheToolkit) {
  const std::string stale = ":" + std::to_string(40000 + getpid() % 20000);
  const struct {
    std::vector<std::string> arguments;
    std::string display;
    bool toolkit;
  } runs[] = {
      {{"--version"}, "", false},
      {{"--help"}, stale, false},
      {{"backup", "src", "dst", "recursive"}, "", false},
      {{"--console", "backup", "src", "dst2"}, stale, false},
      {{"backup", "src", "dst3"}, stale, true},
  };
  for (const auto& run : runs) {
    const std::string maps = MappedFiles(run.arguments, run.display, folder_.Path());
    ASSERT_NE(maps.find("libstdc++"), std::string::npos) << run.arguments[0];
    EXPECT_EQ(maps.find("libQt6") != std::string::npos, run.toolkit) << run.arguments[0];
    EXPECT_EQ(maps.find("brisvel-qt.so") != std::string::npos, run.toolkit) << run.arguments[0];
  }
}

TEST_F(RunBinary, HelpAndVersionEndWith0) {
  Outcome version = Run({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "Brisvel 0.99\n");

  Outcome help = Run({"--console", "--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* word :
       {"silent",     "tray", "shutdown",  "open",    "edit",     "backup",     "recursive",
        "subfolders", "move", "orphan",    "orphans", "openpath", "openfolder", "log",
        "filter",     "size", "filesize",  "date",    "moddate",  "modified",   "crc",
        "crc32",      "md5",  "--console", "--help",  "--version"}) {
    EXPECT_NE(help.out.find(word), std::string::npos) << word;
  }
}

}  // namespace
}  // namespace brisvel
