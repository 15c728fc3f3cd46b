#include "ui/plan_table.h"

#include <string>

#include "run/outcome_marks.h"
#include "ui/ui_texts.h"

namespace qtarvox {
namespace {

// Big enough that a long plan takes few turns of the window's thread, small
// enough that one turn stays short; a slow plan still shows its rows soon.
constexpr size_t kBatchRows = 2000;
constexpr auto kBatchWait = std::chrono::milliseconds(100);

QString FromBytes(std::string_view bytes) {
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace

uint64_t PlanTableModel::NewPlan() {
  beginResetModel();
  rows_.clear();
  rows_.shrink_to_fit();
  ++plan_;
  endResetModel();
  return plan_;
}

void PlanTableModel::Append(uint64_t plan, std::vector<PlanRow> rows) {
  if (plan != plan_ || rows.empty()) return;
  const int first = static_cast<int>(rows_.size());
  beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
  rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()),
               std::make_move_iterator(rows.end()));
  endInsertRows();
}

int PlanTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int PlanTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kPlanColumns;
}

const QString& PlanTableModel::Cell(const PlanRow& row, int column) {
  switch (column) {
    case kColumnOldName:
      return row.old_name;
    case kColumnNewName:
      return row.new_name;
    case kColumnFolder:
      return row.folder;
    default:
      return row.marks;
  }
}

QVariant PlanTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || static_cast<size_t>(index.row()) >= rows_.size()) return {};
  if (index.column() < 0 || index.column() >= kPlanColumns) return {};
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  return Cell(rows_[static_cast<size_t>(index.row())], index.column());
}

PlanRowsShown::PlanRowsShown(PlanTableModel* rows, QObject* parent)
    : QSortFilterProxyModel(parent), rows_(rows) {
  setSourceModel(rows);
}

void PlanRowsShown::SetAttentionOnly(bool only) {
  attention_only_ = only;
  invalidateFilter();
}

bool PlanRowsShown::lessThan(const QModelIndex& left, const QModelIndex& right) const {
  return PlanTableModel::Cell(rows_->row(left.row()), left.column()) <
         PlanTableModel::Cell(rows_->row(right.row()), right.column());
}

bool PlanRowsShown::filterAcceptsRow(int source_row, const QModelIndex&) const {
  // A plain rename has no note; every other row has one.
  return !attention_only_ || !rows_->row(source_row).marks.isEmpty();
}

QVariant PlanTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  if (section < 0 || section >= kPlanColumns) return {};
  return QString::fromLatin1(ui_text::kPlanHeaders[section]);
}

void PlanRowSink::FileDone(const FileOutcome& outcome) {
  if (rows_.empty()) first_held_ = std::chrono::steady_clock::now();
  rows_.push_back({FromBytes(outcome.old_filename), FromBytes(outcome.filename),
                   FromBytes(outcome.directory), FromBytes(JoinedMarks(OutcomeMarks(outcome)))});
  if (rows_.size() >= kBatchRows || std::chrono::steady_clock::now() - first_held_ >= kBatchWait) {
    Flush();
  }
}

void PlanRowSink::Flush() {
  if (rows_.empty()) return;
  // Dropped by Qt if the model is gone before the window's thread gets to it.
  QMetaObject::invokeMethod(
      model_,
      [model = model_, plan = plan_, rows = std::move(rows_)]() mutable {
        model->Append(plan, std::move(rows));
      },
      Qt::QueuedConnection);
  rows_ = {};
}

}  // namespace qtarvox
