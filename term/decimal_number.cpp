#include "term/decimal_number.h"

#include <cstdlib>

namespace {

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Accepts digits with at most one decimal point; returns the index after them and how many digits.
int scan_mantissa(const char* text, int at, int& digits) {
  digits = 0;
  while (is_digit(text[at])) ++at, ++digits;
  if (text[at] != '.') return at;
  ++at;
  while (is_digit(text[at])) ++at, ++digits;
  return at;
}

// Accepts "E" or "e", an optional sign and at least one digit; returns `at` unchanged otherwise.
int scan_exponent(const char* text, int at) {
  if (text[at] != 'E' && text[at] != 'e') return at;
  int k = at + 1;
  if (text[k] == '+' || text[k] == '-') ++k;
  if (!is_digit(text[k])) return at;
  while (is_digit(text[k])) ++k;
  return k;
}

// Index of the first character after leading blanks and an optional sign.
int mantissa_start(const char* text) {
  int at = 0;
  while (is_blank(text[at])) ++at;
  if (text[at] == '+' || text[at] == '-') ++at;
  return at;
}

}  // namespace

int decimal_prefix_length(const char* text) {
  int at = mantissa_start(text);
  int digits = 0;
  at = scan_mantissa(text, at, digits);
  if (digits == 0) return 0;
  return scan_exponent(text, at);
}

// Only the plain decimal form converts here, the same on every platform: words for
// infinity or not-a-number have no digits and read as 0, and "0x1A" reads as its leading 0.
// strtod's decimal grammar is the one scanned above, so once the text is known to start
// with a decimal number and not with "0x", strtod stops exactly where the scan stopped.
double decimal_prefix_value(const char* text) {
  if (decimal_prefix_length(text) == 0) return 0.0;
  const int at = mantissa_start(text);
  if (text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X')) {
    return at > 0 && text[at - 1] == '-' ? -0.0 : 0.0;
  }
  return std::strtod(text, nullptr);
}
