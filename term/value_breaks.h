// Where a computation in doubles made a value that is no finite number of finite ones: a
// number too large for a double, a division by 0, a function where it has no value; or 0 of
// numbers that are not 0: a number too small for a double, an operation below its smallest. The
// computation records each such step as it goes, when asked to; the command line's notes of a
// value that is not finite are made from that record, with no second computation.
#pragma once

#include "text/limits.h"

// What a step did.
enum class BreakKind : unsigned char {
  number_too_large,     // a number that reads as infinity
  division_by_zero,     // a '/' whose divisor is 0 (an operator after the last operand meets 0)
  function_pole,        // a reciprocal of a function that is 0 there (cosec 0, cotg 0)
  outside_domain,       // an inverse function's argument outside -1 to 1
  pole_in_degrees,      // a tangent, secant, cotangent or cosecant at its pole, in degrees
  root_of_negative,     // the square root of a number below 0
  power_without_value,  // 0 to a power below 0, or a number below 0 to one that is no integer
  overflow,             // an operation on finite numbers gave infinity
  number_too_small,     // a number that is not 0 but reads as 0 (1e-999999)
  underflow             // an operation on finite numbers other than 0 gave 0 (10^-10^10)
};

// One step, by the columns of the line it is about.
struct ValueBreak {
  BreakKind kind;
  unsigned char column;
  unsigned char length;
  unsigned char function;  // pole_in_degrees: the TermFunction
};

// The steps of one line.
struct ValueBreaks {
  int count;    // steps kept in `breaks`
  int dropped;  // steps that found no room
  ValueBreak breaks[value_break_capacity];
};

// Records a step about `length` bytes of the line from `column`; nothing when `breaks` is
// null (no record asked for).
inline void add_break(ValueBreaks* breaks, BreakKind kind, int column, int length,
                      int function = 0) {
  if (breaks == nullptr) return;
  if (breaks->count == value_break_capacity) {
    ++breaks->dropped;
    return;
  }
  breaks->breaks[breaks->count++] = {kind, static_cast<unsigned char>(column),
                                     static_cast<unsigned char>(length),
                                     static_cast<unsigned char>(function)};
}
