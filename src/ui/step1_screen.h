// Step 1: the action list, the shared parameter controls of the highlighted
// action, its description, and the Back and Proceed buttons.
#pragma once

#include <functional>
#include <optional>

#include "engine/actions.h"
#include "ui/screen.h"

class QButtonGroup;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace qtarvox {

class Wizard;

class Step1Screen final : public Screen {
 public:
  struct Moves {
    std::function<void()> accepted;  // the check passed: on to Step 2
    std::function<void()> back;      // back to the Intro screen
  };
  Step1Screen(Wizard& wizard, Moves moves, QWidget* parent);

  void Position(const FrameMetrics& metrics) override;
  // Focus to the list; the highlighted action's information shown again.
  void Entered() override;

  // Fills the description box and shows the parameter controls of `id`,
  // filled from the job without changing it. Does nothing while a performed
  // run waits for its Finished button, or when no entry is highlighted.
  void ShowActionInfo(ActionId id);
  void HideActionControls();
  // Shows the ticks and the highlighted entry as the wizard has them.
  void Render();

  void cmdProceed1_Click();
  void cmdCancel1_Click();

 private:
  void FillActionList();
  void ConnectParameterControls();
  void lstActions_Click(int row);
  std::optional<ActionId> HighlightedId() const;
  void Relayout();

  Wizard& wizard_;
  Moves moves_;
  std::optional<FrameMetrics> metrics_;

  QLabel* lblActions_;
  QListWidget* lstActions_;
  QFrame* SepY1_;
  QFrame* SepH3_;
  QLabel* lblAddInfo_;
  QLabel* lblNone_;
  QLabel* lblAI1_;
  QLineEdit* txtAI1_;
  QLabel* lblAI2_;
  QLineEdit* txtAI2_;
  QRadioButton* optAI1_;
  QRadioButton* optAI2_;
  QRadioButton* optAI3_;
  QRadioButton* optAI4_;
  QButtonGroup* numbering_group_;
  QButtonGroup* case_group_;
  QCheckBox* chkAI1_;
  QCheckBox* chkAI2_;
  QCheckBox* chkAI3_;
  QLineEdit* txtAI3_;
  QLabel* lblDesc_;
  QPlainTextEdit* txtStep1Desc_;
  QPushButton* cmdCancel1_;
  QPushButton* cmdProceed1_;
};

}  // namespace qtarvox
