// A ProgressView for tests: records every row and the last value of everything else. Safe to
// read once the run has finished (the worker has set the run state to finished).
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "engine/progress_view.h"

namespace brisvel {

class RecordingProgressView : public ProgressView {
 public:
  struct Row {
    int64_t index;
    std::string text;
    Colour colour;
  };

  void SetJobLine(const std::string& text) override {
    Locked([&] { jobLine = text; });
  }
  void SetStatus(const std::string& text) override {
    Locked([&] {
      status = text;
      statuses.push_back(text);
    });
  }
  void SetProgressMax(int64_t maximum) override {
    Locked([&] { progressMax = maximum; });
  }
  void SetProgressValue(int64_t value) override {
    Locked([&] { progressValue = value; });
  }
  void SetBarColour(Colour colour) override {
    Locked([&] {
      barColour = colour;
      barColours.push_back(colour);
    });
  }
  void AddRow(int64_t index, const std::string& text, Colour colour) override {
    Locked([&] { rows.push_back({index, text, colour}); });
  }
  void FitLogColumn() override {
    Locked([&] { ++fitCount; });
  }
  void SetTrayTip(const std::string& text) override {
    Locked([&] {
      trayTip = text;
      trayTips.push_back(text);
    });
  }
  void EnableFinishChoice(bool enabled) override {
    Locked([&] { finishEnabled = enabled; });
  }
  void SelectFinishChoice(int action) override {
    Locked([&] { finishChoice = action; });
  }
  void WaitForOk() override {
    Locked([&] { waitingForOk = true; });
  }
  void RefreshSettingsPanel() override {
    Locked([&] { ++refreshCount; });
  }

  // The row texts alone, in order.
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const Row& row : rows) texts.push_back(row.text);
    return texts;
  }
  // The colour of the first row whose text is `text`; black when there is none.
  Colour ColourOf(const std::string& text) const {
    for (const Row& row : rows)
      if (row.text == text) return row.colour;
    return Colour{};
  }

  std::string jobLine;
  std::string status;
  std::vector<std::string> statuses;
  int64_t progressMax = 0;
  int64_t progressValue = 0;
  Colour barColour;
  std::vector<Colour> barColours;
  std::vector<Row> rows;
  int fitCount = 0;
  std::string trayTip;
  std::vector<std::string> trayTips;
  bool finishEnabled = true;
  int finishChoice = -1;
  bool waitingForOk = false;
  int refreshCount = 0;

 private:
  template <typename F>
  void Locked(F&& change) {
    std::lock_guard<std::mutex> lock(mutex_);
    change();
  }
  std::mutex mutex_;
};

}  // namespace brisvel
