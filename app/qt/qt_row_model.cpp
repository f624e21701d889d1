#include "app/qt/qt_row_model.h"

#include <algorithm>
#include <iterator>

namespace brisvel {

int QtRowModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : Count();
}

QVariant QtRowModel::data(const QModelIndex& index, int role) const {
  const Row* row = At(index.row());
  if (row == nullptr) return {};
  switch (role) {
    case Qt::DisplayRole:
      return row->text;
    case Qt::ForegroundRole:
      return row->colour;
    case Qt::CheckStateRole:
      if (checkable_) return row->checked ? Qt::Checked : Qt::Unchecked;
      return {};
    default:
      return {};
  }
}

bool QtRowModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!checkable_ || role != Qt::CheckStateRole || At(index.row()) == nullptr) return false;
  SetRowChecked(index.row(), value.toInt() == Qt::Checked);
  return true;
}

Qt::ItemFlags QtRowModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = QAbstractListModel::flags(index);
  if (checkable_) flags |= Qt::ItemIsUserCheckable;
  return flags;
}

QVariant QtRowModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole) return title_;
  return {};
}

void QtRowModel::Insert(int position, std::vector<Row> rows) {
  if (rows.empty()) return;
  const int at = std::clamp(position, 0, Count());
  const int count = static_cast<int>(rows.size());
  beginInsertRows({}, at, at + count - 1);
  rows_.insert(rows_.begin() + at, std::make_move_iterator(rows.begin()),
               std::make_move_iterator(rows.end()));
  endInsertRows();
}

void QtRowModel::Remove(int position) {
  if (At(position) == nullptr) return;
  beginRemoveRows({}, position, position);
  rows_.erase(rows_.begin() + position);
  endRemoveRows();
}

void QtRowModel::Clear() {
  if (rows_.empty()) return;
  beginResetModel();
  rows_.clear();
  endResetModel();
}

void QtRowModel::SetRowText(int position, const QString& text) {
  if (At(position) == nullptr) return;
  rows_[position].text = text;
  const QModelIndex changed = index(position);
  emit dataChanged(changed, changed, {Qt::DisplayRole});
}

void QtRowModel::SetRowChecked(int position, bool checked) {
  if (At(position) == nullptr) return;
  rows_[position].checked = checked;
  const QModelIndex changed = index(position);
  emit dataChanged(changed, changed, {Qt::CheckStateRole});
}

bool QtRowModel::RowChecked(int position) const {
  const Row* row = At(position);
  return row != nullptr && row->checked;
}

const QtRowModel::Row* QtRowModel::At(int position) const {
  if (position < 0 || position >= Count()) return nullptr;
  return &rows_[position];
}

}  // namespace brisvel
