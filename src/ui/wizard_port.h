// The window's one way into the job and the wizard's operations. The screens
// read the job through job() and change it only through these calls; every
// rule they need (the Step 1 check, the snapshot, the remembered directory,
// the clean-up on Quit, how a typed parameter is stored) is the core's, reached
// from here alone.
#pragma once

#include <string>

#include "engine/actions.h"
#include "engine/job.h"
#include "engine/ports.h"

namespace qtarvox {

class WizardPort {
 public:
  // Holds `job`; messages and questions go to `prompter`.
  WizardPort(Prompter& prompter, Job job);

  const Job& job() const { return job_; }

  // --- The action list ---------------------------------------------------------
  void SetTicked(int index, bool ticked);
  // The highlighted entry (list index), -1 for none.
  void SetHighlighted(int index);

  // --- The Step 1 parameter controls, stored at once for the highlighted
  // action `id`; ids a control does not serve change nothing.
  void txtAI1Changed(ActionId id, const std::string& text);
  void txtAI2Changed(ActionId id, const std::string& text);
  // A blank text changes nothing, so clearing the box keeps the start number.
  void txtAI3Changed(ActionId id, const std::string& text);
  // style: 1 normal (optAI1), 2 even (optAI2).
  void NumberStyleChosen(ActionId id, int style);
  void StartNumberGiven(ActionId id, bool given);
  void CaseSensitiveChosen(bool case_sensitive);
  void CapitalizeSpacesChosen(bool ticked);
  void CapitalizeUnderscoresChosen(bool ticked);

  // --- Leaving Step 1 ------------------------------------------------------------
  struct Step1Check {
    bool passed = false;
    int failing = -1;  // list index of the action whose check failed, or -1
  };
  // The Step 1 check with its message; when it passes, the chosen-action
  // snapshot and the remembered directory.
  Step1Check AcceptStep1();

  // A performed run waits for its Finished button: Step 1 stands still.
  bool RunFinished() const;

  // Quit's clean-up: the report files go, unless in suppressed mode.
  void Quit() const;

  // Opens a report file in the desktop's viewer, without waiting.
  static bool StartViewer(const std::string& path);

 private:
  Prompter& prompter_;
  Job job_;
};

}  // namespace qtarvox
