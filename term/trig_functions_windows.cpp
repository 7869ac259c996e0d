// The trigonometric functions on Windows, whose runtime reduces angles by a 66-bit pi and
// rounds less closely: the portable double-double ones. Correctly rounded but in rare cases,
// they differ from the GNU C library where it is not: 1 to 2 arguments in 1000 for sin, cos,
// tan and asin, fewer than 1 in 2000 for acos and atan (200,000 arguments a function).
#include "term/trig_functions.h"

double trig_sin(double angle) {
  return reduced_sin(angle);
}

double trig_cos(double angle) {
  return reduced_cos(angle);
}

double trig_tan(double angle) {
  return reduced_tan(angle);
}

double trig_asin(double ratio) {
  return series_asin(ratio);
}

double trig_acos(double ratio) {
  return series_acos(ratio);
}

double trig_atan(double ratio) {
  return series_atan(ratio);
}
