#include "term/compute_term.h"

#include <cmath>

#include "term/operand_list.h"
#include "trig/trig_constants.h"
#include "trig/trig_functions.h"

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

}  // namespace

double function_value(TermFunction function, bool radians, double amplitude, double argument) {
  if (is_inverse(function)) {
    const double value = inverse_value(function, argument, amplitude);
    return radians ? value : radians_to_degrees(value);
  }
  const double angle = radians ? argument : degrees_to_radians(argument);
  return direct_value(function, angle, amplitude);
}

bool at_pole_in_degrees(TermFunction function, double degrees) {
  const bool over_cosine = function == TermFunction::tangent || function == TermFunction::secant;
  const bool over_sine = function == TermFunction::cotangent || function == TermFunction::cosecant;
  if (!over_cosine && !over_sine) return false;
  const double turn = std::fmod(degrees, half_turn_degrees);  // exact, whatever the size
  return over_sine ? turn == 0.0 : std::fabs(turn) == half_turn_degrees / 2;
}

// Most terms have no amplitude: its 1 needs no list.
double compute_term(const TermReading& term, const NumberStore& store, ValueBreaks* breaks) {
  const double amplitude =
      term.amplitude.count == 0 ? 1.0 : operands_value(store, term.amplitude, 1.0, breaks);
  const double argument = operands_value(store, term.argument, 0.0, breaks);
  const double value = function_value(term.function, term.radians, amplitude, argument);
  if (breaks == nullptr) return value;
  if (!std::isfinite(value) && std::isfinite(amplitude) && std::isfinite(argument)) {
    record_function_break(term, argument, breaks);
  } else if (std::isfinite(value) && !term.radians && at_pole_in_degrees(term.function, argument)) {
    // tg 90: the double of the angle is not quite at the pole, so the value is a large number
    add_break(breaks, BreakKind::pole_in_degrees, term.column, term.length,
              static_cast<int>(term.function));
  }
  return value;
}
