// The rows of a list view: text, text colour and, in a check-box list, the check state. Rows
// come in blocks so that a batch of log rows costs the view one insertion.
#pragma once

#include <QAbstractListModel>
#include <QColor>
#include <QString>
#include <vector>

namespace brisvel {

class QtRowModel : public QAbstractListModel {
 public:
  struct Row {
    QString text;
    QColor colour;
    bool checked = false;
  };

  explicit QtRowModel(bool checkable, QObject* parent = nullptr)
      : QAbstractListModel(parent), checkable_(checkable) {}

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  void SetTitle(const QString& title) { title_ = title; }
  // Inserts `rows` before `position` (clamped to the list) in one step.
  void Insert(int position, std::vector<Row> rows);
  void Remove(int position);
  void Clear();
  void SetRowText(int position, const QString& text);
  void SetRowChecked(int position, bool checked);
  bool RowChecked(int position) const;
  const Row* At(int position) const;
  int Count() const { return static_cast<int>(rows_.size()); }

 private:
  bool checkable_;
  QString title_;
  std::vector<Row> rows_;
};

}  // namespace brisvel
