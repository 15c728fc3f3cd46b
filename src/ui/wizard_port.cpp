#include "ui/wizard_port.h"

#include <algorithm>

#include "engine/numeric.h"
#include "engine/validation.h"
#include "platform/chars.h"
#include "run/job_reset.h"
#include "run/report_view.h"
#include "run/settings.h"

namespace qtarvox {

WizardPort::WizardPort(Prompter& prompter, Job job) : prompter_(prompter), job_(std::move(job)) {}

void WizardPort::SetTicked(int index, bool ticked) {
  if (index >= 0 && index < static_cast<int>(job_.lstActions.size())) {
    job_.lstActions[static_cast<size_t>(index)].ticked = ticked;
  }
}

void WizardPort::SetHighlighted(int index) { job_.highlighted = index; }

void WizardPort::txtAI1Changed(ActionId id, const std::string& text) {
  switch (id) {
    case ActionId::kDeleteLast:
      job_.DeleteLastCount = NumericValue(Trim(text));
      break;
    case ActionId::kDeleteFirst:
      job_.DeleteFirstCount = RoundHalfEvenClamped(NumericValue(Trim(text)));
      break;
    case ActionId::kReplace:
      job_.ReplaceSearch = text;
      break;
    case ActionId::kAddBeginning:
      job_.AddBeginningText = text;
      break;
    case ActionId::kAddEnd:
      job_.AddEndText = text;
      break;
    case ActionId::kChangeExtension:
      job_.NewExtension = Trim(text);
      break;
    case ActionId::kCompleteRename:
      job_.NewFilename = Trim(text);
      break;
    default:
      break;
  }
}

void WizardPort::txtAI2Changed(ActionId id, const std::string& text) {
  if (id == ActionId::kReplace) job_.ReplaceWith = text;
}

void WizardPort::txtAI3Changed(ActionId id, const std::string& text) {
  const std::string trimmed = Trim(text);
  if (trimmed.empty()) return;
  (id == ActionId::kNumberEnd ? job_.NumberEndStart : job_.NumberBeginningStart) = trimmed;
}

void WizardPort::NumberStyleChosen(ActionId id, int style) {
  if (id == ActionId::kNumberEnd) job_.NumberEndStyle = style;
  if (id == ActionId::kNumberBeginning) job_.NumberBeginningStyle = style;
}

void WizardPort::StartNumberGiven(ActionId id, bool given) {
  (id == ActionId::kNumberEnd ? job_.NumberEndStartGiven : job_.NumberBeginningStartGiven) = given;
}

void WizardPort::CaseSensitiveChosen(bool case_sensitive) {
  job_.CaseSensitiveReplace = case_sensitive;
}

void WizardPort::CapitalizeSpacesChosen(bool ticked) { job_.CapitalizeSpaces = ticked; }

void WizardPort::CapitalizeUnderscoresChosen(bool ticked) { job_.CapitalizeUnderscores = ticked; }

WizardPort::Step1Check WizardPort::AcceptStep1() {
  const bool any_ticked = std::ranges::any_of(job_.lstActions, &ActionEntry::ticked);
  if (!qtarvox::AcceptStep1(job_, prompter_)) {
    // Without any ticked action nothing failed in particular: the highlight stays.
    return {false, any_ticked ? job_.highlighted : -1};
  }
  RestoreDirectory(job_);
  return {true, -1};
}

bool WizardPort::RunFinished() const { return job_.step3.cmdProceed3_tag == kTagDone; }

void WizardPort::Quit() const { QuitCleanup(job_); }

bool WizardPort::StartViewer(const std::string& path) { return StartDesktopViewer(path); }

}  // namespace qtarvox
