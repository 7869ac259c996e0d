#include <cstring>

#include "bracket/line_exact.h"

namespace {

constexpr slong exponent_ceiling = 1000000000000000000;  // larger written exponents saturate
constexpr int digit_text_capacity = 128;  // the digits of a number of a 99-byte line, and more

bool is_decimal_digit(char c) {
  return c >= '0' && c <= '9';
}

// Reads "[sign]digits" at `text` into `exponent`, saturating; returns the bytes read.
int read_exponent(const char* text, slong& exponent) {
  int at = 0;
  const bool negative = text[at] == '-';
  if (text[at] == '-' || text[at] == '+') ++at;
  exponent = 0;
  for (; is_decimal_digit(text[at]); ++at) {
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

// A number's stack of steps being written, and the reading it comes from.
struct Writer {
  const NumberStore& store;
  exact_program& program;
};

int add_step(exact_program& program, exact_code code, int argument, int column, int length) {
  if (program.step_count >= EXACT_STEP_CAPACITY) {
    program.complete = 0;
    return -1;
  }
  exact_step& step = program.steps[program.step_count];
  step = {static_cast<unsigned char>(code), 0, static_cast<short>(argument),
          static_cast<unsigned char>(column), static_cast<unsigned char>(length)};
  return program.step_count++;
}

// A fresh number slot of the program; -1 when there is no room.
int add_number(exact_program& program) {
  if (program.number_count >= EXACT_NUMBER_CAPACITY) {
    program.complete = 0;
    return -1;
  }
  exact_number& number = program.numbers[program.number_count];
  number.too_large = 0;
  fmpq_zero(number.value);
  return program.number_count++;
}

// Pushes the small integer `value` (the default of an empty list, or a missing operand's 0).
void push_integer(exact_program& program, slong value, int column) {
  const int slot = add_number(program);
  if (slot < 0) return;
  fmpq_set_si(program.numbers[slot].value, value, 1);
  add_step(program, exact_push_number, slot, column, 0);
}

// Pushes the number `index` of the reading's store.
void push_read_number(Writer& writer, int index) {
  const NumberRead& read = writer.store.numbers[index];
  if (read.form == NumberForm::pi) {
    add_step(writer.program, exact_push_pi, 0, read.column, read.length);
    return;
  }
  const int slot = add_number(writer.program);
  if (slot < 0) return;
  read_exact_decimal(number_text(writer.store, read), writer.program.numbers[slot]);
  add_step(writer.program, exact_push_number, slot, read.column, read.length);
}

bool is_product(char op) {
  return op == '*' || op == '/';
}

// Pushes operand `k` of the list at `first` with `count` numbers: a number, or the 0 an
// operator after the last one meets.
void push_operand(Writer& writer, int first, int count, int k, int column) {
  if (k < count) return push_read_number(writer, first + k);
  push_integer(writer.program, 0, column);
}

// Writes the fold of the `count` numbers from `first` (count >= 1), each ended by its operator:
// every run of '*' and '/' folded into its first operand, the runs then added or subtracted
// left to right; a run after any other operator is left out (its value takes no part).
void write_numbers_fold(Writer& writer, int first, int count) {
  char join = '+';  // the first run starts the sum: it is added to 0, with no step
  for (int start = 0;;) {
    int end = start;
    while (end < count && is_product(writer.store.numbers[first + end].op)) ++end;
    if (join == '+' || join == '-') {
      push_operand(writer, first, count, start, writer.store.numbers[first + count - 1].op_column);
      for (int k = start + 1; k <= end; ++k) {
        const NumberRead& before = writer.store.numbers[first + k - 1];
        push_operand(writer, first, count, k, before.op_column);
        add_step(writer.program, before.op == '*' ? exact_multiply : exact_divide, 0,
                 before.op_column, 1);
      }
      if (start > 0) add_step(writer.program, join == '+' ? exact_add : exact_subtract, 0, 0, 0);
    }
    if (end >= count) return;
    join = writer.store.numbers[first + end].op;
    start = end + 1;
  }
}

// Writes an operand list; an empty one is `empty_value`.
void write_list(Writer& writer, OperandsRead list, slong empty_value, int column) {
  if (list.count == 0) return push_integer(writer.program, empty_value, column);
  write_numbers_fold(writer, list.first, list.count);
}

bool is_direct(TermFunction function) {
  return function != TermFunction::none && function != TermFunction::arc_sine &&
         function != TermFunction::arc_cosine && function != TermFunction::arc_tangent;
}

// The integer value of `number` modulo `modulus`; false when it is no integer.
bool integer_residue(const exact_number& number, const fmpz_t modulus, fmpz_t residue) {
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

// Runs the steps from `from` on integers modulo 360; false when a step is not a push of an
// integer, '+', '-' or '*' (the reduction would not be exact).
bool run_modulo_turn(const exact_program& program, int from, fmpz_t result) {
  constexpr int capacity = EXACT_STEP_CAPACITY;
  static fmpz stack[capacity];  // fmpz values that are small need no clearing
  int depth = 0;
  int deepest = 0;
  fmpz_t modulus;
  fmpz_init_set_ui(modulus, 360);
  bool reduced = true;
  for (int s = from; s < program.step_count && reduced; ++s) {
    const exact_step& step = program.steps[s];
    if (step.code == exact_push_number) {
      reduced = integer_residue(program.numbers[step.argument], modulus, stack + depth++);
      if (depth > deepest) deepest = depth;
      continue;
    }
    // Another step, or a program not well formed (never written, kept safe regardless).
    const bool ring_step =
        step.code == exact_add || step.code == exact_subtract || step.code == exact_multiply;
    if (!ring_step || depth < 2) {
      reduced = false;
      continue;
    }
    fmpz* left = stack + depth - 2;
    if (step.code == exact_add) fmpz_add(left, left, left + 1);
    if (step.code == exact_subtract) fmpz_sub(left, left, left + 1);
    if (step.code == exact_multiply) fmpz_mul(left, left, left + 1);
    fmpz_mod(left, left, modulus);
    --depth;
  }
  if (reduced && depth == 1) fmpz_set(result, stack);
  for (int k = 0; k <= deepest; ++k) fmpz_zero(stack + k);
  fmpz_clear(modulus);
  return reduced && depth == 1;
}

bool holds_too_large(const exact_program& program, int from) {
  for (int s = from; s < program.step_count; ++s) {
    const exact_step& step = program.steps[s];
    if (step.code == exact_push_number && program.numbers[step.argument].too_large) return true;
  }
  return false;
}

// An angle in degrees that holds a number too large to hold becomes its residue modulo 360,
// when it is an integer expression: the function's value is the same.
void reduce_large_angle(exact_program& program, int from) {
  if (!holds_too_large(program, from)) return;
  fmpz_t residue;
  fmpz_init(residue);
  if (run_modulo_turn(program, from, residue)) {
    const int column = program.steps[from].column;
    program.step_count = from;
    const int slot = add_number(program);
    if (slot >= 0) {
      fmpz_set(fmpq_numref(program.numbers[slot].value), residue);
      fmpz_one(fmpq_denref(program.numbers[slot].value));
      add_step(program, exact_push_number, slot, column, 0);
    }
  }
  fmpz_clear(residue);
}

void write_term(Writer& writer, const TermReading& term) {
  if (term.function == TermFunction::none) return push_integer(writer.program, 0, term.column);
  write_list(writer, term.amplitude, 1, term.column);
  const int argument_start = writer.program.step_count;
  write_list(writer, term.argument, 0, term.name_column + term.name_length);
  if (is_direct(term.function) && !term.radians) reduce_large_angle(writer.program, argument_start);
  const int step = add_step(writer.program, exact_function, static_cast<int>(term.function),
                            term.column, term.length);
  if (step >= 0) writer.program.steps[step].radians = term.radians ? 1 : 0;
}

void write_bracket(Writer& writer, const LineReading& reading, int k) {
  const BracketReading& bracket = reading.brackets[k];
  if (bracket.term) return write_term(writer, reading.terms[bracket.index]);
  push_read_number(writer, bracket.index);
}

// Pushes bracket `k`, or the 0 an operator after the last bracket meets.
void push_bracket(Writer& writer, const LineReading& reading, int k) {
  if (k < reading.bracket_count) return write_bracket(writer, reading, k);
  push_integer(writer.program, 0, reading.brackets[reading.bracket_count - 1].op_column);
}

// The brackets' values folded as an operand list, with the operators recorded between them.
void write_brackets_fold(Writer& writer, const LineReading& reading) {
  const int count = reading.bracket_count;
  if (count == 0) return push_integer(writer.program, 0, 0);
  char join = '+';  // the first run starts the sum: it is added to 0, with no step
  for (int start = 0;;) {
    int end = start;
    while (end < count && is_product(reading.brackets[end].op)) ++end;
    if (join == '+' || join == '-') {
      push_bracket(writer, reading, start);
      for (int k = start + 1; k <= end; ++k) {
        const BracketReading& before = reading.brackets[k - 1];
        push_bracket(writer, reading, k);
        add_step(writer.program, before.op == '*' ? exact_multiply : exact_divide, 0,
                 before.op_column, 1);
      }
      if (start > 0) add_step(writer.program, join == '+' ? exact_add : exact_subtract, 0, 0, 0);
    }
    if (end >= count) return;
    join = reading.brackets[end].op;
    start = end + 1;
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
  for (; is_decimal_digit(text[at]) || (text[at] == '.' && !after_point); ++at) {
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

void init_exact_program(exact_program& program) {
  for (exact_number& number : program.numbers) {
    fmpq_init(number.value);
    fmpz_init(number.mantissa);
  }
  program.step_count = 0;
  program.number_count = 0;
}

void compile_exact_program(const LineReading& reading, exact_program& program) {
  program.step_count = 0;
  program.number_count = 0;
  program.complete = 1;
  Writer writer = {reading.numbers, program};
  if (reading.bracketed) return write_brackets_fold(writer, reading);
  write_term(writer, reading.terms[0]);
}

slong exact_magnitude_bits(const exact_program& program) {
  slong bits = 0;
  for (int k = 0; k < program.number_count; ++k) {
    const exact_number& number = program.numbers[k];
    if (number.too_large || fmpq_is_zero(number.value)) continue;
    const slong size = fmpz_bits(fmpq_numref(number.value)) - fmpz_bits(fmpq_denref(number.value));
    if (size > 0) bits += size;
  }
  return bits;
}
