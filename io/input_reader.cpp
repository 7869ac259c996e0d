#include "io/input_reader.h"

#include <cerrno>
#include <climits>
#include <cstring>

#include "io/descriptor_io.h"
#include "text/characters.h"

namespace {

constexpr int no_byte = -1;                     // next_byte's mark for the end of the input
constexpr long long magnitude_cap = 1LL << 40;  // beyond every int; larger answers stop here
constexpr int length_cap = 1 << 30;  // a line's counted length stops here, far beyond any use

int clamp_to_int(long long value) {
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

// Flushes the output, then waits for more input. False once the input has ended or cannot
// be read, or the output cannot be written (nothing more is read for output that cannot go
// anywhere: the program ends at once rather than after the next line); that stays so, as a
// stream's end-of-file mark does.
bool refill(InputReader& reader) {
  if (reader.exhausted) return false;
  if (reader.output != nullptr && !flush_output(*reader.output)) {
    reader.exhausted = true;
    return false;
  }
  if (reader.terminal && reader.wait != nullptr && !reader.wait(reader.waiter, reader.descriptor)) {
    reader.exhausted = true;  // a signal put off until the history is saved
    return false;
  }
  const int count = read_descriptor(reader.descriptor, reader.bytes, input_buffer_capacity);
  reader.next = 0;
  reader.end = count > 0 ? count : 0;
  reader.exhausted = count <= 0;
  if (count < 0) reader.error = errno != 0 ? errno : EIO;
  if (count > 0) reader.unended = reader.bytes[count - 1] != '\n';
  return count > 0;
}

// True when an unread byte is buffered, refilling when none is.
bool has_byte(InputReader& reader) {
  return reader.next < reader.end || refill(reader);
}

// The next byte, or no_byte at the end of the input.
int next_byte(InputReader& reader) {
  return has_byte(reader) ? reader.bytes[reader.next++] : no_byte;
}

// Gives back the byte next_byte has just returned; it is still in the buffer.
void put_back(InputReader& reader) {
  --reader.next;
}

// Reads decimal digits starting with `c`; returns the first byte after them.
int read_digits(InputReader& reader, int c, long long& magnitude) {
  magnitude = 0;
  for (; is_digit(c); c = next_byte(reader)) {
    if (magnitude < magnitude_cap) magnitude = magnitude * 10 + (c - '0');
  }
  return c;
}

// A line while it is read: the bytes kept, the whole length so far and its last byte.
struct LineProgress {
  int kept;    // bytes stored in the line, at most its capacity - 1
  int length;  // bytes read before the end of line, up to length_cap
  int last;    // the last of them, or no_byte before the first
};

// Uses up the buffered bytes up to and including the next '\n', appending the first of
// them to `line` while it has room; true when that '\n' was in the buffer.
bool take_up_to_newline(InputReader& reader, char* line, int capacity, LineProgress& line_read) {
  const unsigned char* start = reader.bytes + reader.next;
  const int available = reader.end - reader.next;
  const void* newline = std::memchr(start, '\n', static_cast<size_t>(available));
  const int span = newline != nullptr
                       ? static_cast<int>(static_cast<const unsigned char*>(newline) - start)
                       : available;
  const int room = capacity - 1 - line_read.kept;
  const int kept = span < room ? span : room;
  std::memcpy(line + line_read.kept, start, static_cast<size_t>(kept));
  line_read.kept += kept;
  line_read.length = span < length_cap - line_read.length ? line_read.length + span : length_cap;
  if (span > 0) line_read.last = start[span - 1];
  reader.next += newline != nullptr ? span + 1 : span;
  return newline != nullptr;
}

}  // namespace

bool typed_line_unended(const InputReader& reader) {
  return reader.terminal && reader.unended;
}

void open_input_reader(InputReader& reader, int descriptor, OutputBuffer* output, bool terminal) {
  reader.descriptor = descriptor;
  reader.output = output;
  reader.terminal = terminal;
  reader.mid_line = false;
  reader.exhausted = false;
  reader.unended = false;
  reader.error = 0;
  reader.wait = nullptr;
  reader.waiter = nullptr;
  reader.next = 0;
  reader.end = 0;
}

int read_input_line(InputReader& reader, char* line, int capacity) {
  LineProgress line_read = {0, 0, no_byte};
  bool read_any = false;
  bool ended = false;
  while (!ended && has_byte(reader)) {
    read_any = true;
    ended = take_up_to_newline(reader, line, capacity, line_read);
  }
  line[line_read.kept] = '\0';
  reader.mid_line = false;
  // A line a read error cut is no line: its fragment (sin601 cut to sin6) is never used.
  if (!read_any || (!ended && reader.error != 0)) {
    line[0] = '\0';
    return -1;
  }
  return line_read.last == '\r' ? line_read.length - 1 : line_read.length;
}

AnswerRead read_answer(InputReader& reader, int& answer) {
  int c = next_byte(reader);
  while (is_blank(c)) c = next_byte(reader);
  const bool negative = c == '-';
  if (c == '+' || c == '-') c = next_byte(reader);
  if (c == no_byte) return AnswerRead::end_of_input;
  reader.mid_line = true;
  if (!is_digit(c)) {
    put_back(reader);
    return AnswerRead::nothing_converted;
  }
  long long magnitude = 0;
  c = read_digits(reader, c, magnitude);
  answer = clamp_to_int(negative ? -magnitude : magnitude);
  if (c == no_byte) {
    reader.mid_line = false;
  } else {
    put_back(reader);
  }
  return AnswerRead::converted;
}

// An answer's line most often ends right after its digits: its '\n', already in the buffer,
// is the whole rest, taken without reading a line.
void discard_pending_input(InputReader& reader) {
  if (reader.mid_line && reader.next < reader.end && reader.bytes[reader.next] == '\n') {
    ++reader.next;
    reader.mid_line = false;
  } else if (reader.mid_line) {
    char ignored[1];  // nothing of the rest is kept
    read_input_line(reader, ignored, sizeof ignored);
  }
  if (reader.terminal) reader.next = reader.end;
}
