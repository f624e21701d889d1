// A Ui that any thread may call, in front of a desktop backend that only the GUI thread may
// touch: the one hand-over from the run's threads to the windows.
//
// Calls that change the windows are queued and applied on the GUI thread in batches (by the
// backend's periodic work, and before the GUI thread does anything else through this
// interface), so a worker never waits for the windows and the GUI thread never sees a state
// older than what a worker has already asked for. Of the updates that a later one replaces
// completely (a caption, a bar's value) a batch applies the last; consecutive rows of one list
// go in as one insertion. Calls that read or ask the user wait for the GUI thread.
#pragma once

#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

#include "app/ui/desktop_ui.h"
#include "app/ui/update_queue.h"

namespace brisvel {

class HandOverUi : public Ui {
 public:
  // Construct on the GUI thread. `desktop` must outlive this.
  explicit HandOverUi(DesktopUi& desktop);
  ~HandOverUi() override;
  HandOverUi(const HandOverUi&) = delete;
  HandOverUi& operator=(const HandOverUi&) = delete;

  bool CreateWindow(const WindowLayout& layout) override;
  void AddControl(int window, const ControlLayout& layout) override;
  void AddShortcut(int window, ShortcutKey key, int menuEvent) override;
  void ShowWindow(int window, bool visible) override;
  bool WindowVisible(int window) override;
  void ActivateWindow(int window) override;
  void MinimiseWindow(int window) override;
  void ResizeWindow(int window, int width, int height) override;
  void SetTitle(int window, const std::string& title) override;

  void SetText(int window, int control, const std::string& text) override;
  std::string Text(int window, int control) override;
  void SetChecked(int window, int control, bool checked) override;
  bool Checked(int window, int control) override;
  void SetSelection(int window, int control, int index) override;
  int Selection(int window, int control) override;
  void SetEnabled(int window, int control, bool enabled) override;
  bool Enabled(int window, int control) override;
  void SetFocus(int window, int control) override;

  void InsertRow(int window, int control, int64_t index, const std::string& text,
                 Colour colour) override;
  void SetRowText(int window, int control, int row, const std::string& text) override;
  void SetRowChecked(int window, int control, int row, bool checked) override;
  bool RowChecked(int window, int control, int row) override;
  void DeleteRow(int window, int control, int row) override;
  void ClearRows(int window, int control) override;
  int RowCount(int window, int control) override;
  void SelectRow(int window, int control, int row) override;
  int SelectedRow(int window, int control) override;
  void FitColumn(int window, int control) override;

  void SetProgressMax(int window, int control, int64_t maximum) override;
  void SetProgressValue(int window, int control, int64_t value) override;
  void SetProgressColour(int window, int control, Colour colour) override;

  MessageAnswer ShowMessage(const std::string& title, const std::string& text, MessageIcon icon,
                            MessageButtons buttons) override;
  std::optional<std::string> ChooseFolder(const std::string& title,
                                          const std::string& start) override;
  std::optional<FileChoice> ChooseFile(const FileDialogRequest& request) override;
  std::optional<std::string> AskText(const std::string& title, const std::string& prompt,
                                     const std::string& initial) override;

  void CreatePopupMenu(int menu, const std::vector<MenuItem>& items) override;
  void SetMenuItemEnabled(int menu, int item, bool enabled) override;
  void ShowPopupMenu(int menu) override;

  void ShowTrayIcon(const std::string& tip) override;
  void SetTrayTip(const std::string& tip) override;
  void RemoveTrayIcon() override;
  bool TrayAvailable() override;

  // On the GUI thread only, as the program's event loop is.
  std::optional<UiEvent> WaitEvent(std::chrono::milliseconds timeout) override;
  void Flush() override;

 private:
  using Update = UpdateQueue::Update;

  bool OnGuiThread() const { return std::this_thread::get_id() == guiThread_; }

  // On the GUI thread: applies what is queued, then `update`. From another thread: queues it.
  void Change(Update update);

  // Runs `work` on the GUI thread after everything queued, and returns its result. From
  // another thread the request joins the queue and the caller waits for the next batch; only
  // the standard library's locks pass the result, which the thread checkers see.
  template <typename Work>
  auto OnGui(Work work) -> decltype(work()) {
    if (OnGuiThread()) {
      ApplyPending();
      return work();
    }
    std::mutex mutex;
    std::condition_variable answered;
    bool done = false;
    auto answer = [&] {
      std::lock_guard lock(mutex);
      done = true;
      answered.notify_one();
    };
    auto wait = [&] {
      desktop_.Wake();
      std::unique_lock lock(mutex);
      answered.wait(lock, [&] { return done; });
    };
    if constexpr (std::is_void_v<decltype(work())>) {
      pending_.Push(Update::Call(-1, -1, [&] {
        work();
        answer();
      }));
      wait();
    } else {
      decltype(work()) result{};
      pending_.Push(Update::Call(-1, -1, [&] {
        result = work();
        answer();
      }));
      wait();
      return result;
    }
  }

  // Applies every queued update in order; the desktop's periodic work calls it.
  void ApplyPending();
  // Inserts the row at `position` of the batch together with the rows after it that go into
  // the same list at the following indexes.
  void ApplyRows(std::vector<Update>& batch, size_t position, std::vector<bool>& done);

  DesktopUi& desktop_;
  const std::thread::id guiThread_;
  UpdateQueue pending_;
  bool applying_ = false;
  // The text controls; filled while the windows are built, before any run, and only read
  // afterwards, from any thread.
  std::set<std::pair<int, int>> labels_;
};

}  // namespace brisvel
