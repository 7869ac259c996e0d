#include "term/decimal_number.h"

#include <cfloat>
#include <cstdint>
#include <cstdlib>

#include "term/term_text.h"

namespace {

constexpr int exact_digit_limit = 15;       // digits of an integer always exact in a double
constexpr int exact_power_limit = 22;       // largest power of ten exact in a double
constexpr int exponent_digit_limit = 4000;  // beyond every double's exponent; reading stops there

// Powers of ten that a double holds exactly, 1e0 to 1e22.
constexpr double exact_powers_of_ten[exact_power_limit + 1] = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// What one scan of a decimal prefix found.
struct DecimalScan {
  int length;            // bytes of the prefix, 0 when there is none
  bool negative;         // a '-' sign came before the digits
  bool hexadecimal;      // the digits begin "0x" or "0X", a form strtod would read as hex
  std::uint64_t digits;  // the significant digits as an integer, when there are few enough
  int significant;       // how many digits count after leading zeros
  int scale;             // the power of ten the digits are multiplied by
  bool huge_exponent;    // the exponent reached exponent_digit_limit: scale is not exact
};

// Index of the first character after leading blanks and an optional sign.
int mantissa_start(const char* text, bool& negative) {
  int at = 0;
  while (is_blank(text[at])) ++at;
  negative = text[at] == '-';
  if (text[at] == '+' || text[at] == '-') ++at;
  return at;
}

// Adds one mantissa digit; leading zeros are not significant, digits beyond the exact limit
// are only counted (such a number goes to strtod).
void add_digit(DecimalScan& scan, char c) {
  if (scan.significant == 0 && c == '0') return;
  if (++scan.significant <= exact_digit_limit) scan.digits = scan.digits * 10 + (c - '0');
}

// Accepts digits with at most one decimal point; returns the index after them and how many digits.
int scan_mantissa(const char* text, int at, DecimalScan& scan, int& digits) {
  digits = 0;
  for (; is_digit(text[at]); ++at, ++digits) add_digit(scan, text[at]);
  if (text[at] != '.') return at;
  ++at;
  for (; is_digit(text[at]); ++at, ++digits) {
    add_digit(scan, text[at]);
    --scan.scale;
  }
  return at;
}

// Accepts "E" or "e", an optional sign and at least one digit, adding its value to the
// scale; returns `at` unchanged otherwise.
int scan_exponent(const char* text, int at, DecimalScan& scan) {
  if (text[at] != 'E' && text[at] != 'e') return at;
  int k = at + 1;
  const bool negative = text[k] == '-';
  if (text[k] == '+' || text[k] == '-') ++k;
  if (!is_digit(text[k])) return at;
  int exponent = 0;
  for (; is_digit(text[k]); ++k) {
    if (exponent < exponent_digit_limit) exponent = exponent * 10 + (text[k] - '0');
  }
  scan.huge_exponent = exponent >= exponent_digit_limit;
  scan.scale += negative ? -exponent : exponent;
  return k;
}

DecimalScan scan_decimal(const char* text) {
  DecimalScan scan = {0, false, false, 0, 0, 0, false};
  const int start = mantissa_start(text, scan.negative);
  int digits = 0;
  const int at = scan_mantissa(text, start, scan, digits);
  if (digits == 0) return scan;
  scan.hexadecimal = text[start] == '0' && (text[start + 1] == 'x' || text[start + 1] == 'X');
  scan.length = scan_exponent(text, at, scan);
  return scan;
}

// With at most 15 significant digits and a power of ten of at most 22 either way, the
// digits and the power are both exact doubles, so one multiplication or division rounds
// once, to nearest: the double strtod returns. That needs doubles evaluated as doubles.
bool converts_exactly(const DecimalScan& scan) {
  return FLT_EVAL_METHOD == 0 && !scan.huge_exponent && scan.significant <= exact_digit_limit &&
         scan.scale >= -exact_power_limit && scan.scale <= exact_power_limit;
}

double exact_value(const DecimalScan& scan) {
  const double digits = static_cast<double>(scan.digits);
  const double value = scan.scale < 0 ? digits / exact_powers_of_ten[-scan.scale]
                                      : digits * exact_powers_of_ten[scan.scale];
  return scan.negative ? -value : value;
}

}  // namespace

// Only the plain decimal form converts here, the same on every platform: words for
// infinity or not-a-number have no digits and read as 0, and "0x1A" reads as its leading 0.
// strtod's decimal grammar is the one scanned above, so once the text is known to start
// with a decimal number and not with "0x", strtod stops exactly where the scan stopped.
// Most numbers typed are short and convert exactly without it.
double decimal_prefix_value(const char* text, int& prefix_length) {
  const DecimalScan scan = scan_decimal(text);
  prefix_length = scan.length;
  if (scan.length == 0) return 0.0;
  // "0x1A" scans as a lone 0, which converts exactly; this guards the builds where the exact
  // path is off (doubles evaluated wider, as with 32-bit x87) and strtod would read hex.
  if (scan.hexadecimal) return scan.negative ? -0.0 : 0.0;
  if (converts_exactly(scan)) return exact_value(scan);
  return std::strtod(text, nullptr);
}
