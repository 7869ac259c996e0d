#include "picture/angle_text.h"

#include <cmath>
#include <cstdio>

#include "trig/trig_constants.h"

namespace {

// True when `a` and `b` agree to within a few units in the last place of the larger.
bool nearly_equal(double a, double b) {
  const double scale = std::fabs(a) > std::fabs(b) ? std::fabs(a) : std::fabs(b);
  return std::fabs(a - b) <= 8 * scale * 2.220446049250313e-16;
}

}  // namespace

bool pi_fraction(double radians, long& numerator, long& denominator) {
  if (!std::isfinite(radians) || std::fabs(radians) > 1e6) return false;  // n fits any long
  if (radians == 0) {
    numerator = 0;
    denominator = 1;
    return true;
  }
  const double turns = radians / trig_pi;
  for (long d = 1; d <= pi_fraction_denominator_capacity; ++d) {
    const double n = std::nearbyint(turns * static_cast<double>(d));
    if (n != 0 && nearly_equal(n * trig_pi / static_cast<double>(d), radians)) {
      numerator = static_cast<long>(n);
      denominator = d;
      return true;
    }
  }
  return false;
}

int number_text(double value, int digits, char (&out)[angle_text_capacity]) {
  if (value == 0) value = 0;  // no "-0"
  return std::snprintf(out, sizeof out, "%.*g", digits, value);
}

int angle_text(double x, bool radians, bool unicode, bool degree_sign, int digits,
               char (&out)[angle_text_capacity]) {
  long n = 0, d = 1;
  if (!radians) {
    const int written = number_text(x, digits, out);
    if (!degree_sign) return written;
    return written + std::snprintf(out + written, sizeof out - written, "%s",
                                   unicode ? "\xc2\xb0" : "");  // U+00B0
  }
  if (!pi_fraction(x, n, d)) return number_text(x, digits, out);
  if (n == 0) return std::snprintf(out, sizeof out, "0");
  const char* pi = unicode ? "\xcf\x80" : "pi";  // U+03C0
  const char* sign = n < 0 ? "-" : "";
  const long whole = n < 0 ? -n : n;
  char times[24] = "";
  if (whole != 1) std::snprintf(times, sizeof times, "%ld", whole);
  if (d == 1) return std::snprintf(out, sizeof out, "%s%s%s", sign, times, pi);
  return std::snprintf(out, sizeof out, "%s%s%s/%ld", sign, times, pi, d);
}
