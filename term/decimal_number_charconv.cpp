// Decimal conversion through std::from_chars, which rounds correctly whatever the number of
// digits, ignores the locale and allocates nothing.
#include <charconv>
#include <cstdlib>
#include <system_error>

#include "term/decimal_number.h"

// Out of the double range from_chars leaves the value unset; strtod then gives infinity, a
// subnormal or zero. Its decimal grammar is the one scanned, and the text begins with a
// digit or a point, so it stops at `last` and cannot read hexadecimal.
double unsigned_decimal_value(const char* first, const char* last) {
  double value = 0.0;
  if (std::from_chars(first, last, value).ec == std::errc::result_out_of_range) {
    value = std::strtod(first, nullptr);
  }
  return value;
}
