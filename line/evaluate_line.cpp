#include "line/evaluate_line.h"

#include <cmath>
#include <cstring>

#include "bracket/compute_line.h"
#include "natural/natural_reading.h"
#include "program/run_doubles.h"

namespace {

// Bytes of the line that are read, at most `bounded`, up to a zero byte; `bracketed` tells
// whether they hold a '[' or ']'. One scan looks for all three: a line is short, and the
// library's searches each cost more to start than such a scan.
int read_length(const char* line, int bounded, bool& bracketed) {
  static constexpr struct Marks {
    unsigned char of[256];  // 1 for a bracket, 2 for the zero byte
  } marks = [] {
    Marks table{};
    table.of[static_cast<unsigned char>('[')] = 1;
    table.of[static_cast<unsigned char>(']')] = 1;
    table.of[0] = 2;
    return table;
  }();
  unsigned char seen = 0;
  const char* at = line;
  for (const char* const end = line + bounded; at < end; ++at) {
    const unsigned char mark = marks.of[static_cast<unsigned char>(*at)];
    if (mark == 2) break;
    seen |= mark;
  }
  bracketed = seen != 0;
  return static_cast<int>(at - line);
}

// The note a computation's step makes.
NoteKind note_kind_of(BreakKind kind) {
  switch (kind) {
    case BreakKind::number_too_large:
      return NoteKind::number_too_large;
    case BreakKind::division_by_zero:
    case BreakKind::function_pole:
      return NoteKind::division_by_zero;
    case BreakKind::outside_domain:
      return NoteKind::outside_domain;
    case BreakKind::pole_in_degrees:
      return NoteKind::pole_in_degrees;
    case BreakKind::root_of_negative:  // steps of the natural reading only
    case BreakKind::power_without_value:
    case BreakKind::overflow:
      break;
  }
  return NoteKind::not_finite;
}

// The note a step of a natural line's program makes, and whether it is made whatever the
// value (a step without a value makes the value not a number) or only when the value is not
// finite (a number too large for a double may still give a finite value: 1/1e400 is 0).
NoteKind natural_note_kind(BreakKind kind, bool& always) {
  always = kind != BreakKind::number_too_large && kind != BreakKind::overflow;
  switch (kind) {
    case BreakKind::number_too_large:
      return NoteKind::number_too_large;
    case BreakKind::division_by_zero:
      return NoteKind::quotient_without_value;
    case BreakKind::function_pole:
    case BreakKind::outside_domain:
    case BreakKind::pole_in_degrees:
      return NoteKind::function_without_value;
    case BreakKind::root_of_negative:
      return NoteKind::root_without_value;
    case BreakKind::power_without_value:
      return NoteKind::power_without_value;
    case BreakKind::overflow:
      break;
  }
  return NoteKind::not_finite;
}

// Notes why a natural line's value does not exist or is not finite, from the steps its run
// recorded.
void note_natural_breaks(const ValueBreaks& breaks, bool finite, ReadingNotes& notes) {
  for (int k = 0; k < breaks.count; ++k) {
    const ValueBreak& step = breaks.breaks[k];
    bool always = true;
    ReadingNote note = {natural_note_kind(step.kind, always),     step.column, step.length,
                        static_cast<TermFunction>(step.function), 0,           ""};
    if (note.kind != NoteKind::function_without_value) note.function = TermFunction::none;
    if (always || !finite) add_whole_note(&notes, note);
  }
  if (!finite) notes.dropped += breaks.dropped;
}

// Notes what the steps its computation recorded say of the line's value: a function at its
// pole in degrees, whatever the value; and, when the value is no finite number, why, or at
// least that it is not.
void note_breaks(const ValueBreaks& breaks, bool finite, int shown, ReadingNotes& notes) {
  int why = 0;
  for (int k = 0; k < breaks.count; ++k) {
    const ValueBreak& step = breaks.breaks[k];
    const bool pole = step.kind == BreakKind::pole_in_degrees;
    if (finite && !pole) continue;
    const ReadingNote note = {note_kind_of(step.kind),
                              step.column,
                              step.length,
                              pole ? static_cast<TermFunction>(step.function) : TermFunction::none,
                              0,
                              ""};
    add_whole_note(&notes, note);
    why += !pole;
  }
  if (finite) return;
  notes.dropped += breaks.dropped;
  if (why == 0 && breaks.dropped == 0) add_note(&notes, NoteKind::not_finite, 0, shown);
}

}  // namespace

// Decimal commas need no pass of their own: every number is rewritten with its point before
// it is read, and outside numbers a ',' is as foreign as a '.'.
int read_line(const char* line, int length, LineReading& reading, ReadingNotes* notes) {
  const int shown = shown_length(length);
  bool bracketed = false;
  const int kept = read_length(line, shown, bracketed);
  if (kept < shown) add_note(notes, NoteKind::zero_byte_ends_line, kept, shown - kept);
  reading.numbers.count = 0;
  reading.numbers.texts_used = 0;
  reading.term_count = 0;
  reading.bracket_count = 0;
  if (bracketed) {
    read_bracketed_line(line, kept, reading, notes);
  } else {
    reading.bracketed = false;
    reading.term_count = 1;
    read_term(line, kept, 0, reading.terms[0], reading.numbers, notes);
  }
  if (length > shown) add_note(notes, NoteKind::line_cut, shown, 0);
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
  note_breaks(breaks, std::isfinite(value), shown, *notes);
  finish_notes(*notes, line, shown);
  return value;
}

double evaluate_natural_line(const char* line, int length, ReadingNotes* notes) {
  static NaturalReading reading;  // 6 KiB: kept off the stack
  read_natural_line(line, length, reading, notes);
  if (notes == nullptr) {
    return reading.read ? run_program(reading.program, reading.numbers, nullptr) : std::nan("");
  }
  const int shown = shown_length(length);
  if (length > shown) add_note(notes, NoteKind::line_cut, shown, 0);
  double value = std::nan("");
  if (reading.read) {
    ValueBreaks breaks;
    breaks.count = 0;
    breaks.dropped = 0;
    value = run_program(reading.program, reading.numbers, &breaks);
    note_natural_breaks(breaks, std::isfinite(value), *notes);
  }
  finish_notes(*notes, line, shown);
  return value;
}
