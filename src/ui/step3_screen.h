// Step 3: the summary of the job, the collision option and its separator,
// the Process-file box, Preview and Perform (the run goes on a thread of its
// own, so the window keeps repainting and shows progress), the two View
// buttons, Back and the status label. In the preview box's place the plan
// table can show, file by file, what Perform will do.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "ui/layout.h"
#include "ui/screen.h"
#include "wizard/plan_task.h"

class QButtonGroup;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTableView;
class QTimer;

namespace qtarvox {

class PlanRowsShown;
class PlanTableModel;
class WindowRunView;
class Wizard;

class Step3Screen final : public Screen {
 public:
  struct Moves {
    std::function<void()> follow;  // the wizard may have moved to another step
    std::function<void()> back;    // Back: Step 2 as its button shows it
    std::function<void()> run_ending;  // a run is through; its end is told next
  };
  Step3Screen(Wizard& wizard, WindowRunView& view, Moves moves, QWidget* parent);

  void Position(const FrameMetrics& metrics) override;
  // Focus to the Preview button when it is enabled.
  void Entered() override;
  // Shows the wizard's state: summary, options, buttons, status, preview.
  void Render();

  void cmdPreview_Click();
  void cmdProceed3_Click();
  void cmdCancel3_Click();
  void cmdOP_Click();
  void cmdErr_Click();

 private:
  // The controls, made in the order the focus moves through them.
  void MakeFinalLists();
  void MakeCollisionControls();
  void MakeRunControls(WindowRunView& view);
  void MakePlanTable();
  void StartRun(bool preview);
  void RunEnded();
  void ShowPreview();
  void Relayout();
  // What the layout needs of the controls; metrics_ must be set.
  Step3Input LayoutInput() const;
  double LongestStatusHeight(double width) const;
  // The plan table, its toggle and its narrowing, in the preview box's place.
  void PlacePlanTable(const Step3Layout& s);
  // The plan table: the preview box or the table in its place.
  void ShowTable(bool shown);
  // The job changed: the plan shown is dropped at once, a new one follows.
  void JobChanged();
  // Drops the plan shown (and any rows still on their way) and stops the
  // plan under way.
  void StopPlan();
  // A new plan of the job, when the table is shown and no run is under way.
  void RefreshPlan();

  Wizard& wizard_;
  Moves moves_;
  std::optional<FrameMetrics> metrics_;
  std::string shown_preview_;  // what txtOP shows, once its slices are all in
  size_t preview_at_ = 0;      // how much of it txtOP has taken so far
  int preview_round_ = 0;      // a newer preview drops the slices left of an older one
  void AppendPreviewSlice(int round);

  QLabel* lblActionsFinal_;
  QListWidget* lstFinal_;
  QLabel* lblFilesFinal_;
  QPlainTextEdit* txtFinal_;
  QFrame* SepH6_;
  QFrame* SepV2_;
  QLabel* lblExisting_;
  QRadioButton* optDoNotRename_;
  QRadioButton* optOverwrite_;
  QRadioButton* optAppendNumber_;
  QButtonGroup* collision_;
  QLabel* lblSep_;
  QLineEdit* txtSep_;
  QFrame* SepH7_;
  QPushButton* cmdPreview_;
  QCheckBox* chkProcess_;
  QPushButton* cmdOP_;
  QPushButton* cmdErr_;
  QFrame* SepH8_;
  QFrame* SepH9_;
  QPushButton* cmdCancel3_;
  QPushButton* cmdProceed3_;
  QLabel* lblStatus_;
  QLabel* lblPreview_;
  QPlainTextEdit* txtOP_;

  QPushButton* cmdTable_;
  QCheckBox* chkAttention_;
  QTableView* tblPlan_;
  PlanTableModel* plan_model_;
  PlanRowsShown* plan_shown_;
  QTimer* plan_soon_;       // a burst of changes (typing) makes one plan
  bool plan_stale_ = true;  // the table needs a new plan when it shows
  PlanTask plan_task_;      // declared last: its threads end before the model goes
};

}  // namespace qtarvox
