#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "platform/attributes.h"
#include "platform/chars.h"
#include "platform/dir_search.h"
#include "platform/xattr_helpers.h"
#include "temp_dir.h"

namespace qtarvox {
namespace {

using namespace std::string_literals;

// Each step starts from the state the previous one left.
TEST(FileAttributes, RoundTripThroughModeAndStoredValue) {
  TempDir dir;
  QTARVOX_SKIP_WITHOUT_USER_XATTRS(dir);
  const std::string file = dir.WriteFile("f.txt");
  // Binary forms: hex text, NUL, version, level, then 32-bit fields.
  const std::string v1 = "0x20\0\1\0\1\0\x02\0\0\0"s;
  const std::string v3 = "0x0\0\3\0\3\0\x0f\0\0\0\x22\0\0\0"s;
  const std::string v5 = "0x0\0\5\0\5\0\x0f\0\0\0\x02\0\0\0"s;
  const std::tuple<std::string, uint32_t, uint32_t, std::string> steps[] = {
      {"", kAttrReadOnly, kAttrReadOnly, "(none)"},
      {"", kAttrHidden, kAttrHidden, "0x2"},
      {"", kAttrArchive, kAttrArchive, "0x20"},
      {"", kAttrHidden | kAttrArchive | kAttrReadOnly, kAttrHidden | kAttrArchive | kAttrReadOnly,
       "0x22"},
      {"", kAttrNormal, kAttrNormal, "(none)"},
      {v1, 0, kAttrHidden, v1},
      {v5, 0, kAttrHidden, v5},
      {v3, 0, kAttrHidden | kAttrArchive, v3},
      {"", kAttrHidden | kAttrArchive, kAttrHidden | kAttrArchive, v3},  // already so: untouched
      {"", kAttrNormal, kAttrNormal, "(none)"},
  };
  for (const auto& [raw, set, reads, stored] : steps) {
    if (!raw.empty()) StoreRawDosAttrib(file, raw);
    ASSERT_TRUE(!raw.empty() || SetFileAttributes(file, set)) << set;
    EXPECT_EQ(GetFileAttributes(file), reads) << set;
    EXPECT_EQ(RawDosAttrib(file), stored) << set;
  }

  symlink("f.txt", dir.PathOf("link").c_str());
  EXPECT_EQ(GetFileAttributes(dir.PathOf("missing")), kAttrInvalid);
  EXPECT_FALSE(SetFileAttributes(dir.PathOf("missing"), kAttrHidden));
  EXPECT_FALSE(SetFileAttributes(dir.PathOf("link"), kAttrReadOnly));
  EXPECT_EQ(GetFileAttributes(file), kAttrNormal);  // the file behind the link is left alone
}

using Names = std::vector<std::string>;

TEST(WildcardMatch, FollowsDosRulesIgnoringCase) {
  const std::tuple<const char*, const char*, bool> cases[] = {
      {"*.txt", "b.TXT", true},    {"*.txt", "b.txt.bak", false}, {"*.txt", "txt", false},
      {"*.txt", ".txt", true},     // "*" may be nothing
      {"*.*", "noext", true},      {"*.", "noext", true},         {"*.", "a.txt", false},
      {"a?c", "ac", false},        {"a?.txt", "abc.txt", false},  {"a?b", "a.b", false},
      {"a?.txt", "a.txt", true},   // "?" is nothing at a dot
      {"ab??", "ab", true},        // and nothing at the end
      {"name.*", "name", true},    {"name.*", "name.txt", true},  {"name.*", "names", false},
      {"*.TXT", "\xC3\xA9.txt", true},   // é.txt
      {"\303\211*", "\303\251a", true},  // É* against éa
      {"*.SXT", "a.\xC5\xBFxt", true},   // long s upper-cases to S
      {"*.txt", "\xFF.txt", true},       // invalid UTF-8 byte
      {"ab*", "a", false},  {"ab?", "AB", true}, {"ab*c", "xabc", false},  // literal start
      {"SX*", "\xC5\xBFx1", true},     // long s again, where the literal start is compared
      {"\xFE*", "\xFF", false},
  };
  for (const auto& [pattern, name, matches] : cases) {
    EXPECT_EQ(WildcardMatch(pattern, name), matches)
        << "pattern \"" << pattern << "\", name \"" << name << "\"";
  }
}

TEST(SearchDirectory, SortsAndFiltersByPatternAndAttributes) {
  TempDir dir;
  QTARVOX_SKIP_WITHOUT_USER_XATTRS(dir);
  for (const char* name : {"b.txt", "a.txt", "A.txt", "_x.txt", ".dot.txt", "README"})
    dir.WriteFile(name);
  StoreRawDosAttrib(dir.WriteFile("hid.txt"), "0x2");
  StoreRawDosAttrib(dir.WriteFile("sys.txt"), "0x4");
  dir.MakeDir("sub.txt");
  symlink("b.txt", dir.PathOf("link.txt").c_str());

  const std::tuple<const char*, SearchFilter, Names> cases[] = {
      {"*.txt", SearchFilter::kFiles, {".dot.txt", "A.txt", "a.txt", "b.txt", "hid.txt", "_x.txt"}},
      {"*.TXT", SearchFilter::kNormalFiles, {"A.txt", "a.txt", "b.txt", "_x.txt"}},
      {"*.", SearchFilter::kFiles, {"README"}},
      {"s*", SearchFilter::kDirectories, {"sub.txt"}},
  };
  for (const auto& [pattern, filter, expected] : cases) {
    Names names;
    ASSERT_TRUE(SearchDirectory(dir.slash(), pattern, filter, names).ok()) << pattern;
    EXPECT_EQ(names, expected) << pattern << " filter " << static_cast<int>(filter);
  }
  Names names{"stale"};
  EXPECT_EQ(SearchDirectory(dir.PathOf("missing"), "*", SearchFilter::kFiles, names).number,
            kErrFileNotFound);
  EXPECT_TRUE(names.empty());
}

// A folder large enough to share its attribute reads lists as the one-thread rules do.
TEST(ListForWalk, LargeFolderListsAsSeparateSearchesWould) {
  TempDir dir;
  QTARVOX_SKIP_WITHOUT_USER_XATTRS(dir);
  Names txt, dat;
  for (int i = 0; i < 600; ++i) {
    const std::string name =
        (i % 2 ? "f" : "F") + std::to_string(i / 2 % 150) + (i < 300 ? ".txt" : ".dat");
    const std::string path = dir.WriteFile(name);
    if (i % 7 == 0) {
      StoreRawDosAttrib(path, "0x4");  // system: never listed
      continue;
    }
    if (i % 11 == 0) StoreRawDosAttrib(path, "0x2");  // hidden: still a file
    (i < 300 ? txt : dat).push_back(name);
  }
  for (Names* names : {&txt, &dat}) {
    std::sort(names->begin(), names->end(),
              [](const std::string& a, const std::string& b) { return CompareNames(a, b) < 0; });
  }
  dir.MakeDir("plain");
  StoreRawDosAttrib(dir.MakeDir("hidden"), "0x2");
  chmod(dir.MakeDir("readonly").c_str(), 0555);
  symlink("plain", dir.PathOf("link").c_str());

  WalkListing listing;
  ASSERT_TRUE(ListForWalk(dir.slash(), {"*.txt", "*.DAT"}, true, listing).ok());
  ASSERT_EQ(listing.files.size(), 2u);
  EXPECT_EQ(Names(listing.files[0].begin(), listing.files[0].end()), txt);
  EXPECT_EQ(Names(listing.files[1].begin(), listing.files[1].end()), dat);
  EXPECT_EQ(listing.subdirectories, Names{"plain"});
  Names searched;
  ASSERT_TRUE(SearchDirectory(dir.slash(), "*.dat", SearchFilter::kFiles, searched).ok());
  EXPECT_EQ(searched, dat);
}

TEST(ListForWalk, FolderSortedInHalvesKeepsTheOneOrder) {
  TempDir dir;
  const char* const stems[] = {"report-2024-", "REPORT-2024-", "Report-2024-", "élan-",
                               "Élan-",        "zz",           "_x",           "Ärger "};
  Names expected;
  // Just above the size sorted in halves (16,384 names).
  for (int i = 0; i < 16500; ++i) {
    // Numbers that do not grow with i, so readdir's order is no help.
    const std::string name = stems[i % std::size(stems)] + std::to_string(i * 7919 % 16519);
    close(open(dir.PathOf(name).c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
    expected.push_back(name);
  }
  std::sort(expected.begin(), expected.end(),
            [](const std::string& a, const std::string& b) { return CompareNames(a, b) < 0; });
  WalkListing listing;
  ASSERT_TRUE(ListForWalk(dir.slash(), {"*"}, false, listing, true, true).ok());
  ASSERT_EQ(listing.files.size(), 1u);
  EXPECT_EQ(Names(listing.files[0].begin(), listing.files[0].end()), expected);
}

}  // namespace
}  // namespace qtarvox
