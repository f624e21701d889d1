#include "app/qt/qt_ui.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QShortcut>
#include <QSystemTrayIcon>
#include <QTreeView>
#include <algorithm>

#include "app/qt/qt_look.h"
#include "app/qt/qt_row_model.h"

namespace brisvel {
namespace {

// Calls back on every key pressed while a list or menu is open, before anything handles it.
class PopupKeyWatcher : public QObject {
 public:
  PopupKeyWatcher(std::function<void()> onKey, QObject* parent)
      : QObject(parent), onKey_(std::move(onKey)) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    const bool key = event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress;
    if (key && QApplication::activePopupWidget() != nullptr) onKey_();
    return false;
  }

 private:
  std::function<void()> onKey_;
};

// A top-level window whose close box asks the program instead of closing.
class TopWindow : public QWidget {
 public:
  explicit TopWindow(std::function<void()> onClose) : onClose_(std::move(onClose)) {}

 protected:
  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    onClose_();
  }

 private:
  std::function<void()> onClose_;
};

Qt::WindowFlags FlagsOf(const WindowLayout& layout) {
  Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (layout.minimiseBox) flags |= Qt::WindowMinimizeButtonHint;
  if (layout.alwaysOnTop) flags |= Qt::WindowStaysOnTopHint;
  return flags;
}

void Centre(QWidget& window) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  window.move(area.center() - QPoint(window.width() / 2, window.height() / 2));
}

// Moves a window that grew back inside the work area of its screen: up and left as far as it
// needs, never past the area's top or left edge, so that its title bar stays in reach.
void KeepInsideWorkArea(QWidget& window) {
  const QScreen* screen = window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  const QRect frame = window.frameGeometry();
  QPoint at = frame.topLeft();
  at.setY(std::max(area.top(), std::min(at.y(), area.bottom() - frame.height() + 1)));
  at.setX(std::max(area.left(), std::min(at.x(), area.right() - frame.width() + 1)));
  if (at != frame.topLeft()) window.move(at);
}

QString ToQt(const std::string& text) {
  return QString::fromStdString(text);
}

QColor ToQt(Colour colour) {
  return QColor(colour.red, colour.green, colour.blue);
}

QKeySequence KeyOf(ShortcutKey key) {
  switch (key) {
    case ShortcutKey::kReturn:
      return Qt::Key_Return;
    case ShortcutKey::kEscape:
      return Qt::Key_Escape;
    case ShortcutKey::kF1:
      return Qt::Key_F1;
    case ShortcutKey::kCtrlO:
      return QKeySequence(Qt::CTRL | Qt::Key_O);
  }
  return Qt::Key_unknown;
}

}  // namespace

QtUi::QtUi() : runDialog_([](QDialog& d) { return d.exec(); }) {
  // The program keeps no settings of its own, yet Qt's file dialogs write theirs (the last
  // folder seen, a history) into the user's configuration folder. A place where no file can
  // ever be made keeps them in memory only.
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, "/dev/null");
  // A key can reach the program addressed to the window below an open list (the display
  // moves the keyboard to the list a little later): the list takes it and closes before the
  // window's shortcuts are matched, so the shortcut alone cannot tell. Watching every key
  // before anything handles it can.
  QCoreApplication::instance()->installEventFilter(new PopupKeyWatcher(
      [this] {
        popupKeyPressed_ = true;
        QTimer::singleShot(0, &context_, [this] { popupKeyPressed_ = false; });
      },
      &context_));
  // A Qt timer also fires inside the loops of message boxes, dialogs and menus.
  periodicTimer_.setInterval(kPeriodicWorkInterval);
  QObject::connect(&periodicTimer_, &QTimer::timeout, &context_, [this] {
    if (periodicWork_) periodicWork_();
  });
  periodicTimer_.start();
}

QtUi::~QtUi() {
  periodicTimer_.stop();
  menus_.clear();
  tray_.reset();
  windows_.clear();
}

// Scrolls only a view that was at its bottom, so a user who scrolled up to read keeps his
// place.
void QtUi::InsertRows(int window, int control, int64_t index, std::vector<NewRow> rows) {
  QtRowModel* model = Rows(window, control);
  auto* view = qobject_cast<QTreeView*>(Control(window, control));
  if (model == nullptr || view == nullptr || rows.empty()) return;
  std::vector<QtRowModel::Row> shown;
  shown.reserve(rows.size());
  for (const NewRow& row : rows) shown.push_back({ToQt(row.text), ToQt(row.colour), false});
  const QScrollBar* bar = view->verticalScrollBar();
  const bool atBottom = bar->value() >= bar->maximum();
  const int count = static_cast<int>(shown.size());
  const int at = static_cast<int>(std::min<int64_t>(index, model->Count()));
  model->Insert(at, std::move(shown));
  if (atBottom) view->scrollTo(model->index(at + count - 1));
}

void QtUi::Raise(const UiEvent& event) {
  events_.push_back(event);
  if (waiting_ != nullptr) waiting_->quit();
}

std::optional<UiEvent> QtUi::WaitEvent(std::chrono::milliseconds timeout) {
  if (events_.empty() && timeout.count() > 0) {
    // A loop of its own per wait: it sleeps until an event or the timeout, and unlike a bare
    // processEvents it also deletes what Qt has scheduled for deletion.
    QEventLoop loop;
    QTimer::singleShot(timeout, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    waiting_ = &loop;
    loop.exec();
    waiting_ = nullptr;
  } else if (events_.empty()) {
    QCoreApplication::processEvents();
  }
  if (events_.empty()) return std::nullopt;
  const UiEvent event = events_.front();
  events_.pop_front();
  return event;
}

bool QtUi::CreateWindow(const WindowLayout& layout) {
  const int id = layout.id;
  auto window = std::make_unique<TopWindow>([this, id] {
    Raise({id, 0, EventType::kCloseRequest});
  });
  window->setWindowFlags(FlagsOf(layout));
  window->setWindowTitle(ToQt(layout.title));
  window->setWindowIcon(BrisvelIcon());
  window->setFixedSize(layout.width, layout.height);
  Centre(*window);
  windows_[id] = std::move(window);
  return true;
}

void QtUi::AddShortcut(int window, ShortcutKey key, int menuEvent) {
  QWidget* parent = Window(window);
  if (parent == nullptr) return;
  std::vector<QKeySequence> keys{KeyOf(key)};
  if (key == ShortcutKey::kReturn) keys.emplace_back(Qt::Key_Enter);
  for (const QKeySequence& sequence : keys) {
    auto* shortcut = new QShortcut(sequence, parent);
    QObject::connect(shortcut, &QShortcut::activated, &context_, [this, window, menuEvent] {
      // An open list or menu owns the keys: Return there picks an item.
      if (QApplication::activePopupWidget() != nullptr || popupKeyPressed_) return;
      Raise({window, menuEvent, EventType::kMenuItem});
    });
  }
}

void QtUi::ShowWindow(int window, bool visible) {
  if (QWidget* shown = Window(window)) shown->setVisible(visible);
}

bool QtUi::WindowVisible(int window) {
  const QWidget* shown = Window(window);
  return shown != nullptr && shown->isVisible();
}

void QtUi::MinimiseWindow(int window) {
  if (QWidget* shown = Window(window)) shown->showMinimized();
}

void QtUi::ActivateWindow(int window) {
  QWidget* shown = Window(window);
  if (shown == nullptr) return;
  if (shown->isMinimized()) shown->showNormal();
  shown->raise();
  shown->activateWindow();
}

void QtUi::ResizeWindow(int window, int width, int height) {
  QWidget* shown = Window(window);
  if (shown == nullptr) return;
  shown->setFixedSize(width, height);
  // The progress window grows downwards when its log is shown; on a small or scaled screen
  // its bottom, with the totals, would go below the screen.
  if (shown->isVisible()) KeepInsideWorkArea(*shown);
}

void QtUi::SetTitle(int window, const std::string& title) {
  if (QWidget* shown = Window(window)) shown->setWindowTitle(ToQt(title));
}

void QtUi::SetText(int window, int control, const std::string& text) {
  QWidget* widget = Control(window, control);
  const QString shown = ToQt(text);
  if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(shown);
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(shown);
  } else if (auto* field = qobject_cast<QLineEdit*>(widget)) {
    field->setText(shown);
  } else if (auto* combo = qobject_cast<QComboBox*>(widget); combo && combo->isEditable()) {
    combo->setEditText(shown);
  } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
    frame->setTitle(shown);
  }
}

std::string QtUi::Text(int window, int control) {
  QWidget* widget = Control(window, control);
  QString text;
  if (auto* label = qobject_cast<QLabel*>(widget)) {
    text = label->text();
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    text = button->text();
  } else if (auto* field = qobject_cast<QLineEdit*>(widget)) {
    text = field->text();
  } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    text = combo->currentText();
  } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
    text = frame->title();
  }
  return text.toStdString();
}

void QtUi::SetChecked(int window, int control, bool checked) {
  if (auto* box = qobject_cast<QAbstractButton*>(Control(window, control))) {
    box->setChecked(checked);
  }
}

bool QtUi::Checked(int window, int control) {
  auto* box = qobject_cast<QAbstractButton*>(Control(window, control));
  return box != nullptr && box->isChecked();
}

void QtUi::SetSelection(int window, int control, int index) {
  if (auto* combo = qobject_cast<QComboBox*>(Control(window, control))) {
    combo->setCurrentIndex(index);
  }
}

int QtUi::Selection(int window, int control) {
  auto* combo = qobject_cast<QComboBox*>(Control(window, control));
  return combo != nullptr ? combo->currentIndex() : -1;
}

void QtUi::SetEnabled(int window, int control, bool enabled) {
  if (QWidget* widget = Control(window, control)) widget->setEnabled(enabled);
}

bool QtUi::Enabled(int window, int control) {
  const QWidget* widget = Control(window, control);
  return widget != nullptr && widget->isEnabled();
}

void QtUi::SetFocus(int window, int control) {
  if (QWidget* widget = Control(window, control)) widget->setFocus();
}

void QtUi::SetRowText(int window, int control, int row, const std::string& text) {
  if (QtRowModel* model = Rows(window, control)) model->SetRowText(row, ToQt(text));
}

void QtUi::SetRowChecked(int window, int control, int row, bool checked) {
  if (QtRowModel* model = Rows(window, control)) model->SetRowChecked(row, checked);
}

bool QtUi::RowChecked(int window, int control, int row) {
  const QtRowModel* model = Rows(window, control);
  return model != nullptr && model->RowChecked(row);
}

void QtUi::DeleteRow(int window, int control, int row) {
  if (QtRowModel* model = Rows(window, control)) model->Remove(row);
}

void QtUi::ClearRows(int window, int control) {
  if (QtRowModel* model = Rows(window, control)) model->Clear();
}

int QtUi::RowCount(int window, int control) {
  const QtRowModel* model = Rows(window, control);
  return model != nullptr ? model->Count() : 0;
}

void QtUi::SelectRow(int window, int control, int row) {
  auto* view = qobject_cast<QTreeView*>(Control(window, control));
  QtRowModel* model = Rows(window, control);
  if (view == nullptr || model == nullptr) return;
  if (model->At(row) == nullptr) {
    view->clearSelection();
    return;
  }
  view->setCurrentIndex(model->index(row));
  view->scrollTo(model->index(row));
}

int QtUi::SelectedRow(int window, int control) {
  auto* view = qobject_cast<QTreeView*>(Control(window, control));
  if (view == nullptr || view->selectionModel() == nullptr) return -1;
  const QModelIndexList selected = view->selectionModel()->selectedRows();
  return selected.isEmpty() ? -1 : selected.first().row();
}

void QtUi::FitColumn(int window, int control) {
  if (auto* view = qobject_cast<QTreeView*>(Control(window, control))) {
    view->resizeColumnToContents(0);
    // As the last column of a list view does on Windows, the column also fills the rest of
    // the view: short rows leave no bare strip of header beside it.
    view->setColumnWidth(0, std::max(view->columnWidth(0), view->viewport()->width()));
  }
}

void QtUi::DrawBar(int window, int control, int maximum, int value) {
  auto* bar = qobject_cast<QProgressBar*>(Control(window, control));
  if (bar == nullptr) return;
  bar->setRange(0, maximum);
  bar->setValue(value);
}

void QtUi::SetProgressColour(int window, int control, Colour colour) {
  QWidget* bar = Control(window, control);
  if (bar == nullptr) return;
  QPalette palette = bar->palette();
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    palette.setColor(group, QPalette::Highlight, ToQt(colour));
  }
  bar->setPalette(palette);
}

void QtUi::CreatePopupMenu(int menu, const std::vector<MenuItem>& items) {
  auto created = std::make_unique<QMenu>();
  for (const MenuItem& item : items) {
    if (item.id < 0) {
      created->addSeparator();
      continue;
    }
    QAction* action = created->addAction(ToQt(item.caption));
    action->setData(item.id);
    const int id = item.id;
    QObject::connect(action, &QAction::triggered, &context_, [this, id] {
      Raise({kMainWindow, id, EventType::kMenuItem});
    });
  }
  menus_[menu] = std::move(created);
}

void QtUi::SetMenuItemEnabled(int menu, int item, bool enabled) {
  if (QMenu* found = Menu(menu)) {
    for (QAction* action : found->actions()) {
      if (!action->isSeparator() && action->data().toInt() == item) action->setEnabled(enabled);
    }
  }
}

void QtUi::ShowPopupMenu(int menu) {
  if (QMenu* found = Menu(menu)) found->popup(QCursor::pos());
}

void QtUi::ShowTrayIcon(const std::string& tip) {
  if (!tray_) {
    tray_ = std::make_unique<QSystemTrayIcon>(BrisvelIcon());
    QObject::connect(
        tray_.get(), &QSystemTrayIcon::activated, &context_,
        [this](QSystemTrayIcon::ActivationReason reason) {
          // A double click first reports a single click: that one does nothing.
          if (reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Context) {
            Raise({kMainWindow, 0, EventType::kTrayActivate});
          }
        });
  }
  tray_->setToolTip(ToQt(tip));
  tray_->show();
}

void QtUi::SetTrayTip(const std::string& tip) {
  if (tray_) tray_->setToolTip(ToQt(tip));
}

void QtUi::RemoveTrayIcon() {
  if (tray_) tray_->hide();
}

bool QtUi::TrayAvailable() {
  return QSystemTrayIcon::isSystemTrayAvailable();
}

QWidget* QtUi::Window(int window) const {
  auto found = windows_.find(window);
  return found != windows_.end() ? found->second.get() : nullptr;
}

QWidget* QtUi::Control(int window, int control) const {
  auto found = controls_.find({window, control});
  return found != controls_.end() ? found->second.data() : nullptr;
}

QMenu* QtUi::Menu(int menu) const {
  auto found = menus_.find(menu);
  return found != menus_.end() ? found->second.get() : nullptr;
}

QtRowModel* QtUi::Rows(int window, int control) const {
  auto found = models_.find({window, control});
  return found != models_.end() ? found->second : nullptr;
}

}  // namespace brisvel
