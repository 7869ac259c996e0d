#include "term/decimal_number.h"

#include "term/term_text.h"

namespace {

// Index of the first character after leading blanks and an optional sign.
int mantissa_start(const char* text, bool& negative) {
  int at = 0;
  while (is_blank(text[at])) ++at;
  negative = text[at] == '-';
  if (text[at] == '+' || text[at] == '-') ++at;
  return at;
}

// Index after the digits from `at` on, with at most one decimal point among them; `digits`
// counts the digits.
int mantissa_end(const char* text, int at, int& digits) {
  digits = 0;
  for (; is_digit(text[at]); ++at) ++digits;
  if (text[at] != '.') return at;
  for (++at; is_digit(text[at]); ++at) ++digits;
  return at;
}

// Index after an exponent at `at` ("E" or "e", an optional sign and at least one digit);
// `at` itself when there is none.
int exponent_end(const char* text, int at) {
  if (text[at] != 'E' && text[at] != 'e') return at;
  int k = at + 1;
  if (text[k] == '+' || text[k] == '-') ++k;
  if (!is_digit(text[k])) return at;
  while (is_digit(text[k])) ++k;
  return k;
}

}  // namespace

// Only the plain decimal form converts, the same on every platform: words for infinity or
// not-a-number have no digits and read as 0, and "0x1A" reads as its leading 0, the scan
// stopping at the 'x'. The sign is applied here, so "-0" keeps it.
double decimal_prefix_value(const char* text, int& prefix_length) {
  bool negative = false;
  const int start = mantissa_start(text, negative);
  int digits = 0;
  const int end = exponent_end(text, mantissa_end(text, start, digits));
  prefix_length = digits == 0 ? 0 : end;
  if (digits == 0) return 0.0;
  const double magnitude = unsigned_decimal_value(text + start, text + end);
  return negative ? -magnitude : magnitude;
}
