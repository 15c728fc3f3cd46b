// What cmake --install lays out, and the menu entry desktop-file-validate judges.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "help/usage_text.h"
#include "run_tools.h"
#include "temp_dir.h"

namespace qtarvox {
namespace {

TEST(MenuEntry, IsValidAndStartsTheProgram) {
  Need("desktop-file-validate", "desktop-file-utils");
  const std::string entry = kSource + "/data/q-tarvox.desktop";
  const Ran validate = Shell("desktop-file-validate " + Quote(entry));
  EXPECT_EQ(validate.status, 0);
  EXPECT_EQ(validate.output, "");
  const std::string text = ReadFile(entry);
  for (const char* line : {"\nName=Q-Tarvox Renamer\n", "\nExec=q-tarvox -- %F\n", "\nIcon=q-tarvox\n",
                           "\nCategories=Utility;"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line;
  }
  EXPECT_TRUE(ReadFile(kSource + "/data/q-tarvox.svg").starts_with("<?xml"));
}

TEST(Install, LaysOutTheUsualTree) {
  TempDir prefix;
  const Ran install = Shell(Quote(QTARVOX_CMAKE) + " --install " + Quote(kBuild) + " --prefix " +
                            Quote(prefix.path()));
  ASSERT_EQ(install.status, 0) << install.output;
  std::vector<std::string> expected{"bin/q-tarvox", "share/man/man1/q-tarvox.1.gz",
                                    "share/bash-completion/completions/q-tarvox",
                                    "share/doc/q-tarvox/copyright",
                                    "share/doc/q-tarvox/changelog.gz",
                                    "share/lintian/overrides/q-tarvox"};
  if (QTARVOX_INSTALLS_WINDOW_FILES) {
    expected.insert(expected.end(), {"share/applications/q-tarvox.desktop",
                                     "share/icons/hicolor/scalable/apps/q-tarvox.svg"});
  }
  std::vector<std::string> installed;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(prefix.path())) {
    if (!entry.is_directory()) {
      installed.push_back(std::filesystem::relative(entry.path(), prefix.path()).string());
    }
  }
  std::ranges::sort(installed);
  std::ranges::sort(expected);
  EXPECT_EQ(installed, expected);
  const auto perms = std::filesystem::status(prefix.PathOf("bin/q-tarvox")).permissions();
  EXPECT_NE(perms & std::filesystem::perms::others_exec, std::filesystem::perms::none);
  const Ran version = Shell(Quote(prefix.PathOf("bin/q-tarvox")) + " --version");
  EXPECT_EQ(version.output, std::string(kVersionText) + "\n");
}

}  // namespace
}  // namespace qtarvox
