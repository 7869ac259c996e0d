#include "term/compute_term.h"

#include <cmath>

#include "term/operand_list.h"
#include "term/trig_constants.h"
#include "term/trig_functions.h"

namespace {

double degrees_to_radians(double degrees) {
  return (degrees * trig_pi) / half_turn_degrees;
}

double radians_to_degrees(double radians) {
  return (radians * half_turn_degrees) / trig_pi;
}

// Direct functions take an angle; reciprocals divide first and scale second.
double direct_value(TermFunction function, double angle, double amplitude) {
  switch (function) {
    case TermFunction::sine:
      return trig_sin(angle) * amplitude;
    case TermFunction::cosine:
      return trig_cos(angle) * amplitude;
    case TermFunction::tangent:
      return trig_tan(angle) * amplitude;
    case TermFunction::cotangent:
      return (1.0 / trig_tan(angle)) * amplitude;
    case TermFunction::secant:
      return (1.0 / trig_cos(angle)) * amplitude;
    case TermFunction::cosecant:
      return (1.0 / trig_sin(angle)) * amplitude;
    default:
      return 0.0;
  }
}

// Inverse functions take the argument as typed; their scaled value is then in radians.
double inverse_value(TermFunction function, double argument, double amplitude) {
  switch (function) {
    case TermFunction::arc_sine:
      return trig_asin(argument) * amplitude;
    case TermFunction::arc_cosine:
      return trig_acos(argument) * amplitude;
    case TermFunction::arc_tangent:
      return trig_atan(argument) * amplitude;
    default:
      return 0.0;
  }
}

// Records why the term's value is no finite number though its amplitude and argument are: an
// inverse function outside -1 to 1, or a reciprocal of a function that is 0 there.
void record_function_break(const TermReading& term, double argument, ValueBreaks* breaks) {
  const bool inverse = is_inverse(term.function);
  if (inverse && std::fabs(argument) > 1.0) {
    add_break(breaks, BreakKind::outside_domain, term.column, term.length);
  } else if (!inverse) {
    add_break(breaks, BreakKind::function_pole, term.column, term.length);
  }
}

// The term's value from its amplitude and argument.
double term_value(const TermReading& term, double amplitude, double argument) {
  if (is_inverse(term.function)) {
    const double value = inverse_value(term.function, argument, amplitude);
    return term.radians ? value : radians_to_degrees(value);
  }
  const double angle = term.radians ? argument : degrees_to_radians(argument);
  return direct_value(term.function, angle, amplitude);
}

}  // namespace

// Most terms have no amplitude: its 1 needs no list.
double compute_term(const TermReading& term, const NumberStore& store, ValueBreaks* breaks) {
  const double amplitude =
      term.amplitude.count == 0 ? 1.0 : operands_value(store, term.amplitude, 1.0, breaks);
  const double argument = operands_value(store, term.argument, 0.0, breaks);
  const double value = term_value(term, amplitude, argument);
  if (breaks != nullptr && !std::isfinite(value) && std::isfinite(amplitude) &&
      std::isfinite(argument)) {
    record_function_break(term, argument, breaks);
  }
  return value;
}
