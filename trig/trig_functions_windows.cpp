// The trigonometric functions on Windows, whose runtime reduces angles by a 66-bit pi and
// rounds less closely: the portable double-double ones. Correctly rounded but in rare cases,
// they differ from the GNU C library where it is not: of 1,000,000 random arguments a
// function (bench/accuracy.py), 1.4 in 1000 for sin and cos, 2.6 for tan, 1.6 for asin, 0.7
// for acos and 1.0 for atan.
#include "trig/trig_functions.h"

double trig_sin(double angle) {
  return portable_sin(angle);
}

double trig_cos(double angle) {
  return portable_cos(angle);
}

double trig_tan(double angle) {
  return portable_tan(angle);
}

double trig_asin(double ratio) {
  return portable_asin(ratio);
}

double trig_acos(double ratio) {
  return portable_acos(ratio);
}

double trig_atan(double ratio) {
  return portable_atan(ratio);
}
