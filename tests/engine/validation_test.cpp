#include "engine/validation.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "fakes.h"

namespace qtarvox {
namespace {

TEST(InvalidNameChar, ReportsFirstCharacterInFixedOrder) {
  const struct {
    const char* text;
    const char* expected;
  } cases[] = {{"", ""},          {"abc\"def", ""}, {"a>b/c", "/"}, {"a:b?c", "?"},
               {"x|y<z", "|"},    {"\\", "\\"},     {"*", "*"},     {"a<b>", "<"}};
  for (const auto& c : cases) EXPECT_EQ(InvalidNameChar(c.text), c.expected) << c.text;
}

struct Step1Case {
  const char* what;
  std::vector<int> ticked;  // 1-based positions
  std::function<void(Job&)> set;
  const char* message;  // empty: passes
};

std::string Prefixed(int position, const std::string& text) {
  return "Error in Action " + std::to_string(position) + " : \r\n" + text;
}

TEST(ValidateStep1, ShowsTheFirstFailingActionsMessage) {
  const std::string forbidden_replace =
      "Filenames cannot contain the character ' : '. Please remove that from the replacing "
      "string.";
  const std::string forbidden_add =
      "Filenames cannot contain the character ' / '. Please remove that from the string to be "
      "added.";
  const Step1Case cases[] = {
      {"upper and lower", {1, 2}, {},
       "You cannot ask me to make a filename Uppercase and Lowercase...thats just plain stupid! "
       "Uncheck either Uppercase or Lowercase action and then click on Proceed"},
      {"delete last empty", {4}, {},
       "You need to enter how many characters to remove from the end of the filename. Must be a "
       "number greater than zero."},
      {"delete last 2.5 passes", {4}, [](Job& j) { j.DeleteLastCount = 2.5; }, ""},
      {"delete first zero", {5}, {},
       "You need to enter how many characters to remove from the beginning of the filename. "
       "Must be a number greater than zero."},
      {"replace no search", {6}, {},
       "You need to specify what string to look for in the filename."},
      {"replace empty with passes", {6}, [](Job& j) { j.ReplaceSearch = "a"; }, ""},
      {"replace with colon", {6}, [](Job& j) { j.ReplaceSearch = "a", j.ReplaceWith = "b:"; },
       forbidden_replace.c_str()},
      {"add beginning empty", {7}, {},
       "You need to give the string you wish to add to beginning of the filenames."},
      {"add end empty", {8}, {},
       "You need to give the string you wish to add to the end of the filename."},
      {"add end slash", {8}, [](Job& j) { j.AddEndText = "a/b"; }, forbidden_add.c_str()},
      {"start number 0", {9}, [](Job& j) { j.NumberEndStartGiven = true, j.NumberEndStart = "0"; },
       "You have to specify a valid starting number(greater than zero) from which to start "
       "numbering."},
      {"start number -3", {10},
       [](Job& j) { j.NumberBeginningStartGiven = true, j.NumberBeginningStart = "-3"; },
       "You have to specify a valid starting number(greater than zero) from which to start "
       "numbering."},
      {"start number blank", {9}, [](Job& j) { j.NumberEndStartGiven = true; },
       "You have to specify a valid starting number(greater than zero) from which to start "
       "numbering."},
      {"start number too large", {9},
       [](Job& j) { j.NumberEndStartGiven = true, j.NumberEndStart = "2147483648"; },
       "You have to specify a valid starting number(greater than zero) from which to start "
       "numbering."},
      {"start number 95", {9}, [](Job& j) { j.NumberEndStartGiven = true, j.NumberEndStart = "95"; },
       ""},
      {"extension asterisk", {15}, [](Job& j) { j.NewExtension = "*.txt"; },
       "File extensions cannot contain the character ' * '. Please remove that from the string "
       "to be added."},
      {"capitalize nothing chosen", {16}, {},
       "You must choose to capitalize words seperated by spaces or underscores or both, please "
       "choose one or both of them."},
      {"complete rename blank", {17}, [](Job& j) { j.NewFilename = "  "; },
       "You must enter a valid new filename to rename the original filename to."},
      {"complete rename with ?", {17}, [](Job& j) { j.NewFilename = "a?.txt"; },
       "You must enter a valid new filename to rename the original filename to."},
      {"two failures: only the first", {4, 5}, {},
       "You need to enter how many characters to remove from the end of the filename. Must be a "
       "number greater than zero."},
      {"attributes need nothing", {11, 12, 13, 14, 3}, {}, ""},
  };
  for (const auto& c : cases) {
    Job job;
    for (int p : c.ticked) TickPosition(job, p);
    if (c.set) c.set(job);
    RecordingPrompter prompter;
    const bool passed = ValidateStep1(job, prompter);
    const std::string expected = c.message;
    EXPECT_EQ(passed, expected.empty()) << c.what;
    EXPECT_EQ(job.StepCheckFailed, !expected.empty()) << c.what;
    if (expected.empty()) {
      EXPECT_TRUE(prompter.messages.empty()) << c.what;
      continue;
    }
    ASSERT_EQ(prompter.messages.size(), 1u) << c.what;
    const int position = c.ticked.size() == 2 && c.ticked[0] == 1 ? 2 : c.ticked[0];
    EXPECT_EQ(prompter.messages[0].text, Prefixed(position, expected)) << c.what;
    EXPECT_EQ(prompter.messages[0].caption, "Q-Tarvox") << c.what;
    EXPECT_EQ(job.highlighted, position - 1) << c.what;
  }
}

TEST(ValidateStep1, NormalisesTheNewExtension) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {{"txt", ".txt"}, {".txt", ".txt"}, {"", "."}, {"  doc ", ".doc"}};
  for (const auto& c : cases) {
    Job job;
    TickPosition(job, 15);
    job.NewExtension = c.in;
    RecordingPrompter prompter;
    EXPECT_TRUE(ValidateStep1(job, prompter));
    EXPECT_EQ(job.NewExtension, c.out);
  }
}

TEST(ValidateStep1, NoActionIsRefusedWithoutPrefix) {
  Job job;
  RecordingPrompter prompter;
  EXPECT_FALSE(ValidateStep1(job, prompter));
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text,
            "Why do you want to proceed when u havn't choosen any action to perform?");
  EXPECT_EQ(job.highlighted, -1);
}

TEST(ValidateStep1, SuppressedModeUnticksFailingActionsAndGoesOn) {
  Job job;
  job.SuppressedMode = true;
  TickPosition(job, 1);
  TickPosition(job, 2);
  TickPosition(job, 4);  // no count
  TickPosition(job, 7);
  job.AddBeginningText = "x";
  RecordingPrompter prompter;
  std::vector<std::string> dropped;
  EXPECT_TRUE(ValidateStep1(job, prompter, &dropped));
  EXPECT_TRUE(prompter.messages.empty());
  EXPECT_TRUE(job.lstActions[0].ticked);
  EXPECT_FALSE(job.lstActions[1].ticked);
  EXPECT_FALSE(job.lstActions[3].ticked);
  EXPECT_TRUE(job.lstActions[6].ticked);
  ASSERT_EQ(dropped.size(), 2u);
  EXPECT_EQ(dropped[0].rfind("Error in Action 2 : \r\n", 0), 0u);
  EXPECT_EQ(dropped[1].rfind("Error in Action 4 : \r\n", 0), 0u);
  EXPECT_FALSE(job.StepCheckFailed);
}

TEST(AcceptStep1, SnapshotsTicksByIdentifier) {
  Job job;
  TickPosition(job, 3);   // clear name: no flag
  TickPosition(job, 13);  // archive (identifier 16)
  TickPosition(job, 14);  // normal (identifier 12)
  job.chosen.DoUppercase = true;  // stale flag from an earlier acceptance
  RecordingPrompter prompter;
  ASSERT_TRUE(AcceptStep1(job, prompter));
  EXPECT_FALSE(job.chosen.DoUppercase);
  EXPECT_TRUE(job.chosen.DoArchive);
  EXPECT_TRUE(job.chosen.DoNormal);
  EXPECT_FALSE(job.chosen.DoReadOnly);
}

}  // namespace
}  // namespace qtarvox
