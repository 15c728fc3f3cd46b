#include "ui/wizard_port.h"

#include <algorithm>


namespace qtarvox {

WizardPort::WizardPort(Prompter& prompter, RunView& view, Job job) : wizard_(prompter, view) {
  wizard_.job() = std::move(job);
  // The Step 2 screen lists folders on a thread of its own.
  wizard_.ListFilesApart();
}

void WizardPort::SetTicked(int index, bool ticked) { wizard_.SetTicked(index, ticked); }

void WizardPort::SetHighlighted(int index) { wizard_.SetHighlighted(index); }

void WizardPort::txtAI1Changed(ActionId id, const std::string& text) {
  wizard_.txtAI1Changed(id, text);
}

void WizardPort::txtAI2Changed(ActionId id, const std::string& text) {
  wizard_.txtAI2Changed(id, text);
}

void WizardPort::txtAI3Changed(ActionId id, const std::string& text) {
  wizard_.txtAI3Changed(id, text);
}

void WizardPort::NumberStyleChosen(ActionId id, NumberStyle style) {
  wizard_.NumberStyleChosen(id, style);
}

void WizardPort::StartNumberGiven(ActionId id, bool given) { wizard_.StartNumberGiven(id, given); }

void WizardPort::CaseSensitiveChosen(bool case_sensitive) {
  wizard_.CaseSensitiveChosen(case_sensitive);
}

void WizardPort::CapitalizeSpacesChosen(bool ticked) { wizard_.CapitalizeSpacesChosen(ticked); }

void WizardPort::CapitalizeUnderscoresChosen(bool ticked) {
  wizard_.CapitalizeUnderscoresChosen(ticked);
}

WizardPort::Step1Check WizardPort::AcceptStep1() {
  if (wizard_.ProceedStep1()) return {true, -1};
  // Without any ticked action nothing failed in particular: the highlight stays.
  const bool any_ticked = std::ranges::any_of(wizard_.job().lstActions, &ActionEntry::ticked);
  return {false, any_ticked ? wizard_.screen().highlighted : -1};
}

bool WizardPort::RunFinished() const { return wizard_.screen().finished; }

void WizardPort::Quit() { wizard_.Quit(); }

}  // namespace qtarvox
