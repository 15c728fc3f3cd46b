#include "engine/numeric.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

#include "platform/chars.h"

namespace qtarvox {

double NumericValue(std::string_view text) {
  const std::string_view t = TrimBlanks(text);
  // Counters are whole numbers read once per file: up to 15 plain digits are
  // exact in a double and need no conversion call.
  if (!t.empty() && t.size() <= 15 &&
      std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    int64_t value = 0;
    for (const char c : t) value = value * 10 + (c - '0');
    return static_cast<double>(value);
  }
  size_t i = 0;
  std::string number;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
    if (t[i] == '-') number.push_back('-');
    ++i;
  }
  bool digits = false;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
    number.push_back(t[i++]);
    digits = true;
  }
  if (i < t.size() && t[i] == '.') {
    number.push_back('.');
    ++i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
      number.push_back(t[i++]);
      digits = true;
    }
  }
  if (!digits) return 0;
  // Not strtod: it reads the decimal point of the locale, which the window
  // sets from the user's environment ("2.5" would be 2 where it is a comma).
  double value = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error == std::errc::result_out_of_range) {
    // Too large for a double, or so small it rounds to zero.
    const bool large = number.find_first_not_of("-0") < number.find('.');
    value = large ? std::numeric_limits<double>::infinity() : 0.0;
    if (number[0] == '-') value = -value;
  }
  return value;
}

double RoundHalfEven(double value) {
  if (!std::isfinite(value)) return value;
  const double floor = std::floor(value);
  const double diff = value - floor;
  if (diff < 0.5) return floor;
  if (diff > 0.5) return floor + 1;
  return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

int32_t RoundHalfEvenClamped(double value) {
  if (std::isnan(value)) return 0;
  const double r = RoundHalfEven(value);
  if (r >= static_cast<double>(std::numeric_limits<int32_t>::max())) {
    return std::numeric_limits<int32_t>::max();
  }
  if (r <= static_cast<double>(std::numeric_limits<int32_t>::min())) {
    return std::numeric_limits<int32_t>::min();
  }
  return static_cast<int32_t>(r);
}

std::string FormatNumber(double value) {
  if (value == std::floor(value) && std::fabs(value) < 1e18) {
    return std::to_string(static_cast<long long>(value));
  }
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, res.ptr);
}

}  // namespace qtarvox
