#include "io/output_buffer.h"

#include <cerrno>
#include <cstring>

#include "io/descriptor_io.h"

namespace {

// Writes `count` bytes straight to the descriptor unless a write failed before; keeps the
// error of a failed write.
void write_out(OutputBuffer& output, const char* bytes, int count) {
  if (output.error == 0 && count > 0 && !write_descriptor(output.descriptor, bytes, count)) {
    output.error = errno != 0 ? errno : EIO;
  }
}

}  // namespace

void open_output_buffer(OutputBuffer& output, int descriptor) {
  output.descriptor = descriptor;
  output.used = 0;
  output.error = 0;
}

bool flush_output(OutputBuffer& output) {
  write_out(output, output.bytes, output.used);
  output.used = 0;  // after an error the bytes are dropped: nothing more is written
  return output.error == 0;
}

bool close_output(OutputBuffer& output) {
  if (flush_output(output) && !close_descriptor(output.descriptor)) {
    output.error = errno != 0 ? errno : EIO;
  }
  return output.error == 0;
}

void put_bytes_out_of_line(OutputBuffer& output, const char* bytes, int count) {
  if (count > output_buffer_capacity - output.used) flush_output(output);
  if (count > output_buffer_capacity) return write_out(output, bytes, count);
  if (output.error != 0) return;
  std::memcpy(output.bytes + output.used, bytes, static_cast<std::size_t>(count));
  output.used += count;
}
