#include "engine/validation.h"

#include <limits>

#include "engine/messages.h"
#include "engine/numeric.h"
#include "platform/chars.h"

namespace qtarvox {
namespace {

constexpr char kForbidden[] = {'/', '\\', '?', '*', ':', '|', '<', '>'};

bool StartNumberFails(const std::string& start) {
  const std::string trimmed = Trim(start);
  if (trimmed.empty()) return true;
  const double value = NumericValue(trimmed);
  // Numbers are counted in 32-bit signed integers; a start beyond that range
  // could never be handed out.
  return value <= 0 || value > static_cast<double>(std::numeric_limits<int32_t>::max());
}

std::string ForbiddenText(const char* prefix, const std::string& ch, const char* suffix) {
  return std::string(prefix) + ch + suffix;
}

// The text of the failed check of one ticked action, or empty when it passes.
std::string CheckAction(JobSettings& job, ActionId id, bool& uppercase_seen, bool& lowercase_seen) {
  switch (id) {
    case ActionId::kUppercase:
      uppercase_seen = true;
      return lowercase_seen ? msg::kCaseConflict : "";
    case ActionId::kLowercase:
      lowercase_seen = true;
      return uppercase_seen ? msg::kCaseConflict : "";
    case ActionId::kDeleteLast:
      return job.DeleteLastCount <= 0 ? msg::kDeleteLastCount : "";
    case ActionId::kDeleteFirst:
      return job.DeleteFirstCount <= 0 ? msg::kDeleteFirstCount : "";
    case ActionId::kReplace: {
      if (job.ReplaceSearch.empty()) return msg::kReplaceSearchEmpty;
      const std::string ch = InvalidNameChar(job.ReplaceWith);
      return ch.empty()
                 ? ""
                 : ForbiddenText(msg::kFilenamesCannotContain, ch, msg::kRemoveFromReplacing);
    }
    case ActionId::kAddBeginning:
    case ActionId::kAddEnd: {
      const bool beginning = id == ActionId::kAddBeginning;
      const std::string& text = beginning ? job.AddBeginningText : job.AddEndText;
      if (text.empty()) return beginning ? msg::kAddBeginningEmpty : msg::kAddEndEmpty;
      const std::string ch = InvalidNameChar(text);
      return ch.empty() ? ""
                        : ForbiddenText(msg::kFilenamesCannotContain, ch, msg::kRemoveFromAdded);
    }
    case ActionId::kNumberEnd:
      return job.NumberEndStartGiven && StartNumberFails(job.NumberEndStart) ? msg::kStartNumber
                                                                             : "";
    case ActionId::kNumberBeginning:
      return job.NumberBeginningStartGiven && StartNumberFails(job.NumberBeginningStart)
                 ? msg::kStartNumber
                 : "";
    case ActionId::kChangeExtension: {
      const std::string ch = InvalidNameChar(job.NewExtension);
      if (!ch.empty()) {
        return ForbiddenText(msg::kExtensionsCannotContain, ch, msg::kRemoveFromAdded);
      }
      const std::string trimmed = Trim(job.NewExtension);
      if (trimmed.empty() || trimmed[0] != '.') job.NewExtension = "." + trimmed;
      return "";
    }
    case ActionId::kCapitalize:
      return !job.CapitalizeSpaces && !job.CapitalizeUnderscores ? msg::kCapitalizeChoice : "";
    case ActionId::kCompleteRename:
      return Trim(job.NewFilename).empty() || !InvalidNameChar(job.NewFilename).empty()
                 ? msg::kNewFilename
                 : "";
    case ActionId::kReadOnly:
    case ActionId::kHidden:
    case ActionId::kNormal:
    case ActionId::kArchive:
    case ActionId::kClearName:
      return "";
  }
  return "";
}

}  // namespace

std::string InvalidNameChar(std::string_view text) {
  for (char c : kForbidden) {
    if (text.find(c) != std::string_view::npos) return std::string(1, c);
  }
  return "";
}

Step1Check ValidateStep1(JobSettings& job, std::vector<std::string>* dropped) {
  Step1Check check;
  bool result = true;
  bool some_action = false;
  bool uppercase_seen = false;
  bool lowercase_seen = false;
  int failing = 0;
  for (size_t i = 0; i < job.lstActions.size(); ++i) {
    ActionEntry& entry = job.lstActions[i];
    if (!entry.ticked) continue;
    some_action = true;
    failing = static_cast<int>(i);
    const std::string failure = CheckAction(job, entry.id, uppercase_seen, lowercase_seen);
    if (failure.empty()) continue;
    const std::string message = msg::kErrorInAction + std::to_string(i + 1) + " : \r\n" + failure;
    if (job.SuppressedMode) {
      entry.ticked = false;
      if (dropped != nullptr) dropped->push_back(message);
      continue;
    }
    check.message = message;
    result = false;
    break;
  }
  check.passed = result;
  check.failing = result ? -1 : failing;
  if (!job.SuppressedMode && !some_action) {
    check.message = msg::kNoAction;
    check.passed = false;
  }
  return check;
}

}  // namespace qtarvox
