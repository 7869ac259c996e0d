// Plain input for every mode: a buffer over a file descriptor, refilled a few KiB at a time,
// with the reads of expression lines (the dialogue's and the command line's) and the
// dialogue's "%d" answers on top of it. Output is flushed
// right before every refill, the only moments the program waits for input; once it cannot be
// written, nothing more is read.
#pragma once

#include "io/output_buffer.h"

constexpr int input_buffer_capacity = 4096;  // bytes asked for per refill

struct InputReader {
  int descriptor;        // where lines and answers come from
  OutputBuffer* output;  // flushed before every refill; may be null
  bool terminal;         // `descriptor` is a terminal: typed-ahead bytes are dropped
  bool mid_line;         // the last read stopped inside a line (after an answer)
  bool exhausted;        // end of input, a read or output error seen: nothing more is read
  bool unended;          // the last bytes received did not end with '\n' (Ctrl-D after typing)
  int error;             // errno of a read that failed; 0 at a plain end of input
  // At a terminal, called with `waiter` and `descriptor` before each read, to wait for input
  // while doing what the terminal asks meanwhile; false ends the input without reading (a
  // signal put off). Null: the read itself waits. The terminal layer provides one
  // (wait_through_terminal_events), so that this reader knows nothing of terminals.
  bool (*wait)(void* waiter, int descriptor);
  void* waiter;
  int next;                                    // index of the next unread byte in `bytes`
  int end;                                     // count of bytes in `bytes`
  unsigned char bytes[input_buffer_capacity];  // read but not yet used
};

enum class AnswerRead {
  converted,          // a number was read into the answer
  nothing_converted,  // the next text is not a number; the answer keeps its value
  end_of_input        // nothing more can be read
};

// A reader of `descriptor` with an empty buffer that flushes `output` before it waits, and
// no wait of its own.
void open_input_reader(InputReader& reader, int descriptor, OutputBuffer* output, bool terminal);

// Reads one line without its end of line into `line` (`capacity` bytes, at least 1), keeping
// its first capacity - 1 bytes and dropping the rest. Returns the line's whole length, a '\r'
// that ends it not counted, or -1 when the input was already exhausted or the output could not
// be written (a last line without '\n' still counts, unless a read error cut it: then -1 and
// `line` empty).
int read_input_line(InputReader& reader, char* line, int capacity);

// Reads an answer as "%d" does: skips white space and empty lines, then an optional sign and
// digits. A number outside the range of int is clamped to that range, so it is never 1.
AnswerRead read_answer(InputReader& reader, int& answer);

// Drops the rest of a line read in part and, when `reader.terminal`, every byte the reader
// holds, so that nothing typed ahead of the next question reaches its answer.
void discard_pending_input(InputReader& reader);

// True when the reader is at a terminal and the last bytes typed there did not end a line,
// so that the cursor still stands after them (text, then Ctrl-D).
bool typed_line_unended(const InputReader& reader);
