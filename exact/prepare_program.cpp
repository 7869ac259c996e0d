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
  return function != program_no_function && function != program_arc_sine &&
         function != program_arc_cosine && function != program_arc_tangent;
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
}

slong exact_magnitude_bits(const ExactProgram& exact) {
  slong bits = 0;
  for (int k = 0; k < exact.number_count; ++k) {
    const exact_number& number = exact.numbers[k];
    if (number.pi || number.too_large || fmpq_is_zero(number.value)) continue;
    const slong size = fmpz_bits(fmpq_numref(number.value)) - fmpz_bits(fmpq_denref(number.value));
    if (size > 0) bits += size;
  }
  return bits;
}

slong exact_number_bits(const ExactProgram& exact) {
  slong bits = 0;
  for (int k = 0; k < exact.number_count; ++k) {
    const exact_number& number = exact.numbers[k];
    if (number.pi || number.too_large) continue;
    bits += fmpz_bits(fmpq_numref(number.value)) + fmpz_bits(fmpq_denref(number.value));
  }
  return bits;
}
