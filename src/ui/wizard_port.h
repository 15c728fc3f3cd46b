// The window's one way into the wizard. The screens read the job and the
// screen state through it and change them only through these calls; every
// rule they need is the wizard's (src/run/wizard.h), reached from here alone.
#pragma once

#include <string>

#include "engine/actions.h"
#include "engine/job.h"
#include "engine/ports.h"
#include "engine/validation.h"
#include "run/wizard.h"

namespace qtarvox {

class WizardPort {
 public:
  // A wizard holding `job`; messages and questions go to `prompter`, a
  // run's status and the viewer to `view`.
  WizardPort(Prompter& prompter, RunView& view, Job job);

  const Job& job() const { return wizard_.job(); }
  ScreenState screen() const { return wizard_.screen(); }
  Wizard& wizard() { return wizard_; }

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
  void NumberStyleChosen(ActionId id, NumberStyle style);
  void StartNumberGiven(ActionId id, bool given);
  void CaseSensitiveChosen(bool case_sensitive);
  void CapitalizeSpacesChosen(bool ticked);
  void CapitalizeUnderscoresChosen(bool ticked);

  // --- Leaving Step 1 ------------------------------------------------------------
  using Step1Check = qtarvox::Step1Check;
  // The Step 1 check with its message; when it passes, the chosen-action
  // snapshot and the remembered directory.
  Step1Check AcceptStep1();

  // A performed run waits for its Finished button: Step 1 stands still.
  bool RunFinished() const;

  // Quit's clean-up: the report files go, unless in suppressed mode.
  void Quit();

 private:
  Wizard wizard_;
};

}  // namespace qtarvox
