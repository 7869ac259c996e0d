#include "line/exact_line.h"

#include "bracket/reading_program.h"
#include "line/evaluate_line.h"
#include "natural/natural_reading.h"

int exact_line_text(const char* line, int length, int digits, char (&text)[exact_text_capacity],
                    ReadingNotes* notes, ExactForm* form) {
  LineReading reading;
  Program program;
  const int shown = read_line(line, length, reading, notes);
  compile_reading(reading, CompiledFor::exact, program);
  const int written = exact_program_text(program, reading.numbers, digits, text, notes, form);
  if (notes != nullptr) finish_notes(*notes, line, shown);
  return written;
}

int exact_natural_line_text(const char* line, int length, int digits,
                            char (&text)[exact_text_capacity], ReadingNotes* notes,
                            ExactForm* form) {
  NaturalReading reading;
  const int shown = read_natural(line, length, reading, notes);
  return exact_natural_reading_text(reading, line, shown, digits, text, notes, form);
}

int exact_natural_reading_text(const NaturalReading& reading, const char* line, int shown,
                               int digits, char (&text)[exact_text_capacity], ReadingNotes* notes,
                               ExactForm* form) {
  const bool answered = reading.shape.unknown || reading.shape.equation;
  if (reading.read && answered) add_note(notes, NoteKind::natural_not_a_value, 0, 0);
  int written = 0;
  if (reading.read && !answered) {
    written = exact_program_text(reading.program, reading.numbers, digits, text, notes, form);
  } else {
    written = write_no_value(text);
    if (form != nullptr) form->length = 0;
  }
  if (notes != nullptr) finish_notes(*notes, line, shown);
  return written;
}
