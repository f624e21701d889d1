// A JobListView for tests: it keeps the rows, check boxes and settings that a window would
// show and records every message and refresh, so a test can look at what the user would see.
// Tests may also change its state directly, as the user would (untick a row, pick a finish
// choice) before calling the code under test. Not thread-safe; the view belongs to one thread.
#pragma once

#include <string>
#include <vector>

#include "core/job_list_view.h"

namespace brisvel {

class FakeJobListView : public JobListView {
 public:
  struct Row {
    std::string name;
    bool checked = false;
  };
  struct Message {
    std::string text;
    MessageIcon icon;
  };

  void ClearJobRows() override {
    rows.clear();
    selectedRow = -1;
    ++clearCount;
  }
  // Inserts at `position` like a list control; a position past the end appends.
  void AddJobRow(int position, const std::string& name, bool checked) override {
    size_t at = position < 0 ? 0 : static_cast<size_t>(position);
    if (at > rows.size()) at = rows.size();
    rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(at), Row{name, checked});
  }
  void SelectJobRow(int position) override { selectedRow = position; }
  // False for a row that does not exist.
  bool RowChecked(int position) override {
    return position >= 0 && static_cast<size_t>(position) < rows.size() && rows[position].checked;
  }

  void SetRunInTray(bool checked) override { runInTray = checked; }
  bool RunInTray() override { return runInTray; }
  void SetFinishChoice(int action) override { finishChoice = action; }
  int FinishChoice() override { return finishChoice; }

  void RefreshSettingsPanel() override { ++refreshCount; }
  void FocusSourceField() override { ++focusCount; }

  void ShowMessage(const std::string& text, MessageIcon icon) override {
    messages.push_back({text, icon});
  }

  // The row texts in order.
  std::vector<std::string> RowNames() const {
    std::vector<std::string> names;
    for (const Row& row : rows) names.push_back(row.name);
    return names;
  }
  // The texts of all messages shown, in order.
  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const Message& message : messages) texts.push_back(message.text);
    return texts;
  }

  std::vector<Row> rows;
  int selectedRow = -1;
  bool runInTray = false;
  // The main window's list starts with "Return to Brisvel" selected.
  int finishChoice = 1;
  std::vector<Message> messages;
  int refreshCount = 0;
  int focusCount = 0;
  int clearCount = 0;
};

}  // namespace brisvel
