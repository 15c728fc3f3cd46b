#include "engine/unique_number.h"

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "temp_dir.h"

namespace qtarvox {
namespace {

TEST(NumberInName, ReadsAndWritesSixtyFourBitNumbersAndNothingLarger) {
  const std::pair<const char*, int64_t> cases[] = {
      {"same_32768.txt", 32768},
      {"same_9223372036854775807.txt", 9223372036854775807},  // the largest int64
      {"same_9223372036854775808.txt", -1},                   // one past it
      {"same_99999999999999999999.txt", -1},
      {"same_0009223372036854775807.txt", 9223372036854775807},  // leading zeros are no digits
      {"same_000.txt", 0},
      {"same 92233 72036 85477 5807.txt", 9223372036854775807},  // blanks are skipped
      {"same 92233 72036 85477 5808.txt", -1},
      {"same  .txt", -1},
      {"same7.tar.9", 7},  // cut before the first dot
      {"12", 12},
      {"same", -1},
  };
  for (const auto& [filename, expected] : cases) {
    EXPECT_EQ(TrailingNumber(filename), expected) << filename;
  }
  EXPECT_EQ(InsertNumber("same.tar.gz", "_", 9223372036854775807),
            "same_9223372036854775807.tar.gz");
  EXPECT_EQ(InsertNumber("README", "_", 40000), "README40000");
}

TEST(NameIndex, SmallestFreeNumberFollowsTheRunsRenames) {
  TempDir dir;
  for (const char* name : {"b.txt", "b_1.txt", "b_2.txt", "b_3.txt", "b_4.txt", "b_5.txt"}) {
    dir.WriteFile(name);
  }
  NameIndex index;
  const auto next = [&] { return index.UniqueNumber(dir.slash(), "b.txt", ".txt"); };
  const auto rename = [&](const std::string& from, const std::string& to) {
    ASSERT_EQ(std::rename(dir.PathOf(from).c_str(), dir.PathOf(to).c_str()), 0);
    index.Renamed(dir.slash(), from, to);
  };
  EXPECT_EQ(next(), 6);
  rename("b_4.txt", "x4.dat");
  EXPECT_EQ(next(), 4);
  rename("b_2.txt", "x2.dat");
  EXPECT_EQ(next(), 2);
  rename("x4.dat", "b_4.txt");
  EXPECT_EQ(next(), 2);
  rename("x2.dat", "b_2.txt");
  EXPECT_EQ(next(), 6);
  rename("b_3.txt", "b_6.txt");  // frees 3 and takes the cursor's number
  EXPECT_EQ(next(), 3);
  rename("b_5.txt", "b_0003.txt");
  EXPECT_EQ(next(), 5);
  dir.WriteFile("b_5.txt");
  index.Renamed(dir.slash(), "elsewhere.txt", "b_5.txt");  // a file the index did not know
  EXPECT_EQ(next(), 7);
  rename("b_1.txt", "b_9223372036854775807.txt");
  EXPECT_EQ(next(), 1);
  EXPECT_EQ(UniqueNumber(dir.slash(), "b.txt", ".txt"), 1);
}

// The index matches names but for case in any script and keeps a byte that is not UTF-8.
TEST(NameIndex, MatchesNamesButForCaseBeyondAscii) {
  TempDir dir;
  for (const char* name : {"\xC3\x84rger.txt", "\xC3\xA4rger 2.txt", "\xC3\x84RGER_1.txt",
                           "x\xE9.txt", "\xC3\xB6l.txt"}) {
    dir.WriteFile(name);
  }
  NameIndex index;
  const std::pair<const char*, bool> cases[] = {
      {"\xC3\xA4rger.TXT", true},  // ärger.TXT
      {"\xC3\xA4rgerx.txt", false}, {"X\xE9.TXT", true},
      {"x\xC9.txt", false},                                 // another byte, not another case
      {"\xC3\xA4*.txt", true},      {"\xC3\x96L.*", true},  // ÖL.*
      {"\xC3\xBC*.txt", false},
  };
  for (const auto& [name, exists] : cases) {
    EXPECT_EQ(index.NormalFileExists(dir.slash(), name), exists) << name;
  }
  EXPECT_EQ(index.UniqueNumber(dir.slash(), "\xC3\xA4rger.txt", ".txt"), 3);
  EXPECT_EQ(UniqueNumber(dir.slash(), "\xC3\xA4rger.txt", ".txt"), 3);
}

// Many renames in random order, some onto names that exist.
TEST(NameIndex, StaysTrueThroughManyRenames) {
  TempDir dir;
  std::vector<std::string> pool;
  for (int i = 1; i <= 400; ++i) pool.push_back("n" + std::to_string(i) + ".txt");
  for (int i = 1; i <= 100; ++i) pool.push_back("x" + std::to_string(i) + ".dat");
  std::set<std::string> present;
  for (size_t i = 0; i < pool.size(); i += 2) {
    dir.WriteFile(pool[i]);
    present.insert(pool[i]);
  }
  NameIndex index;
  index.UniqueNumber(dir.slash(), "n.txt", ".txt");  // indexes the folder and the pattern
  std::mt19937 random(12345);
  const auto pick = [&](size_t count) { return static_cast<size_t>(random() % count); };
  for (int step = 1; step <= 3000; ++step) {
    auto from = present.begin();
    std::advance(from, static_cast<std::ptrdiff_t>(pick(present.size())));
    const std::string old_name = *from;
    const std::string& new_name = pool[pick(pool.size())];
    if (new_name == old_name) continue;
    ASSERT_EQ(std::rename(dir.PathOf(old_name).c_str(), dir.PathOf(new_name).c_str()), 0);
    index.Renamed(dir.slash(), old_name, new_name);
    present.erase(old_name);
    present.insert(new_name);
    const std::string& probe = pool[pick(pool.size())];
    ASSERT_EQ(index.KnownTaken(dir.slash(), probe), present.count(probe) == 1)
        << probe << " at step " << step;
    if (step % 100 == 0) {
      // A pattern first asked for now scans the case-blind index the
      // renames kept; the earlier ones are kept current since.
      for (int k = 0; k <= step / 100; ++k) {
        const std::string wanted = (k == 0 ? "n" : "n" + std::to_string(k)) + ".txt";
        ASSERT_EQ(index.UniqueNumber(dir.slash(), wanted, ".txt"),
                  UniqueNumber(dir.slash(), wanted, ".txt"))
            << wanted << " at step " << step;
      }
      std::string upper = probe;
      for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      ASSERT_EQ(index.NormalFileExists(dir.slash(), upper), present.count(probe) == 1)
          << upper << " at step " << step;
    }
  }
  for (const auto& name : pool) {
    EXPECT_EQ(index.KnownTaken(dir.slash(), name), present.count(name) == 1) << name;
  }
}

}  // namespace
}  // namespace qtarvox
