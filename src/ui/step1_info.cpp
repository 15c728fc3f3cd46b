#include "ui/step1_info.h"

#include <array>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "engine/numeric.h"
#include "ui/ui_texts.h"

namespace qtarvox {
namespace {

constexpr const char* kLineBreak = "\r\n";
constexpr const char* kExampleHeading = "Example : ";

struct Description {
  ActionId id;
  const char* text;
  std::vector<const char*> examples;
};

const std::array<Description, kActionCount>& Descriptions() {
  static const std::array<Description, kActionCount> table{{
      {ActionId::kUppercase,
       "This action will convert all characters present in the filename of the files that you "
       "choose into Uppercase.",
       {"'This is the NAME of my File.txt' == 'THIS IS THE NAME OF MY FILE.txt'"}},
      {ActionId::kLowercase,
       "This action will convert all characters present in the filename of the files that you "
       "choose into Lowercase.",
       {"'This is the NAME of my File.txt' == 'this is the name of my file.txt'"}},
      {ActionId::kDeleteLast,
       "This action will get an integer value from you and delete that many number of characters "
       "from the ending of your filename working towards the beginning. Nothing will be done for "
       "filenames having no. of characters lesser than the number of characters to be removed.",
       {"if the number of characters to be deleted is 3, then 'This is the NAME of my File.txt' == "
        "'This is the NAME of my F.txt"}},
      {ActionId::kDeleteFirst,
       "This action will get an integer value from you and delete that many number of characters "
       "from the beginning of your filename working towards the end. Nothing will be done for "
       "filenames having no. of characters lesser than the number of characters to be removed.",
       {"If the number of characters to be deleted is 3, then 'This is the NAME of my File.txt' == "
        "'s is the NAME of my File.txt"}},
      {ActionId::kReplace,
       "This action will accept two strings from you, one which is present in the filename(s) and "
       "one which you want to replace it with and do just that...replace all occurences of the "
       "string to look for with the string to replace with. If you choose to make it a case "
       "sensitive replacement, then the string will be replaced only if it matches the given "
       "search string exactly.",
       {"If the search string was 'name' and replacing string was 'filename' and if non case "
        "sensitive method was choosen then 'This is the NAME of my File.txt' == 'This is the "
        "filename of my File.txt'",
        "If the search string was 'name' and replacing string was 'filename' and if case sensitive "
        "method was choosen then 'This is the NAME of my File.txt' == 'This is the NAME of my "
        "File.txt'"}},
      {ActionId::kAddBeginning,
       "This action will accept a string from you and append that to the beginning of your "
       "filename(s).",
       {"If the string to be added was 'ABCDE' then 'This is the NAME of my File.txt' == "
        "'ABCDEThis is the NAME of my File.txt'"}},
      {ActionId::kAddEnd,
       "This action will accept a string from you and append that to the ending of your "
       "filename(s).",
       {"If the string to be added was 'ABCDE' then 'This is the NAME of my File.txt' == 'This is "
        "the NAME of my FileABCDE.txt'"}},
      {ActionId::kNumberEnd,
       "This action will add a number to the end of each of the selected filename(s) in ascending "
       "order of the number.'",
       {"If the 'normal' format of numbering was choosen then 'This is the NAME of my File.txt' == "
        "'This is the NAME of my File1.txt'",
        "If the 'even' format of numbering was choosen and if there were <= 100 files then 'This "
        "is the NAME of my File.txt' == 'This is the NAME of my File001.txt'",
        "If the 'even' format of numbering was choosen and also the 'broken numbering' was choosen "
        "and the start number given as '95' and if there were >= 5 files then 'This is the NAME of "
        "my File.txt' == 'This is the NAME of my File095.txt'"}},
      {ActionId::kNumberBeginning,
       "This action will add a number to the start of each of the selected filename(s) in "
       "ascending order of the number.'",
       {"If the 'normal' format of numbering was choosen then 'This is the NAME of my File.txt' == "
        "'1This is the NAME of my File.txt'",
        "If the 'even' format of numbering was choosen and if there were <= 100 files then 'This "
        "is the NAME of my File.txt' == '001This is the NAME of my File.txt'",
        "If the 'even' format of numbering was choosen and also the 'broken numbering' was choosen "
        "and the start number given as '95' and if there were >= 5 files then 'This is the NAME of "
        "my File.txt' == '095This is the NAME of my File.txt'"}},
      {ActionId::kReadOnly,
       "This action will add the Read Only attribute (+r) to all of the selected files.",
       {}},
      {ActionId::kHidden,
       "This action will add the Hidden attribute (+h) to all of the selected files.",
       {}},
      {ActionId::kNormal,
       "This action will strip the file of its readonly and/or hidden attributes and make it a "
       "normal file.",
       {}},
      {ActionId::kChangeExtension,
       "This action will accept a new file extension from you and replace the extensions of all "
       "files with the specified extension.",
       {"If the extension was entered as 'abc' then 'This is the NAME of my File.txt' == 'This is "
        "the NAME of my File.abc'"}},
      {ActionId::kCapitalize,
       "This action will capitalize the starting letter of words seperated by either spaces or "
       "underscores.",
       {"If both words seperated by spaces and underscores were selected, then 'This is_the NAME "
        "of_my File.txt' == 'This Is The NAME Of My File.txt'",
        "If only words seperated by spaces was choosen then 'This is_the NAME of_my File.txt' == "
        "'This Is_the NAME Of_my File.txt'"}},
      {ActionId::kCompleteRename,
       "This action will completely rename original filename to the one you specify above.",
       {"If if New filename was entered as 'This is my new filename.doc' then 'This is the NAME of "
        "my File.txt' == 'This is my new filename.doc'"}},
      {ActionId::kArchive,
       "This action will add the Archive attribute (+a) to all of the selected files.",
       {}},
      {ActionId::kClearName,
       "This action will get rid of the original filename completely so that you can have a fresh "
       "empty filename to make changes on such as adding strings, adding numbers etc. This option "
       "is most useful when you want to give all the selected files the same filename with numbers "
       "at the beginning or end of the filename. If you think you know a better use for this "
       "action, let me know and I'll be sure to add it to this help text :)",
       {"'This is the NAME of my File.txt' == '.txt'"}},
  }};
  return table;
}

}  // namespace

std::string ActionDescription(ActionId id) {
  const Description* found = nullptr;
  for (const auto& d : Descriptions()) {
    if (d.id == id) found = &d;
  }
  if (found == nullptr) return {};
  std::string text = std::string(found->text) + kLineBreak;
  for (size_t i = 0; i < found->examples.size(); ++i) {
    const char* example = found->examples[i];
    if (id == ActionId::kCapitalize && i == 1) {
      text += std::string(kLineBreak) + kLineBreak + "Example :" + example;
      continue;
    }
    if (id != ActionId::kClearName) text += kLineBreak;
    text += std::string(kExampleHeading) + kLineBreak + example;
    // The numbering examples are kept apart by an empty line.
    if (id == ActionId::kNumberEnd || (id == ActionId::kNumberBeginning && i > 0)) {
      text += kLineBreak;
    }
  }
  return text;
}

namespace {

// The caption and text of an action whose only control is one text box.
struct OneTextBox {
  const char* caption;
  std::string text;
};

std::optional<OneTextBox> OneTextBoxOf(const Job& job, ActionId id) {
  const auto count_text = [](double count) { return count == 0 ? "" : FormatNumber(count); };
  switch (id) {
    case ActionId::kDeleteLast:
      return OneTextBox{ui_text::kCountCaption, count_text(job.DeleteLastCount)};
    case ActionId::kDeleteFirst:
      return OneTextBox{ui_text::kCountCaption, count_text(job.DeleteFirstCount)};
    case ActionId::kAddBeginning:
      return OneTextBox{ui_text::kAddCaption, job.AddBeginningText};
    case ActionId::kAddEnd:
      return OneTextBox{ui_text::kAddCaption, job.AddEndText};
    case ActionId::kChangeExtension:
      return OneTextBox{ui_text::kExtensionCaption, job.NewExtension};
    case ActionId::kCompleteRename:
      return OneTextBox{ui_text::kNewFilenameCaption, job.NewFilename};
    default:
      return std::nullopt;
  }
}

}  // namespace

ActionControls ControlsFor(const Job& job, ActionId id) {
  ActionControls c;
  if (std::optional<OneTextBox> box = OneTextBoxOf(job, id)) {
    c.lblAI1 = box->caption;
    c.txtAI1 = std::move(box->text);
    return c;
  }
  const auto numbering = [&c](NumberStyle style, bool given, const std::string& start) {
    c.lblAI1 = ui_text::kNumberingCaption;
    c.numbering = true;
    c.optAI1_selected = style == NumberStyle::kNormal;
    c.chkAI3_ticked = given;
    c.txtAI3 = start;
  };
  switch (id) {
    case ActionId::kReplace:
      c.lblAI1 = ui_text::kSearchCaption;
      c.txtAI1 = job.ReplaceSearch;
      c.lblAI2 = ui_text::kReplaceCaption;
      c.txtAI2 = job.ReplaceWith;
      c.case_choice = true;
      c.optAI4_selected = job.CaseSensitiveReplace;
      break;
    case ActionId::kNumberEnd:
      numbering(job.NumberEndStyle, job.NumberEndStartGiven, job.NumberEndStart);
      break;
    case ActionId::kNumberBeginning:
      numbering(job.NumberBeginningStyle, job.NumberBeginningStartGiven, job.NumberBeginningStart);
      break;
    case ActionId::kCapitalize:
      c.capitalize = true;
      c.chkAI1_ticked = job.CapitalizeSpaces;
      c.chkAI2_ticked = job.CapitalizeUnderscores;
      break;
    case ActionId::kUppercase:
    case ActionId::kLowercase:
    case ActionId::kReadOnly:
    case ActionId::kHidden:
    case ActionId::kNormal:
    case ActionId::kArchive:
    case ActionId::kClearName:
      c.lblNone = true;
      break;
    case ActionId::kDeleteLast:
    case ActionId::kDeleteFirst:
    case ActionId::kAddBeginning:
    case ActionId::kAddEnd:
    case ActionId::kChangeExtension:
    case ActionId::kCompleteRename:
      break;  // one text box, filled above
  }
  return c;
}

FailedBox BoxOfFailedCheck(const Job& job, ActionId id) {
  switch (id) {
    case ActionId::kReplace:
      return job.ReplaceSearch.empty() ? FailedBox::kTxtAI1 : FailedBox::kTxtAI2;
    case ActionId::kNumberEnd:
    case ActionId::kNumberBeginning:
      return FailedBox::kTxtAI3;
    case ActionId::kDeleteLast:
    case ActionId::kDeleteFirst:
    case ActionId::kAddBeginning:
    case ActionId::kAddEnd:
    case ActionId::kChangeExtension:
    case ActionId::kCompleteRename:
      return FailedBox::kTxtAI1;
    default:
      return FailedBox::kNone;
  }
}

}  // namespace qtarvox
