#include "term/reading_notes.h"

#include <cstring>

#include "text/characters.h"

namespace {

// Kinds about bytes that were skipped or not read: side by side, they make one note.
bool is_skip(NoteKind kind) {
  return kind == NoteKind::skipped || kind == NoteKind::skipped_letters ||
         kind == NoteKind::joined_number || kind == NoteKind::number_tail ||
         kind == NoteKind::number_unread;
}

bool is_blank_byte(char c) {
  return c == ' ' || c == '\t';
}

// True when the note's bytes, less blanks at its edges, lie inside `outer`'s: blanks around a
// skipped run add nothing to what another note says of it.
bool inside(const ReadingNote& inner, const ReadingNote& outer, const char* line, int length) {
  int first = inner.column;
  int end = inner.column + inner.length;
  if (is_skip(inner.kind)) {
    while (first < end && first < length && is_blank_byte(line[first])) ++first;
    while (end > first && end <= length && is_blank_byte(line[end - 1])) --end;
  }
  return first >= outer.column && end <= outer.column + outer.length;
}

// True when a note of kind `outer` says all that a note of kind `inner` inside it would:
// skipped text inside a note that explains it (a note of parentheses explains no skipped text:
// it is about the whole list around it); anything inside a term that names no function
// at all, a name written with capitals, a "rad" joined to a name, or text after a zero byte;
// an amplitude without a number that is part of an unknown name ("nan"); a missing operator
// before a bracket that is left out for it.
bool explains(NoteKind outer, NoteKind inner) {
  if (is_skip(inner)) return !is_skip(outer) && outer != NoteKind::ungrouped_parentheses;
  if (inner >= NoteKind::natural_empty && inner <= NoteKind::natural_too_deep) {
    return false;  // why a natural line has no value: never said by another note
  }
  if (inner == outer) return false;
  switch (outer) {
    case NoteKind::no_name:
    case NoteKind::capital_name:
    case NoteKind::rad_joined_name:
    case NoteKind::zero_byte_ends_line:
      return true;
    case NoteKind::unknown_name:
      return inner == NoteKind::amplitude_without_number;
    case NoteKind::bracket_dropped:
      return inner == NoteKind::bracket_without_operator;
    default:
      return false;
  }
}

// True when `note` says nothing another one does not.
bool covered(const ReadingNote& note, const ReadingNotes& notes, const char* line, int length) {
  for (int k = 0; k < notes.count; ++k) {
    const ReadingNote& other = notes.notes[k];
    if (&other == &note || other.length == 0 || !explains(other.kind, note.kind)) continue;
    if (inside(note, other, line, length)) return true;
  }
  return false;
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
int sort_uncovered(const ReadingNotes& notes, const char* line, int length,
                   ReadingNote (&kept)[reading_note_capacity]) {
  int count = 0;
  for (int k = 0; k < notes.count; ++k) {
    if (covered(notes.notes[k], notes, line, length)) continue;
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
  ReadingNote note = {kind,
                      static_cast<unsigned char>(column),
                      static_cast<unsigned char>(length),
                      TermFunction::none,
                      0,
                      ""};
  if (name != nullptr) {
    std::strncpy(note.name, name, note_name_capacity - 1);
    note.name[note_name_capacity - 1] = '\0';
  }
  add_whole_note(notes, note);
}

void add_whole_note(ReadingNotes* notes, const ReadingNote& note) {
  if (notes == nullptr) return;
  if (notes->count == reading_note_capacity) {
    ++notes->dropped;
    return;
  }
  notes->notes[notes->count++] = note;
}

// A run of skipped bytes is about letters when its bytes all are; blanks joining a number
// stay so only when every part of the run was such; otherwise it is worded as its first part.
void finish_notes(ReadingNotes& notes, const char* line, int length) {
  ReadingNote kept[reading_note_capacity];
  const int count = sort_uncovered(notes, line, length, kept);
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
