#include "picture/period.h"

#include <cmath>

#include "program/natural_functions.h"
#include "program/program_functions.h"
#include "term/operand_list.h"
#include "trig/trig_constants.h"

namespace {

// What a value on the stack is, as a function of the unknown.
enum class Dependence : unsigned char {
  constant,  // no unknown: `value`
  linear,    // value + slope·x: `slope`
  periodic,  // repeats every `period`
  other      // anything else
};

struct Shape {
  Dependence kind;
  double value;   // constant
  double slope;   // linear
  double period;  // periodic
};

constexpr Shape other_shape = {Dependence::other, 0, 0, 0};

Shape constant(double value) {
  return {Dependence::constant, value, 0, 0};
}

Shape periodic(double period) {
  return period > 0 ? Shape{Dependence::periodic, 0, 0, period} : other_shape;
}

bool is_constant(const Shape& shape) {
  return shape.kind == Dependence::constant;
}

// The period of a shape that repeats, or of a constant (0, which any period keeps); -1 for
// the others.
double period_of(const Shape& shape) {
  if (shape.kind == Dependence::periodic) return shape.period;
  return is_constant(shape) ? 0 : -1;
}

// Two shapes combined by an operation under which repeating values keep repeating.
Shape combined_period(const Shape& a, const Shape& b) {
  const double p = period_of(a), q = period_of(b);
  if (p < 0 || q < 0) return other_shape;
  return periodic(common_period(p, q));
}

Shape sum(const Shape& a, const Shape& b, double sign) {
  if (is_constant(a) && is_constant(b)) return constant(a.value + sign * b.value);
  if (a.kind == Dependence::linear && is_constant(b)) return a;
  if (is_constant(a) && b.kind == Dependence::linear) {
    return {Dependence::linear, 0, sign * b.slope, 0};
  }
  if (a.kind == Dependence::linear && b.kind == Dependence::linear) {
    const double slope = a.slope + sign * b.slope;
    return slope != 0 ? Shape{Dependence::linear, 0, slope, 0} : constant(0);
  }
  return combined_period(a, b);
}

Shape product(const Shape& a, const Shape& b, bool divide) {
  if (is_constant(a) && is_constant(b))
    return constant(divide ? a.value / b.value : a.value * b.value);
  if (a.kind == Dependence::linear && is_constant(b)) {
    return {Dependence::linear, 0, divide ? a.slope / b.value : a.slope * b.value, 0};
  }
  if (is_constant(a) && b.kind == Dependence::linear && !divide) {
    return {Dependence::linear, 0, a.value * b.slope, 0};
  }
  return combined_period(a, b);
}

// amplitude · f(argument): a direct function of a linear argument repeats every turn (half a
// turn for the tangent and cotangent) over the slope; any function of one that repeats repeats
// with it.
Shape function_shape(const ProgramStep& step, const Shape& amplitude, const Shape& argument) {
  const TermFunction function = term_function_of(step.argument);
  if (is_constant(amplitude) && is_constant(argument)) {
    const FunctionValue applied =
        natural_function_value(function, step.radians != 0, argument.value, inexact_fraction);
    return constant(amplitude.value * applied.value);
  }
  Shape applied = argument;
  if (argument.kind == Dependence::linear && is_direct_trigonometric(function)) {
    const bool half = function == TermFunction::tangent || function == TermFunction::cotangent;
    const double turn = step.radians ? 2 * trig_pi : 360.0;
    applied = periodic((half ? turn / 2 : turn) / std::fabs(argument.slope));
  } else if (argument.kind == Dependence::linear) {
    return other_shape;
  }
  return combined_period(amplitude, applied);
}

Shape power_shape(const Shape& base, const Shape& exponent) {
  if (is_constant(base) && is_constant(exponent))
    return constant(std::pow(base.value, exponent.value));
  if (base.kind == Dependence::linear || exponent.kind == Dependence::linear) return other_shape;
  return combined_period(base, exponent);
}

Shape combine(const ProgramStep& step, const Shape& left, const Shape& right) {
  switch (step.code) {
    case program_add:
      return sum(left, right, 1);
    case program_subtract:
      return sum(left, right, -1);
    case program_multiply:
      return product(left, right, false);
    case program_divide:
      return product(left, right, true);
    case program_function:
      return function_shape(step, left, right);
    case program_power:
      return power_shape(left, right);
    case program_negate:
      return right.kind == Dependence::linear ? Shape{Dependence::linear, 0, -right.slope, 0}
                                              : sum(constant(0), right, -1);
    default:  // program_root
      return is_constant(right) ? constant(std::sqrt(right.value))
                                : power_shape(right, constant(0.5));
  }
}

Shape pushed(const ProgramStep& step, const NumberStore& store) {
  if (step.code == program_unknown) return {Dependence::linear, 0, 1, 0};
  if (step.code == program_push_integer) return constant(step.argument);
  return constant(number_value(store, store.numbers[step.argument]));
}

}  // namespace

double common_period(double a, double b) {
  if (a == 0 || b == 0) return a + b;
  for (int m = 1; m <= period_multiple_capacity; ++m) {
    const double multiple = m * a;
    const double times = std::nearbyint(multiple / b);
    if (times >= 1 && times <= period_multiple_capacity &&
        std::fabs(multiple - times * b) <= 1e-9 * multiple) {
      return multiple;
    }
  }
  return 0;
}

double expression_period(const Program& program, const NumberStore& store, int first, int end) {
  Shape stack[program_stack_capacity];
  int depth = 0;
  for (int s = first; s < end && s < program.step_count; ++s) {
    const ProgramStep& step = program.steps[s];
    const int code = step.code;
    if (code == program_push_number || code == program_push_integer || code == program_unknown) {
      if (depth == program_stack_capacity) return 0;
      stack[depth++] = pushed(step, store);
      continue;
    }
    const int taken = code == program_negate || code == program_root ? 1 : 2;
    if (depth < taken) return 0;
    depth -= taken;
    const Shape left = taken == 2 ? stack[depth] : constant(0);
    stack[depth] = combine(step, left, stack[depth + taken - 1]);
    ++depth;
  }
  return depth == 1 && stack[0].kind == Dependence::periodic ? stack[0].period : 0;
}
