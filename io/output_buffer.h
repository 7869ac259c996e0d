// The program's standard output: a buffer of its own over the descriptor, written out with
// one write per flush, that keeps the first error a write met so that the program can report
// it instead of ending as if all had been delivered.
#pragma once

#include <cstring>

constexpr int output_buffer_capacity = 65536;  // more than a refill's worth of result lines

struct OutputBuffer {
  int descriptor;  // where the bytes go
  int used;        // bytes waiting in `bytes`
  int error;       // errno of the first failed write; 0 while none failed
  char bytes[output_buffer_capacity];
};

// An empty buffer over `descriptor`.
void open_output_buffer(OutputBuffer& output, int descriptor);

// Appends `count` bytes when they do not fit or a write failed: put_bytes's rare case.
void put_bytes_out_of_line(OutputBuffer& output, const char* bytes, int count);

// Appends `count` bytes, writing the buffer out first when they do not fit. After a failed
// write nothing more is written. Inline: it runs for every text and result written.
inline void put_bytes(OutputBuffer& output, const char* bytes, int count) {
  if (count > output_buffer_capacity - output.used || output.error != 0) {
    return put_bytes_out_of_line(output, bytes, count);
  }
  std::memcpy(output.bytes + output.used, bytes, static_cast<std::size_t>(count));
  output.used += count;
}

// Appends the zero-terminated `text` (a literal's length is known when compiling).
inline void put_text(OutputBuffer& output, const char* text) {
  put_bytes(output, text, static_cast<int>(std::strlen(text)));
}

// Writes out what the buffer holds; false when this or an earlier write failed.
bool flush_output(OutputBuffer& output);

// Writes out what the buffer holds and closes the descriptor, as the program's last act on
// it; false when any write or the closing failed, with `output.error` saying why.
bool close_output(OutputBuffer& output);
