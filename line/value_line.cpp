#include "line/value_line.h"

#include <cmath>
#include <cstring>

#include "line/conversion_text.h"
#include "line/evaluate_line.h"
#include "line/exact_line.h"
#include "natural/natural_reading.h"

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

// The answer to a line in the unknown: `before`, the module's answer, `after`.
int answer_line_text(const NaturalReading& reading, const char* line, int shown, ValueFormat format,
                     const char* before, const char* after, char (&text)[value_line_capacity],
                     ReadingNotes* notes) {
  char answer[exact_answer_capacity];
  const ProgramShape& shape = reading.shape;
  const AnswerRequest request = {line + shape.name_column, shape.name_length, format.digits,
                                 format.unicode};
  const int written = exact_answer_text(reading, request, answer, notes);
  if (notes != nullptr) finish_notes(*notes, line, shown);
  int used = 0;
  append_text(text, &used, before);
  append(text, &used, answer, written);
  append_text(text, &used, after);
  return used;
}

// Keeps `reading` as the last answer when the line had a value (`last` null: none kept): the
// steps, numbers and texts it uses, a few dozen bytes for most lines, not its whole room.
void keep_answer(const NaturalReading& reading, bool valued, LastAnswer* last) {
  if (last == nullptr || !valued || !reading.read) return;
  NaturalReading& kept = last->reading;
  const Program& program = reading.program;
  const NumberStore& numbers = reading.numbers;
  kept.read = true;
  kept.shape = reading.shape;
  kept.value_radians = reading.value_radians;
  kept.conversion = reading.conversion;
  kept.program.step_count = program.step_count;
  kept.program.complete = program.complete;
  std::memcpy(kept.program.steps, program.steps,
              sizeof program.steps[0] * static_cast<std::size_t>(program.step_count));
  kept.numbers.count = numbers.count;
  kept.numbers.texts_used = numbers.texts_used;
  std::memcpy(kept.numbers.numbers, numbers.numbers,
              sizeof numbers.numbers[0] * static_cast<std::size_t>(numbers.count));
  std::memcpy(kept.numbers.texts, numbers.texts, static_cast<std::size_t>(numbers.texts_used));
  last->held = true;
}

// The value of a natural line, or its answer; "ans" stands for `*last`, which becomes this
// line's reading when it has a value.
int natural_line_text(const char* line, int length, ValueFormat format, const char* before,
                      const char* after, char (&text)[value_line_capacity], ReadingNotes* notes,
                      bool* worded, ExactForm* form, char (&value)[exact_text_capacity],
                      int& written, LastAnswer* last) {
  NaturalReading reading;
  const NaturalReading* before_this = last != nullptr && last->held ? &last->reading : nullptr;
  const int shown = read_natural(line, length, reading, notes, before_this);
  const bool answered = reading.read && (reading.shape.unknown || reading.shape.equation);
  if (worded != nullptr) *worded = answered;
  if (answered) {
    return answer_line_text(reading, line, shown, format, before, after, text, notes);
  }
  bool valued = false;
  if (reading.read && reading.conversion != ConversionUnit::none) {
    char converted[conversion_text_capacity];
    const int size = conversion_value_text(reading, line, shown, format, converted, notes, &valued);
    keep_answer(reading, valued, last);
    int used = 0;
    append_text(text, &used, before);
    append(text, &used, converted, size);
    append_text(text, &used, after);
    return used;
  }
  if (!format.exact) {
    const double number = natural_reading_value(reading, line, shown, notes);
    keep_answer(reading, !std::isnan(number), last);
    return format_result_line(number, format.digits, before, after, text, value_line_capacity);
  }
  written = exact_natural_reading_text(reading, line, shown, format.digits, value, notes, form);
  keep_answer(reading, std::strcmp(value, no_value_text) != 0, last);
  return -1;
}

}  // namespace

int line_value_text(const char* line, int length, ValueFormat format, const char* before,
                    const char* after, char (&text)[value_line_capacity], ReadingNotes* notes,
                    bool* worded, LastAnswer* last) {
  char value[exact_text_capacity];
  ExactForm form;
  form.unicode = format.unicode;
  const bool asked = format.form != FormShown::none;
  ExactForm* wanted = asked ? &form : nullptr;
  if (worded != nullptr) *worded = false;
  int written = 0;
  if (format.natural) {
    const int used = natural_line_text(line, length, format, before, after, text, notes, worded,
                                       wanted, value, written, last);
    if (used >= 0) return used;
  } else if (!format.exact) {
    const double number = evaluate_line(line, length, notes);
    return format_result_line(number, format.digits, before, after, text, value_line_capacity);
  } else {
    written = exact_line_text(line, length, format.digits, value, notes, wanted);
  }
  const bool formed = asked && form.length > 0;
  int used = 0;
  append_text(text, &used, before);
  if (formed) append(text, &used, form.text, form.length);
  if (formed && format.form == FormShown::beside) {
    append_text(text, &used, form_separator(format.unicode));
  }
  if (!formed || format.form == FormShown::beside) append(text, &used, value, written);
  append_text(text, &used, after);
  return used;
}
