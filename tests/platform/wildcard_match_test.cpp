#include <gtest/gtest.h>

#include "platform/attributes.h"
#include "platform/dir_search.h"

namespace qtarvox {
namespace {

TEST(WildcardMatch, FollowsDosRulesIgnoringCase) {
  struct Case {
    const char* pattern;
    const char* name;
    bool matches;
  };
  const Case cases[] = {
      {"*.txt", "b.TXT", true},
      {"*.txt", "a.b.txt", true},
      {"*.txt", ".txt", true},
      {"*.txt", "b.txt.bak", false},
      {"*.*", "noext", true},
      {"*.*", "a.b", true},
      {"*", "any.thing", true},
      {"*.", "noext", true},
      {"*.", "a.txt", false},
      {"a*.", "abc", true},
      {"abc", "ABC", true},
      {"a*b", "aXYb", true},
      {"a?c", "abc", true},
      {"a?c", "ac", false},
      {"a?.txt", "a.txt", true},  // "?" is nothing at a dot
      {"a?.txt", "abc.txt", false},
      {"ab??", "ab", true},  // and nothing at the end
      {"a?b", "a.b", false},
      {"name.*", "name", true},
      {"name.*", "name.txt", true},
      {"name.*", "names", false},
      {"file*.*", "file1", true},
      {"*.TXT", "\xC3\xA9.txt", true},   // é.txt
      {"\303\211*", "\303\251a", true},  // É* against éa
      {"*.txt", "\xFF.txt", true},       // invalid UTF-8 byte before the suffix
      {"\xFE*", "\xFF", false},
      {"*.SXT", "a.\xC5\xBFxt", true},  // long s upper-cases to S: suffix test must decode
      {"*a*a*a*a*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WildcardMatch(c.pattern, c.name), c.matches)
        << "pattern \"" << c.pattern << "\", name \"" << c.name << "\"";
  }
}

TEST(PassesFilter, SelectsByAttributeBits) {
  struct Case {
    uint32_t attributes;
    bool files;
    bool normal_files;
    bool directories;
  };
  const Case cases[] = {
      {kAttrNormal, true, true, true},
      {kAttrReadOnly, true, true, true},
      {kAttrArchive, true, true, true},
      {kAttrHidden, true, false, false},
      {kAttrHidden | kAttrArchive, true, false, false},
      {kAttrSystem, false, false, false},  // symbolic links, fifos, stored system bit
      {kAttrDirectory, false, false, true},
      {kAttrDirectory | kAttrHidden, false, false, true},
      {kAttrDirectory | kAttrSystem, false, false, false},
      {kAttrInvalid, false, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PassesFilter(c.attributes, SearchFilter::kFiles), c.files) << c.attributes;
    EXPECT_EQ(PassesFilter(c.attributes, SearchFilter::kNormalFiles), c.normal_files)
        << c.attributes;
    EXPECT_EQ(PassesFilter(c.attributes, SearchFilter::kDirectories), c.directories)
        << c.attributes;
  }
}

}  // namespace
}  // namespace qtarvox
