#include "line/evaluate_line.h"

#include <cstring>

#include "bracket/compute_line.h"

namespace {

// Bytes of the line that are read, at most `bounded`, up to a zero byte; `bracketed` tells
// whether they hold a '[' or ']'.
int read_length(const char* line, int bounded, bool& bracketed) {
  const auto size = static_cast<std::size_t>(bounded);
  const void* end = std::memchr(line, '\0', size);
  const int length =
      end == nullptr ? bounded : static_cast<int>(static_cast<const char*>(end) - line);
  const auto read = static_cast<std::size_t>(length);
  bracketed = std::memchr(line, '[', read) != nullptr || std::memchr(line, ']', read) != nullptr;
  return length;
}

}  // namespace

// Decimal commas need no pass of their own: every number is rewritten with its point before
// it is read, and outside numbers a ',' is as foreign as a '.'.
void read_line(const char* line, int length, LineReading& reading, ReadingNotes* notes) {
  const int shown = length < line_capacity - 1 ? length : line_capacity - 1;
  bool bracketed = false;
  const int kept = read_length(line, shown, bracketed);
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

double evaluate_line(const char* line, int length, ReadingNotes* notes) {
  LineReading reading;
  read_line(line, length, reading, notes);
  return compute_line(reading);
}
