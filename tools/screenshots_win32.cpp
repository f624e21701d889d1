// Shows one of the program's windows in a state for the README's Windows pictures and keeps
// it there until the window is closed or the program ended: scripts/screenshots-windows runs
// it on Wine's desktop and takes the picture. Prints the screen rectangle of the window to
// picture ("x y width height") on standard output once it is painted.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/menus.h"
#include "app/ui/control_ids.h"
#include "app/win32/ui_win32.h"
#include "app/window_layout.h"
#include "tools/screenshot_scenes.h"

namespace brisvel {
namespace {

void PrintRectangle(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT r{};
  GetWindowRect(window, &r);
  std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
  std::fflush(stdout);
}

// The first box titled `title` that appears, within five seconds.
HWND AwaitBox(const wchar_t* title) {
  for (int i = 0; i < 500; ++i) {
    if (HWND box = FindWindowW(L"#32770", title)) return box;
    Sleep(10);
  }
  return nullptr;
}

// Watches for the box the main thread is about to show.
DWORD WINAPI PrintBoxRectangle(void*) {
  if (HWND box = AwaitBox(L"Brisvel")) PrintRectangle(box);
  return 0;
}

int Show(const std::string& scene) {
  Win32Ui ui;
  JobList jobs;
  MainWindowView view(ui, jobs);
  ProgressWindow progress(ui, view);
  SharedRunState state;
  if (!CreateMainWindow(ui) || !CreateProgressWindow(ui) || !CreateShutdownWindow(ui) ||
      !CreateJobOptionsWindow(ui) || !CreateScheduleWindow(ui)) {
    return 1;
  }
  int shown = kMainWindow;
  if (scene == "main" || scene == "rename") {
    ShowMainWindow(ui, jobs, view);
  } else if (scene == "running" || scene == "finished") {
    ShowRunningWindow(progress, state);
    if (scene == "finished") ShowFinishedWindow(progress);
    shown = kProgressWindow;
  } else if (scene == "shutdown") {
    ShowShutdownWindow(ui);
    shown = kShutdownWindow;
  } else if (scene == "options") {
    ShowJobOptionsWindow(ui);
    shown = kJobOptionsWindow;
  } else if (scene == "schedule") {
    ShowScheduleWindow(ui);
    shown = kScheduleWindow;
  } else if (scene == "about") {
    ui.ShowWindow(kMainWindow, true);
    ui.Flush();
    HANDLE watcher = CreateThread(nullptr, 0, PrintBoxRectangle, nullptr, 0, nullptr);
    ui.ShowMessage(kMessageTitle, AboutText(), MessageIcon::kInformation, MessageButtons::kOk);
    WaitForSingleObject(watcher, INFINITE);
    return 0;
  } else {
    std::fprintf(stderr, "screenshots: unknown scene %s\n", scene.c_str());
    return 2;
  }
  ui.Flush();
  if (scene == "rename") {
    ui.SetInputDialogHook([](HWND dialog, HWND) { PrintRectangle(dialog); });
    ui.AskText("Rename Job", "Enter a new name for this job:", "Documents");
    return 0;
  }
  PrintRectangle(ui.Window(shown));
  for (;;) {
    std::optional<UiEvent> event = ui.WaitEvent(std::chrono::milliseconds(50));
    if (event && event->type == EventType::kCloseRequest) return 0;
  }
}

}  // namespace
}  // namespace brisvel

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs(
        "usage: brisvel_screenshots SCENE (main, rename, running, finished, shutdown, options, "
        "schedule, about)\n",
        stderr);
    return 2;
  }
  return brisvel::Show(argv[1]);
}
