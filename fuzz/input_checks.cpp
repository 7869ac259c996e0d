#include "fuzz/input_checks.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bracket/compute_line.h"
#include "bracket/reading_program.h"
#include "dialogue/dialogue.h"
#include "dialogue/dialogue_texts.h"
#include "line/evaluate_line.h"
#include "line/exact_line.h"
#include "line/result_text.h"
#include "line/value_line.h"
#include "natural/natural_reading.h"
#include "program/run_doubles.h"
#include "term/operand_list.h"

namespace {

void require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "input check failed: %s\n", what);
  std::abort();
}

// Two results are the same when their bits are: this also compares NaNs and signed zeros.
bool same_bits(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// The value with the notes taken, as the command line evaluates, and every note inside the
// line: a column within it (or right at its end) and a length that does not run past it.
double value_with_notes(const char* line, int length) {
  ReadingNotes notes;
  std::memset(&notes, 0xFF, sizeof notes);
  clear_notes(notes);
  const double value = evaluate_line(line, length, &notes);
  const int shown = shown_length(length);
  for (int k = 0; k < notes.count; ++k) {
    require(notes.notes[k].column + notes.notes[k].length <= shown + 1,
            "a note runs past the end of its line");
  }
  return value;
}

// Skips `text` at `at` when it is there; false when it is not.
bool skip_text(const char* transcript, std::size_t size, std::size_t& at, const char* text) {
  const std::size_t length = std::strlen(text);
  if (size - at < length || std::memcmp(transcript + at, text, length) != 0) return false;
  at += length;
  return true;
}

// Skips one result line: '=', a number with no line break in it, and an empty line.
bool skip_result(const char* transcript, std::size_t size, std::size_t& at) {
  if (at >= size || transcript[at] != '=') return false;
  std::size_t end = at + 1;
  while (end < size && transcript[end] != '\n') ++end;
  if (end == at + 1) return false;
  at = end;
  return skip_text(transcript, size, at, "\n\n");
}

// A stream over an anonymous memory file holding `data` (nothing when null), positioned at
// its start: the dialogue reads and writes the descriptors under its streams, so a stream
// over a plain buffer would not do.
FILE* memory_file(const std::uint8_t* data, std::size_t size) {
  const int descriptor = memfd_create("session", 0);
  if (descriptor < 0) return nullptr;
  std::size_t written = 0;
  while (data != nullptr && written < size) {
    const ssize_t count = write(descriptor, data + written, size - written);
    if (count <= 0) break;
    written += static_cast<std::size_t>(count);
  }
  FILE* stream = nullptr;
  if (written == size && lseek(descriptor, 0, SEEK_SET) == 0) stream = fdopen(descriptor, "r");
  if (stream == nullptr) close(descriptor);
  return stream;
}

}  // namespace

namespace {

// The line's reading compiled into the program form for doubles, which fits its room, and run
// under the term reading's rules: both ways of computing a line of the term reading give the
// same bits, which holds the exact mode's compilation to the fold the doubles compute. Any
// not-a-number matches any other: its sign and payload follow the order in which the compiler
// put a product's operands, which differs between the two, and every one prints "nan".
void check_program_agrees(const char* line, int length, double value) {
  static LineReading reading;
  static Program program;
  read_line(line, length, reading, nullptr);
  compile_reading(reading, CompiledFor::doubles, program);
  require(program.complete != 0, "a line's program outgrew the program form's room");
  const double run = run_term_program(program, reading.numbers);
  require(same_bits(value, run) || (std::isnan(value) && std::isnan(run)),
          "the program form and the fold give different values");
}

}  // namespace

// The line is the input's first 99 bytes, as a reader stores it, with its length as read.
void check_line_input(const std::uint8_t* data, std::size_t size) {
  char line[line_capacity] = {};
  const int length = shown_length(static_cast<int>(std::min<std::size_t>(size, line_capacity)));
  if (length > 0) std::memcpy(line, data, static_cast<std::size_t>(length));  // data may be null
  const double value = evaluate_line(line, length, nullptr);
  check_program_agrees(line, length, value);
  require(same_bits(value, value_with_notes(line, length)), "taking notes changes the value");
  for (char& c : line) c = c == ',' ? '.' : c;
  require(same_bits(value, evaluate_line(line, length, nullptr)),
          "',' and '.' give different values");
}

void check_dialogue_input(const std::uint8_t* data, std::size_t size) {
  FILE* in = memory_file(data, size);
  require(in != nullptr, "no memory file for the input");
  // The dialogue closes the descriptor it writes to: the transcript is read back through
  // another one open on the same memory file.
  FILE* out = memory_file(nullptr, 0);
  require(out != nullptr, "no memory file for the output");
  static OutputBuffer output;
  open_output_buffer(output, dup(fileno(out)));
  require(run_dialogue(in, out, output,
                       {default_result_digits, false, false, FormShown::none, false}) == 0,
          "the dialogue returned a status other than 0");
  std::fclose(in);
  const std::size_t transcript_size = static_cast<std::size_t>(lseek(fileno(out), 0, SEEK_END));
  char* transcript = static_cast<char*>(std::malloc(transcript_size + 1));
  require(transcript != nullptr && pread(fileno(out), transcript, transcript_size, 0) ==
                                       static_cast<ssize_t>(transcript_size),
          "the transcript could not be read back");
  std::fclose(out);
  std::size_t at = 0;
  require(skip_text(transcript, transcript_size, at, help_text), "no help text at the start");
  // The answer 1 on the first line always leads to a prompt: the input was really read.
  const bool opens_with_one = size >= 2 && data[0] == '1' && data[1] == '\n';
  require(!opens_with_one || transcript_size > at, "the answer 1 was not followed by a prompt");
  while (skip_text(transcript, transcript_size, at, prompt_text)) {
    if (at == transcript_size) break;  // the input ended while a line was awaited
    require(skip_result(transcript, transcript_size, at), "a prompt without a result line");
    require(skip_text(transcript, transcript_size, at, question_text), "a result without question");
  }
  require(at == transcript_size, "unexpected text in the transcript");
  std::free(transcript);
}

namespace {

// True when a child's bound of time or memory, or its stall, ended the line's computation.
bool at_a_bound(const ReadingNotes& notes) {
  for (int k = 0; k < notes.count; ++k) {
    const NoteKind kind = notes.notes[k].kind;
    if (kind == NoteKind::exact_out_of_time || kind == NoteKind::exact_out_of_memory ||
        kind == NoteKind::exact_stalled) {
      return true;
    }
  }
  return false;
}

bool is_exact_note(NoteKind kind) {
  return kind == NoteKind::quotient_without_value || kind == NoteKind::function_without_value ||
         kind == NoteKind::exact_too_large || kind == NoteKind::exact_undecided ||
         kind == NoteKind::exact_beyond_limits || kind == NoteKind::exact_out_of_memory ||
         kind == NoteKind::exact_out_of_time || kind == NoteKind::exact_interrupted ||
         kind == NoteKind::exact_stalled || kind == NoteKind::exact_ended_by_signal ||
         kind == NoteKind::exact_no_child;
}

// The notes a computation in doubles makes of a value that is no finite number.
bool is_double_computation_note(NoteKind kind) {
  return kind == NoteKind::number_too_large || kind == NoteKind::division_by_zero ||
         kind == NoteKind::outside_domain || kind == NoteKind::not_finite ||
         kind == NoteKind::pole_in_degrees;
}

// True when the list's operators are all '+', '*' or '/' (or a closing mark) and its numbers
// positive: a fold without cancellation, each step adding at most an ulp or so of error.
bool list_without_cancellation(const NumberStore& store, OperandsRead list) {
  for (int k = 0; k < list.count; ++k) {
    const NumberRead& number = store.numbers[list.first + k];
    if (number.op == '-') return false;
    if (number.form == NumberForm::decimal && number_text(store, number)[0] == '-') return false;
  }
  return true;
}

// True when the term is computed with little error growth: no cancellation in its lists, and
// its function where a small relative error in the angle or ratio stays small in the value
// (at most about 8 times: angles from 1 to 80 degrees, ratios from 0.01 to 0.9).
bool term_well_conditioned(const TermReading& term, const NumberStore& store) {
  if (term.function == TermFunction::none) return false;
  if (!list_without_cancellation(store, term.amplitude) ||
      !list_without_cancellation(store, term.argument)) {
    return false;
  }
  const double argument = operands_value(store, term.argument, 0.0);
  if (is_inverse(term.function)) {
    return term.function == TermFunction::arc_tangent || (argument >= 0.01 && argument <= 0.9);
  }
  const double degrees = term.radians ? argument * 180.0 / 3.141592653589793 : argument;
  return degrees >= 1.0 && degrees <= 80.0;
}

// True when the whole line is computed with little error growth; `steps` receives a count of
// its numbers and operations, to which the error is proportional.
bool line_well_conditioned(const LineReading& reading, int& steps) {
  steps = reading.numbers.count + reading.term_count + reading.bracket_count;
  for (int k = 0; k < reading.term_count; ++k) {
    if (!term_well_conditioned(reading.terms[k], reading.numbers)) return false;
  }
  for (int k = 0; k < reading.bracket_count; ++k) {
    const BracketReading& bracket = reading.brackets[k];
    if (bracket.op == '-') return false;
    if (!bracket.term &&
        (bracket.index < 0 ||
         number_text(reading.numbers, reading.numbers.numbers[bracket.index])[0] == '-')) {
      return false;
    }
  }
  return true;
}

// A line computed in doubles without cancellation must be within a few ulps per step of its
// exact value (here read back from 17 exact digits, itself within half an ulp).
void check_within_double_error(const char* line, int length) {
  static LineReading reading;
  read_line(line, length, reading, nullptr);
  int steps = 0;
  if (!line_well_conditioned(reading, steps)) return;
  const double value = compute_line(reading);
  if (!std::isfinite(value) || value == 0.0) return;
  static char text[exact_text_capacity];
  exact_line_text(line, length, 17, text, nullptr);
  const double exact = std::strtod(text, nullptr);
  if (std::strcmp(text, "nan") == 0 || exact == 0.0 || !std::isfinite(exact)) return;
  const double ulp = std::nextafter(std::fabs(exact), HUGE_VAL) - std::fabs(exact);
  require(std::fabs(value - exact) <= 16.0 * steps * ulp,
          "the double value is further from the exact one than its steps can make it");
}

// With no note of either computation's, both take the same notes: the reading's.
void check_same_reading_notes(const ReadingNotes& exact_notes, const char* line, int length) {
  ReadingNotes notes;
  clear_notes(notes);
  evaluate_line(line, length, &notes);
  // Notes that found no room may be either computation's: nothing to compare then.
  if (notes.dropped > 0 || exact_notes.dropped > 0) return;
  for (int k = 0; k < notes.count; ++k) {
    if (is_double_computation_note(notes.notes[k].kind)) return;
  }
  require(notes.count == exact_notes.count && notes.dropped == exact_notes.dropped,
          "the exact mode reads the line otherwise than the doubles do");
  for (int k = 0; k < notes.count; ++k) {
    const ReadingNote& a = notes.notes[k];
    const ReadingNote& b = exact_notes.notes[k];
    require(a.kind == b.kind && a.column == b.column && a.length == b.length,
            "the exact mode reads the line otherwise than the doubles do");
  }
}

// True when `text` is "%g"'s form with at most `digits` significant digits: an optional
// minus, digits with an optional point, an optional exponent of a sign and two digits or more.
bool is_g_form(const char* text, int digits) {
  int at = text[0] == '-' ? 1 : 0;
  int significant = 0;
  bool leading = true;
  for (; (text[at] >= '0' && text[at] <= '9') || text[at] == '.'; ++at) {
    if (text[at] == '.') continue;
    leading = leading && text[at] == '0';
    significant += !leading;
  }
  if (text[at] == 'e') {
    if (text[at + 1] != '+' && text[at + 1] != '-') return false;
    int exponent_digits = 0;
    for (at += 2; text[at] >= '0' && text[at] <= '9'; ++at) ++exponent_digits;
    if (exponent_digits < 2) return false;
  }
  return text[at] == '\0' && at > 0 && significant <= digits;
}

}  // namespace

void require_exact_mode(const char* target) {
  if (exact_mode_available()) return;
  std::fprintf(stderr, "%s: the exact mode's module is not beside this program\n", target);
  std::abort();
}

void check_exact_line_input(const std::uint8_t* data, std::size_t size) {
  if (!exact_mode_available() || size == 0) return;
  static const int digit_choices[] = {1, 6, 17, 100, 1000};
  const int digits = digit_choices[data[0] % 5];
  const char* line = reinterpret_cast<const char*>(data + 1);
  const int length = static_cast<int>(size - 1);
  static char text[exact_text_capacity];
  ReadingNotes notes;
  clear_notes(notes);
  const int written = exact_line_text(line, length, digits, text, &notes);
  require(written == static_cast<int>(std::strlen(text)), "the exact text's length is wrong");
  int exact_notes = 0;
  for (int k = 0; k < notes.count; ++k) exact_notes += is_exact_note(notes.notes[k].kind);
  const bool no_value = std::strcmp(text, "nan") == 0;
  require(no_value ? exact_notes == 1 || notes.dropped > 0 : exact_notes == 0,
          "\"nan\" without its one note, or a note beside a value");
  require(no_value || is_g_form(text, digits), "the exact value is not in %g form");
  if (exact_notes == 0) check_same_reading_notes(notes, line, length);
  check_within_double_error(line, length);
  static char again[exact_text_capacity];
  static ExactForm form;
  form.unicode = (data[0] & 8) != 0;
  exact_line_text(line, length, digits, again, nullptr, &form);
  require(std::strcmp(text, again) == 0, "the exact value depends on the line before or the notes");
  require(
      form.length == 0 || (!no_value && form.length == static_cast<int>(std::strlen(form.text)) &&
                           form.length < exact_form_capacity),
      "an exact form beside no value, or of the wrong length");
}

namespace {

// The note kinds that say why a natural line has no value.
bool says_why_no_value(NoteKind kind) {
  return is_exact_note(kind) || is_double_computation_note(kind) ||
         kind == NoteKind::quotient_without_value || kind == NoteKind::function_without_value ||
         kind == NoteKind::root_without_value || kind == NoteKind::power_without_value ||
         (kind >= NoteKind::natural_empty && kind <= NoteKind::natural_too_deep) ||
         kind == NoteKind::natural_second_unknown || kind == NoteKind::natural_unknown_in_bound ||
         kind == NoteKind::natural_needs_unknown || kind == NoteKind::natural_not_a_value ||
         kind == NoteKind::natural_too_long || kind == NoteKind::natural_no_answer;
}

// The natural line in doubles: the same bits with notes, every note within the line, and
// either a value or a note saying why there is none.
void check_natural_doubles(const char* line, int length) {
  ReadingNotes notes;
  std::memset(&notes, 0xFF, sizeof notes);
  clear_notes(notes);
  const double noted = evaluate_natural_line(line, length, &notes);
  const double plain = evaluate_natural_line(line, length, nullptr);
  require(same_bits(noted, plain) || (std::isnan(noted) && std::isnan(plain)),
          "taking notes changes the natural line's value");
  const int shown = shown_length(length);
  int why = 0;
  for (int k = 0; k < notes.count; ++k) {
    require(notes.notes[k].column + notes.notes[k].length <= shown + 1,
            "a note runs past the end of its natural line");
    why += says_why_no_value(notes.notes[k].kind);
  }
  require(!std::isnan(noted) || why > 0 || notes.dropped > 0,
          "a natural line without a value and without a note saying why");
}

}  // namespace

namespace {

// A line in the unknown, or an equation: its answer fits its room and says "não sei
// resolver" only with a note saying why.
void check_natural_answer(const char* line, int length, int digits) {
  static char text[value_line_capacity];
  const ValueFormat format = {digits, false, true, FormShown::none, true};
  ReadingNotes notes;
  clear_notes(notes);
  bool worded = false;
  const int written = line_value_text(line, length, format, "", "", text, &notes, &worded);
  require(written == static_cast<int>(std::strlen(text)), "an answer's length is wrong");
  if (!worded) return;
  const bool unsolved = std::strncmp(text, "n\xc3\xa3o sei", 8) == 0;
  require(!unsolved || notes.count + notes.dropped >= 1, "\"não sei resolver\" without a note");
}

}  // namespace

void check_natural_line_input(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return;
  const char* line = reinterpret_cast<const char*>(data + 1);
  const int length = static_cast<int>(size - 1);
  check_natural_doubles(line, length);
  if (!exact_mode_available()) return;
  static const int digit_choices[] = {1, 6, 17, 100, 1000};
  const int digits = digit_choices[data[0] % 5];
  static char text[exact_text_capacity];
  ReadingNotes notes;
  clear_notes(notes);
  const int written = exact_natural_line_text(line, length, digits, text, &notes);
  require(written == static_cast<int>(std::strlen(text)), "the exact text's length is wrong");
  int why = 0;
  for (int k = 0; k < notes.count; ++k) why += says_why_no_value(notes.notes[k].kind);
  const bool no_value = std::strcmp(text, "nan") == 0;
  require(no_value ? why >= 1 || notes.dropped > 0 : why == 0,
          "an exact natural \"nan\" without a note saying why, or such a note beside a value");
  require(no_value || is_g_form(text, digits), "the exact natural value is not in %g form");
  static char again[exact_text_capacity];
  ReadingNotes again_notes;
  clear_notes(again_notes);
  exact_natural_line_text(line, length, digits, again, &again_notes);
  // A line whose child works right up to a bound of time or memory may end within it once and
  // past it the next time; any other line gives the same text however often it is computed.
  require(std::strcmp(text, again) == 0 || at_a_bound(notes) || at_a_bound(again_notes),
          "the exact natural value depends on the notes");
  check_natural_answer(line, length, digits);
}

namespace {

// Picks from `choices` by the next byte of the input (cycling), into `text`.
template <std::size_t count>
void append_choice(std::string& text, const char* const (&choices)[count], const std::uint8_t* data,
                   std::size_t size, std::size_t& at) {
  text += choices[data[at % size] % count];
  ++at;
}

// A textbook equation in x made from the input's bytes: up to three terms, each a coefficient
// times a function, squared or not, of a multiple of x shifted by an angle, equal to a value.
std::string equation_from(const std::uint8_t* data, std::size_t size) {
  static const char* const coefficients[] = {"",
                                             "2",
                                             "-",
                                             "3",
                                             "1/2*",
                                             "\xe2\x88\x9a"
                                             "2*",
                                             "\xe2\x88\x9a"
                                             "3*"};
  static const char* const functions[] = {"sen", "cos", "tg", "cotg", "sec", "cossec"};
  static const char* const powers[] = {"", "\xc2\xb2", ""};
  static const char* const multiples[] = {"x", "2x", "3x", "x/2"};
  static const char* const shifts[] = {"", " + 30", " - 45", " + 60", " + 90", " - 120"};
  static const char* const values[] = {"0",
                                       "1",
                                       "-1",
                                       "1/2",
                                       "\xe2\x88\x9a"
                                       "2/2",
                                       "\xe2\x88\x9a"
                                       "3/2",
                                       "2",
                                       "-1/2"};
  std::size_t at = 1;
  std::string text;
  const int terms = 1 + data[0] % 3;
  for (int t = 0; t < terms; ++t) {
    if (t > 0) text += data[at++ % size] % 2 == 0 ? " + " : " - ";
    append_choice(text, coefficients, data, size, at);
    append_choice(text, functions, data, size, at);
    append_choice(text, powers, data, size, at);
    text += "(";
    append_choice(text, multiples, data, size, at);
    append_choice(text, shifts, data, size, at);
    text += ")";
  }
  text += " = ";
  append_choice(text, values, data, size, at);
  return text;
}

// The value of one solution of the answer's list, in degrees: "30°", "-116.565°", "360°/7",
// "−30°" (a minus sign, U+2212).
double degrees_written(const std::string& item) {
  std::size_t at = 0;
  double sign = 1;
  if (item.compare(0, 3, "\xe2\x88\x92") == 0) sign = -1, at = 3;
  const double value = std::strtod(item.c_str() + at, nullptr);
  const std::size_t bar = item.find("\xc2\xb0/");
  return sign *
         (bar == std::string::npos ? value : value / std::strtod(item.c_str() + bar + 3, nullptr));
}

// The left side less the right side of the equation read into `reading`, at x degrees.
double equation_at(const NaturalReading& reading, double x) {
  static Program equation;
  equation = reading.program;
  equation.step_count = reading.shape.part_end[0];
  return run_program_at(equation, reading.numbers, x, nullptr);
}

// The solutions listed after the answer's last ": ", in degrees; none for "nenhuma".
int listed_solutions(const std::string& answer, double (&solutions)[answer_list_capacity]) {
  const std::size_t colon = answer.rfind(": ");
  if (colon == std::string::npos || answer.compare(colon + 2, 7, "nenhuma") == 0) return 0;
  int count = 0;
  std::string rest = answer.substr(colon + 2);
  for (std::size_t end = 0; !rest.empty() && count < answer_list_capacity;
       rest = end == std::string::npos ? "" : rest.substr(end + 2)) {
    end = rest.find(", ");
    solutions[count++] = degrees_written(rest.substr(0, end));
  }
  return count;
}

// True when a listed solution lies in [low, high].
bool listed_between(const double* solutions, int count, double low, double high) {
  for (int k = 0; k < count; ++k) {
    if (solutions[k] >= low - 1e-9 && solutions[k] <= high + 1e-9) return true;
  }
  return false;
}

}  // namespace

void check_equation_input(const std::uint8_t* data, std::size_t size) {
  if (size == 0 || !exact_mode_available()) return;
  const std::string line = equation_from(data, size);
  static char text[value_line_capacity];
  const ValueFormat format = {17, false, true, FormShown::none, true};
  ReadingNotes notes;
  clear_notes(notes);
  const int length =
      line_value_text(line.c_str(), static_cast<int>(line.size()), format, "", "", text, &notes);
  const std::string answer(text, static_cast<std::size_t>(length));
  static NaturalReading reading;
  read_natural_line(line.c_str(), static_cast<int>(line.size()), reading, nullptr);
  require(reading.read && reading.shape.equation, "a made equation is not read as one");
  if (answer.compare(0, 4, "n\xc3\xa3o") == 0) {  // not solved: a note says why
    require(notes.count >= 1, "an equation not solved without a note saying why");
    return;
  }
  double solutions[answer_list_capacity];
  const int count = listed_solutions(answer, solutions);
  const bool every_x = answer.compare(0, 5, "vale ") == 0;
  for (int k = 0; k < count; ++k) {
    const double value = equation_at(reading, solutions[k]);
    require(std::fabs(value) < 1e-6, "a listed solution does not solve the equation");
  }
  // Every sign change between two points a tenth of a degree apart, where the line is small
  // on both sides (no pole between them), has a solution listed between them.
  constexpr int steps = 3600;
  double before = equation_at(reading, 0);
  for (int k = 1; k <= steps; ++k) {
    const double x = k * 360.0 / steps;
    const double value = equation_at(reading, x);
    const bool change = (before < 0 && value > 0) || (before > 0 && value < 0);
    const bool small = std::fabs(before) < 1 && std::fabs(value) < 1;
    if (change && small && !every_x && k < steps) {
      require(listed_between(solutions, count, x - 360.0 / steps, x),
              "a solution in the turn is missing from the list");
    }
    if (every_x && std::isfinite(value) && std::fabs(value) < 1e3) {
      require(std::fabs(value) < 1e-9, "an identity is not 0 where it has a value");
    }
    before = value;
  }
}
