// The size of the buffer one input line is read into, shared by the reader, the line editor
// and the dialogue's per-line state.
#pragma once

constexpr int line_capacity = 100;  // bytes of a line buffer: 99 characters and the terminator
