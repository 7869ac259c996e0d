#include "program/run_doubles.h"

#include <cmath>
#include <limits>

#include "program/double_power.h"
#include "program/program_functions.h"
#include "term/compute_term.h"
#include "term/operand_list.h"

namespace {

constexpr double no_value = std::numeric_limits<double>::quiet_NaN();

// A run's stack of values, whose rules it follows, and where to record its breaks.
struct DoubleRun {
  double values[program_stack_capacity];
  int depth;
  bool term;       // the term reading's rules; otherwise the natural reading's
  double unknown;  // what program_unknown pushes
  ValueBreaks* breaks;
};

// Records `kind` at `step`.
void record(DoubleRun& run, BreakKind kind, const ProgramStep& step, int function = 0) {
  add_break(run.breaks, kind, step.column, step.length, function);
}

// amplitude x f(argument), or no value at a pole in degrees or outside an inverse function's
// domain.
double function_step(DoubleRun& run, const ProgramStep& step, double amplitude, double argument) {
  const TermFunction function = term_function_of(step.argument);
  if (!step.radians && at_pole_in_degrees(function, argument)) {
    record(run, BreakKind::pole_in_degrees, step, step.argument);
    return no_value;
  }
  const double value = function_value(function, step.radians != 0, amplitude, argument);
  const bool finite = std::isfinite(amplitude) && std::isfinite(argument);
  if (finite && std::isnan(value)) record(run, BreakKind::outside_domain, step, step.argument);
  if (!finite || !std::isinf(value) || is_inverse(function)) return value;
  record(run, BreakKind::function_pole, step, step.argument);  // 1 / tan 0, say: no value
  return no_value;
}

// x^y, or no value for 0 to a power below 0 and for a number below 0 to one that is no integer.
double power_step(DoubleRun& run, const ProgramStep& step, double x, double y) {
  if (std::isnan(x) || std::isnan(y)) return no_value;
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
double combine(DoubleRun& run, const ProgramStep& step, double left, double right) {
  switch (step.code) {
    case program_add:
      return left + right;
    case program_subtract:
      return left - right;
    case program_multiply:
      return left * right;
    case program_divide:
      if (right != 0 || run.term) return left / right;
      record(run, BreakKind::division_by_zero, step);
      return no_value;
    case program_function:
      if (!run.term) return function_step(run, step, left, right);
      return function_value(term_function_of(step.argument), step.radians != 0, left, right);
    case program_power:
      return power_step(run, step, left, right);
    case program_negate:
      return -right;
    default:  // program_root
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

// The value a push step pushes.
double pushed_value(DoubleRun& run, const ProgramStep& step, const NumberStore& store) {
  if (step.code == program_push_integer) return step.argument;
  if (step.code == program_unknown) return run.unknown;
  const NumberRead& number = store.numbers[step.argument];
  const double value = number_value(store, number);
  if (std::isinf(value)) record(run, BreakKind::number_too_large, step);
  if (value == 0 && number.form == NumberForm::decimal &&
      writes_nonzero(number_text(store, number)))
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
    run.values[run.depth++] = pushed_value(run, step, store);
    return true;
  }
  run.depth -= taken;
  const double left = taken == 2 ? run.values[run.depth] : 0.0;
  const double right = run.values[run.depth + taken - 1];
  const double value = combine(run, step, left, right);
  if (std::isinf(value) && std::isfinite(left) && std::isfinite(right)) {
    record(run, BreakKind::overflow, step);
  }
  if (value == 0 && left != 0 && right != 0 && std::isfinite(left) && std::isfinite(right) &&
      underflows(step.code)) {
    record(run, BreakKind::underflow, step);
  }
  run.values[run.depth++] = value;
  return true;
}

// Runs the steps of `program` from `first` up to `end` on `run`'s empty stack: the value they
// leave, not a number unless they leave one. Inlined into each reading's run, where its rules
// are known.
[[gnu::always_inline]] inline double run_steps(DoubleRun& run, const Program& program,
                                               const NumberStore& store, int first, int end) {
  run.depth = 0;
  if (first < 0 || end > program.step_count) return no_value;
  for (int s = first; s < end; ++s) {
    if (!run_step(run, program.steps[s], store)) return no_value;
  }
  return run.depth == 1 ? run.values[0] : no_value;
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
  DoubleRun run;
  run.term = false;
  run.unknown = unknown;
  run.breaks = breaks;
  return run_steps(run, program, store, first, end);
}

// The term reading records its steps as it folds (bracket/compute_line.h): this run records
// none.
double run_term_program(const Program& program, const NumberStore& store) {
  DoubleRun run;
  run.term = true;
  run.unknown = no_value;  // the term reading has no unknown
  run.breaks = nullptr;
  return run_steps(run, program, store, 0, program.step_count);
}
