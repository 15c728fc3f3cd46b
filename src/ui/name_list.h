// The Step 2 lists: a list view over names kept as bytes. A list may hold a
// whole folder of a hundred thousand files; the view asks only for the rows
// it paints, so showing them costs no more than showing a few.
#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <memory>
#include <string>
#include <vector>

namespace qtarvox {

class NameListModel final : public QAbstractListModel {
 public:
  using Names = std::shared_ptr<const std::vector<std::string>>;

  explicit NameListModel(QObject* parent);

  // Shows `names`. Names equal to those shown change nothing (the view keeps
  // its selection); others reset the list, its selection with it.
  void Show(Names names);
  void Show(const std::vector<std::string>& names);
  const std::string& NameAt(size_t row) const { return (*names_)[row]; }

  int rowCount(const QModelIndex& parent = {}) const override;
  // The name as text; Qt::UserRole gives its bytes as they are.
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  Names names_;
};

// A list view with several rows selectable, its object name and tooltip,
// over a model of its own.
QListView* MakeNameList(const char* name, const char* tooltip, QWidget* parent);
NameListModel* NamesOf(const QListView* list);

// The selected rows, from first to last.
std::vector<size_t> SelectedRows(const QListView* list);

}  // namespace qtarvox
