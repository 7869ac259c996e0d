// Decimal conversion on 32-bit x86. Debian's C++ library for it is built for x87 arithmetic,
// and its std::from_chars rounds some numbers twice, through 80-bit registers and then to
// double: 9.0002409400799e21 comes out one unit in the last place too high, as 18 texts of
// 3,000,000 random ones did. The C library's strtod rounds correctly with integer arithmetic.
#include <cstdlib>

#include "term/decimal_number.h"

// strtod's decimal grammar is the one scanned, so it stops at `last`, except after "0x",
// which it would read as hexadecimal where the scan read only the 0. The program never
// leaves the C locale for numbers, so the decimal point is '.'.
double unsigned_decimal_value(const char* first, const char*) {
  if (first[0] == '0' && (first[1] == 'x' || first[1] == 'X')) return 0.0;
  return std::strtod(first, nullptr);
}
