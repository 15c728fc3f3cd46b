// The plan table of Step 3: what the perform would do to each file (the plan
// the command line's --preview prints), a row per file, filled while the plan
// runs on a thread of its own.
#pragma once

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QString>
#include <chrono>
#include <memory>
#include <vector>

#include "engine/file_outcome.h"

namespace qtarvox {

struct PlanRow {
  QString old_name, new_name, folder;
  QString marks;  // what happens besides a plain rename; empty for one
};

enum PlanColumn { kColumnOldName, kColumnNewName, kColumnFolder, kColumnMarks, kPlanColumns };

// The rows of one plan at a time. Rows come in batches tagged with the plan
// they belong to; those of any plan but the current one are dropped, so the
// table never mixes two plans.
class PlanTableModel final : public QAbstractTableModel {
 public:
  explicit PlanTableModel(QObject* parent) : QAbstractTableModel(parent) {}

  // Empties the table for a new plan, whose number is returned.
  uint64_t NewPlan();
  uint64_t plan() const { return plan_; }
  void Append(uint64_t plan, std::vector<PlanRow> rows);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  const PlanRow& row(int index) const { return rows_[static_cast<size_t>(index)]; }
  static const QString& Cell(const PlanRow& row, int column);

 private:
  std::vector<PlanRow> rows_;
  uint64_t plan_ = 0;
};

// The rows as the table shows them: sorted by a column, or in the plan's
// order, and all of them or only those with a note. Compares the texts
// themselves, not their variants: a long plan sorts in a fraction of the time.
class PlanRowsShown final : public QSortFilterProxyModel {
 public:
  PlanRowsShown(PlanTableModel* rows, QObject* parent);
  void SetAttentionOnly(bool only);

 protected:
  bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
  bool filterAcceptsRow(int source_row, const QModelIndex& source_parent) const override;

 private:
  PlanTableModel* rows_;
  bool attention_only_ = false;
};

// Hears the outcomes of a plan on its thread and hands them to the model a
// batch at a time through queued calls: the window's thread takes each batch
// in a short turn of its own and repaints in between.
class PlanRowSink final : public FileOutcomeSink {
 public:
  // `model` outlives the plan's thread.
  PlanRowSink(PlanTableModel* model, uint64_t plan) : model_(model), plan_(plan) {}
  ~PlanRowSink() override { Flush(); }
  void FileDone(const FileOutcome& outcome) override;
  // Hands over the rows held back.
  void Flush();

 private:
  PlanTableModel* model_;
  uint64_t plan_;
  std::vector<PlanRow> rows_;
  std::chrono::steady_clock::time_point first_held_;
};

}  // namespace qtarvox
