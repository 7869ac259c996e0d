#include "line/evaluate_line.h"

#include <cmath>
#include <cstring>

#include "bracket/compute_line.h"
#include "natural/natural_reading.h"
#include "program/run_doubles.h"

namespace {

// True when the `kept` bytes at `line` hold a '[' or ']': a bracketed line. A line is short:
// one plain scan costs less than starting two of the library's searches.
bool holds_bracket(const char* line, int kept) {
  for (const char* const end = line + kept; line < end; ++line) {
    if (*line == '[' || *line == ']') return true;
  }
  return false;
}

// Notes the shown bytes from a zero byte on, at `kept`: they are not read.
void note_zero_byte(ReadingNotes* notes, int kept, int shown) {
  if (kept < shown) add_note(notes, NoteKind::zero_byte_ends_line, kept, shown - kept);
}

// Notes a line of `length` bytes longer than the `shown` ones it is read from.
void note_cut(ReadingNotes* notes, int length, int shown) {
  if (length > shown) add_note(notes, NoteKind::line_cut, shown, 0);
}

// The note a computation's step makes, by the reading the line was read in, and when it is
// made. In the term reading a function at its pole in degrees is noted though its value is
// printed, and every other step only when the value is no finite number. In the natural
// reading a step without a value (which makes the value not a number) is always noted, a
// number too large for a double, or an overflow, only when the value is not finite (1/1e400 is
// 0), and a number too small for one, or an underflow, only when the value is 0 (1 + 1e-400 is
// 1).
enum class NoteWhen { always, not_finite, zero };

struct BreakNote {
  NoteKind kind;
  NoteWhen when;
};

BreakNote break_note(BreakKind kind, bool natural) {
  switch (kind) {
    case BreakKind::number_too_large:
      return {NoteKind::number_too_large, NoteWhen::not_finite};
    case BreakKind::division_by_zero:
      return natural ? BreakNote{NoteKind::quotient_without_value, NoteWhen::always}
                     : BreakNote{NoteKind::division_by_zero, NoteWhen::not_finite};
    case BreakKind::function_pole:
      return natural ? BreakNote{NoteKind::function_without_value, NoteWhen::always}
                     : BreakNote{NoteKind::division_by_zero, NoteWhen::not_finite};
    case BreakKind::outside_domain:
      return natural ? BreakNote{NoteKind::function_without_value, NoteWhen::always}
                     : BreakNote{NoteKind::outside_domain, NoteWhen::not_finite};
    case BreakKind::pole_in_degrees:
      return {natural ? NoteKind::function_without_value : NoteKind::pole_in_degrees,
              NoteWhen::always};
    case BreakKind::root_of_negative:  // steps of the natural reading only
      return {NoteKind::root_without_value, NoteWhen::always};
    case BreakKind::power_without_value:
      return {NoteKind::power_without_value, NoteWhen::always};
    case BreakKind::number_too_small:
      return {NoteKind::number_too_small, NoteWhen::zero};
    case BreakKind::underflow:
      return {NoteKind::underflow, NoteWhen::zero};
    case BreakKind::overflow:
      break;
  }
  return {NoteKind::not_finite, NoteWhen::not_finite};
}

// Notes what the steps its computation recorded say of the line's `value`; in the term
// reading, a value no finite number without a step that says why is said to be so, at least.
void note_breaks(const ValueBreaks& breaks, double value, int shown, bool natural,
                 ReadingNotes& notes) {
  const bool finite = std::isfinite(value);
  int why = 0;
  for (int k = 0; k < breaks.count; ++k) {
    const ValueBreak& step = breaks.breaks[k];
    const BreakNote made = break_note(step.kind, natural);
    const bool applies =
        made.when == NoteWhen::always || (made.when == NoteWhen::not_finite ? !finite : value == 0);
    if (!applies) continue;
    const ReadingNote note = {
        made.kind, step.column, step.length, static_cast<TermFunction>(step.function), 0, ""};
    add_whole_note(&notes, note);
    why += made.when == NoteWhen::not_finite;
  }
  if (finite) return;
  notes.dropped += breaks.dropped;
  if (!natural && why == 0 && breaks.dropped == 0) add_note(&notes, NoteKind::not_finite, 0, shown);
}

}  // namespace

// Decimal commas need no pass of their own: every number is rewritten with its point before
// it is read, and outside numbers a ',' is as foreign as a '.'.
int read_line(const char* line, int length, LineReading& reading, ReadingNotes* notes) {
  const int shown = shown_length(length);
  const int kept = kept_length(line, shown);
  note_zero_byte(notes, kept, shown);
  reading.numbers.count = 0;
  reading.numbers.texts_used = 0;
  reading.term_count = 0;
  reading.bracket_count = 0;
  if (holds_bracket(line, kept)) {
    read_bracketed_line(line, kept, reading, notes);
  } else {
    reading.bracketed = false;
    reading.term_count = 1;
    read_term(line, kept, 0, reading.terms[0], reading.numbers, notes);
  }
  note_cut(notes, length, shown);
  return shown;
}

// The zero byte is noted after what was read, as the natural reading's notes have always
// been ordered. A line longer than it reads is not read at all: its first bytes alone would
// have a value of their own, as if the line had been written so.
int read_natural(const char* line, int length, NaturalReading& reading, ReadingNotes* notes,
                 const NaturalReading* last) {
  const int shown = shown_length(length);
  const int kept = kept_length(line, shown);
  if (length > shown) {
    reading.read = false;
    reading.program.step_count = 0;
    reading.numbers.count = 0;
    reading.shape = ProgramShape{};
    reading.value_radians = false;
    reading.conversion = ConversionUnit::none;
    add_note(notes, NoteKind::natural_too_long, shown, 0);
    return shown;
  }
  read_natural_line(line, kept, reading, notes, last);
  note_zero_byte(notes, kept, shown);
  return shown;
}

// The dialogue never complains; the command line says why a value is no finite number.
double evaluate_line(const char* line, int length, ReadingNotes* notes) {
  LineReading reading;
  const int shown = read_line(line, length, reading, notes);
  if (notes == nullptr) return compute_line(reading);
  ValueBreaks breaks;
  breaks.count = 0;
  breaks.dropped = 0;
  const double value = compute_line(reading, &breaks);
  note_breaks(breaks, value, shown, false, *notes);
  finish_notes(*notes, line, shown);
  return value;
}

double evaluate_natural_line(const char* line, int length, ReadingNotes* notes,
                             const NaturalReading* last) {
  NaturalReading reading;
  const int shown = read_natural(line, length, reading, notes, last);
  return natural_reading_value(reading, line, shown, notes);
}

double natural_reading_value(const NaturalReading& reading, const char* line, int shown,
                             ReadingNotes* notes, ExactFraction* known) {
  const bool answered = reading.shape.unknown || reading.shape.equation;
  if (reading.read && answered) add_note(notes, NoteKind::natural_not_a_value, 0, 0);
  const bool computed = reading.read && !answered;
  if (known != nullptr) *known = inexact_fraction;
  const Program& program = reading.program;
  if (notes == nullptr) {
    return computed ? run_program_known(program, reading.numbers, 0, program.step_count,
                                        std::nan(""), nullptr, known)
                    : std::nan("");
  }
  double value = std::nan("");
  if (computed) {
    ValueBreaks breaks;
    breaks.count = 0;
    breaks.dropped = 0;
    value = run_program_known(program, reading.numbers, 0, program.step_count, std::nan(""),
                              &breaks, known);
    note_breaks(breaks, value, shown, true, *notes);
  }
  finish_notes(*notes, line, shown);
  return value;
}
