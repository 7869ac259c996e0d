#include "term/text_origins.h"

namespace {

// The last shift that applies to byte `index`; -1 when none does.
int shift_before(const TextOrigins& origins, int index) {
  int k = origins.count - 1;
  while (k >= 0 && origins.from[k] > index) --k;
  return k;
}

}  // namespace

void start_origins(TextOrigins& origins, int base) {
  origins.base = base;
  origins.count = 0;
}

void add_shift(TextOrigins& origins, int index, int total, int span) {
  if (origins.count == shift_capacity) return;  // a text holds fewer bytes than that
  origins.from[origins.count] = static_cast<unsigned char>(index);
  origins.total[origins.count] = static_cast<unsigned char>(total);
  origins.span[origins.count++] = static_cast<unsigned char>(span);
}

// Dropping bytes at the start is a shift of the base; no shift is recorded yet when it happens.
void drop_first_bytes(TextOrigins& origins, int count) {
  origins.base += count;
}

int shifted_origin_column(const TextOrigins& origins, int index) {
  const int k = shift_before(origins, index);
  return origins.base + index + (k < 0 ? 0 : origins.total[k]);
}

int shifted_origin_end(const TextOrigins& origins, int index) {
  const int k = shift_before(origins, index + 1);
  const bool shifted_after = k >= 0 && origins.from[k] == index + 1;
  return origin_column(origins, index) + (shifted_after ? origins.span[k] : 1);
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
