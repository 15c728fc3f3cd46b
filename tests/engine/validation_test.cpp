#include "engine/validation.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "fakes.h"

namespace qtarvox {
namespace {

TEST(InvalidNameChar, ReportsFirstCharacterInFixedOrder) {
  const std::pair<const char*, const char*> cases[] = {
      {"", ""}, {"abc\"def", ""}, {"a>b/c", "/"}, {"a:b?c", "?"}, {"x|y<z", "|"}};
  for (const auto& [text, expected] : cases) EXPECT_EQ(InvalidNameChar(text), expected) << text;
}

// The first failing action's message, under its number (the texts are checked end to end).
TEST(ValidateStep1, ShowsOnlyTheFirstFailingActionsMessage) {
  const struct {
    std::vector<int> ticked;  // 1-based positions
    std::function<void(Job&)> set;
    int position;  // 0: passes
  } cases[] = {
      {{1, 2}, {}, 2},
      {{4, 5}, {}, 4},
      {{4}, [](Job& j) { j.DeleteLastCount = 2.5; }, 0},
      {{5}, {}, 5},
      {{6}, {}, 6},
      {{6}, [](Job& j) { j.ReplaceSearch = "a"; }, 0},
      {{6}, [](Job& j) { j.ReplaceSearch = "a", j.ReplaceWith = "b:"; }, 6},
      {{7}, {}, 7},
      {{8}, [](Job& j) { j.AddEndText = "a/b"; }, 8},
      {{9}, [](Job& j) { j.NumberEndStartGiven = true, j.NumberEndStart = "0"; }, 9},
      {{10}, [](Job& j) { j.NumberBeginningStartGiven = true; }, 10},
      {{9}, [](Job& j) { j.NumberEndStartGiven = true, j.NumberEndStart = "2147483648"; }, 9},
      {{9}, [](Job& j) { j.NumberEndStartGiven = true, j.NumberEndStart = "95"; }, 0},
      {{15}, [](Job& j) { j.NewExtension = "*.txt"; }, 15},
      {{16}, {}, 16},
      {{17}, [](Job& j) { j.NewFilename = "a?.txt"; }, 17},
      {{11, 12, 13, 14, 3}, {}, 0},
  };
  for (const auto& c : cases) {
    Job job;
    for (int p : c.ticked) TickPosition(job, p);
    if (c.set) c.set(job);
    const Step1Check check = ValidateStep1(job);
    SCOPED_TRACE(c.ticked[0]);
    EXPECT_EQ(check.passed, c.position == 0);
    if (c.position == 0) {
      EXPECT_TRUE(check.message.empty());
      continue;
    }
    EXPECT_EQ(check.message.rfind("Error in Action " + std::to_string(c.position) + " : \r\n", 0),
              0u);
    EXPECT_EQ(check.failing, c.position - 1);
  }
}

TEST(ValidateStep1, NormalisesTheNewExtension) {
  const std::pair<const char*, const char*> cases[] = {
      {"txt", ".txt"}, {".txt", ".txt"}, {"", "."}, {"  doc ", ".doc"}};
  for (const auto& [in, out] : cases) {
    Job job;
    TickPosition(job, 15);
    job.NewExtension = in;
    EXPECT_TRUE(ValidateStep1(job).passed);
    EXPECT_EQ(job.NewExtension, out);
  }
}

}  // namespace
}  // namespace qtarvox
