#include "ui/main_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <functional>

#include "run/report_view.h"
#include "ui/help_screen.h"
#include "ui/intro_screen.h"
#include "ui/step1_screen.h"
#include "ui/step2_screen.h"
#include "ui/step3_screen.h"
#include "ui/ui_texts.h"
#include "ui/undo_control.h"
#include "ui/widgets.h"
#include "wizard/window_start.h"

namespace qtarvox {
namespace {

// The central widget: lays the frame out again whenever its size changes.
class Frame final : public QWidget {
 public:
  Frame(QWidget* parent, std::function<void()> resized)
      : QWidget(parent), resized_(std::move(resized)) {}

 protected:
  void resizeEvent(QResizeEvent*) override { resized_(); }

 private:
  std::function<void()> resized_;
};

QFrame* MakeRule(const char* name, QWidget* parent) {
  auto* rule = new QFrame(parent);
  rule->setObjectName(QString::fromLatin1(name));
  rule->setFrameShape(QFrame::HLine);
  rule->setFrameShadow(QFrame::Sunken);
  return rule;
}

}  // namespace

MainWindow::MainWindow(Job job)
    : prompter_(this),
      run_view_([this](const std::string& path) {
        return StartWatchedViewer(path, [this, path] {
          prompter_.Tell(kViewerNotFound + path, kAppTitle);
        });
      }),
      wizard_(prompter_, run_view_) {
  wizard_.job() = std::move(job);
  // The Step 2 screen lists folders on a thread of its own.
  wizard_.ListFilesApart();
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QString::fromLatin1(ui_text::kWindowCaption));
  QFont window_font = font();
  window_font.setPointSizeF(ui_text::kWindowPoints);
  setFont(window_font);
  setMinimumSize(kMinimumSize);

  frame_ = new Frame(this, [this] { PositionMainFrame(); });
  setCentralWidget(frame_);

  MakeTitle();
  MakeNavigation();
  MakeScreens();
  // Below the screens, so it comes last in the Tab order too.
  cmdUndo_ = MakeButton<QPushButton>(ui_text::kCmdUndo, frame_);
  cmdUndo_->setAccessibleName(QString::fromLatin1(ui_text::kUndoAccessibleName));
  connect(cmdUndo_, &QPushButton::clicked, this, [this] { cmdUndo_Click(); });
  undo_ = new UndoControl(this, prompter_, [this] { ApplyUndoButton(); });
  panels_ = {pctIntro_, pctStep1_, pctStep2_,      pctStep3_,
             pctHelp_,  pctDir_,   pctIndividual_, pctExtension_};

  NameForScreenReaders(this);
  ShowPanelOf(WizardStep::kIntro);
  RenderAll();
}

void MainWindow::MakeTitle() {
  lblTitle_ = new QLabel(QString::fromLatin1(ui_text::kTitle), frame_);
  lblTitle_->setObjectName(QStringLiteral("lblTitle"));
  lblTitle_->setAlignment(Qt::AlignCenter);
  QFont title_font = lblTitle_->font();
  title_font.setPointSizeF(ui_text::kTitlePoints);
  title_font.setBold(true);
  lblTitle_->setFont(title_font);
  SepH1_ = MakeRule("SepH1", frame_);
  SepH2_ = MakeRule("SepH2", frame_);
}

void MainWindow::MakeNavigation() {
  for (size_t i = 0; i < nav_.size(); ++i) {
    const auto& text = ui_text::kNavButtons[i];
    nav_[i] = new QPushButton(QString::fromLatin1(text.caption), frame_);
    nav_[i]->setObjectName(QString::fromLatin1(text.name));
    nav_[i]->setToolTip(QString::fromLatin1(text.tooltip));
  }
  cmdStep1_ = nav_[0];
  cmdStep2_ = nav_[1];
  cmdStep3_ = nav_[2];
  cmdHelp_ = nav_[3];
  cmdQuit_ = nav_[4];
  connect(cmdStep1_, &QPushButton::clicked, this, [this] { cmdStep1_Click(); });
  connect(cmdStep2_, &QPushButton::clicked, this, [this] { cmdStep2_Click(); });
  connect(cmdStep3_, &QPushButton::clicked, this, [this] { cmdStep3_Click(); });
  connect(cmdHelp_, &QPushButton::clicked, this, [this] { cmdHelp_Click(); });
  connect(cmdQuit_, &QPushButton::clicked, this, [this] { cmdQuit_Click(); });
}

void MainWindow::MakeScreens() {
  pctIntro_ = new IntroScreen(frame_);
  pctStep1_ = new Step1Screen(wizard_,
                              {.accepted = [this] { Follow(); },
                               .back =
                                   [this] {
                                     wizard_.ShowIntro();
                                     Follow();
                                   }},
                              frame_);
  pctStep2_ = new Step2Screen(
      wizard_, [this] { Follow(); }, frame_);
  pctDir_ = pctStep2_->pctDir();
  pctExtension_ = pctStep2_->pctExtension();
  pctIndividual_ = pctStep2_->pctIndividual();
  pctStep3_ = new Step3Screen(wizard_, run_view_,
                              {.follow = [this] { Follow(); },
                               .back = [this] { cmdStep2_Click(); },
                               .run_ending = [this] { RunEnding(); }},
                              frame_);
  pctHelp_ = new HelpScreen(frame_);
}

MainWindow::~MainWindow() = default;

QRect MainWindow::RestoredGeometry() const {
  const QRect available = screen()->availableGeometry();
  QRect normal(QPoint(0, 0),
               (available.size() * 0.9).expandedTo(minimumSize()).boundedTo(available.size()));
  normal.moveCenter(available.center());
  return normal;
}

void MainWindow::PlaceOnScreen() {
  // The whole available area, maximised where a window manager maximises.
  setGeometry(screen()->availableGeometry());
  setWindowState(windowState() | Qt::WindowMaximized);
}

void MainWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange) return;
  const auto* change = static_cast<QWindowStateChangeEvent*>(event);
  // Restored from maximised, the window would take the whole area again,
  // with a window manager's title bar above the screen: nine tenths of the
  // area in the middle instead.
  if ((change->oldState() & Qt::WindowMaximized) != 0 &&
      (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)) == 0) {
    setGeometry(RestoredGeometry());
  }
}

double MainWindow::OneLineHeight() const {
  // The natural height of a one-line drop-down list in the window's font.
  QComboBox probe;
  probe.setFont(font());
  return probe.sizeHint().height();
}

void MainWindow::PositionMainFrame() {
  const MainFrameLayout f = qtarvox::PositionMainFrame(frame_->width(), frame_->height());
  lblTitle_->setGeometry(ToPixels(f.lblTitle));
  PlaceHorizontalRule(SepH1_, f.SepH1, 0, frame_->width());
  for (size_t i = 0; i < nav_.size(); ++i) nav_[i]->setGeometry(ToPixels(f.buttons[i]));
  PlaceHorizontalRule(SepH2_, f.SepH2, 0, frame_->width());
  cmdUndo_->setGeometry(ToPixels(
      PositionUndoButton(f, frame_->height(), CaptionWidth(cmdUndo_, ui_text::kCmdUndo.caption))));

  const FrameMetrics metrics{static_cast<double>(frame_->width()),
                             static_cast<double>(frame_->height()), OneLineHeight(), f.screen};
  const QRect screen_rect = ToPixels(f.screen);
  for (Screen* panel :
       std::initializer_list<Screen*>{pctIntro_, pctStep1_, pctStep2_, pctStep3_, pctHelp_}) {
    panel->setGeometry(screen_rect);
    panel->Position(metrics);
  }
}

void MainWindow::HideAllPanels() {
  for (Screen* panel : panels_) panel->hide();
}

void MainWindow::EnableOnlyStepButton(Step step) {
  step_enabled_ = {step == Step::k1, step == Step::k2, step == Step::k3};
  ApplyStepButtons();
}

void MainWindow::ApplyStepButtons() {
  // A performed run locks Step 1 and Step 2 until its Finished button; a run
  // under way locks all three.
  const ScreenState s = wizard_.screen();
  const bool locks[] = {s.cmdStep1_enabled, s.cmdStep2_enabled, s.cmdStep3_enabled};
  QPushButton* buttons[] = {cmdStep1_, cmdStep2_, cmdStep3_};
  for (size_t i = 0; i < step_enabled_.size(); ++i) {
    // Help during a run leads back to the step that runs.
    buttons[i]->setEnabled(step_enabled_[i] && locks[i] && (!s.running || pctHelp_->isVisible()));
  }
}

void MainWindow::ShowPanelOf(WizardStep step) {
  HideAllPanels();
  step_shown_ = step;
  switch (step) {
    case WizardStep::kIntro:
      // From the Intro screen only Step 1 opens.
      EnableOnlyStepButton(Step::k1);
      pctIntro_->show();
      break;
    case WizardStep::kStep1:
      pctStep1_->HideActionControls();
      EnableOnlyStepButton(Step::k1);
      pctStep1_->show();
      pctStep1_->Entered();
      break;
    case WizardStep::kStep2:
      EnableOnlyStepButton(Step::k2);
      pctStep2_->show();
      pctStep2_->Entered();
      break;
    case WizardStep::kStep3:
      EnableOnlyStepButton(Step::k3);
      pctStep3_->show();
      pctStep3_->Entered();
      break;
  }
  ApplyUndoButton();
}

void MainWindow::RenderAll() {
  pctStep1_->Render();
  pctStep2_->Render();
  pctStep3_->Render();
  ApplyStepButtons();
  ApplyUndoButton();
}

void MainWindow::ApplyUndoButton() {
  const ScreenState s = wizard_.screen();
  // Asked of the panels themselves: before the window is shown, none is visible.
  const bool place = !pctIntro_->isHidden() || (!pctStep3_->isHidden() && s.finished);
  cmdUndo_->setVisible(place && undo_->available());
  cmdUndo_->setEnabled(!s.running && !undo_->busy());
}

void MainWindow::cmdUndo_Click() {
  if (wizard_.screen().running || !undo_->available()) return;
  undo_->Start();
}

void MainWindow::Follow() {
  const WizardStep step = wizard_.screen().step;
  // A perform has just ended: it may have joined the undo history.
  if (wizard_.screen().finished != finished_seen_) {
    finished_seen_ = wizard_.screen().finished;
    if (finished_seen_) undo_->Refresh();
  }
  // Help stays on screen while a run that was started before ends.
  if (step != step_shown_ && !pctHelp_->isVisible()) ShowPanelOf(step);
  RenderAll();
}

void MainWindow::StartFromCommandLine(const std::vector<std::string>& args,
                                      const std::function<void()>& show) {
  FillWizard(wizard_, args, prompter_, show, [this] { Follow(); });
  Follow();
}

void MainWindow::cmdStep1_Click() {
  wizard_.ShowStep1();
  RenderAll();
  ShowPanelOf(WizardStep::kStep1);
}

void MainWindow::cmdStep2_Click() {
  wizard_.ShowStep2();
  ShowPanelOf(WizardStep::kStep2);
  RenderAll();
}

void MainWindow::cmdStep3_Click() {
  // Back from Help during a run: the summary stands as the run began.
  if (!wizard_.screen().running) wizard_.ShowStep3();
  ShowPanelOf(WizardStep::kStep3);
  RenderAll();
}

void MainWindow::cmdHelp_Click() {
  // The Step buttons keep their states: the enabled one leads back.
  HideAllPanels();
  pctHelp_->show();
  pctHelp_->Entered();
  ApplyStepButtons();
  ApplyUndoButton();
}

MainWindow::StopAnswer MainWindow::AskStopRun() {
  const auto box = MakeMessageBox(this, ui_text::kStopRunQuestion, kAppTitle,
                                  QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
  stop_question_ = box.get();
  stop_question_outrun_ = false;
  const bool stop = box->exec() == QMessageBox::Yes;
  stop_question_ = nullptr;
  if (stop_question_outrun_) return StopAnswer::kRunEnded;
  return stop ? StopAnswer::kStop : StopAnswer::kGoOn;
}

void MainWindow::RunEnding() {
  if (stop_question_ != nullptr) {
    stop_question_outrun_ = true;
    stop_question_->done(QMessageBox::No);
  }
  if (pctHelp_->isVisible()) ShowPanelOf(wizard_.screen().step);
}

void MainWindow::cmdQuit_Click() {
  if (wizard_.screen().running && AskStopRun() == StopAnswer::kGoOn) return;
  // Closing the window ends the program; closing it by other means (its close
  // box) skips the clean-up and leaves the report files.
  wizard_.Quit();
  close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // An undo under way has its own Stop; the window stays until it is through.
  if (undo_->busy()) {
    event->ignore();
    return;
  }
  if (wizard_.screen().running) {
    switch (AskStopRun()) {
      case StopAnswer::kGoOn:
        event->ignore();
        return;
      case StopAnswer::kStop:
        wizard_.Close();
        break;
      case StopAnswer::kRunEnded:  // the window closes as asked
        break;
    }
  }
  event->accept();
}

}  // namespace qtarvox
