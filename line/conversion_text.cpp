#include "line/conversion_text.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "line/evaluate_line.h"
#include "line/exact_line.h"
#include "line/result_text.h"
#include "program/program_writing.h"
#include "program/run_doubles.h"
#include "term/decimal_number.h"
#include "trig/trig_pair_arithmetic.h"

namespace {

// The signs of a converted value, in UTF-8 and their ASCII stand-ins.
constexpr char degree_sign[] = "\xc2\xb0";     // U+00B0
constexpr char degree_word[] = " graus";       // in ASCII
constexpr char pi_sign[] = "\xcf\x80";         // U+03C0
constexpr char pi_word[] = "pi";               // in ASCII
constexpr char pi_times[] = "*";               // in ASCII, between a factor and "pi"
constexpr char form_minus[] = "\xe2\x88\x92";  // U+2212, in front of a form below 0
constexpr char grads_word[] = " grad";
constexpr long long hundredths_a_degree = 360000;
constexpr long long hundredths_a_minute = 6000;
constexpr int hundredths_a_second = 100;
constexpr int minutes_a_degree = 60;
// Above this, in hundredths of a second, the double of a value no longer holds its units.
constexpr double hundredths_held = 0x1p52;

// A text being written into a buffer of `capacity` bytes, always terminated; what does not fit
// is left out.
struct Writing {
  char* text;
  int capacity;
  int used;
};

void put(Writing& writing, const char* piece) {
  const int room = writing.capacity - 1 - writing.used;
  const int length = static_cast<int>(std::strlen(piece));
  const int kept = length < room ? length : room;
  std::memcpy(writing.text + writing.used, piece, static_cast<std::size_t>(kept));
  writing.used += kept;
  writing.text[writing.used] = '\0';
}

void put_number(Writing& writing, long long number) {
  char digits[24];
  std::snprintf(digits, sizeof digits, "%lld", number);
  put(writing, digits);
}

// The multiple numerator/denominator of π as a textbook writes it: "π/6", "2π/3", "−π/4", "π";
// in ASCII "pi/6", "2*pi/3", "-pi/4".
void put_pi_multiple(Writing& writing, long long numerator, long long denominator, bool unicode) {
  if (numerator < 0) put(writing, unicode ? form_minus : "-");
  const long long whole = numerator < 0 ? -numerator : numerator;
  if (whole != 1) {
    put_number(writing, whole);
    if (!unicode) put(writing, pi_times);
  }
  put(writing, unicode ? pi_sign : pi_word);
  if (denominator == 1) return;
  put(writing, "/");
  put_number(writing, denominator);
}

// A value's digits as "%g" writes them, with `digits` significant digits.
void put_value(Writing& writing, double value, int digits) {
  char text[result_line_capacity];
  format_result_line(value, digits, "", "", text, result_line_capacity);
  put(writing, text);
}

// The unit after a value in degrees or grads.
void put_unit(Writing& writing, ConversionUnit unit, bool unicode) {
  if (unit == ConversionUnit::grads) return put(writing, grads_word);
  put(writing, unicode ? degree_sign : degree_word);
}

// numerator / denominator rounded to the nearest integer, ties to even; the denominator above
// 0 and the quotient within a double's integers.
long long rounded_quotient(long long numerator, long long denominator) {
  long long quotient = numerator / denominator;
  long long remainder = numerator % denominator;
  if (remainder < 0) {
    remainder += denominator;
    --quotient;
  }
  const bool up =
      2 * remainder > denominator || (2 * remainder == denominator && quotient % 2 != 0);
  return up ? quotient + 1 : quotient;
}

// `value` rounded to the nearest integer, ties to even, `value` being head + tail exactly.
long long rounded_pair(Pair value) {
  double whole = std::nearbyint(value.head);
  const double rest = (value.head - whole) + value.tail;
  if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2) != 0)) whole += 1;
  if (rest < -0.5 || (rest == -0.5 && std::fmod(whole, 2) != 0)) whole -= 1;
  return static_cast<long long>(whole);
}

// The hundredths of a second of arc of `degrees`, from what is known of it exactly when it is
// a known rational; false when there are too many to write.
bool hundredths_of(double degrees, const ExactFraction& known, long long& hundredths) {
  if (!std::isfinite(degrees) ||
      std::fabs(degrees) * hundredths_a_degree > static_cast<double>(dms_hundredths_capacity)) {
    return false;
  }
  if (is_known_rational(known)) {
    hundredths = rounded_quotient(known.numerator * hundredths_a_degree, known.denominator);
    return true;
  }
  hundredths = rounded_pair(exact_product(degrees, static_cast<double>(hundredths_a_degree)));
  return true;
}

// The doubles' value of the line, and what is known of it exactly; its notes finished.
int doubles_conversion(const NaturalReading& reading, const char* line, int shown,
                       ValueFormat format, Writing& writing, ReadingNotes* notes, bool* valued) {
  ExactFraction known = inexact_fraction;
  const double computed = natural_reading_value(reading, line, shown, notes, &known);
  *valued = !std::isnan(computed);
  // A value in degrees or grads known exactly is written as its nearest double, not as the
  // doubles' run of the conversion left it: π/6 em graus is 30° at 17 digits too. Radians keep
  // the doubles' value, the one π/6 written alone has.
  const double value = is_known_rational(known) ? fraction_value(known, computed) : computed;
  long long hundredths = 0;
  switch (reading.conversion) {
    case ConversionUnit::radians:
      if (known.exact && known.pi_power == 1 && known.e_power == 0) {
        put_pi_multiple(writing, known.numerator, known.denominator, format.unicode);
        put(writing, form_separator(format.unicode));
      }
      put_value(writing, value, format.digits);
      break;
    case ConversionUnit::dms:
      if (hundredths_of(value, known, hundredths)) {
        char text[conversion_text_capacity];
        dms_text(hundredths, format.unicode, text);
        put(writing, text);
        break;
      }
      put_value(writing, value, format.digits);
      if (std::isfinite(value)) put_unit(writing, reading.conversion, format.unicode);
      break;
    default:
      put_value(writing, value, format.digits);
      if (std::isfinite(value)) put_unit(writing, reading.conversion, format.unicode);
      break;
  }
  return writing.used;
}

// The significant digits of the integer part of |value| (1 at least).
int integer_digits(double value) {
  int digits = 1;
  for (double size = std::fabs(value); size >= 10 && digits < 20; size /= 10) ++digits;
  return digits;
}

// The exact hundredths of a second of arc of the line's value in degrees: the program times
// 360000, rounded by the module to the digits of its integer part. `*held` says whether they
// are few enough to write (the doubles' estimate tells); true when there is a value.
bool exact_hundredths(const NaturalReading& reading, ReadingNotes* notes, long long& hundredths,
                      bool* held) {
  Program scaled = reading.program;
  append_step(scaled, program_push_integer, hundredths_a_degree / hundredths_a_minute, 0, 0);
  append_step(scaled, program_multiply, 0, 0, 0);
  append_step(scaled, program_push_integer, hundredths_a_minute, 0, 0);
  append_step(scaled, program_multiply, 0, 0, 0);
  const double estimate = run_program(scaled, reading.numbers, nullptr);
  *held = std::isfinite(estimate) && std::fabs(estimate) < hundredths_held;
  if (!*held) return false;
  char text[exact_text_capacity];
  const int length = exact_program_text(scaled, reading.numbers,
                                        integer_digits(std::nearbyint(estimate)), text, notes);
  if (std::strcmp(text, no_value_text) == 0) return false;
  hundredths = static_cast<long long>(std::nearbyint(decimal_text_value(text, length)));
  return true;
}

// The exact value of the line in its unit: a multiple of π as its form beside the digits.
int exact_conversion(const NaturalReading& reading, const char* line, int shown, ValueFormat format,
                     Writing& writing, ReadingNotes* notes, bool* valued) {
  long long hundredths = 0;
  bool held = false;
  const bool dms = reading.conversion == ConversionUnit::dms && reading.read;
  if (dms) *valued = exact_hundredths(reading, notes, hundredths, &held);
  if (held) {
    if (notes != nullptr) finish_notes(*notes, line, shown);
    char text[conversion_text_capacity];
    if (*valued) dms_text(hundredths, format.unicode, text);
    put(writing, *valued ? text : no_value_text);
    return writing.used;
  }
  char value[exact_text_capacity];
  ExactForm form;
  form.unicode = format.unicode;
  const bool radians = reading.conversion == ConversionUnit::radians;
  exact_natural_reading_text(reading, line, shown, format.digits, value, notes,
                             radians ? &form : nullptr);
  *valued = std::strcmp(value, no_value_text) != 0;
  if (radians && form.length > 0) {
    put(writing, form.text);
    put(writing, form_separator(format.unicode));
  }
  put(writing, value);
  if (!radians && *valued) put_unit(writing, reading.conversion, format.unicode);
  return writing.used;
}

}  // namespace

int conversion_value_text(const NaturalReading& reading, const char* line, int shown,
                          ValueFormat format, char (&text)[conversion_text_capacity],
                          ReadingNotes* notes, bool* valued) {
  Writing writing = {text, conversion_text_capacity, 0};
  text[0] = '\0';
  if (format.exact) return exact_conversion(reading, line, shown, format, writing, notes, valued);
  return doubles_conversion(reading, line, shown, format, writing, notes, valued);
}

// Seconds are written with their hundredths after a decimal comma, the zeros that end them
// left out; minutes and seconds that are 0 at the end are left out too.
int dms_text(long long hundredths, bool unicode, char (&text)[conversion_text_capacity]) {
  Writing writing = {text, conversion_text_capacity, 0};
  text[0] = '\0';
  if (hundredths < 0) put(writing, "-");
  const long long size = hundredths < 0 ? -hundredths : hundredths;
  const long long degrees = size / hundredths_a_degree;
  const long long minutes = size / hundredths_a_minute % minutes_a_degree;
  const long long seconds = size % hundredths_a_minute / hundredths_a_second;
  const long long fraction = size % hundredths_a_second;
  put_number(writing, degrees);
  put(writing, unicode ? degree_sign : degree_word);
  if (minutes == 0 && seconds == 0 && fraction == 0) return writing.used;
  if (!unicode) put(writing, " ");
  put_number(writing, minutes);
  put(writing, "'");
  if (seconds == 0 && fraction == 0) return writing.used;
  if (!unicode) put(writing, " ");
  put_number(writing, seconds);
  if (fraction != 0) {
    char decimals[8];
    std::snprintf(decimals, sizeof decimals, ",%02lld", fraction);
    if (decimals[2] == '0') decimals[2] = '\0';
    put(writing, decimals);
  }
  put(writing, "\"");
  return writing.used;
}
