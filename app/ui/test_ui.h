// A Ui for tests: keeps the state of every control (so tests read what the program showed),
// records every call as a line, answers message boxes and dialogs as a test presets, and
// delivers the events a test injects. Safe to use from the worker thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>

#include "app/ui/model_ui.h"

namespace brisvel {

class FakeUi : public ModelUi {
 public:
  struct Message {
    std::string title;
    std::string text;
    MessageIcon icon;
    MessageButtons buttons;
  };

  FakeUi() { recording_ = true; }

  // Queues an event for WaitEvent.
  void Push(const UiEvent& event) {
    {
      std::lock_guard lock(mutex_);
      events_.push_back(event);
    }
    wake_.notify_all();
  }
  void Click(int window, int control) { Push({window, control, EventType::kClick}); }

  // Whether the desktop has a notification area.
  std::atomic<bool> trayAvailable{true};
  bool TrayAvailable() override { return trayAvailable; }

  // Called whenever WaitEvent finds no event, before it waits: a test acts here on what the
  // program shows ("click OK once the button reads OK"). Runs without the lock held.
  std::function<void(FakeUi&)> whenIdle;

  // Answers of the next message boxes and dialogs, in order. A box without a preset answer
  // gets OK, No or Cancel; a dialog without one is cancelled.
  void AnswerNext(MessageAnswer answer) {
    Locked([&] { answers_.push_back(answer); });
  }
  void ChooseNextFolder(const std::string& folder) {
    Locked([&] { folders_.push_back(folder); });
  }
  void ChooseNextFile(const FileChoice& file) {
    Locked([&] { files_.push_back(file); });
  }
  void TypeNext(const std::string& text) {
    Locked([&] { texts_.push_back(text); });
  }

  MessageAnswer ShowMessage(const std::string& title, const std::string& text, MessageIcon icon,
                            MessageButtons buttons) override {
    std::lock_guard lock(mutex_);
    Note("ShowMessage", title, text);
    messages_.push_back({title, text, icon, buttons});
    if (answers_.empty()) return DeclinedAnswer(buttons);
    MessageAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
  }
  std::optional<std::string> ChooseFolder(const std::string& title,
                                          const std::string& start) override {
    std::lock_guard lock(mutex_);
    Note("ChooseFolder", title, start);
    return Take(folders_);
  }
  std::optional<FileChoice> ChooseFile(const FileDialogRequest& request) override {
    std::lock_guard lock(mutex_);
    Note("ChooseFile", request.title, request.folder);
    return Take(files_);
  }
  std::optional<std::string> AskText(const std::string& title, const std::string& prompt,
                                     const std::string& initial) override {
    std::lock_guard lock(mutex_);
    Note("AskText", title, prompt, initial);
    return Take(texts_);
  }

  std::optional<UiEvent> WaitEvent(std::chrono::milliseconds timeout) override {
    if (Locked([&] { return events_.empty(); }) && whenIdle) whenIdle(*this);
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, timeout, [&] { return !events_.empty(); });
    if (events_.empty()) return timeout.count() > 0 ? GiveUpWhenStuck() : std::nullopt;
    UiEvent event = events_.front();
    events_.pop_front();
    return event;
  }

  void Flush() override {
    Locked([&] { ++flushes_; });
  }

  std::vector<std::string> Calls() {
    return Locked([&] { return calls_; });
  }
  std::vector<Message> Messages() {
    return Locked([&] { return messages_; });
  }
  int Flushes() {
    return Locked([&] { return flushes_; });
  }
  // True when the program waited so long for an event (some 20000 waits) that the fake
  // closed the main window to end it: it waited for something that never came.
  bool GaveUp() {
    return Locked([&] { return gaveUp_; });
  }

 private:
  template <typename T>
  static std::optional<T> Take(std::deque<T>& queue) {
    if (queue.empty()) return std::nullopt;
    T first = queue.front();
    queue.pop_front();
    return first;
  }

  // The caller holds the lock.
  std::optional<UiEvent> GiveUpWhenStuck() {
    if (++idleWaits_ < kMaxIdleWaits) return std::nullopt;
    idleWaits_ = 0;
    gaveUp_ = true;
    return UiEvent{kMainWindow, 0, EventType::kCloseRequest};
  }

  template <typename F>
  auto Locked(F&& work) -> decltype(work()) {
    std::lock_guard lock(mutex_);
    return work();
  }

  static constexpr int kMaxIdleWaits = 20000;
  std::condition_variable wake_;
  std::deque<UiEvent> events_;
  std::deque<MessageAnswer> answers_;
  std::deque<std::string> folders_;
  std::deque<FileChoice> files_;
  std::deque<std::string> texts_;
  std::vector<Message> messages_;
  int flushes_ = 0;
  int idleWaits_ = 0;
  bool gaveUp_ = false;
};

}  // namespace brisvel
