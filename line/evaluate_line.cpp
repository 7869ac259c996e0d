#include "line/evaluate_line.h"

#include <cmath>
#include <cstring>

#include "bracket/compute_line.h"
#include "term/compute_term.h"
#include "term/operand_list.h"

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

// Notes every number too large for a double: it reads as infinity.
void note_large_numbers(const NumberStore& store, ReadingNotes& notes) {
  for (int k = 0; k < store.count; ++k) {
    const NumberRead& number = store.numbers[k];
    if (!std::isinf(number_value(store, number))) continue;
    add_note(&notes, NoteKind::number_too_large, number.column, number.length);
  }
}

// Notes every '/' of the list whose divisor, the number after it (0 when there is none), is 0.
void note_divisions(const NumberStore& store, OperandsRead list, ReadingNotes& notes) {
  for (int k = 0; k < list.count; ++k) {
    const NumberRead& number = store.numbers[list.first + k];
    if (number.op != '/') continue;
    const double divisor =
        k + 1 < list.count ? number_value(store, store.numbers[list.first + k + 1]) : 0.0;
    if (divisor == 0.0) add_note(&notes, NoteKind::division_by_zero, number.op_column, 1);
  }
}

// Notes why a term's value is no finite number, when its amplitude and argument are finite: a
// reciprocal of a function that is 0 there (cosec 0, cotg 0), or an inverse function outside
// -1 to 1.
void note_term_without_value(const TermReading& term, const NumberStore& store,
                             ReadingNotes& notes) {
  note_divisions(store, term.amplitude, notes);
  note_divisions(store, term.argument, notes);
  const double argument = operands_value(store, term.argument, 0.0);
  const bool finite =
      std::isfinite(argument) && std::isfinite(operands_value(store, term.amplitude, 1.0));
  if (!finite || std::isfinite(compute_term(term, store))) return;
  const bool inverse = is_inverse(term.function);
  if (inverse && std::fabs(argument) > 1.0) {
    add_note(&notes, NoteKind::outside_domain, term.column, term.length);
  } else if (!inverse) {
    add_note(&notes, NoteKind::division_by_zero, term.column, term.length);
  }
}

// Notes every '/' between brackets whose divisor, the next bracket (0 when there is none), is 0.
void note_bracket_divisions(const LineReading& reading, ReadingNotes& notes) {
  for (int k = 0; k < reading.bracket_count; ++k) {
    const BracketReading& bracket = reading.brackets[k];
    if (bracket.op != '/') continue;
    const double divisor =
        k + 1 < reading.bracket_count ? bracket_value(reading, reading.brackets[k + 1]) : 0.0;
    if (divisor == 0.0) add_note(&notes, NoteKind::division_by_zero, bracket.op_column, 1);
  }
}

// Notes why the value of the line, which is no finite number, is so, as far as its reading
// tells; that it is so, at least. The notes are finished again, in column order.
void note_not_finite(const LineReading& reading, int length, ReadingNotes& notes) {
  const int before = notes.count + notes.dropped;
  note_large_numbers(reading.numbers, notes);
  for (int k = 0; k < reading.term_count; ++k) {
    note_term_without_value(reading.terms[k], reading.numbers, notes);
  }
  if (reading.bracketed) note_bracket_divisions(reading, notes);
  if (notes.count + notes.dropped == before) add_note(&notes, NoteKind::not_finite, 0, length);
}

}  // namespace

// Decimal commas need no pass of their own: every number is rewritten with its point before
// it is read, and outside numbers a ',' is as foreign as a '.'.
void read_line(const char* line, int length, LineReading& reading, ReadingNotes* notes) {
  const int shown = length < line_capacity - 1 ? length : line_capacity - 1;
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
  if (notes == nullptr) return;
  if (length > shown) add_note(notes, NoteKind::line_cut, shown, 0);
  finish_notes(*notes, line, shown);
}

// The dialogue never complains; the command line says why a value is no finite number.
double evaluate_line(const char* line, int length, ReadingNotes* notes) {
  LineReading reading;
  read_line(line, length, reading, notes);
  const double value = compute_line(reading);
  if (notes == nullptr || std::isfinite(value)) return value;
  const int shown = length < line_capacity - 1 ? length : line_capacity - 1;
  note_not_finite(reading, shown, *notes);
  finish_notes(*notes, line, shown);
  return value;
}
