#include "engine/numeric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/numbering.h"

namespace qtarvox {
namespace {

TEST(NumericValue, ReadsLeadingNumberOfTrimmedText) {
  const struct {
    const char* text;
    double value;
  } cases[] = {
      {"12abc", 12},
      {"abc", 0},
      {"2.5", 2.5},
      {"-3", -3},
      {"  7  ", 7},
      {"", 0},
      {"+4x", 4},
      {".5", 0.5},
      {"1.2.3", 1.2},
      {"- 3", 0},
      {"0012", 12},
      {"3 4", 3},
      {"123456789012345", 123456789012345.0},
      {"1234567890123456", 1234567890123456.0},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(NumericValue(c.text), c.value) << c.text;
  EXPECT_TRUE(std::isinf(NumericValue(std::string(400, '9'))));
}

TEST(NumericValue, RoundsHalvesToEvenAndClampsToInt32) {
  const struct {
    double in;
    int32_t out;
  } cases[] = {
      {2.5, 2},
      {3.5, 4},
      {-2.5, -2},
      {0.5, 0},
      {1.49, 1},
      {1.51, 2},
      {1e300, std::numeric_limits<int32_t>::max()},
      {-1e300, std::numeric_limits<int32_t>::min()},
      {std::numeric_limits<double>::infinity(), std::numeric_limits<int32_t>::max()},
      {std::nan(""), 0},
  };
  for (const auto& c : cases) EXPECT_EQ(RoundHalfEvenClamped(c.in), c.out) << c.in;
}

TEST(Numbering, EvenWidthCountsDigitsOfTheBound) {
  const struct {
    double bound;
    int width;
  } cases[] = {{5, 1}, {12, 2}, {100, 3}, {0, 1}, {9, 1}, {10, 2}, {99, 2}, {1000000, 7}};
  for (const auto& c : cases) EXPECT_EQ(EvenWidth(c.bound), c.width) << c.bound;
}

}  // namespace
}  // namespace qtarvox
