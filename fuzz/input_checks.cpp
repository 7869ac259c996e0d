#include "fuzz/input_checks.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bracket/compute_line.h"
#include "dialogue/dialogue.h"
#include "dialogue/dialogue_texts.h"
#include "line/evaluate_line.h"
#include "line/exact_line.h"
#include "line/result_text.h"
#include "line/value_line.h"
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

// The line is the input's first 99 bytes, as a reader stores it, with its length as read.
void check_line_input(const std::uint8_t* data, std::size_t size) {
  char line[line_capacity] = {};
  const int length = shown_length(static_cast<int>(std::min<std::size_t>(size, line_capacity)));
  if (length > 0) std::memcpy(line, data, static_cast<std::size_t>(length));  // data may be null
  const double value = evaluate_line(line, length, nullptr);
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

bool is_exact_note(NoteKind kind) {
  return kind == NoteKind::quotient_without_value || kind == NoteKind::function_without_value ||
         kind == NoteKind::exact_too_large || kind == NoteKind::exact_undecided ||
         kind == NoteKind::exact_beyond_limits || kind == NoteKind::exact_out_of_memory ||
         kind == NoteKind::exact_out_of_time || kind == NoteKind::exact_interrupted;
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
         (kind >= NoteKind::natural_empty && kind <= NoteKind::natural_too_deep);
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
  exact_natural_line_text(line, length, digits, again, nullptr);
  require(std::strcmp(text, again) == 0, "the exact natural value depends on the notes");
}
