// The one window, frmMain: title, the two rules, the five navigation buttons
// and the stack of screen panels of which one is shown at a time. Navigation
// (which panel, which Step button) lives here; what happens inside a screen
// lives in the screen's own class.
#pragma once

#include <QMainWindow>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "engine/job.h"
#include "ui/layout.h"
#include "ui/screen.h"
#include "ui/window_ports.h"
#include "wizard/wizard.h"

class QFrame;
class QLabel;
class QPushButton;

namespace qtarvox {

class IntroScreen;
class UndoControl;
class Step1Screen;
class Step2Screen;
class Step3Screen;

class MainWindow final : public QMainWindow {
 public:
  // The window over `job`: a fresh job for a plain start.
  explicit MainWindow(Job job = Job());
  ~MainWindow() override;

  // Takes the available area of the window's screen (the desktop's panels
  // excluded) at its top-left corner.
  void PlaceOnScreen();
  // Where the window goes when it is restored from maximised: nine tenths of
  // the available area, in its middle.
  QRect RestoredGeometry() const;

  // Reads a job from the command line (arguments without the program name)
  // and presses the wizard's buttons as a user would, so the window ends on
  // Step 3 or on the step whose check failed. `show` is called once the job
  // is read, before the first press.
  void StartFromCommandLine(const std::vector<std::string>& args,
                            const std::function<void()>& show);

  // Navigation. Each works when called directly as well as by its button.
  void cmdStep1_Click();
  void cmdStep2_Click();
  void cmdStep3_Click();
  void cmdHelp_Click();
  void cmdQuit_Click();
  // Undoes the last perform not yet undone, after showing what that does.
  void cmdUndo_Click();
  // Hides the eight screen panels; every screen change starts with it.
  void HideAllPanels();
  // After an operation of the wizard: the screen of the step it is on now
  // (unless Help is shown), and every screen as the wizard has it.
  void Follow();

  // The wizard the screens drive: they read its job and screen state, and
  // change them only through its operations, on this thread.
  const Wizard& wizard() const { return wizard_; }
  Wizard& wizard() { return wizard_; }
  WindowRunView& run_view() { return run_view_; }

  // The smallest window the layout keeps whole.
  static constexpr QSize kMinimumSize{800, 600};

 protected:
  // Closing the window while a run renames files asks first; the run then
  // stops between two files.
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // The parts of the window, made in the order the focus moves through them.
  void MakeTitle();
  void MakeNavigation();
  void MakeScreens();
  enum class Step { k1, k2, k3 };
  // What became of the question whether to stop the run under way.
  enum class StopAnswer { kStop, kGoOn, kRunEnded };
  StopAnswer AskStopRun();
  // A run's end closes the question asked about it, and leaves Help for the
  // step that ran, before its own messages are shown.
  void RunEnding();
  void EnableOnlyStepButton(Step step);
  void ApplyStepButtons();
  void ShowPanelOf(WizardStep step);
  void RenderAll();
  // The undo button shows on the Intro screen and on Step 3 once performed,
  // while a perform waits to be undone; it is enabled while nothing runs.
  void ApplyUndoButton();
  void PositionMainFrame();
  double OneLineHeight() const;

  QtPrompter prompter_;
  WindowRunView run_view_;
  Wizard wizard_;

  QWidget* frame_;
  QLabel* lblTitle_;
  QFrame* SepH1_;
  QFrame* SepH2_;
  std::array<QPushButton*, 5> nav_{};
  QPushButton* cmdStep1_;
  QPushButton* cmdStep2_;
  QPushButton* cmdStep3_;
  QPushButton* cmdHelp_;
  QPushButton* cmdQuit_;
  QPushButton* cmdUndo_;
  UndoControl* undo_;
  bool finished_seen_ = false;                            // the Finished state, as last followed
  std::array<bool, 3> step_enabled_{true, false, false};  // by the navigation
  WizardStep step_shown_ = WizardStep::kIntro;            // the step whose screen was shown last
  IntroScreen* pctIntro_;
  Step1Screen* pctStep1_;
  Step2Screen* pctStep2_;
  Step3Screen* pctStep3_;
  Screen* pctHelp_;
  Screen* pctDir_;
  Screen* pctIndividual_;
  Screen* pctExtension_;
  std::array<Screen*, 8> panels_{};
  QMessageBox* stop_question_ = nullptr;  // while it is asked
  bool stop_question_outrun_ = false;     // the run ended while it was asked
};

}  // namespace qtarvox
