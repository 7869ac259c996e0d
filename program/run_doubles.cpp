#include "program/run_doubles.h"

#include <cmath>
#include <limits>

#include "program/double_power.h"
#include "program/natural_functions.h"
#include "program/program_functions.h"
#include "term/operand_list.h"

namespace {

constexpr double no_value = std::numeric_limits<double>::quiet_NaN();

// A run's stack of values, what it knows of each exactly, and where to record its breaks.
struct DoubleRun {
  double values[program_stack_capacity];
  ExactFraction known[program_stack_capacity];
  int depth;
  double unknown;  // what program_unknown pushes
  ValueBreaks* breaks;
};

// A value with what is known of it exactly.
struct RunValue {
  double value;
  ExactFraction known;
};

// Records `kind` at `step`.
void record(DoubleRun& run, BreakKind kind, const ProgramStep& step, int function = 0) {
  add_break(run.breaks, kind, step.column, step.length, function);
}

// amplitude x f(argument), or no value at a pole or outside the function's domain.
RunValue function_step(DoubleRun& run, const ProgramStep& step, const RunValue& amplitude,
                       const RunValue& argument) {
  const TermFunction function = term_function_of(step.argument);
  const FunctionValue applied =
      natural_function_value(function, step.radians != 0, argument.value, argument.known);
  if (applied.fault == FunctionFault::pole) {
    record(run, BreakKind::pole_in_degrees, step, step.argument);
  } else if (applied.fault == FunctionFault::outside_domain) {
    record(run, BreakKind::outside_domain, step, step.argument);
  }
  if (applied.fault != FunctionFault::none) return {no_value, inexact_fraction};
  return {amplitude.value * applied.value, fraction_product(amplitude.known, applied.known, false)};
}

// x^(n/q) for an exponent known to be the fraction n/q (q above 1, not an integer): the real
// root, for a number below 0 too when q is odd ((-8)^(1/3) is -2); no value for one below 0
// when q is even, nor for 0 to a power below 0.
double rational_power(DoubleRun& run, const ProgramStep& step, double x,
                      const ExactFraction& exponent) {
  const bool negative_exponent = exponent.numerator < 0;
  if ((x == 0 && negative_exponent) || (x < 0 && exponent.denominator % 2 == 0)) {
    record(run, BreakKind::power_without_value, step);
    return no_value;
  }
  if (x == 0) return 0;
  const double y = static_cast<double>(exponent.numerator) / exponent.denominator;
  const double magnitude = std::isinf(x) ? std::pow(std::fabs(x), y)
                                         : positive_rational_power(std::fabs(x), exponent.numerator,
                                                                   exponent.denominator);
  return x < 0 && exponent.numerator % 2 != 0 ? -magnitude : magnitude;
}

// x^y, or no value for 0 to a power below 0 and for a number below 0 to one that is no integer
// (unless the exponent is known to be a fraction of odd denominator).
double power_step(DoubleRun& run, const ProgramStep& step, double x, double y,
                  const ExactFraction& exponent) {
  if (std::isnan(x) || std::isnan(y)) return no_value;
  if (is_known_rational(exponent) && exponent.denominator > 1) {
    return rational_power(run, step, x, exponent);
  }
  const bool integer = std::isfinite(y) && y == std::floor(y);
  if ((x == 0 && y < 0) || (x < 0 && !integer)) {
    record(run, BreakKind::power_without_value, step);
    return no_value;
  }
  if (y == 0) return 1;  // 0^0 too, as a calculator gives it
  if (x == 0) return 0;
  if (std::isinf(x) || std::isinf(y)) return std::pow(x, y);  // limits only: exact everywhere
  const double magnitude = positive_power(std::fabs(x), y);
  const bool odd = integer && std::fmod(y, 2.0) != 0;
  return x < 0 && odd ? -magnitude : magnitude;
}

// The value `step` leaves on the stack from `left` and `right` (the two values it takes;
// `right` alone for a step that takes one).
RunValue combine(DoubleRun& run, const ProgramStep& step, const RunValue& left,
                 const RunValue& right) {
  switch (step.code) {
    case program_add:
    case program_subtract: {
      const bool subtract = step.code == program_subtract;
      const double value = subtract ? left.value - right.value : left.value + right.value;
      return {value, fraction_sum(left.known, right.known, subtract)};
    }
    case program_multiply:
      return {left.value * right.value, fraction_product(left.known, right.known, false)};
    case program_divide:
      if (right.value != 0) {
        return {left.value / right.value, fraction_product(left.known, right.known, true)};
      }
      record(run, BreakKind::division_by_zero, step);
      return {no_value, inexact_fraction};
    case program_function:
      return function_step(run, step, left, right);
    case program_power:
      return {power_step(run, step, left.value, right.value, right.known),
              fraction_power(left.known, right.known)};
    case program_negate:
      return {-right.value, fraction_negated(right.known)};
    default:  // program_root
      if (!(right.value < 0)) return {std::sqrt(right.value), fraction_root(right.known)};
      record(run, BreakKind::root_of_negative, step);
      return {no_value, inexact_fraction};
  }
}

// True when the decimal text has a digit other than 0 before its exponent: the number it
// writes is not 0.
bool writes_nonzero(const char* text) {
  for (; *text != '\0' && *text != 'E' && *text != 'e'; ++text) {
    if (*text >= '1' && *text <= '9') return true;
  }
  return false;
}

// The value a push step pushes.
RunValue pushed_value(DoubleRun& run, const ProgramStep& step, const NumberStore& store) {
  if (step.code == program_push_integer)
    return {static_cast<double>(step.argument), whole_fraction(step.argument)};
  if (step.code == program_unknown) return {run.unknown, inexact_fraction};
  const NumberRead& number = store.numbers[step.argument];
  const double value = number_value(store, number);
  if (std::isinf(value)) record(run, BreakKind::number_too_large, step);
  const bool decimal = number.form == NumberForm::decimal;
  if (value == 0 && decimal && writes_nonzero(number_text(store, number)))
    record(run, BreakKind::number_too_small, step);
  return {value,
          decimal ? fraction_of_decimal(number_text(store, number)) : make_fraction(1, 1, 1)};
}

// True for the steps whose value is 0 of operands other than 0 only below a double's
// smallest: a product, a quotient, a power (a sum or difference is 0 exactly, a function at
// its zeros).
bool underflows(int code) {
  return code == program_multiply || code == program_divide || code == program_power;
}

// Runs one step; false when the program is not well formed (never written, kept safe).
bool run_step(DoubleRun& run, const ProgramStep& step, const NumberStore& store) {
  if (!program_step_fits(step.code, run.depth, 0)) return false;
  const int taken = program_step_takes(step.code);
  if (taken == 0) {
    const RunValue pushed = pushed_value(run, step, store);
    run.known[run.depth] = pushed.known;
    run.values[run.depth++] = pushed.value;
    return true;
  }
  run.depth -= taken;
  const RunValue left = taken == 2 ? RunValue{run.values[run.depth], run.known[run.depth]}
                                   : RunValue{0.0, inexact_fraction};
  const int last = run.depth + taken - 1;
  const RunValue right = {run.values[last], run.known[last]};
  const RunValue made = combine(run, step, left, right);
  const double value = made.value;
  if (std::isinf(value) && std::isfinite(left.value) && std::isfinite(right.value)) {
    record(run, BreakKind::overflow, step);
  }
  if (value == 0 && left.value != 0 && right.value != 0 && std::isfinite(left.value) &&
      std::isfinite(right.value) && underflows(step.code)) {
    record(run, BreakKind::underflow, step);
  }
  run.known[run.depth] = made.known;
  run.values[run.depth++] = value;
  return true;
}

}  // namespace

double run_program(const Program& program, const NumberStore& store, ValueBreaks* breaks) {
  return run_program_at(program, store, std::numeric_limits<double>::quiet_NaN(), breaks);
}

double run_program_at(const Program& program, const NumberStore& store, double unknown,
                      ValueBreaks* breaks) {
  return run_program_steps(program, store, 0, program.step_count, unknown, breaks);
}

double run_program_steps(const Program& program, const NumberStore& store, int first, int end,
                         double unknown, ValueBreaks* breaks) {
  return run_program_known(program, store, first, end, unknown, breaks, nullptr);
}

double run_program_known(const Program& program, const NumberStore& store, int first, int end,
                         double unknown, ValueBreaks* breaks, ExactFraction* known) {
  DoubleRun run;
  run.depth = 0;
  run.unknown = unknown;
  run.breaks = breaks;
  if (known != nullptr) *known = inexact_fraction;
  if (first < 0 || end > program.step_count) return no_value;
  for (int s = first; s < end; ++s) {
    if (!run_step(run, program.steps[s], store)) return no_value;
  }
  if (run.depth != 1) return no_value;
  if (known != nullptr) *known = run.known[0];
  return run.values[0];
}
