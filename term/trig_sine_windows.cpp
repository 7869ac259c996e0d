// Sine and cosine on Windows, whose runtime reduces by a 66-bit pi and loses digits near
// multiples of pi: the exact quarter-turn reduction gives the digits of every other build.
#include "term/trig_functions.h"

double trig_sin(double angle) {
  return reduced_sin(angle);
}

double trig_cos(double angle) {
  return reduced_cos(angle);
}
