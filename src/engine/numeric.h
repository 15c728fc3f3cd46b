// Reading numbers typed as text, the way every count and start number is read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qtarvox {

// The leading decimal number of the trimmed text, sign and fraction included:
// "12abc" 12, "abc" 0, "2.5" 2.5, "-3" -3, "" 0. Never fails; a number too
// large for a double gives infinity.
double NumericValue(std::string_view text);

// Rounds to the nearest whole number, a half to the even neighbour, clamped to
// the 32-bit signed range (NaN gives 0).
int32_t RoundHalfEvenClamped(double value);

// Rounds to the nearest whole number, a half to the even neighbour.
double RoundHalfEven(double value);

// Plain decimal text of a number: whole numbers without a fraction ("12"),
// others in their shortest exact form ("2.5").
std::string FormatNumber(double value);

}  // namespace qtarvox
