#include "term/reading_notes.h"

#include <cstring>

namespace {

// Kinds about bytes that were skipped or not read: side by side, they make one note.
bool is_skip(NoteKind kind) {
  return kind == NoteKind::skipped || kind == NoteKind::skipped_letters ||
         kind == NoteKind::joined_number || kind == NoteKind::number_tail ||
         kind == NoteKind::number_unread;
}

bool inside(const ReadingNote& inner, const ReadingNote& outer) {
  return inner.column >= outer.column && inner.column + inner.length <= outer.column + outer.length;
}

// True when `note` says nothing another one does not: skipped text inside a note that
// explains it, or anything inside a term that names no function at all.
bool covered(const ReadingNote& note, const ReadingNote* notes, int count) {
  for (int k = 0; k < count; ++k) {
    const ReadingNote& other = notes[k];
    if (&other == &note || other.length == 0 || is_skip(other.kind) || !inside(note, other))
      continue;
    if (is_skip(note.kind) || (other.kind == NoteKind::no_name && note.kind != NoteKind::no_name)) {
      return true;
    }
  }
  return false;
}

bool is_ascii_letter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// True when the note's bytes of the line are all letters.
bool about_letters(const ReadingNote& note, const char* line, int length) {
  const int end = note.column + note.length < length ? note.column + note.length : length;
  for (int k = note.column; k < end; ++k) {
    if (!is_ascii_letter(line[k])) return false;
  }
  return end > note.column;
}

// Keeps the notes no other covers, in column order (earlier notes first among equals), in
// `kept`; returns how many.
int sort_uncovered(const ReadingNotes& notes, ReadingNote (&kept)[reading_note_capacity]) {
  int count = 0;
  for (int k = 0; k < notes.count; ++k) {
    if (covered(notes.notes[k], notes.notes, notes.count)) continue;
    int at = count++;
    for (; at > 0 && kept[at - 1].column > notes.notes[k].column; --at) kept[at] = kept[at - 1];
    kept[at] = notes.notes[k];
  }
  return count;
}

}  // namespace

void clear_notes(ReadingNotes& notes) {
  notes.count = 0;
  notes.dropped = 0;
}

void add_note(ReadingNotes* notes, NoteKind kind, int column, int length, const char* name) {
  if (notes == nullptr) return;
  if (notes->count == reading_note_capacity) {
    ++notes->dropped;
    return;
  }
  ReadingNote& note = notes->notes[notes->count++];
  note.kind = kind;
  note.column = static_cast<unsigned char>(column);
  note.length = static_cast<unsigned char>(length);
  note.name[0] = '\0';
  if (name != nullptr) {
    std::strncpy(note.name, name, note_name_capacity - 1);
    note.name[note_name_capacity - 1] = '\0';
  }
}

// A run of skipped bytes is about letters when its bytes all are; blanks joining a number
// stay so only when every part of the run was such; otherwise it is worded as its first part.
void finish_notes(ReadingNotes& notes, const char* line, int length) {
  ReadingNote kept[reading_note_capacity];
  const int count = sort_uncovered(notes, kept);
  int joined = 0;
  for (int k = 0; k < count; ++k) {
    ReadingNote* last = joined > 0 ? &notes.notes[joined - 1] : nullptr;
    if (last != nullptr && is_skip(last->kind) && is_skip(kept[k].kind) &&
        last->column + last->length == kept[k].column) {
      last->length = static_cast<unsigned char>(last->length + kept[k].length);
      if (kept[k].kind != NoteKind::joined_number && last->kind == NoteKind::joined_number) {
        last->kind = NoteKind::skipped;
      }
    } else {
      notes.notes[joined++] = kept[k];
    }
  }
  for (int k = 0; k < joined; ++k) {
    ReadingNote& note = notes.notes[k];
    if (is_skip(note.kind) && about_letters(note, line, length)) {
      note.kind = NoteKind::skipped_letters;
    }
  }
  notes.count = joined;
}
