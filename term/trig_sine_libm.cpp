// Sine and cosine where the C library reduces large angles exactly (the GNU C library and
// the other Unix libraries this program is built with): the library's own functions.
#include <cmath>

#include "term/trig_functions.h"

double trig_sin(double angle) {
  return std::sin(angle);
}

double trig_cos(double angle) {
  return std::cos(angle);
}
