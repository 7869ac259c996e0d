// The trigonometric functions that are the C library's on every platform. Sine and cosine
// differ by runtime: trig_sine_libm.cpp or trig_sine_windows.cpp, chosen in CMakeLists.txt.
#include "term/trig_functions.h"

#include <cmath>

double trig_tan(double angle) {
  return std::tan(angle);
}

double trig_asin(double ratio) {
  return std::asin(ratio);
}

double trig_acos(double ratio) {
  return std::acos(ratio);
}

double trig_atan(double ratio) {
  return std::atan(ratio);
}
