// The controls of the desktop backend: one widget per kind, placed at its client position,
// and the events each raises.
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeView>
#include <functional>

#include "app/qt/qt_row_model.h"
#include "app/qt/qt_ui.h"

namespace brisvel {
namespace {

// Calls back on every key pressed in the watched object, before the object handles it.
class KeyWatcher : public QObject {
 public:
  KeyWatcher(std::function<void()> onKey, QObject* parent)
      : QObject(parent), onKey_(std::move(onKey)) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) onKey_();
    return false;
  }

 private:
  std::function<void()> onKey_;
};

QLabel* MakeLabel(const ControlLayout& layout, QWidget* parent) {
  auto* label = new QLabel(QString::fromStdString(layout.caption), parent);
  // Captions show file names: never let one read as markup.
  label->setTextFormat(Qt::PlainText);
  const Qt::Alignment across =
      layout.kind == ControlKind::kCentredText ? Qt::AlignHCenter : Qt::AlignLeft;
  label->setAlignment(across | Qt::AlignTop);
  return label;
}

QPushButton* MakeButton(const ControlLayout& layout, QWidget* parent) {
  auto* button = new QPushButton(QString::fromStdString(layout.caption), parent);
  button->setAutoDefault(false);
  button->setDefault(layout.kind == ControlKind::kDefaultButton);
  return button;
}

QComboBox* MakeCombo(const ControlLayout& layout, QWidget* parent) {
  auto* combo = new QComboBox(parent);
  combo->setEditable(layout.kind == ControlKind::kEditableCombo);
  // Typed text is the job's filter, never a new entry of the list.
  combo->setInsertPolicy(QComboBox::NoInsert);
  for (const std::string& item : layout.items) combo->addItem(QString::fromStdString(item));
  combo->setCurrentIndex(-1);
  return combo;
}

QTreeView* MakeListView(const ControlLayout& layout, QtRowModel* model, QWidget* parent) {
  const bool report = layout.kind == ControlKind::kReportListView;
  auto* view = new QTreeView(parent);
  model->setParent(view);
  model->SetTitle(QString::fromStdString(layout.caption));
  view->setModel(model);
  view->setRootIsDecorated(false);
  view->setUniformRowHeights(true);
  view->setItemsExpandable(false);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setSelectionMode(QAbstractItemView::SingleSelection);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  view->header()->setStretchLastSection(false);
  view->header()->setSectionsMovable(false);
  view->header()->setSectionsClickable(false);
  view->header()->setVisible(report);
  view->header()->resizeSection(0, layout.columnWidth);
  QPalette palette = view->palette();
  // The selection stays as visible when the list loses the focus.
  for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
    palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
  }
  if (report) palette.setColor(QPalette::Base, Qt::white);
  view->setPalette(palette);
  if (!report) view->setContextMenuPolicy(Qt::CustomContextMenu);
  return view;
}

QProgressBar* MakeBar(QWidget* parent) {
  auto* bar = new QProgressBar(parent);
  bar->setTextVisible(false);
  bar->setRange(0, 1);
  bar->setValue(0);
  return bar;
}

}  // namespace

void QtUi::AddControl(int window, const ControlLayout& layout) {
  QWidget* parent = Window(window);
  if (parent == nullptr) return;
  QWidget* widget = nullptr;
  switch (layout.kind) {
    case ControlKind::kFrame:
      widget = new QGroupBox(QString::fromStdString(layout.caption), parent);
      break;
    case ControlKind::kText:
    case ControlKind::kCentredText:
      widget = MakeLabel(layout, parent);
      break;
    case ControlKind::kButton:
    case ControlKind::kDefaultButton:
      widget = MakeButton(layout, parent);
      break;
    case ControlKind::kCheckBox:
      widget = new QCheckBox(QString::fromStdString(layout.caption), parent);
      break;
    case ControlKind::kOptionButton:
      widget = new QRadioButton(QString::fromStdString(layout.caption), parent);
      break;
    case ControlKind::kEdit:
      widget = new QLineEdit(QString::fromStdString(layout.caption), parent);
      break;
    case ControlKind::kEditableCombo:
    case ControlKind::kDropDownList:
      widget = MakeCombo(layout, parent);
      break;
    case ControlKind::kCheckListView:
    case ControlKind::kReportListView: {
      auto* model = new QtRowModel(layout.kind == ControlKind::kCheckListView);
      models_[{window, layout.id}] = model;
      widget = MakeListView(layout, model, parent);
      break;
    }
    case ControlKind::kProgressBar:
      widget = MakeBar(parent);
      break;
  }
  const Rect& r = layout.rect;
  widget->setGeometry(r.x, r.y, r.width, r.height);
  widget->setObjectName(QString("control%1").arg(layout.id));
  controls_[{window, layout.id}] = widget;
  ConnectControl(window, layout.id, layout.kind, widget);
  widget->show();
}

void QtUi::ConnectControl(int window, int id, ControlKind kind, QWidget* widget) {
  auto raise = [this, window, id](EventType type) {
    return [this, window, id, type] { Raise({window, id, type}); };
  };
  switch (kind) {
    case ControlKind::kButton:
    case ControlKind::kDefaultButton:
    case ControlKind::kCheckBox:
    case ControlKind::kOptionButton:
      QObject::connect(static_cast<QAbstractButton*>(widget), &QAbstractButton::clicked, &context_,
                       raise(EventType::kClick));
      break;
    case ControlKind::kEdit:
      // Only the user's typing: a field the program fills raises nothing.
      QObject::connect(static_cast<QLineEdit*>(widget), &QLineEdit::textEdited, &context_,
                       raise(EventType::kTextChanged));
      break;
    case ControlKind::kEditableCombo:
      QObject::connect(static_cast<QComboBox*>(widget)->lineEdit(), &QLineEdit::textEdited,
                       &context_, raise(EventType::kComboTextTyped));
      [[fallthrough]];
    case ControlKind::kDropDownList: {
      auto* combo = static_cast<QComboBox*>(widget);
      QObject::connect(combo, &QComboBox::activated, &context_, raise(EventType::kSelectionChange));
      break;
    }
    case ControlKind::kCheckListView: {
      auto* view = static_cast<QTreeView*>(widget);
      QObject::connect(view, &QAbstractItemView::clicked, &context_, raise(EventType::kClick));
      // A row reached with the arrow keys is shown like a clicked one; otherwise the panel
      // would show, and take edits for, a job whose row is not the highlighted one.
      view->installEventFilter(new KeyWatcher(
          [this, view, window, id] {
            const int before = view->currentIndex().row();
            QTimer::singleShot(0, view, [this, view, window, id, before] {
              if (view->currentIndex().row() != before) Raise({window, id, EventType::kClick});
            });
          },
          view));
      QObject::connect(view, &QAbstractItemView::doubleClicked, &context_,
                       raise(EventType::kDoubleClick));
      QObject::connect(view, &QWidget::customContextMenuRequested, &context_,
                       raise(EventType::kSelectionChange));
      break;
    }
    default:
      break;
  }
}

}  // namespace brisvel
