#include "platform/dir_search.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>

#include "platform/attributes.h"
#include "platform/xattr_helpers.h"
#include "temp_dir.h"

namespace qtarvox {
namespace {

using Names = std::vector<std::string>;

TEST(SearchDirectory, SortsCaseInsensitivelyThenByBytes) {
  TempDir dir;
  for (const char* name : {"b", "a", "A", "B.txt", "\xC3\xA9", "E", "_x"}) dir.WriteFile(name);
  Names names;
  ASSERT_TRUE(SearchDirectory(dir.path(), "*", SearchFilter::kFiles, names).ok());
  EXPECT_EQ(names, (Names{"A", "a", "b", "B.txt", "E", "_x", "\xC3\xA9"}));
}

TEST(SearchDirectory, AppliesPatternAndAttributeFilter) {
  TempDir dir;
  QTARVOX_SKIP_WITHOUT_USER_XATTRS(dir);
  dir.WriteFile("plain.txt");
  chmod(dir.WriteFile("ro.txt").c_str(), 0444);
  dir.WriteFile(".dot.txt");
  StoreRawDosAttrib(dir.WriteFile("xhidden.txt"), "0x2");
  StoreRawDosAttrib(dir.WriteFile("xsystem.txt"), "0x4");
  StoreRawDosAttrib(dir.WriteFile("xarchive.txt"), "0x20");
  dir.WriteFile("other.doc");
  dir.WriteFile("README");
  dir.MakeDir("sub.txt");
  dir.MakeDir(".hdir");
  symlink("plain.txt", dir.PathOf("link.txt").c_str());
  symlink("sub.txt", dir.PathOf("dirlink").c_str());
  mkfifo(dir.PathOf("pipe.txt").c_str(), 0644);

  struct Case {
    const char* pattern;
    SearchFilter filter;
    Names expected;
  };
  const Case cases[] = {
      {"*.txt",
       SearchFilter::kFiles,
       {".dot.txt", "plain.txt", "ro.txt", "xarchive.txt", "xhidden.txt"}},
      {"*.TXT", SearchFilter::kNormalFiles, {"plain.txt", "ro.txt", "xarchive.txt"}},
      {"*",
       SearchFilter::kDirectories,
       {".hdir", "other.doc", "plain.txt", "README", "ro.txt", "sub.txt", "xarchive.txt"}},
      {"x*", SearchFilter::kFiles, {"xarchive.txt", "xhidden.txt"}},
      {"*.", SearchFilter::kFiles, {"README"}},
  };
  for (const Case& c : cases) {
    Names names;
    ASSERT_TRUE(SearchDirectory(dir.slash(), c.pattern, c.filter, names).ok()) << c.pattern;
    EXPECT_EQ(names, c.expected) << c.pattern << " filter " << static_cast<int>(c.filter);
  }
}

TEST(SearchDirectory, ReportsUnreadableDirectories) {
  TempDir dir;
  dir.WriteFile("file");
  Names names{"stale"};
  EXPECT_EQ(SearchDirectory(dir.PathOf("missing"), "*", SearchFilter::kFiles, names).number,
            kErrFileNotFound);
  EXPECT_TRUE(names.empty());
  EXPECT_EQ(SearchDirectory(dir.PathOf("file"), "*", SearchFilter::kFiles, names).number,
            kErrPathNotFound);
}

TEST(SearchPath, SplitsThePatternOffTheLastSlash) {
  TempDir dir;
  dir.WriteFile("sub/one.txt");
  dir.WriteFile("sub/two.doc");
  Names names;
  ASSERT_TRUE(SearchPath(dir.PathOf("sub/*.txt"), SearchFilter::kFiles, names).ok());
  EXPECT_EQ(names, Names{"one.txt"});

  // Without a slash the current directory is searched.
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(chdir(dir.PathOf("sub").c_str()), 0);
  const RtError error = SearchPath("*.doc", SearchFilter::kFiles, names);
  ASSERT_EQ(chdir(previous), 0);
  ASSERT_TRUE(error.ok());
  EXPECT_EQ(names, Names{"two.doc"});
}

TEST(ReadDirectory, GivesEveryEntryWithFullAttributes) {
  TempDir dir;
  dir.WriteFile("plain");
  chmod(dir.WriteFile("ro").c_str(), 0444);
  dir.MakeDir(".hdir");
  symlink("plain", dir.PathOf("link").c_str());
  std::vector<DirEntry> entries;
  ASSERT_TRUE(ReadDirectory(dir.path(), entries).ok());
  std::map<std::string, uint32_t> found;
  for (const DirEntry& e : entries) found[e.name] = e.attributes;
  EXPECT_EQ(found, (std::map<std::string, uint32_t>{{"plain", kAttrNormal},
                                                    {"ro", kAttrReadOnly},
                                                    {".hdir", kAttrDirectory | kAttrHidden},
                                                    {"link", kAttrSystem}}));
}

}  // namespace
}  // namespace qtarvox
