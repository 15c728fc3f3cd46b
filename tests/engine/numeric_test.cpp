#include "engine/numeric.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "engine/numbering.h"
#include "temp_dir.h"

namespace qtarvox {
namespace {

TEST(NumericValue, ReadsLeadingNumberOfTrimmedText) {
  const std::pair<const char*, double> cases[] = {
      {"12abc", 12}, {"abc", 0}, {"2.5", 2.5},   {"-3", -3},   {"  7  ", 7},  {"", 0},
      {"+4x", 4},    {".5", 0.5}, {"1.2.3", 1.2}, {"- 3", 0},  {"0012", 12}, {"3 4", 3},
      {"123456789012345", 123456789012345.0},      {"1234567890123456", 1234567890123456.0}};
  for (const auto& [text, value] : cases) EXPECT_DOUBLE_EQ(NumericValue(text), value) << text;
  EXPECT_TRUE(std::isinf(NumericValue(std::string(400, '9'))));
}

// The window sets the user's locale; a decimal comma there must not cut "2.5" to 2.
TEST(NumericValue, ReadsAPointWhateverTheLocale) {
  const char* found = nullptr;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "de_DE"}) {
    if (std::setlocale(LC_NUMERIC, name) != nullptr) {
      found = name;
      break;
    }
  }
  // Where none is installed, one is made from the system's locale sources.
  TempDir compiled;
  if (found == nullptr &&
      std::system(("localedef -i de_DE -f UTF-8 '" + compiled.PathOf("de_DE.UTF-8") +
                   "' >/dev/null 2>&1").c_str()) == 0) {
    setenv("LOCPATH", compiled.path().c_str(), 1);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr) found = "de_DE.UTF-8 (made here)";
  }
  if (found == nullptr) GTEST_SKIP() << "no locale with a decimal comma is installed";
  const double half = NumericValue("2.5"), small = NumericValue("-0.25x");
  std::setlocale(LC_NUMERIC, "C");
  unsetenv("LOCPATH");
  EXPECT_EQ(half, 2.5) << found;
  EXPECT_EQ(small, -0.25) << found;
}

TEST(NumericValue, RoundsHalvesToEvenAndClampsToInt32) {
  const std::pair<double, int32_t> cases[] = {
      {2.5, 2}, {3.5, 4}, {-2.5, -2}, {0.5, 0}, {1.49, 1}, {1.51, 2},
      {1e300, std::numeric_limits<int32_t>::max()}, {-1e300, std::numeric_limits<int32_t>::min()},
      {std::numeric_limits<double>::infinity(), std::numeric_limits<int32_t>::max()},
      {std::nan(""), 0}};
  for (const auto& [in, out] : cases) EXPECT_EQ(RoundHalfEvenClamped(in), out) << in;
}

TEST(Numbering, EvenWidthCountsDigitsOfTheBound) {
  const std::pair<double, int> cases[] = {{5, 1},  {12, 2}, {100, 3}, {0, 1},
                                          {9, 1},  {10, 2}, {99, 2},  {1000000, 7}};
  for (const auto& [bound, width] : cases) EXPECT_EQ(EvenWidth(bound), width) << bound;
}

}  // namespace
}  // namespace qtarvox
