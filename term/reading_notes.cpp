#include "term/reading_notes.h"

void clear_notes(ReadingNotes& notes) {
  notes.count = 0;
  notes.dropped = 0;
  notes.base = 0;
}

void add_note(ReadingNotes* notes, NoteKind kind, int column, int length, int detail) {
  if (notes == nullptr) return;
  if (notes->count == reading_note_capacity) {
    ++notes->dropped;
    return;
  }
  notes->notes[notes->count++] = {kind, static_cast<unsigned char>(column),
                                  static_cast<unsigned char>(length),
                                  static_cast<unsigned char>(detail)};
}

void start_origins(ReadingNotes* notes, int length) {
  if (notes == nullptr) return;
  for (int k = 0; k <= length && k < origin_capacity; ++k) {
    notes->origin[k] = static_cast<unsigned char>(notes->base + k);
    notes->span[k] = 1;
  }
}

void move_origin(ReadingNotes* notes, int from, int to, int span) {
  if (notes == nullptr) return;
  notes->origin[to] = notes->origin[from];
  notes->span[to] = static_cast<unsigned char>(span);
}

void note_text(ReadingNotes* notes, NoteKind kind, int first, int count) {
  if (notes == nullptr) return;
  for (int k = first; k < first + count;) {
    int end = k + 1;  // one past the run of bytes that were adjacent in the line
    while (end < first + count &&
           notes->origin[end] == notes->origin[end - 1] + notes->span[end - 1]) {
      ++end;
    }
    const int last = end - 1;
    add_note(notes, kind, notes->origin[k],
             notes->origin[last] + notes->span[last] - notes->origin[k]);
    k = end;
  }
}
