#include "line/value_line.h"

#include <cstring>

#include "line/evaluate_line.h"
#include "line/exact_line.h"

int line_value_text(const char* line, int length, ValueFormat format, const char* before,
                    const char* after, char (&text)[value_line_capacity], ReadingNotes* notes) {
  if (!format.exact) {
    const double value = evaluate_line(line, length, notes);
    return format_result_line(value, format.digits, before, after, text, value_line_capacity);
  }
  static char value[exact_text_capacity];  // 1 KiB: kept off the stack
  const int written = exact_line_text(line, length, format.digits, value, notes);
  const std::size_t affix = std::strlen(before);
  std::memcpy(text, before, affix);
  std::memcpy(text + affix, value, static_cast<std::size_t>(written));
  std::strcpy(text + affix + static_cast<std::size_t>(written), after);
  return static_cast<int>(affix + std::strlen(after)) + written;
}
