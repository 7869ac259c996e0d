#include "term/decimal_number.h"

#include "term/term_text.h"

namespace {

constexpr int exact_whole_digits = 15;  // every whole number of this many digits is a double

// True when the mantissa from `start` to `end` writes a whole number of at most 15 digits,
// exact in a double: digits, then at most a point and zeros ("30.0", as the evaluator
// closes every number it reads). Most numbers typed are such, and need no general conversion.
bool is_short_whole_number(const char* text, int start, int end) {
  int at = start;
  while (at < end && is_digit(text[at])) ++at;
  const int whole_digits = at - start;
  if (at < end && text[at] == '.') ++at;
  while (at < end && text[at] == '0') ++at;
  return at == end && whole_digits > 0 && whole_digits <= exact_whole_digits;
}

// The whole number written by the digits at `text`, which is_short_whole_number accepted.
double whole_number_value(const char* text) {
  long long value = 0;
  for (; is_digit(*text); ++text) value = value * 10 + (*text - '0');
  return static_cast<double>(value);
}

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

// Index after the decimal prefix that starts at `start` (after blanks and sign); `digits`
// counts its mantissa's digits (none: nothing converts).
int prefix_end(const char* text, int start, int& digits) {
  return exponent_end(text, mantissa_end(text, start, digits));
}

}  // namespace

// Only the plain decimal form converts, the same on every platform: words for infinity or
// not-a-number have no digits and read as 0, and "0x1A" reads as its leading 0, the scan
// stopping at the 'x'. The sign is applied here, so "-0" keeps it.
double decimal_prefix_value(const char* text, int& prefix_length) {
  bool negative = false;
  const int start = mantissa_start(text, negative);
  int digits = 0;
  const int end = prefix_end(text, start, digits);
  prefix_length = digits == 0 ? 0 : end;
  if (digits == 0) return 0.0;
  const double magnitude = is_short_whole_number(text, start, end)
                               ? whole_number_value(text + start)
                               : unsigned_decimal_value(text + start, text + end);
  return negative ? -magnitude : magnitude;
}

int decimal_prefix_length(const char* text) {
  bool negative = false;
  int digits = 0;
  const int end = prefix_end(text, mantissa_start(text, negative), digits);
  return digits == 0 ? 0 : end;
}
