#include "term/decimal_number.h"

#include "term/term_text.h"

namespace {

constexpr int exact_whole_digits = 15;  // every whole number of this many digits is a double

// True when the mantissa from `start` to `end` writes a whole number of at most 15 digits,
// exact in a double: digits, then at most a point and zeros ("30.0", as the evaluator
// closes every number it reads); `value` is then that number. Most numbers typed are such,
// and need no general conversion.
bool read_short_whole_number(const char* text, int start, int end, double& value) {
  const char* at = text + start;
  const char* const stop = text + end;
  const char* const digits_end = end - start > exact_whole_digits ? at + exact_whole_digits : stop;
  long long whole = 0;
  for (; at < digits_end; ++at) {
    const unsigned digit = static_cast<unsigned char>(*at) - static_cast<unsigned>('0');
    if (digit > 9) break;
    whole = whole * 10 + digit;
  }
  if (at == text + start || (at < stop && is_digit(*at))) return false;
  if (at < stop && *at == '.') ++at;
  while (at < stop && *at == '0') ++at;
  value = static_cast<double>(whole);
  return at == stop;
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

// Only the plain decimal form is a prefix, the same on every platform: words for infinity or
// not-a-number have no digits and read as 0, and "0x1A" reads as its leading 0, the scan
// stopping at the 'x'.
int decimal_prefix_length(const char* text) {
  bool negative = false;
  int digits = 0;
  const int end = prefix_end(text, mantissa_start(text, negative), digits);
  return digits == 0 ? 0 : end;
}

// The sign is applied here, so "-0" keeps it.
double decimal_text_value(const char* text, int length) {
  if (length == 0) return 0.0;
  const bool negative = text[0] == '-';
  const int start = negative || text[0] == '+' ? 1 : 0;
  double magnitude = 0.0;
  if (!read_short_whole_number(text, start, length, magnitude)) {
    magnitude = unsigned_decimal_value(text + start, text + length);
  }
  return negative ? -magnitude : magnitude;
}
