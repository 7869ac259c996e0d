// The size of one input line, shared by the readers in console/ and the evaluation in
// dialogue/: a line keeps at most line_capacity - 1 bytes, the rest of a longer line is dropped.
#pragma once

constexpr int line_capacity = 100;  // bytes of the line buffer: 99 characters and the terminator
