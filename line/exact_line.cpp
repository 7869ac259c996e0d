// The exact mode's entry for the front ends (the shared reading, then the exact computation)
// and the one place where a front end's value line is made in either arithmetic.
#include "line/exact_line.h"

#include <cstring>

#include "line/evaluate_line.h"

int exact_line_text(const char* line, int length, int digits, char (&text)[exact_text_capacity],
                    ReadingNotes* notes) {
  static LineReading reading;  // 20 KiB: kept off the stack
  read_line(line, length, reading, notes);
  const int before = notes != nullptr ? notes->count : 0;
  const int written = exact_reading_text(reading, digits, text, notes);
  if (notes != nullptr && notes->count > before) {
    // The computation's note is put in column order among the reading's.
    finish_notes(*notes, line, length < line_capacity - 1 ? length : line_capacity - 1);
  }
  return written;
}

int line_value_text(const char* line, int length, ValueFormat format, const char* before,
                    const char* after, char (&text)[value_line_capacity], ReadingNotes* notes) {
  if (!format.exact) {
    char framed[result_line_capacity];
    const double value = evaluate_line(line, length, notes);
    const int written = format_result_line(value, format.digits, before, after, framed);
    std::memcpy(text, framed, static_cast<std::size_t>(written) + 1);
    return written;
  }
  static char value[exact_text_capacity];  // 1 KiB: kept off the stack
  const int written = exact_line_text(line, length, format.digits, value, notes);
  const std::size_t affix = std::strlen(before);
  std::memcpy(text, before, affix);
  std::memcpy(text + affix, value, static_cast<std::size_t>(written));
  std::strcpy(text + affix + static_cast<std::size_t>(written), after);
  return static_cast<int>(affix + std::strlen(after)) + written;
}
