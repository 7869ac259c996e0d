// Where each byte of a text being read came from in its line: the reading's own working
// state, kept through the rewrites that delete and replace bytes, so that every piece of the
// description and every note names the columns the user typed. A text's byte k came from
// column base + k until a rewrite deletes bytes before it; each deletion is kept as a shift
// from the byte after it on, so a text no rewrite shortened costs nothing to follow.
#pragma once

#include "term/reading_notes.h"
#include "term/term_text.h"

constexpr int shift_capacity = line_capacity;  // deletions in one text: at most one per byte

struct TextOrigins {
  int base;                             // the column of the text's first byte, before any shift
  int count;                            // shifts held
  unsigned char from[shift_capacity];   // the index of the first byte a shift applies to
  unsigned char total[shift_capacity];  // the columns deleted before that byte, in all
  unsigned char span[shift_capacity];   // the columns the byte before `from` stands for
};

// Starts the origins of a fresh text that begins at column `base`: byte k came from column
// base + k.
void start_origins(TextOrigins& origins, int base);

// Records that a rewrite left the byte now at `index` `total` columns further from the text's
// start than its index says, in all; the byte before it stands for `span` columns (4 for the
// 'E' that "x10^" became, 1 for any other). Shifts are recorded in text order.
void add_shift(TextOrigins& origins, int index, int total, int span);

// Removes the text's first `count` bytes: the byte at `count` is the first now.
void drop_first_bytes(TextOrigins& origins, int count);

// The column byte `index` came from once the text was shifted (origins.count > 0).
int shifted_origin_column(const TextOrigins& origins, int index);

// The column byte `index` came from (the terminator's is the column right after the text);
// a text no rewrite shortened, the usual case, needs no search.
inline int origin_column(const TextOrigins& origins, int index) {
  return origins.count == 0 ? origins.base + index : shifted_origin_column(origins, index);
}

// The column right after the columns that byte `index` stands for, once the text was
// shifted (origins.count > 0).
int shifted_origin_end(const TextOrigins& origins, int index);

// The column right after the columns that byte `index` stands for.
inline int origin_end(const TextOrigins& origins, int index) {
  return origins.count == 0 ? origins.base + index + 1 : shifted_origin_end(origins, index);
}

// Records a note about the `count` bytes of the text at `first`, by their origins: one note
// per run of bytes that stood side by side in the line.
void note_text(ReadingNotes* notes, const TextOrigins& origins, NoteKind kind, int first,
               int count);
