#include "line/value_line.h"

#include <cstring>

#include "line/evaluate_line.h"
#include "line/exact_line.h"

namespace {

// Appends the `length` bytes of `piece` to the `*used` bytes of `text`, terminated; each
// piece's capacity is counted in value_line_capacity, so the whole always fits.
void append(char (&text)[value_line_capacity], int* used, const char* piece, int length) {
  std::memcpy(text + *used, piece, static_cast<std::size_t>(length));
  *used += length;
  text[*used] = '\0';
}

void append_text(char (&text)[value_line_capacity], int* used, const char* piece) {
  append(text, used, piece, static_cast<int>(std::strlen(piece)));
}

}  // namespace

int line_value_text(const char* line, int length, ValueFormat format, const char* before,
                    const char* after, char (&text)[value_line_capacity], ReadingNotes* notes) {
  if (!format.exact) {
    const double value = format.natural ? evaluate_natural_line(line, length, notes)
                                        : evaluate_line(line, length, notes);
    return format_result_line(value, format.digits, before, after, text, value_line_capacity);
  }
  char value[exact_text_capacity];
  ExactForm form;
  form.unicode = format.unicode;
  const bool asked = format.form != FormShown::none;
  ExactForm* wanted = asked ? &form : nullptr;
  const int written =
      format.natural ? exact_natural_line_text(line, length, format.digits, value, notes, wanted)
                     : exact_line_text(line, length, format.digits, value, notes, wanted);
  const bool formed = asked && form.length > 0;
  int used = 0;
  append_text(text, &used, before);
  if (formed) append(text, &used, form.text, form.length);
  if (formed && format.form == FormShown::beside) {
    append_text(text, &used, format.unicode ? " \xe2\x89\x88 " : " ~ ");  // U+2248
  }
  if (!formed || format.form == FormShown::beside) append(text, &used, value, written);
  append_text(text, &used, after);
  return used;
}
