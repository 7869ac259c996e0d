// The natural reading: a recursive descent over the line's tokens (natural/natural_tokens.h)
// that writes the program form as it goes, each operand's steps before its operator's. The
// grammar, loosest first:
//   line     = ["rad"] sum ["="]
//   sum      = product {("+" | "-") product}
//   product  = signed {("*" | "/") signed}
//   signed   = ("+" | "-") signed | implicit
//   implicit = power {power}                 (side by side: a product bound tighter than "*")
//   power    = postfix ["^" exponent]        exponent = {"+" | "-"} power (right to left)
//   postfix  = primary {superscript}
//   primary  = number [units] | pi | e | ans | "(" sum ")" | "[" sum "]" | "|" sum "|"
//            | root | function
//   function = name [power-on-name] ("(" sum ")" | {"+" | "-"} implicit-up-to-a-name
//              ["/" number when it holds pi])
// Every recursion counts against natural_nesting_capacity.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "natural/natural_reading.h"
#include "natural/natural_tokens.h"
#include "program/program_functions.h"
#include "program/program_writing.h"
#include "program/run_doubles.h"
#include "text/characters.h"

namespace {

// What a direct function's argument holds, which sets its unit.
struct ArgumentUnits {
  bool pi;       // pi: radians
  bool degrees;  // a degree sign: degrees, whatever else it holds
  bool radians;  // a "rad" after a number: radians
  bool unknown;  // the unknown: the unit the line gives it
};

// The reading of a line under way.
struct Reader {
  const char* line;
  const Token* tokens;  // the line's tokens, the end last
  int next;             // the next token to read
  NaturalReading& reading;
  ReadingNotes* notes;
  bool failed;                 // a note says where the line stopped being read
  int depth;                   // recursions under way
  bool line_radians;           // the line begins with "rad"
  ArgumentUnits* units;        // the direct function's argument being read; null outside any
  bool x_unknown;              // "x" is the unknown, not times; the line may be an equation
  bool in_bound;               // reading a bound of the unknown's interval
  int stop;                    // failed: the column where the reading stopped
  int bars;                    // absolute values open: a "|" closes the innermost
  const NaturalReading* last;  // the line before, for "ans"; null: none
};

// What was read of an operand: its columns, how many factors stood side by side in it, and
// whether it ends with a number (so that a number right after it lacks an operator) or holds
// a power at its own level.
struct Operand {
  int column;
  int end;
  int factors;
  bool ends_with_number;
  bool powered;
};

const Token& peek(const Reader& reader) {
  return reader.tokens[reader.next];
}

// Moves past `token`, the next one (the end is never passed).
void take(Reader& reader, const Token& token) {
  if (token.kind != TokenKind::end) ++reader.next;
}

// Notes why the line stops being read here (the first reason only) and marks it failed.
void fail(Reader& reader, NoteKind kind, int column, int length,
          TermFunction function = TermFunction::none) {
  if (reader.failed) return;
  reader.failed = true;
  reader.stop = column;
  const ReadingNote note = {
      kind, static_cast<unsigned char>(column), static_cast<unsigned char>(length), function, 0,
      ""};
  add_whole_note(reader.notes, note);
}

// Notes what was read one way of two; the reading goes on.
void note_reading(Reader& reader, NoteKind kind, int column, int end) {
  add_note(reader.notes, kind, column, end - column);
}

void emit(Reader& reader, ProgramCode code, int argument, int column, int length) {
  append_step(reader.reading.program, code, argument, column, length);
}

// Adds a number to the store: the decimal text of the `length` bytes `text`, or pi (null);
// its index, or -1 (the line failed) when the store is full.
int add_number(Reader& reader, const char* text, int length, int column, int columns) {
  NumberStore& store = reader.reading.numbers;
  const bool fits =
      store.count < number_read_capacity && store.texts_used + length + 1 <= number_texts_capacity;
  if (!fits) {
    fail(reader, NoteKind::natural_too_deep, column, columns);
    return -1;
  }
  NumberRead& number = store.numbers[store.count];
  number = {text == nullptr ? NumberForm::pi : NumberForm::decimal,
            '=',
            static_cast<short>(store.texts_used),
            static_cast<unsigned char>(length),
            static_cast<unsigned char>(column),
            static_cast<unsigned char>(columns),
            static_cast<unsigned char>(column + columns)};
  if (text != nullptr)
    std::memcpy(store.texts + store.texts_used, text, static_cast<std::size_t>(length));
  store.texts[store.texts_used + length] = '\0';
  store.texts_used += length + 1;
  return store.count++;
}

// Pushes the number token `number`.
void push_number(Reader& reader, const Token& number) {
  char text[natural_number_text_capacity];
  const int length = number_text_of(reader.line, number, text);
  const int index = add_number(reader, text, length, number.column, number.length);
  if (index >= 0) emit(reader, program_push_number, index, number.column, number.length);
}

// Pushes the whole number `value` (a superscript's, say) written at `column`.
void push_whole(Reader& reader, long value, int column, int columns) {
  char text[24];
  const int length = std::snprintf(text, sizeof text, "%ld", value);
  const int index = add_number(reader, text, length, column, columns);
  if (index >= 0) emit(reader, program_push_number, index, column, columns);
}

// Pushes pi, written at `column`; it puts the argument read in radians when `marks`, or,
// outside every function's argument, the line's value.
void push_pi(Reader& reader, int column, int columns, bool marks) {
  const int index = add_number(reader, nullptr, 0, column, columns);
  if (index >= 0) emit(reader, program_push_number, index, column, columns);
  if (marks && reader.units != nullptr) reader.units->pi = true;
  if (marks && reader.units == nullptr) reader.reading.value_radians = true;
}

// True when the `length` bytes at `a` and at `b` are the same.
bool same_bytes(const char* a, const char* b, int length) {
  return std::memcmp(a, b, static_cast<std::size_t>(length)) == 0;
}

// Pushes the unknown, written as `name`; the first name written is the line's.
void push_unknown(Reader& reader, const Token& name) {
  ProgramShape& shape = reader.reading.shape;
  if (reader.in_bound)
    return fail(reader, NoteKind::natural_unknown_in_bound, name.column, name.length);
  if (!shape.unknown) {
    shape.unknown = 1;
    shape.name_column = static_cast<unsigned char>(name.column);
    shape.name_length = static_cast<unsigned char>(name.length);
  } else if (shape.name_length != name.length ||
             !same_bytes(reader.line + shape.name_column, reader.line + name.column, name.length)) {
    return fail(reader, NoteKind::natural_second_unknown, name.column, name.length);
  }
  emit(reader, program_unknown, 0, name.column, name.length);
  if (reader.units != nullptr) reader.units->unknown = true;
}

// True when `token` is a character with no place in an operand.
bool is_stray(const Token& token) {
  switch (token.kind) {
    case TokenKind::unexpected:
    case TokenKind::at_most:
    case TokenKind::element_of:
    case TokenKind::semicolon:
    case TokenKind::comma:
      return true;
    default:
      return false;
  }
}

// One recursion more; false, with the line failed, past natural_nesting_capacity.
bool go_deeper(Reader& reader, int column) {
  if (++reader.depth <= natural_nesting_capacity) return true;
  fail(reader, NoteKind::natural_too_deep, column, 1);
  return false;
}

Operand parse_sum(Reader& reader);
Operand parse_signed(Reader& reader);
void fail_at_leftover(Reader& reader, const Token& token);
Operand parse_power(Reader& reader);
Operand parse_exponent(Reader& reader);

// True when `word` names a function (a direct one, an inverse, a logarithm, ...).
bool is_function(Word word) {
  switch (word) {
    case Word::none:
    case Word::square_root:
    case Word::pi:
    case Word::radians:
    case Word::euler:
    case Word::last_answer:
    case Word::grads:
      return false;
    default:
      return true;
  }
}

// True when `token` can begin a factor: what may stand side by side with the one before.
bool begins_factor(const Token& token) {
  switch (token.kind) {
    case TokenKind::number:
    case TokenKind::pi_sign:
    case TokenKind::root_sign:
    case TokenKind::cube_root_sign:
    case TokenKind::open:
    case TokenKind::unknown_word:
    case TokenKind::unknown_sign:
      return true;
    case TokenKind::word:
      return token.word != Word::radians && token.word != Word::grads;
    default:
      return false;
  }
}

// True when `token` is the unknown in this reading.
bool is_unknown(const Reader& reader, const Token& token) {
  return token.kind == TokenKind::unknown_sign ||
         (token.kind == TokenKind::letter_x && reader.x_unknown);
}

// True when `token` is "em" or "para" where an interval may follow.
bool is_interval_opening(const Reader& reader, const Token& token) {
  return reader.x_unknown && token.kind == TokenKind::unknown_word &&
         is_interval_word(reader.line + token.column, token.length);
}

// True when `token`, the next one, is "em" before a unit: a conversion of the line's value.
bool is_conversion_opening(const Reader& reader, const Token& token) {
  const bool next = reader.tokens[reader.next].column == token.column;
  return next && token.kind == TokenKind::unknown_word &&
         is_interval_word(reader.line + token.column, token.length) &&
         conversion_unit(reader.line, reader.tokens[reader.next + 1]) != ConversionUnit::none;
}

// True when `token` can begin a factor in this reading: a "|" only where no absolute value is
// open, for there it closes one.
bool begins_factor(const Reader& reader, const Token& token) {
  if (token.kind == TokenKind::bar) return reader.bars == 0;
  if (token.kind == TokenKind::unknown_word) {
    return !is_interval_opening(reader, token) && !is_conversion_opening(reader, token);
  }
  return begins_factor(token) || is_unknown(reader, token);
}

// True when `token` is a "*" in this reading.
bool is_times(const Reader& reader, const Token& token) {
  return token.kind == TokenKind::times || (token.kind == TokenKind::letter_x && !reader.x_unknown);
}

// Reads "COUNT MARK" when it stands next, MARK of kind `unit`: adds COUNT / `divisor` to the
// value before it. True when it was there.
bool read_part(Reader& reader, TokenKind unit, int divisor, Operand& number) {
  const int before = reader.next;
  const Token& count = peek(reader);
  if (count.kind != TokenKind::number) return false;
  take(reader, count);
  const Token& mark = peek(reader);
  if (mark.kind != unit) {
    reader.next = before;  // a number of its own: what follows it decides
    return false;
  }
  take(reader, mark);
  push_number(reader, count);
  emit(reader, program_push_integer, divisor, mark.column, mark.length);
  emit(reader, program_divide, 0, mark.column, mark.length);
  emit(reader, program_add, 0, mark.column, mark.length);
  number.end = mark.column + mark.length;
  return true;
}

// After a number: grads, made degrees at once (100 grad is 90°), as a calculator's DRG key
// reads them.
void read_grads(Reader& reader, const Token& mark, Operand& number) {
  take(reader, mark);
  constexpr int degrees_in_ten_grads = 9;
  emit(reader, program_push_integer, degrees_in_ten_grads, mark.column, mark.length);
  emit(reader, program_multiply, 0, mark.column, mark.length);
  emit(reader, program_push_integer, 10, mark.column, mark.length);
  emit(reader, program_divide, 0, mark.column, mark.length);
  if (reader.units != nullptr) reader.units->degrees = true;
  number.end = mark.column + mark.length;
}

// After a number: a degree sign, with minutes and seconds after it (30°15'30" is
// 30 + 15/60 + 30/3600), "rad" or "grad".
void read_units_after_number(Reader& reader, Operand& number) {
  const Token& mark = peek(reader);
  if (mark.kind == TokenKind::word && mark.word == Word::radians) {
    take(reader, mark);
    if (reader.units != nullptr) reader.units->radians = true;
    if (reader.units == nullptr) reader.reading.value_radians = true;
    number.end = mark.column + mark.length;
    return;
  }
  if (mark.kind == TokenKind::word && mark.word == Word::grads) {
    return read_grads(reader, mark, number);
  }
  if (mark.kind != TokenKind::degree) return;
  take(reader, mark);
  number.end = mark.column + mark.length;
  if (reader.units != nullptr) reader.units->degrees = true;
  constexpr int minutes_a_degree = 60;
  constexpr int seconds_a_degree = 3600;
  read_part(reader, TokenKind::minute, minutes_a_degree, number);
  read_part(reader, TokenKind::second, seconds_a_degree, number);
  if (reader.reading.shape.unknown && reader.reading.shape.radians) {
    // The unknown is in radians: an angle in degrees beside it is made radians at once.
    constexpr int degrees_a_half_turn = 180;
    const int columns = number.end - number.column;
    push_pi(reader, number.column, columns, false);
    emit(reader, program_multiply, 0, number.column, columns);
    emit(reader, program_push_integer, degrees_a_half_turn, number.column, columns);
    emit(reader, program_divide, 0, number.column, columns);
    if (reader.units != nullptr) {
      reader.units->degrees = false;
      reader.units->pi = true;
    }
  }
}

// "(" sum ")" or "[" sum "]", the opening at `open`.
Operand parse_group(Reader& reader, const Token& open) {
  take(reader, open);
  Operand group = {open.column, open.column + 1, 1, false, false};
  if (!go_deeper(reader, open.column)) return group;
  const Operand inner = parse_sum(reader);
  --reader.depth;
  const Token& close = peek(reader);
  group.end = inner.end;
  if (reader.failed) return group;
  if (close.kind != TokenKind::close && close.kind != TokenKind::end) {
    fail_at_leftover(reader, close);  // what has no place inside: named where it stands
  } else if (close.kind != TokenKind::close) {
    fail(reader, NoteKind::natural_unclosed, open.column, 1);
  } else if (close.bracket != open.bracket) {
    fail(reader, NoteKind::natural_mismatched, close.column, 1);
  } else {
    take(reader, close);
    group.end = close.column + 1;
  }
  return group;
}

// The operand of a square root, at `sign`: the next factor with its signs and powers ("√2√2"
// is √2 · √2, "√2^2" is √(2^2), "√-4" is √(-4)); a group for more. A cube root ("∛") is the
// power 1/3, which has the real value of a number below 0 too (∛-8 is -2).
Operand parse_root(Reader& reader, const Token& sign) {
  take(reader, sign);
  Operand root = {sign.column, sign.column + sign.length, 1, false, false};
  if (!go_deeper(reader, sign.column)) return root;
  const Token& next = peek(reader);
  if (next.kind == TokenKind::end) {
    fail(reader, NoteKind::natural_missing_argument, sign.column, sign.length);
  } else {
    const Operand operand = parse_exponent(reader);
    root.end = operand.end;
    root.ends_with_number = operand.ends_with_number;
    const int columns = root.end - sign.column;
    if (sign.kind == TokenKind::cube_root_sign) {
      emit(reader, program_push_integer, 1, sign.column, sign.length);
      emit(reader, program_push_integer, 3, sign.column, sign.length);
      emit(reader, program_divide, 0, sign.column, sign.length);
      emit(reader, program_power, 0, sign.column, columns);
    } else {
      emit(reader, program_root, 0, sign.column, columns);
    }
  }
  --reader.depth;
  return root;
}

// The power written on a function's name ("sen²", "sen^2", "sen^-1"), 1 when there is none.
long name_power(Reader& reader, int& column, int& end) {
  const Token& mark = peek(reader);
  column = mark.column;
  if (mark.kind == TokenKind::superscript) {
    take(reader, mark);
    end = mark.column + mark.length;
    return mark.superscript;
  }
  if (mark.kind != TokenKind::caret) return 1;
  take(reader, mark);
  const Token& sign = peek(reader);
  const bool negative = sign.kind == TokenKind::minus;
  if (negative || sign.kind == TokenKind::plus) take(reader, sign);
  const Token& count = peek(reader);
  if (count.kind != TokenKind::number) {
    fail(reader, NoteKind::natural_expected_operand, count.column, count.length);
    return 1;
  }
  take(reader, count);
  end = count.column + count.length;
  char text[natural_number_text_capacity];
  number_text_of(reader.line, count, text);
  const long value = std::strtol(text, nullptr, 10);
  return negative ? -value : value;
}

// The inverse of a direct function, for the "^-1" written on its name (sen^-1 is arcsen).
Word inverse_of(Word word) {
  switch (word) {
    case Word::sine:
      return Word::arc_sine;
    case Word::cosine:
      return Word::arc_cosine;
    case Word::tangent:
      return Word::arc_tangent;
    case Word::cotangent:
      return Word::arc_cotangent;
    case Word::secant:
      return Word::arc_secant;
    case Word::cosecant:
      return Word::arc_cosecant;
    default:
      return word;  // already an inverse: ^-1 is a power
  }
}

// True when `word` is a direct trigonometric function, of an angle.
bool is_direct_word(Word word) {
  return is_direct_trigonometric(term_function_for(word));
}

// The steps before a function's argument: its amplitude, 1, and for the inverses the program
// form lacks, the parts of their formula that come first (90 for 90 - arctg x; 1 for 1 / x).
void begin_function(Reader& reader, Word word, int column) {
  if (word == Word::arc_cotangent) {
    if (reader.line_radians) {
      push_pi(reader, column, 0, false);
      emit(reader, program_push_integer, 2, column, 0);
      emit(reader, program_divide, 0, column, 0);
    } else {
      emit(reader, program_push_integer, 90, column, 0);
    }
  }
  emit(reader, program_push_integer, 1, column, 0);
  if (word == Word::arc_secant || word == Word::arc_cosecant) {
    emit(reader, program_push_integer, 1, column, 0);
  }
}

// The steps after the argument: the function, and the rest of a formula.
void end_function(Reader& reader, Word word, bool radians, int column, int length) {
  TermFunction function = term_function_for(word);
  if (word == Word::arc_secant || word == Word::arc_cosecant) {
    emit(reader, program_divide, 0, column, length);
    function = word == Word::arc_secant ? TermFunction::arc_cosine : TermFunction::arc_sine;
  }
  if (word == Word::arc_cotangent) function = TermFunction::arc_tangent;
  emit(reader, program_function, program_function_of(function), column, length);
  Program& program = reader.reading.program;
  if (program.complete) program.steps[program.step_count - 1].radians = radians;
  if (word == Word::arc_cotangent) emit(reader, program_subtract, 0, column, length);
}

// A function's argument without parentheses: signs, then the factors side by side up to the
// next + - * / or function name.
Operand parse_bare_argument(Reader& reader);

// After an argument without parentheses that holds pi: a "/" and a number are the angle's,
// as a textbook writes a fraction of pi (sen π/6 is sen(π/6), cos 2π/3 is cos(2π/3)).
void read_fraction_of_pi(Reader& reader, Operand& argument) {
  const Token& bar = peek(reader);
  if (reader.failed || bar.kind != TokenKind::divide) return;
  const Token denominator = reader.tokens[reader.next + 1];
  if (denominator.kind != TokenKind::number) return;
  take(reader, bar);
  take(reader, denominator);
  push_number(reader, denominator);
  emit(reader, program_divide, 0, bar.column, bar.length);
  argument.end = denominator.column + denominator.length;
  argument.ends_with_number = true;
}

// A function at `name`: the power on its name, its argument, its unit.
Operand parse_function(Reader& reader, const Token& name) {
  take(reader, name);
  Operand applied = {name.column, name.column + name.length, 1, false, false};
  int power_column = 0, power_end = 0;
  long power = name_power(reader, power_column, power_end);
  Word word = name.word;
  if (power == -1 && is_direct_word(word)) {
    word = inverse_of(word);
    power = 1;
  }
  if (reader.failed || !go_deeper(reader, name.column)) return applied;
  begin_function(reader, word, name.column);
  ArgumentUnits units = {false, false, false, false};
  ArgumentUnits* outer = reader.units;
  reader.units = &units;
  const Token& next = peek(reader);
  Operand argument = applied;
  const bool grouped = next.kind == TokenKind::open;
  if (grouped) {
    argument = parse_group(reader, next);
  } else if (begins_factor(reader, next) || next.kind == TokenKind::plus ||
             next.kind == TokenKind::minus) {
    argument = parse_bare_argument(reader);
    if (units.pi) read_fraction_of_pi(reader, argument);
  } else if (is_stray(next)) {
    fail(reader, NoteKind::natural_unexpected, next.column, next.length);
  } else {
    fail(reader, NoteKind::natural_missing_argument, name.column, name.length,
         term_function_for(word));
  }
  reader.units = outer;
  if (outer != nullptr && units.unknown) outer->unknown = true;
  --reader.depth;
  applied.end = argument.end;
  const bool in_radians = units.radians || units.pi || reader.line_radians;
  const bool unknown_radians = units.unknown && reader.reading.shape.radians;
  const bool inverse = is_inverse(term_function_for(word)) || word == Word::arc_secant ||
                       word == Word::arc_cosecant || word == Word::arc_cotangent;
  const bool radians = is_direct_word(word) ? unknown_radians || (!units.degrees && in_radians)
                                            : inverse && reader.line_radians;
  end_function(reader, word, radians, name.column, applied.end - name.column);
  if (power != 1) {
    push_whole(reader, power, power_column, power_end - power_column);
    emit(reader, program_power, 0, power_column, power_end - power_column);
  }
  // A trigonometric function's power in its argument is read two ways (sen30^2); a
  // logarithm's is the textbook's (ln e² is ln(e²)).
  const bool trigonometric = is_direct_word(word) || inverse;
  if (!grouped && argument.powered && trigonometric) {
    note_reading(reader, NoteKind::natural_power_in_argument, name.column, applied.end);
  }
  return applied;
}

// "|" sum "|": the absolute value of the sum, the opening at `open`.
Operand parse_absolute(Reader& reader, const Token& open) {
  take(reader, open);
  Operand group = {open.column, open.column + 1, 1, false, false};
  if (!go_deeper(reader, open.column)) return group;
  emit(reader, program_push_integer, 1, open.column, 0);
  ++reader.bars;
  const Operand inner = parse_sum(reader);
  --reader.bars;
  --reader.depth;
  const Token& close = peek(reader);
  group.end = inner.end;
  if (reader.failed) return group;
  if (close.kind == TokenKind::end) {
    fail(reader, NoteKind::natural_unclosed, open.column, 1);
  } else if (close.kind != TokenKind::bar) {
    fail_at_leftover(reader, close);
  } else {
    take(reader, close);
    group.end = close.column + 1;
    emit(reader, program_function, program_absolute_value, open.column, group.end - open.column);
  }
  return group;
}

// e, the number: exp 1, so that every arithmetic that knows the exponential knows it.
void push_euler(Reader& reader, const Token& name) {
  emit(reader, program_push_integer, 1, name.column, name.length);
  emit(reader, program_push_integer, 1, name.column, name.length);
  emit(reader, program_function, program_exponential, name.column, name.length);
}

// True when the line before's program and numbers fit in the room `reader`'s still has.
bool answer_fits(const Reader& reader, const NaturalReading& last) {
  const NumberStore& store = reader.reading.numbers;
  return reader.reading.program.step_count + last.program.step_count <= program_step_capacity &&
         store.count + last.numbers.count <= number_read_capacity &&
         store.texts_used + last.numbers.texts_used <= number_texts_capacity;
}

// The line before's value in digits, for an answer too long to stand in whole: its 17
// significant digits, which read back as its double.
void push_answer_digits(Reader& reader, const NaturalReading& last, const Token& name) {
  char text[32];
  const double value = run_program(last.program, last.numbers, nullptr);
  const int length = std::snprintf(text, sizeof text, "%.17g", value);
  note_reading(reader, NoteKind::natural_answer_as_digits, name.column, name.column + name.length);
  const int index = add_number(reader, text, length, name.column, name.length);
  if (index >= 0) emit(reader, program_push_number, index, name.column, name.length);
}

// "ans" or "resp": the line before's program, in their place, each of its steps and numbers
// standing for the word's columns.
void push_last_answer(Reader& reader, const Token& name) {
  const NaturalReading* last = reader.last;
  if (last == nullptr) return fail(reader, NoteKind::natural_no_answer, name.column, name.length);
  if (last->value_radians && reader.units != nullptr) reader.units->pi = true;
  if (last->value_radians && reader.units == nullptr) reader.reading.value_radians = true;
  if (!answer_fits(reader, *last)) return push_answer_digits(reader, *last, name);
  const int first = reader.reading.numbers.count;
  for (int k = 0; k < last->numbers.count; ++k) {
    const NumberRead& number = last->numbers.numbers[k];
    const bool pi = number.form == NumberForm::pi;
    add_number(reader, pi ? nullptr : number_text(last->numbers, number), number.text_length,
               name.column, name.length);
  }
  for (int s = 0; s < last->program.step_count; ++s) {
    const ProgramStep& step = last->program.steps[s];
    const int argument = step.code == program_push_number ? first + step.argument : step.argument;
    emit(reader, static_cast<ProgramCode>(step.code), argument, name.column, name.length);
    Program& program = reader.reading.program;
    if (program.complete) program.steps[program.step_count - 1].radians = step.radians;
  }
}

// One primary: a number (with its units), pi, e, the last answer, a group, an absolute
// value, a root or a function.
Operand parse_primary(Reader& reader) {
  const Token& token = peek(reader);
  Operand primary = {token.column, token.column + token.length, 1, false, false};
  const bool word = token.kind == TokenKind::word;
  if (token.kind == TokenKind::number) {
    take(reader, token);
    push_number(reader, token);
    primary.ends_with_number = true;
    read_units_after_number(reader, primary);
  } else if (token.kind == TokenKind::pi_sign || (word && token.word == Word::pi)) {
    take(reader, token);
    push_pi(reader, token.column, token.length, true);
  } else if (is_unknown(reader, token)) {
    take(reader, token);
    push_unknown(reader, token);
  } else if (word && token.word == Word::euler) {
    take(reader, token);
    push_euler(reader, token);
  } else if (word && token.word == Word::last_answer) {
    take(reader, token);
    push_last_answer(reader, token);
  } else if (token.kind == TokenKind::open) {
    primary = parse_group(reader, token);
  } else if (token.kind == TokenKind::bar) {
    primary = parse_absolute(reader, token);
  } else if (token.kind == TokenKind::root_sign || token.kind == TokenKind::cube_root_sign ||
             (word && token.word == Word::square_root)) {
    primary = parse_root(reader, token);
  } else if (word && is_function(token.word)) {
    primary = parse_function(reader, token);
  } else if (token.kind == TokenKind::unknown_word) {
    fail(reader, NoteKind::natural_unknown_word, token.column, token.length);
  } else if (is_stray(token) || word) {
    fail(reader, NoteKind::natural_unexpected, token.column, token.length);
  } else {
    fail(reader, NoteKind::natural_expected_operand, token.column, token.length);
  }
  return primary;
}

// A primary and the superscript powers after it ("2²").
Operand parse_postfix(Reader& reader) {
  Operand operand = parse_primary(reader);
  for (;;) {
    const Token& mark = peek(reader);
    if (reader.failed || mark.kind != TokenKind::superscript) break;
    take(reader, mark);
    push_whole(reader, mark.superscript, mark.column, mark.length);
    emit(reader, program_power, 0, operand.column, mark.column + mark.length - operand.column);
    operand.end = mark.column + mark.length;
    operand.ends_with_number = true;
    operand.powered = true;
  }
  return operand;
}

// An exponent: signs, then a power (so that 2^3^2 is 2^9 and 2^-1 is 1/2).
Operand parse_exponent(Reader& reader) {
  const Token& sign = peek(reader);
  const bool signed_exponent = sign.kind == TokenKind::plus || sign.kind == TokenKind::minus;
  if (!signed_exponent) return parse_power(reader);
  take(reader, sign);
  Operand exponent = {sign.column, sign.column + sign.length, 1, false, false};
  if (!go_deeper(reader, sign.column)) return exponent;
  const Operand inner = parse_exponent(reader);
  --reader.depth;
  if (sign.kind == TokenKind::minus) {
    emit(reader, program_negate, 0, sign.column, inner.end - sign.column);
  }
  exponent.end = inner.end;
  exponent.ends_with_number = inner.ends_with_number;
  return exponent;
}

Operand parse_power(Reader& reader) {
  Operand base = parse_postfix(reader);
  const Token& caret = peek(reader);
  if (reader.failed || caret.kind != TokenKind::caret) return base;
  take(reader, caret);
  if (!go_deeper(reader, caret.column)) return base;
  const Operand exponent = parse_exponent(reader);
  --reader.depth;
  emit(reader, program_power, 0, base.column, exponent.end - base.column);
  base.end = exponent.end;
  base.ends_with_number = exponent.ends_with_number;
  base.powered = true;
  return base;
}

// Factors side by side, a product each pair; in a bare function argument the factors stop at
// the next function name ("2sen30cos30" is 2 · sen 30 · cos 30). A number right after one that
// ends with a number lacks an operator ("sen 30 30").
Operand parse_implicit(Reader& reader, bool argument) {
  Operand product = parse_power(reader);
  for (;;) {
    const Token& next = peek(reader);
    if (reader.failed || !begins_factor(reader, next)) break;
    if (argument && next.kind == TokenKind::word && is_function(next.word) &&
        next.word != Word::square_root) {
      break;
    }
    if (next.kind == TokenKind::number && product.ends_with_number) {
      fail(reader, NoteKind::natural_missing_operator, next.column, next.length);
      break;
    }
    const Operand factor = parse_power(reader);
    emit(reader, program_multiply, 0, factor.column, 0);
    product.end = factor.end;
    product.ends_with_number = factor.ends_with_number;
    product.powered = product.powered || factor.powered;
    ++product.factors;
  }
  return product;
}

// Signs before an operand: a minus below a power (-3^2 is -9). In a bare function argument
// (`argument`) the factors after them stop at the next function name.
Operand parse_signed_operand(Reader& reader, bool argument) {
  const Token& sign = peek(reader);
  if (sign.kind != TokenKind::plus && sign.kind != TokenKind::minus) {
    return parse_implicit(reader, argument);
  }
  take(reader, sign);
  Operand operand = {sign.column, sign.column + sign.length, 1, false, false};
  if (!go_deeper(reader, sign.column)) return operand;
  const Operand inner = parse_signed_operand(reader, argument);
  --reader.depth;
  if (sign.kind == TokenKind::minus) {
    emit(reader, program_negate, 0, sign.column, inner.end - sign.column);
  }
  operand.end = inner.end;
  operand.ends_with_number = inner.ends_with_number;
  operand.powered = inner.powered;
  operand.factors = inner.factors;  // 6/-2(1+2) divides by a product as 6/2(1+2) does
  return operand;
}

Operand parse_bare_argument(Reader& reader) {
  return parse_signed_operand(reader, true);
}

Operand parse_signed(Reader& reader) {
  return parse_signed_operand(reader, false);
}

// Products and quotients, left to right. Factors side by side after a '/' all divide ("1/2π"
// is 1/(2π)), which is noted: some read it (1/2)π.
Operand parse_product(Reader& reader) {
  Operand product = parse_signed(reader);
  for (;;) {
    const Token& op = peek(reader);
    if (reader.failed || (!is_times(reader, op) && op.kind != TokenKind::divide)) break;
    take(reader, op);
    const Operand right = parse_signed(reader);
    const bool divides = op.kind == TokenKind::divide;
    emit(reader, divides ? program_divide : program_multiply, 0, op.column, op.length);
    if (divides && right.factors > 1) {
      note_reading(reader, NoteKind::natural_division_of_product, op.column, right.end);
    }
    product.end = right.end;
    product.ends_with_number = right.ends_with_number;
    product.factors = 1;
  }
  return product;
}

// Sums and differences, left to right.
Operand parse_sum(Reader& reader) {
  Operand sum = parse_product(reader);
  for (;;) {
    const Token& op = peek(reader);
    if (reader.failed || (op.kind != TokenKind::plus && op.kind != TokenKind::minus)) break;
    take(reader, op);
    const Operand right = parse_product(reader);
    emit(reader, op.kind == TokenKind::plus ? program_add : program_subtract, 0, op.column,
         op.length);
    sum.end = right.end;
    sum.ends_with_number = right.ends_with_number;
    sum.factors = 1;
  }
  return sum;
}

// Why the reading stopped at `token`, which ends nothing it began.
void fail_at_leftover(Reader& reader, const Token& token) {
  if (token.kind == TokenKind::close) {
    fail(reader, NoteKind::natural_unopened, token.column, token.length);
  } else if (token.kind == TokenKind::unknown_word) {
    fail(reader, NoteKind::natural_unknown_word, token.column, token.length);
  } else {
    fail(reader, NoteKind::natural_unexpected, token.column, token.length);
  }
}

// The end of the part just read: the step after it.
void end_part(Reader& reader) {
  ProgramShape& shape = reader.reading.shape;
  shape.part_end[shape.part_count++] = static_cast<short>(reader.reading.program.step_count);
}

// part = sum ["=" [sum]]: an equation is its left side minus its right, to be 0. Without the
// unknown a "=" may only end the line ("sen30 =").
void parse_part(Reader& reader) {
  parse_sum(reader);
  const Token& equals = peek(reader);
  if (reader.failed || equals.kind != TokenKind::equals) return;
  take(reader, equals);
  const Token& right = peek(reader);
  if (right.kind == TokenKind::end || !reader.x_unknown) return;
  ProgramShape& shape = reader.reading.shape;
  if (shape.equation || shape.part_count > 0) {
    return fail(reader, NoteKind::natural_unexpected, equals.column, equals.length);
  }
  parse_sum(reader);
  emit(reader, program_subtract, 0, equals.column, equals.length);
  shape.equation = 1;
}

// A bound of the unknown's interval: a sum without the unknown; its steps end at
// part_end[part_count + `which`] (0 the low bound, 1 the high one).
void parse_bound(Reader& reader, int which) {
  reader.in_bound = true;
  parse_sum(reader);
  reader.in_bound = false;
  ProgramShape& shape = reader.reading.shape;
  shape.part_end[shape.part_count + which] = static_cast<short>(reader.reading.program.step_count);
}

// Takes a token of kind `kind` (a separator, a sign), or fails there.
bool expect(Reader& reader, TokenKind kind) {
  const Token& token = peek(reader);
  if (token.kind == kind || (kind == TokenKind::comma && token.kind == TokenKind::semicolon)) {
    take(reader, token);
    return true;
  }
  fail_at_leftover(reader, token);
  return false;
}

// range = ("[" | "]" | "(") bound ("," | ";") bound ("]" | "[" | ")"): "]" before and "[" after
// leave the bound out, as "(" and ")" do.
void parse_range(Reader& reader) {
  const Token& open = peek(reader);
  const bool opens = open.kind == TokenKind::open || open.kind == TokenKind::close;
  if (!opens) return fail_at_leftover(reader, open);
  take(reader, open);
  ProgramShape& shape = reader.reading.shape;
  shape.low_open = open.kind == TokenKind::close || open.bracket == '(';
  parse_bound(reader, 0);
  if (reader.failed || !expect(reader, TokenKind::comma)) return;
  parse_bound(reader, 1);
  const Token& close = peek(reader);
  if (reader.failed) return;
  if (close.kind != TokenKind::close && close.kind != TokenKind::open) {
    return fail_at_leftover(reader, close);
  }
  take(reader, close);
  shape.high_open = close.kind == TokenKind::open || close.bracket == '(';
}

// Takes the unknown, as the line writes it, or fails there.
bool expect_unknown(Reader& reader) {
  const Token& name = peek(reader);
  const ProgramShape& shape = reader.reading.shape;
  const bool same =
      is_unknown(reader, name) && shape.name_length == name.length &&
      same_bytes(reader.line + shape.name_column, reader.line + name.column, name.length);
  if (!same) {
    fail_at_leftover(reader, name);
    return false;
  }
  take(reader, name);
  return true;
}

// interval = ["," ] ["em" | "para"] (range | unknown "∈" range | bound "≤" unknown "≤" bound),
// each "≤" also "<=" or "<" (which leaves the bound out).
void parse_interval(Reader& reader) {
  ProgramShape& shape = reader.reading.shape;
  shape.interval = 1;
  Token next = peek(reader);
  if (next.kind == TokenKind::comma) take(reader, next);
  next = peek(reader);
  if (next.kind == TokenKind::unknown_word &&
      is_interval_word(reader.line + next.column, next.length)) {
    take(reader, next);
    next = peek(reader);
  }
  if (is_unknown(reader, next)) {
    if (!expect_unknown(reader) || !expect(reader, TokenKind::element_of)) return;
    return parse_range(reader);
  }
  if (next.kind == TokenKind::open || next.kind == TokenKind::close) return parse_range(reader);
  parse_bound(reader, 0);
  const Token& low = peek(reader);
  if (reader.failed || !expect(reader, TokenKind::at_most) || !expect_unknown(reader)) return;
  const Token& high = peek(reader);
  if (!expect(reader, TokenKind::at_most)) return;
  shape.low_open = low.strict;
  shape.high_open = high.strict;
  parse_bound(reader, 1);
}

// True when `token` begins an interval for the unknown after the line's expressions.
bool begins_interval(const Reader& reader, const Token& token) {
  return token.kind == TokenKind::comma || is_interval_opening(reader, token);
}

// The unit of a conversion when "em" and a unit stand next ("em rad", "em graus", "em gms",
// "em grad"); none otherwise ("em" before "[" opens an interval).
ConversionUnit conversion_next(const Reader& reader) {
  const Token& word = peek(reader);
  if (word.kind != TokenKind::unknown_word || word.length != 2 ||
      !is_interval_word(reader.line + word.column, word.length)) {
    return ConversionUnit::none;
  }
  return conversion_unit(reader.line, reader.tokens[reader.next + 1]);
}

// Steps that make the value of `from_radians` (radians or degrees) the other unit, at `column`.
void convert_angle(Reader& reader, bool from_radians, int column, int length) {
  constexpr int degrees_a_half_turn = 180;
  if (from_radians) {
    emit(reader, program_push_integer, degrees_a_half_turn, column, length);
    emit(reader, program_multiply, 0, column, length);
    push_pi(reader, column, length, false);
    emit(reader, program_divide, 0, column, length);
  } else {
    push_pi(reader, column, length, false);
    emit(reader, program_multiply, 0, column, length);
    emit(reader, program_push_integer, degrees_a_half_turn, column, length);
    emit(reader, program_divide, 0, column, length);
  }
}

// conversion = "em" unit: the value, an angle in degrees unless the line's value is in radians,
// written in the unit asked for; the steps that convert it end the program. A line in the
// unknown, or an equation, has no one value to convert.
void parse_conversion(Reader& reader, ConversionUnit unit) {
  const Token& word = peek(reader);
  take(reader, word);
  const Token& name = peek(reader);
  take(reader, name);
  NaturalReading& reading = reader.reading;
  if (reading.shape.unknown || reading.shape.equation) {
    return fail(reader, NoteKind::natural_unexpected, word.column, word.length);
  }
  const int column = word.column;
  const int length = name.column + name.length - word.column;
  const bool to_radians = unit == ConversionUnit::radians;
  if (reading.value_radians != to_radians)
    convert_angle(reader, reading.value_radians, column, length);
  if (unit == ConversionUnit::grads) {
    constexpr int grads_in_nine_degrees = 10;
    emit(reader, program_push_integer, grads_in_nine_degrees, column, length);
    emit(reader, program_multiply, 0, column, length);
    emit(reader, program_push_integer, 9, column, length);
    emit(reader, program_divide, 0, column, length);
  }
  reading.value_radians = to_radians;
  reading.conversion = unit;
}

// line = ["rad"] part {";" part} [interval], the parts and the interval only with the unknown.
void parse_line(Reader& reader) {
  Token first = peek(reader);
  if (first.kind == TokenKind::word && first.word == Word::radians) {
    take(reader, first);
    reader.line_radians = true;
    reader.reading.value_radians = true;
    first = peek(reader);
  }
  if (first.kind == TokenKind::end) return fail(reader, NoteKind::natural_empty, first.column, 0);
  parse_part(reader);
  end_part(reader);
  ProgramShape& shape = reader.reading.shape;
  Token apart = peek(reader);  // the first ';' or the interval's start: only for the unknown
  for (Token next = apart;
       reader.x_unknown && !reader.failed && !shape.equation && next.kind == TokenKind::semicolon;
       next = peek(reader)) {
    if (shape.part_count == program_part_capacity) {
      return fail(reader, NoteKind::natural_unexpected, next.column, next.length);
    }
    take(reader, next);
    parse_part(reader);
    end_part(reader);
  }
  const ConversionUnit unit = reader.failed ? ConversionUnit::none : conversion_next(reader);
  if (unit != ConversionUnit::none) parse_conversion(reader, unit);
  const Token& last = peek(reader);
  if (!reader.failed && reader.x_unknown && begins_interval(reader, last)) parse_interval(reader);
  const Token& end = peek(reader);
  if (!reader.failed && end.kind != TokenKind::end) fail_at_leftover(reader, end);
  if (!reader.failed && !shape.unknown && (shape.part_count > 1 || shape.interval)) {
    fail(reader, NoteKind::natural_needs_unknown, apart.column, apart.length);
  }
}

// What the tokens of a line say of how to read it.
struct LineKinds {
  bool letter_x;      // an "x", times or the unknown
  bool unknown_sign;  // θ, α or β
  bool equation;      // a "=" with more after it
  bool interval;      // a sign or word only an interval has
  bool radians;       // pi, π or "rad": the unknown would be in radians
};

LineKinds kinds_of(const Token* tokens) {
  LineKinds kinds = {false, false, false, false, false};
  for (int t = 0; tokens[t].kind != TokenKind::end; ++t) {
    const Token& token = tokens[t];
    const bool word = token.kind == TokenKind::word;
    kinds.letter_x = kinds.letter_x || token.kind == TokenKind::letter_x;
    kinds.unknown_sign = kinds.unknown_sign || token.kind == TokenKind::unknown_sign;
    kinds.equation =
        kinds.equation || (token.kind == TokenKind::equals && tokens[t + 1].kind != TokenKind::end);
    kinds.interval = kinds.interval || token.kind == TokenKind::at_most ||
                     token.kind == TokenKind::element_of || token.kind == TokenKind::comma;
    kinds.radians = kinds.radians || token.kind == TokenKind::pi_sign ||
                    (word && (token.word == Word::pi || token.word == Word::radians));
  }
  return kinds;
}

// True for the notes of what was read one way of two: a line that then fails has no value
// for them to be about, and the report points where it stopped instead.
bool reads_one_way(NoteKind kind) {
  return kind == NoteKind::natural_division_of_product ||
         kind == NoteKind::natural_power_in_argument || kind == NoteKind::natural_answer_as_digits;
}

// Drops the notes of what was read one way of two taken from `first` on.
void drop_one_way_notes(ReadingNotes* notes, int first) {
  if (notes == nullptr) return;
  int kept = first;
  for (int n = first; n < notes->count; ++n) {
    if (!reads_one_way(notes->notes[n].kind)) notes->notes[kept++] = notes->notes[n];
  }
  notes->count = kept;
}

// Reads the line's tokens once, "x" as the unknown or as times by `x_unknown`, into `reading`
// and its notes into `notes`; the column where it stopped, or -1 when it read the whole line.
int read_once(const char* line, int kept, const Token* tokens, const LineKinds& kinds,
              bool x_unknown, const NaturalReading* last, NaturalReading& reading,
              ReadingNotes* notes) {
  reading.program.step_count = 0;
  reading.program.complete = 1;
  reading.numbers.count = 0;
  reading.numbers.texts_used = 0;
  reading.shape = ProgramShape{};
  reading.shape.radians = kinds.radians ? 1 : 0;
  reading.value_radians = false;
  reading.conversion = ConversionUnit::none;
  const int first_note = notes != nullptr ? notes->count : 0;
  Reader reader = {line,  tokens,  0,         reading, notes, false, 0,
                   false, nullptr, x_unknown, false,   -1,    0,     last};
  parse_line(reader);
  const bool fits =
      reading.program.complete && program_deepest_stack(&reading.program) <= program_stack_capacity;
  if (!reader.failed && !fits) fail(reader, NoteKind::natural_too_deep, 0, kept);
  if (!reading.shape.unknown) reading.shape.radians = 0;
  reading.read = !reader.failed;
  if (reader.failed) reading.program.step_count = 0;
  if (reader.failed) drop_one_way_notes(notes, first_note);
  return reader.failed ? reader.stop : -1;
}

// Appends the notes of `from` to `to` (null: none taken).
void take_notes(ReadingNotes* to, const ReadingNotes& from) {
  for (int n = 0; n < from.count; ++n) add_whole_note(to, from.notes[n]);
}

// Reads a line where "x" may be times or the unknown: both ways, and keeps the one that reads
// (times where both do, noted at the first "x"; where neither does, the one that read further).
void read_either_way(const char* line, int kept, const Token* tokens, const LineKinds& kinds,
                     const NaturalReading* last, NaturalReading& reading, ReadingNotes* notes) {
  ReadingNotes times_notes, unknown_notes;
  clear_notes(times_notes);
  clear_notes(unknown_notes);
  const int times_stop = read_once(line, kept, tokens, kinds, false, last, reading, &times_notes);
  NaturalReading unknown;
  const int unknown_stop =
      read_once(line, kept, tokens, kinds, true, last, unknown, &unknown_notes);
  const bool keep_unknown =
      unknown_stop < 0 ? times_stop >= 0 : times_stop >= 0 && unknown_stop > times_stop;
  if (keep_unknown) {
    reading = unknown;
    return take_notes(notes, unknown_notes);
  }
  take_notes(notes, times_notes);
  if (times_stop >= 0 || unknown_stop >= 0) return;
  int x = 0;
  while (tokens[x].kind != TokenKind::letter_x) ++x;
  add_note(notes, NoteKind::natural_x_as_times, tokens[x].column, tokens[x].length);
}

// Notes every line break, vertical tab, form feed or carriage return among the `kept` bytes:
// each is read as a blank, which may join what the writer meant as lines ("sen30\rcos60" is a
// product), so it is never read silently.
void note_control_blanks(const char* line, int kept, ReadingNotes* notes) {
  for (int at = 0; at < kept; ++at) {
    if (is_control_blank(line[at])) add_note(notes, NoteKind::control_blank, at, 1);
  }
}

}  // namespace

void read_natural_line(const char* line, int length, NaturalReading& reading, ReadingNotes* notes,
                       const NaturalReading* last) {
  const int kept = length;  // the engine's read_natural keeps the bytes a line is read from
  note_control_blanks(line, kept, notes);
  Token tokens[natural_token_capacity];
  read_tokens(line, kept, tokens);
  const LineKinds kinds = kinds_of(tokens);
  const bool unknown_only = kinds.unknown_sign || kinds.equation || kinds.interval;
  if (kinds.letter_x && !unknown_only) {
    read_either_way(line, kept, tokens, kinds, last, reading, notes);
  } else {
    read_once(line, kept, tokens, kinds, unknown_only, last, reading, notes);
  }
}
