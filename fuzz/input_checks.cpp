#include "fuzz/input_checks.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "dialogue/dialogue.h"
#include "dialogue/dialogue_texts.h"
#include "line/evaluate_line.h"
#include "line/exact_line.h"
#include "line/result_text.h"
#include "line/value_line.h"

namespace {

void require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "input check failed: %s\n", what);
  std::abort();
}

// Two results are the same when their bits are: this also compares NaNs and signed zeros.
bool same_bits(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// The value with the notes taken, as the command line evaluates, and every note inside the
// line: a column within it (or right at its end) and a length that does not run past it.
double value_with_notes(const char* line, int length) {
  ReadingNotes notes;
  std::memset(&notes, 0xFF, sizeof notes);
  clear_notes(notes);
  const double value = evaluate_line(line, length, &notes);
  const int read = length < line_capacity - 1 ? length : line_capacity - 1;
  for (int k = 0; k < notes.count; ++k) {
    require(notes.notes[k].column + notes.notes[k].length <= read + 1,
            "a note runs past the end of its line");
  }
  return value;
}

// Skips `text` at `at` when it is there; false when it is not.
bool skip_text(const char* transcript, std::size_t size, std::size_t& at, const char* text) {
  const std::size_t length = std::strlen(text);
  if (size - at < length || std::memcmp(transcript + at, text, length) != 0) return false;
  at += length;
  return true;
}

// Skips one result line: '=', a number with no line break in it, and an empty line.
bool skip_result(const char* transcript, std::size_t size, std::size_t& at) {
  if (at >= size || transcript[at] != '=') return false;
  std::size_t end = at + 1;
  while (end < size && transcript[end] != '\n') ++end;
  if (end == at + 1) return false;
  at = end;
  return skip_text(transcript, size, at, "\n\n");
}

// A stream over an anonymous memory file holding `data` (nothing when null), positioned at
// its start: the dialogue reads and writes the descriptors under its streams, so a stream
// over a plain buffer would not do.
FILE* memory_file(const std::uint8_t* data, std::size_t size) {
  const int descriptor = memfd_create("session", 0);
  if (descriptor < 0) return nullptr;
  std::size_t written = 0;
  while (data != nullptr && written < size) {
    const ssize_t count = write(descriptor, data + written, size - written);
    if (count <= 0) break;
    written += static_cast<std::size_t>(count);
  }
  FILE* stream = nullptr;
  if (written == size && lseek(descriptor, 0, SEEK_SET) == 0) stream = fdopen(descriptor, "r");
  if (stream == nullptr) close(descriptor);
  return stream;
}

}  // namespace

// The line is the input's first 99 bytes, as a reader stores it, with its length as read.
void check_line_input(const std::uint8_t* data, std::size_t size) {
  char line[line_capacity] = {};
  const int length = size < line_capacity - 1 ? static_cast<int>(size) : line_capacity - 1;
  if (length > 0) std::memcpy(line, data, static_cast<std::size_t>(length));  // data may be null
  const double value = evaluate_line(line, length, nullptr);
  require(same_bits(value, value_with_notes(line, length)), "taking notes changes the value");
  for (char& c : line) c = c == ',' ? '.' : c;
  require(same_bits(value, evaluate_line(line, length, nullptr)),
          "',' and '.' give different values");
}

void check_dialogue_input(const std::uint8_t* data, std::size_t size) {
  FILE* in = memory_file(data, size);
  require(in != nullptr, "no memory file for the input");
  // The dialogue closes the descriptor it writes to: the transcript is read back through
  // another one open on the same memory file.
  FILE* out = memory_file(nullptr, 0);
  require(out != nullptr, "no memory file for the output");
  static OutputBuffer output;
  open_output_buffer(output, dup(fileno(out)));
  require(run_dialogue(in, out, output, {default_result_digits, false}) == 0,
          "the dialogue returned a status other than 0");
  std::fclose(in);
  const std::size_t transcript_size = static_cast<std::size_t>(lseek(fileno(out), 0, SEEK_END));
  char* transcript = static_cast<char*>(std::malloc(transcript_size + 1));
  require(transcript != nullptr && pread(fileno(out), transcript, transcript_size, 0) ==
                                       static_cast<ssize_t>(transcript_size),
          "the transcript could not be read back");
  std::fclose(out);
  std::size_t at = 0;
  require(skip_text(transcript, transcript_size, at, help_text), "no help text at the start");
  // The answer 1 on the first line always leads to a prompt: the input was really read.
  const bool opens_with_one = size >= 2 && data[0] == '1' && data[1] == '\n';
  require(!opens_with_one || transcript_size > at, "the answer 1 was not followed by a prompt");
  while (skip_text(transcript, transcript_size, at, prompt_text)) {
    if (at == transcript_size) break;  // the input ended while a line was awaited
    require(skip_result(transcript, transcript_size, at), "a prompt without a result line");
    require(skip_text(transcript, transcript_size, at, question_text), "a result without question");
  }
  require(at == transcript_size, "unexpected text in the transcript");
  std::free(transcript);
}

namespace {

bool is_exact_note(NoteKind kind) {
  return kind == NoteKind::exact_division_by_zero || kind == NoteKind::exact_no_value ||
         kind == NoteKind::exact_too_large || kind == NoteKind::exact_undecided;
}

// True when `text` is "%g"'s form with at most `digits` significant digits: an optional
// minus, digits with an optional point, an optional exponent of a sign and two digits or more.
bool is_g_form(const char* text, int digits) {
  int at = text[0] == '-' ? 1 : 0;
  int significant = 0;
  bool leading = true;
  for (; (text[at] >= '0' && text[at] <= '9') || text[at] == '.'; ++at) {
    if (text[at] == '.') continue;
    leading = leading && text[at] == '0';
    significant += !leading;
  }
  if (text[at] == 'e') {
    if (text[at + 1] != '+' && text[at + 1] != '-') return false;
    int exponent_digits = 0;
    for (at += 2; text[at] >= '0' && text[at] <= '9'; ++at) ++exponent_digits;
    if (exponent_digits < 2) return false;
  }
  return text[at] == '\0' && at > 0 && significant <= digits;
}

}  // namespace

void check_exact_line_input(const std::uint8_t* data, std::size_t size) {
  char reason[exact_module_reason_capacity];
  if (!exact_mode_available(reason) || size == 0) return;
  static const int digit_choices[] = {1, 6, 17, 100, 1000};
  const int digits = digit_choices[data[0] % 5];
  const char* line = reinterpret_cast<const char*>(data + 1);
  const int length = static_cast<int>(size - 1);
  static char text[exact_text_capacity];
  ReadingNotes notes;
  clear_notes(notes);
  const int written = exact_line_text(line, length, digits, text, &notes);
  require(written == static_cast<int>(std::strlen(text)), "the exact text's length is wrong");
  int exact_notes = 0;
  for (int k = 0; k < notes.count; ++k) exact_notes += is_exact_note(notes.notes[k].kind);
  const bool no_value = std::strcmp(text, "nan") == 0;
  require(no_value ? exact_notes == 1 || notes.dropped > 0 : exact_notes == 0,
          "\"nan\" without its one note, or a note beside a value");
  require(no_value || is_g_form(text, digits), "the exact value is not in %g form");
  static char again[exact_text_capacity];
  exact_line_text(line, length, digits, again, nullptr);
  require(std::strcmp(text, again) == 0, "the exact value depends on the line before or the notes");
}
