#include "program/run_doubles.h"

#include <cmath>
#include <limits>

#include "program/double_power.h"
#include "program/natural_functions.h"
#include "program/program_functions.h"
#include "term/compute_term.h"
#include "term/operand_list.h"

namespace {

constexpr double no_value = std::numeric_limits<double>::quiet_NaN();

// A run's stack of values, what it knows of each exactly, whose rules it follows, and where
// to record its breaks.
struct DoubleRun {
  double values[program_stack_capacity];
  ExactFraction known[program_stack_capacity];
  int depth;
  bool term;       // the term reading's rules; otherwise the natural reading's
  double unknown;  // what program_unknown pushes
  ValueBreaks* breaks;
};

// Records `kind` at `step`.
void record(DoubleRun& run, BreakKind kind, const ProgramStep& step, int function = 0) {
  add_break(run.breaks, kind, step.column, step.length, function);
}

// amplitude x f(argument) from the amplitude at `at` and the argument after it, or no value at
// a pole or outside the function's domain; what is known of it exactly into `known`.
double function_step(DoubleRun& run, const ProgramStep& step, int at, ExactFraction& known) {
  const TermFunction function = term_function_of(step.argument);
  const FunctionValue applied =
      natural_function_value(function, step.radians != 0, run.values[at + 1], run.known[at + 1]);
  if (applied.fault == FunctionFault::pole) {
    record(run, BreakKind::pole_in_degrees, step, step.argument);
  } else if (applied.fault == FunctionFault::outside_domain) {
    record(run, BreakKind::outside_domain, step, step.argument);
  }
  if (applied.fault != FunctionFault::none) {
    known = inexact_fraction;
    return no_value;
  }
  known = fraction_product(run.known[at], applied.known, false);
  return run.values[at] * applied.value;
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

// The value `step` leaves on the stack from the values from `at` on (`right` the last it
// takes, `left` the one before when it takes two), and into `known` what is known of it.
double combine(DoubleRun& run, const ProgramStep& step, int at, double left, double right,
               ExactFraction& known) {
  const ExactFraction& right_known = run.known[at + program_step_takes(step.code) - 1];
  switch (step.code) {
    case program_add:
    case program_subtract: {
      const bool subtract = step.code == program_subtract;
      known = fraction_sum(run.known[at], right_known, subtract);
      return subtract ? left - right : left + right;
    }
    case program_multiply:
      known = fraction_product(run.known[at], right_known, false);
      return left * right;
    case program_divide:
      known = fraction_product(run.known[at], right_known, true);
      if (right != 0 || run.term) return left / right;
      record(run, BreakKind::division_by_zero, step);
      return no_value;
    case program_function:
      if (!run.term) return function_step(run, step, at, known);
      known = inexact_fraction;
      return function_value(term_function_of(step.argument), step.radians != 0, left, right);
    case program_power:
      known = fraction_power(run.known[at], right_known);
      // The term reading's rules know no real root of a number below 0.
      return power_step(run, step, left, right, run.term ? inexact_fraction : right_known);
    case program_negate:
      known = fraction_negated(right_known);
      return -right;
    default:  // program_root
      known = fraction_root(right_known);
      if (!(right < 0)) return std::sqrt(right);
      record(run, BreakKind::root_of_negative, step);
      return no_value;
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

// The value a push step pushes, and into `known` what is known of it exactly.
double pushed_value(DoubleRun& run, const ProgramStep& step, const NumberStore& store,
                    ExactFraction& known) {
  if (step.code == program_push_integer) {
    known = whole_fraction(step.argument);
    return step.argument;
  }
  known = inexact_fraction;
  if (step.code == program_unknown) return run.unknown;
  const NumberRead& number = store.numbers[step.argument];
  if (run.term) return number_value(store, number);  // its rules know no exact fraction
  if (number.form == NumberForm::pi) {
    known = make_fraction(1, 1, 1);
    return number_value(store, number);
  }
  // A number known exactly is the quotient of two integers below 2^31, which one division
  // rounds as a decimal conversion of its text would: the text is read once.
  known = fraction_of_decimal(number_text(store, number));
  if (known.exact) return fraction_value(known, 0);
  const double value = number_value(store, number);
  if (std::isinf(value)) record(run, BreakKind::number_too_large, step);
  if (value == 0 && writes_nonzero(number_text(store, number)))
    record(run, BreakKind::number_too_small, step);
  return value;
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
    run.values[run.depth] = pushed_value(run, step, store, run.known[run.depth]);
    ++run.depth;
    return true;
  }
  run.depth -= taken;
  const int at = run.depth;
  const double left = taken == 2 ? run.values[at] : 0.0;
  const double right = run.values[at + taken - 1];
  ExactFraction known;
  const double value = combine(run, step, at, left, right, known);
  if (std::isinf(value) && std::isfinite(left) && std::isfinite(right)) {
    record(run, BreakKind::overflow, step);
  }
  if (value == 0 && left != 0 && right != 0 && std::isfinite(left) && std::isfinite(right) &&
      underflows(step.code)) {
    record(run, BreakKind::underflow, step);
  }
  run.known[at] = known;
  run.values[at] = value;
  ++run.depth;
  return true;
}

// Runs the steps of `program` from `first` up to `end` on `run`'s empty stack: the value they
// leave, not a number unless they leave one, and in `known` (null: not asked) what the run
// knows of it exactly. Inlined into each reading's run, where its rules are known.
[[gnu::always_inline]] inline double run_steps(DoubleRun& run, const Program& program,
                                               const NumberStore& store, int first, int end,
                                               ExactFraction* known) {
  run.depth = 0;
  if (known != nullptr) *known = inexact_fraction;
  if (first < 0 || end > program.step_count) return no_value;
  for (int s = first; s < end; ++s) {
    if (!run_step(run, program.steps[s], store)) return no_value;
  }
  if (run.depth != 1) return no_value;
  if (known != nullptr) *known = run.known[0];
  return run.values[0];
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
  run.term = false;
  run.unknown = unknown;
  run.breaks = breaks;
  return run_steps(run, program, store, first, end, known);
}

// The term reading records its steps as it folds (bracket/compute_line.h): this run records
// none.
double run_term_program(const Program& program, const NumberStore& store) {
  DoubleRun run;
  run.term = true;
  run.unknown = no_value;  // the term reading has no unknown
  run.breaks = nullptr;
  return run_steps(run, program, store, 0, program.step_count, nullptr);
}
