// Where each byte of a text being read came from in its line: the reading's own working
// state, kept through the rewrites that delete and replace bytes, so that every piece of the
// description and every note names the columns the user typed.
#pragma once

#include "term/reading_notes.h"
#include "term/term_text.h"

constexpr int origin_capacity = term_capacity + 2;  // a term, its closing '=' and terminator

struct TextOrigins {
  // The column of the line each byte came from; the terminator's is the text's end.
  unsigned char column[origin_capacity];
  // How many columns each byte stands for: 1, or 4 for the 'E' that "x10^" became.
  unsigned char span[origin_capacity];
};

// Starts the origins of a fresh text of `length` bytes that begins at column `base`: byte k
// came from column base + k.
void start_origins(TextOrigins& origins, int base, int length);

// Moves the origin of byte `from` to byte `to` (a rewrite moved the byte left), standing for
// `span` columns.
void move_origin(TextOrigins& origins, int from, int to, int span);

// The column byte `index` came from; an index past the capacity (a text longer than any line)
// counts as the last.
int origin_column(const TextOrigins& origins, int index);

// The column right after the columns that byte `index` stands for.
int origin_end(const TextOrigins& origins, int index);

// Records a note about the `count` bytes of the text at `first`, by their origins: one note
// per run of bytes that stood side by side in the line.
void note_text(ReadingNotes* notes, const TextOrigins& origins, NoteKind kind, int first,
               int count);
