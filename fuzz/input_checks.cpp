#include "fuzz/input_checks.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "dialogue/dialogue.h"
#include "dialogue/dialogue_texts.h"
#include "line/evaluate_line.h"
#include "line/result_text.h"

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
