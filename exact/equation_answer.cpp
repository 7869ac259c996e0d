#include "exact/equation_answer.h"

#include <cstring>

#include "exact/decimal_rounding.h"
#include "exact/exact_value.h"
#include "exact/form_text.h"
#include "exact/prepare_program.h"
#include "exact/solution_set.h"
#include "program/program_functions.h"

namespace {

// Bits of the balls that order solutions and tell them from an interval's bounds, at first.
constexpr slong order_precision = 128;
// Finer balls are tried up to this many bits before a comparison is given up.
constexpr slong order_precision_limit = 1 << 14;

// The signs of one script.
struct AnswerSigns {
  const char* degree;  // after an angle in degrees
  const char* minus;   // before a value below 0, and between terms
  const char* times;   // between k and the period
  const char* pi;
  const char* about;  // before digits that are not exact
};

constexpr AnswerSigns answer_unicode = {"\xc2\xb0", "\xe2\x88\x92", "\xc2\xb7", "\xcf\x80",
                                        " \xe2\x89\x88 "};
constexpr AnswerSigns answer_ascii = {"", "-", "*", "pi", " ~ "};

// An answer as it is written, and whether it outgrew its room.
struct Answer {
  char* text;
  int length;
  bool overflow;
  const AnswerSigns* signs;
  bool radians;  // the unit of the unknown: multiples of pi; else degrees
  int digits;
  const char* name;
  int name_length;
};

void put_bytes(Answer& answer, const char* bytes, int length) {
  if (answer.overflow || answer.length + length >= exact_answer_capacity) {
    answer.overflow = true;
    return;
  }
  std::memcpy(answer.text + answer.length, bytes, static_cast<std::size_t>(length));
  answer.length += length;
  answer.text[answer.length] = '\0';
}

void put(Answer& answer, const char* piece) {
  put_bytes(answer, piece, static_cast<int>(std::strlen(piece)));
}

void put_integer(Answer& answer, const fmpz_t n) {
  char digits[64];
  if (fmpz_sizeinbase(n, 10) + 2 > sizeof digits) {
    answer.overflow = true;
    return;
  }
  fmpz_get_str(digits, 10, n);
  put(answer, digits);
}

// A form with radicals, as the exact forms write it.
void put_form(Answer& answer, const radical_form& form) {
  static char text[exact_form_capacity];  // kept off the stack, as every form's text
  const int length = write_radical_form(form, answer.signs == &answer_unicode, text);
  if (length == 0) answer.overflow = true;
  put_bytes(answer, text, length);
}

// The rational `r`, at most 6 decimals written as decimals ("22.5"), otherwise as its
// numerator then `after` then its denominator ("360°/7"); never signed.
void put_decimal_or_fraction(Answer& answer, const fmpq_t r, const char* after) {
  fmpz_t scaled, power;
  fmpz_init(scaled);
  fmpz_init(power);
  int decimals = 0;
  for (; decimals <= 6; ++decimals) {
    fmpz_ui_pow_ui(power, 10, static_cast<ulong>(decimals));
    if (fmpz_divisible(power, fmpq_denref(r))) break;
  }
  if (decimals > 6) {
    put_integer(answer, fmpq_numref(r));
    put(answer, after);
    put(answer, "/");
    put_integer(answer, fmpq_denref(r));
  } else {
    fmpz_mul(scaled, fmpq_numref(r), power);
    fmpz_divexact(scaled, scaled, fmpq_denref(r));
    char digits[64];
    fmpz_get_str(digits, 10, scaled);
    const int length = static_cast<int>(std::strlen(digits));
    const int whole = length - decimals;
    if (whole <= 0) put(answer, "0");
    if (whole > 0) put_bytes(answer, digits, whole);
    if (decimals > 0) put(answer, ".");
    for (int k = whole; k < 0; ++k) put(answer, "0");
    put_bytes(answer, digits + (whole > 0 ? whole : 0), whole > 0 ? decimals : length);
    put(answer, after);
  }
  fmpz_clear(scaled);
  fmpz_clear(power);
}

// An exact angle of the line's unit: "30°", "−22.5°", "360°/7"; "π/6", "2π" in radians.
void put_angle(Answer& answer, const fmpq_t angle) {
  if (answer.radians) {
    radical_form form;
    radical_form_init(&form);
    radical_form_set_rational(&form, angle, 1);
    put_form(answer, form);
    radical_form_clear(&form);
    return;
  }
  fmpq_t size;
  fmpq_init(size);
  fmpq_abs(size, angle);
  if (fmpq_sgn(angle) < 0) put(answer, answer.signs->minus);
  put_decimal_or_fraction(answer, size, answer.signs->degree);
  fmpq_clear(size);
}

// k times the period: "k·360°", "k·360°/7", "2kπ", "kπ/2"; "k*360", "2*k*pi" in ASCII.
void put_period_term(Answer& answer, const fmpq_t period) {
  const AnswerSigns& signs = *answer.signs;
  if (!answer.radians) {
    put(answer, "k");
    put(answer, signs.times);
    put_decimal_or_fraction(answer, period, signs.degree);
    return;
  }
  const bool ascii = &signs == &answer_ascii;
  if (!fmpz_is_one(fmpq_numref(period))) {
    put_integer(answer, fmpq_numref(period));
    if (ascii) put(answer, "*");
  }
  put(answer, ascii ? "k*pi" : "k\xcf\x80");
  if (!fmpz_is_one(fmpq_denref(period))) {
    put(answer, "/");
    put_integer(answer, fmpq_denref(period));
  }
}

// The digits of `value` in the line's unit (degrees get their sign): `digits` of them,
// correctly rounded, the ball made finer by `enclose` until they settle.
template <typename Enclose>
void put_digits(Answer& answer, Enclose enclose) {
  static Rounded rounded;  // 1 KiB of digits: kept off the stack
  static char text[exact_text_capacity];
  arb_t ball;
  fmpq_t tie;
  arb_init(ball);
  fmpq_init(tie);
  bool done = false;
  for (slong precision = bits_for_digits(answer.digits) + 64;
       !done && precision <= order_precision_limit * 4; precision *= 2) {
    enclose(ball, precision);
    if (arb_is_zero(ball)) {
      put(answer, "0");
      done = true;
    } else if (round_ball(ball, answer.digits, precision, rounded, tie) == Rounding::done) {
      put_bytes(answer, text,
                write_exact_decimal(rounded.negative, rounded.digits, answer.digits,
                                    static_cast<long>(rounded.exponent), text));
      done = true;
    }
  }
  if (!done) answer.overflow = true;
  if (!answer.radians) put(answer, answer.signs->degree);
  arb_clear(ball);
  fmpq_clear(tie);
}

// The name of an inverse function as the answer writes it.
const char* inverse_name(int function) {
  if (function == program_arc_sine) return "arcsen";
  if (function == program_arc_cosine) return "arccos";
  return "arctg";
}

// A start written with an inverse function: "180° − arcsen(1/3)", "−arccos(1/3)",
// "15° + arcsen(1/3)/2".
void put_inverse_start(Answer& answer, const inverse_start& inverse) {
  const bool offset = !fmpq_is_zero(inverse.offset);
  const bool negative = (inverse.sign < 0) != (fmpq_sgn(inverse.scale) < 0);
  if (offset) put_angle(answer, inverse.offset);
  if (offset) put(answer, negative ? " " : " + ");
  if (negative) put(answer, answer.signs->minus);
  if (offset && negative) put(answer, " ");
  if (!fmpz_is_pm1(fmpq_numref(inverse.scale))) {
    fmpz_t size;
    fmpz_init(size);
    fmpz_abs(size, fmpq_numref(inverse.scale));
    put_integer(answer, size);
    put(answer, answer.signs->times);
    fmpz_clear(size);
  }
  put(answer, inverse_name(inverse.function));
  put(answer, "(");
  put_form(answer, inverse.value);
  put(answer, ")");
  if (!fmpz_is_one(fmpq_denref(inverse.scale))) {
    put(answer, "/");
    put_integer(answer, fmpq_denref(inverse.scale));
  }
}

// "x = " with the unknown as the line writes it.
void put_name_equals(Answer& answer) {
  put_bytes(answer, answer.name, answer.name_length);
  put(answer, " = ");
}

// start + k period, a period of 0 leaving only the start.
void put_start_and_period(Answer& answer, const solution_set& set, const solution_family& family,
                          bool exact) {
  const bool has_period = !fmpq_is_zero(family.period);
  const bool zero_start = exact && family.rational && fmpq_is_zero(family.start);
  if (exact && family.rational && !zero_start) put_angle(answer, family.start);
  if (exact && !family.rational) put_inverse_start(answer, family.inverse);
  if (!exact) {
    put_digits(answer, [&](arb_t ball, slong precision) {
      solution_start_ball(ball, &family, &set, precision);
    });
  }
  if (!has_period) return;
  if (!zero_start) put(answer, " + ");
  put_period_term(answer, family.period);
}

// One family: "x = 30° + k·360°", and for a start written with an inverse function, its
// digits after it: "x = arcsen(1/3) + k·360° ≈ 19.4712° + k·360°".
void put_family(Answer& answer, const solution_set& set, const solution_family& family) {
  put_name_equals(answer);
  const bool written = family.rational || family.written;
  put_start_and_period(answer, set, family, written);
  if (family.rational || !written) return;
  put(answer, answer.signs->about);
  put_start_and_period(answer, set, family, false);
}

// The families joined by "ou", then "(k inteiro)".
void put_families(Answer& answer, const solution_set& set) {
  for (int f = 0; f < set.family_count; ++f) {
    if (f > 0) put(answer, " ou ");
    put_family(answer, set, set.families[f]);
  }
  if (set.family_count == 0 || fmpq_is_zero(set.families[0].period)) return;
  put(answer, answer.radians || answer.signs == &answer_unicode ? " (k inteiro)"
                                                                : " (k inteiro, em graus)");
}

// A bound of an interval: exact in the line's unit, or only enclosed (7 radians is 7/pi
// times pi).
struct Bound {
  bool exact;
  bool open;  // the bound itself is left out
  fmpq_t value;
  fmpq_t rational;  // the bound is rational x pi^pi_power
  slong pi_power;
};

void bound_init(Bound& bound) {
  fmpq_init(bound.value);
  fmpq_init(bound.rational);
}

void bound_clear(Bound& bound) {
  fmpq_clear(bound.value);
  fmpq_clear(bound.rational);
}

// The bound in the line's unit, enclosed.
void bound_ball(arb_t ball, const Bound& bound, bool radians, slong precision) {
  if (bound.exact) return arb_set_fmpq(ball, bound.value, precision);
  arb_t pi;
  arb_init(pi);
  arb_const_pi(pi, precision);
  const slong power = bound.pi_power - (radians ? 1 : 0);
  arb_pow_ui(pi, pi, static_cast<ulong>(power < 0 ? -power : power), precision);
  if (power < 0) arb_inv(pi, pi, precision);
  arb_set_fmpq(ball, bound.rational, precision);
  arb_mul(ball, ball, pi, precision);
  arb_clear(pi);
}

// A bound's value from its rational and power of pi: exact when the power is the unit's.
void set_bound(Bound& bound, bool radians) {
  bound.exact = fmpq_is_zero(bound.rational) || bound.pi_power == (radians ? 1 : 0);
  fmpq_set(bound.value, bound.rational);
}

// A solution listed: family f's start plus k periods.
struct Listed {
  int family;
  slong k;
};

// The solution's value, enclosed.
void listed_ball(arb_t ball, const solution_set& set, const Listed& listed, slong precision) {
  solution_start_ball(ball, set.families + listed.family, &set, precision);
  arb_t shift;
  arb_init(shift);
  arb_set_fmpq(shift, set.families[listed.family].period, precision);
  arb_mul_si(shift, shift, listed.k, precision);
  arb_add(ball, ball, shift, precision);
  arb_clear(shift);
}

// The solution's value, exactly, when its family's start is rational.
void listed_value(fmpq_t value, const solution_set& set, const Listed& listed) {
  fmpq_mul_si(value, set.families[listed.family].period, listed.k);
  fmpq_add(value, value, set.families[listed.family].start);
}

// The sign of a - b for two values made by `a` and `b` (exactly when both are exact), by balls
// made finer until they part; 0 when they never do within the limit.
template <typename BallA, typename BallB>
int compare_balls(BallA a, BallB b) {
  arb_t x, y;
  arb_init(x);
  arb_init(y);
  int sign = 0;
  for (slong precision = order_precision; sign == 0 && precision <= order_precision_limit;
       precision *= 4) {
    a(x, precision);
    b(y, precision);
    arb_sub(x, x, y, precision);
    if (arb_is_positive(x)) sign = 1;
    if (arb_is_negative(x)) sign = -1;
  }
  arb_clear(x);
  arb_clear(y);
  return sign;
}

// The sign of the solution's start less the bound.
int compare_with_bound(const solution_set& set, const solution_family& family, const Bound& bound) {
  if (family.rational && bound.exact) return fmpq_cmp(family.start, bound.value);
  return compare_balls([&](arb_t ball, slong p) { solution_start_ball(ball, &family, &set, p); },
                       [&](arb_t ball, slong p) { bound_ball(ball, bound, set.radians != 0, p); });
}

// For a single solution (no period): k from 0 to 0 when it lies in the interval, else from 1
// to 0. False when a comparison could not be made.
bool single_in_range(const solution_set& set, int f, const Bound& low, const Bound& high,
                     fmpz_t first, fmpz_t last) {
  const int above = compare_with_bound(set, set.families[f], low);
  const int below = -compare_with_bound(set, set.families[f], high);
  const bool in =
      (above > 0 || (above == 0 && !low.open)) && (below > 0 || (below == 0 && !high.open));
  fmpz_set_ui(first, in ? 0 : 1);
  fmpz_zero(last);
  return true;
}

// The least k for which start + k period lies above the low bound (or on it, when it is in),
// and the most k for which it lies below the high one: by exact arithmetic where both are
// exact, by balls otherwise. False when a comparison could not be made.
bool period_range(const solution_set& set, int f, const Bound& low, const Bound& high, fmpz_t first,
                  fmpz_t last) {
  const solution_family& family = set.families[f];
  if (fmpq_is_zero(family.period)) return single_in_range(set, f, low, high, first, last);
  for (int side = 0; side < 2; ++side) {
    const Bound& bound = side == 0 ? low : high;
    fmpz* k = side == 0 ? first : last;
    bool on_bound = false;
    if (family.rational && bound.exact) {
      fmpq_t steps;
      fmpq_init(steps);
      fmpq_sub(steps, bound.value, family.start);
      fmpq_div(steps, steps, family.period);
      if (side == 0) fmpz_cdiv_q(k, fmpq_numref(steps), fmpq_denref(steps));
      if (side == 1) fmpz_fdiv_q(k, fmpq_numref(steps), fmpq_denref(steps));
      on_bound = fmpz_is_one(fmpq_denref(steps));
      fmpq_clear(steps);
    } else {
      arb_t steps, start;
      arb_init(steps);
      arb_init(start);
      bool found = false;
      for (slong precision = order_precision; !found && precision <= order_precision_limit;
           precision *= 4) {
        bound_ball(steps, bound, set.radians != 0, precision);
        solution_start_ball(start, &family, &set, precision);
        arb_sub(steps, steps, start, precision);
        arb_div_fmpz(steps, steps, fmpq_numref(family.period), precision);
        arb_mul_fmpz(steps, steps, fmpq_denref(family.period), precision);
        fmpz_t floor_low, floor_high;
        fmpz_init(floor_low);
        fmpz_init(floor_high);
        arf_get_fmpz(floor_low, arb_midref(steps), ARF_RND_FLOOR);
        arb_get_lbound_arf(arb_midref(start), steps, precision);
        arf_get_fmpz(floor_low, arb_midref(start), ARF_RND_FLOOR);
        arb_get_ubound_arf(arb_midref(start), steps, precision);
        arf_get_fmpz(floor_high, arb_midref(start), ARF_RND_FLOOR);
        found = fmpz_equal(floor_low, floor_high);  // no integer inside: never equal to one
        if (found) fmpz_add_ui(k, floor_low, side == 0 ? 1 : 0);
        fmpz_clear(floor_low);
        fmpz_clear(floor_high);
      }
      arb_clear(steps);
      arb_clear(start);
      if (!found) return false;
    }
    if (on_bound && bound.open) side == 0 ? fmpz_add_ui(k, k, 1) : fmpz_sub_ui(k, k, 1);
  }
  return true;
}

// The sign of a - b for two listed solutions.
int compare_listed(const solution_set& set, const Listed& a, const Listed& b) {
  if (set.families[a.family].rational && set.families[b.family].rational) {
    fmpq_t x, y;
    fmpq_init(x);
    fmpq_init(y);
    listed_value(x, set, a);
    listed_value(y, set, b);
    const int sign = fmpq_cmp(x, y);
    fmpq_clear(x);
    fmpq_clear(y);
    return sign;
  }
  return compare_balls([&](arb_t ball, slong p) { listed_ball(ball, set, a, p); },
                       [&](arb_t ball, slong p) { listed_ball(ball, set, b, p); });
}

// The solutions in [low, high], in increasing order, at most answer_list_capacity of them;
// their count in `count`. False when a comparison could not be made.
bool list_solutions(const solution_set& set, const Bound& low, const Bound& high,
                    Listed (&listed)[answer_list_capacity], int& kept, fmpz_t count) {
  kept = 0;
  fmpz_zero(count);
  fmpz_t first, last, size;
  fmpz_init(first);
  fmpz_init(last);
  fmpz_init(size);
  bool made = true;
  for (int f = 0; f < set.family_count && made; ++f) {
    made = period_range(set, f, low, high, first, last);
    fmpz_sub(size, last, first);
    fmpz_add_ui(size, size, 1);
    if (!made || fmpz_sgn(size) <= 0) continue;
    fmpz_add(count, count, size);
    for (; fmpz_cmp(first, last) <= 0 && kept < answer_list_capacity;
         fmpz_add_ui(first, first, 1)) {
      listed[kept++] = {f, fmpz_get_si(first)};
    }
  }
  for (int a = 1; a < kept; ++a) {  // insertion sort: a few tens at most
    for (int b = a; b > 0 && compare_listed(set, listed[b - 1], listed[b]) > 0; --b) {
      const Listed swap = listed[b];
      listed[b] = listed[b - 1];
      listed[b - 1] = swap;
    }
  }
  fmpz_clear(first);
  fmpz_clear(last);
  fmpz_clear(size);
  return made;
}

// A bound as the answer writes it: exact, or its digits.
void put_bound(Answer& answer, const Bound& bound) {
  if (bound.exact) return put_angle(answer, bound.value);
  put_digits(answer, [&](arb_t ball, slong p) { bound_ball(ball, bound, answer.radians, p); });
}

// "; em [0°, 360°): 30°, 150°", the interval as written; past the list's capacity, how many.
void put_listing(Answer& answer, const solution_set& set, const Bound& low, const Bound& high) {
  static Listed listed[answer_list_capacity];
  int kept = 0;
  fmpz_t count;
  fmpz_init(count);
  const bool made = list_solutions(set, low, high, listed, kept, count);
  put(answer, "; em ");
  put(answer, low.open ? "(" : "[");
  put_bound(answer, low);
  put(answer, ", ");
  put_bound(answer, high);
  put(answer, high.open ? ")" : "]");
  if (!made || fmpz_cmp_si(count, kept) > 0) {
    put(answer, made ? " há " : " há soluções demais para listar");
    if (made) put_integer(answer, count);
    if (made) put(answer, " soluções");
    fmpz_clear(count);
    return;
  }
  put(answer, kept == 0 ? ": nenhuma" : ": ");
  for (int n = 0; n < kept; ++n) {
    if (n > 0) put(answer, ", ");
    const solution_family& family = set.families[listed[n].family];
    if (family.rational) {
      fmpq_t value;
      fmpq_init(value);
      listed_value(value, set, listed[n]);
      put_angle(answer, value);
      fmpq_clear(value);
    } else {
      put_digits(answer, [&](arb_t ball, slong p) { listed_ball(ball, set, listed[n], p); });
    }
  }
  fmpz_clear(count);
}

// The default interval, one turn: [0°, 360°) or [0, 2π).
void set_one_turn(Bound& low, Bound& high, bool radians) {
  low.exact = high.exact = true;
  low.open = false;
  high.open = true;
  fmpq_zero(low.value);
  fmpq_set_si(high.value, radians ? 2 : 360, 1);
}

// Why the line was not answered, as a note.
ReadingNote unsolved_note(int reason) {
  NoteKind kind = NoteKind::unsolved_too_large;
  if (reason == reason_unknown_outside_angle) kind = NoteKind::unsolved_outside_angle;
  if (reason == reason_angle_not_linear) kind = NoteKind::unsolved_angle_not_linear;
  if (reason == reason_not_algebraic) kind = NoteKind::unsolved_not_algebraic;
  if (reason == reason_power) kind = NoteKind::unsolved_power;
  if (reason == reason_inverse_of_unknown) kind = NoteKind::unsolved_inverse_of_unknown;
  if (reason == reason_check_failed) kind = NoteKind::unsolved_check_failed;
  if (reason == reason_bound_not_exact) kind = NoteKind::unsolved_bound;
  return {kind, 0, 0, TermFunction::none, 0, ""};
}

// The steps `first` to `last` of `program` made ready in `exact` on their own.
void prepare_part(const Program& program, const NumberStore& store, int first, int last,
                  ExactProgram& exact) {
  static Program part;  // 3 KiB: kept off the stack
  part.step_count = 0;
  part.complete = program.complete;
  for (int s = first; s < last; ++s) part.steps[part.step_count++] = program.steps[s];
  prepare_exact_program(part, store, exact);
}

// The line's bounds, or one turn; false when a bound is no rational multiple of a power of pi.
bool read_bounds(const Program& program, const NumberStore& store, const ProgramShape& shape,
                 ExactProgram& exact, Bound& low, Bound& high) {
  set_one_turn(low, high, shape.radians != 0);
  if (!shape.interval) return true;
  Bound* bounds[2] = {&low, &high};
  for (int b = 0; b < 2; ++b) {
    const int first = shape.part_end[shape.part_count + b - 1];
    prepare_part(program, store, first, shape.part_end[shape.part_count + b], exact);
    if (!constant_value(&exact, 0, exact.step_count, bounds[b]->rational, &bounds[b]->pi_power)) {
      return false;
    }
    set_bound(*bounds[b], shape.radians != 0);
    bounds[b]->open = (b == 0 ? shape.low_open : shape.high_open) != 0;
  }
  return true;
}

// The answer to an equation: its families, then the solutions in the interval.
void put_equation(Answer& answer, const solution_set& set, const Bound& low, const Bound& high,
                  bool interval) {
  switch (set.kind) {
    case solutions_none:
      return put(answer, "sem solução");
    case solutions_every_x:
      put(answer, "vale para todo ");
      put_bytes(answer, answer.name, answer.name_length);
      if (set.family_count == 0) return;
      put(answer, ", exceto ");
      return put_families(answer, set);
    case solutions_single:
      put_families(answer, set);
      if (interval) put_listing(answer, set, low, high);
      return;
    default:
      put_families(answer, set);
      return put_listing(answer, set, low, high);
  }
}

// `program` with its unknown made the number `value`, into `to`.
void substitute_unknown(const ExactProgram& program, const fmpq_t value, ExactProgram& to) {
  to.step_count = program.step_count;
  to.number_count = program.number_count;
  to.complete = program.complete;
  for (int n = 0; n < program.number_count; ++n) {
    const exact_number& number = program.numbers[n];
    to.numbers[n].pi = number.pi;
    to.numbers[n].too_large = number.too_large;
    fmpq_set(to.numbers[n].value, number.value);
    fmpz_set(to.numbers[n].mantissa, number.mantissa);
    to.numbers[n].exponent = number.exponent;
  }
  const int slot = to.number_count < program_step_capacity ? to.number_count++ : 0;
  to.numbers[slot].pi = 0;
  to.numbers[slot].too_large = 0;
  fmpq_set(to.numbers[slot].value, value);
  for (int s = 0; s < program.step_count; ++s) {
    to.steps[s] = program.steps[s];
    if (to.steps[s].code != program_unknown) continue;
    to.steps[s].code = program_push_number;
    to.steps[s].argument = static_cast<short>(slot);
  }
}

// True when the line `program` in x is shown to depend on x: at x = 1 and x = 2 of its unit,
// computed exactly, its values round apart. What a line outside the equations solved can be
// said to be without a guess.
bool shown_to_vary(const ExactProgram& program) {
  static ExactProgram at;
  static ExactOutcome values[2];
  static bool ready = false;
  if (!ready) {
    init_exact_program(at);
    ready = true;
  }
  constexpr int digits = 17;
  fmpq_t x;
  fmpq_init(x);
  bool computed = true;
  for (int k = 0; k < 2 && computed; ++k) {
    fmpq_set_si(x, k + 1, 1);
    substitute_unknown(program, x, at);
    compute_exact_value(at, digits, values[k]);
    computed = values[k].end.outcome == exact_value;
  }
  fmpq_clear(x);
  if (!computed) return false;
  const Rounded& a = values[0].rounded;
  const Rounded& b = values[1].rounded;
  return a.zero != b.zero || (!a.zero && (a.negative != b.negative || a.exponent != b.exponent ||
                                          std::strncmp(a.digits, b.digits, digits) != 0));
}

// The answer to a line without "=": its value for every x, or that it depends on x.
void put_expression(Answer& answer, const solution_set& set) {
  if (set.kind == solutions_none) {
    put(answer, "sem valor para nenhum ");
    return put_bytes(answer, answer.name, answer.name_length);
  }
  if (set.kind == expression_varies) {
    put(answer, "depende de ");
    put_bytes(answer, answer.name, answer.name_length);
    if (!set.periodic) return;
    put(answer, " (período ");
    fmpq_t period;
    fmpq_init(period);
    fmpq_set(period, set.period);
    put_angle(answer, period);
    fmpq_clear(period);
    return put(answer, ")");
  }
  const bool rational =
      set.constant_written && set.constant.term_count <= 1 &&
      (set.constant.term_count == 0 || set.constant.terms[0].kind == radical_rational) &&
      fmpq_is_zero(set.constant.pi_power);
  if (set.constant_written) put_form(answer, set.constant);
  if (set.constant_written && !rational) put(answer, answer.signs->about);
  const bool radians = answer.radians;
  answer.radians = true;  // the digits of a value, without a degree sign
  if (!rational) put_digits(answer, [](arb_t ball, slong p) { solution_constant_ball(ball, p); });
  answer.radians = radians;
  put(answer, " para todo ");
  put_bytes(answer, answer.name, answer.name_length);
  if (set.family_count == 0) return;
  put(answer, ", exceto ");
  put_families(answer, set);
}

// What the answers of a line work with: its parts made ready one at a time, and what each
// came to.
struct AnswerRoom {
  ExactProgram exact;
  solution_set set;
};

AnswerRoom& answer_room() {
  static AnswerRoom room;  // its numbers are made once, for the module's life
  static bool ready = false;
  if (!ready) {
    init_exact_program(room.exact);
    solution_set_init(&room.set);
    ready = true;
  }
  return room;
}

// Writes the answer to part `part` of the line (the equation, or one expression of a line
// without "="); false, with why in the room's set, when it is not given.
bool put_part_answer(Answer& answer, const Program& program, const NumberStore& store,
                     const ProgramShape& shape, int part, bool bounded, const Bound& low,
                     const Bound& high) {
  AnswerRoom& room = answer_room();
  solution_set& set = room.set;
  prepare_part(program, store, part == 0 ? 0 : shape.part_end[part - 1], shape.part_end[part],
               room.exact);
  const int steps = room.exact.step_count;
  if (shape.equation) solve_equation(&room.exact, 0, steps, shape.radians, &set);
  if (!shape.equation) decide_expression(&room.exact, 0, steps, shape.radians, &set);
  if (!shape.equation && set.kind == solutions_unsolved && shown_to_vary(room.exact)) {
    set.kind = expression_varies;
    set.periodic = 0;
  }
  if (!bounded && set.kind != solutions_unsolved) {
    set.kind = solutions_unsolved;
    set.reason = reason_bound_not_exact;
    set.step = -1;
  }
  if (set.kind == solutions_unsolved) return false;
  if (shape.equation) put_equation(answer, set, low, high, shape.interval != 0);
  if (!shape.equation) put_expression(answer, set);
  return !answer.overflow;
}

// Why the part last answered was not: its note, at the step where it left what is solved.
ReadingNote unanswered_note(const AnswerRoom& room) {
  const solution_set& set = room.set;
  ReadingNote note = unsolved_note(set.kind == solutions_unsolved ? set.reason : reason_too_large);
  if (set.kind == solutions_unsolved && set.step >= 0 && set.step < room.exact.step_count) {
    note.column = room.exact.steps[set.step].column;
    note.length = room.exact.steps[set.step].length;
  }
  return note;
}

}  // namespace

bool line_answer_is_light(const Program& program, const NumberStore& store,
                          const ProgramShape& shape) {
  AnswerRoom& room = answer_room();
  for (int part = 0; part < shape.part_count; ++part) {
    prepare_part(program, store, part == 0 ? 0 : shape.part_end[part - 1], shape.part_end[part],
                 room.exact);
    if (!answer_is_light(&room.exact, 0, room.exact.step_count, shape.radians)) return false;
  }
  return true;
}

int write_line_answer(const Program& program, const NumberStore& store, const ProgramShape& shape,
                      const AnswerRequest& request, char (&text)[exact_answer_capacity],
                      ReadingNote& note, bool& noted) {
  Answer answer = {text,
                   0,
                   false,
                   request.unicode ? &answer_unicode : &answer_ascii,
                   shape.radians != 0,
                   request.digits,
                   request.name,
                   request.name_length};
  text[0] = '\0';
  noted = false;
  Bound low, high;
  bound_init(low);
  bound_init(high);
  const bool bounded = read_bounds(program, store, shape, answer_room().exact, low, high);
  for (int part = 0; part < shape.part_count && !noted; ++part) {
    if (part > 0) put(answer, "; ");
    noted = !put_part_answer(answer, program, store, shape, part, bounded, low, high);
  }
  if (noted) {  // one part not answered: the line is not
    answer.length = 0;
    answer.overflow = false;
    put(answer, "não sei resolver");
    note = unanswered_note(answer_room());
  }
  bound_clear(low);
  bound_clear(high);
  return answer.length;
}
