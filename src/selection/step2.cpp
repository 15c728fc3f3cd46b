#include "selection/step2.h"

namespace qtarvox {
namespace {

constexpr const char* kDirCaption = "List of Directory(s) choosen : *";
constexpr const char* kExtCaptionTwoBlanks =
    "List of file extensions choosen to perform actions on :  *";
constexpr const char* kExtCaptionOneBlank =
    "List of file extensions choosen to perform actions on : *";
constexpr const char* kFileCaption = "List of file(s) choosen : *";

}  // namespace

SelectionMethod MethodForGivenFiles(const Job& job) {
  if (job.FilesGivenIndividually && job.FilesGivenByExtension) return SelectionMethod::kBoth;
  if (job.FilesGivenByExtension) return SelectionMethod::kExtension;
  return SelectionMethod::kIndividual;
}

void ChooseMethod(Job& job, SelectionMethod method) {
  switch (method) {
    case SelectionMethod::kExtension:
      job.cmdFileType_tag = kTagExtension;
      job.lblDirList = CountCaption(kDirCaption, job.lstDir.size());
      job.lblExtList = CountCaption(kExtCaptionTwoBlanks, job.lstExt.size());
      break;
    case SelectionMethod::kIndividual:
      job.cmdFileType_tag = kTagIndividual;
      job.lblFileList = CountCaption(kFileCaption, job.lstFile.size());
      break;
    case SelectionMethod::kBoth:
      job.cmdFileType_tag = kTagBoth;
      job.lblFileList = CountCaption(kFileCaption, job.lstFile.size());
      break;
  }
  job.step3.cmdFileType_enabled = false;
}

Step2Result ProceedStep2(Job& job, Prompter& prompter, std::string* failure) {
  const bool directories = !job.lstDir.empty();
  const bool files = !job.lstFile.empty();
  const bool extensions = !job.lstExt.empty();
  const std::string& tag = job.cmdFileType_tag;
  if (tag == kTagBoth) {
    job.lblDirList = CountCaption(kDirCaption, job.lstDir.size());
    job.lblExtList = CountCaption(kExtCaptionOneBlank, job.lstExt.size());
    job.cmdFileType_tag = kTagDone;
    return Step2Result::kStay;
  }
  const char* message = nullptr;
  if (tag == kTagExtension) {
    if (!directories) {
      message = kNoDirectories;
    } else if (!extensions) {
      message = kNoExtensions;
    }
  } else if (tag == kTagIndividual) {
    if (!files) message = kNoFiles;
  } else if (!files && !(directories && extensions)) {
    message = kNoSelection;
  }
  if (message == nullptr) return Step2Result::kPassed;
  if (failure != nullptr) *failure = message;
  if (job.SuppressedMode) return Step2Result::kPassed;
  prompter.Tell(message, kAppTitle);
  job.StepCheckFailed = true;
  return Step2Result::kFailed;
}

}  // namespace qtarvox
