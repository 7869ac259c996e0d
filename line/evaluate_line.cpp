#include "line/evaluate_line.h"

#include <cmath>
#include <cstring>

#include "bracket/compute_line.h"

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
  }
  return NoteKind::not_finite;
}

// Notes why the value of the line, which is no finite number, is so, from the steps its
// computation recorded; that it is so, at least.
void note_not_finite(const ValueBreaks& breaks, int shown, ReadingNotes& notes) {
  for (int k = 0; k < breaks.count; ++k) {
    const ValueBreak& step = breaks.breaks[k];
    add_note(&notes, note_kind_of(step.kind), step.column, step.length);
  }
  notes.dropped += breaks.dropped;
  if (breaks.count == 0) add_note(&notes, NoteKind::not_finite, 0, shown);
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
  if (!std::isfinite(value)) note_not_finite(breaks, shown, *notes);
  finish_notes(*notes, line, shown);
  return value;
}
