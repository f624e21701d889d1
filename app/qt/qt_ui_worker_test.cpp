// The run's worker thread writing the progress window of the desktop backend through the
// hand-over.
#include <gtest/gtest.h>

#include <QProgressBar>
#include <QScrollBar>
#include <QTreeView>
#include <atomic>
#include <thread>

#include "app/qt/qt_ui.h"
#include "app/ui/control_ids.h"
#include "app/ui/hand_over_ui.h"
#include "app/window_layout.h"

namespace brisvel {
namespace {

constexpr Colour kRowColours[] = {kBlack, kGrey, kGreen, kOlive, kRed};

TEST(QtWorkerUpdates, ReachTheWindowInOrderAndCompleteBeforeTheGuiThreadLooks) {
  QtUi desktop;
  HandOverUi ui(desktop);
  ASSERT_TRUE(CreateProgressWindow(ui));
  ui.ShowWindow(kProgressWindow, true);
  constexpr int kRows = 100000;
  constexpr int64_t kSteps = 10'000'000'000;  // beyond what the toolkit's bar counts in
  std::atomic<bool> done{false};
  int rowsSeenByWorker = -1;
  std::thread worker([&] {
    ui.SetProgressMax(kProgressWindow, kProgressBar, kSteps);
    for (int i = 0; i < kRows; ++i) {
      ui.InsertRow(kProgressWindow, kLogView, i, "row " + std::to_string(i), kRowColours[i % 5]);
      ui.SetText(kProgressWindow, kStatusLine, "file " + std::to_string(i));
      ui.SetProgressValue(kProgressWindow, kProgressBar, kSteps / kRows * (i + 1));
    }
    // A read waits for the GUI thread, which first applies every write asked for before it.
    rowsSeenByWorker = ui.RowCount(kProgressWindow, kLogView);
    ui.SetProgressValue(kProgressWindow, kProgressBar, kSteps / 2);
    ui.SetText(kProgressWindow, kStopButton, "OK");
    done = true;
  });
  while (!done) ui.WaitEvent(std::chrono::milliseconds(5));
  worker.join();

  // No more waiting: the first look of the GUI thread finds the worker's last writes.
  EXPECT_EQ(ui.Text(kProgressWindow, kStopButton), "OK");
  EXPECT_EQ(rowsSeenByWorker, kRows);
  EXPECT_EQ(ui.Text(kProgressWindow, kStatusLine), "file 99999");
  auto* log = qobject_cast<QTreeView*>(desktop.Control(kProgressWindow, kLogView));
  const QAbstractItemModel* rows = log->model();
  ASSERT_EQ(rows->rowCount(), kRows);
  for (int i = 0; i < kRows; ++i) {
    const QModelIndex row = rows->index(i, 0);
    const Colour colour = kRowColours[i % 5];
    ASSERT_EQ(row.data().toString().toStdString(), "row " + std::to_string(i));
    ASSERT_EQ(row.data(Qt::ForegroundRole).value<QColor>(),
              QColor(colour.red, colour.green, colour.blue))
        << i;
  }
  // The view followed the rows down, since nobody scrolled it away from the bottom.
  EXPECT_EQ(log->verticalScrollBar()->value(), log->verticalScrollBar()->maximum());
  EXPECT_GT(log->verticalScrollBar()->maximum(), 0);
  auto* bar = qobject_cast<QProgressBar*>(desktop.Control(kProgressWindow, kProgressBar));
  EXPECT_NEAR(double(bar->value()) / bar->maximum(), 0.5, 0.001);
}

}  // namespace
}  // namespace brisvel
