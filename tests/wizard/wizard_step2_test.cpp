// The wizard's Step 2 beyond its checks.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "fakes.h"
#include "run/settings.h"
#include "temp_dir.h"
#include "wizard/wizard.h"

namespace qtarvox {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class WizardStep2 : public ::testing::Test {
 protected:
  void SetUp() override {
    RememberDirectory(Job());  // no folder of an earlier test comes back
    TickPosition(job_, 1);
    job_.dirDir = dir_.path();
    ASSERT_TRUE(wizard_.ProceedStep1());
  }

  TempDir dir_;
  RecordingPrompter prompter_;
  RecordingRunView view_;
  Wizard wizard_{prompter_, view_};
  Job& job_ = wizard_.job();
};

// The combined method's first screen brings back only the method row; its second, both panels.
TEST_F(WizardStep2, TheStep2ButtonBringsBackTheMethodsScreens) {
  for (const bool second : {false, true}) {
    SCOPED_TRACE(second);
    RecordingPrompter prompter;
    Wizard wizard(prompter, view_);
    Job& job = wizard.job();
    TickPosition(job, 1);
    job.lstFile = {"a * /d", "b * /d"};
    job.lstExt = {"*.txt"};
    ASSERT_TRUE(wizard.ProceedStep1());
    wizard.ChooseMethod(SelectionMethod::kBoth);
    if (second) wizard.ProceedStep2();
    wizard.ListsFilled(true, false, false);  // captions with the Add buttons' prefixes
    wizard.ShowStep3();
    wizard.FileListClicked();

    wizard.ShowStep2();
    const ScreenState s = wizard.screen();
    EXPECT_EQ(s.step, WizardStep::kStep2);
    EXPECT_EQ(job.method, second ? SelectionMethod::kDone : SelectionMethod::kBoth);
    EXPECT_EQ(s.file_panels, second);
    EXPECT_EQ(s.extension_screen && s.file_panels, second);
    EXPECT_EQ(s.lblFileList, "List of File(s) choosen : *2*");
    EXPECT_EQ(s.lblExtList, std::string("List of file extensions choosen to perform actions on : ") +
                                (second ? "*1*" : ""));
    EXPECT_FALSE(s.cmdFileType_enabled);
    EXPECT_TRUE(s.cmdProceed2_enabled);
    EXPECT_TRUE(s.chosen_files_active);
    EXPECT_STREQ(s.cmdSelectAllFile_caption(), "&Select All >>");
    EXPECT_STREQ(s.lblDir(), second ? kChooseDirectoriesCaption : kBrowseFilesCaption);
  }
}

// A new job after "Save Settings?" Yes keeps its method.
TEST_F(WizardStep2, AcceptingStep1AgainShowsTheKeptMethodWithOkEnabled) {
  wizard_.ChooseMethod(SelectionMethod::kExtension);
  wizard_.ShowStep1();
  ASSERT_TRUE(wizard_.ProceedStep1());
  const ScreenState s = wizard_.screen();
  EXPECT_TRUE(s.cmdFileType_enabled);
  EXPECT_TRUE(s.file_panels && s.extension_screen);
  wizard_.ChooseMethod(SelectionMethod::kIndividual);
  EXPECT_EQ(job_.method, SelectionMethod::kIndividual);
}

// The subdirectories answer marks a directory; an extension gets "*." in front; blank refused.
TEST_F(WizardStep2, ListsTakeDirectoriesAndExtensionsWithTheirCounts) {
  wizard_.ChooseMethod(SelectionMethod::kExtension);
  prompter_.answers = {true, false, false};
  for (const char* path : {"/s", "/s", "/a"}) wizard_.AddDirectoryItem(path);
  EXPECT_THAT(job_.lstDir, ElementsAre("/a", "/s", "/s  *Include Subdirectories*"));
  EXPECT_EQ(prompter_.messages.at(0).caption, "Subdirectories");
  EXPECT_EQ(wizard_.screen().lblDirList, "List of Directory(s) choosen : *3*");
  const struct {
    const char* typed;
    const char* added;  // nullptr: refused
  } cases[] = {{"txt", "*.txt"}, {"*.doc", "*.doc"}, {"   ", nullptr}, {" jpg", "*. jpg"}};
  for (const auto& c : cases) {
    prompter_.messages.clear();
    const size_t before = job_.lstExt.size();
    wizard_.ExtensionTextChanged(c.typed);
    wizard_.AddExtension();
    EXPECT_EQ(job_.lstExt.size(), before + (c.added != nullptr)) << c.typed;
    if (c.added != nullptr) {
      EXPECT_EQ(job_.lstExt.back(), c.added);
    }
    EXPECT_EQ(prompter_.messages.size(), c.added == nullptr ? 1u : 0u) << c.typed;
    EXPECT_EQ(wizard_.screen().lblExtList,
              "List of Extension(s) choosen : *" + std::to_string(job_.lstExt.size()) + "*");
  }
}

TEST_F(WizardStep2, SelectAllFollowsTheLastClickedList) {
  const std::tuple<const char*, std::function<void()>, bool> steps[] = {
      {"the individual screen", [&] { wizard_.ChooseMethod(SelectionMethod::kIndividual); }, true},
      {"a click on the file list", [&] { wizard_.FileListClicked(); }, false},
      {"a click on the chosen files", [&] { wizard_.ChosenFilesClicked(); }, true},
      {"another folder", [&] { wizard_.OpenDirectory(dir_.MakeDir("sub")); }, false},
      {"the Step 2 button", [&] { wizard_.ShowStep2(); }, true},
      {"another drive", [&] { wizard_.ChooseVolume(dir_.PathOf("sub")); }, false},
  };
  for (const auto& [what, act, chosen_files] : steps) {
    SCOPED_TRACE(what);
    act();
    const ScreenState s = wizard_.screen();
    EXPECT_EQ(s.chosen_files_active, chosen_files);
    EXPECT_STREQ(s.cmdSelectAllFile_caption(),
                 chosen_files ? "&Select All >>" : "<< &Select All");
  }
}

TEST_F(WizardStep2, TheFileListShowsTheFolderFilesThatMatchThePattern) {
  dir_.WriteFile("b.TXT");
  dir_.WriteFile("a.txt");
  dir_.WriteFile(".hidden.txt");
  dir_.WriteFile("c.doc");
  dir_.WriteFile("noext");
  dir_.MakeDir("folder.txt");
  ASSERT_EQ(symlink("a.txt", dir_.PathOf("link.txt").c_str()), 0);
  wizard_.ChooseMethod(SelectionMethod::kIndividual);
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"*.*", {".hidden.txt", "a.txt", "b.TXT", "c.doc", "noext"}},
      {"  *.txt ", {".hidden.txt", "a.txt", "b.TXT"}},
      {"", {".hidden.txt", "a.txt", "b.TXT", "c.doc", "noext"}},
  };
  for (const auto& [pattern, files] : cases) {
    SCOPED_TRACE(pattern);
    wizard_.PatternChanged(pattern);
    EXPECT_EQ(*wizard_.screen().filFile, files);
    EXPECT_EQ(wizard_.screen().txtExt, pattern);
  }
  // A method's screen puts the pattern back to "*.*".
  wizard_.ShowStep2();
  EXPECT_EQ(wizard_.screen().txtExt, "*.*");
  EXPECT_EQ(wizard_.screen().filFile->size(), 5u);
}

TEST_F(WizardStep2, ListedApartTheFileListTakesOnlyTheListingAskedForLast) {
  const std::string a = dir_.MakeDir("a");
  const std::string b = dir_.MakeDir("b");
  dir_.WriteFile("a/one.txt");
  dir_.WriteFile("b/two.txt");
  wizard_.ListFilesApart();
  wizard_.ChooseMethod(SelectionMethod::kIndividual);
  const auto listed = [this](const std::string& folder) {
    std::vector<std::string> names;
    EXPECT_TRUE(Wizard::ListFileList(folder, wizard_.screen().txtExt, names).ok());
    return names;
  };
  ASSERT_TRUE(wizard_.OpenDirectory(a));
  const uint64_t listing_a = wizard_.screen().files_listing;
  ASSERT_TRUE(wizard_.OpenDirectory(b));
  const uint64_t listing_b = wizard_.screen().files_listing;
  wizard_.FilesListed(listing_a, listed(a));
  EXPECT_TRUE(wizard_.screen().files_pending);
  EXPECT_THAT(*wizard_.screen().filFile, IsEmpty());
  wizard_.FilesListed(listing_b, listed(b));
  EXPECT_FALSE(wizard_.screen().files_pending);
  EXPECT_THAT(*wizard_.screen().filFile, ElementsAre("two.txt"));
  ASSERT_TRUE(wizard_.OpenDirectory(a));
  EXPECT_TRUE(wizard_.screen().files_pending);
  EXPECT_THAT(*wizard_.screen().filFile, IsEmpty());
}

TEST_F(WizardStep2, TheTreeListsFoldersWithHiddenOnesAndWithoutLinks) {
  dir_.MakeDir("Beta");
  dir_.MakeDir("alpha");
  dir_.MakeDir(".config");
  dir_.WriteFile("file");
  ASSERT_EQ(symlink(dir_.PathOf("alpha").c_str(), dir_.PathOf("link").c_str()), 0);
  std::vector<std::string> names;
  EXPECT_TRUE(wizard_.Subdirectories(dir_.path(), names, true).ok());
  EXPECT_THAT(names, ElementsAre(".config", "alpha", "Beta"));
  EXPECT_THAT(prompter_.messages, IsEmpty());
}

TEST_F(WizardStep2, AFolderOrDriveThatCannotBeReadLeavesTheBrowserWhereItWas) {
  dir_.WriteFile("x.txt");
  dir_.WriteFile("plain");
  wizard_.ChooseMethod(SelectionMethod::kIndividual);
  const std::string volume = wizard_.screen().volume;
  const std::string gone = dir_.PathOf("gone");
  const std::tuple<const char*, std::function<bool()>, std::string> cases[] = {
      {"a vanished folder", [&] { return wizard_.OpenDirectory(gone); },
       "The directory " + gone +
           " (No such file or directory) cannot be read. The directory box stays where it was."},
      {"a drive", [&] { return wizard_.ChooseVolume(gone); },
       "The drive " + gone +
           " (No such file or directory) cannot be read. The drive list shows the previous drive "
           "again."},
  };
  for (const auto& [what, act, message] : cases) {
    SCOPED_TRACE(what);
    prompter_.messages.clear();
    EXPECT_FALSE(act());
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0].text, message);
    EXPECT_EQ(prompter_.messages[0].caption, "Q-Tarvox");
    const ScreenState s = wizard_.screen();
    EXPECT_EQ(job_.dirDir, dir_.path());
    EXPECT_EQ(s.volume, volume);
    EXPECT_THAT(*s.filFile, ElementsAre("plain", "x.txt"));
  }
}

TEST_F(WizardStep2, EachDriveKeepsTheFolderLastOpenOnIt) {
  const std::string other = dir_.MakeDir("other");  // stands in for a second volume
  const std::string deep = dir_.MakeDir("other/deep");
  const std::string first_volume = wizard_.screen().volume;
  const std::string first_folder = job_.dirDir;
  ASSERT_TRUE(wizard_.ChooseVolume(other));
  EXPECT_EQ(job_.dirDir, other);
  ASSERT_TRUE(wizard_.OpenDirectory(deep));
  ASSERT_TRUE(wizard_.ChooseVolume(first_volume));
  EXPECT_EQ(job_.dirDir, first_folder);
  ASSERT_TRUE(wizard_.ChooseVolume(other));
  EXPECT_EQ(job_.dirDir, deep);
  ASSERT_TRUE(wizard_.ChooseVolume(first_volume));
  rmdir(deep.c_str());
  ASSERT_TRUE(wizard_.ChooseVolume(other));
  EXPECT_EQ(job_.dirDir, other);
}

// A vanished folder gives way to the nearest folder above it when the browser is read again.
TEST_F(WizardStep2, ReadingTheBrowserAgainLeavesAVanishedFolder) {
  const std::string deep = dir_.MakeDir("a/b/c");
  ASSERT_TRUE(wizard_.OpenDirectory(deep));
  std::filesystem::remove_all(dir_.PathOf("a/b"));
  const int reads = wizard_.screen().browser_reads;
  wizard_.RefreshBrowser();
  EXPECT_EQ(job_.dirDir, dir_.PathOf("a"));
  EXPECT_EQ(wizard_.screen().browser_reads, reads + 1);
}

TEST(GroupedCount, PutsACommaBetweenEachThreeDigits) {
  const std::pair<int64_t, const char*> cases[] = {
      {0, "0"},           {999, "999"},         {1000, "1,000"},    {41200, "41,200"},
      {100000, "100,000"}, {1234567, "1,234,567"}, {-1200, "-1,200"}};
  for (const auto& [count, text] : cases) EXPECT_EQ(GroupedCount(count), text) << count;
}

}  // namespace
}  // namespace qtarvox
