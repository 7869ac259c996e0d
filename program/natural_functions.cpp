#include "program/natural_functions.h"

#include <cmath>
#include <limits>

#include "program/double_functions.h"
#include "trig/trig_constants.h"
#include "trig/trig_functions.h"

namespace {

constexpr double no_number = std::numeric_limits<double>::quiet_NaN();
constexpr int degrees_of_textbook_angles = 15;  // Niven: a rational sine is at a multiple of 30
constexpr int most_known_e_power = 8;           // e^k followed exactly up to this k

FunctionValue plain(double value) {
  return {value, inexact_fraction, FunctionFault::none};
}

FunctionValue faulty(FunctionFault fault) {
  return {no_number, inexact_fraction, fault};
}

// The angle `known` in degrees as numerator / denominator: degrees as they are, radians that
// are a rational multiple of pi made degrees (2π/3 is 120). False when it is not known so.
bool exact_degrees(bool radians, const ExactFraction& known, long long& numerator,
                   long long& denominator) {
  if (!known.exact || known.e_power != 0) return false;
  if (known.numerator != 0 && known.pi_power != (radians ? 1 : 0)) return false;
  const ExactFraction degrees =
      radians ? fraction_product(make_fraction(known.numerator, known.denominator),
                                 whole_fraction(DEGREES_IN_HALF_TURN), false)
              : known;
  numerator = degrees.numerator;
  denominator = degrees.denominator;
  return degrees.exact;
}

// What is known of a trigonometric value at a whole number of degrees that is a multiple of
// 15: its double, when that is 0, ±1/2, ±1 or ±2 (the only rational values such an angle's
// functions take, which the reduction gives exactly).
ExactFraction known_trigonometric_value(double value, bool textbook_angle) {
  const double twice = 2 * value;
  if (!textbook_angle || twice != std::floor(twice) || std::fabs(twice) > 4) {
    return inexact_fraction;
  }
  return make_fraction(static_cast<long long>(twice), 2);
}

// The six functions at the textbook angles of the first quadrant, 0 to 90 degrees by 15,
// each the double nearest its exact value (worked out from √2, √3 and √6 at 50 digits); a pole
// not a number. In the order of TermFunction: sine, cosine, tangent, cotangent, secant,
// cosecant.
constexpr double pole = std::numeric_limits<double>::quiet_NaN();
constexpr double textbook_values[7][6] = {
    {0.0, 1.0, 0.0, pole, 1.0, pole},
    {0.25881904510252074, 0.9659258262890683, 0.2679491924311227, 3.732050807568877,
     1.035276180410083, 3.8637033051562732},
    {0.5, 0.8660254037844386, 0.5773502691896257, 1.7320508075688772, 1.1547005383792515, 2.0},
    {0.7071067811865476, 0.7071067811865476, 1.0, 1.0, 1.4142135623730951, 1.4142135623730951},
    {0.8660254037844386, 0.5, 1.7320508075688772, 0.5773502691896257, 2.0, 1.1547005383792515},
    {0.9659258262890683, 0.25881904510252074, 3.732050807568877, 0.2679491924311227,
     3.8637033051562732, 1.035276180410083},
    {1.0, 0.0, pole, 0.0, pole, 1.0}};

// The signs of the six functions in each quadrant, a bit each in the order above (set: below
// 0): the second quadrant keeps the sine and cosecant above 0, the third the tangent and
// cotangent, the fourth the cosine and secant.
constexpr unsigned char negative_in_quadrant[4] = {0x00, 0x1E, 0x33, 0x2D};

// A direct function at a whole number of degrees that is a multiple of 15, from the table: an
// angle of an odd quadrant is measured back from the quadrant's end (120 is 180 - 60), one of
// an even quadrant from its start (210 is 180 + 30), and takes the quadrant's sign.
FunctionValue textbook_value(TermFunction function, long long degrees) {
  long long turn = degrees % 360;
  if (turn < 0) turn += 360;
  const int quadrant = static_cast<int>(turn / 90);
  const long long within = turn % 90;
  const long long reference = quadrant % 2 == 0 ? within : 90 - within;
  const int column = static_cast<int>(function) - static_cast<int>(TermFunction::sine);
  const double size = textbook_values[reference / degrees_of_textbook_angles][column];
  if (std::isnan(size)) return faulty(FunctionFault::pole);
  const bool negative = ((negative_in_quadrant[quadrant] >> column) & 1) != 0;
  const double value = negative && size != 0 ? -size : size;
  return {value, known_trigonometric_value(value, true), FunctionFault::none};
}

// A direct function from its angle's sine and cosine: a quotient of the two (or of 1 by one)
// rounded once; no value where its divisor is 0.
FunctionValue from_sine_cosine(TermFunction function, const SineCosine& angle,
                               bool textbook_angle) {
  const Pair one = {1, 0};
  const bool over_cosine = function == TermFunction::tangent || function == TermFunction::secant;
  const bool over_sine = function == TermFunction::cotangent || function == TermFunction::cosecant;
  const Pair divisor = over_cosine ? angle.cosine : over_sine ? angle.sine : one;
  Pair dividend = function == TermFunction::cosine ? angle.cosine : angle.sine;
  if (function == TermFunction::cotangent) dividend = angle.cosine;
  if (function == TermFunction::secant || function == TermFunction::cosecant) dividend = one;
  if (std::isnan(divisor.head) || std::isnan(dividend.head)) return plain(no_number);
  if (divisor.head == 0) return faulty(FunctionFault::pole);
  double value = divisor.head == 1 && divisor.tail == 0 ? dividend.head
                                                        : pair_quotient(dividend, divisor).head;
  if (value == 0) value = 0;  // +0
  return {value, known_trigonometric_value(value, textbook_angle), FunctionFault::none};
}

// What a direct function needs of the angle's sine and cosine.
int wanted_for(TermFunction function) {
  switch (function) {
    case TermFunction::sine:
    case TermFunction::cosecant:
      return want_sine;
    case TermFunction::cosine:
    case TermFunction::secant:
      return want_cosine;
    default:
      return want_both;
  }
}

FunctionValue direct_value(TermFunction function, bool radians, double argument,
                           const ExactFraction& known) {
  long long numerator = 0, denominator = 1;
  const int wanted = wanted_for(function);
  if (exact_degrees(radians, known, numerator, denominator)) {
    const bool textbook = denominator == 1 && numerator % degrees_of_textbook_angles == 0;
    if (textbook) return textbook_value(function, numerator);
    return from_sine_cosine(function, fraction_degree_sine_cosine(numerator, denominator, wanted),
                            textbook);
  }
  const SineCosine angle =
      radians ? radian_sine_cosine(argument, wanted) : degree_sine_cosine(argument, wanted);
  return from_sine_cosine(function, angle, false);
}

// The degrees of an inverse at a known ratio where its value is a whole number of them (arcsen
// of 0, ±1/2, ±1; arctg of 0, ±1); false elsewhere.
bool inverse_by_table(TermFunction function, const ExactFraction& known, long long& degrees) {
  if (!is_known_rational(known) || known.denominator > 2) return false;
  const long long twice = known.numerator * (known.denominator == 1 ? 2 : 1);
  if (twice < -2 || twice > 2) return false;
  constexpr long long arc_sines[] = {-90, -30, 0, 30, 90};  // of -1, -1/2, 0, 1/2, 1
  if (function == TermFunction::arc_tangent) {
    if (twice % 2 != 0) return false;
    degrees = twice / 2 * 45;
    return true;
  }
  degrees = arc_sines[twice + 2];
  if (function == TermFunction::arc_cosine) degrees = 90 - degrees;
  return true;
}

FunctionValue inverse_value(TermFunction function, bool radians, double argument,
                            const ExactFraction& known) {
  if (std::isnan(argument)) return plain(argument);
  if (function != TermFunction::arc_tangent && !(std::fabs(argument) <= 1)) {
    return faulty(FunctionFault::outside_domain);
  }
  long long degrees = 0;
  if (inverse_by_table(function, known, degrees)) {
    const ExactFraction angle =
        radians ? make_fraction(degrees, DEGREES_IN_HALF_TURN, 1) : whole_fraction(degrees);
    return {fraction_value(angle, no_number), angle, FunctionFault::none};
  }
  const Pair angle = function == TermFunction::arc_sine     ? arc_sine_pair(argument)
                     : function == TermFunction::arc_cosine ? arc_cosine_pair(argument)
                                                            : arc_tangent_pair(argument);
  return plain(radians ? angle.head : pair_radians_to_degrees(angle));
}

// True when the known value is 10^power (power of either sign).
bool power_of_ten(const ExactFraction& known, long long& power) {
  if (!is_known_rational(known) || known.numerator <= 0) return false;
  long long whole = known.denominator == 1 ? known.numerator : known.denominator;
  if ((known.denominator != 1 && known.numerator != 1) || whole < 1) return false;
  power = 0;
  for (; whole % 10 == 0; whole /= 10) ++power;
  if (whole != 1) return false;
  if (known.denominator != 1) power = -power;
  return true;
}

FunctionValue logarithm_value(TermFunction function, double argument, const ExactFraction& known) {
  if (std::isnan(argument)) return plain(argument);
  if (!(argument > 0)) return faulty(FunctionFault::outside_domain);
  const bool natural = function == TermFunction::natural_logarithm;
  const double value =
      natural ? double_natural_logarithm(argument) : double_common_logarithm(argument);
  long long power = 0;
  const bool of_e =
      known.exact && known.numerator == 1 && known.denominator == 1 && known.pi_power == 0;
  if (natural && of_e)
    return {static_cast<double>(known.e_power), whole_fraction(known.e_power), FunctionFault::none};
  if (!natural && power_of_ten(known, power)) {
    return {static_cast<double>(power), whole_fraction(power), FunctionFault::none};
  }
  return plain(value);
}

FunctionValue exponential_value(double argument, const ExactFraction& known) {
  const double value = double_exponential(argument);
  const bool whole = is_known_rational(known) && known.denominator == 1 &&
                     known.numerator <= most_known_e_power &&
                     known.numerator >= -most_known_e_power;
  if (!whole) return plain(value);
  return {value, {1, 1, 0, static_cast<int>(known.numerator), 1}, FunctionFault::none};
}

// The hyperbolic functions and their inverses: their values at 0 (and arccosh's at 1) known.
FunctionValue hyperbolic_value(TermFunction function, double argument, const ExactFraction& known) {
  const bool zero = is_known_rational(known) && known.numerator == 0;
  const bool one = is_known_rational(known) && known.numerator == 1 && known.denominator == 1;
  double value = no_number;
  switch (function) {
    case TermFunction::hyperbolic_sine:
      return zero ? FunctionValue{0, whole_fraction(0), FunctionFault::none}
                  : plain(double_hyperbolic_sine(argument));
    case TermFunction::hyperbolic_cosine:
      return zero ? FunctionValue{1, whole_fraction(1), FunctionFault::none}
                  : plain(double_hyperbolic_cosine(argument));
    case TermFunction::hyperbolic_tangent:
      return zero ? FunctionValue{0, whole_fraction(0), FunctionFault::none}
                  : plain(double_hyperbolic_tangent(argument));
    case TermFunction::arc_hyperbolic_sine:
      return zero ? FunctionValue{0, whole_fraction(0), FunctionFault::none}
                  : plain(double_arc_hyperbolic_sine(argument));
    case TermFunction::arc_hyperbolic_cosine:
      if (one) return {0, whole_fraction(0), FunctionFault::none};
      value = double_arc_hyperbolic_cosine(argument);
      break;
    default:  // the arc hyperbolic tangent
      if (zero) return {0, whole_fraction(0), FunctionFault::none};
      value = double_arc_hyperbolic_tangent(argument);
      break;
  }
  const bool outside = std::isnan(value) && !std::isnan(argument);
  return outside ? faulty(FunctionFault::outside_domain) : plain(value);
}

}  // namespace

FunctionValue natural_function_value(TermFunction function, bool radians, double argument,
                                     const ExactFraction& known) {
  if (is_direct_trigonometric(function)) return direct_value(function, radians, argument, known);
  if (is_inverse(function)) return inverse_value(function, radians, argument, known);
  switch (function) {
    case TermFunction::natural_logarithm:
    case TermFunction::common_logarithm:
      return logarithm_value(function, argument, known);
    case TermFunction::exponential:
      return exponential_value(argument, known);
    case TermFunction::absolute_value:
      return {std::fabs(argument), fraction_magnitude(known), FunctionFault::none};
    case TermFunction::none:
      return plain(0);
    default:
      return hyperbolic_value(function, argument, known);
  }
}
