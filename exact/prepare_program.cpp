#include "exact/prepare_program.h"

#include <fmpz_extras.h>  // Arb's fmpz_ui_pow_ui

#include "exact/half_turns.h"
#include "text/characters.h"

namespace {

constexpr slong exponent_ceiling = 1000000000000000000;  // larger written exponents saturate
constexpr int digit_text_capacity = 128;  // the digits of a number of a 99-byte line, and more

// Reads "[sign]digits" at `text` into `exponent`, saturating; returns the bytes read.
int read_exponent(const char* text, slong& exponent) {
  int at = 0;
  const bool negative = text[at] == '-';
  if (text[at] == '-' || text[at] == '+') ++at;
  exponent = 0;
  for (; is_digit(text[at]); ++at) {
    if (exponent < exponent_ceiling / 10) exponent = exponent * 10 + (text[at] - '0');
  }
  if (negative) exponent = -exponent;
  return at;
}

// The number of decimal digits of the nonzero `value`.
slong decimal_digits(const fmpz_t value) {
  slong digits = static_cast<slong>(fmpz_sizeinbase(value, 10));
  fmpz_t power;
  fmpz_init(power);
  fmpz_ui_pow_ui(power, 10, static_cast<ulong>(digits - 1));
  if (fmpz_cmpabs(value, power) < 0) --digits;  // sizeinbase may count one more
  fmpz_clear(power);
  return digits;
}

// Sets `number` to mantissa x 10^exponent, or marks it too large.
void set_scaled(exact_number& number, slong exponent) {
  const slong size = fmpz_is_zero(number.mantissa) ? 0 : decimal_digits(number.mantissa) + exponent;
  number.exponent = exponent;
  number.too_large = size > EXACT_MAGNITUDE_LIMIT || size < -EXACT_MAGNITUDE_LIMIT;
  if (number.too_large || fmpz_is_zero(number.mantissa)) {
    fmpq_zero(number.value);
    return;
  }
  fmpz_t power;
  fmpz_init(power);
  fmpz_ui_pow_ui(power, 10, static_cast<ulong>(exponent < 0 ? -exponent : exponent));
  if (exponent >= 0) {
    fmpz_mul(fmpq_numref(number.value), number.mantissa, power);
    fmpz_one(fmpq_denref(number.value));
  } else {
    fmpz_set(fmpq_numref(number.value), number.mantissa);
    fmpz_set(fmpq_denref(number.value), power);
    fmpq_canonicalise(number.value);
  }
  fmpz_clear(power);
}

// A fresh number of `exact`, 0 until set; -1 when there is no room.
int add_number(ExactProgram& exact) {
  if (exact.number_count >= program_step_capacity) {
    exact.complete = 0;
    return -1;
  }
  exact_number& number = exact.numbers[exact.number_count];
  number.pi = 0;
  number.too_large = 0;
  fmpq_zero(number.value);
  return exact.number_count++;
}

// Appends `step`, pushing number `slot` when it is a push.
void add_exact_step(ExactProgram& exact, ProgramStep step, int slot) {
  if (slot >= 0) step.argument = static_cast<short>(slot);
  exact.steps[exact.step_count++] = step;  // never more steps than the program has
}

// The number `step` pushes, read into a new slot of `exact`: the store's number, exactly, or
// the step's integer; the slot, or -1 when there is no room.
int read_pushed_number(const ProgramStep& step, const NumberStore& store, ExactProgram& exact) {
  const int slot = add_number(exact);
  if (slot < 0) return slot;
  exact_number& number = exact.numbers[slot];
  if (step.code == program_push_integer) {
    fmpq_set_si(number.value, step.argument, 1);
  } else if (store.numbers[step.argument].form == NumberForm::pi) {
    number.pi = 1;
  } else {
    read_exact_decimal(number_text(store, store.numbers[step.argument]), number);
  }
  return slot;
}

bool is_direct(int function) {
  return program_function_takes_angle(function) != 0;
}

// The integer value of `number` modulo `modulus`; false when it is no integer.
bool integer_residue(const exact_number& number, const fmpz_t modulus, fmpz_t residue) {
  if (number.pi) return false;
  if (!number.too_large) {
    if (!fmpz_is_one(fmpq_denref(number.value))) return false;
    fmpz_mod(residue, fmpq_numref(number.value), modulus);
    return true;
  }
  if (number.exponent < 0) return false;  // too large and not whole: a tiny fraction
  fmpz_t ten;
  fmpz_init_set_ui(ten, 10);
  fmpz_t power;
  fmpz_init_set_si(power, number.exponent);
  fmpz_powm(residue, ten, power, modulus);
  fmpz_mul(residue, residue, number.mantissa);
  fmpz_mod(residue, residue, modulus);
  fmpz_clear(ten);
  fmpz_clear(power);
  return true;
}

// The first step of the operand that ends right before step `end`: walking back, the first
// place where exactly one value has been made.
int operand_start(const ExactProgram& exact, int end) {
  int made = 0;
  for (int s = end - 1; s >= 0; --s) {
    made += 1 - program_step_takes(exact.steps[s].code);
    if (made == 1) return s;
  }
  return 0;  // not well formed: never written, kept safe regardless
}

// Runs the steps from `from` on integers modulo 360; false when a step is not a push of an
// integer, '+', '-' or '*' (the reduction would not be exact).
bool run_modulo_turn(const ExactProgram& exact, int from, fmpz_t result) {
  static fmpz stack[program_step_capacity];  // fmpz values that are small need no clearing
  int depth = 0;
  int deepest = 0;
  fmpz_t modulus;
  fmpz_init_set_ui(modulus, 2 * DEGREES_IN_HALF_TURN);  // a whole turn
  bool reduced = true;
  for (int s = from; s < exact.step_count && reduced; ++s) {
    const ProgramStep& step = exact.steps[s];
    if (step.code == program_push_number) {
      reduced = integer_residue(exact.numbers[step.argument], modulus, stack + depth++);
      if (depth > deepest) deepest = depth;
      continue;
    }
    // Another step, or a program not well formed (never written, kept safe regardless).
    const bool ring_step =
        step.code == program_add || step.code == program_subtract || step.code == program_multiply;
    if (!ring_step || depth < 2) {
      reduced = false;
      continue;
    }
    fmpz* left = stack + depth - 2;
    if (step.code == program_add) fmpz_add(left, left, left + 1);
    if (step.code == program_subtract) fmpz_sub(left, left, left + 1);
    if (step.code == program_multiply) fmpz_mul(left, left, left + 1);
    fmpz_mod(left, left, modulus);
    --depth;
  }
  if (reduced && depth == 1) fmpz_set(result, stack);
  for (int k = 0; k <= deepest; ++k) fmpz_zero(stack + k);
  fmpz_clear(modulus);
  return reduced && depth == 1;
}

bool holds_too_large(const ExactProgram& exact, int from) {
  for (int s = from; s < exact.step_count; ++s) {
    const ProgramStep& step = exact.steps[s];
    if (step.code == program_push_number && exact.numbers[step.argument].too_large) return true;
  }
  return false;
}

// The angle made by the last steps of `exact`, for a direct function in degrees: when it
// holds a number too large to hold and is an integer expression, those steps become one push
// of its residue modulo 360, which gives the function the same value.
void reduce_large_angle(ExactProgram& exact) {
  const int from = operand_start(exact, exact.step_count);
  if (!holds_too_large(exact, from)) return;
  fmpz_t residue;
  fmpz_init(residue);
  if (run_modulo_turn(exact, from, residue)) {
    const ProgramStep first = exact.steps[from];
    exact.step_count = from;
    const int slot = add_number(exact);
    if (slot >= 0) {
      fmpz_set(fmpq_numref(exact.numbers[slot].value), residue);
      fmpz_one(fmpq_denref(exact.numbers[slot].value));
      add_exact_step(exact, {program_push_number, 0, 0, first.column, 0}, slot);
    }
  }
  fmpz_clear(residue);
}

// A bound on what a line's values may grow to, for the estimate of its cost: the bits of a
// value's numerator, and of its denominator beyond the first (|value| < 2^(numerator -
// denominator): the bits of its integer part), or of its size and smallness for a value that
// is no rational; and the value itself when it is a small integer, as an exponent often is.
struct SizeBound {
  slong numerator;
  slong denominator;
  bool whole;   // `value` is the value
  slong value;  // |value| at most whole_ceiling
};

constexpr slong size_ceiling = slong{1} << 40;   // bits past which a bound saturates
constexpr slong whole_ceiling = slong{1} << 40;  // integers followed exactly up to this size

slong capped(slong bits) {
  return bits < size_ceiling ? bits : size_ceiling;
}

// a x b for bits, saturating at size_ceiling (both at least 0).
slong capped_product(slong a, slong b) {
  return a != 0 && b > size_ceiling / a ? size_ceiling : capped(a * b);
}

// The bound of a number a step pushes: its bits; pi counts two bits (pi^k < 2^(2k)).
SizeBound number_bound(const exact_number& number) {
  if (number.pi) return {2, 0, false, 0};
  if (number.too_large) return {0, 0, false, 0};  // never computed: the run stops there
  const fmpz* numerator = fmpq_numref(number.value);
  const bool whole = fmpz_is_one(fmpq_denref(number.value)) && fmpz_bits(numerator) < 40;
  return {static_cast<slong>(fmpz_bits(numerator)),
          static_cast<slong>(fmpz_bits(fmpq_denref(number.value))) - 1, whole,
          whole ? static_cast<slong>(fmpz_get_si(numerator)) : 0};
}

// The value of `step` on two small integers, when it is one that stays small.
bool whole_result(int code, slong left, slong right, slong& value) {
  const slong a = left < 0 ? -left : left;
  const slong b = right < 0 ? -right : right;
  if (code == program_add) value = left + right;
  if (code == program_subtract) value = left - right;
  if (code == program_multiply) {
    if (a != 0 && b > whole_ceiling / a) return false;
    value = left * right;
  }
  if (code == program_power) {
    if (right < 0 || (a > 1 && right >= 40)) return false;
    if (a <= 1) {  // 0, 1 and -1 to any power, without a step per unit of the exponent
      value = right == 0 ? 1 : left == -1 ? (right % 2 == 0 ? 1 : -1) : left;
    } else {
      value = 1;
      for (slong k = 0; k < right; ++k) {
        if (value > whole_ceiling / a || value < -whole_ceiling / a) return false;
        value *= left;
      }
    }
  }
  const bool kept = code == program_add || code == program_subtract || code == program_multiply ||
                    code == program_power;
  return kept && value <= whole_ceiling && value >= -whole_ceiling;
}

// The bound of base^exponent: the base's bits times the exponent when it is an integer known
// here, times the largest the exponent may be otherwise.
SizeBound power_bound(const SizeBound& base, const SizeBound& exponent) {
  if (exponent.whole) {
    const slong times = exponent.value < 0 ? -exponent.value : exponent.value;
    if (exponent.value >= 0) {
      return {capped_product(base.numerator, times), capped_product(base.denominator, times), false,
              0};
    }
    const slong up = capped_product(base.denominator + 1, times);  // the denominator's bits
    const slong down = capped_product(base.numerator > 0 ? base.numerator - 1 : 0, times);
    return {up, down, false, 0};
  }
  const slong exponent_size = exponent.numerator - exponent.denominator + 1;
  const slong largest = exponent_size <= 0    ? 1
                        : exponent_size >= 40 ? size_ceiling
                                              : slong{1} << exponent_size;
  const slong bits = capped_product(
      base.numerator > base.denominator ? base.numerator : base.denominator, largest);
  return {bits, bits, false, 0};
}

// The bits of e^x (or cosh x, senh x) for x of the bits `argument` bounds: |x| times 1.5 for
// |x| below 2^(numerator - denominator + 1).
slong exponential_bits(const SizeBound& argument) {
  const slong size = argument.numerator - argument.denominator + 1;
  if (size <= 0) return 2;
  return size >= 40 ? size_ceiling : capped((slong{1} << size) + (slong{1} << size) / 2 + 2);
}

// The bound of amplitude x f(argument): a sine or cosine is at most 1, an inverse function at
// most 180 degrees, and a tangent, cotangent, secant or cosecant at most about the reciprocal
// of the angle's distance to a pole, which its bits bound; an exponential (and a hyperbolic
// sine or cosine) grows with its argument's size, an absolute value is its argument's, and
// the other functions of plain numbers stay small.
SizeBound function_bound(const ProgramStep& step, const SizeBound& amplitude,
                         const SizeBound& argument) {
  const int code = step.argument;
  slong bits = 1;
  if (!is_direct(code)) bits = 8;
  if (code != program_sine && code != program_cosine && is_direct(code))
    bits = capped(argument.numerator + argument.denominator + 2);
  if (code == program_exponential || code == program_hyperbolic_sine ||
      code == program_hyperbolic_cosine) {
    bits = exponential_bits(argument);
  }
  if (code == program_absolute_value) {
    return {capped(amplitude.numerator + argument.numerator),
            capped(amplitude.denominator + argument.denominator), false, 0};
  }
  return {capped(amplitude.numerator + bits), amplitude.denominator, false, 0};
}

// The bound of the value `step` makes of `left` and `right` (`right` alone for a step that
// takes one value).
SizeBound step_bound(const ProgramStep& step, const SizeBound& left, const SizeBound& right) {
  SizeBound made = {0, 0, false, 0};
  switch (step.code) {
    case program_negate:
      return {right.numerator, right.denominator, right.whole, -right.value};
    case program_root:
      return {(right.numerator + 1) / 2, (right.denominator + 1) / 2, false, 0};
    case program_add:
    case program_subtract: {
      const slong one = left.numerator + right.denominator + 1;
      const slong other = right.numerator + left.denominator + 1;
      made = {capped((one > other ? one : other) + 1), capped(left.denominator + right.denominator),
              false, 0};
      break;
    }
    case program_multiply:
      made = {capped(left.numerator + right.numerator),
              capped(left.denominator + right.denominator), false, 0};
      break;
    case program_divide:
      return {capped(left.numerator + right.denominator + 1),
              capped(left.denominator + (right.numerator > 0 ? right.numerator - 1 : 0)), false, 0};
    case program_power:
      made = power_bound(left, right);
      break;
    default:
      return function_bound(step, left, right);
  }
  made.whole =
      left.whole && right.whole && whole_result(step.code, left.value, right.value, made.value);
  return made;
}

// Estimates the sizes the program's values may reach (ExactProgram's magnitude_bits and
// number_bits): what its numbers hold, and what its powers make of them, which may be far
// more (9^164000 has 520,000 bits). A program not well formed is estimated as far as it goes.
void estimate_sizes(ExactProgram& exact) {
  static SizeBound stack[program_step_capacity];
  int depth = 0;
  exact.magnitude_bits = 0;
  exact.number_bits = 0;
  for (int s = 0; s < exact.step_count; ++s) {
    const ProgramStep& step = exact.steps[s];
    const bool pushes = step.code == program_push_number || step.code == program_unknown;
    const int taken = pushes ? 0 : step.code == program_negate || step.code == program_root ? 1 : 2;
    if (depth < taken) return;
    SizeBound made = {64, 64, false, 0};  // the unknown: a double's bits either way
    if (step.code == program_push_number) made = number_bound(exact.numbers[step.argument]);
    if (taken > 0) made = step_bound(step, stack[depth - taken], stack[depth - 1]);
    depth -= taken;
    stack[depth++] = made;
    const bool counted = step.code == program_power ||
                         (step.code == program_push_number && !exact.numbers[step.argument].pi &&
                          !exact.numbers[step.argument].too_large);
    if (!counted) continue;
    const slong size = made.numerator - made.denominator;
    exact.magnitude_bits = capped(exact.magnitude_bits + (size > 0 ? size : 0));
    exact.number_bits = capped(exact.number_bits + made.numerator + made.denominator + 1);
  }
}

}  // namespace

void read_exact_decimal(const char* text, exact_number& number) {
  char digits[digit_text_capacity];
  int count = 0;
  int at = 0;
  const bool negative = text[at] == '-';
  if (text[at] == '-' || text[at] == '+') ++at;
  slong fraction_digits = 0;
  bool after_point = false;
  for (; is_digit(text[at]) || (text[at] == '.' && !after_point); ++at) {
    if (text[at] == '.') {
      after_point = true;
    } else if (count < digit_text_capacity - 1) {
      digits[count++] = text[at];
      fraction_digits += after_point;
    }
  }
  digits[count] = '\0';
  slong exponent = 0;
  if (text[at] == 'E' || text[at] == 'e') read_exponent(text + at + 1, exponent);
  if (count == 0) {
    fmpz_zero(number.mantissa);
  } else {
    fmpz_set_str(number.mantissa, digits, 10);
  }
  if (negative) fmpz_neg(number.mantissa, number.mantissa);
  set_scaled(number, exponent - fraction_digits);
}

void init_exact_program(ExactProgram& exact) {
  for (exact_number& number : exact.numbers) {
    fmpq_init(number.value);
    fmpz_init(number.mantissa);
  }
  exact.step_count = 0;
  exact.number_count = 0;
  exact.magnitude_bits = 0;
  exact.number_bits = 0;
}

void prepare_exact_program(const Program& program, const NumberStore& store, ExactProgram& exact) {
  exact.step_count = 0;
  exact.number_count = 0;
  exact.complete = program.complete;
  for (int s = 0; s < program.step_count && exact.complete; ++s) {
    const ProgramStep& step = program.steps[s];
    if (step.code == program_push_number || step.code == program_push_integer) {
      const int slot = read_pushed_number(step, store, exact);
      if (slot >= 0)
        add_exact_step(exact, {program_push_number, 0, 0, step.column, step.length}, slot);
      continue;
    }
    if (step.code == program_function && is_direct(step.argument) && !step.radians) {
      reduce_large_angle(exact);
    }
    add_exact_step(exact, step, -1);
  }
  estimate_sizes(exact);
}

slong exact_magnitude_bits(const ExactProgram& exact) {
  return exact.magnitude_bits;
}

slong exact_number_bits(const ExactProgram& exact) {
  return exact.number_bits;
}
