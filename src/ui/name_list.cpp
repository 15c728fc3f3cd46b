#include "ui/name_list.h"

#include <QItemSelectionModel>
#include <algorithm>

#include "ui/widgets.h"

namespace qtarvox {

NameListModel::NameListModel(QObject* parent)
    : QAbstractListModel(parent), names_(std::make_shared<const std::vector<std::string>>()) {}

void NameListModel::Show(Names names) {
  if (names == names_) return;
  if (*names == *names_) {
    names_ = std::move(names);
    return;
  }
  beginResetModel();
  names_ = std::move(names);
  endResetModel();
}

void NameListModel::Show(const std::vector<std::string>& names) {
  if (names == *names_) return;
  Show(std::make_shared<const std::vector<std::string>>(names));
}

int NameListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(names_->size());
}

QVariant NameListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const std::string& name = NameAt(static_cast<size_t>(index.row()));
  if (role == Qt::DisplayRole) return Shown(name);
  if (role == Qt::UserRole) return Kept(name);
  return {};
}

QListView* MakeNameList(const char* name, const char* tooltip, QWidget* parent) {
  auto* list = Make<QListView>(name, parent);
  list->setModel(new NameListModel(list));
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // One row's height stands for all: the view lays out a hundred thousand
  // rows without measuring each.
  list->setUniformItemSizes(true);
  list->setToolTip(QString::fromLatin1(tooltip));
  return list;
}

NameListModel* NamesOf(const QListView* list) { return static_cast<NameListModel*>(list->model()); }

std::vector<size_t> SelectedRows(const QListView* list) {
  std::vector<size_t> rows;
  for (const QModelIndex& index : list->selectionModel()->selectedRows()) {
    rows.push_back(static_cast<size_t>(index.row()));
  }
  std::sort(rows.begin(), rows.end());
  return rows;
}

}  // namespace qtarvox
