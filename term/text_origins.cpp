#include "term/text_origins.h"

namespace {

int bounded(int index) {
  if (index < 0) return 0;
  return index < origin_capacity ? index : origin_capacity - 1;
}

}  // namespace

void start_origins(TextOrigins& origins, int base, int length) {
  for (int k = 0; k <= length && k < origin_capacity; ++k) {
    origins.column[k] = static_cast<unsigned char>(base + k);
    origins.span[k] = 1;
  }
}

void move_origin(TextOrigins& origins, int from, int to, int span) {
  origins.column[to] = origins.column[from];
  origins.span[to] = static_cast<unsigned char>(span);
}

int origin_column(const TextOrigins& origins, int index) {
  return origins.column[bounded(index)];
}

int origin_end(const TextOrigins& origins, int index) {
  return origins.column[bounded(index)] + origins.span[bounded(index)];
}

void note_text(ReadingNotes* notes, const TextOrigins& origins, NoteKind kind, int first,
               int count) {
  if (notes == nullptr) return;
  for (int k = first; k < first + count;) {
    int end = k + 1;  // one past the run of bytes that were adjacent in the line
    while (end < first + count && origin_column(origins, end) == origin_end(origins, end - 1)) {
      ++end;
    }
    const int column = origin_column(origins, k);
    add_note(notes, kind, column, origin_end(origins, end - 1) - column);
    k = end;
  }
}
